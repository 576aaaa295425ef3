#include "editing/content_deletion.h"

#include <vector>

#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "editing/ins_del_operation.h"
#include "editing/undo_records.h"

namespace qv {

namespace {

// Whether the text record's deletion of the range would part a field's marks. The record takes
// every mark from the range's start place up to its end, and at the end place only the end
// marks whose start went with it.
bool PartsAField(TDoc& doc, const TDocRange& range) {
  if (doc.Fields.empty()) return false;
  std::vector<TField*> candidates;
  doc.FindOverlappingFields(range, candidates);
  auto inside = [&range](const TDocPosition& at) {
    return ComparePositions(at, range.Start) >= 0 && ComparePositions(at, range.End) < 0;
  };
  for (TField* f : candidates) {
    TDocRange r;
    if (!doc.GetFieldRange(f, r)) continue;
    const bool startGoes = inside(r.Start);
    const bool endGoes = inside(r.End) || (startGoes && SamePlace(r.End, range.End));
    if (startGoes != endGoes) return true;
  }
  return false;
}

}  // namespace

void DeleteContentKeepingFields(TDoc& doc, const TDocRange& range) {
  if (!PartsAField(doc, range)) {
    TSubOperation::Execute(TInsDelOperation::ForDelete(doc, range));
    return;
  }
  // Keeping the marks is this deletion's own affair: the caller's post-edit caret stays.
  TPostActions& post = doc.CurrentPostActions();
  const TDocPosition caret = post.Caret;
  const bool hasCaret = post.HasCaret;
  doc.BeginKeepFieldMarks(range.Start, range.End, 0);
  TSubOperation::Execute(TInsDelOperation::ForDelete(doc, range));
  doc.EndKeepFieldMarks(range.Start, range.Start);
  TPostActions& after = doc.CurrentPostActions();
  after.Caret = caret;
  after.HasCaret = hasCaret;
}

}  // namespace qv
