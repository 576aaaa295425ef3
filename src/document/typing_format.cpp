// Which formatting is in force at a place or common to a selection, and the typing format: what
// the next typed character will look like.
#include <algorithm>
#include <climits>
#include <vector>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "document/selection_tables.h"

namespace qv {

namespace {

// Visits each paragraph part of the fragment (or of the range when the fragment is null):
// paragraph, first offset, end offset (exclusive; the paragraph's length in earlier paragraphs).
template <class Visit>
void ForEachParagraphPart(const TDoc& doc, const TCompoundFragment* fragment,
                          const TDocRange& range, Visit visit) {
  const int32_t n = fragment != nullptr ? fragment->Count() : 1;
  for (int32_t i = 0; i < n; ++i) {
    const TDocRange& r = fragment != nullptr ? *fragment->GetRange(i) : range;
    const int32_t last = std::min(r.End.Par, doc.ParCount() - 1);
    for (int32_t p = std::max(r.Start.Par, 0); p <= last; ++p) {
      const int32_t len = doc.Par(p)->CharCount();
      const int32_t from = p == r.Start.Par ? std::clamp(r.Start.Offset, 0, len) : 0;
      const int32_t to = p == r.End.Par ? std::clamp(r.End.Offset, from, len) : len;
      visit(p, from, to);
    }
  }
}

// The format common to the characters from..to - 1 of a paragraph (the format at `from` for an
// empty part).
TCharFormat CommonFormatOfPart(TPar& par, int32_t from, int32_t to) {
  TCharFormat f;
  par.GetCharFormatAt(from, f);
  if (to - 1 <= from) return f;
  const int32_t begin = par.CharToStreamOffset(from);
  const int32_t limit = par.CharToStreamOffset(to - 1);
  const TFontFaceSource& faces = FontFaceSource();
  TStreamItem item;
  for (int32_t off = begin; off < limit && ReadStreamItem(par.Content.Data, par.Content.Length,
                                                          off, item);
       off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || !IsFormatTagKind(item.Tag.Kind)) continue;
    const int k = item.Tag.Kind;
    if (f[k] == CharUnset || f[k] == item.Tag.Value) continue;
    if (k == cpFont && item.Tag.Value != CharUnset && faces.SameFace(f[k], item.Tag.Value)) continue;
    f[k] = CharUnset;
  }
  return f;
}

// A field with a mark in one paragraph: its start and end as offsets there, -1 for a start in
// an earlier paragraph and INT32_MAX for an end in a later one.
struct TLocalField {
  TField* Field = nullptr;
  int32_t Start = -1;
  int32_t End = INT32_MAX;
  bool Contains(int32_t c) const { return Start <= c && c < End; }
};

std::vector<TLocalField> FieldsOfParagraph(const TPar& par) {
  std::vector<TLocalField> fields;
  int32_t chars = 0;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
      TField* f = FieldOfTag(item.Tag);
      if (f == nullptr) continue;
      auto it = std::find_if(fields.begin(), fields.end(),
                             [f](const TLocalField& l) { return l.Field == f; });
      if (it == fields.end()) it = fields.insert(fields.end(), TLocalField{f, -1, INT32_MAX});
      if (item.Tag.Kind == ctFieldStart) it->Start = chars;
      else it->End = chars;
      continue;
    }
    chars += item.Chars();
  }
  return fields;
}

// The innermost of the fields that hold the character.
const TLocalField* InnermostAt(const std::vector<TLocalField>& fields, int32_t c) {
  const TLocalField* best = nullptr;
  for (const TLocalField& l : fields) {
    if (!l.Contains(c)) continue;
    if (best == nullptr || l.Start > best->Start || (l.Start == best->Start && l.End < best->End))
      best = &l;
  }
  return best;
}

// The place just outside the outermost of the fields around `field` that begin (or end) in the
// paragraph; -1 when the walk leaves the paragraph.
int32_t OffsetBeforeFields(const std::vector<TLocalField>& fields, const TLocalField& field) {
  int32_t c = field.Start - 1;
  while (c >= 0) {
    const TLocalField* around = InnermostAt(fields, c);
    if (around == nullptr) return c;
    if (around->Start < 0) return -1;
    c = around->Start - 1;
  }
  return -1;
}

int32_t OffsetAfterFields(const std::vector<TLocalField>& fields, const TLocalField& field,
                          int32_t length) {
  int32_t c = field.End;
  while (c < length) {
    const TLocalField* around = InnermostAt(fields, c);
    if (around == nullptr) return c;
    if (around->End == INT32_MAX) return -1;
    c = around->End;
  }
  return -1;
}

// The end of a drop cap at the paragraph's start, as an offset; -1 without one.
int32_t DropCapEnd(const std::vector<TLocalField>& fields) {
  for (const TLocalField& l : fields)
    if (l.Field->Kind == fkDropCap && l.Start == 0 && l.End != INT32_MAX) return l.End;
  return -1;
}

// The item after the one at the stream offset (a text byte or a tag counts as one element).
int32_t NextElementOffset(const TPar& par, int32_t off) {
  return off + (IsTagAt(par.Content.Data, par.Content.Length, off) ? ContentTagSize : 1);
}

// The positionless tags that follow the character before the offset (from the stream's start at
// offset 0) hold the end of a field, note reference or note mark.
bool AfterFieldEnd(const TPar& par, int32_t offset) {
  int32_t off = offset > 0 ? NextElementOffset(par, par.CharToStreamOffset(offset - 1)) : 0;
  while (IsTagAt(par.Content.Data, par.Content.Length, off)) {
    const TContentTag t = ReadTagAt(par.Content.Data, off);
    if (!IsPositionlessTagKind(t.Kind)) break;
    if (t.Kind == ctFieldEnd) {
      const TField* f = FieldOfTag(t);
      if (f != nullptr && (f->Kind == fkField || f->Kind == fkNoteReference || f->Kind == fkNoteMark))
        return true;
    }
    off += ContentTagSize;
  }
  return false;
}

// The element after the character before the offset is a field start (at offset 0: the element
// after the stream's first).
bool FieldStartsAt(const TPar& par, int32_t offset) {
  if (par.Content.Length == 0) return false;
  const int32_t off = offset > 0 ? NextElementOffset(par, par.CharToStreamOffset(offset - 1))
                                 : NextElementOffset(par, 0);
  return IsTagAt(par.Content.Data, par.Content.Length, off) &&
         ReadTagAt(par.Content.Data, off).Kind == ctFieldStart;
}

}  // namespace

// --- Formats common to a selection ---

void TDoc::GetCommonParFormat(const TCompoundFragment* fragment, const TDocRange& range,
                              TParFormat& out) const {
  bool any = false;
  ForEachParagraphPart(*this, fragment, range, [&](int32_t p, int32_t, int32_t) {
    if (IsRowEndParagraph(*this, p)) return;
    if (!any) out = Par(p)->Format;
    else IntersectParFormat(out, Par(p)->Format);
    any = true;
  });
  if (!any) out = TableParFormat;
}

void TDoc::GetCommonCharFormat(const TCompoundFragment* fragment, const TDocRange& range,
                               TCharFormat& out) const {
  bool any = false;
  ForEachParagraphPart(*this, fragment, range, [&](int32_t p, int32_t from, int32_t to) {
    TPar& par = *Par(p);
    if (par.CharCount() == 0 || IsRowEndParagraph(*this, p)) return;
    NormalizeParagraphTags(par);
    const TCharFormat part = CommonFormatOfPart(par, from, to);
    if (!any) out = part;
    else IntersectCharFormat(out, part);
    any = true;
  });
  if (!any) out = DefaultCharFormat;
}

// --- The format at a place ---

void TDoc::GetCharFormatAt(int32_t par, int32_t offset, TCharFormat& out) const {
  if (par < 0 || par >= ParCount()) {
    out = DefaultCharFormat;
    return;
  }
  TPar& p = *Par(par);
  NormalizeParagraphTags(p);
  const int32_t length = p.CharCount();
  offset = std::clamp(offset, 0, length);
  p.GetCharFormatAt(std::max(0, offset - 1), out);
  if (IsDocFlagSet(dfNoFieldEdgeRules)) return;

  const std::vector<TLocalField> fields = FieldsOfParagraph(p);
  // The text after a drop cap does not take the drop cap's format.
  if (p.HasFlag(pfDropCap) && DropCapEnd(fields) == offset && offset < length) {
    ++offset;
    p.GetCharFormatAt(offset - 1, out);
  }

  const TLocalField* field = InnermostAt(fields, std::max(0, offset - 1));
  if (field == nullptr || field->End == INT32_MAX) return;
  const bool atEdge = offset == 0 ? field->Start == 0 : field->End == offset;
  if (!atEdge) return;
  int32_t outside = -1;
  if (offset > 0 && field->Start >= 0) outside = OffsetBeforeFields(fields, *field);
  if (outside < 0) outside = OffsetAfterFields(fields, *field, length);
  if (outside < 0) return;
  TCharFormat replacement;
  p.GetCharFormatAt(outside, replacement);
  const TField& f = *field->Field;
  if (f.Kind == fkNoteReference || f.Kind == fkNoteMark) {
    out.Script = replacement.Script;
  } else if (f.Kind == fkField && f.FieldType == ftSymbol) {
    out.Font = replacement.Font;
  } else if (f.Kind == fkField && f.FieldType == ftHyperlink) {
    out.Underline = replacement.Underline;
    out.Color = replacement.Color;
  }
}

void TDoc::GetCharFormatAtPos(const TDocPosition& position, TCharFormat& out) const {
  GetCharFormatAt(position.Par, position.Offset, out);
}

int32_t TDoc::GetLanguageAt(int32_t par, int32_t offset) const {
  TCharFormat f;
  GetCharFormatAt(par, offset, f);
  return f.Language;
}

// --- The typing format ---

void TDoc::UpdateTypingFormat(const TDocPosition& position, uint8_t force) {
  TSelectionServices& services = SelectionServices();
  TDocPosition p = position;
  if (p.Par >= ParCount()) MakePosition(ParCount() - 1, Par(ParCount() - 1)->CharCount(), p);
  p.Par = std::max(p.Par, 0);
  const int32_t length = Par(p.Par)->CharCount();

  if (HasSelection() && force == 0) {
    const TDocRange first = *Selection->GetRange(0);
    TDocPosition source = first.Start;
    if (IsDocFlagSet(dfTypingFormatFromParEnd))
      MakePosition(first.End.Par, Par(first.End.Par)->CharCount(), source);
    GetCharFormatAtPos(source, TypingFormat);
    FormatBeforeCaret = first.Start.Offset > 0 ? TypingFormat : DefaultCharFormat;
    TDocPosition after = first.End;
    if (after.Offset >= Par(after.Par)->CharCount() && after.Par < LastParagraphOfStory(stMain))
      MakePosition(after.Par + 1, 0, after);
    if (after.Offset < Par(after.Par)->CharCount()) ++after.Offset;
    GetCharFormatAtPos(after, FormatAfterCaret);
    TypingFormat.Highlight = CurCharFormat.Highlight == CharUnset ? AutoColor : CurCharFormat.Highlight;
  } else if (force != 0 || !SamePlace(p, Caret)) {
    if (IsDocFlagSet(dfNoFieldEdgeRules)) {
      GetCharFormatAtPos(p, FormatBeforeCaret);
      FormatAfterCaret = FormatBeforeCaret;
    }
    GetCharFormatAtPos(p, TypingFormat);
    if (p.Offset < length) {
      TCharFormat next;
      Par(p.Par)->GetCharFormatAt(p.Offset, next);
      TypingFormat.Highlight = next.Highlight;
    }
  } else {
    TPar& par = *Par(p.Par);
    NormalizeParagraphTags(par);
    if (!IsDocFlagSet(dfTypingFormatFromParEnd)) {
      TypingFormat = CurCharFormat;
      services.AdaptTypingFont(*this, TypingFormat);
    } else {
      GetCharFormatAt(p.Par, length, TypingFormat);
    }
    if (AfterFieldEnd(par, p.Offset)) {
      SetScopedFlag(dfNoFieldEdgeRules);
      GetCharFormatAt(p.Par, p.Offset, FormatBeforeCaret);
      GetCharFormatAt(p.Par, p.Offset + 1, FormatAfterCaret);
      RestoreScopedFlag();
    } else if (FieldStartsAt(par, p.Offset)) {
      SetScopedFlag(dfNoFieldEdgeRules);
      GetCharFormatAt(p.Par, p.Offset + 1, FormatAfterCaret);
      RestoreScopedFlag();
      if (p.Offset > 0) GetCharFormatAt(p.Par, p.Offset - 1, FormatBeforeCaret);
      else FormatBeforeCaret = FormatAfterCaret;
    } else if (IsDocFlagSet(dfTypingContextFromCaret)) {
      GetCharFormatAtPos(p, FormatBeforeCaret);
      FormatAfterCaret = FormatBeforeCaret;
    } else {
      FormatBeforeCaret = CurCharFormat;
      GetCharFormatAtPos(p, FormatAfterCaret);
    }
    if (TypingFormat.Highlight != CharUnset && TypingFormat.Highlight != AutoColor) {
      TCharFormat next;
      if (p.Offset < length - 1) par.GetCharFormatAt(p.Offset, next);
      TypingFormat.Highlight =
          p.Offset < length - 1 && next.Highlight != CharUnset ? next.Highlight : AutoColor;
    }
  }

  switch (services.PointerMode()) {
    case pmFormatPalette:
      ApplyCharFormat(TypingFormat, services.FormatPaletteCharFormat());
      services.AdaptTypingFont(*this, TypingFormat);
      break;
    case pmHighlighter: TypingFormat.Highlight = services.HighlighterColor(); break;
    case pmFontColorPen: TypingFormat.Color = services.FontColorPenColor(); break;
    default: break;
  }
}

void TDoc::SaveFormatsAroundRange(const TDocRange& range) {
  SetScopedFlag(dfNoFieldEdgeRules);
  GetCharFormatAt(range.Start.Par, range.Start.Offset + 1, FormatsAroundRange[0]);
  GetCharFormatAt(range.End.Par, range.End.Offset + 1, FormatsAroundRange[1]);
  RestoreScopedFlag();
}

}  // namespace qv
