#include "platform/controls/list_box.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/controls/scroll_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {
namespace {

constexpr int32_t kBar = 12;

// The list's vertical bar: it scrolls the list and never takes the focus from it.
class ListBar : public ScrollBar {
 public:
  ListBar() : ScrollBar(ScrollBarKind::Vertical) {
    SetAcceptsFocus(false);
    SetTabStop(false);
    SetVisible(false);
  }
};

}  // namespace

ListBox::ListBox() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetBounds(0, 0, 121, 97);
  SetBackColor(Look().Window);
  itemHeight_ = GetFont().Metrics().Height + 3;
  bar_ = &Add<ListBar>();
  bar_->OnChange = [this](ScrollBar& b) {
    if (!syncingBar_) SetTopIndex(b.Position());
  };
}

ListBox::~ListBox() = default;

ScrollBar& ListBox::VertScrollBar() { return *bar_; }

// The bar shows while the items do not fit; its position is TopIndex, its page the rows in view.
// It is brought up to date when the list paints, so that items are measured only as they come
// into view (and not before the program is ready to measure them).
void ListBox::SyncBar() {
  if (!bar_ || syncingBar_) return;
  syncingBar_ = true;
  int32_t width = BarWidth();
  if (width > 0) {
    Rect r = ClientRect();
    bar_->SetBounds(Rect{r.right - 1 - width, 1, r.right - 1, std::max(1, r.bottom - 1)});
    int32_t page = std::max(1, style_ == ListBoxStyle::OwnerDrawVariable ? VisibleCount() : Rows());
    bar_->SetRowRange(topIndex_, std::max(0, LastTop()) + page, page);
  }
  bar_->SetVisible(width > 0);
  syncingBar_ = false;
}


// ---- Items ----

void ListBox::InsertItem(int32_t index, const std::u16string& text, intptr_t data) {
  index = PutItem(index, text, data);
  if (itemIndex_ >= index) ++itemIndex_;
  if (anchor_ >= index) ++anchor_;
  Invalidate();
}

void ListBox::DeleteItem(int32_t index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  if (itemIndex_ == index) itemIndex_ = mode_ == SelectMode::Single ? -1 : std::min(index, Count() - 1);
  else if (itemIndex_ > index) --itemIndex_;
  if (anchor_ >= index) anchor_ = std::max(-1, anchor_ - 1);
  ClampIndexes();
  Invalidate();
}

void ListBox::Clear() {
  items_.clear();
  itemIndex_ = anchor_ = -1;
  topIndex_ = 0;
  Invalidate();
}

void ListBox::SetItemText(int32_t index, const std::u16string& text) {
  if (index < 0 || index >= Count()) return;
  ItemAt(index).text = text;
  ItemAt(index).height = -1;
  Invalidate();
}

int32_t ListBox::FindPrefix(const std::u16string& prefix, int32_t start) const {
  int32_t n = Count();
  for (int32_t k = 0; k < n; ++k) {
    int32_t i = ((start < 0 ? 0 : start) + k) % n;
    const std::u16string& t = ItemAt(i).text;
    if (StartsFolded(t, prefix)) return i;
  }
  return -1;
}

void ListBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  if (!v) return;
  itemIndex_ = anchor_ = -1;
  SortItems();
  if (mode_ == SelectMode::Single)
    for (auto& i : items_) i.selected = false;
  Invalidate();
}

// ---- Selection ----

void ListBox::SetSelectMode(SelectMode m) {
  mode_ = m;
  for (auto& i : items_) i.selected = false;
  Invalidate();
}

void ListBox::SetItemIndex(int32_t index) {
  if (index < -1 || index >= Count()) index = -1;
  itemIndex_ = index;
  if (mode_ != SelectMode::Single && index >= 0) anchor_ = index;
  if (index >= 0) MakeVisible(index);
  Invalidate();
}

bool ListBox::Selected(int32_t index) const {
  if (index < 0 || index >= Count()) return false;
  return mode_ == SelectMode::Single ? index == itemIndex_ : ItemAt(index).selected;
}

void ListBox::SetSelected(int32_t index, bool selected) {
  if (index < 0 || index >= Count()) return;
  if (mode_ == SelectMode::Single) {
    if (selected) SetItemIndex(index);
    else if (itemIndex_ == index) SetItemIndex(-1);
    return;
  }
  ItemAt(index).selected = selected;
  Invalidate();
}

int32_t ListBox::SelCount() const {
  if (mode_ == SelectMode::Single) return itemIndex_ >= 0 ? 1 : 0;
  return int32_t(std::count_if(items_.begin(), items_.end(), [](const Item& i) { return i.selected; }));
}

std::vector<int32_t> ListBox::SelectedIndexes() const {
  std::vector<int32_t> out;
  for (int32_t i = 0; i < Count(); ++i)
    if (Selected(i)) out.push_back(i);
  return out;
}

void ListBox::ClearSelection() {
  if (mode_ == SelectMode::Single) itemIndex_ = -1;
  for (auto& i : items_) i.selected = false;
  Invalidate();
}

void ListBox::ClampIndexes() {
  if (itemIndex_ >= Count()) itemIndex_ = Count() - 1;
  if (anchor_ >= Count()) anchor_ = Count() - 1;
  topIndex_ = std::clamp(topIndex_, 0, std::max(0, LastTop()));
}

void ListBox::SelectRange(int32_t a, int32_t b, bool keepOthers) {
  if (a > b) std::swap(a, b);
  for (int32_t i = 0; i < Count(); ++i) {
    bool in = i >= a && i <= b;
    if (in) ItemAt(i).selected = true;
    else if (!keepOthers) ItemAt(i).selected = false;
  }
}

void ListBox::SelectionChangedByUser() { Control::Click(); }

void ListBox::MoveFocusTo(int32_t index, ShiftState shift) {
  if (Count() == 0) return;
  index = std::clamp(index, 0, Count() - 1);
  switch (mode_) {
    case SelectMode::Single: {
      bool changed = index != itemIndex_;
      SetItemIndex(index);
      if (changed) SelectionChangedByUser();
      return;
    }
    case SelectMode::Multiple:
      itemIndex_ = index;
      MakeVisible(index);
      Invalidate();
      return;
    case SelectMode::Extended: {
      std::vector<int32_t> before = SelectedIndexes();
      if (shift & ssShift) {
        if (anchor_ < 0) anchor_ = itemIndex_ >= 0 ? itemIndex_ : index;
        SelectRange(anchor_, index, shift & ssCtrl);
      } else if (!(shift & ssCtrl)) {
        SelectRange(index, index, false);
        anchor_ = index;
      }
      itemIndex_ = index;
      MakeVisible(index);
      Invalidate();
      if (SelectedIndexes() != before) SelectionChangedByUser();
      return;
    }
  }
}

void ListBox::ToggleByUser(int32_t index) {
  if (index < 0 || index >= Count() || mode_ == SelectMode::Single) return;
  ItemAt(index).selected = !ItemAt(index).selected;
  itemIndex_ = anchor_ = index;
  Invalidate();
  SelectionChangedByUser();
}

// ---- Layout ----

void ListBox::SetStyle(ListBoxStyle s) {
  style_ = s;
  for (auto& i : items_) i.height = -1;
  Invalidate();
}

void ListBox::SetItemHeight(int32_t h) {
  itemHeight_ = std::max(1, h);
  Invalidate();
}

void ListBox::SetColumns(int32_t n) {
  columns_ = std::max(0, n);
  Invalidate();
}

int32_t ListBox::HeightOf(int32_t i) const {
  if (style_ != ListBoxStyle::OwnerDrawVariable) return itemHeight_;
  const Item& item = ItemAt(i);
  if (item.height < 0) {
    int32_t h = itemHeight_;
    if (OnMeasureItem) OnMeasureItem(const_cast<ListBox&>(*this), i, h);
    item.height = std::max(1, h);
  }
  return item.height;
}

int32_t ListBox::Rows() const {
  Rect r = ClientRect();
  return std::max(1, (r.Height() - 2) / itemHeight_);
}

static bool MultiColumn(const ListBox& l) { return l.Columns() > 0 && l.Style() != ListBoxStyle::OwnerDrawVariable; }

int32_t ListBox::LastTop() const {
  if (Count() == 0) return 0;
  if (style_ == ListBoxStyle::OwnerDrawVariable) return Count() - 1;  // no measuring out of view
  if (MultiColumn(*this)) {
    int32_t rows = Rows();
    int32_t cols = (Count() + rows - 1) / rows;
    return std::max(0, cols - columns_) * rows;
  }
  return std::max(0, Count() - Rows());
}

int32_t ListBox::BarWidth() const {
  if (MultiColumn(*this) || Count() == 0) return 0;
  if (topIndex_ > 0) return kBar;
  Rect r = ClientRect();
  int32_t y = 1;
  for (int32_t i = 0; i < Count(); ++i) {
    y += HeightOf(i);
    if (y > r.Height() - 1) return kBar;
  }
  return 0;
}

Rect ListBox::ItemRect(int32_t index) const {
  if (index < topIndex_ || index >= Count()) return {};
  Rect r = ClientRect();
  int32_t right = r.right - 1 - BarWidth();
  if (MultiColumn(*this)) {
    int32_t rows = Rows();
    int32_t colW = std::max(1, (r.Width() - 2) / columns_);
    int32_t k = index - topIndex_;
    int32_t col = k / rows, row = k % rows;
    if (col >= columns_) return {};
    int32_t x = 1 + col * colW, y = 1 + row * itemHeight_;
    return {x, y, x + colW, y + itemHeight_};
  }
  int32_t y = 1;
  for (int32_t i = topIndex_; i < index; ++i) {
    y += HeightOf(i);
    if (y >= r.bottom - 1) return {};
  }
  return {1, y, right, y + HeightOf(index)};
}

int32_t ListBox::VisibleCount() const {
  if (Count() == 0) return 0;
  if (MultiColumn(*this)) return std::min(Count() - topIndex_, Rows() * columns_);
  Rect r = ClientRect();
  int32_t y = 1, n = 0;
  for (int32_t i = topIndex_; i < Count() && y < r.bottom - 1; ++i, ++n) y += HeightOf(i);
  return n;
}

int32_t ListBox::ItemAtPos(Point p) const {
  int32_t n = VisibleCount();
  for (int32_t i = topIndex_; i < topIndex_ + n; ++i)
    if (ItemRect(i).Contains(p)) return i;
  return -1;
}

void ListBox::SetTopIndex(int32_t index) {
  index = std::clamp(index, 0, std::max(0, LastTop()));
  if (MultiColumn(*this)) index -= index % Rows();
  if (index == topIndex_) return;
  topIndex_ = index;
  Invalidate();
}

void ListBox::MakeVisible(int32_t index) {
  if (index < 0 || index >= Count()) return;
  if (index < topIndex_) {
    SetTopIndex(index);
    return;
  }
  if (MultiColumn(*this)) {
    int32_t rows = Rows();
    int32_t last = topIndex_ + rows * columns_ - 1;
    if (index > last) SetTopIndex((index / rows - columns_ + 1) * rows);
    return;
  }
  // Walk back from the item until the space is filled: the top that shows it whole at the
  // bottom (only items that will be in view are measured).
  int32_t space = ClientRect().Height() - 2;
  int32_t top = index, used = HeightOf(index);
  while (top > topIndex_ && used + HeightOf(top - 1) <= space) used += HeightOf(--top);
  if (top > topIndex_) SetTopIndex(top);
}

// ---- Painting ----

void ListBox::DrawItemText(Canvas& c, int32_t index, const Rect& rect, uint32_t state, int32_t offset) {
  const LookColors& k = Look();
  bool sel = state & odSelected;
  if (sel) c.FillRect(rect, (state & odFocused) || Focused() ? k.Highlight : Rgb(204, 204, 204));
  Color colour = (state & odDisabled) ? k.GrayText : sel && ((state & odFocused) || Focused()) ? k.HighlightText : TextColor();
  c.SetFont(GetFont());
  DrawCaption(c, {rect.left + offset + 2, rect.top, rect.right - 2, rect.bottom}, ItemAt(index).text, colour,
              TextAlign::Left, false);
}

void ListBox::DrawItem(Canvas& c, int32_t index, const Rect& rect, uint32_t state) {
  if (style_ != ListBoxStyle::Standard && OnDrawItem) {
    OnDrawItem(*this, index, c, rect, state);
    return;
  }
  DrawItemText(c, index, rect, state, 0);
}

void ListBox::Paint(PaintContext& pc) {
  SyncBar();
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  const LookColors& k = Look();
  bool enabled = EnabledInTree();
  c.FillRect(r, enabled ? BackColor() : k.Face);
  DrawFrame(c, r, Focused() ? k.Focus : k.Border);
  int32_t n = VisibleCount();
  for (int32_t i = topIndex_; i < topIndex_ + n; ++i) {
    Rect ir = ItemRect(i);
    if (ir.IsEmpty()) continue;
    uint32_t state = (Selected(i) ? odSelected : 0) | (!enabled || !ItemAt(i).itemEnabled ? odDisabled : 0) |
                     (i == itemIndex_ && Focused() ? odFocused : 0);
    c.SaveState();
    c.IntersectClipRect(ir.Intersect({1, 1, r.right - 1, r.bottom - 1}));
    DrawItem(c, i, ir, state);
    c.RestoreState();
    if (i == itemIndex_ && Focused() && mode_ != SelectMode::Single) DrawFocusFrame(c, ir);
  }
}

// ---- Input ----

void ListBox::KeyDown(uint8_t& key, ShiftState shift) {
  Control::KeyDown(key, shift);
  if (Count() == 0) return;
  int32_t cur = std::max(itemIndex_, 0);
  int32_t page = std::max(1, VisibleCount() - 1);
  int32_t rows = MultiColumn(*this) ? Rows() : 1;
  int32_t target = -2;
  switch (key) {
    case VK_UP: target = itemIndex_ < 0 ? 0 : cur - 1; break;
    case VK_DOWN: target = itemIndex_ < 0 ? 0 : cur + 1; break;
    case VK_LEFT: target = itemIndex_ < 0 ? 0 : cur - rows; break;
    case VK_RIGHT: target = itemIndex_ < 0 ? 0 : cur + rows; break;
    case VK_PRIOR: target = cur - page; break;
    case VK_NEXT: target = cur + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = Count() - 1; break;
    case VK_SPACE:
      if (mode_ == SelectMode::Multiple || (mode_ == SelectMode::Extended && (shift & ssCtrl))) ToggleByUser(cur);
      else if (mode_ == SelectMode::Extended) MoveFocusTo(cur, shift);
      return;
    default:
      return;
  }
  MoveFocusTo(target, shift);
}

void ListBox::KeyPress(char16_t& ch) {
  Control::KeyPress(ch);
  if (ch <= u' ' || Count() == 0) return;
  int32_t i = FindPrefix(std::u16string(1, ch), itemIndex_ + 1);
  if (i >= 0) MoveFocusTo(i, 0);
}

void ListBox::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  int32_t i = ItemAtPos(p);
  if (i < 0) return;
  dragSelecting_ = true;
  if (mode_ == SelectMode::Multiple) {
    ToggleByUser(i);
    dragSelecting_ = false;
  } else if (mode_ == SelectMode::Extended && (shift & ssCtrl) && !(shift & ssShift)) {
    ToggleByUser(i);
    dragAdds_ = true;
    dragBase_.clear();
    for (auto& it : items_) dragBase_.push_back(it.selected);
  } else {
    dragAdds_ = false;
    MoveFocusTo(i, shift);
  }
}

void ListBox::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (!dragSelecting_ || !LeftButtonDownHere()) {
    dragSelecting_ = false;
    return;
  }
  Rect r = ClientRect();
  int32_t i = ItemAtPos({std::clamp(p.x, 1, r.right - 2), p.y});
  if (i < 0) {
    if (p.y < 1 && topIndex_ > 0) i = topIndex_ - 1;
    else if (p.y >= r.bottom - 1) i = std::min(Count() - 1, topIndex_ + VisibleCount());
    else return;
  }
  if (i == itemIndex_) return;
  if (mode_ == SelectMode::Extended && dragAdds_) {
    for (int32_t k = 0; k < Count() && k < int32_t(dragBase_.size()); ++k) ItemAt(k).selected = dragBase_[size_t(k)];
    SelectRange(anchor_, i, true);
    itemIndex_ = i;
    MakeVisible(i);
    Invalidate();
    SelectionChangedByUser();
  } else {
    MoveFocusTo(i, mode_ == SelectMode::Extended ? ShiftState(ssShift) : ShiftState(0));
  }
}

void ListBox::MouseUp(MouseButton b, ShiftState shift, Point p) {
  // Clicks report through the selection change, not as a click of their own.
  if (OnMouseUp) OnMouseUp(*this, b, shift, p);
  if (b == MouseButton::Left) dragSelecting_ = false;
}

bool ListBox::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  if (Control::MouseWheel(shift, delta, screen)) return true;
  int32_t steps = delta / WHEEL_DELTA;
  if (steps == 0) steps = delta > 0 ? 1 : -1;
  int32_t step = MultiColumn(*this) ? Rows() : 3;
  SetTopIndex(topIndex_ - steps * step);
  return true;
}

void ListBox::FontChanged() {
  Control::FontChanged();
  if (style_ == ListBoxStyle::Standard) itemHeight_ = GetFont().Metrics().Height + 3;
  for (auto& i : items_) i.height = -1;
}

void ListBox::DoEnter() {
  Control::DoEnter();
  Invalidate();
}

void ListBox::DoExit() {
  Control::DoExit();
  Invalidate();
}

}  // namespace plat
