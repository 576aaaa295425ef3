#include "platform/controls/radio_button.h"

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {

RadioButton::RadioButton() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetBounds(0, 0, 120, 17);
}

void RadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && Parent()) {
    // Only the checked button of a group is a Tab stop.
    for (Control* c : Parent()->Controls()) {
      auto* r = dynamic_cast<RadioButton*>(c);
      if (!r || r == this) continue;
      r->SetTabStop(false);
      r->SetChecked(false);
    }
  }
  SetTabStop(true);
  Invalidate();
  Control::Click();
}

bool RadioButton::DialogChar(char16_t ch) {
  if (!IsMnemonic(ch) || !CanFocus()) return false;
  SetFocus();
  SetChecked(true);
  return true;
}

void RadioButton::KeyUp(uint8_t& key, ShiftState shift) {
  Control::KeyUp(key, shift);
  if (key == VK_SPACE) SetChecked(true);
}

void RadioButton::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (OnMouseUp) OnMouseUp(*this, b, shift, p);
  if (b == MouseButton::Left && LeftButtonDownHere() && ClientRect().Contains(p)) SetChecked(true);
}

void RadioButton::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  c.FillRect(r, BackColor());
  const LookColors& k = Look();
  bool enabled = EnabledInTree();
  int32_t size = 13;
  int32_t top = (r.Height() - size) / 2;
  Rect box{0, top, size, top + size};
  c.SaveState();
  c.SetPen(Pen{PenStyle::Solid, 1, MouseInside() && enabled ? k.BorderHot : k.Border});
  c.SetBrush(Brush{BrushStyle::Solid, enabled ? k.Window : k.Face});
  c.Ellipse(box);
  if (checked_) {
    Color dot = enabled ? k.Check : k.GrayText;
    c.SetPen(Pen{PenStyle::Solid, 1, dot});
    c.SetBrush(Brush{BrushStyle::Solid, dot});
    c.Ellipse({box.left + 4, box.top + 4, box.right - 4, box.bottom - 4});
  }
  c.RestoreState();
  c.SetFont(GetFont());
  Rect tr{size + 5, 0, r.right, r.bottom};
  DrawCaption(c, tr, Caption(), enabled ? TextColor() : k.GrayText);
  if (Focused()) {
    int32_t w = CaptionWidth(GetFont(), Caption());
    DrawFocusFrame(c, {tr.left - 2, 0, std::min(r.right, tr.left + w + 2), r.bottom});
  }
}

}  // namespace plat
