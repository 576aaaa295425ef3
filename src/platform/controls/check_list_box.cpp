#include "platform/controls/check_list_box.h"

#include <algorithm>

#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {

CheckState CheckListBox::State(int32_t index) const {
  if (index < 0 || index >= Count()) return CheckState::Unchecked;
  return CheckState(ItemAt(index).check);
}

void CheckListBox::SetState(int32_t index, CheckState s) {
  if (index < 0 || index >= Count()) return;
  ItemAt(index).check = uint8_t(s);
  Invalidate();
}

bool CheckListBox::ItemEnabled(int32_t index) const {
  return index >= 0 && index < Count() && ItemAt(index).itemEnabled;
}

void CheckListBox::SetItemEnabled(int32_t index, bool v) {
  if (index < 0 || index >= Count()) return;
  ItemAt(index).itemEnabled = v;
  Invalidate();
}

int32_t CheckListBox::BoxSize() const { return std::min(13, ItemHeight() - 2); }

void CheckListBox::ToggleCheck(int32_t index) {
  if (!ItemEnabled(index)) return;
  CheckState s = State(index);
  CheckState next = s == CheckState::Unchecked ? CheckState::Checked
                    : s == CheckState::Checked && allowGrayed_ ? CheckState::Grayed
                                                               : CheckState::Unchecked;
  SetState(index, next);
  if (OnClickCheck) OnClickCheck(*this, index);
}

void CheckListBox::DrawItem(Canvas& c, int32_t index, const Rect& rect, uint32_t state) {
  int32_t box = BoxSize();
  int32_t top = rect.top + (rect.Height() - box) / 2;
  c.FillRect({rect.left, rect.top, rect.left + box + 4, rect.bottom}, BackColor());
  DrawCheckBox(c, {rect.left + 2, top, rect.left + 2 + box, top + box}, State(index),
               !(state & odDisabled), false);
  Rect textRect{rect.left + box + 4, rect.top, rect.right, rect.bottom};
  if (Style() != ListBoxStyle::Standard && OnDrawItem) OnDrawItem(*this, index, c, textRect, state);
  else DrawItemText(c, index, textRect, state, 0);
}

void CheckListBox::KeyDown(uint8_t& key, ShiftState shift) {
  if (key == VK_SPACE && ItemIndex() >= 0 && !(shift & ssCtrl)) {
    if (OnKeyDown) OnKeyDown(*this, key, shift);
    ToggleCheck(ItemIndex());
    return;
  }
  ListBox::KeyDown(key, shift);
}

void CheckListBox::MouseDown(MouseButton b, ShiftState shift, Point p) {
  int32_t i = ItemAtPos(p);
  ListBox::MouseDown(b, shift, p);
  if (b == MouseButton::Left && i >= 0 && p.x < ItemRect(i).left + BoxSize() + 4) ToggleCheck(i);
}

}  // namespace plat
