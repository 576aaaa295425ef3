#pragma once
// plat::MenuBar: the menu bar of a form, a control along the form's top edge that shows a
// MainMenu (not owned). Items that do not fit the width wrap onto further rows, and the bar
// grows to hold them. Add it before the form's other top-aligned controls so that it lies
// above them.
//
// Alt+letter (offered by the form's mnemonic handling) drops the menu of the top-level item with
// that mnemonic, F10 highlights the first item, a click drops a menu; the menu loop then takes
// arrows, Enter, Escape and mnemonics (see menu_tracker.h). The shortcuts of the menu's items
// run them while the form is active (offered by the form's dialog-key handling).
#include <cstdint>

#include "platform/controls/control.h"
#include "platform/controls/menu.h"
#include "platform/controls/menu_tracker.h"

namespace plat {

class MenuBar : public Control, private MenuBarHost {
 public:
  MenuBar();
  ~MenuBar() override;

  MainMenu* GetMenu() const { return menu_; }
  void SetMenu(MainMenu* menu);
  // Lays the items out again after items were added, removed, shown or renamed.
  void MenuChanged();

  // Item rectangles in client coordinates (empty for hidden items).
  Rect ItemRect(int32_t index) const;
  int32_t ItemAt(Point client) const;
  int32_t HotIndex() const { return hot_; }

  // Drops the menu of a top-level item (or runs a top-level item without sub-items) as the
  // keyboard would; returns the chosen item's command (0 when none).
  uint32_t DropDown(int32_t index, bool byKeyboard);

  // Runs the item whose shortcut the key is (F10 enters the bar); true when taken. The form's
  // dialog-key handling offers every key the focused control leaves here (DialogKey), and Alt
  // pressed and released alone as F10.
  bool IsShortCut(uint8_t vk, ShiftState shift);

  bool DialogChar(char16_t ch) override;
  bool DialogKey(uint8_t vk, ShiftState shift) override;

 protected:
  void Paint(PaintContext& pc) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseLeave() override;
  void Resize() override;

 private:
  Rect BarItemScreenRect(int32_t index) const override;
  int32_t BarItemAtScreen(Point p) const override;
  void SetBarHot(int32_t index, bool open) override;
  uint32_t Track(int32_t index, bool open, bool byKeyboard);
  void Layout();

  MainMenu* menu_ = nullptr;
  std::vector<Rect> rects_;
  int32_t hot_ = -1;
  bool open_ = false;
  bool tracking_ = false;
  bool laying_ = false;  // Layout is setting the height
  int32_t rowHeight_;
};

}  // namespace plat
