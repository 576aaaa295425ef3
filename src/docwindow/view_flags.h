#pragma once
// The scoped document flags (TDoc::SetScopedFlag) that the document window reads and sets. The
// numbers are shared with the document model and the editing engine, which read some of them
// under names of their own (document/doc_flags.h, editing/edit_flags.h).
#include <cstdint>

namespace qv {

enum : int32_t {
  vfNoCaret = 3,                // the caret is not shown (preview documents too)
  vfKeepScrollBars = 7,         // the page arrangement leaves the scroll position and bars alone
  vfDirectInput = 9,            // the caret was moved by a key or the mouse
  vfCaretFollows = 11,          // the caret follows layout changes (cleared to suppress)
  vfAnticipatory = 12,          // scrolling into view runs ahead of the caret
  vfScrollNoPaint = 13,         // scrolling moves the view without painting it
  vfNoArrangeControls = 14,     // the page arrangement does not arrange the window's controls
  vfKeepSelectedShapes = 18,    // moving the caret keeps the selected shapes
  vfCaretRefresh = 35,          // the caret is refreshed even where it did not move
  vfTypingFormatPending = 36,   // a typing format chosen without a selection waits for text
  vfKeepCaretMetrics = 38,      // refreshing the caret keeps its size
  vfNoScrollIntoView = 39,      // the view keeps still (no scrolling into view)
  vfHorizontalMove = 40,        // the caret comes into view with a horizontal margin
  vfKeepTypingFont = 47,        // the typing font is not switched to the keyboard layout's script
  vfLayoutFrozen = 65,          // the layout is frozen: pages are not arranged
  vfSpellRecheck = 101,         // the spelling of the last edit is checked around the caret
  vfTypingIntoMarks = 112,      // a character is typed at the typing marks of a multi-selection
  vfPostEditUpdate = 114,       // the update after an edit runs
  vfKeepFindScope = 129,        // the find tool keeps its within-selection scope
  vfSymbolByCode = 139,         // a character typed by its code is inserted
  vfKeepInPlaceField = 140,     // in-place field editing stays on when the caret moves
};

}  // namespace qv
