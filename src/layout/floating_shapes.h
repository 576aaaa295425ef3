#pragma once
// Floating shapes in the layout: placing the shapes anchored in a paragraph on the page of the
// box it is flowed into, the rounds in which a page is laid out again round the shapes placed on
// it, and painting them behind and in front of the text.
#include <cstdint>
#include <vector>

#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

class TBox;
class TLine;
class TShape;
class TDoc;
class TPage;
class TPar;
struct TShapePlacementFrame;

// What placing a shape needs of the box that holds its anchor line (page, margins, the box's
// place on the page) and of its anchor paragraph (none: the paragraph's values stay 0).
TShapePlacementFrame ShapePlacementFrame(const TDoc& doc, const TBox& box, const TPar* anchor);

// Places the floating shapes anchored in the paragraph's characters from `from` up to `to` (a
// line's) that are neither on the box's page nor deferred by its current layout round, from the
// box's fill position; true when one was placed (the flow then starts again round it). A shape of
// a table cell keeps its rectangle relative to the box (PlaceShapesOnPage converts it once the
// page is done); in the draft views a shape that meets another of the page moves down below it.
bool PlaceAnchoredShapes(TBox& box, TPar& par, int32_t from, int32_t to);

// The rectangles of the page's floating shapes that text in the box must keep out of, in the
// box's inner coordinates, from `fromY` down: in a table cell the shapes anchored in that cell,
// elsewhere those anchored outside tables (shapes in front of or behind the text without
// wrapping leave the text alone). Empty when none meets the box.
std::vector<plat::Rect> ShapeExclusions(TBox& box, int32_t fromY);

// The lowest bottom of the shapes anchored in the box's table cell, in the box's coordinates
// (INT32_MIN when none); their rectangles now follow this box.
int32_t CellShapesBottom(TBox& box);

// The shape belongs to the header and footer story.
bool IsHeaderFooterShape(const TShape& shape);
// The line that holds the shape's anchor character (null when the paragraph has no lines), and
// whether it is placed on the page.
TLine* AnchorLine(const TShape& shape);
bool IsAnchorLinePlaced(const TShape& shape, const TPage& page);

// Moves the shapes placed in the box or below it by dy: all of them, or only those that follow
// their paragraph or line.
void ShiftShapesOfBox(TPage& page, const TBox& box, int32_t dy, bool all);

// The number of the document's floating shapes that take part in the layout.
int32_t LaidOutShapeCount(const TDoc& doc);

// Paints the page's floating shapes that lie behind the text (behind) or in front of it, at the
// page's pixel origin.
void PaintFloatingShapes(TPage& page, plat::Canvas& canvas, int32_t x, int32_t y, bool behind);

}  // namespace qv
