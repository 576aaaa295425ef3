#include "platform/controls/track_bar.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/system/mul_div.h"
#include "platform/win/keys.h"

namespace plat {
namespace {
constexpr int32_t kThumbLong = 10;  // along the channel
constexpr int32_t kThumbShort = 18;
constexpr int32_t kMargin = 8;
}  // namespace

TrackBar::TrackBar() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetDlgCode(DLGC_WANTARROWS);
  SetBounds(0, 0, 150, 32);
}

void TrackBar::SetOrientation(TrackBarOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TrackBar::SetRange(int32_t min, int32_t max) {
  min_ = min;
  max_ = std::max(min, max);
  int32_t old = position_;
  position_ = std::clamp(position_, min_, max_);
  Invalidate();
  if (old != position_ && OnChange) OnChange(*this);
}

void TrackBar::SetPosition(int32_t v) { MoveTo(v); }

void TrackBar::MoveTo(int64_t v) {
  int32_t p = int32_t(std::clamp<int64_t>(v, min_, max_));
  if (p == position_) return;
  position_ = p;
  Invalidate();
  if (OnChange) OnChange(*this);
}

void TrackBar::Channel(int32_t& a, int32_t& b) const {
  int32_t len = Vertical() ? Height() : Width();
  a = kMargin + kThumbLong / 2;
  b = std::max(a, len - kMargin - kThumbLong / 2);
}

int32_t TrackBar::CoordOf(int32_t position) const {
  int32_t a, b;
  Channel(a, b);
  int64_t span = int64_t(max_) - min_;
  return a + int32_t(span > 0 ? MulDiv64(b - a, int64_t(position) - min_, span) : 0);
}

Rect TrackBar::ThumbRect() const {
  int32_t c = CoordOf(position_);
  int32_t across = Vertical() ? Width() : Height();
  int32_t s = (across - kThumbShort) / 2;
  if (Vertical()) return {s, c - kThumbLong / 2, s + kThumbShort, c + kThumbLong / 2};
  return {c - kThumbLong / 2, s, c + kThumbLong / 2, s + kThumbShort};
}

int32_t TrackBar::PositionAt(Point client) const {
  int32_t a, b;
  Channel(a, b);
  int32_t along = std::clamp(Vertical() ? client.y : client.x, a, b);
  if (b == a) return min_;
  return int32_t(int64_t(min_) + MulDiv64(along - a, int64_t(max_) - min_, b - a));
}

void TrackBar::KeyDown(uint8_t& key, ShiftState shift) {
  switch (key) {
    case VK_LEFT: case VK_UP: MoveTo(int64_t(position_) - lineSize_); break;
    case VK_RIGHT: case VK_DOWN: MoveTo(int64_t(position_) + lineSize_); break;
    case VK_PRIOR: MoveTo(int64_t(position_) - pageSize_); break;
    case VK_NEXT: MoveTo(int64_t(position_) + pageSize_); break;
    case VK_HOME: MoveTo(min_); break;
    case VK_END: MoveTo(max_); break;
    default: return Control::KeyDown(key, shift);
  }
  key = 0;
}

void TrackBar::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  Rect thumb = ThumbRect();
  if (thumb.Contains(p)) {
    dragging_ = true;
    dragOffset_ = (Vertical() ? p.y : p.x) - CoordOf(position_);
    return;
  }
  int32_t along = Vertical() ? p.y : p.x;
  int32_t c = CoordOf(position_);
  if (along < c) MoveTo(std::max<int64_t>(int64_t(position_) - pageSize_, PositionAt(p)));
  else MoveTo(std::min<int64_t>(int64_t(position_) + pageSize_, PositionAt(p)));
}

void TrackBar::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (!dragging_) return;
  Point q = Vertical() ? Point{p.x, p.y - dragOffset_} : Point{p.x - dragOffset_, p.y};
  MoveTo(PositionAt(q));
}

void TrackBar::MouseUp(MouseButton b, ShiftState shift, Point p) {
  dragging_ = false;
  Control::MouseUp(b, shift, p);
}

void TrackBar::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Rect cr = ClientRect();
  c.FillRect(cr, BackColor());
  int32_t a, b;
  Channel(a, b);
  int32_t mid = (Vertical() ? cr.Width() : cr.Height()) / 2;
  Rect channel = Vertical() ? Rect{mid - 2, a, mid + 2, b} : Rect{a, mid - 2, b, mid + 2};
  c.FillRect(channel, look.Border);
  Rect filled = Vertical() ? Rect{mid - 2, a, mid + 2, CoordOf(position_)}
                           : Rect{a, mid - 2, CoordOf(position_), mid + 2};
  c.FillRect(filled, EnabledInTree() ? look.Focus : look.GrayText);
  if (frequency_ > 0 && max_ > min_) {
    int64_t span = int64_t(max_) - min_;
    int64_t step = std::max<int64_t>(frequency_, span / 200 + 1);  // at most ~200 ticks
    for (int64_t v = 0; v <= span; v += step) {
      int32_t t = CoordOf(int32_t(min_ + v));
      c.FillRect(Vertical() ? Rect{cr.right - 4, t, cr.right - 1, t + 1} : Rect{t, cr.bottom - 4, t + 1, cr.bottom - 1},
                 look.Border);
    }
    int32_t t = CoordOf(max_);
    c.FillRect(Vertical() ? Rect{cr.right - 4, t, cr.right - 1, t + 1} : Rect{t, cr.bottom - 4, t + 1, cr.bottom - 1},
               look.Border);
  }
  Rect thumb = ThumbRect();
  c.FillRect(thumb, dragging_ ? look.ButtonPressed : MouseInside() ? look.ButtonHot : look.ButtonFace);
  DrawFrame(c, thumb, Focused() ? look.Focus : look.Border);
}

}  // namespace plat
