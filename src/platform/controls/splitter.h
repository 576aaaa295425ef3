#pragma once
// plat::Splitter: an aligned bar that resizes its neighbour when dragged.
//
// The neighbour is the visible sibling with the same alignment whose edge touches the splitter
// (for a left-aligned splitter, the left-aligned control just left of it). Dragging keeps the
// neighbour at least MinSize and leaves at least MinSize for the client area beyond.
#include <cstdint>
#include <functional>

#include "platform/controls/control.h"

namespace plat {

class Splitter : public Control {
 public:
  Splitter();

  int32_t MinSize() const { return minSize_; }
  void SetMinSize(int32_t v) { minSize_ = v < 0 ? 0 : v; }
  // The control it resizes now (nullptr when none touches it).
  Control* Neighbour() const;

  std::function<void(Splitter&)> OnMoved;

 protected:
  void Paint(PaintContext& pc) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;

 private:
  bool Horizontal() const;  // resizes heights (Top/Bottom)
  void UpdateCursor();

  int32_t minSize_ = 30;
  Control* dragging_ = nullptr;
  Point start_;
  int32_t startSize_ = 0;
  int32_t maxSize_ = 0;
  bool moved_ = false;
};

}  // namespace plat
