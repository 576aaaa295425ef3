#pragma once
// plat::PaintBox: a control that its owner draws (OnPaint) on the canvas of each paint.
#include <functional>

#include "platform/controls/control.h"

namespace plat {

class PaintBox : public Control {
 public:
  PaintBox();
  // The canvas has its origin at the box's top-left and is clipped to what needs painting.
  std::function<void(PaintBox&, Canvas&, const Rect& updateRect)> OnPaint;

 protected:
  void Paint(PaintContext& pc) override;
};

}  // namespace plat
