#pragma once
// Menus of the class layer: items (plat::MenuItem) in a tree under a menu (plat::MainMenu for a
// form's menu bar, plat::PopupMenu for a context or drop-down menu).
//
// - An item has a caption ("-" makes a separator; "&" marks the mnemonic; a tab separates the
//   label from the shortcut text shown at the right), a command id, check, radio and default
//   marks, enabled and visible states, a column break, an image (index into the menu's image
//   strip) and sub-items. Items with sub-items open a submenu; every item with sub-items has a
//   handle of its own (SubMenuHandle) that names that submenu in notifications.
// - Owner drawing: OnMeasureItem and OnDrawItem (of the item, or else of its menu) replace the
//   measuring and drawing of an item.
// - While a menu is open the layer runs a menu loop that takes the keyboard and the mouse; the
//   notification window (Menu::NotifyWindow) receives WM_ENTERMENULOOP, WM_INITMENU,
//   WM_INITMENUPOPUP, WM_MENUSELECT, WM_MENUCHAR and WM_EXITMENULOOP with their usual
//   parameters, and the menu calls the same-named callbacks. A chosen item is clicked after the
//   menu has closed: its OnClick runs, then WM_COMMAND with its command id goes to the
//   notification window.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/types.h"
#include "platform/win/messages.h"

namespace plat {

class Bitmap;
class Canvas;
class Menu;

// Menu notifications.
constexpr uint32_t WM_INITMENU = 0x0116;
constexpr uint32_t WM_INITMENUPOPUP = 0x0117;
constexpr uint32_t WM_MENUSELECT = 0x011F;
constexpr uint32_t WM_MENUCHAR = 0x0120;
constexpr uint32_t WM_ENTERMENULOOP = 0x0211;
constexpr uint32_t WM_EXITMENULOOP = 0x0212;
// Flags in the high word of WM_MENUSELECT's wParam.
constexpr uint32_t MF_GRAYED = 0x0001;
constexpr uint32_t MF_DISABLED = 0x0002;
constexpr uint32_t MF_CHECKED = 0x0008;
constexpr uint32_t MF_POPUP = 0x0010;
constexpr uint32_t MF_HILITE = 0x0080;
constexpr uint32_t MF_OWNERDRAW = 0x0100;
constexpr uint32_t MF_SEPARATOR = 0x0800;
constexpr uint32_t MF_MOUSESELECT = 0x8000;
// Answers to WM_MENUCHAR (high word), with the item position in the low word.
constexpr uint32_t MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;
// Item states handed to owner drawing.
constexpr uint32_t ODS_SELECTED = 0x0001;
constexpr uint32_t ODS_GRAYED = 0x0002;
constexpr uint32_t ODS_DISABLED = 0x0004;
constexpr uint32_t ODS_CHECKED = 0x0008;
constexpr uint32_t ODS_DEFAULT = 0x0020;
constexpr uint32_t ODS_HOTLIGHT = 0x0040;
constexpr uint32_t ODS_NOACCEL = 0x0100;
// Popup placement flags.
constexpr uint32_t TPM_LEFTALIGN = 0x0000;
constexpr uint32_t TPM_CENTERALIGN = 0x0004;
constexpr uint32_t TPM_RIGHTALIGN = 0x0008;
constexpr uint32_t TPM_TOPALIGN = 0x0000;
constexpr uint32_t TPM_VCENTERALIGN = 0x0010;
constexpr uint32_t TPM_BOTTOMALIGN = 0x0020;
constexpr uint32_t TPM_HORIZONTAL = 0x0000;  // avoid the exclusion rectangle sideways first
constexpr uint32_t TPM_VERTICAL = 0x0040;    // avoid it above or below first
constexpr uint32_t TPM_NONOTIFY = 0x0080;
constexpr uint32_t TPM_RETURNCMD = 0x0100;

// A shortcut: virtual key in the low byte, + 0x2000 Shift, + 0x4000 Ctrl, + 0x8000 Alt.
using ShortCut = uint16_t;
constexpr ShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// The shortcut of a key with shift bits (1 Shift, 2 Alt, 4 Ctrl); 0 for a key above 0xFF.
ShortCut MakeShortCut(uint32_t vk, uint8_t shiftBits);

class MenuItem {
 public:
  MenuItem() = default;
  explicit MenuItem(std::u16string caption, uint32_t command = 0);
  ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  std::u16string Caption;
  uint32_t Command = 0;
  intptr_t Tag = 0;
  bool Enabled = true;
  bool Visible = true;
  bool Default = false;      // drawn bold
  bool RadioItem = false;    // checked shows a dot; checking it unchecks its group
  int32_t GroupIndex = 0;
  bool AutoCheck = false;    // clicking toggles Checked (checks a radio item)
  bool Break = false;        // starts a new column
  int32_t ImageIndex = -1;   // cell of the menu's image strip
  int32_t GlyphIndex = -1;   // glyph of the program's shared glyph strip (its owner drawing)
  ShortCut Shortcut = 0;     // runs the item from the keyboard while its form is active
  std::u16string Hint;

  bool Checked() const { return checked_; }
  // Checking a radio item unchecks the other radio items of its group among its siblings.
  void SetChecked(bool v);
  bool IsSeparator() const { return Caption == u"-"; }
  // The text before the tab and after it.
  std::u16string Label() const;
  std::u16string ShortCutText() const;
  // Mnemonic letter (upper case) of the label; 0 when none.
  char16_t Mnemonic() const;

  // ---- Tree ----
  MenuItem* Parent() const { return parent_; }
  Menu* OwnerMenu() const;  // the menu whose tree holds the item
  int32_t Count() const { return int32_t(items_.size()); }
  MenuItem& operator[](int32_t i) const { return *items_[size_t(i)]; }
  MenuItem& Add(std::unique_ptr<MenuItem> item);
  MenuItem& Add(std::u16string caption, uint32_t command = 0);
  MenuItem& Insert(int32_t index, std::unique_ptr<MenuItem> item);
  // Takes the item out (its ownership goes to the caller).
  std::unique_ptr<MenuItem> Remove(int32_t index);
  void Clear();
  int32_t IndexOf(const MenuItem* item) const;
  // The item with the command id in this sub-tree (itself included), depth first.
  MenuItem* FindCommand(uint32_t command);
  // The item whose submenu has this handle.
  MenuItem* FindSubMenu(uint32_t handle);
  // A number that names the item's submenu in notifications (unique in the run).
  uint32_t SubMenuHandle() const { return handle_; }
  bool HasSubItems() const { return !items_.empty(); }

  // Runs the item: toggles an AutoCheck item, calls OnClick.
  virtual void Click();

  std::function<void(MenuItem&)> OnClick;
  // Measures the item (width and height come in with the default size).
  std::function<void(MenuItem&, Canvas&, int32_t& width, int32_t& height)> OnMeasureItem;
  // Draws the item into r; state: ODS_* bits.
  std::function<void(MenuItem&, Canvas&, const Rect& r, uint32_t state)> OnDrawItem;

 private:
  friend class Menu;
  MenuItem* parent_ = nullptr;
  Menu* menu_ = nullptr;  // set on the root item only
  bool checked_ = false;
  uint32_t handle_ = 0;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// A menu: the root item's sub-items are its items.
class Menu {
 public:
  Menu();
  virtual ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  MenuItem& Items() { return root_; }
  const MenuItem& Items() const { return root_; }
  uint32_t Handle() const { return root_.SubMenuHandle(); }
  MenuItem* FindCommand(uint32_t command) { return root_.FindCommand(command); }
  MenuItem* FindSubMenu(uint32_t handle) { return root_.FindSubMenu(handle); }
  // Clicks the item with the command id; false when there is none or it is disabled.
  bool DispatchCommand(uint32_t command);
  // The enabled, visible item whose shortcut this is (searched through the whole tree).
  MenuItem* FindShortCut(ShortCut sc);

  // The window that receives the notifications and WM_COMMAND; 0 for none.
  Hwnd NotifyWindow = 0;
  // Square image cells in a horizontal strip (not owned; may be nullptr).
  const Bitmap* Images = nullptr;
  int32_t ImageSize = 16;

  // Called when a submenu (or, with the root item, the menu itself) is about to open.
  std::function<void(Menu&, MenuItem& parent)> OnPopup;
  // The highlighted item changed (nullptr: none, also when the menu closes).
  std::function<void(Menu&, MenuItem* item)> OnSelect;
  // A typed character found no mnemonic by itself: answer MakeLParam(position, MNC_*), or 0 to
  // let the menu search the captions.
  std::function<uint32_t(Menu&, MenuItem& parent, char16_t ch)> OnMenuChar;
  // Defaults for items without their own handlers.
  std::function<void(MenuItem&, Canvas&, int32_t& width, int32_t& height)> OnMeasureItem;
  std::function<void(MenuItem&, Canvas&, const Rect& r, uint32_t state)> OnDrawItem;

  // True between the start and the end of a menu loop of this menu.
  bool InMenuLoop() const { return inLoop_; }

 private:
  friend class MenuTracker;
  MenuItem root_;
  bool inLoop_ = false;
};

class MainMenu : public Menu {};

class PopupMenu : public Menu {
 public:
  // Shows the menu at a screen point and runs the menu loop until it closes. flags: TPM_*.
  // exclude (screen coordinates) is a rectangle the menu must not cover (the button that
  // dropped it). Returns the chosen item's command (0 when cancelled); unless TPM_RETURNCMD is
  // given the chosen item is also clicked.
  uint32_t Popup(Point screen, uint32_t flags = 0, const Rect* exclude = nullptr);
  // The object that showed the menu (set by the caller; the layer only keeps it).
  void* PopupComponent = nullptr;
};

// Where a menu of this size goes: at the point with the alignment flags, kept on the screen,
// and beside the exclusion rectangle (below or above it with TPM_VERTICAL, right or left of it
// otherwise) rather than over it.
Rect PlacePopup(Size size, Point pt, uint32_t flags, const Rect* exclude, const Rect& screen);

}  // namespace plat
