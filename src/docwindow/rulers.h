#pragma once
// TRuler: the horizontal and vertical rulers of a document window. For now a ruler is a band of
// its size along the top (or the left) of the window's pane, painted in the ruler colour; the
// scale, the margins, indents, tab stops and table columns and their mouse editing come with the
// ruler model.
#include <cstdint>
#include <string>

#include "platform/controls/control.h"

namespace qv {

class TRuler : public plat::Control {
 public:
  // Thickness of either ruler in pixels at 96 dots per inch (height of the horizontal ruler,
  // width of the vertical one).
  static constexpr int32_t kThickness = 24;

  TRuler();

  bool Vertical = false;
  // The name of the popup menu the ruler shows ("RULER", "VRULER").
  std::string PopupMenuName;

 protected:
  void Paint(plat::PaintContext& pc) override;
};

}  // namespace qv
