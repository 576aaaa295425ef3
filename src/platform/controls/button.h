#pragma once
// plat::Button: a push button. Clicked by the mouse, Space, its "&" mnemonic, Enter while it
// has the focus or is the form's default button (and no other button has the focus), and
// Escape when it is the form's cancel button. A button with a modal result gives it to its
// form, which ends a modal loop.
#include "platform/controls/control.h"

namespace plat {

class Button : public Control {
 public:
  Button();
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(int32_t r) { modalResult_ = r; }
  bool Pressed() const { return pressed_; }

  void Click() override;
  bool DialogKey(uint8_t vk, ShiftState shift) override;
  bool DialogChar(char16_t ch) override;
  uint32_t DlgCode() const override;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void KeyUp(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void DoExit() override;

 private:
  void SetPressed(bool v);
  bool default_ = false;
  bool cancel_ = false;
  bool pressed_ = false;
  bool spaceDown_ = false;
  int32_t modalResult_ = 0;
};

}  // namespace plat
