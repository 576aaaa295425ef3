#pragma once
// What lies behind and beside a line's text: highlight rectangles, the paragraph's frame with its
// shading and borders, and bar tabs. The line painter calls these at their places in its order
// of painting (shading and highlight before the text, bar tabs and borders after it).
#include <cstdint>

#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

class TDoc;
class TLine;

// The paint state these share with the line painter.
struct TLineBackdrop {
  TLine* Line = nullptr;
  int32_t X = 0;            // the left edge of the line's box
  int32_t Y = 0;            // the line's top
  int32_t Height = 1;       // the line's height in pixels
  int32_t SpaceAbove = 0;   // twips
  bool Dimmed = false;
};

// The paragraph's frame for the line: its indents and box insets, widened by the left and right
// borders; on the first line of a bordered group below the space above, on the last line of the
// group above the space after.
plat::Rect ParagraphFrameRect(const TLineBackdrop& b);
// Fills the frame with the paragraph's shading colour (lightened when dimmed).
void PaintParagraphShading(plat::Canvas& canvas, const TLineBackdrop& b, const plat::Rect& frame,
                           uint32_t colour);
// The top (or between), bottom, left and right borders of the paragraph on this line.
void PaintParagraphBorders(plat::Canvas& canvas, const TLineBackdrop& b, plat::Rect frame);
// The highlighted stretches of the line, each its own rectangle, stopping before a paragraph
// mark, cell or row end or any break.
void PaintHighlights(plat::Canvas& canvas, const TLineBackdrop& b);
// Bar tabs of the paragraph's tab set, inverted over the line's height.
void PaintBarTabs(plat::Canvas& canvas, const TLineBackdrop& b);

// Whether fields are shaded in the document's painting: the "FldShading" option 2 (always)
// outside print preview, or 1 (with formatting marks) while Special Symbols mode is on; a
// preview document only when it asks for field shading.
bool FieldShadingWanted(const TDoc* doc, bool marksAllowed);
// Shades the part of the line that each field (of every type but SYMBOL and HYPERLINK) covers,
// in light grey adjusted to the line's background. Clears the line's may-contain-fields flag
// and sets it again for each field drawn.
void PaintFieldShading(plat::Canvas& canvas, const TLineBackdrop& b, uint32_t background);

// True for the first text line of a paragraph whose list label has text (not a drop-cap line).
bool LineHasListLabel(const TLine& line);
// The paragraph's list label, painted with its own line so that it ends where the text starts.
void PaintListLabel(plat::Canvas& canvas, const TLineBackdrop& b);
// The line's margin number when it is a multiple of its section's counting interval, painted
// before the text at the section's distance (automatic: 360 twips for one column, 180 for
// several).
void PaintLineNumber(plat::Canvas& canvas, const TLineBackdrop& b);

}  // namespace qv
