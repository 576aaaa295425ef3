#include "platform/controls/combo_box.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/controls/edit.h"
#include "platform/controls/popup.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

constexpr int32_t kButton = 18;

// The drop-down list: it never takes the focus, which stays in the combo box.
class DropList : public ListBox {
 public:
  DropList() {
    SetFocusOnClick(false);
    SetAcceptsFocus(false);
    SetTabStop(false);
  }

 protected:
  // The row under the mouse or the keys is drawn as selected in the focus colours.
  void DrawItem(Canvas& c, int32_t index, const Rect& rect, uint32_t state) override {
    ListBox::DrawItem(c, index, rect, state | odFocused);
  }
};

}  // namespace

ComboBox::ComboBox() : popup_(std::make_unique<Popup>()) {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetBounds(0, 0, 145, 23);
  SetBackColor(Look().Window);
  itemHeight_ = GetFont().Metrics().Height + 3;
  list_ = &popup_->Add<DropList>();
  list_->SetAlign(Align::Client);
  list_->SetItemHeight(itemHeight_);
  list_->OnMouseMove = [this](Control&, ShiftState, Point p) {
    if (Simple()) return;  // the open list of the simple style selects on clicks only
    int32_t row = list_->ItemAtPos(p);
    if (row >= 0 && row != list_->ItemIndex()) list_->SetItemIndex(row);
  };
  list_->OnMouseUp = [this](Control&, MouseButton b, ShiftState, Point p) {
    int32_t row = list_->ItemAtPos(p);
    if (b == MouseButton::Left && row >= 0) TakeListRow(row);
  };
  list_->OnMeasureItem = [this](ListBox&, int32_t row, int32_t& h) {
    h = MeasuredHeight(ItemOfListRow(row));
  };
  list_->OnDrawItem = [this](ListBox&, int32_t row, Canvas& c, const Rect& r, uint32_t state) {
    if (OnDrawItem) OnDrawItem(*this, ItemOfListRow(row), c, r, state | odFocused);
  };
  popup_->OnClose = [this](Popup&, PopupCloseReason reason) { PopupClosed(reason); };
  SetStyle(ComboStyle::DropDown);
}

ComboBox::~ComboBox() {
  popup_->OnClose = nullptr;
  popup_.reset();
}

void ComboBox::SetStyle(ComboStyle s) {
  style_ = s;
  if (Editable() && !edit_) {
    edit_ = &Add<Edit>();
    edit_->SetBorder(false);
    edit_->SetTabStop(false);
    edit_->SetMaxLength(maxLength_);
    edit_->OnChange = [this](Control&) { FieldChanged(); };
    updating_ = true;
    edit_->SetText(listText_);
    updating_ = false;
  } else if (!Editable() && edit_) {
    Edit* e = edit_;
    edit_ = nullptr;
    e->SetParent(nullptr);
    // The owned field object goes with this control; keep it hidden and detached.
  }
  PlaceList();
  list_->SetStyle(s == ComboStyle::OwnerDrawVariable ? ListBoxStyle::OwnerDrawVariable
                  : s == ComboStyle::OwnerDrawFixed  ? ListBoxStyle::OwnerDrawFixed
                                                     : ListBoxStyle::Standard);
  SetCursorShape(Editable() ? CursorShape::Arrow : CursorShape::Arrow);
  LayoutField();
  RefillShownList();
  Invalidate();
}

// The list lives in the popup, or in the control itself in the simple style.
void ComboBox::PlaceList() {
  if (Simple()) {
    if (DroppedDown()) popup_->Close(PopupCloseReason::Closed);
    list_->SetAlign(Align::None);
    list_->SetParent(this);
  } else if (list_->Parent() != popup_.get()) {
    list_->SetParent(popup_.get());
    list_->SetAlign(Align::Client);
  }
}

void ComboBox::RefillShownList() {
  if (Simple()) FillList(u"");
}

int32_t ComboBox::SimpleFieldHeight() const { return std::min(ClientRect().Height(), itemHeight_ + 7); }

// ---- Items ----

void ComboBox::InsertItem(int32_t index, const std::u16string& text, intptr_t data) {
  index = PutItem(index, text, data);
  if (itemIndex_ >= index) ++itemIndex_;
  if (DroppedDown()) FillList(Editable() ? edit_->Text() : u"");
  RefillShownList();
}

void ComboBox::DeleteItem(int32_t index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  if (itemIndex_ == index) itemIndex_ = -1;
  else if (itemIndex_ > index) --itemIndex_;
  if (DroppedDown()) FillList(Editable() ? edit_->Text() : u"");
  RefillShownList();
  Invalidate();
}

void ComboBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
  if (DroppedDown()) popup_->Close(PopupCloseReason::Closed);
  if (!Editable()) listText_.clear();
  RefillShownList();
  Invalidate();
}

void ComboBox::SetSorted(bool v) {
  sorted_ = v;
  if (!v) return;
  std::u16string sel = ItemText(itemIndex_);
  SortItems();
  if (itemIndex_ >= 0) itemIndex_ = IndexOf(sel);
  RefillShownList();
}

// ---- Selection and text ----

void ComboBox::ShowItemText(int32_t index) {
  std::u16string t = ItemText(index);
  if (Editable()) {
    updating_ = true;
    edit_->SetText(t);
    edit_->SelectAll();
    updating_ = false;
  } else {
    listText_ = t;
  }
  if (Simple()) list_->SetItemIndex(index);
  Invalidate();
}

void ComboBox::SetItemIndex(int32_t index) {
  if (index < -1 || index >= Count()) index = -1;
  itemIndex_ = index;
  if (index >= 0 || !Editable()) ShowItemText(index);
}

std::u16string ComboBox::Text() const { return Editable() ? edit_->Text() : listText_; }

void ComboBox::SetText(const std::u16string& text) {
  if (Editable()) {
    updating_ = true;
    edit_->SetText(text);
    updating_ = false;
    itemIndex_ = IndexOf(text);
    if (Simple()) list_->SetItemIndex(itemIndex_);
  } else {
    int32_t i = IndexOf(text);
    if (i >= 0) SetItemIndex(i);
  }
}

void ComboBox::SetMaxLength(int32_t n) {
  maxLength_ = std::max(0, n);
  if (edit_) edit_->SetMaxLength(maxLength_);
}

int32_t ComboBox::ItemHeight() const { return itemHeight_; }

void ComboBox::SetItemHeight(int32_t h) {
  itemHeight_ = std::max(1, h);
  list_->SetItemHeight(itemHeight_);
  LayoutField();
}

ListBox& ComboBox::List() { return *list_; }

int32_t ComboBox::ItemOfListRow(int32_t row) const {
  return row >= 0 && row < int32_t(rows_.size()) ? rows_[size_t(row)] : -1;
}

int32_t ComboBox::MeasuredHeight(int32_t index) {
  if (index < 0 || index >= Count()) return itemHeight_;
  Item& item = items_[size_t(index)];
  if (item.height < 0) {
    int32_t h = itemHeight_;
    if (style_ == ComboStyle::OwnerDrawVariable && OnMeasureItem) OnMeasureItem(*this, index, h);
    item.height = std::max(1, h);
  }
  return item.height;
}

// ---- The list ----

bool ComboBox::DroppedDown() const { return popup_->IsOpen(); }

void ComboBox::SetDroppedDown(bool v) {
  if (v == DroppedDown()) return;
  if (v) DropDown();
  else popup_->Close(PopupCloseReason::Closed);
}

void ComboBox::FillList(const std::u16string& filter) {
  rows_.clear();
  list_->Clear();
  for (int32_t i = 0; i < Count(); ++i) {
    if (Editable() && autoFilter_ && !filter.empty() && !StartsFolded(items_[size_t(i)].text, filter)) continue;
    rows_.push_back(i);
    list_->AddItem(items_[size_t(i)].text, items_[size_t(i)].data);
  }
  auto it = std::find(rows_.begin(), rows_.end(), itemIndex_);
  list_->SetItemIndex(it == rows_.end() ? (Editable() && !filter.empty() && !rows_.empty() ? 0 : -1)
                                        : int32_t(it - rows_.begin()));
  // Size the list to show up to DropDownCount rows.
  if (Simple() || !HandleAllocated()) return;
  int32_t n = std::min<int32_t>(int32_t(rows_.size()), dropDownCount_);
  int32_t h = 2;
  for (int32_t r = 0; r < n; ++r)
    h += style_ == ComboStyle::OwnerDrawVariable ? MeasuredHeight(rows_[size_t(r)]) : itemHeight_;
  h = std::max(h, itemHeight_ + 2);
  Point origin = ClientToScreen({0, 0});
  Rect screen = GetScreenRect();
  int32_t top = origin.y + Height();
  if (top + h > screen.bottom && origin.y - h >= screen.top) top = origin.y - h;
  popup_->Open({origin.x, top, origin.x + Width(), top + h}, this);
}

void ComboBox::DropDown() {
  if (Simple() || !HandleAllocated() || !EnabledInTree()) return;
  savedText_ = Text();
  savedIndex_ = itemIndex_;
  if (OnDropDown) OnDropDown(*this);
  FillList(u"");
  Invalidate();
}

void ComboBox::TakeListRow(int32_t row) {
  int32_t index = ItemOfListRow(row);
  if (index < 0) return;
  if (Simple()) {
    if (!Focused() && !edit_->Focused()) SetFocus();
    std::u16string before = Text();
    bool changed = index != itemIndex_ || ItemText(index) != before;
    itemIndex_ = index;
    ShowItemText(index);
    if (OnSelect) OnSelect(*this);
    if (changed && OnChange) OnChange(*this);
    return;
  }
  std::u16string before = savedText_;
  int32_t beforeIndex = savedIndex_;
  itemIndex_ = index;
  ShowItemText(index);
  taking_ = true;
  popup_->Close(PopupCloseReason::Closed);
  taking_ = false;
  if (OnCloseUp) OnCloseUp(*this);
  if (OnSelect) OnSelect(*this);
  if ((Text() != before || itemIndex_ != beforeIndex) && OnChange) OnChange(*this);
}

void ComboBox::PopupClosed(PopupCloseReason reason) {
  Invalidate();
  if (taking_) return;  // TakeListRow reports
  if (quietClose_) {
    if (OnCloseUp) OnCloseUp(*this);
    return;
  }
  (void)reason;
  // Dismissed: what was there when the list dropped down comes back.
  itemIndex_ = savedIndex_;
  if (Editable()) {
    updating_ = true;
    edit_->SetText(savedText_);
    edit_->SelectAll();
    updating_ = false;
  } else {
    listText_ = savedText_;
  }
  if (OnCloseUp) OnCloseUp(*this);
  if (OnSelectCancel) OnSelectCancel(*this);
}

void ComboBox::UserSelects(int32_t index) {
  if (Count() == 0) return;
  index = std::clamp(index, 0, Count() - 1);
  if (index == itemIndex_) return;
  itemIndex_ = index;
  ShowItemText(index);
  if (OnSelect) OnSelect(*this);
  if (OnChange) OnChange(*this);
}

void ComboBox::FieldChanged() {
  if (updating_) return;
  std::u16string text = edit_->Text();
  itemIndex_ = IndexOf(text);
  if (OnChange) OnChange(*this);
  if (Simple()) {
    ShowMatchInList(text);
    return;
  }
  if (!autoFilter_) return;
  bool any = !text.empty() && std::any_of(items_.begin(), items_.end(),
                                          [&](const Item& i) { return StartsFolded(i.text, text); });
  if (!any) {
    if (DroppedDown()) {
      quietClose_ = true;
      popup_->Close(PopupCloseReason::Closed);
      quietClose_ = false;
    }
    return;
  }
  if (!DroppedDown()) {
    savedText_ = text;
    savedIndex_ = itemIndex_;
    if (OnDropDown) OnDropDown(*this);
  }
  FillList(text);
}

// The open list of the simple style follows the typed text: the item with that text is
// selected, else the first that begins with it is scrolled into view.
void ComboBox::ShowMatchInList(const std::u16string& text) {
  list_->SetItemIndex(itemIndex_);
  if (itemIndex_ >= 0 || text.empty()) return;
  auto it = std::find_if(items_.begin(), items_.end(), [&](const Item& i) { return StartsFolded(i.text, text); });
  if (it != items_.end()) list_->MakeVisible(int32_t(it - items_.begin()));
}

// ---- Keys ----

bool ComboBox::HandleComboKey(uint8_t vk, ShiftState shift) {
  bool alt = shift & ssAlt;
  if (Simple() && (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP)))) return false;
  if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (DroppedDown()) {
      int32_t row = list_->ItemIndex();
      if (row >= 0 && ItemOfListRow(row) != savedIndex_) TakeListRow(row);
      else popup_->Close(PopupCloseReason::Closed);
    } else {
      DropDown();
    }
    return true;
  }
  if (alt || (shift & ssCtrl)) return false;
  bool dropped = DroppedDown();
  int32_t step = 0;
  switch (vk) {
    case VK_UP: step = -1; break;
    case VK_DOWN: step = 1; break;
    case VK_PRIOR: step = -std::max(1, dropDownCount_ - 1); break;
    case VK_NEXT: step = std::max(1, dropDownCount_ - 1); break;
    case VK_HOME:
    case VK_END:
      if (Editable() && !dropped) return false;  // the field's own Home and End
      step = vk == VK_HOME ? -1000000 : 1000000;
      break;
    case VK_RETURN:
      if (!dropped) return false;
      if (list_->ItemIndex() >= 0) TakeListRow(list_->ItemIndex());
      else popup_->Close(PopupCloseReason::Closed);
      return true;
    case VK_ESCAPE:
      if (!dropped) return false;
      popup_->Close(PopupCloseReason::Escape);
      return true;
    default:
      return false;
  }
  if (dropped) {
    int32_t rows = list_->Count();
    if (rows == 0) return true;
    int32_t row = list_->ItemIndex() < 0 ? (step > 0 ? 0 : rows - 1) : list_->ItemIndex() + step;
    row = std::clamp(row, 0, rows - 1);
    list_->SetItemIndex(row);
    return true;
  }
  UserSelects(itemIndex_ < 0 ? (step > 0 ? 0 : Count() - 1) : itemIndex_ + step);
  return true;
}

bool ComboBox::ChildKey(uint8_t& vk, ShiftState shift) {
  if (HandleComboKey(vk, shift)) return true;
  return Control::ChildKey(vk, shift);
}

uint32_t ComboBox::DlgCode() const {
  return DLGC_WANTARROWS | DLGC_WANTCHARS | (DroppedDown() ? DLGC_WANTALLKEYS : 0);
}

intptr_t ComboBox::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  // Escape closes the list rather than the dialog.
  if (msg == CM_WANTSPECIALKEY) return DroppedDown() && (wParam == VK_ESCAPE || wParam == VK_RETURN);
  if (msg == WM_SETFOCUS && Editable()) {
    Control::WndProc(msg, wParam, lParam);
    edit_->SetFocus();
    return 0;
  }
  return Control::WndProc(msg, wParam, lParam);
}

void ComboBox::SetFocus() {
  if (Editable()) edit_->SetFocus();
  else Control::SetFocus();
}

void ComboBox::KeyDown(uint8_t& key, ShiftState shift) {
  Control::KeyDown(key, shift);
  if (key && HandleComboKey(key, shift)) key = 0;
}

void ComboBox::KeyPress(char16_t& ch) {
  Control::KeyPress(ch);
  if (Editable() || ch <= u' ' || Count() == 0) return;
  // Letters select the next item that begins with them.
  for (int32_t k = 1; k <= Count(); ++k) {
    int32_t i = (std::max(itemIndex_, -1) + k) % Count();
    if (StartsFolded(items_[size_t(i)].text, std::u16string(1, ch))) {
      if (DroppedDown()) {
        auto it = std::find(rows_.begin(), rows_.end(), i);
        if (it != rows_.end()) list_->SetItemIndex(int32_t(it - rows_.begin()));
      } else {
        UserSelects(i);
      }
      return;
    }
  }
}

// ---- Mouse, layout, painting ----

Rect ComboBox::ButtonRect() const {
  if (Simple()) return {};
  Rect r = ClientRect();
  return {r.right - kButton, r.top + 1, r.right - 1, r.bottom - 1};
}

void ComboBox::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left || Simple()) return;
  if (Editable() && !ButtonRect().Contains(p)) return;
  if (DroppedDown()) popup_->Close(PopupCloseReason::Closed);
  else DropDown();
}

void ComboBox::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (OnMouseUp) OnMouseUp(*this, b, shift, p);
}

void ComboBox::LayoutField() {
  if (!edit_) return;
  Rect r = ClientRect();
  if (Simple()) {
    int32_t field = SimpleFieldHeight();
    edit_->SetBounds(Rect{2, 2, std::max(2, r.right - 2), std::max(2, field - 2)});
    list_->SetBounds(Rect{0, field, r.right, std::max(field, r.bottom)});
    return;
  }
  edit_->SetBounds(Rect{2, 2, std::max(2, r.right - kButton - 1), std::max(2, r.bottom - 2)});
}

void ComboBox::Resize() {
  Control::Resize();
  LayoutField();
}

void ComboBox::DoEnter() {
  Control::DoEnter();
  Invalidate();
}

void ComboBox::FontChanged() {
  Control::FontChanged();
  itemHeight_ = std::max(itemHeight_, GetFont().Metrics().Height + 3);
  list_->SetItemHeight(itemHeight_);
  list_->SetFont(GetFont());
  LayoutField();
}

void ComboBox::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  const LookColors& k = Look();
  bool enabled = EnabledInTree();
  bool focused = Focused() || (edit_ && edit_->Focused());
  if (Simple()) {
    Rect field{0, 0, r.right, SimpleFieldHeight()};
    c.FillRect(field, enabled ? BackColor() : k.Face);
    DrawFrame(c, field, focused ? k.Focus : (MouseInside() && enabled ? k.BorderHot : k.Border));
    return;
  }
  c.FillRect(r, enabled ? (Editable() ? BackColor() : k.ButtonFace) : k.Face);
  DrawFrame(c, r, focused || DroppedDown() ? k.Focus : (MouseInside() && enabled ? k.BorderHot : k.Border));
  Rect b = ButtonRect();
  if (Editable()) c.FillRect(b, MouseInside() ? k.ButtonHot : k.Face);
  DrawDownArrow(c, b, enabled ? k.Text : k.GrayText);
  if (Editable()) return;
  Rect field{2, 2, b.left - 1, r.bottom - 2};
  uint32_t state = odComboBoxEdit | (focused && !DroppedDown() ? odSelected | odFocused : 0) | (enabled ? 0 : odDisabled);
  c.SaveState();
  c.IntersectClipRect(field);
  if (OwnerDrawn() && OnDrawItem) {
    c.FillRect(field, (state & odSelected) ? k.Highlight : k.ButtonFace);
    if (itemIndex_ >= 0) OnDrawItem(*this, itemIndex_, c, field, state);
  } else {
    if (state & odSelected) c.FillRect(field, k.Highlight);
    c.SetFont(GetFont());
    Color colour = !enabled ? k.GrayText : (state & odSelected) ? k.HighlightText : TextColor();
    DrawCaption(c, {field.left + 2, field.top, field.right, field.bottom}, listText_, colour, TextAlign::Left, false);
  }
  c.RestoreState();
}

}  // namespace plat
