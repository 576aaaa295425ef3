#include "platform/controls/tab_control.h"

#include <algorithm>
#include <cwctype>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace plat {
namespace {

constexpr int32_t kTabPadding = 10;

char16_t MnemonicOf(const std::u16string& s) {
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] != u'&') continue;
    if (s[i + 1] == u'&') {
      ++i;
      continue;
    }
    return char16_t(std::towupper(wint_t(s[i + 1])));
  }
  return 0;
}

}  // namespace

TabControl::TabControl() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetDlgCode(DLGC_WANTARROWS);
  SetBounds(0, 0, 289, 193);
}

void TabControl::SetTabs(std::vector<std::u16string> tabs) {
  tabs_ = std::move(tabs);
  int32_t n = int32_t(tabs_.size());
  tabIndex_ = n == 0 ? -1 : std::clamp(tabIndex_ < 0 ? 0 : tabIndex_, 0, n - 1);
  TabChanged();
}

void TabControl::ReplaceTabs(std::vector<std::u16string> tabs) {
  tabs_ = std::move(tabs);
  if (tabIndex_ >= int32_t(tabs_.size())) tabIndex_ = int32_t(tabs_.size()) - 1;
  Invalidate();
}

void TabControl::AddTab(std::u16string caption) {
  tabs_.push_back(std::move(caption));
  if (tabIndex_ < 0) {
    tabIndex_ = 0;
    TabChanged();
  }
  Invalidate();
}

void TabControl::SetTabIndex(int32_t i) {
  if (i < -1 || i >= int32_t(tabs_.size()) || i == tabIndex_) return;
  tabIndex_ = i;
  TabChanged();
}

bool TabControl::SelectTab(int32_t i) {
  if (i < 0 || i >= int32_t(tabs_.size())) return false;
  if (i == tabIndex_) return true;
  bool allow = true;
  if (OnChanging) OnChanging(*this, allow);
  if (!allow) return false;
  tabIndex_ = i;
  TabChanged();
  if (OnChange) OnChange(*this);
  return true;
}

int32_t TabControl::TabHeight() const { return GetFont().Metrics().Height + 10; }

Rect TabControl::TabRect(int32_t i) const {
  if (i < 0 || i >= int32_t(tabs_.size())) return {};
  int32_t x = 2;
  for (int32_t k = 0; k < i; ++k) x += CaptionWidth(GetFont(), tabs_[size_t(k)]) + 2 * kTabPadding;
  int32_t w = CaptionWidth(GetFont(), tabs_[size_t(i)]) + 2 * kTabPadding;
  return {x, 0, x + w, TabHeight()};
}

int32_t TabControl::TabAt(Point client) const {
  for (int32_t i = 0; i < int32_t(tabs_.size()); ++i) {
    if (TabRect(i).Contains(client)) return i;
  }
  return -1;
}

Rect TabControl::DisplayRect() const {
  Rect cr = ClientRect();
  Rect r{cr.left + 1, TabHeight() + 1, cr.right - 1, cr.bottom - 1};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool TabControl::ChildKey(uint8_t& vk, ShiftState shift) {
  ShiftState mods = shift & (ssShift | ssAlt | ssCtrl);
  int32_t n = int32_t(tabs_.size());
  if (n > 0 && (mods & ssCtrl) && !(mods & ssAlt)) {
    int32_t step = 0;
    if (vk == VK_TAB) step = (mods & ssShift) ? -1 : 1;
    else if (vk == VK_NEXT && !(mods & ssShift)) step = 1;
    else if (vk == VK_PRIOR && !(mods & ssShift)) step = -1;
    if (step != 0) {
      SelectTab(((tabIndex_ + step) % n + n) % n);
      return true;
    }
  }
  return Control::ChildKey(vk, shift);
}

bool TabControl::DialogChar(char16_t ch) {
  if (!(CurrentShiftState() & ssAlt)) return false;
  char16_t up = char16_t(std::towupper(wint_t(ch)));
  for (int32_t i = 0; i < int32_t(tabs_.size()); ++i) {
    if (MnemonicOf(tabs_[size_t(i)]) == up) {
      SelectTab(i);
      return true;
    }
  }
  return false;
}

void TabControl::KeyDown(uint8_t& key, ShiftState shift) {
  int32_t n = int32_t(tabs_.size());
  if (n > 0 && (key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END)) {
    int32_t i = key == VK_HOME ? 0 : key == VK_END ? n - 1
              : std::clamp(tabIndex_ + (key == VK_RIGHT ? 1 : -1), 0, n - 1);
    SelectTab(i);
    key = 0;
    return;
  }
  uint8_t k = key;
  if (ChildKey(k, shift)) {  // Ctrl+Tab on the control itself
    key = 0;
    return;
  }
  Control::KeyDown(key, shift);
}

void TabControl::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  int32_t i = TabAt(p);
  if (i >= 0) SelectTab(i);
}

void TabControl::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Rect cr = ClientRect();
  int32_t th = TabHeight();
  c.FillRect({0, 0, cr.right, th}, BackColor());
  Rect display{0, th, cr.right, cr.bottom};
  c.FillRect(display, look.Window);
  DrawFrame(c, display, look.Border);
  c.SetFont(GetFont());
  for (int32_t i = 0; i < int32_t(tabs_.size()); ++i) {
    Rect r = TabRect(i);
    bool sel = i == tabIndex_;
    Rect box = sel ? Rect{r.left, r.top, r.right, r.bottom + 1} : Rect{r.left, r.top + 2, r.right, r.bottom};
    c.FillRect(box, sel ? look.Window : look.Face);
    // Left, top and right edges; the selected tab opens into the display area.
    c.FillRect({box.left, box.top, box.right, box.top + 1}, sel ? look.Focus : look.Border);
    c.FillRect({box.left, box.top, box.left + 1, r.bottom}, look.Border);
    c.FillRect({box.right - 1, box.top, box.right, r.bottom}, look.Border);
    if (sel) c.FillRect({box.left + 1, r.bottom, box.right - 1, r.bottom + 1}, look.Window);
    DrawCaption(c, {box.left, box.top, box.right, r.bottom}, tabs_[size_t(i)],
                EnabledInTree() ? look.Text : look.GrayText, TextAlign::Center);
    if (sel && Focused()) DrawFocusFrame(c, {box.left + 3, box.top + 3, box.right - 3, r.bottom - 2});
  }
}

}  // namespace plat
