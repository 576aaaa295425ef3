#pragma once
// plat::TabControl: a row of tabs along the top above a display area.
//
// The user changes the tab by a click, by Left/Right while the control has the focus, by
// Ctrl+Tab and Ctrl+Shift+Tab (or Ctrl+Page Down/Up) from any control inside it, and by
// Alt+mnemonic of a tab caption. A user change asks OnChanging first (which may refuse) and
// reports OnChange afterwards; setting TabIndex from code fires neither.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/control.h"

namespace plat {

class TabControl : public Control {
 public:
  TabControl();

  const std::vector<std::u16string>& Tabs() const { return tabs_; }
  void SetTabs(std::vector<std::u16string> tabs);
  void AddTab(std::u16string caption);
  int32_t TabIndex() const { return tabIndex_; }
  // -1 for none; out-of-range values are ignored.
  void SetTabIndex(int32_t i);
  // Changes the tab as the user does (asks OnChanging, then OnChange); false when refused.
  bool SelectTab(int32_t i);

  Rect TabRect(int32_t i) const;   // client coordinates
  int32_t TabAt(Point client) const;  // -1 when none
  // The area below the tabs where the content goes.
  Rect DisplayRect() const;
  int32_t TabHeight() const;

  std::function<void(TabControl&, bool& allow)> OnChanging;
  std::function<void(TabControl&)> OnChange;

  bool ChildKey(uint8_t& vk, ShiftState shift) override;
  bool DialogChar(char16_t ch) override;

 protected:
  // After TabIndex changed (by code or by the user).
  virtual void TabChanged() { Invalidate(); }
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  // Replaces the captions without touching the index (for subclasses that derive them).
  void ReplaceTabs(std::vector<std::u16string> tabs);

 private:
  std::vector<std::u16string> tabs_;
  int32_t tabIndex_ = -1;
};

}  // namespace plat
