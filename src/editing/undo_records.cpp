#include "editing/undo_records.h"

#include <algorithm>
#include <utility>

#include "document/auto_list.h"
#include "document/content_stream.h"
#include "document/field.h"
#include "document/shape.h"
#include "editing/edit_flags.h"
#include "editing/edit_layout_hooks.h"
#include "editing/operation.h"

namespace qv {

namespace {

TSection* SectionAt(TDoc& doc, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(doc.Sections.size())) return nullptr;
  return doc.Sections[static_cast<size_t>(index)].get();
}

void InvalidateSection(TDoc& doc, const TSection* s) {
  doc.UpdateSectionRanges();
  doc.InvalidateFromParagraph(s != nullptr ? s->FirstPar : 0);
}

void FromFirstPage(TDoc& doc) {
  TPostActions& pa = doc.CurrentPostActions();
  pa.FirstPage = 0;
  pa.FirstPar = 0;
  pa.HasRepaintRange = false;
}

TSectionFormatting TakeFormatting(const TSection& s) {
  TSectionFormatting f;
  f.Format = s.Format;
  f.PageParams = s.PageParams;
  f.HeaderFooter = s.HeaderFooter;
  f.PageNumberFormat = s.PageNumberFormat;
  f.PageNumberStart = s.PageNumberStart;
  f.Footnotes = s.Footnotes;
  f.Endnotes = s.Endnotes;
  return f;
}

void GiveFormatting(TSection& s, const TSectionFormatting& f) {
  s.Format = f.Format;
  s.PageParams = f.PageParams;
  s.HeaderFooter = f.HeaderFooter;
  s.PageNumberFormat = f.PageNumberFormat;
  s.PageNumberStart = f.PageNumberStart;
  s.Footnotes = f.Footnotes;
  s.Endnotes = f.Endnotes;
}

bool SameNotes(const TNoteSettings& a, const TNoteSettings& b) {
  return a.Position == b.Position && a.NumberFormat == b.NumberFormat && a.StartAt == b.StartAt &&
         a.Restart == b.Restart;
}

}  // namespace

void TSubOperation::Execute(std::unique_ptr<TSubOperation> record) {
  TDoc& doc = *record->Doc;
  record->Redo();
  AddSubOperation(doc, std::move(record));
}

void AddSubOperation(TDoc& doc, std::unique_ptr<TSubOperation> record) {
  TOperation* op = static_cast<TOperation*>(doc.CurrentOperation);
  if (op == nullptr) return;  // a stretch that records nothing: the record goes
  op->Records.push_back(std::move(record));
  doc.SetDocFlag(dfRecording, true);
}

void RelayoutParagraph(TDoc& doc, int32_t par) {
  const bool kept = EditLayoutHooks().ReformatParagraph(doc, par);
  TPostActions& pa = doc.CurrentPostActions();
  if (pa.FirstPage != PostActionNone || pa.FirstPar != PostActionNone) return;
  if (!kept) {
    // The line count changed: the pages from the paragraph's on need laying out again.
    doc.InvalidateFromParagraph(par);
    return;
  }
  if (par < 0 || par >= doc.ParCount()) return;
  MakeRange(par, 0, par, doc.Par(par)->CharCount(), pa.RepaintRange);
  pa.HasRepaintRange = true;
}

// --- Simple exchanges ---

void TNullOperation::Undo() {
  TPostActions& pa = Doc->CurrentPostActions();
  pa.FirstPage = Page;
  pa.HasRepaintRange = false;
}

void TDeactivate_OvertypeMulSelection_Operation::Undo() {
  Doc->SetDocFlag(dfMultiSelectionTyping, false);
}

void TChangeDocPropsOperation::Undo() {
  // The automatic properties (times) stay the document's own.
  Doc->Props.SwapDescriptive(Props);
  Doc->SetDocFlag(dfRecording, true);
}

void TChangePageParamsOperation::Undo() {
  for (size_t k = 0; k < Params.size(); ++k) {
    TSection* s = SectionAt(*Doc, FirstSection + static_cast<int32_t>(k));
    if (s != nullptr) std::swap(s->PageParams, Params[k]);
  }
  Doc->ColumnWidthsStale = true;
  Doc->SetDocFlag(dfStoryCountsChanged, true);
  Doc->SetDocFlag(dfPageParamsChanged, true);
  FromFirstPage(*Doc);
  TPostActions& pa = Doc->CurrentPostActions();
  if (Doc->Selection) {
    if (!pa.Selection) pa.Selection = AcquireFragment();
    pa.Selection->Assign(*Doc->Selection);
  }
}

void TFormatListLevelOperation::Undo() {
  if (List == nullptr || Level < 0 || Level >= ListLevelCount) return;
  std::swap(List->ListLevels[static_cast<size_t>(Level)].CharFormat, Format);
  Doc->SetDocFlag(dfRenumberLists, true);
}

TFormatAutoListOperation::TFormatAutoListOperation(TDoc& doc, TAutoList* list,
                                                   std::unique_ptr<TAutoList> definition)
    : TSubOperation(doc), List(list), Definition(std::move(definition)) {}
TFormatAutoListOperation::~TFormatAutoListOperation() = default;

void TFormatAutoListOperation::Undo() {
  if (List == nullptr || !Definition) return;
  TAutoList temp;
  temp.Assign(*List);
  List->Assign(*Definition);
  Definition->Assign(temp);
  Doc->SetDocFlag(dfRenumberLists, true);
  Doc->SetDocFlag(dfContentChanged, true);
  FromFirstPage(*Doc);
}

void TFastReplaceTextOperation::Undo() {
  if (Par < 0 || Par >= Doc->ParCount()) return;
  TPar& p = *Doc->Par(Par);
  NormalizeParagraphTags(p);
  for (size_t k = 0; k < Bytes.size(); ++k) {
    const int32_t off = p.CharToStreamOffset(Offset + static_cast<int32_t>(k));
    if (off >= p.Content.Length || p.Content.Data[off] == 0) continue;  // tags are left alone
    std::swap(reinterpret_cast<char&>(p.Content.Data[off]), Bytes[k]);
  }
  p.RebuildCodes();
  p.ContentChanged();
  p.InvalidateSpelling();
  RelayoutParagraph(*Doc, Par);
}

void TFastReplaceTextOperation2::Undo() {
  if (Par < 0 || Par >= Doc->ParCount()) return;
  TPar& p = *Doc->Par(Par);
  NormalizeParagraphTags(p);
  const int32_t off = p.CharToStreamOffset(Offset);
  if (!IsTagAt(p.Content.Data, p.Content.Length, off)) return;
  const TContentTag old = ReadTagAt(p.Content.Data, off);
  const uint8_t oldCode = CharCodeOfTag(old.Kind, old.Value);
  p.Content.Delete(off, ContentTagSize);
  if (Code == scCellEnd)
    InsertContentTag(p.Content, off, ctCellEnd, 0);
  else
    InsertContentTag(p.Content, off, ctSpecialChar, Code);
  Code = oldCode;
  p.RebuildCodes();
  p.ContentChanged();
  Doc->ClearTableCache();
  RelayoutParagraph(*Doc, Par);
}

void TChangeDefLangOperation::Undo() { std::swap(Doc->DefaultLanguage, Language); }

TFormatSectOperation::TFormatSectOperation(TDoc& doc, std::vector<TSection> saved,
                                           bool pageNumbersOnly, int32_t firstSection,
                                           int32_t lastSection)
    : TSubOperation(doc),
      Saved(std::move(saved)),
      PageNumbersOnly(pageNumbersOnly),
      FirstSection(firstSection),
      LastSection(lastSection) {}

void TFormatSectOperation::Undo() {
  for (int32_t i = FirstSection; i <= LastSection; ++i) {
    TSection* s = SectionAt(*Doc, i);
    const size_t k = static_cast<size_t>(i - FirstSection);
    if (s == nullptr || k >= Saved.size()) break;
    if (PageNumbersOnly) {
      std::swap(s->PageNumberFormat, Saved[k].PageNumberFormat);
      std::swap(s->PageNumberStart, Saved[k].PageNumberStart);
    } else {
      std::swap(s->Format, Saved[k].Format);
    }
  }
  InvalidateSection(*Doc, SectionAt(*Doc, FirstSection));
}

void TExchangeSectFormattingOperation::Undo() {
  TSectionFormatting a = TakeFormatting(*A);
  GiveFormatting(*A, TakeFormatting(*B));
  GiveFormatting(*B, a);
  FromFirstPage(*Doc);
}

TFormatNotesOperation::TFormatNotesOperation(TDoc& doc, std::vector<TNoteSettings> footnotes,
                                             std::vector<TNoteSettings> endnotes,
                                             const TCharFormat& footMark,
                                             const TCharFormat& endMark, int32_t firstSection)
    : TSubOperation(doc),
      Footnotes(std::move(footnotes)),
      Endnotes(std::move(endnotes)),
      FootnoteMark(footMark),
      EndnoteMark(endMark),
      FirstSection(firstSection) {}

void TFormatNotesOperation::Undo() {
  Changed = false;
  for (size_t k = 0; k < Footnotes.size() && k < Endnotes.size(); ++k) {
    TSection* s = SectionAt(*Doc, FirstSection + static_cast<int32_t>(k));
    if (s == nullptr) break;
    if (!SameNotes(s->Footnotes, Footnotes[k]) || !SameNotes(s->Endnotes, Endnotes[k])) {
      std::swap(s->Footnotes, Footnotes[k]);
      std::swap(s->Endnotes, Endnotes[k]);
      Changed = true;
    }
  }
  if (!CharFormatsEqual(Doc->FootnoteMarkFormat, FootnoteMark)) {
    std::swap(Doc->FootnoteMarkFormat, FootnoteMark);
    Changed = true;
  }
  if (!CharFormatsEqual(Doc->EndnoteMarkFormat, EndnoteMark)) {
    std::swap(Doc->EndnoteMarkFormat, EndnoteMark);
    Changed = true;
  }
  if (Changed) FromFirstPage(*Doc);
}

void TConvertNotesOperation::Undo() {
  for (TField* f : Notes) {
    f->NoteClass = f->NoteClass ? 0 : 1;
    if (f->LinkedField != nullptr) f->LinkedField->NoteClass = f->NoteClass;
  }
  FromFirstPage(*Doc);
}

void TNoteSeparatorOperation::Undo() {
  std::swap(Doc->NoteSeparatorFlags, Flags);
  FromFirstPage(*Doc);
}

void TAssignSectOperation::Undo() {
  GiveFormatting(*Target, Saved);
  Doc->InvalidateFromParagraph(std::min(Target->FirstPar, Source->FirstPar));
}

void TAssignSectOperation::Redo() {
  Saved = TakeFormatting(*Target);
  GiveFormatting(*Target, TakeFormatting(*Source));
  Doc->InvalidateFromParagraph(std::min(Target->FirstPar, Source->FirstPar));
}

void TChangeSectHeadersOperation::Undo() {
  std::swap(Section->HeaderFooter, Fields);
  InvalidateSection(*Doc, Section);
}

void TChangeHyphOptionsOperation::Undo() {
  std::swap(Doc->AutoHyphenation, AutoHyphenation);
  std::swap(Doc->HyphenateCaps, Caps);
  std::swap(Doc->HyphenationZone, Zone);
  std::swap(Doc->HyphenationLimit, Limit);
  FromFirstPage(*Doc);
  for (auto& p : Doc->Paragraphs) p->ReleaseLines(0);
}

void TEditFieldOperation::Undo() {
  std::swap(Field->Instruction, Instruction);
  Doc->SetDocFlag(dfFieldsChanged, true);
}

void TChangeFieldPropsOperation::Undo() {
  std::swap(Field->FieldType, FieldType);
  std::swap(Field->Instruction, Instruction);
  Doc->SetDocFlag(dfFieldsChanged, true);
}

void TChangeSectBreakOperation::Undo() {
  if (Par < 0 || Par >= Doc->ParCount()) return;
  TSection* s = Doc->Par(Par)->SectionBreak();
  if (s == nullptr) return;
  const int32_t old = s->Format.BreakKind;
  s->Format.BreakKind = Kind;
  Kind = old;
  Doc->SetDocFlag(dfStoryCountsChanged, true);
  Doc->UpdateSectionRanges();
  Doc->InvalidateFromParagraph(old != sbContinuous && Kind != sbContinuous ? Par : s->FirstPar);
}

}  // namespace qv

namespace qv {

namespace {

// The stream offset of the slot-th field mark place before the character (after the marks
// counted); marks stand ahead of the formatting at their place in normal form.
int32_t MarkPlace(const TPar& p, int32_t charIndex, int32_t slot) {
  int32_t off = charIndex <= 0 ? 0 : p.CharToStreamOffset(charIndex - 1);
  if (charIndex > 0 && off < p.Content.Length) off += p.Content.Data[off] == 0 ? ContentTagSize : 1;
  for (int32_t k = 0; k < slot && IsTagAt(p.Content.Data, p.Content.Length, off) &&
                      IsFieldMarkKind(p.Content.Data[off + 1]);
       ++k)
    off += ContentTagSize;
  return off;
}

// Finds the field's mark of the kind in the paragraph: its stream offset, or -1.
int32_t FindMark(const TPar& p, const TField* field, uint8_t kind) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size)
    if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == kind && FieldOfTag(item.Tag) == field)
      return off;
  return -1;
}

}  // namespace

TInsDelFieldOperation::TInsDelFieldOperation(TDoc& doc, uint8_t state, TField* field,
                                             uint8_t parts, const TDocPosition& start,
                                             int32_t startSlot, const TDocPosition& end,
                                             int32_t endSlot)
    : TSubOperation(doc),
      State(state),
      Parts(parts),
      Field(field),
      Start(start),
      End(end),
      StartSlot(startSlot),
      EndSlot(endSlot) {}

TInsDelFieldOperation::~TInsDelFieldOperation() = default;

void TInsDelFieldOperation::Undo() {
  TDoc& doc = *Doc;
  auto touch = [&doc](int32_t par) {
    TPar& p = *doc.Par(par);
    p.ContentChanged();
    p.RebuildCodes();
    p.InvalidateSpelling();
    RelayoutParagraph(doc, par);
  };
  // Takes a mark out, keeping its character position and its slot among the tags there.
  auto removeMark = [&](TDocPosition& at, int32_t& slot, uint8_t kind) {
    TPar& p = *doc.Par(at.Par);
    NormalizeParagraphTags(p);
    const int32_t off = FindMark(p, Field, kind);
    if (off < 0) return;
    at.Offset = p.StreamOffsetToChar(off);
    slot = 0;
    for (int32_t o = MarkPlace(p, at.Offset, 0); o < off; o += ContentTagSize) ++slot;
    p.Content.Delete(off, ContentTagSize);
    touch(at.Par);
  };
  // Puts a mark back at its character position and slot.
  auto insertMark = [&](const TDocPosition& at, int32_t slot, uint8_t kind) {
    TPar& p = *doc.Par(at.Par);
    NormalizeParagraphTags(p);
    InsertContentTag(p.Content, MarkPlace(p, at.Offset, slot), kind, TagRefOf(Field));
    touch(at.Par);
  };
  if (State == 1) {  // remove: end mark first, so the start's place is not disturbed
    if (Parts & mpEnd) removeMark(End, EndSlot, ctFieldEnd);
    if (Parts & mpStart) removeMark(Start, StartSlot, ctFieldStart);
    if (Parts == mpBoth && Field->Kind == fkShapeAnchor && Field->Shape != nullptr)
      Field->Shape->Flags |= TShape::FlagRemoved;
    if (Parts == mpBoth) {
      for (auto it = doc.Fields.begin(); it != doc.Fields.end(); ++it)
        if (it->get() == Field) {
          ListIndex = static_cast<int32_t>(it - doc.Fields.begin());
          Held = std::move(*it);
          doc.Fields.erase(it);
          break;
        }
    }
  } else {  // insert: start mark first
    // A field put back takes its old place in the list (fields of equal ranges are told apart
    // by their order there).
    if (Parts == mpBoth && Held) {
      const auto size = static_cast<int32_t>(doc.Fields.size());
      const int32_t at = ListIndex >= 0 && ListIndex <= size ? ListIndex : size;
      doc.Fields.insert(doc.Fields.begin() + at, std::move(Held));
    }
    if (Parts == mpBoth && Field->Kind == fkShapeAnchor && Field->Shape != nullptr)
      Field->Shape->Flags &= static_cast<uint8_t>(~TShape::FlagRemoved);
    if (Parts & mpStart) insertMark(Start, StartSlot, ctFieldStart);
    if (Parts & mpEnd) insertMark(End, EndSlot, ctFieldEnd);
  }
  State = State ? 0 : 1;
  doc.SetDocFlag(dfFieldsChanged, true);
}

}  // namespace qv
