#pragma once
// plat::RowList: the list of the common dialogs: rows of text in columns (name, size, date),
// folders marked by a small folder sign, single or multiple selection.
//
// Keys: Up, Down, Home, End, Page Up, Page Down move the focus row and select it (with Shift the
// range from the anchor, with Ctrl only the focus moves and Space toggles). Mouse: a click
// selects, Ctrl+click toggles, Shift+click selects the range, a double click activates a row.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/control.h"

namespace plat {

struct ListRow {
  std::vector<std::u16string> cells;  // the first cell is the name
  bool folder = false;
};

class RowList : public Control {
 public:
  RowList();

  void SetRows(std::vector<ListRow> rows);
  const std::vector<ListRow>& Rows() const { return rows_; }
  // Column widths in pixels (the last column takes the rest).
  void SetColumnWidths(std::vector<int32_t> widths) { widths_ = std::move(widths); Invalidate(); }
  bool MultiSelect() const { return multi_; }
  void SetMultiSelect(bool v) { multi_ = v; }

  std::vector<int32_t> SelectedRows() const;
  // Selects exactly these rows (no event).
  void SetSelectedRows(const std::vector<int32_t>& rows);
  int32_t FocusRow() const { return focus_; }
  int32_t TopRow() const { return top_; }
  int32_t RowHeight() const;
  int32_t VisibleRows() const;
  // The row at a client point; -1 when none.
  int32_t RowAt(Point p) const;

  std::function<void(RowList&)> OnSelect;            // the selection changed by the user
  std::function<void(RowList&, int32_t row)> OnActivate;  // double click on a row

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void KeyPress(char16_t& ch) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void DblClick() override;
  bool MouseWheel(ShiftState shift, int32_t delta, Point screen) override;

 private:
  void MoveFocus(int32_t row, ShiftState shift);
  void SelectOnly(int32_t row);
  void SelectRange(int32_t from, int32_t to);
  void ScrollInto(int32_t row);
  void Changed();

  std::vector<ListRow> rows_;
  std::vector<bool> selected_;
  std::vector<int32_t> widths_;
  bool multi_ = false;
  int32_t focus_ = -1;
  int32_t anchor_ = -1;
  int32_t top_ = 0;
  int32_t lastClicked_ = -1;
};

}  // namespace plat
