#include "platform/controls/scroll_box.h"

#include <algorithm>

namespace plat {
namespace {
constexpr int32_t kBar = 17;
constexpr int32_t kWheelStep = 40;
}  // namespace

ScrollBox::ScrollBox() {
  SetBounds(0, 0, 185, 41);
  hbar_ = &Add<ScrollBar>(ScrollBarKind::Horizontal);
  vbar_ = &Add<ScrollBar>(ScrollBarKind::Vertical);
  for (ScrollBar* b : {hbar_, vbar_}) {
    b->SetVisible(false);
    b->SetTabStop(false);
    b->SetSmallChange(8);
    b->OnChange = [this](ScrollBar&) {
      if (!updating_) ScrollTo(hbar_->Position(), vbar_->Position());
    };
  }
}

Size ScrollBox::ContentExtent() const {
  Size s;
  for (Control* c : Controls()) {
    if (IsBar(c) || !c->Visible()) continue;
    Rect r = c->BoundsRect();
    s.cx = std::max(s.cx, r.right + hpos_);
    s.cy = std::max(s.cy, r.bottom + vpos_);
  }
  return s;
}

Rect ScrollBox::ViewRect() const {
  Rect cr = ClientRect();
  if (!hbar_ || !vbar_) return cr;
  if (vbar_->Visible()) cr.right -= kBar;
  if (hbar_->Visible()) cr.bottom -= kBar;
  return cr;
}

void ScrollBox::UpdateScrollBars() {
  if (updating_ || !hbar_ || !vbar_) return;  // not while the bars are being made
  updating_ = true;
  Size ext = ContentExtent();
  Rect cr = ClientRect();
  // A bar that appears takes room, which may make the other one needed too.
  bool needV = ext.cy > cr.Height(), needH = ext.cx > cr.Width();
  if (needV && !needH) needH = ext.cx > cr.Width() - kBar;
  if (needH && !needV) needV = ext.cy > cr.Height() - kBar;
  int32_t viewW = cr.Width() - (needV ? kBar : 0), viewH = cr.Height() - (needH ? kBar : 0);
  hbar_->SetBounds(0, cr.bottom - kBar, std::max(0, viewW), kBar);
  vbar_->SetBounds(cr.right - kBar, 0, kBar, std::max(0, viewH));
  hbar_->SetVisible(needH);
  vbar_->SetVisible(needV);
  hbar_->SetPageSize(0);
  vbar_->SetPageSize(0);
  hbar_->SetParams(hpos_, 0, std::max(0, ext.cx - 1));
  vbar_->SetParams(vpos_, 0, std::max(0, ext.cy - 1));
  hbar_->SetPageSize(std::max(1, viewW));
  vbar_->SetPageSize(std::max(1, viewH));
  hbar_->SetLargeChange(std::max(1, viewW * 9 / 10));
  vbar_->SetLargeChange(std::max(1, viewH * 9 / 10));
  updating_ = false;
  // The view may have grown past the content's end.
  int32_t maxX = std::max(0, ext.cx - viewW), maxY = std::max(0, ext.cy - viewH);
  if (hpos_ > maxX || vpos_ > maxY) ScrollTo(std::min(hpos_, maxX), std::min(vpos_, maxY));
}

void ScrollBox::MoveContent(int32_t dx, int32_t dy) {
  for (Control* c : Controls()) {
    if (IsBar(c)) continue;
    Rect r = c->BoundsRect();
    c->SetBounds(r.Offset(dx, dy));
  }
}

void ScrollBox::ScrollTo(int32_t x, int32_t y) {
  Size ext = ContentExtent();
  Rect view = ViewRect();
  x = std::clamp(x, 0, std::max(0, ext.cx - view.Width()));
  y = std::clamp(y, 0, std::max(0, ext.cy - view.Height()));
  if (x == hpos_ && y == vpos_) return;
  int32_t dx = hpos_ - x, dy = vpos_ - y;
  hpos_ = x;
  vpos_ = y;
  MoveContent(dx, dy);
  updating_ = true;
  hbar_->SetPosition(x);
  vbar_->SetPosition(y);
  updating_ = false;
  Invalidate();
}

void ScrollBox::ScrollInView(Control* child) {
  if (!child || child->Parent() != this) return;
  Rect r = child->BoundsRect().Offset(hpos_, vpos_);  // content coordinates
  Rect view = ViewRect();
  int32_t x = hpos_, y = vpos_;
  if (r.right > x + view.Width()) x = r.right - view.Width();
  if (r.left < x) x = r.left;
  if (r.bottom > y + view.Height()) y = r.bottom - view.Height();
  if (r.top < y) y = r.top;
  ScrollTo(x, y);
}

void ScrollBox::Realign() {
  Control::Realign();
  UpdateScrollBars();
}

void ScrollBox::Resize() {
  Control::Resize();
  UpdateScrollBars();
}

bool ScrollBox::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  if (Control::MouseWheel(shift, delta, screen)) return true;
  if (!vbar_->Visible()) return false;
  ScrollTo(hpos_, vpos_ - delta / WHEEL_DELTA * kWheelStep);
  return true;
}

}  // namespace plat
