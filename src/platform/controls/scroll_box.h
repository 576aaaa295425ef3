#pragma once
// plat::ScrollBox: a container whose children may extend beyond its client area; scroll bars
// appear as needed and move the children.
//
// The range is the extent of the children (their bounds as if not scrolled). The bars are
// owned by the box and are not part of that extent. The wheel scrolls vertically.
#include <cstdint>

#include "platform/controls/control.h"
#include "platform/controls/scroll_bar.h"

namespace plat {

class ScrollBox : public Control {
 public:
  ScrollBox();

  // Scroll offsets (how far the content is moved up and left).
  int32_t HorzPosition() const { return hpos_; }
  int32_t VertPosition() const { return vpos_; }
  void ScrollTo(int32_t x, int32_t y);
  // Scrolls so that the child is wholly visible (its top-left first when it is too big).
  void ScrollInView(Control* child);
  // Recomputes the range and shows or hides the bars (after children moved or were added).
  void UpdateScrollBars();

  ScrollBar& HorzScrollBar() { return *hbar_; }
  ScrollBar& VertScrollBar() { return *vbar_; }
  // The part of the client area the content shows in (without the bars).
  Rect ViewRect() const;

  void Realign() override;

 protected:
  void Resize() override;
  bool MouseWheel(ShiftState shift, int32_t delta, Point screen) override;

 private:
  bool IsBar(const Control* c) const { return c == hbar_ || c == vbar_; }
  Size ContentExtent() const;
  void MoveContent(int32_t dx, int32_t dy);

  ScrollBar* hbar_ = nullptr;
  ScrollBar* vbar_ = nullptr;
  int32_t hpos_ = 0, vpos_ = 0;
  bool updating_ = false;
};

}  // namespace plat
