#include "editing/ops/multi_selection.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/fragment_pool.h"
#include "document/selection_services.h"
#include "editing/format_operations.h"
#include "editing/ops/deletion.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "editing/undo_records.h"

namespace qv {

namespace {

constexpr uint8_t kInsertMarks = 0;

bool IsTypingMarker(const TField& f) { return f.Kind == fkBookmark && (f.Flags & 4) != 0; }

bool HasBookmarkNamed(const TDoc& doc, const std::u16string& name) {
  return std::any_of(doc.Fields.begin(), doc.Fields.end(), [&](const std::unique_ptr<TField>& f) {
    return f->Kind == fkBookmark && f->Instruction == name;
  });
}

std::u16string Utf16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// A hidden bookmark over the range: its start before every mark at its place, its end after all.
TField* InsertMarker(TDoc& doc, const TDocRange& range, std::u16string name, uint8_t flags) {
  auto field = std::make_unique<TField>();
  field->Kind = fkBookmark;
  field->Flags = flags;
  field->Instruction = std::move(name);
  TField* f = field.get();
  EditServices().InsDelFieldMarks(doc, kInsertMarks, f, 3, range.Start, FieldSlotFirst, range.End,
                                  FieldSlotLast, std::move(field));
  doc.InvalidateFieldIndex();
  return f;
}

}  // namespace

std::vector<TField*> TypingMarkers(TDoc& doc) {
  doc.RebuildFieldIndex();
  std::vector<TField*> out;
  for (TField* f : doc.FieldIndex().Fields)
    if (IsTypingMarker(*f)) out.push_back(f);
  return out;
}

void BeginMultiSelectionTyping(TDoc& doc) {
  TFragmentRef ranges = CloneFragment(*doc.Selection);
  const bool cells = doc.IsCellSelection(*ranges);
  if (cells) {
    doc.SplitFragmentsAtCells(*ranges);
    ranges->Normalize();
  }
  TScopedDocFlag cellsOnly(doc, dfEmptyCellsOnly, cells);
  if (IsFragmentEmpty(ranges)) return;
  doc.RebuildFieldIndex();
  for (TField* old : TypingMarkers(doc)) doc.RemoveField(old);
  for (int32_t i = ranges->Count() - 1; i >= 0; --i)
    InsertMarker(doc, *ranges->GetRange(i), u"\x01" + Utf16(std::to_string(i)), kTypingMarkerFlags);
  {
    // The markers span exactly the text that goes: they stay, empty, where it was.
    TScopedDocFlag keepMarkers(doc, dfHyperlinkTextReplaced);
    DeleteText(doc, ranges.get(), doc.Caret, 0, doc.Caret);
  }
  AddSubOperation(doc, std::make_unique<TDeactivate_OvertypeMulSelection_Operation>(doc));
}

void DeactivateOvertypeMulSelection(TDoc& doc) {
  doc.SetDocFlag(dfMultiSelectionTyping, false);
  SelectionServices().Redraw(doc);
}

void SetFastNavMarks(TDoc& doc, int32_t slot) {
  if (slot < 0 || slot >= TTextEditServices::FastNavSlotCount) return;
  TScopedDocFlag marking(doc, dfFastNavMarking);
  TFastNavSlot& s = TextEditServices().FastNavSlot(slot);
  s.Doc = &doc;
  s.Marks.clear();
  std::vector<TDocRange> ranges;
  if (doc.HasSelection())
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) ranges.push_back(*doc.Selection->GetRange(i));
  else
    ranges.push_back({doc.Caret, doc.Caret});
  for (auto it = ranges.begin(); it != ranges.end(); ++it) {
    doc.RebuildFieldIndex();
    int32_t n = 1;
    while (HasBookmarkNamed(doc, Utf16("__fastnav" + std::to_string(n)))) ++n;
    s.Marks.push_back(InsertMarker(doc, *it, Utf16("__fastnav" + std::to_string(n)), kFastNavMarkFlags));
  }
  TakeDocumentSelection(doc);
}

}  // namespace qv
