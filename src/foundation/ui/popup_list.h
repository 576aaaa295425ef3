#pragma once
// TPopupList: the program-wide list of owner-drawn menus and its hidden window, which receives
// the notifications of the popup menus (the main window passes its own menu bar's WM_MENUSELECT
// and WM_MENUCHAR to WndProc as well).
//
// Every menu added to the list is drawn and measured by owner_menus.h. The window procedure
// answers WM_MENUCHAR with the mnemonic search of owner-drawn items (MenuCharAnswer), keeps the
// in-menu-loop state, and at the end of a menu loop lets the control that dropped a popup menu
// (a command-bar button) repaint itself and remembers it as LastPopupControl.
//
// The list keeps plain references: a menu is removed (Remove, or a TPopupListEntry going out
// of scope) before it is destroyed.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/controls/menu.h"
#include "platform/win/window.h"

namespace qv {

// The "execute" or "select" answer to a typed character in the items of `parent`, with the
// item at position `highlighted` (-1 for none) highlighted; 0 to ignore it.
// - Items whose mnemonic is the character (without regard to case) match; a single enabled
//   match runs (MNC_EXECUTE in the high word, its position in the low word); with several the
//   highlight moves to the next match after the highlighted one, from the last back to the
//   first (MNC_SELECT).
// - When only disabled items have that mnemonic the character is ignored.
// - When no item has it, the first characters of the captions are tried the same way; a
//   disabled item beginning with the character closes the menu (MNC_CLOSE).
// Separators and hidden items never match.
uint32_t MenuCharAnswer(const plat::MenuItem& parent, char16_t ch, int32_t highlighted);

class TPopupList {
 public:
  TPopupList();
  ~TPopupList();
  TPopupList(const TPopupList&) = delete;
  TPopupList& operator=(const TPopupList&) = delete;

  // Adds a menu (once): its items become owner-drawn, and a popup menu without a notification
  // window of its own notifies the list's window.
  void Add(plat::Menu& menu);
  // Takes a menu out again (and its notifications, when they came to the list's window).
  void Remove(plat::Menu& menu);
  bool Contains(const plat::Menu& menu) const;
  int32_t Count() const { return int32_t(menus_.size()); }

  // The hidden owner window (made on first use while the window system runs; 0 otherwise).
  plat::Hwnd Window();
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);
  // True between WM_ENTERMENULOOP and WM_EXITMENULOOP.
  bool InMenuLoop() const { return inMenuLoop_; }

  // The command-bar button whose drop-down menu is open (set by the command bars, cleared when
  // the menu loop ends).
  void* PopupButton = nullptr;
  // The control that showed the last popup menu (dialogs read it in their menu handlers).
  void* LastPopupControl = nullptr;

 private:
  class TOwnerWindow;
  intptr_t MenuChar(uintptr_t wParam, intptr_t lParam);
  void ExitMenuLoop();
  intptr_t Default(uint32_t msg, uintptr_t wParam, intptr_t lParam);

  std::vector<plat::Menu*> menus_;
  std::unique_ptr<TOwnerWindow> window_;
  bool inMenuLoop_ = false;
};

// The program-wide popup list, made on first use; FreePopupList (at shutdown, while the window
// system still runs) destroys it with its window.
TPopupList& PopupList();
void FreePopupList();

// Keeps a menu in the popup list for its own extent.
class TPopupListEntry {
 public:
  explicit TPopupListEntry(plat::Menu& menu) : menu_(menu) { PopupList().Add(menu_); }
  ~TPopupListEntry() { PopupList().Remove(menu_); }
  TPopupListEntry(const TPopupListEntry&) = delete;
  TPopupListEntry& operator=(const TPopupListEntry&) = delete;

 private:
  plat::Menu& menu_;
};

}  // namespace qv
