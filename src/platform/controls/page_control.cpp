#include "platform/controls/page_control.h"

#include <algorithm>

namespace plat {

// ---- TabSheet ----

TabSheet::TabSheet() { SetVisible(false); }

PageControl* TabSheet::PageControlOf() const { return dynamic_cast<PageControl*>(Parent()); }

void TabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  tabVisible_ = v;
  if (PageControl* pc = PageControlOf()) pc->UpdateTabs();
}

int32_t TabSheet::PageIndex() const {
  PageControl* pc = PageControlOf();
  if (!pc) return -1;
  for (int32_t i = 0; i < pc->PageCount(); ++i) {
    if (pc->Page(i) == this) return i;
  }
  return -1;
}

TabSheet::~TabSheet() {
  // (While the page control itself is being destroyed this finds no page control.)
  if (PageControl* pc = PageControlOf()) pc->PageGone(this);
}

void TabSheet::TextChanged() {
  Control::TextChanged();
  if (PageControl* pc = PageControlOf()) pc->UpdateTabs();
}

// ---- PageControl ----

PageControl::PageControl() = default;

TabSheet& PageControl::AddPage(const std::u16string& caption) {
  TabSheet& page = Add<TabSheet>();
  page.SetCaption(caption);
  UpdateTabs();
  if (!active_) SetActivePage(&page);
  return page;
}

int32_t PageControl::PageCount() const {
  int32_t n = 0;
  for (Control* c : Controls()) n += dynamic_cast<TabSheet*>(c) ? 1 : 0;
  return n;
}

TabSheet* PageControl::Page(int32_t i) const {
  for (Control* c : Controls()) {
    if (auto* p = dynamic_cast<TabSheet*>(c)) {
      if (i-- == 0) return p;
    }
  }
  return nullptr;
}

std::vector<TabSheet*> PageControl::TabPages() const {
  std::vector<TabSheet*> r;
  for (Control* c : Controls()) {
    auto* p = dynamic_cast<TabSheet*>(c);
    if (p && p != going_ && p->TabVisible()) r.push_back(p);
  }
  return r;
}

int32_t PageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void PageControl::PageGone(TabSheet* page) {
  going_ = page;  // still a child while it is being destroyed; no longer a page
  UpdateTabs();
  going_ = nullptr;
}

void PageControl::UpdateTabs() {
  std::vector<TabSheet*> pages = TabPages();
  std::vector<std::u16string> captions;
  for (TabSheet* p : pages) captions.push_back(p->Caption());
  // The active page must still be one of ours with a visible tab (it may have moved away).
  if (active_ && std::find(pages.begin(), pages.end(), active_) == pages.end()) {
    active_ = pages.empty() ? nullptr : pages.front();
  }
  ReplaceTabs(std::move(captions));
  auto it = std::find(pages.begin(), pages.end(), active_);
  SetTabIndex(it == pages.end() ? -1 : int32_t(it - pages.begin()));
  ShowActive();
}

void PageControl::SetActivePage(TabSheet* page) {
  if (page && (page->Parent() != this || !page->TabVisible())) return;
  active_ = page;
  std::vector<TabSheet*> pages = TabPages();
  auto it = std::find(pages.begin(), pages.end(), active_);
  SetTabIndex(it == pages.end() ? -1 : int32_t(it - pages.begin()));
  ShowActive();
}

void PageControl::SelectNextPage(bool forward) {
  std::vector<TabSheet*> pages = TabPages();
  if (pages.empty()) return;
  int32_t n = int32_t(pages.size());
  SelectTab(((TabIndex() + (forward ? 1 : -1)) % n + n) % n);
}

void PageControl::TabChanged() {
  std::vector<TabSheet*> pages = TabPages();
  int32_t i = TabIndex();
  active_ = i >= 0 && i < int32_t(pages.size()) ? pages[size_t(i)] : nullptr;
  ShowActive();
  TabControl::TabChanged();
}

void PageControl::ShowActive() {
  Rect d = DisplayRect();
  for (Control* c : Controls()) {
    auto* p = dynamic_cast<TabSheet*>(c);
    if (!p) continue;
    if (p == active_) {
      p->SetBounds(d);
      p->SetVisible(true);
    } else {
      p->SetVisible(false);
    }
  }
}

void PageControl::Realign() {
  TabControl::Realign();
  if (active_) active_->SetBounds(DisplayRect());
}

}  // namespace plat
