#pragma once
// Drawing a shape's picture into its rectangle: a horizontal rule as a bar, a PNG or JPEG copied
// or stretched, a metafile played; a picture that cannot be decoded (damaged, or past the
// picture memory budget) as a framed placeholder of its size. A selected shape gets its frame
// and handles, drawn inverted.
#include <cstdint>

#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

class TShape;

struct TShapePaint {
  static constexpr uint8_t Selected = 1;
  static constexpr uint8_t Dimmed = 2;
  plat::Rect Rect;              // pixels
  uint32_t Colour = 0xFF000000; // the text colour, 0xFF000000 when automatic
  uint8_t Flags = 0;
};

void DrawShape(TShape& shape, plat::Canvas& canvas, const TShapePaint& paint);
// The anchor glyph drawn by inverting rectangles into r: a ring at the top, a shank, a crossbar
// over the bottom and two stepped flukes on either side.
void DrawAnchorMark(plat::Canvas& canvas, const plat::Rect& r);

}  // namespace qv
