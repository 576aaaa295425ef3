#pragma once
// plat::CheckBox: a box with a caption that the user checks and clears (click, Space or its
// mnemonic); with AllowGrayed the user's clicks cycle through the grayed state too. OnClick
// fires whenever the state changes, by the user or by the program.
#include "platform/controls/control.h"

namespace plat {

enum class CheckState { Unchecked, Checked, Grayed };

class CheckBox : public Control {
 public:
  CheckBox();
  CheckState State() const { return state_; }
  void SetState(CheckState s);
  bool Checked() const { return state_ == CheckState::Checked; }
  void SetChecked(bool v) { SetState(v ? CheckState::Checked : CheckState::Unchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  // The user's toggle: the next state in the cycle.
  void Toggle();

  bool DialogChar(char16_t ch) override;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyUp(uint8_t& key, ShiftState shift) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;

 private:
  CheckState state_ = CheckState::Unchecked;
  bool allowGrayed_ = false;
};

// Draws the box of a check box (used by check list boxes too).
void DrawCheckBox(Canvas& c, const Rect& box, CheckState state, bool enabled, bool hot);

}  // namespace plat
