#include "platform/controls/splitter.h"

#include <algorithm>

#include "platform/controls/align.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/window_system.h"

namespace plat {

Splitter::Splitter() {
  SetAlign(Align::Left);
  SetBounds(0, 0, 4, 100);
  SetFocusOnClick(false);
  UpdateCursor();
}

bool Splitter::Horizontal() const { return GetAlign() == Align::Top || GetAlign() == Align::Bottom; }

void Splitter::UpdateCursor() {
  SetCursorShape(Horizontal() ? CursorShape::SizeNS : CursorShape::SizeWE);
}

Control* Splitter::Neighbour() const {
  Control* parent = Parent();
  if (!parent) return nullptr;
  Rect me = BoundsRect();
  for (Control* c : parent->Controls()) {
    if (c == this || !c->Visible() || c->GetAlign() != GetAlign()) continue;
    Rect r = c->BoundsRect();
    bool touches = false;
    switch (GetAlign()) {
      case Align::Left: touches = r.right == me.left; break;
      case Align::Right: touches = r.left == me.right; break;
      case Align::Top: touches = r.bottom == me.top; break;
      case Align::Bottom: touches = r.top == me.bottom; break;
      default: break;
    }
    if (touches) return c;
  }
  return nullptr;
}

void Splitter::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  UpdateCursor();
  if (b != MouseButton::Left) return;
  dragging_ = Neighbour();
  if (!dragging_) return;
  start_ = ClientToScreen(p);
  startSize_ = Horizontal() ? dragging_->Height() : dragging_->Width();
  Rect rest = AlignedClientArea(*Parent());
  int32_t room = Horizontal() ? rest.Height() : rest.Width();
  maxSize_ = std::max(minSize_, startSize_ + room - minSize_);
  moved_ = false;
}

void Splitter::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (!dragging_) return;
  Point s = ClientToScreen(p);
  int32_t delta = 0;
  switch (GetAlign()) {
    case Align::Left: delta = s.x - start_.x; break;
    case Align::Right: delta = start_.x - s.x; break;
    case Align::Top: delta = s.y - start_.y; break;
    case Align::Bottom: delta = start_.y - s.y; break;
    default: return;
  }
  int32_t size = std::clamp(startSize_ + delta, minSize_, maxSize_);
  int32_t now = Horizontal() ? dragging_->Height() : dragging_->Width();
  if (size == now) return;
  if (Horizontal()) dragging_->SetHeight(size);
  else dragging_->SetWidth(size);
  moved_ = true;
}

void Splitter::MouseUp(MouseButton b, ShiftState shift, Point p) {
  bool moved = dragging_ && moved_;
  dragging_ = nullptr;
  Control::MouseUp(b, shift, p);
  if (moved && OnMoved) OnMoved(*this);
}

void Splitter::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect cr = ClientRect();
  c.FillRect(cr, MouseInside() || dragging_ ? Look().ButtonHot : BackColor());
}

}  // namespace plat
