#pragma once
// plat::ListBox: a list of text items with data, single, multiple (each click toggles) or
// extended selection (Shift extends from the anchor, Ctrl adds or moves the focus alone).
// Owner-drawn styles call OnMeasureItem (variable heights) and OnDrawItem, only for the items
// that are shown, as they come into view; heights are kept until the item changes. Several
// columns flow the items top to bottom, then into the next column. The list scrolls by items
// (TopIndex); a vertical scroll bar (a child ScrollBar) shows at the right when the items do not
// fit: its thumb drags, its arrows step by one item, its track pages, and the wheel scrolls.
//
// OnClick fires when the user changes the selection (keys, clicks); OnDblClick on a double
// click. Selection changes made by the program fire nothing.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/control.h"
#include "platform/controls/item_list.h"

namespace plat {

class ScrollBar;

enum class ListBoxStyle { Standard, OwnerDrawFixed, OwnerDrawVariable };
enum class SelectMode { Single, Multiple, Extended };

// State bits of an item handed to OnDrawItem.
constexpr uint32_t odSelected = 1, odFocused = 2, odDisabled = 4, odComboBoxEdit = 8, odChecked = 16,
                   odHot = 32;

// An item of a list box.
struct ListBoxItem {
  std::u16string text;
  intptr_t data = 0;
  bool selected = false;
  uint8_t check = 0;     // the check state of a check list box
  bool itemEnabled = true;
  mutable int32_t height = -1;  // measured height, -1 until measured
};

class ListBox : public Control, public ItemList<ListBoxItem> {
 public:
  ListBox();
  ~ListBox() override;

  // ---- Items (Count, AddItem, SetItems, ItemText, ItemData, IndexOf, Sorted: see ItemList) ----
  void InsertItem(int32_t index, const std::u16string& text, intptr_t data = 0) override;
  void DeleteItem(int32_t index);
  void Clear() override;
  void SetItemText(int32_t index, const std::u16string& text);
  // The first item whose text begins with prefix (case folded), searching from start on and
  // wrapping around; -1 when none.
  int32_t FindPrefix(const std::u16string& prefix, int32_t start = 0) const;
  void SetSorted(bool v);

  // ---- Selection ----
  SelectMode GetSelectMode() const { return mode_; }
  void SetSelectMode(SelectMode m);
  // The selected item (single selection) or the focused item (multiple); -1 for none.
  int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int32_t index);
  bool Selected(int32_t index) const;
  void SetSelected(int32_t index, bool selected);
  int32_t SelCount() const;
  std::vector<int32_t> SelectedIndexes() const;
  void ClearSelection();

  // ---- View ----
  ListBoxStyle Style() const { return style_; }
  void SetStyle(ListBoxStyle s);
  int32_t TopIndex() const { return topIndex_; }
  void SetTopIndex(int32_t index);
  // Height of an item in the fixed styles.
  int32_t ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int32_t h);
  int32_t Columns() const { return columns_; }
  void SetColumns(int32_t n);
  // Where an item is drawn (client coordinates); empty when it is not in view.
  Rect ItemRect(int32_t index) const;
  // The item at a client point; -1 when none is there.
  int32_t ItemAtPos(Point p) const;
  // Makes the item visible by scrolling.
  void MakeVisible(int32_t index);
  // Items that fit the client area from TopIndex on (whole or in part).
  int32_t VisibleCount() const;
  // The vertical bar (hidden while everything fits).
  ScrollBar& VertScrollBar();

  // ---- Events ----
  std::function<void(ListBox&, int32_t index, int32_t& height)> OnMeasureItem;
  std::function<void(ListBox&, int32_t index, Canvas& canvas, const Rect& rect, uint32_t state)> OnDrawItem;

  uint32_t DlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

 protected:
  using Item = ListBoxItem;
  Item& ItemAt(int32_t i) { return items_[size_t(i)]; }
  const Item& ItemAt(int32_t i) const { return items_[size_t(i)]; }

  // Draws one item; the default calls OnDrawItem in the owner-drawn styles, else draws the text.
  virtual void DrawItem(Canvas& c, int32_t index, const Rect& rect, uint32_t state);
  // The text of an item as drawn by default, starting at rect.left + offset.
  void DrawItemText(Canvas& c, int32_t index, const Rect& rect, uint32_t state, int32_t offset);
  // The user changed the selection.
  virtual void SelectionChangedByUser();
  // Moves the focus as a key would (with the selection rules of the mode).
  void MoveFocusTo(int32_t index, ShiftState shift);
  // The user toggles an item (Space, or a click in multiple selection).
  void ToggleByUser(int32_t index);
  // Width of the vertical bar at the right (0 when everything fits).
  int32_t BarWidth() const;

  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void KeyPress(char16_t& ch) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  bool MouseWheel(ShiftState shift, int32_t delta, Point screen) override;
  void FontChanged() override;
  void DoEnter() override;
  void DoExit() override;

 private:
  int32_t HeightOf(int32_t i) const;
  int32_t Rows() const;  // rows of a column in the multi-column layout
  int32_t LastTop() const;
  void SelectRange(int32_t a, int32_t b, bool keepOthers);
  void ClampIndexes();
  void SyncBar();

  SelectMode mode_ = SelectMode::Single;
  ListBoxStyle style_ = ListBoxStyle::Standard;
  int32_t itemIndex_ = -1;
  int32_t anchor_ = -1;
  int32_t topIndex_ = 0;
  int32_t itemHeight_ = 16;
  int32_t columns_ = 0;
  bool dragSelecting_ = false;
  bool dragAdds_ = false;
  std::vector<bool> dragBase_;  // the selection when an extended drag began
  ScrollBar* bar_ = nullptr;     // owned as a child
  bool syncingBar_ = false;
};

}  // namespace plat
