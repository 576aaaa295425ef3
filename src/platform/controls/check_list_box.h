#pragma once
// plat::CheckListBox: a list box with a check box before each item. A click on the box, or
// Space, toggles the focused item's check (through the grayed state with AllowGrayed) and
// fires OnClickCheck; disabled items keep their state.
#include "platform/controls/check_box.h"
#include "platform/controls/list_box.h"

namespace plat {

class CheckListBox : public ListBox {
 public:
  CheckListBox() = default;
  bool Checked(int32_t index) const { return State(index) == CheckState::Checked; }
  void SetChecked(int32_t index, bool v) { SetState(index, v ? CheckState::Checked : CheckState::Unchecked); }
  CheckState State(int32_t index) const;
  void SetState(int32_t index, CheckState s);
  bool ItemEnabled(int32_t index) const;
  void SetItemEnabled(int32_t index, bool v);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }

  std::function<void(CheckListBox&, int32_t index)> OnClickCheck;

 protected:
  void DrawItem(Canvas& c, int32_t index, const Rect& rect, uint32_t state) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;

 private:
  void ToggleCheck(int32_t index);
  int32_t BoxSize() const;
  bool allowGrayed_ = false;
};

}  // namespace plat
