#pragma once
// plat::UpDown: a pair of arrow buttons that step a position (a spin button).
//
// A click on the upper (or, horizontal, right) button adds Increment, the other subtracts it;
// held, it repeats (first after RepeatDelayMs, then every RepeatIntervalMs). With Wrap the
// position runs from Max round to Min and back; without, it stops at the ends. With an
// associate control the position is shown as its caption, and with ArrowKeys the associate's
// Up and Down keys step the position: the associate's OnKeyDown is wrapped, so this works for
// associates that pass Up and Down on to OnKeyDown; an associate that uses those keys itself
// (an edit moves its caret) needs its owner to call ClickButton.
#include <cstdint>
#include <functional>

#include "platform/controls/control.h"

namespace plat {

enum class UpDownButton { Up, Down };

class UpDown : public Control {
 public:
  static constexpr int32_t RepeatDelayMs = 400;
  static constexpr int32_t RepeatIntervalMs = 100;

  UpDown();
  ~UpDown() override;

  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Position() const { return position_; }
  void SetRange(int32_t min, int32_t max);
  void SetPosition(int32_t v);  // limited to [Min, Max]; shown in the associate
  int32_t Increment() const { return increment_; }
  void SetIncrement(int32_t v) { increment_ = v == 0 ? 1 : v; }
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v) { wrap_ = v; }
  bool Horizontal() const { return horizontal_; }
  void SetHorizontal(bool v) { horizontal_ = v; Invalidate(); }
  bool Thousands() const { return thousands_; }
  void SetThousands(bool v) { thousands_ = v; ShowInAssociate(); }

  Control* Associate() const { return associate_; }
  // Places the buttons at the associate's right edge and shows the position in it.
  void SetAssociate(Control* c);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool v) { arrowKeys_ = v; }

  // One step as a click on that button makes it.
  void ClickButton(UpDownButton b);
  Rect ButtonRect(UpDownButton b) const;

  // Before a step: set allow to false to refuse it.
  std::function<void(UpDown&, bool& allow)> OnChanging;
  std::function<void(UpDown&, UpDownButton)> OnClickButton;

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

 protected:
  void Paint(PaintContext& pc) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;

 private:
  void ShowInAssociate();
  void StopRepeat();

  int32_t min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
  bool wrap_ = false, horizontal_ = false, thousands_ = true, arrowKeys_ = true;
  Control* associate_ = nullptr;
  int pressed_ = -1;  // UpDownButton while held
  bool repeating_ = false, firstRepeat_ = false;
};

}  // namespace plat
