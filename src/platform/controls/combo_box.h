#pragma once
// plat::ComboBox: a field with a drop-down list of items.
// - DropDown: an editable field. With AutoFilter (off by default) typing filters the list to
//   the items that begin with the text, dropping it down while something matches; without it
//   the list always shows every item.
// - DropDownList: the field shows the selected item; letters select by first letter.
// - OwnerDrawFixed, OwnerDrawVariable: a drop-down list whose items (and the field) are drawn
//   by OnDrawItem, with heights from OnMeasureItem in the variable style.
// - Simple: an editable field with its list always open below it, filling the rest of the
//   control. Typing selects the item with that text (and scrolls to the first that begins with
//   it); a click on a row or Up and Down take an item into the field (OnSelect, OnChange). It
//   never drops down.
// Keys: F4, Alt+Down and Alt+Up drop the list down or close it; Up and Down move the selection
// (in the list while it is dropped down); Enter takes the list's item; Escape closes the list
// and restores what was there when it dropped down.
//
// Events, in the order they come (only for the user's actions):
// - typing in the field: OnChange (then OnDropDown when the filter drops the list down);
// - the list drops down: OnDropDown;
// - an item is taken (click, Enter): OnCloseUp, OnSelect, then OnChange when the text or the
//   selection changed;
// - the list is dismissed (Escape, a click elsewhere, the form deactivated): OnCloseUp, then
//   OnSelectCancel;
// - Up or Down while the list is closed: OnSelect, OnChange.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/control.h"
#include "platform/controls/item_list.h"
#include "platform/controls/list_box.h"

namespace plat {

class Edit;
class Popup;
enum class PopupCloseReason;

enum class ComboStyle { DropDown, DropDownList, OwnerDrawFixed, OwnerDrawVariable, Simple };

// An item of a combo box.
struct ComboBoxItem {
  std::u16string text;
  intptr_t data = 0;
  int32_t height = -1;  // measured height, -1 until measured
};

class ComboBox : public Control, public ItemList<ComboBoxItem> {
 public:
  ComboBox();
  ~ComboBox() override;

  ComboStyle Style() const { return style_; }
  void SetStyle(ComboStyle s);

  // ---- Items (Count, AddItem, SetItems, ItemText, ItemData, IndexOf, Sorted: see ItemList) ----
  void InsertItem(int32_t index, const std::u16string& text, intptr_t data = 0) override;
  void DeleteItem(int32_t index);
  void Clear() override;
  void SetSorted(bool v);

  // ---- Selection and text ----
  int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int32_t index);  // the text follows; no events
  std::u16string Text() const;
  // Sets the field (editable) or selects the item with that text (list styles); no events.
  void SetText(const std::u16string& text);
  Edit* Field() { return edit_; }  // the editable field; nullptr in the list styles
  int32_t MaxLength() const { return maxLength_; }
  void SetMaxLength(int32_t n);

  // ---- The list ----
  bool DroppedDown() const;
  void SetDroppedDown(bool v);
  int32_t DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int32_t n) { dropDownCount_ = n < 1 ? 1 : n; }
  bool AutoFilter() const { return autoFilter_; }
  void SetAutoFilter(bool v) { autoFilter_ = v; }
  int32_t ItemHeight() const;
  void SetItemHeight(int32_t h);
  // The drop-down list (its items are the shown ones: all, or those the filter let through);
  // in the simple style the list that is always open.
  ListBox& List();
  // The item index of the drop-down list's row.
  int32_t ItemOfListRow(int32_t row) const;

  // ---- Events ----
  std::function<void(Control&)> OnChange;
  std::function<void(ComboBox&)> OnDropDown;
  std::function<void(ComboBox&)> OnCloseUp;
  std::function<void(ComboBox&)> OnSelect;
  std::function<void(ComboBox&)> OnSelectCancel;
  std::function<void(ComboBox&, int32_t index, int32_t& height)> OnMeasureItem;
  std::function<void(ComboBox&, int32_t index, Canvas& canvas, const Rect& rect, uint32_t state)> OnDrawItem;

  uint32_t DlgCode() const override;
  bool ChildKey(uint8_t& vk, ShiftState shift) override;
  void SetFocus() override;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void KeyPress(char16_t& ch) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  void Resize() override;
  void DoEnter() override;
  void FontChanged() override;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

 private:
  using Item = ComboBoxItem;
  bool Editable() const { return style_ == ComboStyle::DropDown || style_ == ComboStyle::Simple; }
  bool Simple() const { return style_ == ComboStyle::Simple; }
  // The height of the field of the simple style (the list fills the rest).
  int32_t SimpleFieldHeight() const;
  // Fills the simple style's open list again after the items changed.
  void RefillShownList();
  void PlaceList();
  bool OwnerDrawn() const { return style_ == ComboStyle::OwnerDrawFixed || style_ == ComboStyle::OwnerDrawVariable; }
  Rect ButtonRect() const;
  bool HandleComboKey(uint8_t vk, ShiftState shift);
  void DropDown();
  void FillList(const std::u16string& filter);
  void TakeListRow(int32_t row);
  void PopupClosed(PopupCloseReason reason);
  void UserSelects(int32_t index);
  void FieldChanged();
  void ShowMatchInList(const std::u16string& text);
  void ShowItemText(int32_t index);
  void LayoutField();
  int32_t MeasuredHeight(int32_t index);

  std::vector<int32_t> rows_;  // item index of each row of the drop-down list
  ComboStyle style_ = ComboStyle::DropDown;
  int32_t itemIndex_ = -1;
  int32_t itemHeight_ = 16;
  int32_t dropDownCount_ = 8;
  int32_t maxLength_ = 0;
  bool autoFilter_ = false;
  bool updating_ = false;  // the program changes the field: no events
  bool taking_ = false;    // the list closes because an item was taken
  bool quietClose_ = false;
  std::u16string savedText_;  // what to restore when the list is dismissed
  int32_t savedIndex_ = -1;
  std::u16string listText_;   // the field of a list style
  Edit* edit_ = nullptr;
  std::unique_ptr<Popup> popup_;
  ListBox* list_ = nullptr;
};

}  // namespace plat
