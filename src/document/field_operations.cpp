// The undoable changes of field marks. Each one goes through the editing engine's records, so it
// is undone with the edit that made it; the field index is marked dirty by the records.
#include <algorithm>

#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_index.h"

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

}  // namespace qv
