#include "platform/controls/scroll_bar.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/system/mul_div.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

constexpr uint32_t kRepeatTimer = 1;
constexpr int32_t kMinThumb = 8;

int32_t Clamp64(int64_t v, int64_t lo, int64_t hi) {
  return int32_t(std::clamp(v, lo, hi < lo ? lo : hi));
}

}  // namespace

void DrawArrowHead(Canvas& c, const Rect& r, ArrowDir dir, Color colour) {
  int32_t size = std::max(2, std::min(r.Width(), r.Height()) / 4);
  int32_t cx = r.left + r.Width() / 2, cy = r.top + r.Height() / 2;
  for (int32_t i = 0; i < size; ++i) {
    // Row i of the head, from the tip outward.
    switch (dir) {
      case ArrowDir::Up:
        c.FillRect({cx - i, cy - size / 2 + i, cx + i + 1, cy - size / 2 + i + 1}, colour);
        break;
      case ArrowDir::Down:
        c.FillRect({cx - i, cy + size / 2 - i, cx + i + 1, cy + size / 2 - i + 1}, colour);
        break;
      case ArrowDir::Left:
        c.FillRect({cx - size / 2 + i, cy - i, cx - size / 2 + i + 1, cy + i + 1}, colour);
        break;
      case ArrowDir::Right:
        c.FillRect({cx + size / 2 - i, cy - i, cx + size / 2 - i + 1, cy + i + 1}, colour);
        break;
    }
  }
}

ScrollBar::ScrollBar(ScrollBarKind kind) : kind_(kind) {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetDlgCode(DLGC_WANTARROWS);
  SetFocusOnClick(false);
  if (kind_ == ScrollBarKind::Vertical) {
    SetBounds(0, 0, 17, 120);
  } else {
    SetBounds(0, 0, 120, 17);
  }
}

ScrollBar::~ScrollBar() { StopRepeat(); }

void ScrollBar::SetKind(ScrollBarKind k) {
  if (k == kind_) return;
  kind_ = k;
  SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

int32_t ScrollBar::HighestPosition() const {
  if (pageSize_ <= 0) return max_;
  return Clamp64(int64_t(max_) - pageSize_ + 1, min_, max_);
}

void ScrollBar::SetParams(int32_t position, int32_t min, int32_t max) {
  min_ = min;
  max_ = std::max(max, min);
  int64_t span = int64_t(max_) - min_ + 1;
  if (pageSize_ > span) pageSize_ = int32_t(std::min<int64_t>(span, INT32_MAX));
  int32_t old = position_;
  position_ = Clamp64(position, min_, HighestPosition());
  Invalidate();
  if (old != position_ && OnChange) OnChange(*this);
}

void ScrollBar::SetPageSize(int32_t v) {
  pageSize_ = std::max(0, v);
  SetParams(position_, min_, max_);
}

void ScrollBar::SetPosition(int32_t v) {
  int32_t p = Clamp64(v, min_, HighestPosition());
  if (p == position_) return;
  position_ = p;
  Invalidate();
  if (OnChange) OnChange(*this);
}

int32_t ScrollBar::SetRowRange(int32_t top, int32_t total, int32_t rows) {
  rows = std::max(1, rows);
  int32_t last = std::max(0, total - rows);
  top = std::clamp(top, 0, last);
  SetPageSize(0);
  SetParams(top, 0, std::max(0, total - 1));
  SetPageSize(rows);
  SetLargeChange(std::max(1, rows - 1));
  SetPosition(top);
  return top;
}

int32_t ScrollBar::Thickness() const {
  return kind_ == ScrollBarKind::Vertical ? Width() : Height();
}

ScrollBar::Layout ScrollBar::CalcLayout() const {
  Layout l;
  Rect cr = ClientRect();
  l.length = kind_ == ScrollBarKind::Vertical ? cr.Height() : cr.Width();
  int32_t across = kind_ == ScrollBarKind::Vertical ? cr.Width() : cr.Height();
  l.arrow = std::min(across, l.length / 2);
  l.trackStart = l.arrow;
  l.trackEnd = l.length - l.arrow;
  int32_t track = l.trackEnd - l.trackStart;
  if (track < kMinThumb) {  // too short for a thumb: arrows only
    l.thumbStart = l.thumbEnd = l.trackStart;
    return l;
  }
  int64_t span = int64_t(max_) - min_ + 1;
  int32_t thumb = pageSize_ > 0 ? int32_t(MulDiv64(track, pageSize_, span)) : across;
  thumb = std::clamp(thumb, std::min(kMinThumb, track), track);
  int32_t travel = track - thumb;
  int64_t positions = int64_t(HighestPosition()) - min_;
  int32_t offset = positions > 0 ? int32_t(MulDiv64(travel, int64_t(position_) - min_, positions)) : 0;
  l.thumbStart = l.trackStart + offset;
  l.thumbEnd = l.thumbStart + thumb;
  return l;
}

Rect ScrollBar::AlongToRect(int32_t a, int32_t b) const {
  Rect cr = ClientRect();
  if (kind_ == ScrollBarKind::Vertical) return {0, a, cr.Width(), b};
  return {a, 0, b, cr.Height()};
}

Rect ScrollBar::PartRect(Part p) const {
  Layout l = CalcLayout();
  switch (p) {
    case Part::LineUp: return AlongToRect(0, l.arrow);
    case Part::LineDown: return AlongToRect(l.trackEnd, l.length);
    case Part::PageUp: return l.thumbStart > l.trackStart ? AlongToRect(l.trackStart, l.thumbStart) : Rect{};
    case Part::Thumb: return l.thumbEnd > l.thumbStart ? AlongToRect(l.thumbStart, l.thumbEnd) : Rect{};
    case Part::PageDown: return l.trackEnd > l.thumbEnd ? AlongToRect(l.thumbEnd, l.trackEnd) : Rect{};
    case Part::None: break;
  }
  return {};
}

ScrollBar::Part ScrollBar::PartAt(Point client) const {
  for (Part p : {Part::LineUp, Part::Thumb, Part::PageUp, Part::PageDown, Part::LineDown}) {
    if (PartRect(p).Contains(client)) return p;
  }
  return Part::None;
}

void ScrollBar::Scroll(ScrollCode code, int64_t target) {
  int32_t pos = Clamp64(target, min_, HighestPosition());
  if (OnScroll) OnScroll(*this, code, pos);
  SetPosition(pos);
}

void ScrollBar::KeyDown(uint8_t& key, ShiftState shift) {
  bool vertical = kind_ == ScrollBarKind::Vertical;
  switch (key) {
    case VK_UP: case VK_LEFT:
      if ((key == VK_UP) == vertical) Scroll(ScrollCode::LineUp, int64_t(position_) - smallChange_);
      else return Control::KeyDown(key, shift);
      break;
    case VK_DOWN: case VK_RIGHT:
      if ((key == VK_DOWN) == vertical) Scroll(ScrollCode::LineDown, int64_t(position_) + smallChange_);
      else return Control::KeyDown(key, shift);
      break;
    case VK_PRIOR: Scroll(ScrollCode::PageUp, int64_t(position_) - largeChange_); break;
    case VK_NEXT: Scroll(ScrollCode::PageDown, int64_t(position_) + largeChange_); break;
    case VK_HOME: Scroll(ScrollCode::Top, min_); break;
    case VK_END: Scroll(ScrollCode::Bottom, HighestPosition()); break;
    default: return Control::KeyDown(key, shift);
  }
  key = 0;
}

void ScrollBar::StepPressedPart() {
  Point cursor = ScreenToClient(GetCursorPos());
  Part under = PartAt(cursor);
  // A held track press stops once the thumb has reached the cursor.
  if (under != pressed_) return;
  switch (pressed_) {
    case Part::LineUp: Scroll(ScrollCode::LineUp, int64_t(position_) - smallChange_); break;
    case Part::LineDown: Scroll(ScrollCode::LineDown, int64_t(position_) + smallChange_); break;
    case Part::PageUp: Scroll(ScrollCode::PageUp, int64_t(position_) - largeChange_); break;
    case Part::PageDown: Scroll(ScrollCode::PageDown, int64_t(position_) + largeChange_); break;
    default: break;
  }
}

void ScrollBar::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  pressed_ = PartAt(p);
  pressPoint_ = p;
  if (pressed_ == Part::Thumb) {
    Layout l = CalcLayout();
    dragOffset_ = Along(p) - l.thumbStart;
  } else if (pressed_ != Part::None) {
    StepPressedPart();
    repeating_ = true;
    firstRepeat_ = true;
    SetTimer(Handle(), kRepeatTimer, RepeatDelayMs);
  }
  Invalidate();
}

void ScrollBar::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (pressed_ != Part::Thumb) return;
  Layout l = CalcLayout();
  int32_t travel = (l.trackEnd - l.trackStart) - (l.thumbEnd - l.thumbStart);
  if (travel <= 0) return;
  int64_t offset = int64_t(Along(p)) - dragOffset_ - l.trackStart;
  offset = std::clamp<int64_t>(offset, 0, travel);
  int64_t positions = int64_t(HighestPosition()) - min_;
  int64_t pos = int64_t(min_) + MulDiv64(offset, positions, travel);
  if (pos != position_) Scroll(ScrollCode::ThumbTrack, pos);
}

void ScrollBar::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (b == MouseButton::Left && pressed_ != Part::None) {
    bool thumb = pressed_ == Part::Thumb;
    StopRepeat();
    pressed_ = Part::None;
    if (thumb) {
      int32_t pos = position_;
      if (OnScroll) OnScroll(*this, ScrollCode::ThumbPosition, pos);
      SetPosition(pos);
    }
    int32_t pos = position_;
    if (OnScroll) OnScroll(*this, ScrollCode::EndScroll, pos);
    Invalidate();
  }
  Control::MouseUp(b, shift, p);
}

bool ScrollBar::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  if (Control::MouseWheel(shift, delta, screen)) return true;
  int64_t steps = -int64_t(delta) / WHEEL_DELTA;
  if (steps == 0) return false;
  Scroll(steps < 0 ? ScrollCode::LineUp : ScrollCode::LineDown,
         int64_t(position_) + steps * 3 * smallChange_);
  return true;
}

void ScrollBar::StopRepeat() {
  if (repeating_ && HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
  repeating_ = false;
}

intptr_t ScrollBar::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (msg == WM_TIMER && wParam == kRepeatTimer) {
    if (!repeating_) {
      KillTimer(Handle(), kRepeatTimer);
      return 0;
    }
    if (firstRepeat_) {
      firstRepeat_ = false;
      SetTimer(Handle(), kRepeatTimer, RepeatIntervalMs);
    }
    StepPressedPart();
    return 0;
  }
  // The base releases the capture itself just before a button-up; only a capture taken away
  // while the button is still held (or a cancel) ends the press.
  bool lost = msg == WM_CAPTURECHANGED && (CurrentShiftState() & ssLeft);
  if (lost || msg == WM_CANCELMODE) {
    StopRepeat();
    pressed_ = Part::None;
    Invalidate();
  }
  return Control::WndProc(msg, wParam, lParam);
}

void ScrollBar::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Rect cr = ClientRect();
  c.FillRect(cr, look.Face);
  bool enabled = EnabledInTree() && max_ > min_;
  Color glyph = enabled ? look.Text : look.GrayText;
  bool vertical = kind_ == ScrollBarKind::Vertical;
  for (Part p : {Part::LineUp, Part::LineDown}) {
    Rect r = PartRect(p);
    if (r.IsEmpty()) continue;
    if (pressed_ == p) c.FillRect(r, look.ButtonPressed);
    ArrowDir d = p == Part::LineUp ? (vertical ? ArrowDir::Up : ArrowDir::Left)
                                   : (vertical ? ArrowDir::Down : ArrowDir::Right);
    DrawArrowHead(c, r, d, glyph);
  }
  Rect thumb = PartRect(Part::Thumb);
  if (enabled && !thumb.IsEmpty()) {
    Rect inner = vertical ? Rect{thumb.left + 3, thumb.top + 1, thumb.right - 3, thumb.bottom - 1}
                          : Rect{thumb.left + 1, thumb.top + 3, thumb.right - 1, thumb.bottom - 3};
    c.FillRect(inner, pressed_ == Part::Thumb ? look.Focus : look.Border);
  }
  if (Focused()) DrawFocusFrame(c, cr);
}

}  // namespace plat
