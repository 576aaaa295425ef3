#pragma once
// plat::ListView: a list of items in report style: a header of columns, one row per item with
// its caption, sub-item texts in the further columns and an optional small image.
//
// Selection: a click selects one item; with MultiSelect, Ctrl+click toggles an item and
// Shift+click (or Shift+arrows) selects the range from the anchor; Ctrl+A selects all. Up/Down,
// Page Up/Down and Home/End move the focused item (ItemIndex), which is kept in view. A click on
// a column header reports it; dragging a header's right edge resizes the column.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/control.h"
#include "platform/controls/control_look.h"

namespace plat {

class Bitmap;
class ScrollBar;

struct ListColumn {
  std::u16string Caption;
  int32_t Width = 80;
  TextAlign Alignment = TextAlign::Left;
};

struct ListItem {
  std::u16string Caption;
  std::vector<std::u16string> SubItems;  // texts of columns 1, 2, ...
  int32_t ImageIndex = -1;
  intptr_t Data = 0;
  bool Selected = false;
};

class ListView : public Control {
 public:
  ListView();

  // ---- Columns ----
  ListColumn& AddColumn(std::u16string caption, int32_t width = 80);
  int32_t ColumnCount() const { return int32_t(columns_.size()); }
  const ListColumn& Column(int32_t i) const { return columns_[size_t(i)]; }
  void SetColumnWidth(int32_t i, int32_t width);
  bool ShowColumnHeaders() const { return showHeaders_; }
  void SetShowColumnHeaders(bool v);

  // ---- Items ----
  ListItem& AddItem(std::u16string caption);
  ListItem& InsertItem(int32_t index, std::u16string caption);
  void DeleteItem(int32_t index);
  void ClearItems();
  int32_t ItemCount() const { return int32_t(items_.size()); }
  ListItem& Item(int32_t i) { return items_[size_t(i)]; }
  const ListItem& Item(int32_t i) const { return items_[size_t(i)]; }
  // After items were changed through Item(): repaint and fit the scroll range.
  void ItemsChanged();
  // The text of a cell: column 0 is the caption; missing sub-items are empty.
  std::u16string CellText(int32_t item, int32_t column) const;

  // ---- Selection ----
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  // The focused item; setting it selects it alone (-1 clears the selection).
  int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int32_t i);
  void SetSelected(int32_t i, bool selected);
  int32_t SelCount() const;
  std::vector<int32_t> SelectedIndexes() const;
  void SelectAll();

  // ---- Geometry ----
  int32_t RowHeight() const;
  int32_t HeaderHeight() const;
  int32_t TopIndex() const { return top_; }
  void SetTopIndex(int32_t i);
  int32_t VisibleRowCount() const;
  void MakeVisible(int32_t i);
  Rect ItemRect(int32_t i) const;   // the row, client coordinates; empty when scrolled out
  int32_t ItemAt(Point client) const;  // -1 when none
  Rect HeaderRect(int32_t column) const;

  const Bitmap* SmallImages = nullptr;  // square cells in a strip (not owned)
  int32_t ImageSize = 16;

  std::function<void(ListView&, int32_t index, bool selected)> OnSelectItem;
  std::function<void(ListView&, int32_t column)> OnColumnClick;
  // Owner drawing of a row; leave defaultDraw true to let the list draw it too.
  // state: 1 selected, 2 focused item, 4 control focused.
  std::function<void(ListView&, int32_t index, Canvas&, const Rect&, uint32_t state, bool& defaultDraw)>
      OnCustomDrawItem;

  void Realign() override;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  bool MouseWheel(ShiftState shift, int32_t delta, Point screen) override;
  void Resize() override;

 private:
  void Select(int32_t i, bool selected);
  void SelectOnly(int32_t i);
  void SelectRange(int32_t from, int32_t to);
  void MoveFocus(int32_t i, ShiftState shift);
  void UpdateScrollBar();
  int32_t DividerAt(Point client) const;  // column whose right edge is under the point
  void PaintHeader(Canvas& c);
  void PaintRow(Canvas& c, int32_t i, const Rect& row);

  std::vector<ListColumn> columns_;
  std::vector<ListItem> items_;
  ScrollBar* vbar_ = nullptr;
  bool showHeaders_ = true;
  bool multiSelect_ = false;
  bool updatingBar_ = false;
  int32_t itemIndex_ = -1;
  int32_t anchor_ = -1;
  int32_t top_ = 0;
  int32_t resizing_ = -1;  // column being resized
  int32_t resizeStartX_ = 0, resizeStartWidth_ = 0;
  int32_t pressedHeader_ = -1;
};

}  // namespace plat
