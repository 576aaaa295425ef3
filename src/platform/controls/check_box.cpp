#include "platform/controls/check_box.h"

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {

void DrawCheckBox(Canvas& c, const Rect& box, CheckState state, bool enabled, bool hot) {
  const LookColors& k = Look();
  c.FillRect(box, enabled ? k.Window : k.Face);
  DrawFrame(c, box, hot && enabled ? k.BorderHot : k.Border);
  Color mark = enabled ? k.Check : k.GrayText;
  if (state == CheckState::Checked) DrawCheckMark(c, {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, mark);
  if (state == CheckState::Grayed) c.FillRect({box.left + 3, box.top + 3, box.right - 3, box.bottom - 3}, k.GrayText);
}

CheckBox::CheckBox() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetBounds(0, 0, 120, 17);
}

void CheckBox::SetState(CheckState s) {
  if (s == state_) return;
  state_ = s;
  Invalidate();
  Control::Click();
}

void CheckBox::Toggle() {
  switch (state_) {
    case CheckState::Unchecked: SetState(CheckState::Checked); break;
    case CheckState::Checked: SetState(allowGrayed_ ? CheckState::Grayed : CheckState::Unchecked); break;
    case CheckState::Grayed: SetState(CheckState::Unchecked); break;
  }
}

bool CheckBox::DialogChar(char16_t ch) {
  if (!IsMnemonic(ch) || !CanFocus()) return false;
  SetFocus();
  Toggle();
  return true;
}

void CheckBox::KeyUp(uint8_t& key, ShiftState shift) {
  Control::KeyUp(key, shift);
  if (key == VK_SPACE) Toggle();
}

void CheckBox::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (OnMouseUp) OnMouseUp(*this, b, shift, p);
  if (b == MouseButton::Left && LeftButtonDownHere() && ClientRect().Contains(p)) Toggle();
}

void CheckBox::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  c.FillRect(r, BackColor());
  int32_t size = 13;
  int32_t top = (r.Height() - size) / 2;
  bool enabled = EnabledInTree();
  DrawCheckBox(c, {0, top, size, top + size}, state_, enabled, MouseInside());
  c.SetFont(GetFont());
  Rect tr{size + 5, 0, r.right, r.bottom};
  DrawCaption(c, tr, Caption(), enabled ? TextColor() : Look().GrayText);
  if (Focused()) {
    int32_t w = CaptionWidth(GetFont(), Caption());
    DrawFocusFrame(c, {tr.left - 2, 0, std::min(r.right, tr.left + w + 2), r.bottom});
  }
}

}  // namespace plat
