// Focus, capture, activation, keyboard state, cursor and the routing of input events.
#include <algorithm>
#include <cstdlib>

#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "platform/win/window_system_internal.h"

namespace plat {
namespace detail {

void ForgetWindow(Hwnd h) {
  State& s = S();
  if (s.focus && IsDescendant(h, s.focus)) {
    Hwnd old = s.focus;
    s.focus = 0;
    SendMessage(old, WM_KILLFOCUS, 0, 0);
  }
  if (s.capture && IsDescendant(h, s.capture)) ReleaseCapture();
  if (s.caret.hwnd && IsDescendant(h, s.caret.hwnd)) DestroyCaret();
  std::erase_if(s.timers, [&](const Timer& t) { return t.hwnd != 0 && IsDescendant(h, t.hwnd); });
  std::erase_if(s.hotKeys, [&](const HotKey& k) { return IsDescendant(h, k.hwnd); });
  if (s.active && IsDescendant(h, s.active)) {
    Hwnd old = s.active;
    s.active = 0;
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, 0);
  }
  if (s.lastClickHwnd && IsDescendant(h, s.lastClickHwnd)) s.lastClickHwnd = 0;
}

// A window being hidden gives up the focus (to its parent) and, when top-level, the activation
// (to its owner or the next visible window).
void DeactivateOnHide(Hwnd h) {
  State& s = S();
  Node* n = Find(h);
  if (!n) return;
  if (s.capture && IsDescendant(h, s.capture)) ReleaseCapture();
  if (n->parent != 0) {
    if (s.focus && IsDescendant(h, s.focus)) {
      Hwnd p = n->parent;
      if (!SetFocus(p) && s.focus && IsDescendant(h, s.focus)) SetFocus(0);
    }
    return;
  }
  if (s.active != h) return;
  Hwnd next = 0;
  if (n->owner && IsWindowVisible(n->owner) && IsWindowEnabled(n->owner)) next = n->owner;
  for (auto it = s.topLevels.rbegin(); !next && it != s.topLevels.rend(); ++it) {
    if (*it != h && IsWindowVisible(*it) && IsWindowEnabled(*it)) next = *it;
  }
  if (next) {
    n->shown = false;  // so the new active window is not this one
    SetActiveWindow(next);
    n->shown = true;
  } else {
    if (s.focus && IsDescendant(h, s.focus)) SetFocus(0);
    s.active = 0;
    SendMessage(h, WM_ACTIVATE, WA_INACTIVE, 0);
  }
}

namespace {

bool Down(uint8_t vk) { return (S().keyState[vk] & 0x80) != 0; }
bool SyncDown(uint8_t vk) { return (S().syncKeyState[vk] & 0x80) != 0; }

// Alt for system keys: the left Alt, or the right one unless it is AltGr.
bool AltHeld() { return Down(VK_LMENU) || (Down(VK_RMENU) && !S().altGrDown); }

uint32_t MouseKeyFlags() {
  uint32_t f = 0;
  if (Down(VK_LBUTTON)) f |= MK_LBUTTON;
  if (Down(VK_RBUTTON)) f |= MK_RBUTTON;
  if (Down(VK_MBUTTON)) f |= MK_MBUTTON;
  if (Down(VK_SHIFT)) f |= MK_SHIFT;
  if (Down(VK_CONTROL)) f |= MK_CONTROL;
  return f;
}

void SetDown(uint8_t vk, bool down) {
  uint8_t& k = S().keyState[vk];
  k = down ? uint8_t(k | 0x80) : uint8_t(k & ~0x80);
}

void SendActivateApp(bool active) {
  std::vector<Hwnd> tops = S().topLevels;
  for (Hwnd t : tops) SendMessage(t, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

Hwnd ActivateInternal(Hwnd hwnd, uintptr_t how, bool tellBackend) {
  State& s = S();
  Hwnd top = TopOf(hwnd);
  Hwnd old = s.active;
  if (!top || top == old) return old;
  if (!IsWindowVisible(top) || !IsWindowEnabled(top)) return 0;
  if (!s.appActive) {
    s.appActive = true;
    SendActivateApp(true);
  }
  s.active = top;
  if (Node* o = Find(old)) {
    if (s.focus && IsDescendant(old, s.focus)) o->lastFocus = s.focus;
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, top);
  }
  if (s.active != top) return old;
  BringWindowToTop(top);
  if (tellBackend) s.backend->FocusTopLevel(top);
  SendMessage(top, WM_ACTIVATE, how, old);
  return old;
}

// The window a mouse event at p of a top-level window goes to: the capture window, else the
// deepest visible window there, moved up past disabled windows. 0 when the top-level window is
// disabled.
Hwnd MouseTarget(Hwnd top, Point p) {
  State& s = S();
  if (s.capture) return s.capture;
  Node* t = Find(top);
  if (!t || !t->shown) return 0;
  Point local{p.x - t->insets.left, p.y - t->insets.top};
  Hwnd h = GetClientRect(top).Contains(local) ? ChildWindowFromPoint(top, local) : top;
  while (h && !IsWindowEnabled(h)) h = GetParent(h);
  return h;
}

intptr_t ClientPointParam(Hwnd target) {
  Point c = ScreenToClient(target, S().cursorPos);
  return MakeLParam(c.x, c.y);
}

}  // namespace

void ResetInputState() {
  for (uint8_t& k : S().keyState) k &= 1;  // toggles (Caps Lock) stay
  S().syncKeyState = S().keyState;
}

}  // namespace detail

using namespace detail;

// ---- Focus, capture, activation ----

Hwnd SetFocus(Hwnd hwnd) {
  State& s = S();
  Hwnd old = s.focus;
  if (hwnd == 0) {
    s.focus = 0;
    if (old) SendMessage(old, WM_KILLFOCUS, 0, 0);
    return old;
  }
  if (!Find(hwnd) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return 0;
  if (old == hwnd) return old;
  Hwnd top = TopOf(hwnd);
  if (s.active != top) {
    ActivateInternal(top, WA_ACTIVE, true);
    if (s.active != top) return 0;
    old = s.focus;
    if (old == hwnd) return old;
  }
  s.focus = hwnd;
  if (old && Find(old)) SendMessage(old, WM_KILLFOCUS, hwnd, 0);
  if (s.focus == hwnd) SendMessage(hwnd, WM_SETFOCUS, old, 0);
  return old;
}

Hwnd GetFocus() { return Started() ? S().focus : 0; }

Hwnd SetCapture(Hwnd hwnd) {
  State& s = S();
  if (!Find(hwnd)) return 0;
  Hwnd old = s.capture;
  s.capture = hwnd;
  if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, hwnd);
  return old;
}

bool ReleaseCapture() {
  State& s = S();
  Hwnd old = s.capture;
  s.capture = 0;
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

Hwnd GetCapture() { return Started() ? S().capture : 0; }

Hwnd SetActiveWindow(Hwnd hwnd) { return ActivateInternal(hwnd, WA_ACTIVE, true); }
Hwnd GetActiveWindow() { return Started() ? S().active : 0; }
bool IsAppActive() { return S().appActive; }

int16_t GetKeyState(uint8_t vk) {
  uint8_t k = S().syncKeyState[vk];
  return int16_t(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

int16_t GetAsyncKeyState(uint8_t vk) {
  uint8_t k = S().keyState[vk];
  return int16_t(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

uint8_t GetShiftState() {
  State& s = S();
  (void)s;
  uint8_t r = 0;
  if (SyncDown(VK_SHIFT)) r |= SHIFT_BIT_SHIFT;
  if (SyncDown(VK_MENU)) r |= SHIFT_BIT_ALT;
  if (SyncDown(VK_CONTROL)) r |= SHIFT_BIT_CTRL;
  return r;
}

Point GetCursorPos() { return S().cursorPos; }

void SetCursor(CursorShape shape) {
  State& s = S();
  if (s.cursor == shape) return;
  s.cursor = shape;
  if (s.mouseTop && Find(s.mouseTop)) s.backend->SetCursorShape(s.mouseTop, shape);
}

CursorShape GetCursor() { return S().cursor; }

CursorShape RegisterCursorImage(const Bitmap& image, Point hotspot) {
  State& s = S();
  auto shape = static_cast<CursorShape>(s.nextCursorId++);
  s.backend->DefineCursorImage(shape, image, hotspot);
  return shape;
}

uint32_t GetDoubleClickTime() { return S().doubleClickMs; }
void SetDoubleClickTime(uint32_t ms) { S().doubleClickMs = ms; }

// ---- Input from the backends ----

namespace input {

void Key(uint8_t vk, bool down, bool extended, uint32_t scanCode) {
  State& s = S();
  uint8_t generic = vk;
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) generic = VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) generic = VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) generic = VK_MENU;
  bool wasDown = Down(vk);
  if (down && !wasDown && (vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL))
    s.keyState[vk] ^= 1;
  SetDown(vk, down);
  if (generic != vk) {
    uint8_t l = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    SetDown(generic, Down(l) || Down(uint8_t(l + 1)));
  }
  bool alt = AltHeld();
  bool altGrKey = vk == VK_RMENU && s.altGrDown;
  bool sys = (alt && !Down(VK_CONTROL)) || (generic == VK_MENU && !altGrKey) || vk == VK_F10;
  Hwnd target = s.focus ? s.focus : s.active;
  if (!target) return;
  uint32_t lp = 1 | ((scanCode & 0xFF) << 16);
  if (extended) lp |= KF_EXTENDED_BIT;
  if (alt) lp |= KF_ALTDOWN_BIT;
  if (wasDown) lp |= KF_REPEAT_BIT;
  if (!down) lp |= KF_REPEAT_BIT | KF_UP_BIT;
  uint32_t msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  s.lastKeyEvent = ++s.inputEventSeq;
  QueueInput(Msg{target, msg, generic, intptr_t(int32_t(lp))}, s.lastKeyEvent);
}

void Char(char32_t cp) {
  State& s = S();
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return;
  Hwnd target = s.focus ? s.focus : s.active;
  if (!target) return;
  bool sys = AltHeld() && !Down(VK_CONTROL);
  uint32_t lp = 1 | (AltHeld() ? KF_ALTDOWN_BIT : 0);
  QueueInput(Msg{target, sys ? WM_SYSCHAR : WM_CHAR, uintptr_t(cp), intptr_t(int32_t(lp))},
               s.lastKeyEvent);
}

void AltGr(bool down) { S().altGrDown = down; }

void SyncKeyState(uint8_t vk, bool down) {
  SetDown(vk, down);
  S().syncKeyState[vk] = S().keyState[vk];
}

void ToggleKeyState(uint8_t vk, bool toggled) {
  uint8_t& k = S().keyState[vk];
  k = toggled ? uint8_t(k | 1) : uint8_t(k & ~1);
  S().syncKeyState[vk] = k;
}

void MouseMove(Hwnd top, Point p) {
  State& s = S();
  Node* t = Find(top);
  if (!t) return;
  s.cursorPos = {p.x + t->bounds.left, p.y + t->bounds.top};
  if (s.mouseTop != top) {
    s.mouseTop = top;
    s.backend->SetCursorShape(top, s.cursor);
  }
  Hwnd target = MouseTarget(top, p);
  if (!target) return;
  if (!s.capture) SendMessage(target, WM_SETCURSOR, target, MakeLParam(HTCLIENT, WM_MOUSEMOVE));
  if (!Find(target)) return;
  // Moves coalesce: only the latest position of a run of moves is queued.
  if (!s.queue.empty() && s.queue.back().msg.message == WM_MOUSEMOVE && s.queue.back().msg.hwnd == target)
    s.queue.pop_back();
  QueueInput(Msg{target, WM_MOUSEMOVE, MouseKeyFlags(), ClientPointParam(target)});
}

void MouseButton(Hwnd top, Point p, Button b, bool down) {
  State& s = S();
  Node* t = Find(top);
  if (!t) return;
  s.cursorPos = {p.x + t->bounds.left, p.y + t->bounds.top};
  static constexpr uint8_t kVk[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  static constexpr uint32_t kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  int bi = int(b);
  SetDown(kVk[bi], down);
  Hwnd target = MouseTarget(top, p);
  if (!target) {
    if (down) MessageBeep();
    return;
  }
  if (down && !s.capture && !(t->exStyle & WS_EX_NOACTIVATE) && s.active != top)
    ActivateInternal(top, WA_CLICKACTIVE, true);
  if (!Find(target)) return;
  uint32_t msg = kDown[bi] + (down ? 0 : 1);
  if (down) {
    uint64_t now = s.clock->NowMs();
    bool dbl = s.lastClickHwnd == target && s.lastClickButton == bi && now - s.lastClickTime <= s.doubleClickMs &&
               std::abs(s.cursorPos.x - s.lastClickPos.x) <= 4 && std::abs(s.cursorPos.y - s.lastClickPos.y) <= 4;
    if (dbl && (Find(target)->classStyle & CS_DBLCLKS)) {
      msg = kDown[bi] + 2;
      s.lastClickHwnd = 0;  // a third click is a plain click again
    } else {
      s.lastClickHwnd = target;
      s.lastClickButton = bi;
      s.lastClickTime = now;
      s.lastClickPos = s.cursorPos;
    }
  }
  QueueInput(Msg{target, msg, MouseKeyFlags(), ClientPointParam(target)});
}

void Wheel(Hwnd top, Point p, int32_t delta, bool horizontal) {
  State& s = S();
  Node* t = Find(top);
  if (!t) return;
  s.cursorPos = {p.x + t->bounds.left, p.y + t->bounds.top};
  Hwnd target = s.focus ? s.focus : s.active;
  if (!target) target = MouseTarget(top, p);
  if (!target) return;
  QueueInput(Msg{target, horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL,
                   MakeWParam(MouseKeyFlags(), uint32_t(uint16_t(int16_t(delta)))),
                   MakeLParam(s.cursorPos.x, s.cursorPos.y)});
}

void FocusChanged(Hwnd top, bool focused) {
  State& s = S();
  if (!Find(top)) return;
  if (focused) {
    if (s.active != top) ActivateInternal(top, WA_ACTIVE, false);
    return;
  }
  if (s.active != top) return;
  // Another program took the keyboard: deactivate, remembering the focus for the return.
  Node* n = Find(top);
  if (s.focus && IsDescendant(top, s.focus)) n->lastFocus = s.focus;
  SetFocus(0);
  s.active = 0;
  SendMessage(top, WM_ACTIVATE, WA_INACTIVE, 0);
  s.appActive = false;
  SendActivateApp(false);
  // Keys held while the focus left are released for the program.
  ResetInputState();
}

void CloseRequested(Hwnd top) { PostMessage(top, WM_CLOSE); }

void Configured(Hwnd top, const Rect& bounds) {
  Node* n = Find(top);
  if (!n || n->parent != 0 || n->bounds == bounds) return;
  // Record the new place without asking the backend to move the window again.
  bool inBackend = n->inBackend;
  n->inBackend = false;
  SetWindowPos(top, 0, bounds, SWP_NOZORDER | SWP_NOACTIVATE);
  if (Node* again = Find(top)) again->inBackend = inBackend;
}

void Exposed(Hwnd top, const Rect& r) {
  Node* n = Find(top);
  if (n) n->changed.Union(r.Intersect(n->surface->Bounds()));
}

}  // namespace input
}  // namespace plat
