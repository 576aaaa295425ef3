#pragma once
// plat::PageControl: a tab control whose tabs are its pages (plat::TabSheet children); only the
// active page is shown, filling the display area.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/tab_control.h"

namespace plat {

class PageControl;

class TabSheet : public Control {
 public:
  TabSheet();
  ~TabSheet() override;
  PageControl* PageControlOf() const;
  // A page without a visible tab is never shown.
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  // The page's index among the pages (all of them, visible tab or not).
  int32_t PageIndex() const;

 protected:
  void TextChanged() override;

 private:
  bool tabVisible_ = true;
};

class PageControl : public TabControl {
 public:
  PageControl();

  // Makes a page owned by the control, appended after the others.
  TabSheet& AddPage(const std::u16string& caption);
  int32_t PageCount() const;
  TabSheet* Page(int32_t i) const;
  TabSheet* ActivePage() const { return active_; }
  // nullptr hides every page. A page of another control, or one without a visible tab, is
  // ignored.
  void SetActivePage(TabSheet* page);
  int32_t ActivePageIndex() const;
  // Moves to the next (or previous) page with a visible tab, wrapping round.
  void SelectNextPage(bool forward);

  // The pages' captions or tab visibility changed: the tabs follow.
  void UpdateTabs();
  void Realign() override;
  // A page is being destroyed: another page becomes the active one.
  void PageGone(TabSheet* page);

 protected:
  void TabChanged() override;

 private:
  std::vector<TabSheet*> TabPages() const;  // pages with a visible tab, in order
  void ShowActive();

  TabSheet* active_ = nullptr;
  TabSheet* going_ = nullptr;
};

}  // namespace plat
