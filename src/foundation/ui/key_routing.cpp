#include "foundation/ui/key_routing.h"

#include <cstdlib>
#include <unordered_map>

#include "foundation/ui/application.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/key_state.h"
#include "platform/controls/form.h"
#include "platform/controls/popup.h"
#include "platform/controls/scroll_bar.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

using plat::Control;

namespace {

struct RoutingProps {
  bool hotKeysThrough = false;
  Control* wheelScrollBar = nullptr;
};

std::unordered_map<const Control*, RoutingProps>& Props() {
  static std::unordered_map<const Control*, RoutingProps> props;
  return props;
}

int32_t g_wheelLines = 3;
// Set while a wheel message is being redirected to the window under the cursor, so that a
// message coming back is not sent again.
bool g_wheelRedirecting = false;

// The key class mask of the special keys: which WM_GETDLGCODE bits say the control wants them.
uint32_t KeyMask(uint8_t key) {
  switch (key) {
    case plat::VK_CANCEL:
    case plat::VK_RETURN:
    case plat::VK_EXECUTE:
      return plat::DLGC_WANTALLKEYS;
    case plat::VK_TAB:
      return plat::DLGC_WANTTAB;
    case plat::VK_LEFT:
    case plat::VK_UP:
    case plat::VK_RIGHT:
    case plat::VK_DOWN:
      return plat::DLGC_WANTARROWS;
    default:
      return 0;
  }
}

bool IsSpecialKey(uint8_t key) { return KeyMask(key) != 0 || key == plat::VK_ESCAPE; }

// The control and then its parents may take a key meant for a descendant.
bool OfferChildKey(Control& c, uint8_t key, plat::ShiftState shift) {
  uint8_t k = key;
  return c.ChildKey(k, shift);
}

bool OfferDialogKey(Control& c, uint8_t key, plat::ShiftState shift) {
  plat::Form* form = c.ParentForm();
  return form && form->FormDialogKey(key, shift & (plat::ssShift | plat::ssAlt | plat::ssCtrl));
}

bool OfferDialogChar(Control& c, char16_t ch) {
  plat::Form* form = c.ParentForm();
  return form && form->FormDialogChar(ch);
}

intptr_t KeyDown(Control& c, uint8_t key, intptr_t keyData) {
  plat::ShiftState shift = plat::CurrentShiftState();
  // An open drop-down takes its own Escape before anything else sees it.
  if (key == plat::VK_ESCAPE && plat::CloseTopPopup()) return 1;
  if (OfferChildKey(c, key, shift)) return 1;
  uint32_t mask = KeyMask(key);
  bool toForm = key == plat::VK_ESCAPE;
  if (!toForm && mask != 0)
    toForm = c.Perform(plat::CM_WANTSPECIALKEY, key, keyData) == 0 &&
             (uint32_t(c.Perform(plat::WM_GETDLGCODE)) & mask) == 0;
  if (toForm && OfferDialogKey(c, key, shift)) return 1;
  if (HotKeysThrough(c) && key != plat::VK_RETURN && key != plat::VK_DELETE)
    return HotKeyService().CNKeyDown(key, keyData);
  return 0;
}

intptr_t SysKeyDown(Control& c, uint8_t key, intptr_t keyData) {
  plat::ShiftState shift = plat::CurrentShiftState();
  if (OfferChildKey(c, key, shift)) return 1;
  if (OfferDialogKey(c, key, shift)) return 1;
  intptr_t result = 1;
  if (!HotKeysThrough(c)) return 0;
  HotKeyService().WMSysKeyDown(key, keyData, result);
  return result;
}

intptr_t Char(Control& c, char16_t ch) {
  if ((uint32_t(c.Perform(plat::WM_GETDLGCODE)) & plat::DLGC_WANTCHARS) == 0 &&
      OfferDialogChar(c, ch))
    return 1;
  return 0;
}

intptr_t SysChar(Control& c, char16_t ch, intptr_t keyData) {
  intptr_t result = 0;
  if (ch != u' ') result = OfferDialogChar(c, ch) ? 1 : 0;
  if (HotKeysThrough(c) && result == 0) HotKeyService().WMSysChar(ch, keyData, result);
  return result;
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

// Steps 3 to 5 for a scroll bar target: one page or `lines` single steps per notch (a partial
// notch counts as a whole one). False when nothing scrolled.
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

// Entries of destroyed controls must go, or a new control at the same address would inherit
// them; the application object's destroy hook does it while it exists.
void EnsureForgetHook() {
  if (!AppExists()) Control::SetDestroyHook([](Control* c) { ForgetRoutingProperties(c); });
}

}  // namespace

void SetHotKeysThrough(const Control& control, bool on) {
  EnsureForgetHook();
  Props()[&control].hotKeysThrough = on;
}

bool HotKeysThrough(const Control& control) {
  auto it = Props().find(&control);
  return it != Props().end() && it->second.hotKeysThrough;
}

void SetWheelScrollBar(const Control& control, Control* bar) {
  EnsureForgetHook();
  Props()[&control].wheelScrollBar = bar;
}

Control* WheelScrollBar(const Control& control) {
  auto it = Props().find(&control);
  return it != Props().end() ? it->second.wheelScrollBar : nullptr;
}

void ForgetRoutingProperties(const Control* control) {
  Props().erase(control);
  // A control that was somebody's wheel bar is no longer there to be scrolled.
  for (auto& [owner, p] : Props())
    if (p.wheelScrollBar == control) p.wheelScrollBar = nullptr;
}

int32_t WheelScrollLines() { return g_wheelLines; }
void SetWheelScrollLines(int32_t lines) { g_wheelLines = lines; }

intptr_t RouteControlKey(Control& control, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  uint8_t key = uint8_t(wParam);
  switch (msg) {
    case plat::CN_KEYDOWN:
      return KeyDown(control, key, lParam);
    case plat::CN_KEYUP:
      return IsSpecialKey(key) ? control.Perform(plat::CM_WANTSPECIALKEY, wParam, lParam) : 0;
    case plat::CN_CHAR:
      return Char(control, char16_t(wParam));
    case plat::CN_SYSKEYDOWN:
      return SysKeyDown(control, key, lParam);
    case plat::CN_SYSCHAR:
      return SysChar(control, char16_t(wParam), lParam);
    default:
      return 0;
  }
}

intptr_t RouteKeyMessage(plat::Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  uint32_t reflected = plat::CN_BASE + msg;
  if (Control* c = plat::FindControl(hwnd)) {
    intptr_t result = RouteControlKey(*c, reflected, wParam, lParam);
    // The chain ran: the class layer must not run its own again for the message that follows.
    if (result == 0)
      if (Control* still = plat::FindControl(hwnd)) still->KeyRouted(msg, wParam);
    return result;
  }
  return plat::SendMessage(hwnd, reflected, wParam, lParam);
}

intptr_t RouteMouseWheel(Control& control, uintptr_t wParam, intptr_t lParam) {
  plat::Point cursor = plat::GetCursorPos();
  plat::Hwnd under = plat::WindowFromPoint(cursor);
  Control* bar = WheelScrollBar(control);
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
