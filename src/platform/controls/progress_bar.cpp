#include "platform/controls/progress_bar.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/system/mul_div.h"

namespace plat {

ProgressBar::ProgressBar() : barColor_(Look().Focus) { SetBounds(0, 0, 150, 16); }

void ProgressBar::SetRange(int32_t min, int32_t max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
  Invalidate();
}

void ProgressBar::SetPosition(int32_t v) {
  v = std::clamp(v, min_, max_);
  if (v == position_) return;
  position_ = v;
  Invalidate();
}

void ProgressBar::StepIt() { StepBy(step_); }

void ProgressBar::StepBy(int32_t delta) {
  int64_t v = int64_t(position_) + delta;
  if (v > max_) v = int64_t(min_) + (v - max_ - 1) % (int64_t(max_) - min_ + 1);
  else if (v < min_) v = min_;
  position_ = int32_t(v);
  Invalidate();
}

Rect ProgressBar::FilledRect() const {
  Rect r = ClientRect();
  Rect in{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  int64_t span = int64_t(max_) - min_;
  if (span <= 0 || in.IsEmpty()) return {};
  if (vertical_) {
    int32_t h = int32_t(MulDiv64(in.Height(), int64_t(position_) - min_, span));
    return h > 0 ? Rect{in.left, in.bottom - h, in.right, in.bottom} : Rect{};
  }
  int32_t w = int32_t(MulDiv64(in.Width(), int64_t(position_) - min_, span));
  return w > 0 ? Rect{in.left, in.top, in.left + w, in.bottom} : Rect{};
}

void ProgressBar::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  c.FillRect(r, Look().Window);
  DrawFrame(c, r, Look().Border);
  Rect f = FilledRect();
  if (!f.IsEmpty()) c.FillRect(f, barColor_);
}

}  // namespace plat
