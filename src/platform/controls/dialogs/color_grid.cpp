#include "platform/controls/dialogs/color_grid.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {

ColorGrid::ColorGrid() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetDlgCode(DLGC_WANTARROWS);
}

void ColorGrid::SetColors(std::vector<uint32_t> colors, int32_t columns) {
  colors_ = std::move(colors);
  columns_ = std::max(1, columns);
  if (selected_ >= static_cast<int32_t>(colors_.size())) selected_ = -1;
  Invalidate();
}

void ColorGrid::SetColor(int32_t index, uint32_t color) {
  if (index < 0 || index >= static_cast<int32_t>(colors_.size())) return;
  colors_[static_cast<size_t>(index)] = color;
  Invalidate();
}

void ColorGrid::SetSelected(int32_t index) {
  selected_ = (index >= 0 && index < static_cast<int32_t>(colors_.size())) ? index : -1;
  Invalidate();
}

Rect ColorGrid::CellRect(int32_t index) const {
  int32_t rows = (static_cast<int32_t>(colors_.size()) + columns_ - 1) / columns_;
  Rect c = ClientRect();
  int32_t w = c.Width() / columns_;
  int32_t h = rows > 0 ? c.Height() / rows : c.Height();
  int32_t col = index % columns_, row = index / columns_;
  return Rect{col * w, row * h, col * w + w, row * h + h};
}

void ColorGrid::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  c.FillRect(ClientRect(), BackColor());
  for (int32_t i = 0; i < static_cast<int32_t>(colors_.size()); ++i) {
    Rect r = CellRect(i);
    Rect inner{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    c.FillRect(inner, colors_[static_cast<size_t>(i)] & 0x00FFFFFF);
    c.FrameRect(inner, Look().Border);
    if (i == selected_) {
      c.FrameRect(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, Look().Text);
      if (Focused()) DrawFocusFrame(c, r);
    }
  }
}

void ColorGrid::Pick(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(colors_.size())) return;
  selected_ = index;
  Invalidate();
  if (OnSelect) OnSelect(*this, index);
}

void ColorGrid::KeyDown(uint8_t& key, ShiftState shift) {
  int32_t cur = selected_ < 0 ? 0 : selected_;
  int32_t n = static_cast<int32_t>(colors_.size());
  int32_t next = cur;
  switch (key) {
    case VK_LEFT: next = cur - 1; break;
    case VK_RIGHT: next = cur + 1; break;
    case VK_UP: next = cur - columns_; break;
    case VK_DOWN: next = cur + columns_; break;
    default: Control::KeyDown(key, shift); return;
  }
  if (selected_ < 0) next = 0;
  if (next >= 0 && next < n) Pick(next);
  key = 0;
}

void ColorGrid::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  for (int32_t i = 0; i < static_cast<int32_t>(colors_.size()); ++i) {
    if (CellRect(i).Contains(p)) {
      Pick(i);
      return;
    }
  }
}

}  // namespace plat
