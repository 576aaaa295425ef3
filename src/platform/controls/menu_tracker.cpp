#include "platform/controls/menu_tracker.h"

#include <algorithm>
#include <cwctype>

#include "platform/controls/control_look.h"
#include "platform/controls/scroll_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

constexpr int32_t kBorder = 2;
constexpr int32_t kSeparatorHeight = 7;
constexpr int32_t kShortCutGap = 24;
constexpr int32_t kArrowWidth = 20;

MenuTracker* g_active = nullptr;

int32_t ItemHeight() { return std::max(20, InterfaceFontHeight() + 9); }

Font BoldOf(const Font& f) {
  LogFont lf = f.Log();
  lf.Weight = 700;
  return Font(lf);
}

bool Selectable(const MenuItem& item) { return item.Visible && !item.IsSeparator(); }

uint32_t ItemState(const MenuItem& item, bool hot) {
  uint32_t s = 0;
  if (hot) s |= ODS_SELECTED;
  if (!item.Enabled) s |= ODS_GRAYED | ODS_DISABLED;
  if (item.Checked()) s |= ODS_CHECKED;
  if (item.Default) s |= ODS_DEFAULT;
  return s;
}

void DrawRadioDot(Canvas& c, const Rect& r, Color colour) {
  int32_t cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  c.SaveState();
  c.SetPen(Pen{PenStyle::Solid, 1, colour});
  c.SetBrush(Brush{BrushStyle::Solid, colour});
  c.Ellipse({cx - 3, cy - 3, cx + 4, cy + 4});
  c.RestoreState();
}

}  // namespace

MenuLevelLayout LayoutMenuLevel(MenuItem& parent, const Font& font) {
  MenuLevelLayout l;
  Menu* menu = parent.OwnerMenu();
  l.glyphWidth = std::max(24, (menu && menu->Images ? menu->ImageSize : 16) + 8);
  Canvas measure;
  measure.SetFont(font);
  Font bold = BoldOf(font);
  struct Column { int32_t first, width, height; };
  std::vector<Column> cols{{0, 0, 0}};
  std::vector<Size> sizes(size_t(parent.Count()));
  for (int32_t i = 0; i < parent.Count(); ++i) {
    MenuItem& item = parent[i];
    if (!item.Visible) continue;
    if (item.Break && cols.back().height > 0) cols.push_back({i, 0, 0});
    int32_t w = 0, h = 0;
    if (item.IsSeparator()) {
      h = kSeparatorHeight;
    } else {
      const Font& f = item.Default ? bold : font;
      h = ItemHeight();
      w = l.glyphWidth + CaptionWidth(f, item.Label()) + kArrowWidth;
      std::u16string sc = item.ShortCutText();
      if (!sc.empty()) w += kShortCutGap + f.TextWidth(sc);
    }
    measure.SetFont(item.Default ? bold : font);
    if (item.OnMeasureItem) item.OnMeasureItem(item, measure, w, h);
    else if (menu && menu->OnMeasureItem) menu->OnMeasureItem(item, measure, w, h);
    sizes[size_t(i)] = {std::max(0, w), std::max(0, h)};
    cols.back().width = std::max(cols.back().width, sizes[size_t(i)].cx);
    cols.back().height += sizes[size_t(i)].cy;
  }
  l.items.assign(size_t(parent.Count()), Rect{});
  int32_t x = kBorder, maxH = 0;
  for (size_t c = 0; c < cols.size(); ++c) {
    int32_t end = c + 1 < cols.size() ? cols[c + 1].first : parent.Count();
    int32_t y = kBorder;
    for (int32_t i = cols[c].first; i < end; ++i) {
      if (!parent[i].Visible) continue;
      l.items[size_t(i)] = {x, y, x + cols[c].width, y + sizes[size_t(i)].cy};
      y += sizes[size_t(i)].cy;
    }
    maxH = std::max(maxH, y);
    x += cols[c].width + (c + 1 < cols.size() ? 1 : 0);  // 1 pixel line between columns
  }
  l.size = {x + kBorder, maxH + kBorder};
  return l;
}

// ---- MenuPopupWindow ----

MenuPopupWindow::MenuPopupWindow(MenuItem& parent, MenuLevelLayout layout)
    : parent_(parent), layout_(std::move(layout)) {
  SetBackgroundColor(Look().Window);
}

MenuPopupWindow::~MenuPopupWindow() { Destroy(); }

bool MenuPopupWindow::Open(const Rect& screen, Hwnd owner) {
  CreateParams p;
  p.owner = owner;
  p.bounds = screen;
  p.style = WS_POPUP | WS_VISIBLE;
  p.exStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
  return Create(p);
}

void MenuPopupWindow::SetHot(int32_t i) {
  if (i == hot_) return;
  if (hot_ >= 0) InvalidateRect(Handle(), &layout_.items[size_t(hot_)]);
  hot_ = i;
  if (hot_ >= 0) InvalidateRect(Handle(), &layout_.items[size_t(hot_)]);
}

int32_t MenuPopupWindow::ItemAt(Point client) const {
  for (size_t i = 0; i < layout_.items.size(); ++i) {
    if (layout_.items[i].Contains(client)) return int32_t(i);
  }
  return -1;
}

Rect MenuPopupWindow::ItemScreenRect(int32_t i) const {
  Rect r = layout_.items[size_t(i)];
  Point tl = ClientToScreen(Handle(), {r.left, r.top});
  return {tl.x, tl.y, tl.x + r.Width(), tl.y + r.Height()};
}

void MenuPopupWindow::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  const LookColors& look = Look();
  Rect cr = GetClientRect(Handle());
  c.FillRect(cr, look.Window);
  DrawFrame(c, cr, look.Border);
  Menu* menu = parent_.OwnerMenu();
  const Font& font = InterfaceFont();
  Font bold = BoldOf(font);
  for (int32_t i = 0; i < parent_.Count(); ++i) {
    MenuItem& item = parent_[i];
    Rect r = layout_.items[size_t(i)];
    if (!item.Visible || r.IsEmpty()) continue;
    if (item.Break && r.left > kBorder) {
      c.FillRect({r.left - 1, kBorder, r.left, cr.bottom - kBorder}, look.Border);
    }
    bool hot = i == hot_ && !item.IsSeparator();
    Color bk = hot ? (item.Enabled ? look.Highlight : look.ButtonHot) : look.Window;
    Color fg = !item.Enabled ? look.GrayText : hot ? look.HighlightText : look.Text;
    c.SaveState();
    c.SetFont(item.Default ? bold : font);
    c.SetTextColor(fg);
    c.SetBkColor(bk);
    auto draw = item.OnDrawItem ? item.OnDrawItem : menu ? menu->OnDrawItem : nullptr;
    if (draw) {
      draw(item, c, r, ItemState(item, hot));
      c.RestoreState();
      continue;
    }
    c.FillRect(r, bk);
    if (item.IsSeparator()) {
      int32_t y = (r.top + r.bottom) / 2;
      c.FillRect({r.left + layout_.glyphWidth, y, r.right - 4, y + 1}, look.Border);
      c.RestoreState();
      continue;
    }
    Rect glyph{r.left, r.top, r.left + layout_.glyphWidth, r.bottom};
    if (menu && menu->Images && item.ImageIndex >= 0) {
      int32_t s = menu->ImageSize;
      Rect src{item.ImageIndex * s, 0, item.ImageIndex * s + s, s};
      if (item.Checked()) c.FillRect({glyph.left + 2, glyph.top + 1, glyph.right - 2, glyph.bottom - 1}, look.ButtonPressed);
      c.DrawBitmap(glyph.left + (glyph.Width() - s) / 2, glyph.top + (glyph.Height() - s) / 2,
                   *menu->Images, src);
    } else if (item.Checked()) {
      if (item.RadioItem) DrawRadioDot(c, glyph, fg);
      else DrawCheckMark(c, Rect{glyph.left + 4, glyph.top + 2, glyph.right - 4, glyph.bottom - 2}, fg);
    }
    Rect text{glyph.right, r.top, r.right - kArrowWidth, r.bottom};
    DrawCaption(c, text, item.Label(), fg);
    std::u16string sc = item.ShortCutText();
    if (!sc.empty()) DrawCaption(c, text, sc, fg, TextAlign::Right, false);
    if (item.HasSubItems()) {
      DrawArrowHead(c, {r.right - kArrowWidth, r.top, r.right - 4, r.bottom}, ArrowDir::Right, fg);
    }
    c.RestoreState();
  }
}

// ---- MenuTracker ----

MenuTracker::MenuTracker(Menu& menu, MenuBarHost* bar) : menu_(menu), bar_(bar) {}

MenuTracker::~MenuTracker() { CloseLevelsAbove(0); }

MenuTracker* MenuTracker::Active() { return g_active; }

std::vector<MenuPopupWindow*> MenuTracker::Levels() const {
  std::vector<MenuPopupWindow*> r;
  for (auto& l : levels_) r.push_back(l.get());
  return r;
}

void MenuTracker::Notify(uint32_t msg, uintptr_t w, intptr_t l) {
  if (menu_.NotifyWindow && !(popupFlags_ & TPM_NONOTIFY)) SendMessage(menu_.NotifyWindow, msg, w, l);
}

MenuItem* MenuTracker::TrackPopup(Point pt, uint32_t flags, const Rect* exclude) {
  popupPoint_ = pt;
  popupFlags_ = flags;
  hasExclude_ = exclude != nullptr;
  if (exclude) popupExclude_ = *exclude;
  return Run(true);
}

MenuItem* MenuTracker::TrackBar(int32_t index, bool open, bool byKeyboard) {
  barHot_ = index;
  pendingOpen_ = open;
  pendingByKeyboard_ = byKeyboard;
  return Run(false);
}

MenuItem* MenuTracker::Run(bool popup) {
  if (g_active) return nullptr;  // one menu loop at a time
  g_active = this;
  menu_.inLoop_ = true;
  // Also when a handler throws out of the loop: the windows close and the loop state resets.
  struct Reset {
    MenuTracker& t;
    ~Reset() {
      t.CloseLevelsAbove(0);
      if (t.bar_) t.bar_->SetBarHot(-1, false);
      t.menu_.inLoop_ = false;
      g_active = nullptr;
    }
  } reset{*this};
  if (GetCapture()) ReleaseCapture();
  Notify(WM_ENTERMENULOOP, popup ? 1 : 0, 0);
  Notify(WM_INITMENU, menu_.Handle(), 0);
  if (popup) {
    if (!OpenLevel(menu_.Items(), false)) done_ = true;
  } else if (bar_) {
    bar_->SetBarHot(barHot_, false);
    if (pendingOpen_) OpenBarItem(barHot_, pendingByKeyboard_);
  } else {
    done_ = true;
  }
  // The menu closes when the program loses the activation (another program was clicked).
  bool wasActive = IsAppActive();
  while (!done_) {
    if (wasActive && !IsAppActive()) {
      Finish(nullptr);
      break;
    }
    Msg m;
    if (!PeekMessage(m)) {
      WaitMessage();
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
      HandleKey(uint8_t(m.wParam));
    } else if (m.message == WM_CHAR || m.message == WM_SYSCHAR) {
      HandleChar(char16_t(m.wParam));
    } else if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) {
      // key-ups and dead keys belong to the menu while it is open
    } else if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) {
      Point p = ClientToScreen(m.hwnd, {GetXParam(m.lParam), GetYParam(m.lParam)});
      HandleMouse(m.message, p);
    } else {
      DispatchMessage(m);
    }
  }
  CloseLevelsAbove(0);
  if (bar_) bar_->SetBarHot(-1, false);
  menu_.inLoop_ = false;
  // No item is highlighted any more (status-bar hints clear on this).
  Notify(WM_MENUSELECT, MakeWParam(0, 0xFFFF), 0);
  if (menu_.OnSelect) menu_.OnSelect(menu_, nullptr);
  Notify(WM_EXITMENULOOP, popup ? 1 : 0, 0);
  return chosen_;
}

void MenuTracker::Finish(MenuItem* chosen) {
  chosen_ = chosen;
  done_ = true;
}

bool MenuTracker::OpenLevel(MenuItem& parent, bool selectFirst) {
  if (menu_.OnPopup) menu_.OnPopup(menu_, parent);
  int32_t pos = parent.Parent() ? parent.Parent()->IndexOf(&parent) : 0;
  Notify(WM_INITMENUPOPUP, parent.SubMenuHandle(), MakeLParam(pos, 0));
  bool any = false;
  for (int32_t i = 0; i < parent.Count(); ++i) any = any || parent[i].Visible;
  if (!any) return false;
  auto win = std::make_unique<MenuPopupWindow>(parent, LayoutMenuLevel(parent, InterfaceFont()));
  Size size = win->Layout().size;
  Rect screen = GetScreenRect();
  Rect placed;
  if (!levels_.empty()) {
    MenuPopupWindow& up = *levels_.back();
    Rect item = up.ItemScreenRect(up.Hot());
    placed = PlacePopup(size, {item.right, item.top - kBorder}, TPM_HORIZONTAL, &item, screen);
  } else if (bar_ && barHot_ >= 0) {
    Rect item = bar_->BarItemScreenRect(barHot_);
    placed = PlacePopup(size, {item.left, item.bottom}, TPM_VERTICAL, &item, screen);
  } else {
    placed = PlacePopup(size, popupPoint_, popupFlags_, hasExclude_ ? &popupExclude_ : nullptr, screen);
  }
  Hwnd owner = menu_.NotifyWindow ? GetTopLevel(menu_.NotifyWindow) : GetActiveWindow();
  if (!win->Open(placed, owner)) return false;
  levels_.push_back(std::move(win));
  if (selectFirst) SetHot(*levels_.back(), NextSelectable(*levels_.back(), -1, 1));
  return true;
}

void MenuTracker::CloseLevelsAbove(size_t keep) {
  while (levels_.size() > keep) levels_.pop_back();
}

void MenuTracker::SetHot(MenuPopupWindow& level, int32_t index) {
  if (level.Hot() == index) return;
  level.SetHot(index);
  MenuItem* item = index >= 0 ? &level.ParentItem()[index] : nullptr;
  if (item) {
    uint32_t flags = MF_HILITE | (item->HasSubItems() ? MF_POPUP : 0) |
                     (item->Enabled ? 0 : MF_GRAYED) | (item->Checked() ? MF_CHECKED : 0);
    uintptr_t id = item->HasSubItems() ? uintptr_t(index) : item->Command;
    Notify(WM_MENUSELECT, MakeWParam(uint32_t(id), flags), intptr_t(level.ParentItem().SubMenuHandle()));
  }
  if (menu_.OnSelect) menu_.OnSelect(menu_, item);
}

int32_t MenuTracker::NextSelectable(MenuPopupWindow& level, int32_t from, int32_t step) const {
  MenuItem& parent = level.ParentItem();
  int32_t n = parent.Count();
  if (n == 0) return -1;
  int32_t i = from;
  for (int32_t k = 0; k < n; ++k) {
    i = ((i + step) % n + n) % n;
    if (Selectable(parent[i])) return i;
  }
  return -1;
}

bool MenuTracker::MoveColumn(MenuPopupWindow& level, int32_t step) {
  if (level.Hot() < 0) return false;
  const std::vector<Rect>& items = level.Layout().items;
  const Rect& cur = items[size_t(level.Hot())];
  // The selectable item of the neighbouring column nearest in height.
  int32_t best = -1, bestColumn = 0, bestDist = 0;
  MenuItem& parent = level.ParentItem();
  for (int32_t i = 0; i < parent.Count(); ++i) {
    const Rect& r = items[size_t(i)];
    if (!Selectable(parent[i]) || r.IsEmpty()) continue;
    bool beyond = step > 0 ? r.left > cur.left : r.left < cur.left;
    if (!beyond) continue;
    int32_t column = std::abs(r.left - cur.left), dist = std::abs(r.top - cur.top);
    if (best < 0 || column < bestColumn || (column == bestColumn && dist < bestDist)) {
      best = i;
      bestColumn = column;
      bestDist = dist;
    }
  }
  if (best < 0) return false;
  SetHot(level, best);
  return true;
}

void MenuTracker::Execute(MenuPopupWindow& level, int32_t index, bool byKeyboard) {
  if (index < 0) return;
  MenuItem& item = level.ParentItem()[index];
  if (!Selectable(item) || !item.Enabled) return;
  SetHot(level, index);
  if (item.HasSubItems()) {
    size_t at = 0;
    while (at < levels_.size() && levels_[at].get() != &level) ++at;
    CloseLevelsAbove(at + 1);
    OpenLevel(item, byKeyboard);
    return;
  }
  Finish(&item);
}

void MenuTracker::OpenBarItem(int32_t index, bool byKeyboard) {
  CloseLevelsAbove(0);
  barHot_ = index;
  if (index < 0) return;
  MenuItem& item = menu_.Items()[index];
  bool open = item.HasSubItems() && item.Enabled && OpenLevel(item, byKeyboard);
  if (bar_) bar_->SetBarHot(index, open);
}

void MenuTracker::MoveBar(int32_t step) {
  if (!bar_) return;
  MenuItem& root = menu_.Items();
  int32_t n = root.Count();
  int32_t i = barHot_;
  for (int32_t k = 0; k < n; ++k) {
    i = ((i + step) % n + n) % n;
    if (root[i].Visible) break;
  }
  bool wasOpen = !levels_.empty();
  if (wasOpen) {
    OpenBarItem(i, true);
  } else {
    barHot_ = i;
    bar_->SetBarHot(i, false);
  }
}

void MenuTracker::HandleKey(uint8_t vk) {
  MenuPopupWindow* level = levels_.empty() ? nullptr : levels_.back().get();
  switch (vk) {
    case VK_ESCAPE:
      if (levels_.size() > 1 || (level && bar_)) {
        CloseLevelsAbove(levels_.size() - 1);
        if (levels_.empty() && bar_) bar_->SetBarHot(barHot_, false);
      } else {
        Finish(nullptr);
      }
      return;
    case VK_MENU: case VK_F10:
      Finish(nullptr);
      return;
    case VK_UP: case VK_DOWN:
      if (!level) {
        if (vk == VK_DOWN) OpenBarItem(barHot_, true);
        return;
      }
      SetHot(*level, NextSelectable(*level, level->Hot() < 0 && vk == VK_UP ? 0 : level->Hot(),
                                    vk == VK_DOWN ? 1 : -1));
      return;
    case VK_HOME: case VK_END:
      if (level) SetHot(*level, NextSelectable(*level, vk == VK_HOME ? -1 : 0, vk == VK_HOME ? 1 : -1));
      return;
    case VK_RIGHT:
      if (level && level->Hot() >= 0 && level->ParentItem()[level->Hot()].HasSubItems()) {
        Execute(*level, level->Hot(), true);
      } else if (!(level && MoveColumn(*level, 1))) {
        MoveBar(1);
      }
      return;
    case VK_LEFT:
      if (level && MoveColumn(*level, -1)) return;
      if (levels_.size() > 1) CloseLevelsAbove(levels_.size() - 1);
      else MoveBar(-1);
      return;
    case VK_RETURN:
      if (level) {
        if (level->Hot() >= 0) Execute(*level, level->Hot(), true);
      } else if (barHot_ >= 0) {
        MenuItem& item = menu_.Items()[barHot_];
        if (item.HasSubItems()) OpenBarItem(barHot_, true);
        else if (item.Enabled) Finish(&item);
      }
      return;
    default:
      return;
  }
}

void MenuTracker::HandleChar(char16_t ch) {
  char16_t up = char16_t(std::towupper(wint_t(ch)));
  if (levels_.empty()) {
    if (!bar_) return;
    MenuItem& root = menu_.Items();
    for (int32_t i = 0; i < root.Count(); ++i) {
      if (root[i].Visible && root[i].Enabled && root[i].Mnemonic() == up) {
        if (root[i].HasSubItems()) OpenBarItem(i, true);
        else Finish(&root[i]);
        return;
      }
    }
    MessageBeep();
    return;
  }
  MenuPopupWindow& level = *levels_.back();
  MenuItem& parent = level.ParentItem();
  uint32_t answer = 0;
  if (menu_.OnMenuChar) answer = menu_.OnMenuChar(menu_, parent, ch);
  if (answer == 0 && menu_.NotifyWindow && !(popupFlags_ & TPM_NONOTIFY)) {
    answer = uint32_t(SendMessage(menu_.NotifyWindow, WM_MENUCHAR, MakeWParam(ch, MF_POPUP),
                                  intptr_t(parent.SubMenuHandle())));
  }
  uint32_t action = HiWord(answer);
  int32_t pos = LoWord(answer);
  if (action == MNC_CLOSE) return Finish(nullptr);
  if ((action == MNC_EXECUTE || action == MNC_SELECT) && pos < parent.Count()) {
    if (action == MNC_EXECUTE) Execute(level, pos, true);
    else SetHot(level, pos);
    return;
  }
  // The captions' own mnemonics: one enabled match runs it, several move among them.
  std::vector<int32_t> matches;
  for (int32_t i = 0; i < parent.Count(); ++i) {
    if (Selectable(parent[i]) && parent[i].Enabled && parent[i].Mnemonic() == up) matches.push_back(i);
  }
  if (matches.empty()) {
    MessageBeep();
    return;
  }
  if (matches.size() == 1) return Execute(level, matches[0], true);
  auto next = std::upper_bound(matches.begin(), matches.end(), level.Hot());
  SetHot(level, next == matches.end() ? matches[0] : *next);
}

void MenuTracker::HandleMouse(uint32_t msg, Point screen) {
  bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP;
  for (size_t li = levels_.size(); li-- > 0;) {
    MenuPopupWindow& level = *levels_[li];
    if (!GetWindowScreenRect(level.Handle()).Contains(screen)) continue;
    int32_t i = level.ItemAt(ScreenToClient(level.Handle(), screen));
    if (i < 0 || !Selectable(level.ParentItem()[i])) {
      if (msg == WM_MOUSEMOVE && li + 1 == levels_.size()) SetHot(level, -1);
      return;
    }
    MenuItem& item = level.ParentItem()[i];
    bool same = level.Hot() == i && li + 2 == levels_.size() && &levels_[li + 1]->ParentItem() == &item;
    if (!same && (msg == WM_MOUSEMOVE || down)) {
      CloseLevelsAbove(li + 1);
      SetHot(level, i);
      if (item.HasSubItems() && item.Enabled) OpenLevel(item, false);
    }
    if (up && !item.HasSubItems() && item.Enabled) Finish(&item);
    return;
  }
  int32_t b = bar_ ? bar_->BarItemAtScreen(screen) : -1;
  if (b >= 0 && b < menu_.Items().Count()) {
    MenuItem& item = menu_.Items()[b];
    if (msg == WM_MOUSEMOVE && b != barHot_ && !levels_.empty()) OpenBarItem(b, false);
    if (down) {
      if (b == barHot_ && !levels_.empty()) Finish(nullptr);
      else OpenBarItem(b, false);
    }
    if (up && b == barHot_ && !item.HasSubItems() && item.Enabled) Finish(&item);
    return;
  }
  if (down) Finish(nullptr);
}

// ---- PopupMenu ----

void ClickMenuItem(MenuItem& item, Hwnd notify) {
  uint32_t command = item.Command;
  item.Click();
  if (notify) SendMessage(notify, WM_COMMAND, MakeWParam(command, 0), 0);
}

uint32_t PopupMenu::Popup(Point screen, uint32_t flags, const Rect* exclude) {
  MenuTracker tracker(*this);
  MenuItem* chosen = tracker.TrackPopup(screen, flags, exclude);
  if (!chosen) return 0;
  uint32_t command = chosen->Command;
  if (!(flags & TPM_RETURNCMD)) ClickMenuItem(*chosen, NotifyWindow);
  return command;
}

}  // namespace plat
