#pragma once
// plat::TrackBar: a slider over a range of positions with tick marks.
//
// Keys: Left/Up step back by LineSize, Right/Down forward (for a vertical bar Up goes towards
// Min, which is at the top), Page Up/Down by PageSize, Home/End to the ends. A click on the
// channel beside the thumb moves by PageSize towards the click; the thumb can be dragged.
#include <cstdint>
#include <functional>

#include "platform/controls/control.h"

namespace plat {

enum class TrackBarOrientation { Horizontal, Vertical };

class TrackBar : public Control {
 public:
  TrackBar();

  TrackBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TrackBarOrientation o);
  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Position() const { return position_; }
  // Max is raised to Min when below it; the position is kept inside.
  void SetRange(int32_t min, int32_t max);
  void SetPosition(int32_t v);  // limited to [Min, Max]; OnChange when it changed
  int32_t LineSize() const { return lineSize_; }
  void SetLineSize(int32_t v) { lineSize_ = v < 1 ? 1 : v; }
  int32_t PageSize() const { return pageSize_; }
  void SetPageSize(int32_t v) { pageSize_ = v < 1 ? 1 : v; }
  // A tick every Frequency positions (0: none), plus one at each end.
  int32_t Frequency() const { return frequency_; }
  void SetFrequency(int32_t v) { frequency_ = v < 0 ? 0 : v; Invalidate(); }

  Rect ThumbRect() const;
  // The position a client point along the channel stands for.
  int32_t PositionAt(Point client) const;

  std::function<void(TrackBar&)> OnChange;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;

 private:
  bool Vertical() const { return orientation_ == TrackBarOrientation::Vertical; }
  // Channel start and end along the bar (thumb centres).
  void Channel(int32_t& a, int32_t& b) const;
  int32_t CoordOf(int32_t position) const;
  void MoveTo(int64_t v);

  TrackBarOrientation orientation_ = TrackBarOrientation::Horizontal;
  int32_t min_ = 0, max_ = 10, position_ = 0, lineSize_ = 1, pageSize_ = 2, frequency_ = 1;
  bool dragging_ = false;
  int32_t dragOffset_ = 0;
};

}  // namespace plat
