#pragma once
// The caret of a document: its position (TDoc::Caret, with the page and line it shows on), its
// size and point in the view (TDoc::View.Caret*) measured from the font at the caret, the system
// caret of the document's window (a plain bar, or a slanted bitmap for italic text), its
// inverted copy that marks the drop place of drags, and the redraws scheduled for the idle pass.
#include <cstdint>

#include "document/doc_position.h"
#include "platform/gfx/types.h"

namespace plat {
class Bitmap;
}

namespace qv {

class TDoc;
class TDocForm;
class TSharedFont;
struct TCharFormat;

// Flags of SetCaretPos.
enum : uint8_t {
  scRefreshWhenNeeded = 1,  // refresh only when the line or place changed or it is not visible
  scKeepAfterBreak = 2,     // a caret just after a line-ending break stays there
  scClearSelection = 4,     // the selection is cleared (ignored when there is none)
};

// The caret's width at 96 dots per inch.
inline constexpr int32_t kCaretWidth = 2;

// Moves the caret (see the flags above): the selected shapes are dropped, the caret steps back
// before a break it would stand after at a line's end, and, when it needs it, the caret is
// measured again, brought into view and the system caret moved.
void SetCaretPos(TDoc& doc, const TDocPosition& position, uint8_t flags);
// Skips forward over paragraphs of merged cell continuations, clamps the offset to the
// paragraph, lays the position out and moves the caret there.
void SetCaret(TDoc& doc, int32_t par, int32_t offset, uint8_t flags, int32_t lineHint);
// Makes the position's paragraph laid out (pages in doubling batches) and fills in its line and
// page; `exact` takes the line that starts at the offset rather than the one that ends there.
void EnsureLaidOut(TDoc& doc, TDocPosition& position, bool exact);
// One character back (into the last character of the previous paragraph at offset 0); false at
// the start of the document.
bool PrevCharPosition(const TDoc& doc, TDocPosition& position);

// The format at the caret and its font's metrics, the caret's size and inset.
void UpdateCaretMetrics(TDoc& doc);
// The caret's top-left in view pixels from its line, its character and its font.
void CalcCaretPoint(TDoc& doc);
// The caret rectangle grown by 14 pixels left and right and 2 above and below (view pixels).
plat::Rect GetCaretRect(const TDoc& doc);
// The whole caret rectangle lies in the visible part of the view.
bool IsCaretVisible(const TDoc& doc);
// The screen font of a character format (the superscript, subscript and small-capital sizes
// applied) at the document's zoom.
TSharedFont& SelectCaretFont(TDoc& doc, const TCharFormat& format);

// The system caret of the document's window: made (a bar of the caret's size, or the slanted
// caret bitmap for italic text) and placed at the caret point.
void CreateSystemCaret(TDoc& doc);
void PlaceSystemCaret(TDoc& doc);
// Draws or erases the inverted caret (the drop caret of drags): the window's caret area is
// painted again, and the painting inverts it while the window's dfDropCaretShown is set.
void InvertCaret(TDoc& doc);
void InvertCaretOn(const TDoc& doc, const TDocForm& form, plat::Bitmap& bitmap);

// A redraw of the document when the delay (milliseconds) has passed; 0 or less: at the next idle
// pass.
void ScheduleRedraw(TDoc& doc, int32_t milliseconds);

}  // namespace qv
