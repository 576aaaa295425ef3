#pragma once
// Painting a box tree: cell shading and cell borders, then every line of every box, and whole
// pages with their paper, header and footer. A border that two cells share is drawn once: a
// cell draws its top and left borders, and its right and bottom ones unless the cell that
// follows on that side draws its own left or top border there.
#include <cstdint>

namespace plat {
class Canvas;
}

namespace qv {

class TBox;
class TLinePaintObserver;
class TPage;

// Paints the box with its parent's pixel origin at (x, y).
void PaintBox(TBox& box, plat::Canvas& canvas, int32_t x, int32_t y,
              TLinePaintObserver* observer = nullptr);
// Paints the page with its top-left corner at (x, y): the paper, then the header and footer
// (laid out again for this page) and the rest of its boxes.
void PaintPage(TPage& page, plat::Canvas& canvas, int32_t x, int32_t y,
               TLinePaintObserver* observer = nullptr);

}  // namespace qv
