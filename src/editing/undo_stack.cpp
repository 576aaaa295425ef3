#include "editing/undo_stack.h"

#include <algorithm>

#include "document/doc.h"
#include "document/doc_services.h"
#include "editing/edit_flags.h"
#include "editing/operation.h"
#include "foundation/settings/options_holder.h"

namespace qv {

namespace {

constexpr int32_t MarkerNone = INT32_MIN;

TOperation* AsOperation(TUndoableOperation* op) { return static_cast<TOperation*>(op); }

// Whether the operation before O (P) is undone together with O as one group of typing.
bool GroupsOnUndo(const TOperation& p, const TOperation& o, int32_t j, int32_t i) {
  if (p.GroupKey != o.GroupKey) return false;
  if (p.CaretAfter.Par != o.CaretAfter.Par) return false;
  if (std::abs(p.CaretAfter.Offset - o.CaretAfter.Offset) > 1) return false;
  const bool pChar = p.HasFlag(TOperation::ofTypedChar), oChar = o.HasFlag(TOperation::ofTypedChar);
  const bool pSpace = p.HasFlag(TOperation::ofTypedSpace), oSpace = o.HasFlag(TOperation::ofTypedSpace);
  if (pChar && oChar) return true;
  if (pChar && oSpace && j == 1 && i == 1) return true;
  if (pSpace && oChar && i == 0) return true;
  return false;
}

// Whether the operation after O (N) is redone together with O.
bool GroupsOnRedo(const TOperation& o, const TOperation& n, int32_t j, int32_t i) {
  if (n.GroupKey != o.GroupKey) return false;
  if (n.CaretAfter.Par != o.CaretAfter.Par) return false;
  if (std::abs(n.CaretAfter.Offset - o.CaretAfter.Offset) > 1) return false;
  const bool oChar = o.HasFlag(TOperation::ofTypedChar), nChar = n.HasFlag(TOperation::ofTypedChar);
  const bool oSpace = o.HasFlag(TOperation::ofTypedSpace), nSpace = n.HasFlag(TOperation::ofTypedSpace);
  if (oChar && nChar) return true;
  if (oChar && nSpace && i == 0) return true;
  if (oSpace && nChar && j == 1 && i == 1) return true;
  return false;
}

void RunUpdate(TDoc& doc, bool lastScrolls) {
  if (!lastScrolls) doc.SetScopedFlag(dfKeepViewStill);
  doc.PostEditUpdate();
  if (!lastScrolls) doc.RestoreScopedFlag();
}

void FinishUndoRedo(TDoc& doc, bool setModified) {
  if (setModified) doc.SetModified(doc.UndoPosition != doc.SavePoint ? 1 : 0);
  doc.SetDocFlag(dfChangedSinceSafeCopy, doc.UndoPosition != doc.SafeCopyPoint);
  doc.SetDocFlag(dfAfterCommit, false);
  if (!doc.IsDocFlagSet(dfPairedGuard)) DocServices().RequestInterfaceUpdate();
  doc.LeaveCriticalEdit();
}

}  // namespace

bool GroupUndoOption() { return (GetOptions().Edit.Flags & 2u) != 0; }

TOperation* OperationAt(const TDoc& doc, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(doc.UndoList.size())) return nullptr;
  return AsOperation(doc.UndoList[static_cast<size_t>(index)].get());
}

TOperation* CurrentOperationOf(const TDoc& doc) { return AsOperation(doc.CurrentOperation); }

void BeginOperation(TDoc& doc, TUndoableOperation* operation) {
  doc.OpenOperations.push_back(operation);
  doc.CurrentOperation = operation;
}

void EndOperation(TDoc& doc) {
  if (!doc.OpenOperations.empty()) {
    // The results the header edited in place shows as the records left them: the post-edit
    // update that follows writes the page's own values there without a record, and undo has to
    // meet the text the records were made for.
    if (TOperation* op = AsOperation(doc.OpenOperations.back())) op->CaptureFieldTextsAfter();
    doc.OpenOperations.pop_back();
  }
  doc.CurrentOperation = doc.OpenOperations.empty() ? nullptr : doc.OpenOperations.back();
}

void CommitOperation(TDoc& doc, std::unique_ptr<TUndoableOperation> operation) {
  if (!operation) return;
  TOperation* op = AsOperation(operation.get());
  if (op->Records.empty()) return;  // freed here
  // Operations run without the dispatcher keep their header's field results here.
  if (!op->HasFieldTextsAfter) op->CaptureFieldTextsAfter();
  doc.SetModified(1);
  if (doc.Selection) op->SelectionAfter->Assign(*doc.Selection);
  op->CaretAfter = doc.Caret;
  if (!doc.IsDocFlagSet(dfKeepViewStill)) op->Flags |= TOperation::ofScrollCaret;
  for (int32_t* marker : {&doc.SavePoint, &doc.SafeCopyPoint, &doc.BackupPoint})
    if (*marker != MarkerNone && *marker > doc.UndoPosition) *marker = MarkerNone;
  ++doc.UndoPosition;
  while (static_cast<int32_t>(doc.UndoList.size()) > doc.UndoPosition) doc.UndoList.pop_back();
  doc.UndoList.push_back(std::move(operation));
  doc.SetDocFlag(dfChangedSinceSafeCopy, true);
  doc.SetDocFlag(dfAfterCommit, false);
  DocServices().RequestInterfaceUpdate();
}

void UndoOperations(TDoc& doc, bool runUpdate) {
  doc.EnterCriticalEdit();
  doc.SetDocFlag(dfUndoing, true);
  doc.SetDocFlag(dfUndoRedoRunning, true);
  int32_t j = 0, i = 0;
  bool lastScrolls = true;
  TOperation* last = nullptr;
  const bool group = GroupUndoOption();
  while (doc.UndoPosition >= 0) {
    TOperation* o = OperationAt(doc, doc.UndoPosition);
    doc.SetDocFlag(dfKeepSelectedShapes, false);
    o->Undo();
    lastScrolls = o->HasFlag(TOperation::ofScrollCaret);
    last = o;
    --doc.UndoPosition;
    ++j;
    if (o->HasFlag(TOperation::ofTypedSpace)) ++i;
    TOperation* p = OperationAt(doc, doc.UndoPosition);
    if (p == nullptr) break;
    if (group && GroupsOnUndo(*p, *o, j, i)) continue;
    if (o->HasFlag(TOperation::ofChained)) continue;
    break;
  }
  if (j == 1 && last != nullptr &&
      (last->HasFlag(TOperation::ofTypedChar) || last->HasFlag(TOperation::ofTypedSpace)))
    doc.SetDocFlag(dfSingleTypingUndone, true);
  if (runUpdate) RunUpdate(doc, lastScrolls);
  doc.SetDocFlag(dfUndoing, false);
  doc.SetDocFlag(dfUndoRedoRunning, false);
  doc.SetDocFlag(dfSingleTypingUndone, false);
  FinishUndoRedo(doc, runUpdate);
}

void RedoOperations(TDoc& doc) {
  doc.EnterCriticalEdit();
  doc.SetDocFlag(dfUndoRedoRunning, true);
  int32_t j = 0, i = 0;
  bool lastScrolls = true;
  TOperation* last = nullptr;
  const bool group = GroupUndoOption();
  while (TOperation* o = OperationAt(doc, doc.UndoPosition + 1)) {
    doc.SetDocFlag(dfKeepSelectedShapes, false);
    o->Redo();
    lastScrolls = o->HasFlag(TOperation::ofScrollCaret);
    last = o;
    ++doc.UndoPosition;
    ++j;
    if (o->HasFlag(TOperation::ofTypedSpace)) ++i;
    TOperation* n = OperationAt(doc, doc.UndoPosition + 1);
    if (n == nullptr) break;
    if (group && GroupsOnRedo(*o, *n, j, i)) continue;
    if (n->HasFlag(TOperation::ofChained)) continue;
    break;
  }
  if (j == 1 && last != nullptr &&
      (last->HasFlag(TOperation::ofTypedChar) || last->HasFlag(TOperation::ofTypedSpace)))
    doc.SetDocFlag(dfSingleTypingUndone, true);
  RunUpdate(doc, lastScrolls);
  doc.SetDocFlag(dfUndoRedoRunning, false);
  doc.SetDocFlag(dfSingleTypingUndone, false);
  FinishUndoRedo(doc, true);
}

void UndoAllOperations(TDoc& doc) {
  doc.EnterCriticalEdit();
  doc.SetDocFlag(dfUndoing, true);
  doc.SetDocFlag(dfUndoRedoRunning, true);
  bool lastScrolls = true;
  for (; doc.UndoPosition >= 0; --doc.UndoPosition) {
    TOperation* o = OperationAt(doc, doc.UndoPosition);
    doc.SetDocFlag(dfKeepSelectedShapes, false);
    o->Undo();
    lastScrolls = o->HasFlag(TOperation::ofScrollCaret);
  }
  doc.UndoPosition = -1;
  RunUpdate(doc, lastScrolls);
  doc.SetDocFlag(dfUndoing, false);
  doc.SetDocFlag(dfUndoRedoRunning, false);
  FinishUndoRedo(doc, true);
}

void RedoAllOperations(TDoc& doc) {
  doc.EnterCriticalEdit();
  doc.SetDocFlag(dfUndoRedoRunning, true);
  bool lastScrolls = true;
  while (TOperation* o = OperationAt(doc, doc.UndoPosition + 1)) {
    doc.SetDocFlag(dfKeepSelectedShapes, false);
    o->Redo();
    lastScrolls = o->HasFlag(TOperation::ofScrollCaret);
    ++doc.UndoPosition;
  }
  RunUpdate(doc, lastScrolls);
  doc.SetDocFlag(dfUndoRedoRunning, false);
  FinishUndoRedo(doc, true);
}

void ClearUndoList(TDoc& doc) {
  const int32_t index = doc.UndoPosition;
  for (int32_t* marker : {&doc.SavePoint, &doc.SafeCopyPoint, &doc.BackupPoint}) {
    if (*marker == MarkerNone) continue;
    *marker = *marker > index ? *marker - index - 1 : MarkerNone;
  }
  if (index >= 0) {
    // Done operations go last to first.
    for (int32_t k = index; k >= 0; --k) doc.UndoList[static_cast<size_t>(k)].reset();
    doc.UndoList.erase(doc.UndoList.begin(), doc.UndoList.begin() + index + 1);
  }
  doc.UndoPosition = -1;
  DocServices().RequestInterfaceUpdate();
}

void ClearRedoList(TDoc& doc) {
  for (int32_t* marker : {&doc.SavePoint, &doc.SafeCopyPoint, &doc.BackupPoint})
    if (*marker != MarkerNone && *marker > doc.UndoPosition) *marker = MarkerNone;
  while (static_cast<int32_t>(doc.UndoList.size()) > doc.UndoPosition + 1) doc.UndoList.pop_back();
  DocServices().RequestInterfaceUpdate();
}

uint32_t LastOperationSerialOf(const TDoc& doc) {
  if (doc.UndoList.empty()) return 0;
  return AsOperation(doc.UndoList.back().get())->Serial;
}

uint32_t NextRedoSerialOf(const TDoc& doc) {
  const TOperation* n = OperationAt(doc, doc.UndoPosition + 1);
  return n ? n->Serial : 0;
}

}  // namespace qv
