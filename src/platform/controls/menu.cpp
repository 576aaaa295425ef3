#include "platform/controls/menu.h"

#include <algorithm>
#include <cwctype>

#include "platform/win/window_system.h"

namespace plat {
namespace {

uint32_t NextMenuHandle() {
  static uint32_t next = 0x10000;
  return ++next;
}

char16_t Upper(char16_t c) { return char16_t(std::towupper(wint_t(c))); }

}  // namespace

ShortCut MakeShortCut(uint32_t vk, uint8_t shiftBits) {
  if (vk > 0xFF) return 0;
  uint32_t sc = vk;
  if (shiftBits & 1) sc += scShift;
  if (shiftBits & 4) sc += scCtrl;
  if (shiftBits & 2) sc += scAlt;
  return ShortCut(sc);
}

// ---- MenuItem ----

MenuItem::MenuItem(std::u16string caption, uint32_t command)
    : Caption(std::move(caption)), Command(command) {}

MenuItem::~MenuItem() = default;

void MenuItem::SetChecked(bool v) {
  checked_ = v;
  if (!v || !RadioItem || !parent_) return;
  for (auto& sibling : parent_->items_) {
    if (sibling.get() != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex) {
      sibling->checked_ = false;
    }
  }
}

std::u16string MenuItem::Label() const {
  size_t tab = Caption.find(u'\t');
  return tab == std::u16string::npos ? Caption : Caption.substr(0, tab);
}

std::u16string MenuItem::ShortCutText() const {
  size_t tab = Caption.find(u'\t');
  return tab == std::u16string::npos ? std::u16string() : Caption.substr(tab + 1);
}

char16_t MenuItem::Mnemonic() const {
  std::u16string label = Label();
  for (size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != u'&') continue;
    if (label[i + 1] == u'&') {  // "&&" is a literal "&"
      ++i;
      continue;
    }
    return Upper(label[i + 1]);
  }
  return 0;
}

Menu* MenuItem::OwnerMenu() const {
  const MenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

MenuItem& MenuItem::Add(std::unique_ptr<MenuItem> item) { return Insert(Count(), std::move(item)); }

MenuItem& MenuItem::Add(std::u16string caption, uint32_t command) {
  return Add(std::make_unique<MenuItem>(std::move(caption), command));
}

MenuItem& MenuItem::Insert(int32_t index, std::unique_ptr<MenuItem> item) {
  index = std::clamp(index, 0, Count());
  item->parent_ = this;
  if (handle_ == 0) handle_ = NextMenuHandle();
  MenuItem& ref = *item;
  items_.insert(items_.begin() + index, std::move(item));
  if (ref.checked_) ref.SetChecked(true);
  return ref;
}

std::unique_ptr<MenuItem> MenuItem::Remove(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  std::unique_ptr<MenuItem> item = std::move(items_[size_t(index)]);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  return item;
}

void MenuItem::Clear() { items_.clear(); }

int32_t MenuItem::IndexOf(const MenuItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == item) return int32_t(i);
  }
  return -1;
}

MenuItem* MenuItem::FindCommand(uint32_t command) {
  if (parent_ && Command == command) return this;
  for (auto& i : items_) {
    if (MenuItem* found = i->FindCommand(command)) return found;
  }
  return nullptr;
}

MenuItem* MenuItem::FindSubMenu(uint32_t handle) {
  if (handle == 0) return nullptr;
  if (handle_ == handle) return this;
  for (auto& i : items_) {
    if (MenuItem* found = i->FindSubMenu(handle)) return found;
  }
  return nullptr;
}

void MenuItem::Click() {
  if (AutoCheck) SetChecked(RadioItem ? true : !checked_);  // a radio item stays checked
  if (OnClick) OnClick(*this);
}

// ---- Menu ----

Menu::Menu() {
  root_.menu_ = this;
  root_.handle_ = NextMenuHandle();
}

Menu::~Menu() = default;

bool Menu::DispatchCommand(uint32_t command) {
  MenuItem* item = FindCommand(command);
  if (!item || !item->Enabled) return false;
  item->Click();
  return true;
}

namespace {
MenuItem* FindShortCutIn(MenuItem& parent, ShortCut sc) {
  for (int32_t i = 0; i < parent.Count(); ++i) {
    MenuItem& item = parent[i];
    if (!item.Visible || !item.Enabled) continue;
    if (item.Shortcut == sc && !item.HasSubItems()) return &item;
    if (MenuItem* found = FindShortCutIn(item, sc)) return found;
  }
  return nullptr;
}
}  // namespace

MenuItem* Menu::FindShortCut(ShortCut sc) {
  if (sc == 0) return nullptr;
  return FindShortCutIn(root_, sc);
}

// ---- Placement ----

namespace {

// Start of a span of length len placed at p with the alignment (0 start, 1 centre, 2 end).
int32_t AlignAt(int32_t p, int32_t len, int align) {
  return align == 0 ? p : align == 1 ? p - len / 2 : p - len;
}

// Keeps [start, start + len) inside [lo, hi): moved in, or at lo when it is too long.
int32_t KeepInside(int32_t start, int32_t len, int32_t lo, int32_t hi) {
  if (start + len > hi) start = hi - len;
  if (start < lo) start = lo;
  return start;
}

// Places a span along one axis: at start when it fits and does not overlap [exLo, exHi);
// else after the exclusion, else before it, else on the side with more room.
int32_t AvoidAlong(int32_t start, int32_t len, int32_t lo, int32_t hi, int32_t exLo, int32_t exHi) {
  bool overlaps = start < exHi && start + len > exLo;
  if (!overlaps && start >= lo && start + len <= hi) return start;
  if (exHi + len <= hi) return std::max(exHi, lo);
  if (exLo - len >= lo) return exLo - len;
  return (hi - exHi) >= (exLo - lo) ? KeepInside(exHi, len, lo, hi) : KeepInside(exLo - len, len, lo, hi);
}

}  // namespace

Rect PlacePopup(Size size, Point pt, uint32_t flags, const Rect* exclude, const Rect& screen) {
  int hAlign = (flags & TPM_RIGHTALIGN) ? 2 : (flags & TPM_CENTERALIGN) ? 1 : 0;
  int vAlign = (flags & TPM_BOTTOMALIGN) ? 2 : (flags & TPM_VCENTERALIGN) ? 1 : 0;
  int32_t x = AlignAt(pt.x, size.cx, hAlign);
  int32_t y = AlignAt(pt.y, size.cy, vAlign);
  if (!exclude || exclude->IsEmpty()) {
    // Off the screen: flip to the other side of the point, then push inside.
    if (x + size.cx > screen.right && hAlign == 0 && pt.x - size.cx >= screen.left) x = pt.x - size.cx;
    if (y + size.cy > screen.bottom && vAlign == 0 && pt.y - size.cy >= screen.top) y = pt.y - size.cy;
    x = KeepInside(x, size.cx, screen.left, screen.right);
    y = KeepInside(y, size.cy, screen.top, screen.bottom);
    return {x, y, x + size.cx, y + size.cy};
  }
  const Rect& ex = *exclude;
  if (flags & TPM_VERTICAL) {
    x = KeepInside(x, size.cx, screen.left, screen.right);
    bool crossesX = x < ex.right && x + size.cx > ex.left;
    y = crossesX ? AvoidAlong(y, size.cy, screen.top, screen.bottom, ex.top, ex.bottom)
                 : KeepInside(y, size.cy, screen.top, screen.bottom);
  } else {
    y = KeepInside(y, size.cy, screen.top, screen.bottom);
    bool crossesY = y < ex.bottom && y + size.cy > ex.top;
    x = crossesY ? AvoidAlong(x, size.cx, screen.left, screen.right, ex.left, ex.right)
                 : KeepInside(x, size.cx, screen.left, screen.right);
  }
  return {x, y, x + size.cx, y + size.cy};
}

}  // namespace plat
