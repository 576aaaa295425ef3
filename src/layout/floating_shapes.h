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
class TDoc;
class TPage;
class TPar;
struct TShapePlacementFrame;

// What placing a shape needs of the box that holds its anchor line (page, margins, the box's
// place on the page) and of its anchor paragraph (none: the paragraph's values stay 0).
TShapePlacementFrame ShapePlacementFrame(const TDoc& doc, const TBox& box, const TPar* anchor);

// Places the floating shapes anchored in the paragraph that are not on the box's page yet, from
// the box's fill position; true when one was placed (the flow then starts again round it).
bool PlaceAnchoredShapes(TBox& box, TPar& par);

// The rectangles of the page's floating shapes that text in the box must keep out of, in the
// box's inner coordinates, from `fromY` down (shapes in front of or behind the text without
// wrapping leave the text alone). Empty when none meets the box.
std::vector<plat::Rect> ShapeExclusions(TBox& box, int32_t fromY);

// The number of the document's floating shapes that take part in the layout.
int32_t LaidOutShapeCount(const TDoc& doc);

// Paints the page's floating shapes that lie behind the text (behind) or in front of it, at the
// page's pixel origin.
void PaintFloatingShapes(TPage& page, plat::Canvas& canvas, int32_t x, int32_t y, bool behind);

}  // namespace qv
