#pragma once
// The menu loop: the popup windows of an open menu and the modal loop that takes the keyboard
// and the mouse while a menu is open. Used by PopupMenu::Popup and by the menu bar.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/controls/menu.h"
#include "platform/win/window.h"

namespace plat {

class Font;

// What the loop needs of a menu bar it was started from.
class MenuBarHost {
 public:
  virtual ~MenuBarHost() = default;
  // Screen rectangle of a top-level item (by its index among the root's items); empty when the
  // item is not shown.
  virtual Rect BarItemScreenRect(int32_t index) const = 0;
  // The top-level item at a screen point, -1 when none.
  virtual int32_t BarItemAtScreen(Point p) const = 0;
  // Highlights a top-level item (-1: none); open says whether its menu is dropped.
  virtual void SetBarHot(int32_t index, bool open) = 0;
};

// Geometry of one popup level: item rectangles in client coordinates (empty for hidden items).
struct MenuLevelLayout {
  std::vector<Rect> items;
  Size size;
  int32_t glyphWidth = 0;
};
MenuLevelLayout LayoutMenuLevel(MenuItem& parent, const Font& font);

// One open popup level: a top-level window without activation.
class MenuPopupWindow : public Window {
 public:
  MenuPopupWindow(MenuItem& parent, MenuLevelLayout layout);
  ~MenuPopupWindow() override;
  bool Open(const Rect& screen, Hwnd owner);
  MenuItem& ParentItem() const { return parent_; }
  const MenuLevelLayout& Layout() const { return layout_; }
  int32_t Hot() const { return hot_; }
  void SetHot(int32_t i);
  int32_t ItemAt(Point client) const;  // -1 when none
  Rect ItemScreenRect(int32_t i) const;
  void Paint(PaintContext& pc) override;

 private:
  MenuItem& parent_;
  MenuLevelLayout layout_;
  int32_t hot_ = -1;
};

// Runs a chosen item: its Click(), then WM_COMMAND with its command id to notify (when not 0).
void ClickMenuItem(MenuItem& item, Hwnd notify);

class MenuTracker {
 public:
  explicit MenuTracker(Menu& menu, MenuBarHost* bar = nullptr);
  ~MenuTracker();
  MenuTracker(const MenuTracker&) = delete;
  MenuTracker& operator=(const MenuTracker&) = delete;

  // Shows the menu's items at the point and runs the loop; the chosen item or nullptr.
  MenuItem* TrackPopup(Point pt, uint32_t flags, const Rect* exclude);
  // Runs the loop of a menu bar with item `index` highlighted; with open its menu drops at
  // once (with its first item highlighted when byKeyboard).
  MenuItem* TrackBar(int32_t index, bool open, bool byKeyboard);

  // The loop currently running, if any (one at a time).
  static MenuTracker* Active();
  // The open levels, outermost first (for tests and owner drawing).
  std::vector<MenuPopupWindow*> Levels() const;

 private:
  MenuItem* Run(bool popup);
  void Notify(uint32_t msg, uintptr_t w, intptr_t l);
  bool OpenLevel(MenuItem& parent, bool selectFirst);
  void CloseLevelsAbove(size_t keep);
  void SetHot(MenuPopupWindow& level, int32_t index);
  void Execute(MenuPopupWindow& level, int32_t index, bool byKeyboard);
  // Moves the highlight to the next column to the right (step 1) or left; false when none.
  bool MoveColumn(MenuPopupWindow& level, int32_t step);
  void OpenBarItem(int32_t index, bool byKeyboard);
  void MoveBar(int32_t step);
  void HandleKey(uint8_t vk);
  void HandleChar(char16_t ch);
  void HandleMouse(uint32_t msg, Point screen);
  int32_t NextSelectable(MenuPopupWindow& level, int32_t from, int32_t step) const;
  void Finish(MenuItem* chosen);

  Menu& menu_;
  MenuBarHost* bar_;
  int32_t barHot_ = -1;
  Point popupPoint_;
  uint32_t popupFlags_ = 0;
  Rect popupExclude_;
  bool hasExclude_ = false;
  std::vector<std::unique_ptr<MenuPopupWindow>> levels_;
  MenuItem* chosen_ = nullptr;
  bool done_ = false;
  bool pendingOpen_ = false;
  bool pendingByKeyboard_ = false;
  MenuTracker* outer_ = nullptr;
};

}  // namespace plat
