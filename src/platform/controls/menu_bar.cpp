#include "platform/controls/menu_bar.h"

#include <algorithm>
#include <cwctype>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {
constexpr int32_t kItemPadding = 7;
}

MenuBar::MenuBar() : rowHeight_(InterfaceFontHeight() + 10) {
  SetAlign(Align::Top);
  SetHeight(rowHeight_);
  SetFocusOnClick(false);
}

MenuBar::~MenuBar() = default;

void MenuBar::SetMenu(MainMenu* menu) {
  menu_ = menu;
  MenuChanged();
}

void MenuBar::MenuChanged() {
  Layout();
  Invalidate();
}

// Items run left to right and wrap onto another row when the next one would pass the right
// edge; the bar grows to hold its rows (the form's layout follows).
void MenuBar::Layout() {
  rects_.clear();
  int32_t rows = 1;
  if (menu_) {
    MenuItem& root = menu_->Items();
    int32_t x = 2, y = 0, limit = Width() - 2;
    for (int32_t i = 0; i < root.Count(); ++i) {
      if (!root[i].Visible) {
        rects_.push_back({});
        continue;
      }
      int32_t w = CaptionWidth(GetFont(), root[i].Label()) + 2 * kItemPadding;
      if (x > 2 && x + w > limit) {
        x = 2;
        y += rowHeight_;
        ++rows;
      }
      rects_.push_back({x, y, x + w, y + rowHeight_});
      x += w;
    }
  }
  if (laying_) return;
  laying_ = true;
  SetHeight(rows * rowHeight_);
  laying_ = false;
}

void MenuBar::Resize() {
  Control::Resize();
  if (!laying_) MenuChanged();
}

Rect MenuBar::ItemRect(int32_t index) const {
  if (index < 0 || size_t(index) >= rects_.size()) return {};
  return rects_[size_t(index)];
}

int32_t MenuBar::ItemAt(Point client) const {
  for (size_t i = 0; i < rects_.size(); ++i) {
    if (rects_[i].Contains(client)) return int32_t(i);
  }
  return -1;
}

Rect MenuBar::BarItemScreenRect(int32_t index) const {
  Rect r = ItemRect(index);
  if (r.IsEmpty()) return {};
  Point tl = ClientToScreen({r.left, r.top});
  return {tl.x, tl.y, tl.x + r.Width(), tl.y + r.Height()};
}

int32_t MenuBar::BarItemAtScreen(Point p) const {
  if (!HandleAllocated()) return -1;
  return ItemAt(ScreenToClient(p));
}

void MenuBar::SetBarHot(int32_t index, bool open) {
  if (index == hot_ && open == open_) return;
  hot_ = index;
  open_ = open;
  Repaint();
}

uint32_t MenuBar::Track(int32_t index, bool open, bool byKeyboard) {
  if (!menu_ || tracking_ || index < 0 || index >= menu_->Items().Count()) return 0;
  tracking_ = true;
  MenuItem* chosen = nullptr;
  {
    MenuTracker tracker(*menu_, this);
    chosen = tracker.TrackBar(index, open, byKeyboard);
  }
  tracking_ = false;
  hot_ = -1;
  open_ = false;
  Invalidate();
  if (!chosen) return 0;
  uint32_t command = chosen->Command;
  ClickMenuItem(*chosen, menu_->NotifyWindow);
  return command;
}

uint32_t MenuBar::DropDown(int32_t index, bool byKeyboard) { return Track(index, true, byKeyboard); }

bool MenuBar::DialogChar(char16_t ch) {
  if (!menu_ || !(CurrentShiftState() & ssAlt) || !Showing()) return false;
  char16_t up = char16_t(std::towupper(wint_t(ch)));
  MenuItem& root = menu_->Items();
  for (int32_t i = 0; i < root.Count(); ++i) {
    if (root[i].Visible && root[i].Enabled && root[i].Mnemonic() == up) {
      Track(i, true, true);
      return true;
    }
  }
  return false;
}

bool MenuBar::IsShortCut(uint8_t vk, ShiftState shift) {
  if (!menu_ || !Showing() || !EnabledInTree()) return false;
  uint8_t mods = shift & (ssShift | ssAlt | ssCtrl);
  if (vk == VK_F10 && mods == 0) {
    MenuItem& root = menu_->Items();
    for (int32_t i = 0; i < root.Count(); ++i) {
      if (root[i].Visible) {
        Track(i, false, true);
        return true;
      }
    }
    return false;
  }
  MenuItem* item = menu_->FindShortCut(MakeShortCut(vk, mods));
  if (!item) return false;
  // The submenus on the way are initialised first, as when the item is reached by the mouse.
  for (MenuItem* p = item->Parent(); p; p = p->Parent()) {
    if (menu_->OnPopup && p->Parent()) menu_->OnPopup(*menu_, *p);
  }
  if (!item->Enabled || !item->Visible) return false;
  ClickMenuItem(*item, menu_->NotifyWindow);
  return true;
}

bool MenuBar::DialogKey(uint8_t vk, ShiftState shift) { return IsShortCut(vk, shift); }

void MenuBar::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  int32_t i = ItemAt(p);
  if (i >= 0) Track(i, true, false);
}

void MenuBar::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (tracking_) return;
  int32_t i = ItemAt(p);
  if (i != hot_) SetBarHot(i, false);
}

void MenuBar::MouseLeave() {
  Control::MouseLeave();
  if (!tracking_) SetBarHot(-1, false);
}

void MenuBar::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Rect cr = ClientRect();
  c.FillRect(cr, look.Face);
  c.FillRect({0, cr.bottom - 1, cr.right, cr.bottom}, look.Border);
  if (!menu_) return;
  if (rects_.size() != size_t(menu_->Items().Count())) Layout();
  c.SetFont(GetFont());
  MenuItem& root = menu_->Items();
  for (int32_t i = 0; i < root.Count(); ++i) {
    Rect r = rects_[size_t(i)];
    if (r.IsEmpty()) continue;
    Rect box{r.left, r.top + 2, r.right, r.bottom - 3};
    if (i == hot_) c.FillRect(box, open_ ? look.ButtonPressed : look.ButtonHot);
    Color fg = root[i].Enabled ? look.Text : look.GrayText;
    DrawCaption(c, box, root[i].Label(), fg, TextAlign::Center);
  }
}

}  // namespace plat
