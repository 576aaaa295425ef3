#include "foundation/ui/key_routing.h"

#include <cstdlib>

#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/key_state.h"
#include "platform/controls/scroll_bar.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

using plat::Control;

namespace {

int32_t g_wheelLines = 3;
// Set while a wheel message is being redirected to the window under the cursor, so that a
// message coming back is not sent again.
bool g_wheelRedirecting = false;

// The class layer's hot-key step, answered by the hot-key manager.
intptr_t OfferToHotKeyManager(plat::Control&, uint32_t msg, uintptr_t key, intptr_t keyData) {
  switch (msg) {
    case plat::WM_KEYDOWN:
      return HotKeyService().CNKeyDown(uint8_t(key), keyData);
    case plat::WM_SYSKEYDOWN: {
      // Kept from the system unless the manager lets it go (it keeps Shift, Ctrl and Alt alone
      // and the keys of an Alt+keypad code).
      intptr_t result = 1;
      HotKeyService().WMSysKeyDown(uint8_t(key), keyData, result);
      return result;
    }
    case plat::WM_SYSCHAR: {
      intptr_t result = 0;
      HotKeyService().WMSysChar(char16_t(key), keyData, result);
      return result;
    }
    default:
      return 0;
  }
}

// ---- Wheel ----

plat::Rect ScreenBounds(const Control& c) {
  if (c.Handle()) return plat::GetWindowScreenRect(c.Handle());
  plat::Point o = c.Parent() ? c.Parent()->ClientToScreen({c.Left(), c.Top()})
                             : plat::Point{c.Left(), c.Top()};
  return {o.x, o.y, o.x + c.Width(), o.y + c.Height()};
}

intptr_t DefaultWheel(Control& c, uintptr_t wParam, intptr_t lParam) {
  return c.Perform(plat::WM_MOUSEWHEEL, wParam, lParam);
}

// Scrolls a scroll bar target for a wheel turn, only with nothing held or Shift alone. Each
// notch (a partial notch counts as a whole one) moves the bar one page when Shift is held, the
// system pages (lines -1) or `lines` small steps would reach a page anyway; otherwise `lines`
// small steps. False when nothing scrolled.
bool ScrollBarByNotches(plat::ScrollBar& bar, int32_t delta, plat::ShiftState shift) {
  if (shift != 0 && shift != plat::ssShift) return false;
  int32_t lines = WheelScrollLines();
  int32_t direction = delta > 0 ? -1 : 1;
  bool stepped = false;
  for (int32_t n = std::abs(delta); n > 0; n -= plat::WHEEL_DELTA) {
    bool page = shift == plat::ssShift || lines == -1 ||
                int64_t(bar.SmallChange()) * lines >= bar.LargeChange();
    if (page) {
      bar.SetPosition(int32_t(int64_t(bar.Position()) + int64_t(bar.LargeChange()) * direction));
      stepped = true;
    } else {
      for (int32_t i = 0; i < lines; ++i) {
        bar.SetPosition(
            int32_t(int64_t(bar.Position()) + int64_t(bar.SmallChange()) * direction));
        stepped = true;
      }
    }
  }
  return stepped;
}

}  // namespace

void InstallKeyRouting() { Control::SetHotKeyHandler(&OfferToHotKeyManager); }
void UninstallKeyRouting() { Control::SetHotKeyHandler(nullptr); }

int32_t WheelScrollLines() { return g_wheelLines; }
void SetWheelScrollLines(int32_t lines) { g_wheelLines = lines; }

intptr_t RouteKeyMessage(plat::Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  return plat::SendMessage(hwnd, plat::CN_BASE + msg, wParam, lParam);
}

intptr_t RouteMouseWheel(Control& control, uintptr_t wParam, intptr_t lParam) {
  plat::Point cursor = plat::GetCursorPos();
  plat::Hwnd under = plat::WindowFromPoint(cursor);
  Control* bar = control.WheelScrollBar;
  Control* target = bar ? bar : &control;
  auto* targetBar = dynamic_cast<plat::ScrollBar*>(target);
  // Forms of the class layer have no scroll range of their own: only scroll bars scroll here.
  if (targetBar && ScreenBounds(control).Contains(cursor)) {
    int32_t delta = int16_t(plat::HiWord(wParam));
    plat::ShiftState shift = GetAsyncShiftState();
    if (control.OnMouseWheel) {
      control.OnMouseWheel(control, shift, delta, cursor);
      return 1;
    }
    if (ScrollBarByNotches(*targetBar, delta, shift)) return 1;
    return DefaultWheel(control, wParam, lParam);
  }
  // Redirection.
  if (bar && ScreenBounds(*bar).Contains(cursor)) return RouteMouseWheel(*bar, wParam, lParam);
  if (control.Handle() && control.Handle() == under) {
    DefaultWheel(control, wParam, lParam);
    return 1;
  }
  if (under && !g_wheelRedirecting) {
    g_wheelRedirecting = true;
    try {
      if (Control* c = plat::FindControl(under)) RouteMouseWheel(*c, wParam, lParam);
      else plat::SendMessage(under, plat::WM_MOUSEWHEEL, wParam, lParam);
    } catch (...) {
      g_wheelRedirecting = false;
      throw;
    }
    g_wheelRedirecting = false;
  }
  return 1;
}

}  // namespace qv
