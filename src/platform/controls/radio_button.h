#pragma once
// plat::RadioButton: one choice of a group; the group is the radio buttons of one parent.
// Checking one clears the others. Arrow keys move through the group and check the button
// they reach; Tab stops only at the checked button of a group.
#include "platform/controls/control.h"

namespace plat {

class RadioButton : public Control {
 public:
  RadioButton();
  bool Checked() const { return checked_; }
  // Checking clears the other radio buttons of the parent; OnClick fires when it changes.
  void SetChecked(bool v);

  bool DialogChar(char16_t ch) override;
  void ArrowFocused() override { SetChecked(true); }
  uint32_t DlgCode() const override { return DLGC_RADIOBUTTON; }

 protected:
  void Paint(PaintContext& pc) override;
  void KeyUp(uint8_t& key, ShiftState shift) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;

 private:
  bool checked_ = false;
};

}  // namespace plat
