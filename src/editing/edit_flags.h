#pragma once
// Numbers of the document flags (TDoc::IsDocFlagSet) that the editing engine reads and sets,
// besides those the model names (document/doc_flags.h).
#include <cstdint>

#include "document/doc_flags.h"
#include "document/list_numbering.h"

namespace qv {

enum : int32_t {
  dfScrollModeFlag = 11,        // cleared by the post-edit update for its extent
  dfHeaderFooterChanged = 28,   // a header or footer paragraph changed
  dfStoryCountsChanged = 29,
  dfPageParamsChanged = 30,
  dfTypingFormatChanged = 35,
  dfTypingFormatFlags = 36,
  dfAfterCommit = 37,
  dfKeepViewStill = 39,
  dfSingleTypingUndone = 40,
  dfUndoRedoRunning = 43,
  dfPairedGuard = 44,
  dfMultiSelectionTyping = 48,
  dfRecordNothing = 65,
  dfChangedSinceSafeCopy = 76,
  dfFieldsChanged = 92,
  dfCommitted = 111,
  dfDispatcherRunning = 113,
  dfUpdateRunning = 114,
  dfKeepCaret = 115,
  dfScrollCaretMode4 = 116,
  dfRecording = 117,
  dfCaretRefresh = 119,
  dfRulerCaches = 120,
  dfEditCall = 122,
  dfContentChanged = 128,
  dfKeepStatusHint = 143,
  dfRenumberLists = dfListsNeedRenumbering,  // the model's list numbering pass reads it too
  dfUpdateDone = 167,
  dfStructureChanged = 169,
  dfPasting = 174,
};

}  // namespace qv
