#include "platform/controls/list_view.h"

#include <algorithm>

#include "platform/controls/scroll_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {
namespace {
constexpr int32_t kBar = 17;
constexpr int32_t kCellInset = 5;
constexpr int32_t kMinColumn = 8;
}  // namespace

ListView::ListView() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetDlgCode(DLGC_WANTARROWS);
  SetBackColor(Look().Window);
  SetBounds(0, 0, 250, 150);
  vbar_ = &Add<ScrollBar>(ScrollBarKind::Vertical);
  vbar_->SetTabStop(false);
  vbar_->SetVisible(false);
  vbar_->OnChange = [this](ScrollBar& b) { SetTopIndex(b.Position()); };
}

ListColumn& ListView::AddColumn(std::u16string caption, int32_t width) {
  columns_.push_back({std::move(caption), std::max(0, width)});
  Invalidate();
  return columns_.back();
}

void ListView::SetColumnWidth(int32_t i, int32_t width) {
  if (i < 0 || i >= ColumnCount()) return;
  columns_[size_t(i)].Width = std::max(0, width);
  Invalidate();
}

void ListView::SetShowColumnHeaders(bool v) {
  showHeaders_ = v;
  ItemsChanged();
}

ListItem& ListView::AddItem(std::u16string caption) { return InsertItem(ItemCount(), std::move(caption)); }

ListItem& ListView::InsertItem(int32_t index, std::u16string caption) {
  index = std::clamp(index, 0, ItemCount());
  ListItem item;
  item.Caption = std::move(caption);
  items_.insert(items_.begin() + index, std::move(item));
  if (itemIndex_ >= index) ++itemIndex_;
  if (anchor_ >= index) ++anchor_;
  ItemsChanged();
  return items_[size_t(index)];
}

void ListView::DeleteItem(int32_t index) {
  if (index < 0 || index >= ItemCount()) return;
  items_.erase(items_.begin() + index);
  if (itemIndex_ == index) itemIndex_ = -1;
  else if (itemIndex_ > index) --itemIndex_;
  if (anchor_ == index) anchor_ = -1;
  else if (anchor_ > index) --anchor_;
  ItemsChanged();
}

void ListView::ClearItems() {
  items_.clear();
  itemIndex_ = anchor_ = -1;
  top_ = 0;
  ItemsChanged();
}

void ListView::ItemsChanged() {
  UpdateScrollBar();
  Invalidate();
}

std::u16string ListView::CellText(int32_t item, int32_t column) const {
  if (item < 0 || item >= ItemCount() || column < 0) return {};
  const ListItem& it = items_[size_t(item)];
  if (column == 0) return it.Caption;
  return size_t(column - 1) < it.SubItems.size() ? it.SubItems[size_t(column - 1)] : std::u16string();
}

// ---- Selection ----

void ListView::SetMultiSelect(bool v) {
  multiSelect_ = v;
  if (!v && SelCount() > 1) SelectOnly(itemIndex_);
}

void ListView::Select(int32_t i, bool selected) {
  if (i < 0 || i >= ItemCount() || items_[size_t(i)].Selected == selected) return;
  items_[size_t(i)].Selected = selected;
  Invalidate();
  if (OnSelectItem) OnSelectItem(*this, i, selected);
}

void ListView::SelectOnly(int32_t i) {
  for (int32_t k = 0; k < ItemCount(); ++k) {
    if (k != i) Select(k, false);
  }
  Select(i, true);
}

void ListView::SelectRange(int32_t from, int32_t to) {
  if (from > to) std::swap(from, to);
  for (int32_t k = 0; k < ItemCount(); ++k) Select(k, k >= from && k <= to);
}

void ListView::SetItemIndex(int32_t i) {
  if (i < -1 || i >= ItemCount()) return;
  itemIndex_ = anchor_ = i;
  SelectOnly(i);
  MakeVisible(i);
  Invalidate();
}

void ListView::SetSelected(int32_t i, bool selected) {
  if (selected && !multiSelect_) {
    SetItemIndex(i);
    return;
  }
  Select(i, selected);
}

int32_t ListView::SelCount() const {
  return int32_t(std::count_if(items_.begin(), items_.end(), [](const ListItem& i) { return i.Selected; }));
}

std::vector<int32_t> ListView::SelectedIndexes() const {
  std::vector<int32_t> r;
  for (int32_t i = 0; i < ItemCount(); ++i) {
    if (items_[size_t(i)].Selected) r.push_back(i);
  }
  return r;
}

void ListView::SelectAll() {
  if (!multiSelect_) return;
  for (int32_t i = 0; i < ItemCount(); ++i) Select(i, true);
}

// ---- Geometry ----

int32_t ListView::RowHeight() const {
  return std::max(GetFont().Metrics().Height + 4, (SmallImages ? ImageSize : 0) + 2);
}

int32_t ListView::HeaderHeight() const { return showHeaders_ ? GetFont().Metrics().Height + 8 : 0; }

int32_t ListView::VisibleRowCount() const {
  return std::max(1, (ClientRect().Height() - HeaderHeight()) / RowHeight());
}

void ListView::SetTopIndex(int32_t i) {
  i = std::clamp(i, 0, std::max(0, ItemCount() - VisibleRowCount()));
  if (i == top_) return;
  top_ = i;
  vbar_->SetPosition(i);
  Invalidate();
}

void ListView::MakeVisible(int32_t i) {
  if (i < 0 || i >= ItemCount()) return;
  if (i < top_) SetTopIndex(i);
  else if (i >= top_ + VisibleRowCount()) SetTopIndex(i - VisibleRowCount() + 1);
}

Rect ListView::ItemRect(int32_t i) const {
  if (i < top_ || i >= ItemCount()) return {};
  int32_t y = HeaderHeight() + (i - top_) * RowHeight();
  if (y >= ClientRect().bottom) return {};
  return {0, y, ClientRect().right - (vbar_->Visible() ? kBar : 0), y + RowHeight()};
}

int32_t ListView::ItemAt(Point client) const {
  if (client.y < HeaderHeight() || client.x < 0) return -1;
  int32_t i = top_ + (client.y - HeaderHeight()) / RowHeight();
  return i < ItemCount() ? i : -1;
}

Rect ListView::HeaderRect(int32_t column) const {
  if (!showHeaders_ || column < 0 || column >= ColumnCount()) return {};
  int32_t x = 0;
  for (int32_t k = 0; k < column; ++k) x += columns_[size_t(k)].Width;
  return {x, 0, x + columns_[size_t(column)].Width, HeaderHeight()};
}

int32_t ListView::DividerAt(Point client) const {
  if (!showHeaders_ || client.y < 0 || client.y >= HeaderHeight()) return -1;
  for (int32_t k = ColumnCount(); k-- > 0;) {
    if (std::abs(client.x - HeaderRect(k).right) <= 3) return k;
  }
  return -1;
}

void ListView::UpdateScrollBar() {
  if (!vbar_ || updatingBar_) return;
  updatingBar_ = true;
  int32_t rows = VisibleRowCount();
  Rect cr = ClientRect();
  int32_t hh = HeaderHeight();
  vbar_->SetBounds(cr.right - kBar, hh, kBar, std::max(0, cr.Height() - hh));
  vbar_->SetVisible(ItemCount() > rows);
  top_ = vbar_->SetRowRange(top_, ItemCount(), rows);
  updatingBar_ = false;
}

void ListView::Realign() {
  Control::Realign();
  UpdateScrollBar();
}

void ListView::Resize() {
  Control::Resize();
  UpdateScrollBar();
}

// ---- Input ----

void ListView::MoveFocus(int32_t i, ShiftState shift) {
  if (ItemCount() == 0) return;
  i = std::clamp(i, 0, ItemCount() - 1);
  if (multiSelect_ && (shift & ssShift)) {
    if (anchor_ < 0) anchor_ = std::max(0, itemIndex_);
    itemIndex_ = i;
    SelectRange(anchor_, i);
  } else if (multiSelect_ && (shift & ssCtrl)) {
    itemIndex_ = i;  // moves the focus without selecting
    Invalidate();
  } else {
    itemIndex_ = anchor_ = i;
    SelectOnly(i);
  }
  MakeVisible(i);
}

void ListView::KeyDown(uint8_t& key, ShiftState shift) {
  int32_t page = std::max(1, VisibleRowCount() - 1);
  int32_t cur = itemIndex_;
  switch (key) {
    case VK_DOWN: MoveFocus(cur < 0 ? 0 : cur + 1, shift); break;
    case VK_UP: MoveFocus(cur < 0 ? 0 : cur - 1, shift); break;
    case VK_NEXT: MoveFocus(cur + page, shift); break;
    case VK_PRIOR: MoveFocus(cur - page, shift); break;
    case VK_HOME: MoveFocus(0, shift); break;
    case VK_END: MoveFocus(ItemCount() - 1, shift); break;
    case VK_SPACE:
      if (multiSelect_ && (shift & ssCtrl) && cur >= 0) Select(cur, !items_[size_t(cur)].Selected);
      else return Control::KeyDown(key, shift);
      break;
    case 'A':
      if (multiSelect_ && (shift & ssCtrl)) SelectAll();
      else return Control::KeyDown(key, shift);
      break;
    default:
      return Control::KeyDown(key, shift);
  }
  key = 0;
}

void ListView::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  int32_t divider = DividerAt(p);
  if (divider >= 0) {
    resizing_ = divider;
    resizeStartX_ = p.x;
    resizeStartWidth_ = columns_[size_t(divider)].Width;
    return;
  }
  if (showHeaders_ && p.y < HeaderHeight()) {
    pressedHeader_ = -1;
    for (int32_t k = 0; k < ColumnCount(); ++k) {
      if (HeaderRect(k).Contains(p)) pressedHeader_ = k;
    }
    return;
  }
  int32_t i = ItemAt(p);
  if (i < 0) return;
  if (multiSelect_ && (shift & ssCtrl)) {
    itemIndex_ = anchor_ = i;
    Select(i, !items_[size_t(i)].Selected);
  } else {
    MoveFocus(i, shift);
  }
}

void ListView::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (resizing_ >= 0) {
    SetColumnWidth(resizing_, std::max(kMinColumn, resizeStartWidth_ + p.x - resizeStartX_));
    return;
  }
  SetCursorShape(DividerAt(p) >= 0 ? CursorShape::SizeWE : CursorShape::Arrow);
}

void ListView::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (b == MouseButton::Left) {
    int32_t pressed = pressedHeader_;
    pressedHeader_ = -1;
    resizing_ = -1;
    if (pressed >= 0 && HeaderRect(pressed).Contains(p) && OnColumnClick) OnColumnClick(*this, pressed);
  }
  Control::MouseUp(b, shift, p);
}

bool ListView::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  if (Control::MouseWheel(shift, delta, screen)) return true;
  SetTopIndex(top_ - delta / WHEEL_DELTA * 3);
  return true;
}

// ---- Painting ----

void ListView::PaintHeader(Canvas& c) {
  const LookColors& look = Look();
  int32_t hh = HeaderHeight();
  Rect cr = ClientRect();
  c.FillRect({0, 0, cr.right, hh}, look.Face);
  c.FillRect({0, hh - 1, cr.right, hh}, look.Border);
  for (int32_t k = 0; k < ColumnCount(); ++k) {
    Rect r = HeaderRect(k);
    if (k == pressedHeader_) c.FillRect({r.left, 0, r.right, hh - 1}, look.ButtonPressed);
    DrawCaption(c, {r.left + kCellInset, 0, r.right - kCellInset, hh - 1}, columns_[size_t(k)].Caption,
                look.Text, columns_[size_t(k)].Alignment, false);
    c.FillRect({r.right - 1, 3, r.right, hh - 4}, look.Border);
  }
}

void ListView::PaintRow(Canvas& c, int32_t i, const Rect& row) {
  const LookColors& look = Look();
  const ListItem& it = items_[size_t(i)];
  bool active = Focused();
  if (it.Selected) c.FillRect(row, active ? look.Highlight : look.ButtonPressed);
  Color fg = it.Selected && active ? look.HighlightText : EnabledInTree() ? look.Text : look.GrayText;
  int32_t x = 0;
  int32_t columns = std::max(1, ColumnCount());
  for (int32_t k = 0; k < columns; ++k) {
    int32_t w = ColumnCount() > 0 ? columns_[size_t(k)].Width : row.Width();
    Rect cell{x + kCellInset, row.top, x + w - kCellInset, row.bottom};
    if (k == 0 && SmallImages && it.ImageIndex >= 0) {
      c.DrawBitmap(cell.left, row.top + (row.Height() - ImageSize) / 2, *SmallImages,
                   {it.ImageIndex * ImageSize, 0, it.ImageIndex * ImageSize + ImageSize, ImageSize});
      cell.left += ImageSize + 3;
    }
    TextAlign a = ColumnCount() > 0 ? columns_[size_t(k)].Alignment : TextAlign::Left;
    DrawCaption(c, cell, CellText(i, k), fg, a, false);
    x += w;
  }
  if (i == itemIndex_ && active) DrawFocusFrame(c, row);
}

void ListView::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect cr = ClientRect();
  c.FillRect(cr, BackColor());
  c.SetFont(GetFont());
  for (int32_t i = top_; i < ItemCount(); ++i) {
    Rect row = ItemRect(i);
    if (row.IsEmpty()) break;
    bool defaultDraw = true;
    if (OnCustomDrawItem) {
      uint32_t state = (items_[size_t(i)].Selected ? 1u : 0u) | (i == itemIndex_ ? 2u : 0u) | (Focused() ? 4u : 0u);
      c.SaveState();
      OnCustomDrawItem(*this, i, c, row, state, defaultDraw);
      c.RestoreState();
    }
    if (defaultDraw) PaintRow(c, i, row);
  }
  if (showHeaders_) PaintHeader(c);
  DrawFrame(c, cr, Look().Border);
}

}  // namespace plat
