#include "platform/controls/paint_box.h"

#include "platform/gfx/canvas.h"

namespace plat {

PaintBox::PaintBox() { SetBounds(0, 0, 105, 105); }

void PaintBox::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  c.FillRegion(pc.region, BackColor());
  if (!OnPaint) return;
  c.SaveState();
  c.SetFont(GetFont());
  c.SetTextColor(TextColor());
  OnPaint(*this, c, pc.rcPaint);
  c.RestoreState();
}

}  // namespace plat
