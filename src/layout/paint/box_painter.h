#pragma once
// Painting a box tree: cell shading and cell borders, then every line of every box, and whole
// pages with their paper, header and footer. A border that two cells share is drawn once: a
// cell draws its top and left borders, and its right and bottom ones only where no cell follows
// on that side.
#include <cstdint>

namespace plat {
class Canvas;
}

namespace qv {

class TBox;
class TLinePaintObserver;
class TPage;
struct TViewPaintState;

// Paints the box with its parent's pixel origin at (x, y). With a view state the painted lines
// and cells add their tinted rectangles to it, and a view state with a fragment makes the paint
// partial: only the lines that meet the fragment's ranges (and a few rows around them) are
// painted again, inside bands that are cleared first and noted in the state as changed.
void PaintBox(TBox& box, plat::Canvas& canvas, int32_t x, int32_t y,
              TLinePaintObserver* observer = nullptr, TViewPaintState* view = nullptr);
// Paints the page with its top-left corner at (x, y): the paper, then the header and footer
// (laid out again for this page; the one edited in place keeps its live lines on its own page)
// and the rest of its boxes. A partial repaint leaves the paper and the header and footer as
// they are.
void PaintPage(TPage& page, plat::Canvas& canvas, int32_t x, int32_t y,
               TLinePaintObserver* observer = nullptr, TViewPaintState* view = nullptr);

}  // namespace qv
