#include "files/rtf/rtf_write_body.h"

#include <algorithm>
#include <array>

#include "document/auto_list.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/drop_caps.h"
#include "document/field.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "document/table_row.h"
#include "files/output/save_progress_services.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_write_format.h"
#include "files/rtf/rtf_write_sections.h"
#include "files/rtf/rtf_write_state.h"

namespace qv {
namespace {

// Word field types whose instruction carries a language (dates and times).
bool FieldTypeCarriesLanguage(uint8_t type) {
  return type == 21 || type == 22 || type == 23 || type == 31 || type == ftTime;
}

const TDocRange& SaveRange(const TRtfWriteState& w) { return w.Context.Options.Range; }

bool Saving(const TRtfWriteState& w, uint8_t flag) { return w.Context.Options.HasFlag(flag); }

bool InTable(const TParFormat& f) { return f.InTable != ParUnset8 && f.InTable != 0; }

// The state and current paragraph that nested output (notes, list texts, headers) puts back.
struct TSavedWriter {
  explicit TSavedWriter(TRtfWriteState& w)
      : W(w), Char(w.CharState), Par(w.ParState), Current(w.CurrentPar),
        Object(w.CurrentParObject) {}
  ~TSavedWriter() {
    W.CharState = Char;
    W.ParState = Par;
    W.CurrentPar = Current;
    W.CurrentParObject = Object;
  }
  TRtfWriteState& W;
  TCharFormat Char;
  TParFormat Par;
  int32_t Current;
  TPar* Object;
};

void WriteNoteSeparators(TRtfWriteState& w) {
  const uint8_t flags = w.Doc.NoteSeparatorFlags;
  const bool referred = w.Context.FootnotesPresent || w.Context.EndnotesPresent;
  if (!referred && (flags & 3) == 3) return;
  const std::array<std::pair<int32_t, bool>, 4> groups = {{
      {RtfWord("ftnsep"), (flags & 1) != 0},
      {RtfWord("ftnsepc"), (flags & 1) != 0},
      {RtfWord("aftnsep"), (flags & 2) != 0},
      {RtfWord("aftnsepc"), (flags & 2) != 0},
  }};
  for (size_t i = 0; i < groups.size(); ++i) {
    w.Text("{\\*");
    WriteRtfWord(w, groups[i].first);
    WriteRtfWord(w, RtfWord("pard"));
    WriteRtfWord(w, RtfWord("plain"));
    if (groups[i].second) WriteRtfWord(w, i % 2 == 0 ? RtfWord("chftnsep") : RtfWord("chftnsepc"));
    WriteRtfParagraphMark(w);
    CloseRtfGroup(w);
  }
}

// --- Tables ---

bool IsFirstOfRow(const TRtfWriteState& w, int32_t par) {
  if (par == 0) return true;
  const TPar& before = *w.Doc.Par(par - 1);
  return !InTable(before.Format) || w.Doc.IsRowEndPar(par - 1);
}

void WriteCellDefinition(TRtfWriteState& w, const TTableCell& cell, int32_t shift) {
  if (cell.MergeStart) WriteRtfWord(w, RtfWord("clvmgf"));
  else if (cell.Merged) WriteRtfWord(w, RtfWord("clvmrg"));
  if (cell.RelativeWidth) WriteRtfWord(w, RtfWord("clrltvwdth"));
  // A border of style 0 is unset (it takes the row's): nothing is written for it.
  const std::pair<int32_t, const TBorderLine*> borders[] = {
      {RtfWord("clbrdrt"), &cell.BorderTop},
      {RtfWord("clbrdrl"), &cell.BorderLeft},
      {RtfWord("clbrdrb"), &cell.BorderBottom},
      {RtfWord("clbrdrr"), &cell.BorderRight}};
  for (const auto& [word, border] : borders)
    if (border->Style != 0) WriteRtfBorder(w, word, *border, false);
  if (cell.PadLeft != TableValueUnset) {
    // Written as other word processors read them: \clpadt is the left padding, \clpadl the top.
    WriteRtfWordValue(w, RtfWord("clpadt"), cell.PadLeft);
    WriteRtfWordValue(w, RtfWord("clpadl"), cell.PadTop == TableValueUnset ? 0 : cell.PadTop);
    WriteRtfWordValue(w, RtfWord("clpadb"),
                      cell.PadBottom == TableValueUnset ? 0 : cell.PadBottom);
    WriteRtfWordValue(w, RtfWord("clpadr"), cell.PadRight == TableValueUnset ? 0 : cell.PadRight);
    for (int32_t word : {RtfWord("clpadfl"), RtfWord("clpadft"), RtfWord("clpadfb"),
                         RtfWord("clpadfr")})
      WriteRtfWordValue(w, word, 3);
  }
  if (cell.VertAlign == 1) WriteRtfWord(w, RtfWord("clvertalc"));
  else if (cell.VertAlign == 2) WriteRtfWord(w, RtfWord("clvertalb"));
  if (cell.ShadingColor != TableColorNone)
    WriteRtfWordValue(w, RtfWord("clcbpat"), RtfColorIndex(w, cell.ShadingColor));
  WriteRtfWordValue(w, RtfWord("cellx"), static_cast<int64_t>(cell.Right) - shift);
}

void WriteRowDefinition(TRtfWriteState& w, int32_t par) {
  TDoc& doc = w.Doc;
  const TTableRow* row = doc.GetRowProps(par);
  if (row == nullptr || row->CellCount <= 0) return;
  const TDocRange& range = SaveRange(w);
  const int32_t lastCell = std::min(row->CellCount, MaxTableCells) - 1;
  int32_t first = 0;
  int32_t last = lastCell;
  bool wholeTable = true;
  if (par >= range.Start.Par && par <= range.End.Par) {
    first = std::clamp(doc.GetCellIndex(par), 0, lastCell);
    TDocRange rowRange;
    doc.GetRowRange(par, rowRange);
    const int32_t endPar = std::min(range.End.Par, rowRange.End.Par);
    last = std::clamp(doc.GetCellIndex(endPar), first, lastCell);
    TDocRange table;
    doc.GetTableRange(par, table);
    wholeTable = ComparePositions(table.Start, range.Start) >= 0 &&
                 ComparePositions(table.End, range.End) <= 0;
  }
  const int32_t shift =
      first == 0 ? 0 : row->Cells[static_cast<size_t>(first - 1)].Right - row->Left;
  WriteRtfWord(w, RtfWord("trowd"));
  if (row->HeaderRow) WriteRtfWord(w, RtfWord("trhdr"));
  if (row->KeepTogether) WriteRtfWord(w, RtfWord("trkeep"));
  if (row->Alignment == 1) WriteRtfWord(w, RtfWord("trqc"));
  else if (row->Alignment == 2) WriteRtfWord(w, RtfWord("trqr"));
  WriteRtfWordValue(w, RtfWord("trgaph"), row->PadLeft);
  WriteRtfWordValue(w, RtfWord("trleft"), row->Left);
  if (row->Height != 0) WriteRtfWordValue(w, RtfWord("trrh"), row->Height);
  if (wholeTable && row->PreferredWidth != 0) {
    WriteRtfRaw(w, "\\trftsWidth2\\trwWidth" + std::to_string(row->PreferredWidth));
    w.DelimiterPending = true;
  }
  if (row->ShadingColor != TableColorNone)
    WriteRtfWordValue(w, RtfWord("trcbpat"), RtfColorIndex(w, row->ShadingColor));
  const std::array<std::pair<int32_t, int32_t>, 4> paddings = {{
      {RtfWord("trpaddfb"), RtfWord("trpaddb")},
      {RtfWord("trpaddfl"), RtfWord("trpaddl")},
      {RtfWord("trpaddfr"), RtfWord("trpaddr")},
      {RtfWord("trpaddft"), RtfWord("trpaddt")},
  }};
  const std::array<int32_t, 4> values = {row->PadBottom, row->PadLeft, row->PadRight, row->PadTop};
  for (size_t i = 0; i < paddings.size(); ++i) {
    WriteRtfWordValue(w, paddings[i].first, 3);
    WriteRtfWordValue(w, paddings[i].second, values[i]);
  }
  for (int32_t c = first; c <= last; ++c)
    WriteCellDefinition(w, row->Cells[static_cast<size_t>(c)], shift);
}

// --- Paragraph pieces ---

void WriteParagraphObject(TRtfWriteState& w, int32_t startOffset, int32_t endOffset);

void WriteListText(TRtfWriteState& w, TPar& par) {
  TPar& number = *par.NumberPar;
  w.WritingListText = true;
  OpenRtfGroup(w);
  WriteRtfWord(w, RtfWord("listtext"));
  {
    TSavedWriter saved(w);
    ResetRtfParagraph(w);
    w.ParState = par.Format;
    NormalizeParagraphTags(number);
    // A picture bullet is written as its bullet character.
    TMemory original;
    original.AppendMemory(number.Content);
    const TAutoList* list = w.Doc.ListByNumber(par.Format.List);
    if (number.CharCount() > 0 && number.CodeAt(0) == scInlineShape && list != nullptr) {
      const int32_t level =
          list->SingleLevel ? 0 : std::clamp<int32_t>(par.Format.ListLevel, 0, ListLevelCount - 1);
      const std::u16string& text = list->ListLevels[static_cast<size_t>(level)].LevelText;
      const int32_t at = number.CharToStreamOffset(0);
      uint8_t bullet = text.empty() ? '*' : static_cast<uint8_t>(text[0] & 0xFF);
      if (bullet < 32) bullet = '*';
      number.Content.SetLength(0);
      number.Content.Append(original.Data, at);
      number.Content.AppendByte(bullet);
      number.Content.Append(original.Data + at + ContentTagSize,
                            original.Length - at - ContentTagSize);
      number.ContentChanged();
      NormalizeParagraphTags(number);
    }
    if (number.CharCount() > 0) {
      w.CurrentParObject = &number;
      WriteParagraphObject(w, -1, -1);
    }
    if (original.Length != number.Content.Length ||
        !std::equal(original.Data, original.Data + original.Length, number.Content.Data)) {
      number.Content.SetLength(0);
      number.Content.AppendMemory(original);
      number.ContentChanged();
    }
  }
  CloseRtfGroup(w);
  w.WritingListText = false;
}

// A list paragraph with a hanging first line gets a list tab at its left indent for the output.
TParFormat FormatWithListTab(const TPar& par) {
  TParFormat format = par.Format;
  if (format.List == ParUnset32 || format.List == 0) return format;
  if (format.FirstIndent == ParUnset16 || format.FirstIndent >= 0) return format;
  if (format.LeftIndent == ParUnset16 || format.LeftIndent <= 0) return format;
  const int32_t tabSet = format.TabSet == ParUnset16 ? 0 : format.TabSet;
  TTabTable tabs = GetTabManager().Table(tabSet);
  if (HasTabStop(tabs, format.LeftIndent)) return format;
  AddTabStop(tabs, PackTabStop(format.LeftIndent, tkList, tlNone));
  SortTabStops(tabs);
  format.TabSet = static_cast<int16_t>(GetTabManager().AddTable(tabs));
  return format;
}

void WriteDropCapProperties(TRtfWriteState& w, TPar& par) {
  const TField* field = w.CurrentParObject == nullptr ? w.Doc.GetDropCapField(w.CurrentPar)
                                                      : nullptr;
  // The settings' first byte is the kind (1 dropped in the text, 2 in the margin), the 16-bit
  // value the distance from the text and the last word the drop cap's line height.
  const auto* record =
      field != nullptr ? dynamic_cast<const TDropCapRecord*>(field->Attachment.get()) : nullptr;
  const TDropCapSettings drop = record != nullptr ? record->Settings : TDropCapSettings{};
  const int32_t kind = drop.First == 2 ? 2 : 1;
  const int32_t lineHeight = static_cast<int32_t>(drop.Last);
  const int32_t distance = drop.Value16 == TDropCapSettings::Unchanged16 ? 0 : drop.Value16;
  WriteRtfWord(w, RtfWord("pard"));
  std::string text;
  if (lineHeight > 0) text += "\\sl-" + std::to_string(lineHeight) + "\\slmult0";
  WriteRtfRaw(w, text);
  const int32_t left = par.Format.LeftIndent == ParUnset16 ? 0 : par.Format.LeftIndent;
  WriteRtfWordValue(w, RtfWord("li"), left);
  if (par.Format.PageBreakBefore > 0) WriteRtfWord(w, RtfWord("pagebb"));
  text = "\\keepn\\pvpara\\dropcapli" + std::to_string(drop.Lines) + "\\dropcapt" +
         std::to_string(kind);
  if (kind == 2) text += "\\phpg";
  if (distance > 0)
    text += "\\dxfrtext" + std::to_string(distance) + "\\dfrmtxtx" + std::to_string(distance) +
            "\\dfrmtxty0";
  WriteRtfRaw(w, text);
  w.DelimiterPending = true;
  w.ParState = DefaultParFormat;
  w.ParState.LeftIndent = static_cast<int16_t>(left);
}

void WriteSpecialChar(TRtfWriteState& w, int32_t code) {
  switch (code) {
    case scParagraphEnd: WriteRtfParagraphMark(w); break;
    case scColumnBreak: WriteRtfWord(w, RtfWord("column")); break;
    case scLineBreak: WriteRtfWord(w, RtfWord("line")); break;
    case scPageBreak: WriteRtfWord(w, RtfWord("page")); break;
    case scTab: WriteRtfWord(w, RtfWord("tab")); break;
    case scNonBreakingSpace: w.Text("\\~"); w.DelimiterPending = false; break;
    case scNonBreakingHyphen: w.Text("\\_"); w.DelimiterPending = false; break;
    case scEmDash: WriteRtfWord(w, RtfWord("emdash")); break;
    case scEnDash: WriteRtfWord(w, RtfWord("endash")); break;
    case scOptionalHyphen: w.Text("\\-"); w.DelimiterPending = false; break;
    case scAutoNoteMark: WriteRtfWord(w, RtfWord("chftn")); break;
    case scEnSpace:
    case scEmSpace:
    case scQuarterEmSpace: {
      const int32_t value = code == scEnSpace ? 8194 : code == scEmSpace ? 8195 : 8197;
      WriteRtfWordValue(w, RtfWord("u"), value);
      w.Text("  ");
      w.DelimiterPending = false;
      break;
    }
    default: break;
  }
}

void WriteTextRun(TRtfWriteState& w, const uint8_t* data, int32_t count) {
  int32_t i = 0;
  while (i < count) {
    const uint8_t cls = RtfByteClass(data[i]);
    int32_t j = i + 1;
    if (w.InNoteReference) {
      j = i + 1;  // one character at a time, so that the note follows its mark
    } else if (cls == 1) {
      while (j < count && RtfByteClass(data[j]) == 1) ++j;
    } else if (cls != 2) {
      while (j < count && (RtfByteClass(data[j]) == 0 || RtfByteClass(data[j]) == 3)) ++j;
    }
    if (!w.TextSuppressed) {
      if (cls == 1) {
        WriteRtfDelimiter(w);
        w.Bytes(data + i, j - i);
      } else if (cls == 2) {
        const char escape[2] = {'\\', static_cast<char>(data[i])};
        w.Bytes(escape, 2);
        w.DelimiterPending = false;
      } else if (w.RawText) {
        WriteRtfDelimiter(w);
        w.Bytes(data + i, j - i);
      } else {
        for (int32_t k = i; k < j; ++k) WriteRtfHexByte(w, data[k]);
        w.DelimiterPending = false;
      }
      if (w.InNoteReference) WriteRtfNote(w);
    }
    i = j;
  }
}

void WriteCharacterTag(TRtfWriteState& w, const TContentTag& tag, int32_t parIndex, bool last) {
  switch (tag.Kind) {
    case ctSpecialChar: WriteSpecialChar(w, tag.Value); break;
    case ctWideChar:
      if (!w.TextSuppressed) {
        WriteRtfWordValue(w, RtfWord("u"), static_cast<int16_t>(tag.Value & 0xFFFF));
        w.Byte('?');
        w.DelimiterPending = false;
      }
      break;
    case ctSectionBreak: {
      WriteRtfWord(w, RtfWord("sect"));
      WriteRtfWord(w, RtfWord("sectd"));
      TSection* next =
          parIndex >= 0 && parIndex + 1 < w.Doc.ParCount() ? w.Doc.SectionOfParagraph(parIndex + 1)
                                                           : nullptr;
      if (next != nullptr) WriteRtfSection(w, *next);
      if (const TSection* ended = SectionOfTag(tag)) WriteRtfSectionBreakKind(w, *ended);
      break;
    }
    case ctCellEnd:
      WriteRtfWord(w, RtfWord("cell"));
      if (last && !Saving(w, TDocSavingOptions::sfRowEndRule2)) {
        WriteRtfWord(w, RtfWord("row"));
        WriteRtfWord(w, RtfWord("pard"));
        w.ParState = DefaultParFormat;
        if (!Saving(w, TDocSavingOptions::sfRowEndRule1) &&
            !SaveProgressServices().CopyingForClipboard())
          WriteRtfParagraphMark(w);
      }
      break;
    case ctRowEnd: WriteRtfWord(w, RtfWord("row")); break;
    case ctInlineShape:
      if (TShape* shape = ShapeOfTag(tag)) WriteRtfPicture(w, *shape);
      break;
    default: break;
  }
}

// The drop cap ends: its paragraph goes on as an ordinary paragraph.
void EndDropCap(TRtfWriteState& w, TPar& par) {
  WriteRtfWord(w, RtfWord("par"));
  WriteRtfWord(w, RtfWord("pard"));
  w.ParState = par.Format;
  w.ParState.PageBreakBefore = 0;
  WriteParDifferences(w, w.ParState, DefaultParFormat);
}

// The stream offset after the character before `endOffset`, over the field ends that follow.
int32_t OutputEnd(const TPar& par, int32_t endOffset) {
  const int32_t length = par.Content.Length;
  if (endOffset < 0 || endOffset >= par.CharCount()) return length;
  if (endOffset == 0) return par.CharToStreamOffset(0);
  int32_t pos = par.CharToStreamOffset(endOffset - 1);
  TStreamItem item;
  if (ReadStreamItem(par.Content.Data, length, pos, item))
    pos += item.ItemType == TStreamItem::siText ? 1 : item.Size;
  while (ReadStreamItem(par.Content.Data, length, pos, item) &&
         item.ItemType == TStreamItem::siTag && item.Tag.Kind == ctFieldEnd)
    pos += item.Size;
  return pos;
}

// Starting character format and the stream offset where the walk goes on.
int32_t WriteStartingFormat(TRtfWriteState& w, TPar& par, int32_t startOffset, bool whole) {
  TCharFormat start = DefaultCharFormat;
  const uint8_t* data = par.Content.Data;
  const int32_t length = par.Content.Length;
  int32_t pos = 0;
  int32_t chars = 0;
  TStreamItem item;
  while (ReadStreamItem(data, length, pos, item)) {
    if (startOffset >= 0) {
      if (item.ItemType == TStreamItem::siTag && IsFormatTagKind(item.Tag.Kind)) {
        start[item.Tag.Kind] = item.Tag.Value;
      } else if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == ctFieldStart &&
                 chars == startOffset) {
        break;
      } else if (item.Chars() > 0) {
        if (chars >= startOffset) break;
        if (item.ItemType == TStreamItem::siText && chars + item.Size > startOffset) {
          pos += startOffset - chars;
          chars = startOffset;
          break;
        }
        chars += item.Chars();
      }
      pos += item.Size;
      continue;
    }
    if (item.ItemType != TStreamItem::siTag) break;
    if (IsFormatTagKind(item.Tag.Kind)) {
      start[item.Tag.Kind] = item.Tag.Value;
    } else if (IsFieldMarkKind(item.Tag.Kind)) {
      const TField* field = FieldOfTag(item.Tag);
      if (whole || field == nullptr || field->Kind != fkShapeAnchor) {
        WriteCharDifferences(w, start);
        WriteRtfFieldMark(w, item.Tag, w.CurrentPar, 0);
      }
    } else {
      break;
    }
    pos += item.Size;
  }
  WriteCharDifferences(w, start);
  return pos;
}

void WriteParagraphProperties(TRtfWriteState& w, TPar& par) {
  if (par.HasFlag(pfDropCap) && w.CurrentParObject == nullptr) {
    WriteDropCapProperties(w, par);
    return;
  }
  const int32_t index = w.CurrentPar;
  if (w.Context.WriteTables && !w.WritingListText && w.CurrentParObject == nullptr &&
      InTable(par.Format) && (index == SaveRange(w).Start.Par || IsFirstOfRow(w, index)))
    WriteRowDefinition(w, index);
  if (par.NumberPar != nullptr && !par.HasFlag(pfNumberPar) && par.Format.List != ParUnset32 &&
      par.Format.List != 0)
    WriteListText(w, par);
  const TParFormat format = FormatWithListTab(par);
  if (WriteParProperties(w, format, w.ParState)) w.ParState = format;
}

void WriteParagraphObject(TRtfWriteState& w, int32_t startOffset, int32_t endOffset) {
  TPar& par = w.Par();
  NormalizeParagraphTags(par);
  const bool whole = startOffset < 0 && (endOffset == -1 || endOffset >= par.CharCount());
  if (startOffset < 0) WriteParagraphProperties(w, par);
  int32_t pos = WriteStartingFormat(w, par, startOffset, whole);
  const int32_t end = OutputEnd(par, endOffset);
  const bool lastOfRange = w.CurrentParObject == nullptr && w.CurrentPar == SaveRange(w).End.Par;
  const uint8_t* data = par.Content.Data;
  const bool dropCap = whole && par.HasFlag(pfDropCap) && w.CurrentParObject == nullptr;
  bool groupOpen = false;
  bool afterChar = false;
  TCharFormat groupSaved;
  int32_t chars = startOffset < 0 ? 0 : startOffset;
  TStreamItem item;
  while (pos < end && ReadStreamItem(data, end, pos, item)) {
    if (item.ItemType == TStreamItem::siText) {
      WriteTextRun(w, data + pos, item.Size);
      chars += item.Size;
      afterChar = true;
      pos += item.Size;
      continue;
    }
    if (item.ItemType == TStreamItem::siDamaged) {
      pos += item.Size;
      continue;
    }
    const TContentTag tag = item.Tag;
    if (IsFormatTagKind(tag.Kind)) {
      if (groupOpen) {
        while (ReadStreamItem(data, end, pos, item) && item.ItemType == TStreamItem::siTag &&
               IsFormatTagKind(item.Tag.Kind))
          pos += item.Size;
        CloseRtfGroup(w);
        w.CharState = groupSaved;
        groupOpen = false;
        afterChar = false;
        continue;
      }
      if (afterChar && IsRtfFormattingGroup(w, data, pos, end)) {
        groupSaved = w.CharState;
        OpenRtfGroup(w);
        while (ReadStreamItem(data, end, pos, item) && item.ItemType == TStreamItem::siTag &&
               IsFormatTagKind(item.Tag.Kind)) {
          WriteCharProperty(w, item.Tag.Kind, item.Tag.Value);
          w.CharState[item.Tag.Kind] = item.Tag.Value;
          pos += item.Size;
        }
        groupOpen = true;
        afterChar = false;
        continue;
      }
      if (tag.Value != CharUnset && w.CharState[tag.Kind] != tag.Value) {
        WriteCharProperty(w, tag.Kind, tag.Value);
        w.CharState[tag.Kind] = tag.Value;
      }
      afterChar = false;
      pos += item.Size;
      continue;
    }
    if (IsCharTagKind(tag.Kind)) {
      WriteCharacterTag(w, tag, w.CurrentParObject == nullptr ? w.CurrentPar : -1, lastOfRange);
      ++chars;
      afterChar = true;
      if (w.InNoteReference && !w.TextSuppressed) WriteRtfNote(w);
      pos += item.Size;
      continue;
    }
    // A field mark.
    const TField* field = FieldOfTag(tag);
    pos += item.Size;
    afterChar = false;
    if (field == nullptr) continue;
    if (field->Kind == fkDropCap && tag.Kind == ctFieldEnd) {
      if (dropCap) EndDropCap(w, par);
      continue;
    }
    if (field->Kind == fkShapeAnchor && !whole) continue;
    if (w.CurrentParObject != nullptr) continue;
    WriteRtfFieldMark(w, tag, w.CurrentPar, chars);
  }
  if (groupOpen) {
    CloseRtfGroup(w);
    w.CharState = groupSaved;
  }
  if (!w.RawText) {
    w.Text("\r\n");
    w.DelimiterPending = false;
  }
}

// --- Field marks ---

void StartField(TRtfWriteState& w, TField& field, int32_t par, int32_t charCount) {
  TPar& p = *w.Doc.Par(par);
  const int32_t fontBefore = w.CharState.Font;
  PushFormatState(w);
  OpenRtfGroup(w);
  TCharFormat inside;
  p.GetCharFormatAt(std::min(charCount, std::max(0, p.CharCount() - 1)), inside);
  for (int i = 1; i < TCharFormat::Count; ++i) {
    if (inside[i] == CharUnset || inside[i] == w.CharState[i]) continue;
    WriteCharProperty(w, i, inside[i]);
    w.CharState[i] = inside[i];
  }
  w.Text("{");
  WriteRtfWord(w, RtfWord("field"));
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("fldinst"));
  w.Text("{");
  if (fontBefore != CharUnset) WriteRtfWordValue(w, RtfWord("f"), fontBefore);
  if (FieldTypeCarriesLanguage(field.FieldType) && inside.Language != CharUnset)
    WriteRtfWordValue(w, RtfWord("lang"), inside.Language);
  w.Text("  ");
  w.DelimiterPending = false;
  WriteRtfString(w, field.Instruction);
  w.Text(" }}{");
  WriteRtfWord(w, RtfWord("fldrslt"));
  w.Text("{");
  const int32_t font = inside.Font != CharUnset ? inside.Font : fontBefore;
  if (font != CharUnset) {
    WriteRtfWordValue(w, RtfWord("f"), font);
    w.CharState.Font = font;
  }
  w.DelimiterPending = true;
  if (field.FieldType == ftSymbol) w.TextSuppressed = true;
}

void EndField(TRtfWriteState& w, size_t openIndex, int32_t par, int32_t charCount) {
  const int32_t startPar = w.OpenFieldPars[openIndex];
  w.OpenFields.erase(w.OpenFields.begin() + static_cast<std::ptrdiff_t>(openIndex));
  w.OpenFieldPars.erase(w.OpenFieldPars.begin() + static_cast<std::ptrdiff_t>(openIndex));
  w.TextSuppressed = false;
  w.Text("}}}}");
  w.DelimiterPending = false;
  PopFormatState(w);
  // A field whose result ran over a section break: the section after it starts here.
  TDoc& doc = w.Doc;
  int32_t current = par;
  if (par >= 0 && par < doc.ParCount() && charCount >= doc.Par(par)->CharCount() - 1) ++current;
  if (current <= startPar || current >= doc.ParCount() || startPar < 0) return;
  TSection* section = doc.SectionOfParagraph(current);
  TSection* startSection = doc.SectionOfParagraph(startPar);
  if (section == nullptr || startSection == nullptr || section == startSection) return;
  if (section->FirstPar <= startPar) return;
  WriteRtfWord(w, RtfWord("sectd"));
  WriteRtfSection(w, *section);
  WriteRtfSectionBreakKind(w, *startSection);
}

bool NoteIsEndnote(const TField& reference) {
  const TField* text = reference.LinkedField;
  return text != nullptr ? text->NoteClass == 1 : reference.NoteClass == 1;
}

}  // namespace

void ResetRtfParagraph(TRtfWriteState& w) {
  WriteRtfWord(w, RtfWord("pard"));
  WriteRtfWord(w, RtfWord("plain"));
  const TCharFormat& defaults = DefaultCharFormat;
  if (defaults.Font != CharUnset) WriteRtfWordValue(w, RtfWord("f"), defaults.Font);
  if (defaults.Size != CharUnset) WriteRtfWordValue(w, RtfWord("fs"), defaults.Size);
  w.ParState = DefaultParFormat;
  w.CharState = DefaultCharFormat;
}

bool IsRtfFormattingGroup(const TRtfWriteState& w, const uint8_t* data, int32_t offset,
                          int32_t end) {
  std::array<bool, TCharFormat::Count> marked{};
  TStreamItem item;
  int32_t pos = offset;
  while (ReadStreamItem(data, end, pos, item) && item.ItemType == TStreamItem::siTag &&
         IsFormatTagKind(item.Tag.Kind)) {
    marked[item.Tag.Kind] = true;
    pos += item.Size;
  }
  bool sawText = false;
  while (ReadStreamItem(data, end, pos, item) &&
         (item.ItemType != TStreamItem::siTag || IsCharTagKind(item.Tag.Kind))) {
    sawText = true;
    pos += item.Size;
  }
  if (!sawText || pos >= end) return false;
  bool any = false;
  while (ReadStreamItem(data, end, pos, item) && item.ItemType == TStreamItem::siTag &&
         IsFormatTagKind(item.Tag.Kind)) {
    const int kind = item.Tag.Kind;
    if (!marked[kind] || item.Tag.Value != w.CharState[kind]) return false;
    marked[kind] = false;
    any = true;
    pos += item.Size;
  }
  if (!any) return false;
  return std::none_of(marked.begin(), marked.end(), [](bool m) { return m; });
}

void WriteRtfFieldMark(TRtfWriteState& w, const TContentTag& tag, int32_t par, int32_t charCount) {
  if (w.Context.Options.HasFlag(TDocSavingOptions::sfNoFields)) return;
  TField* field = FieldOfTag(tag);
  if (field == nullptr) return;
  const bool start = tag.Kind == ctFieldStart;
  const auto open = std::find(w.OpenFields.begin(), w.OpenFields.end(), field);
  const size_t openIndex = static_cast<size_t>(open - w.OpenFields.begin());
  const int32_t n = w.StyleCount;
  switch (field->Kind) {
    case fkField:
      if (start) {
        StartField(w, *field, par, charCount);
        w.OpenFields.push_back(field);
        w.OpenFieldPars.push_back(par);
      } else if (open != w.OpenFields.end()) {
        EndField(w, openIndex, par, charCount);
      }
      return;
    case fkBookmark:
      if (field->Flags == 2) return;
      WriteRtfStarGroup(w, start ? RtfWord("bkmkstart") : RtfWord("bkmkend"), field->Instruction);
      return;
    case fkNoteReference:
      if (start) {
        w.CurrentNote = field;
        WriteRtfWordValue(w, RtfWord("cs"), NoteIsEndnote(*field) ? n + 2 : n + 1);
        w.InNoteReference = true;
      } else {
        if (w.InNoteReference && w.CurrentNote == field) WriteRtfNote(w);
        WriteRtfWordValue(w, RtfWord("cs"), n);
      }
      return;
    case fkNoteMark: {
      const int32_t story = w.Doc.StoryOfParagraph(par);
      if (story != stFootnotes && story != stEndnotes) return;
      WriteRtfWordValue(w, RtfWord("cs"), !start ? n : story == stEndnotes ? n + 2 : n + 1);
      return;
    }
    case fkShapeAnchor:
      if (start && field->Shape != nullptr) WriteRtfShape(w, *field->Shape, par);
      return;
    default:
      if (start) {
        w.OpenFields.push_back(field);
        w.OpenFieldPars.push_back(par);
      } else if (open != w.OpenFields.end()) {
        w.OpenFields.erase(open);
        w.OpenFieldPars.erase(w.OpenFieldPars.begin() + static_cast<std::ptrdiff_t>(openIndex));
      }
      return;
  }
}

void WriteRtfNote(TRtfWriteState& w) {
  w.InNoteReference = false;
  TField* reference = w.CurrentNote;
  if (reference == nullptr) return;
  TField* text = reference->LinkedField;
  TDocRange range;
  if (text == nullptr || !w.Doc.GetFieldRange(text, range)) return;
  TSavedWriter saved(w);
  OpenRtfGroup(w);
  WriteRtfWord(w, RtfWord("footnote"));
  if (NoteIsEndnote(*reference)) WriteRtfWord(w, RtfWord("ftnalt"));
  ResetRtfParagraph(w);
  const int32_t first = range.Start.Par;
  const int32_t last = std::min(range.End.Par, w.Doc.ParCount() - 1);
  for (int32_t p = first; p <= last; ++p) {
    w.CurrentPar = p;
    w.CurrentParObject = nullptr;
    WriteParagraphObject(w, -1, p == last ? std::max(0, w.Doc.Par(p)->CharCount() - 1) : -1);
  }
  if (last >= first) {
    TCharFormat endFormat;
    TPar& lastPar = *w.Doc.Par(last);
    lastPar.GetCharFormatAt(std::max(0, lastPar.CharCount() - 1), endFormat);
    WriteCharDifferences(w, endFormat);
  }
  CloseRtfGroup(w);
}

void WriteRtfParagraph(TRtfWriteState& w, int32_t par, int32_t startOffset, int32_t endOffset) {
  w.CurrentPar = par;
  w.CurrentParObject = nullptr;
  WriteParagraphObject(w, startOffset, endOffset);
}

void WriteRtfBody(TRtfWriteState& w) {
  TDoc& doc = w.Doc;
  const TDocRange& range = SaveRange(w);
  if (doc.StoryOfParagraph(range.Start.Par) == stMain && !SaveProgressServices().SavingSelection()) {
    TSection* section = doc.SectionOfParagraph(range.Start.Par);
    if (section != nullptr && RtfRangeCoversSectionEnd(w, *section)) WriteRtfSection(w, *section);
  }
  WriteRtfWordValue(w, RtfWord("fet"), w.Context.EndnotesPresent ? 1 : 0);
  WriteNoteSeparators(w);
  ResetRtfParagraph(w);
  const int32_t first = range.Start.Par;
  const int32_t last = std::min(range.End.Par, doc.ParCount() - 1);
  if (first == last) {
    WriteRtfParagraph(w, first, range.Start.Offset > 0 ? range.Start.Offset : -1,
                      range.End.Offset);
  } else {
    WriteRtfParagraph(w, first, range.Start.Offset > 0 ? range.Start.Offset : -1, -1);
    for (int32_t p = first + 1; p < last; ++p) {
      WriteRtfParagraph(w, p, -1, -1);
      ++w.Context.ParagraphCounter;
      ReportSaveProgress(w.Context);
    }
    if (last > first) WriteRtfParagraph(w, last, -1, range.End.Offset);
  }
  while (!w.OpenFields.empty()) {
    TField* field = w.OpenFields.back();
    const int32_t par = w.OpenFieldPars.back();
    if (field->Kind == fkField) {
      EndField(w, w.OpenFields.size() - 1, par, 0);
    } else {
      w.OpenFields.pop_back();
      w.OpenFieldPars.pop_back();
    }
  }
  if (w.Context.ToMemory()) return;
  const bool endsEarly = last >= 0 && range.End.Offset < doc.Par(last)->CharCount();
  if (SaveProgressServices().SavingSelection()) {
    if (!InTable(doc.Par(last)->Format)) WriteRtfWord(w, RtfWord("par"));
  } else if (endsEarly) {
    WriteRtfWord(w, RtfWord("par"));
  }
}

}  // namespace qv
