#include "platform/controls/dialogs/row_list.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {

RowList::RowList() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetDlgCode(DLGC_WANTARROWS | DLGC_WANTCHARS);
  SetBackColor(Look().Window);
}

void RowList::SetRows(std::vector<ListRow> rows) {
  rows_ = std::move(rows);
  selected_.assign(rows_.size(), false);
  focus_ = rows_.empty() ? -1 : 0;
  anchor_ = focus_;
  top_ = 0;
  Invalidate();
}

std::vector<int32_t> RowList::SelectedRows() const {
  std::vector<int32_t> out;
  for (size_t i = 0; i < selected_.size(); ++i) {
    if (selected_[i]) out.push_back(static_cast<int32_t>(i));
  }
  return out;
}

void RowList::SetSelectedRows(const std::vector<int32_t>& rows) {
  selected_.assign(rows_.size(), false);
  for (int32_t r : rows) {
    if (r >= 0 && r < static_cast<int32_t>(rows_.size())) selected_[static_cast<size_t>(r)] = true;
    if (!multi_) break;
  }
  if (!rows.empty() && rows.front() >= 0 && rows.front() < static_cast<int32_t>(rows_.size())) {
    focus_ = anchor_ = rows.front();
    ScrollInto(focus_);
  }
  Invalidate();
}

int32_t RowList::RowHeight() const { return InterfaceFontHeight() + 6; }

int32_t RowList::VisibleRows() const { return std::max(1, (ClientRect().Height() - 2) / RowHeight()); }

int32_t RowList::RowAt(Point p) const {
  if (p.y < 1) return -1;
  int32_t row = top_ + (p.y - 1) / RowHeight();
  return row < static_cast<int32_t>(rows_.size()) ? row : -1;
}

void RowList::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect all = ClientRect();
  c.FillRect(all, Look().Window);
  c.SetFont(GetFont());
  c.SetBkMode(BkMode::Transparent);
  int32_t h = RowHeight();
  for (int32_t i = top_, y = 1; i < static_cast<int32_t>(rows_.size()) && y < all.bottom; ++i, y += h) {
    Rect r{1, y, all.right - 1, y + h};
    bool sel = selected_[static_cast<size_t>(i)];
    if (sel) c.FillRect(r, Focused() ? Look().Highlight : Look().Border);
    Color text = sel && Focused() ? Look().HighlightText : Look().Text;
    int32_t x = 6;
    const ListRow& row = rows_[static_cast<size_t>(i)];
    Rect icon{x, y + h / 2 - 5, x + 14, y + h / 2 + 6};
    if (row.folder) {
      c.FillRect(icon, 0x0040B0E0);
      c.FillRect(Rect{icon.left, icon.top - 2, icon.left + 6, icon.top}, 0x0040B0E0);
    } else {
      c.FrameRect(Rect{icon.left + 2, icon.top - 1, icon.right - 2, icon.bottom}, Look().GrayText);
    }
    x += 20;
    for (size_t col = 0; col < row.cells.size(); ++col) {
      int32_t w = col < widths_.size() ? widths_[col] : all.right - x;
      Rect cell{x, y, std::min(x + w - 6, all.right - 2), y + h};
      if (!cell.IsEmpty()) {
        c.SaveState();
        c.IntersectClipRect(cell);
        c.SetTextColor(col == 0 ? text : (sel && Focused() ? text : Look().GrayText));
        c.TextOut(cell.left, y + (h - InterfaceFontHeight()) / 2 - 1, row.cells[col]);
        c.RestoreState();
      }
      x += w;
    }
    if (Focused() && i == focus_) DrawFocusFrame(c, r);
  }
  DrawFrame(c, all, Focused() ? Look().Focus : Look().Border);
}

void RowList::Changed() {
  Invalidate();
  if (OnSelect) OnSelect(*this);
}

void RowList::SelectOnly(int32_t row) {
  selected_.assign(rows_.size(), false);
  if (row >= 0) selected_[static_cast<size_t>(row)] = true;
}

void RowList::SelectRange(int32_t from, int32_t to) {
  selected_.assign(rows_.size(), false);
  if (from > to) std::swap(from, to);
  for (int32_t i = std::max(from, 0); i <= to; ++i) selected_[static_cast<size_t>(i)] = true;
}

void RowList::ScrollInto(int32_t row) {
  if (row < top_) top_ = row;
  else if (row >= top_ + VisibleRows()) top_ = row - VisibleRows() + 1;
  top_ = std::max(0, top_);
}

void RowList::MoveFocus(int32_t row, ShiftState shift) {
  if (rows_.empty()) return;
  row = std::clamp<int32_t>(row, 0, static_cast<int32_t>(rows_.size()) - 1);
  focus_ = row;
  ScrollInto(row);
  if (multi_ && (shift & ssCtrl)) {
    Invalidate();
    return;
  }
  if (multi_ && (shift & ssShift)) {
    SelectRange(anchor_ < 0 ? row : anchor_, row);
  } else {
    SelectOnly(row);
    anchor_ = row;
  }
  Changed();
}

void RowList::KeyDown(uint8_t& key, ShiftState shift) {
  int32_t page = VisibleRows();
  switch (key) {
    case VK_UP: MoveFocus(focus_ - 1, shift); break;
    case VK_DOWN: MoveFocus(focus_ + 1, shift); break;
    case VK_HOME: MoveFocus(0, shift); break;
    case VK_END: MoveFocus(static_cast<int32_t>(rows_.size()) - 1, shift); break;
    case VK_PRIOR: MoveFocus(focus_ - page, shift); break;
    case VK_NEXT: MoveFocus(focus_ + page, shift); break;
    default: Control::KeyDown(key, shift); return;
  }
  key = 0;
}

void RowList::KeyPress(char16_t& ch) {
  if (ch == u' ' && multi_ && focus_ >= 0) {
    selected_[static_cast<size_t>(focus_)] = !selected_[static_cast<size_t>(focus_)];
    anchor_ = focus_;
    Changed();
    ch = 0;
    return;
  }
  Control::KeyPress(ch);
}

void RowList::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  int32_t row = RowAt(p);
  lastClicked_ = row;
  if (row < 0) return;
  if (multi_ && (shift & ssCtrl)) {
    selected_[static_cast<size_t>(row)] = !selected_[static_cast<size_t>(row)];
    focus_ = anchor_ = row;
    Changed();
    return;
  }
  MoveFocus(row, shift);
}

void RowList::DblClick() {
  Control::DblClick();
  if (lastClicked_ >= 0 && OnActivate) OnActivate(*this, lastClicked_);
}

bool RowList::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  int32_t maxTop = std::max(0, static_cast<int32_t>(rows_.size()) - VisibleRows());
  top_ = std::clamp(top_ - delta * 3, 0, maxTop);
  Invalidate();
  return true;
}

}  // namespace plat
