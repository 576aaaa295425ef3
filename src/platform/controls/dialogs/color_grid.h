#pragma once
// plat::ColorGrid: a grid of colour cells (the basic and custom colours of the colour dialog).
// Arrow keys move the selected cell, a click selects one; OnSelect tells which.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/controls/control.h"

namespace plat {

class ColorGrid : public Control {
 public:
  ColorGrid();
  void SetColors(std::vector<uint32_t> colors, int32_t columns);
  const std::vector<uint32_t>& Colors() const { return colors_; }
  void SetColor(int32_t index, uint32_t color);
  int32_t Selected() const { return selected_; }
  void SetSelected(int32_t index);  // -1: none; no event
  // The client rectangle of a cell.
  Rect CellRect(int32_t index) const;
  std::function<void(ColorGrid&, int32_t index)> OnSelect;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;

 private:
  void Pick(int32_t index);
  std::vector<uint32_t> colors_;
  int32_t columns_ = 8;
  int32_t selected_ = -1;
};

}  // namespace plat
