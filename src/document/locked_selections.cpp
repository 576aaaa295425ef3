// Locked selections: ranges kept highlighted across edits, each a field of its own kind whose
// marks travel with the text.
#include <algorithm>

#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_index.h"

namespace qv {

void TDoc::LockUnlockSelection(const std::vector<TField*>* fields) {
  TPostActions& post = CurrentPostActions();
  if (fields != nullptr) {
    for (auto it = fields->rbegin(); it != fields->rend(); ++it)
      if (*it != nullptr && (*it)->Kind == fkLockedSelection) RemoveField(*it);
    post.Caret = Caret;
    post.HasCaret = true;
    if (!post.Selection) post.Selection = AcquireFragment();
    if (Selection) post.Selection->Assign(*Selection);
    return;
  }
  if (!HasSelection()) return;
  RebuildFieldIndex();
  const std::vector<TDocRange> locked = FieldIndex().LockedRanges;
  const TFragmentRef ranges = CloneFragment(*Selection);
  bool caretInside = false;
  for (int32_t i = 0; i < ranges->Count(); ++i) {
    const TDocRange& r = *ranges->GetRange(i);
    caretInside = caretInside || (ComparePositions(r.Start, Caret) <= 0 && ComparePositions(Caret, r.End) <= 0);
  }
  for (int32_t i = ranges->Count(); i-- > 0;) {
    const TDocRange r = *ranges->GetRange(i);
    if (std::any_of(locked.begin(), locked.end(), [&](const TDocRange& l) { return SameRange(l, r); })) continue;
    auto field = std::make_unique<TField>();
    field->Kind = fkLockedSelection;
    InsertFieldMarks(std::move(field), r);
  }
  post.Caret = caretInside ? Caret : ranges->GetRange(0)->Start;
  post.HasCaret = true;
  if (!post.Selection) post.Selection = AcquireFragment();
  post.Selection->Clear();
  post.ClearSelection = true;
}

}  // namespace qv
