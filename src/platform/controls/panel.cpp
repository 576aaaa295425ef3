#include "platform/controls/panel.h"

#include "platform/gfx/canvas.h"

namespace plat {

Panel::Panel() { SetBounds(0, 0, 185, 41); }

void Panel::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Rect cr = ClientRect();
  c.FillRect(cr, BackColor());
  switch (bevelOuter_) {
    case Bevel::None:
      break;
    case Bevel::Flat:
      DrawFrame(c, cr, look.Border);
      break;
    case Bevel::Raised:
    case Bevel::Lowered: {
      // Flat look: a light and a dark edge instead of a 3-D frame.
      Color tl = bevelOuter_ == Bevel::Raised ? look.Window : look.Border;
      Color br = bevelOuter_ == Bevel::Raised ? look.Border : look.Window;
      c.FillRect({cr.left, cr.top, cr.right, cr.top + 1}, tl);
      c.FillRect({cr.left, cr.top, cr.left + 1, cr.bottom}, tl);
      c.FillRect({cr.left, cr.bottom - 1, cr.right, cr.bottom}, br);
      c.FillRect({cr.right - 1, cr.top, cr.right, cr.bottom}, br);
      break;
    }
  }
  if (showCaption_ && !Caption().empty()) {
    c.SetFont(GetFont());
    Rect text{cr.left + 4, cr.top + 2, cr.right - 4, cr.bottom - 2};
    DrawCaption(c, text, Caption(), EnabledInTree() ? TextColor() : look.GrayText, alignment_);
  }
}

}  // namespace plat
