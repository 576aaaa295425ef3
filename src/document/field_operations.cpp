// The undoable changes of field marks. Each one goes through the editing engine's records, so it
// is undone with the edit that made it; the field index is marked dirty by the records.
#include <algorithm>

#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/field_text.h"
#include "foundation/base/memory.h"
#include "foundation/settings/options_holder.h"

namespace qv {

namespace {

constexpr uint8_t kInsert = 0, kRemove = 1;
constexpr uint8_t kStartMark = 1, kEndMark = 2, kBothMarks = 3;

bool ValidPlace(const TDoc& doc, const TDocPosition& at) {
  return at.Par >= 0 && at.Par < doc.ParCount() && at.Offset >= 0;
}

}  // namespace

void TDoc::InsDelFieldMark(TField* field, int32_t par, int32_t offset, int32_t slot, bool insert,
                           bool startMark) {
  TDocPosition at;
  MakePosition(par, offset, at);
  if (field == nullptr || !ValidPlace(*this, at)) return;
  EditServices().InsDelFieldMarks(*this, insert ? kInsert : kRemove, field,
                                  startMark ? kStartMark : kEndMark, at, slot, at, slot, nullptr);
  InvalidateFieldIndex();
}

TField* TDoc::InsertFieldMarks(std::unique_ptr<TField> field, const TDocRange& range) {
  if (!field || !ValidPlace(*this, range.Start) || !ValidPlace(*this, range.End) ||
      ComparePositions(range.Start, range.End) > 0)
    return nullptr;
  TField* f = field.get();
  EditServices().InsDelFieldMarks(*this, kInsert, f, kBothMarks, range.Start, FieldSlotFirst,
                                  range.End, FieldSlotLast, std::move(field));
  InvalidateFieldIndex();
  return f;
}

void TDoc::RemoveField(TField* field) {
  TDocRange range;
  if (field == nullptr || !GetFieldRange(field, range)) return;
  // A floating shape leaves with its anchor: the shapes above it close the gap first, so that
  // undo reopens it only after the anchor is back.
  if (field->Kind == fkShapeAnchor) RemoveShapeFromZOrder(field->Shape);
  // No slots are given: the removal notes the slot each mark had, for undo to put it back there.
  EditServices().InsDelFieldMarks(*this, kRemove, field, kBothMarks, range.Start, 0, range.End,
                                  0, nullptr);
  InvalidateFieldIndex();
  TPostActions& post = EditServices().CurrentPostActions(*this);
  post.Caret = Caret;
  post.HasCaret = true;
}

void TDoc::EditFieldInstruction(TField* field, std::u16string instruction) {
  if (field == nullptr) return;
  EditServices().EditFieldInstruction(*this, field, std::move(instruction));
  InvalidateFieldIndex();
}

TField* TDoc::InsertFieldAtCaret(std::unique_ptr<TField> field) {
  if (!field || !ValidPlace(*this, Caret)) return nullptr;
  TField* f = field.get();
  // Both marks after every mark at the caret, the end after the start: empty and innermost.
  EditServices().InsDelFieldMarks(*this, kInsert, f, kBothMarks, Caret, FieldSlotLast, Caret,
                                  FieldSlotLast, std::move(field));
  InvalidateFieldIndex();
  return f;
}

void TDoc::RemoveTocField(TField* toc) {
  TDocRange range;
  if (toc == nullptr || !GetFieldRange(toc, range)) return;
  // The entries' links are gathered before anything is removed: removal dirties the index.
  std::vector<TField*> entries;
  for (TField* f : FieldIndex().Fields)
    if (f != toc && f->Kind == fkField &&
        (f->FieldType == ftPageRef || f->FieldType == ftHyperlink) &&
        PositionInRangeInclusive(f->Range.Start, range))
      entries.push_back(f);
  RemoveField(toc);
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) RemoveField(*it);
}

TField* TDoc::InsertNewField(int32_t fieldType, const std::u16string& argument) {
  const char* keyword = FieldKeyword(fieldType);
  if (keyword == nullptr || !ValidPlace(*this, Caret)) return nullptr;
  const TDocPosition at = Caret;
  TMemory placeholder;
  placeholder.AppendString(fieldType == ftNumWords ? "a" : "?");
  EditServices().InsertContent(*this, placeholder, at, StoryOfParagraph(at.Par), 0);
  auto field = std::make_unique<TField>();
  field->FieldType = static_cast<uint8_t>(fieldType);
  for (const char* k = keyword; *k != 0; ++k) field->Instruction.push_back(static_cast<uint8_t>(*k));
  if (!argument.empty()) field->Instruction += u" " + argument;
  TField* f = field.get();
  TDocPosition after = at;
  after.Offset += 1;
  // The marks go inside every field at either end: start after the marks at its place, end
  // before those at the place after the placeholder.
  EditServices().InsDelFieldMarks(*this, kInsert, f, kBothMarks, at, FieldSlotLast, after,
                                  FieldSlotFirst, std::move(field));
  InvalidateFieldIndex();
  Caret = after;
  return f;
}

void TDoc::InsertHyperlink(const std::u16string& instruction, const std::u16string& displayText) {
  std::vector<TDocRange> ranges;
  if (HasSelection())
    for (int32_t i = 0; i < Selection->Count(); ++i) ranges.push_back(*Selection->GetRange(i));
  if (ranges.empty()) ranges.push_back({Caret, Caret});
  const bool caretOnly = ranges.size() == 1 && IsRangeEmpty(ranges[0]);
  for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
    TDocRange link = *it;
    if (!ValidPlace(*this, link.Start) || !ValidPlace(*this, link.End)) continue;
    if (caretOnly || !displayText.empty()) {
      TScopedDocFlag replacing(*this, dfHyperlinkTextReplaced);
      link.End = ReplaceRangeWithText(*this, link, displayText);
    }
    InsertHyperlinkAround(*this, link, instruction);
  }
  InvalidateFieldIndex();
  ClearSelection();
}

TField* InsertHyperlinkAround(TDoc& doc, const TDocRange& link, const std::u16string& instruction) {
  if (!ValidPlace(doc, link.Start) || !ValidPlace(doc, link.End)) return nullptr;
  auto field = std::make_unique<TField>();
  field->FieldType = ftHyperlink;
  field->Instruction = instruction;
  TField* f = field.get();  // taken before the field is handed over
  EditServices().InsDelFieldMarks(doc, kInsert, f, kBothMarks, link.Start, FieldSlotLast, link.End,
                                  FieldSlotLast, std::move(field));
  doc.InvalidateFieldIndex();
  FieldEditServices().FormatFont(doc, link, HyperlinkCharFormat());
  return f;
}

TCharFormat HyperlinkCharFormat() {
  const TEditOptions& options = GetOptions().Edit;
  TCharFormat f = UnsetCharFormat;
  f.Underline = options.HLinkULine;
  f.Color = options.HLinkColor;
  return f;
}

}  // namespace qv
