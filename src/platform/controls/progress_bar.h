#pragma once
// plat::ProgressBar: a bar that fills from Min to Max as Position grows.
#include <cstdint>

#include "platform/controls/control.h"

namespace plat {

class ProgressBar : public Control {
 public:
  ProgressBar();

  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Position() const { return position_; }
  // Max is raised to Min when below it; the position is kept inside [Min, Max].
  void SetRange(int32_t min, int32_t max);
  void SetPosition(int32_t v);
  int32_t Step() const { return step_; }
  void SetStep(int32_t v) { step_ = v; }
  // Moves by Step (or by delta); past Max it starts again at Min, as a progress display does.
  void StepIt();
  void StepBy(int32_t delta);
  bool Vertical() const { return vertical_; }
  void SetVertical(bool v) { vertical_ = v; Invalidate(); }
  Color BarColor() const { return barColor_; }
  void SetBarColor(Color c) { barColor_ = c; Invalidate(); }

  // Filled part in client coordinates.
  Rect FilledRect() const;

 protected:
  void Paint(PaintContext& pc) override;

 private:
  int32_t min_ = 0, max_ = 100, position_ = 0, step_ = 10;
  bool vertical_ = false;
  Color barColor_;
};

}  // namespace plat
