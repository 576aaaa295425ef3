#include "platform/controls/up_down.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/controls/scroll_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

constexpr uint32_t kRepeatTimer = 1;

std::u16string FormatNumber(int32_t v, bool thousands) {
  std::string digits = std::to_string(int64_t(v) < 0 ? -int64_t(v) : int64_t(v));
  std::u16string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (thousands && i > 0 && (digits.size() - i) % 3 == 0) out += u',';
    out += char16_t(digits[i]);
  }
  return v < 0 ? u"-" + out : out;
}

}  // namespace

UpDown::UpDown() {
  SetBounds(0, 0, 17, 22);
  SetFocusOnClick(false);
}

UpDown::~UpDown() { StopRepeat(); }

void UpDown::SetRange(int32_t min, int32_t max) {
  min_ = min;
  max_ = std::max(min, max);
  SetPosition(position_);
}

void UpDown::SetPosition(int32_t v) {
  position_ = std::clamp(v, min_, max_);
  ShowInAssociate();
}

void UpDown::ShowInAssociate() {
  if (associate_) associate_->SetCaption(FormatNumber(position_, thousands_));
}

void UpDown::SetAssociate(Control* c) {
  associate_ = c;
  if (!c) return;
  SetBounds(c->Left() + c->Width(), c->Top(), Width(), c->Height());
  ShowInAssociate();
  auto previous = c->OnKeyDown;
  c->OnKeyDown = [this, previous](Control& sender, uint8_t& key, ShiftState shift) {
    if (previous) previous(sender, key, shift);
    if (!arrowKeys_ || associate_ != &sender) return;
    if (key == VK_UP) ClickButton(UpDownButton::Up), key = 0;
    else if (key == VK_DOWN) ClickButton(UpDownButton::Down), key = 0;
  };
}

void UpDown::ClickButton(UpDownButton b) {
  bool allow = true;
  if (OnChanging) OnChanging(*this, allow);
  if (!allow) return;
  int64_t v = int64_t(position_) + (b == UpDownButton::Up ? increment_ : -int64_t(increment_));
  if (v > max_) v = wrap_ ? min_ : max_;
  if (v < min_) v = wrap_ ? max_ : min_;
  position_ = int32_t(v);
  ShowInAssociate();
  Invalidate();
  if (OnClickButton) OnClickButton(*this, b);
}

Rect UpDown::ButtonRect(UpDownButton b) const {
  Rect r = ClientRect();
  if (horizontal_) {
    int32_t mid = r.Width() / 2;
    return b == UpDownButton::Down ? Rect{0, 0, mid, r.bottom} : Rect{mid, 0, r.right, r.bottom};
  }
  int32_t mid = r.Height() / 2;
  return b == UpDownButton::Up ? Rect{0, 0, r.right, mid} : Rect{0, mid, r.right, r.bottom};
}

void UpDown::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  UpDownButton which = ButtonRect(UpDownButton::Up).Contains(p) ? UpDownButton::Up : UpDownButton::Down;
  pressed_ = int(which);
  ClickButton(which);
  repeating_ = true;
  firstRepeat_ = true;
  SetTimer(Handle(), kRepeatTimer, RepeatDelayMs);
}

void UpDown::MouseUp(MouseButton b, ShiftState shift, Point p) {
  StopRepeat();
  pressed_ = -1;
  Invalidate();
  Control::MouseUp(b, shift, p);
}

void UpDown::StopRepeat() {
  if (repeating_ && HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
  repeating_ = false;
}

intptr_t UpDown::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (msg == WM_TIMER && wParam == kRepeatTimer) {
    if (!repeating_ || pressed_ < 0) {
      StopRepeat();
      return 0;
    }
    if (firstRepeat_) {
      firstRepeat_ = false;
      SetTimer(Handle(), kRepeatTimer, RepeatIntervalMs);
    }
    UpDownButton which = UpDownButton(pressed_);
    if (ButtonRect(which).Contains(ScreenToClient(GetCursorPos()))) ClickButton(which);
    return 0;
  }
  bool lost = msg == WM_CAPTURECHANGED && (CurrentShiftState() & ssLeft);
  if (lost || msg == WM_CANCELMODE) {
    StopRepeat();
    pressed_ = -1;
  }
  return Control::WndProc(msg, wParam, lParam);
}

void UpDown::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Color glyph = EnabledInTree() ? look.Text : look.GrayText;
  for (UpDownButton b : {UpDownButton::Up, UpDownButton::Down}) {
    Rect r = ButtonRect(b);
    c.FillRect(r, pressed_ == int(b) ? look.ButtonPressed : look.ButtonFace);
    DrawFrame(c, r, look.Border);
    ArrowDir d = horizontal_ ? (b == UpDownButton::Up ? ArrowDir::Right : ArrowDir::Left)
                             : (b == UpDownButton::Up ? ArrowDir::Up : ArrowDir::Down);
    DrawArrowHead(c, r, d, glyph);
  }
}

}  // namespace plat
