#include "docwindow/rulers.h"

#include "platform/gfx/canvas.h"

namespace qv {

namespace {

// The ruler background and the line that separates the ruler from the page area.
constexpr plat::Color kRulerBack = 0x00F0F0F0;
constexpr plat::Color kRulerEdge = 0x00A0A0A0;

}  // namespace

TRuler::TRuler() { SetBackColor(kRulerBack); }

void TRuler::Paint(plat::PaintContext& pc) {
  if (pc.canvas == nullptr) return;
  const plat::Rect r = ClientRect();
  pc.canvas->FillRect(r, kRulerBack);
  const plat::Rect edge = Vertical ? plat::Rect{r.right - 1, r.top, r.right, r.bottom}
                                   : plat::Rect{r.left, r.bottom - 1, r.right, r.bottom};
  pc.canvas->FillRect(edge, kRulerEdge);
}

}  // namespace qv
