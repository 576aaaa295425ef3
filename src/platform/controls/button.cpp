#include "platform/controls/button.h"

#include "platform/controls/control_look.h"
#include "platform/controls/form.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {

Button::Button() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetBounds(0, 0, 75, 23);
}

void Button::SetDefault(bool v) {
  default_ = v;
  Invalidate();
}

void Button::Click() {
  // The handler may end the form; keep what is needed before calling it.
  Form* form = ParentForm();
  int32_t result = modalResult_;
  Control::Click();
  if (form && result != mrNone) form->SetModalResult(result);
}

bool Button::DialogKey(uint8_t vk, ShiftState shift) {
  if (shift != 0 || !CanFocus()) return false;
  if (vk == VK_RETURN && (Focused() || default_)) {
    Click();
    return true;
  }
  if (vk == VK_ESCAPE && cancel_) {
    Click();
    return true;
  }
  return false;
}

bool Button::DialogChar(char16_t ch) {
  if (!IsMnemonic(ch) || !CanFocus()) return false;
  SetFocus();
  Click();
  return true;
}

uint32_t Button::DlgCode() const {
  return DLGC_BUTTON | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void Button::SetPressed(bool v) {
  if (v == pressed_) return;
  pressed_ = v;
  Invalidate();
}

void Button::KeyDown(uint8_t& key, ShiftState shift) {
  Control::KeyDown(key, shift);
  if (key == VK_SPACE) {
    spaceDown_ = true;
    SetPressed(true);
  }
}

void Button::KeyUp(uint8_t& key, ShiftState shift) {
  Control::KeyUp(key, shift);
  if (key == VK_SPACE && spaceDown_) {
    spaceDown_ = false;
    SetPressed(false);
    Click();
  }
}

void Button::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b == MouseButton::Left) SetPressed(true);
}

void Button::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (LeftButtonDownHere()) SetPressed(ClientRect().Contains(p));
}

void Button::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (OnMouseUp) OnMouseUp(*this, b, shift, p);
  if (b != MouseButton::Left) return;
  bool click = LeftButtonDownHere() && ClientRect().Contains(p);
  SetPressed(false);
  if (click) Click();
}

void Button::MouseEnter() {
  Control::MouseEnter();
  Invalidate();
}

void Button::MouseLeave() {
  Control::MouseLeave();
  Invalidate();
}

void Button::DoExit() {
  spaceDown_ = false;
  SetPressed(false);
  Control::DoExit();
}

void Button::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  const LookColors& k = Look();
  bool enabled = EnabledInTree();
  Color face = pressed_ ? k.ButtonPressed : (MouseInside() && enabled ? k.ButtonHot : k.ButtonFace);
  c.FillRect(r, face);
  bool accent = enabled && (Focused() || (default_ && !pressed_));
  DrawFrame(c, r, accent ? k.Focus : k.Border);
  if (Focused()) DrawFrame(c, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, k.Focus);
  c.SetFont(GetFont());
  Rect tr = r;
  if (pressed_) tr = tr.Offset(1, 1);
  DrawCaption(c, tr, Caption(), enabled ? TextColor() : k.GrayText, TextAlign::Center);
}

}  // namespace plat
