#pragma once
// What the document object holds of the editing engine, which lives above the document model:
// the undo list's operations (the engine's operations derive from TUndoableOperation) and the
// post-edit actions record that a running edit fills in.
#include <cstdint>

#include "document/doc_position.h"
#include "document/fragment_pool.h"

namespace qv {

// Base of the editing engine's undoable operations; the document owns its undo list and frees
// the operations with itself.
class TUndoableOperation {
 public:
  virtual ~TUndoableOperation() = default;
};

inline constexpr int32_t PostActionNone = INT32_MIN;

// What a running edit leaves to be done afterwards.
struct TPostActions {
  int32_t FirstPage = PostActionNone;  // first page to lay out again
  int32_t FirstPar = PostActionNone;   // first paragraph to lay out again, and an offset in it
  int32_t FirstParOffset = 0;
  TDocRange RestoreRange;              // range to restore
  TDocPosition Caret;                  // caret position to restore
  bool HasCaret = false;
  TFragmentRef Selection;              // selection to set, null for none
  bool ClearSelection = false;
  int32_t ScrollTarget = PostActionNone;

  // Back to the state of a new record (a held selection goes back to the pool).
  void Reset();
};

}  // namespace qv
