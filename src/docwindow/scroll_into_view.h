#pragma once
// Bringing the caret or a rectangle of the view into the window, by one of eight modes, and the
// keyboard's caret move that scrolls ahead of the caret.
//
// Modes: 0 minimal; 1 the caret line at most half-way down; 2 near the top; 3 minimal with a 20 %
// horizontal margin; 4 two caret heights of room above and below; 5 room above; 6 room below;
// 7 the caret at the bottom edge.
#include <climits>
#include <cstdint>

#include "document/doc_position.h"
#include "platform/gfx/types.h"

namespace qv {

class TDoc;

// The scroll position that brings the rectangle (view pixels) into view in the mode; keeping
// clear of an auto-hidden command bar band when asked.
plat::Point CalcScrollToRect(TDoc& doc, const plat::Rect& rect, int32_t mode, bool keepClearOfBars);
// Scrolls the caret into view in the mode (nothing while the view is to keep still).
void ScrollCaretIntoView(TDoc& doc, int32_t mode);
// Whether some of the range shows in the window (pages are laid out as far as the window shows).
bool IsRangeVisible(TDoc& doc, const TDocRange& range);

// Move modes of MoveCaretByKey.
enum : uint8_t { cmExtend = 0, cmMove = 1, cmMoveKeepSelection = 2 };
// No line hint: the caret shows at a soft line end on the upper line (while Shift navigates, on
// the line that starts there).
inline constexpr int32_t kNoLineHint = INT32_MIN;
// The keyboard's caret move to the target: moving (clearing the selection), moving and keeping
// the selection, or extending the selection from the anchor. `key` is the virtual key that moved
// it (arrows, Home and End scroll ahead of the caret with the anticipatory-scrolling option).
// A line hint names the line of the paragraph the caret is to show on when the target lies at a
// line boundary (INT32_MAX the last line that holds it, 0 the first).
void MoveCaretByKey(TDoc& doc, const TDocPosition& target, uint8_t mode, uint8_t key,
                    int32_t lineHint = kNoLineHint);

}  // namespace qv
