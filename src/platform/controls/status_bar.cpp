#include "platform/controls/status_bar.h"

#include <algorithm>

#include "platform/gfx/canvas.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {
constexpr int32_t kTextInset = 4;
}

StatusBar::StatusBar() {
  SetAlign(Align::Bottom);
  SetHeight(InterfaceFontHeight() + 10);
  SetFocusOnClick(false);
}

StatusPanel& StatusBar::AddPanel(std::u16string text, int32_t width) {
  panels_.push_back({std::move(text), width});
  Invalidate();
  return panels_.back();
}

void StatusBar::RemovePanel(int32_t i) {
  if (i < 0 || i >= PanelCount()) return;
  panels_.erase(panels_.begin() + i);
  Invalidate();
}

void StatusBar::ClearPanels() {
  panels_.clear();
  Invalidate();
}

void StatusBar::SetPanelText(int32_t i, const std::u16string& text) {
  if (i < 0 || i >= PanelCount() || panels_[size_t(i)].Text == text) return;
  panels_[size_t(i)].Text = text;
  if (HandleAllocated()) {
    Rect r = PanelRect(i);
    InvalidateRect(r);
  }
}

void StatusBar::SetPanelWidth(int32_t i, int32_t width) {
  if (i < 0 || i >= PanelCount()) return;
  panels_[size_t(i)].Width = width;
  Invalidate();
}

void StatusBar::SetPanelOwnerDraw(int32_t i, bool v) {
  if (i < 0 || i >= PanelCount()) return;
  panels_[size_t(i)].OwnerDraw = v;
  Invalidate();
}

int32_t StatusBar::GripWidth() const { return sizeGrip_ ? Height() : 0; }

Rect StatusBar::PanelRect(int32_t i) const {
  if (i < 0 || i >= PanelCount() || simplePanel_) return {};
  Rect cr = ClientRect();
  int32_t limit = cr.right - GripWidth();
  int32_t x = 0;
  for (int32_t k = 0; k < i; ++k) {
    if (panels_[size_t(k)].Width < 0) return {};  // a rest-of-bar panel hides those after it
    x += panels_[size_t(k)].Width;
  }
  int32_t w = panels_[size_t(i)].Width;
  int32_t right = w < 0 ? std::max(x, limit) : x + w;
  Rect r{x, 1, std::min(right, cr.right), cr.bottom};
  return r.IsEmpty() ? Rect{} : r;
}

int32_t StatusBar::PanelAt(Point client) const {
  for (int32_t i = 0; i < PanelCount(); ++i) {
    if (PanelRect(i).Contains(client)) return i;
  }
  return -1;
}

void StatusBar::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b == MouseButton::Left) pressedPanel_ = PanelAt(p);
}

void StatusBar::MouseUp(MouseButton b, ShiftState shift, Point p) {
  lastUp_ = p;
  int32_t pressed = b == MouseButton::Left ? pressedPanel_ : -1;
  if (b == MouseButton::Left) pressedPanel_ = -1;
  Control::MouseUp(b, shift, p);
  // A click is a press and a release on the same panel.
  if (pressed >= 0 && PanelAt(p) == pressed && OnPanelClick) OnPanelClick(*this, pressed);
}

void StatusBar::DblClick() {
  Control::DblClick();
  int32_t i = PanelAt(lastUp_);
  if (i >= 0 && OnPanelDblClick) OnPanelDblClick(*this, i);
}

void StatusBar::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Rect cr = ClientRect();
  c.FillRect(cr, look.Face);
  c.FillRect({0, 0, cr.right, 1}, look.Border);
  c.SetFont(GetFont());
  Color fg = EnabledInTree() ? look.Text : look.GrayText;
  if (simplePanel_) {
    DrawCaption(c, {kTextInset, 1, cr.right - GripWidth(), cr.bottom}, simpleText_, fg,
                TextAlign::Left, false);
  } else {
    for (int32_t i = 0; i < PanelCount(); ++i) {
      Rect r = PanelRect(i);
      if (r.IsEmpty()) continue;
      const StatusPanel& p = panels_[size_t(i)];
      if (p.OwnerDraw && OnDrawPanel) {
        c.SaveState();
        c.IntersectClipRect(r);
        OnDrawPanel(*this, i, c, r);
        c.RestoreState();
      } else {
        DrawCaption(c, {r.left + kTextInset, r.top, r.right - kTextInset, r.bottom}, p.Text, fg,
                    p.Alignment, false);
      }
      if (p.Bevel && p.Width >= 0) c.FillRect({r.right - 1, r.top + 3, r.right, r.bottom - 3}, look.Border);
    }
  }
  if (sizeGrip_) {
    // Three diagonal rows of dots in the corner.
    for (int32_t row = 0; row < 3; ++row) {
      for (int32_t k = 0; k <= row; ++k) {
        int32_t x = cr.right - 4 - 4 * k, y = cr.bottom - 4 - 4 * (row - k);
        c.FillRect({x, y, x + 2, y + 2}, look.Border);
      }
    }
  }
}

}  // namespace plat
