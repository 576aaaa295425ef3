#include "foundation/ui/popup_list.h"

#include <algorithm>
#include <cwctype>

#include "foundation/ui/menu_services.h"
#include "foundation/ui/owner_menus.h"
#include "platform/controls/menu_tracker.h"
#include "platform/win/window_system.h"

namespace qv {
namespace {

char16_t Upper(char16_t c) { return char16_t(std::towupper(wint_t(c))); }

bool Matchable(const plat::MenuItem& item) { return item.Visible && !item.IsSeparator(); }

// The position of the highlighted item of the open level that shows parent's items; -1 when
// that level is not open or nothing is highlighted.
int32_t HighlightedIn(const plat::MenuItem& parent) {
  plat::MenuTracker* tracker = plat::MenuTracker::Active();
  if (!tracker) return -1;
  for (plat::MenuPopupWindow* level : tracker->Levels()) {
    if (&level->ParentItem() == &parent) return level->Hot();
  }
  return -1;
}

}  // namespace

uint32_t MenuCharAnswer(const plat::MenuItem& parent, char16_t ch, int32_t highlighted) {
  const char16_t up = Upper(ch);
  uint32_t action = plat::MNC_IGNORE;
  int32_t first = -1, hilite = -1, next = -1;
  auto match = [&](int32_t i) {
    if (first < 0) {
      first = i;
      action = plat::MNC_EXECUTE;
    } else {
      action = plat::MNC_SELECT;
    }
    // The highlight moves to the first match after the highlighted one, so that repeated
    // presses visit every match in turn.
    if (i == highlighted) hilite = i;
    else if (hilite >= 0 && next < 0) next = i;
  };
  for (int32_t i = 0; i < parent.Count(); ++i) {
    const plat::MenuItem& item = parent[i];
    if (!Matchable(item) || item.Mnemonic() != up) continue;
    if (!item.Enabled) {
      if (first < 0) first = -2;
      continue;
    }
    match(i);
  }
  if (first < -1) return 0;  // only disabled items have the mnemonic
  if (first < 0) {
    for (int32_t i = 0; i < parent.Count(); ++i) {
      const plat::MenuItem& item = parent[i];
      if (!Matchable(item) || item.Caption.empty() || Upper(item.Caption[0]) != up) continue;
      if (!item.Enabled) return uint32_t(plat::MakeLParam(0, plat::MNC_CLOSE));
      match(i);
    }
  }
  if (action == plat::MNC_EXECUTE) return uint32_t(plat::MakeLParam(first, plat::MNC_EXECUTE));
  if (action == plat::MNC_SELECT) {
    if (next < 0) next = first;
    return uint32_t(plat::MakeLParam(next, plat::MNC_SELECT));
  }
  return 0;
}

// ---- The hidden window ----

class TPopupList::TOwnerWindow : public plat::Window {
 public:
  explicit TOwnerWindow(TPopupList& list) : list_(list) {}
  ~TOwnerWindow() override { Destroy(); }
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
    return list_.WndProc(msg, wParam, lParam);
  }
  intptr_t Default(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return plat::Window::WndProc(msg, wParam, lParam);
  }

 private:
  TPopupList& list_;
};

// ---- TPopupList ----

TPopupList::TPopupList() = default;

TPopupList::~TPopupList() {
  for (plat::Menu* menu : menus_) {
    if (window_ && menu->NotifyWindow == window_->Handle()) menu->NotifyWindow = 0;
  }
}

plat::Hwnd TPopupList::Window() {
  if (window_ && window_->Handle() && plat::FromHandle(window_->Handle()) == window_.get()) {
    return window_->Handle();
  }
  if (!plat::IsWindowSystemStarted()) return 0;
  window_ = std::make_unique<TOwnerWindow>(*this);
  plat::CreateParams p;
  p.style = plat::WS_POPUP;  // never shown
  window_->Create(p);
  return window_->Handle();
}

void TPopupList::Add(plat::Menu& menu) {
  if (Contains(menu)) return;
  menus_.push_back(&menu);
  menu.OnDrawItem = OwnerDrawMenuItem;
  menu.OnMeasureItem = OwnerMeasureMenuItem;
  if (dynamic_cast<plat::PopupMenu*>(&menu) && menu.NotifyWindow == 0) menu.NotifyWindow = Window();
}

void TPopupList::Remove(plat::Menu& menu) {
  auto it = std::find(menus_.begin(), menus_.end(), &menu);
  if (it == menus_.end()) return;
  menus_.erase(it);
  if (window_ && menu.NotifyWindow != 0 && menu.NotifyWindow == window_->Handle()) menu.NotifyWindow = 0;
}

bool TPopupList::Contains(const plat::Menu& menu) const {
  return std::find(menus_.begin(), menus_.end(), &menu) != menus_.end();
}

intptr_t TPopupList::Default(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  return window_ ? window_->Default(msg, wParam, lParam) : 0;
}

intptr_t TPopupList::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case plat::WM_COMMAND:
      // The class layer has clicked the chosen item before it sends WM_COMMAND; the menu that
      // holds the command takes the message, so that it is not clicked a second time.
      for (plat::Menu* menu : menus_) {
        if (menu->FindCommand(plat::LoWord(wParam))) return 0;
      }
      return Default(msg, wParam, lParam);
    case plat::WM_INITMENUPOPUP: {
      // A (sub)menu about to open: the class layer has run the menu's before-popup event for
      // it already; the menu that holds it takes the message. The item that opens a submenu is
      // not clicked: its click handler runs its command, which the user has not chosen.
      const uint32_t handle = uint32_t(wParam);
      for (plat::Menu* menu : menus_) {
        if (menu->Handle() == handle || menu->FindSubMenu(handle)) return 0;
      }
      return Default(msg, wParam, lParam);
    }
    case plat::WM_MENUCHAR:
      return MenuChar(wParam, lParam);
    case plat::WM_ENTERMENULOOP:
      inMenuLoop_ = true;
      return Default(msg, wParam, lParam);
    case plat::WM_EXITMENULOOP:
      ExitMenuLoop();
      return Default(msg, wParam, lParam);
    default:
      return Default(msg, wParam, lParam);
  }
}

intptr_t TPopupList::MenuChar(uintptr_t wParam, intptr_t lParam) {
  const uint32_t handle = uint32_t(lParam);
  for (size_t i = menus_.size(); i-- > 0;) {
    plat::Menu& menu = *menus_[i];
    plat::MenuItem* parent = menu.Handle() == handle ? &menu.Items() : menu.FindSubMenu(handle);
    if (parent) return intptr_t(MenuCharAnswer(*parent, char16_t(plat::LoWord(wParam)), HighlightedIn(*parent)));
  }
  return Default(plat::WM_MENUCHAR, wParam, lParam);
}

void TPopupList::ExitMenuLoop() {
  for (size_t i = menus_.size(); i-- > 0;) {
    auto* popup = dynamic_cast<plat::PopupMenu*>(menus_[i]);
    if (!popup || !popup->PopupComponent) continue;
    void* component = popup->PopupComponent;
    MenuServices().PopupComponentClosed(component);
    LastPopupControl = component;
    popup->PopupComponent = nullptr;
    PopupButton = nullptr;
  }
  inMenuLoop_ = false;
}

// ---- The program-wide list ----

namespace {
// Never destroyed by the statics' teardown: its window must go while the window system runs.
std::unique_ptr<TPopupList>& ListSlot() {
  static auto* slot = new std::unique_ptr<TPopupList>();
  return *slot;
}
}  // namespace

TPopupList& PopupList() {
  auto& slot = ListSlot();
  if (!slot) slot = std::make_unique<TPopupList>();
  return *slot;
}

void FreePopupList() { ListSlot().reset(); }

}  // namespace qv
