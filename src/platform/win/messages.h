#pragma once
// Message numbers, window styles and the flags that travel with messages. The numbers are the
// ones the system's own code quotes (stored key tables, settings, its own message numbers such as
// WM_USER + 1000), so they keep their traditional values.
#include <cstdint>

namespace plat {

// Window handles: small numbers, never reused within a run, 0 for "no window".
using Hwnd = uint32_t;

// ---- Messages ----
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_ENABLE = 0x000A;
constexpr uint32_t WM_SETTEXT = 0x000C;
constexpr uint32_t WM_GETTEXT = 0x000D;
constexpr uint32_t WM_GETTEXTLENGTH = 0x000E;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUERYENDSESSION = 0x0011;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ERASEBKGND = 0x0014;
constexpr uint32_t WM_ENDSESSION = 0x0016;
constexpr uint32_t WM_SHOWWINDOW = 0x0018;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_FONTCHANGE = 0x001D;
constexpr uint32_t WM_CANCELMODE = 0x001F;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_MOUSEACTIVATE = 0x0021;
constexpr uint32_t WM_WINDOWPOSCHANGING = 0x0046;
constexpr uint32_t WM_WINDOWPOSCHANGED = 0x0047;
constexpr uint32_t WM_CONTEXTMENU = 0x007B;
constexpr uint32_t WM_NCDESTROY = 0x0082;
constexpr uint32_t WM_NCPAINT = 0x0085;
constexpr uint32_t WM_GETDLGCODE = 0x0087;
constexpr uint32_t WM_KEYFIRST = 0x0100;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_DEADCHAR = 0x0103;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCHAR = 0x0106;
constexpr uint32_t WM_SYSDEADCHAR = 0x0107;
constexpr uint32_t WM_KEYLAST = 0x0108;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_HSCROLL = 0x0114;
constexpr uint32_t WM_VSCROLL = 0x0115;
constexpr uint32_t WM_MOUSEFIRST = 0x0200;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_MOUSEHWHEEL = 0x020E;
constexpr uint32_t WM_MOUSELAST = 0x020E;
constexpr uint32_t WM_CAPTURECHANGED = 0x0215;
constexpr uint32_t WM_HOTKEY = 0x0312;
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_APP = 0x8000;

// ---- Window styles ----
constexpr uint32_t WS_OVERLAPPED = 0x00000000;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_MINIMIZE = 0x20000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_DISABLED = 0x08000000;
constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr uint32_t WS_MAXIMIZE = 0x01000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_TABSTOP = 0x00010000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr uint32_t WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080;
constexpr uint32_t WS_EX_NOACTIVATE = 0x08000000;
// Class style: the window wants double-click messages.
constexpr uint32_t CS_DBLCLKS = 0x0008;

// ---- Message parameters ----
// WM_ACTIVATE
constexpr uintptr_t WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_SIZE
constexpr uintptr_t SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
// WM_SETCURSOR hit test code in the low word of lParam
constexpr uint32_t HTCLIENT = 1;
// Mouse message key state (wParam)
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;
// One notch of the mouse wheel.
constexpr int32_t WHEEL_DELTA = 120;
// Hot-key modifiers (RegisterHotKey)
constexpr uint32_t MOD_ALT = 0x0001;
constexpr uint32_t MOD_CONTROL = 0x0002;
constexpr uint32_t MOD_SHIFT = 0x0004;
constexpr uint32_t MOD_WIN = 0x0008;
// Key message lParam bits
constexpr uint32_t KF_EXTENDED_BIT = 1u << 24;
constexpr uint32_t KF_ALTDOWN_BIT = 1u << 29;
constexpr uint32_t KF_REPEAT_BIT = 1u << 30;
constexpr uint32_t KF_UP_BIT = 1u << 31;

// SetWindowPos flags
constexpr uint32_t SWP_NOSIZE = 0x0001;
constexpr uint32_t SWP_NOMOVE = 0x0002;
constexpr uint32_t SWP_NOZORDER = 0x0004;
constexpr uint32_t SWP_NOACTIVATE = 0x0010;
constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
constexpr uint32_t SWP_HIDEWINDOW = 0x0080;
// Special insert-after handles of SetWindowPos
constexpr Hwnd HWND_TOP = 0;
constexpr Hwnd HWND_BOTTOM = 1;
constexpr Hwnd HWND_TOPMOST = 0xFFFFFFFFu;
constexpr Hwnd HWND_NOTOPMOST = 0xFFFFFFFEu;

// Packing helpers for the two message parameters.
constexpr intptr_t MakeLParam(int32_t lo, int32_t hi) {
  return intptr_t(int32_t((uint32_t(uint16_t(lo))) | (uint32_t(uint16_t(hi)) << 16)));
}
constexpr uintptr_t MakeWParam(uint32_t lo, uint32_t hi) {
  return uintptr_t((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
constexpr uint16_t LoWord(uintptr_t v) { return uint16_t(v & 0xFFFF); }
constexpr uint16_t HiWord(uintptr_t v) { return uint16_t((v >> 16) & 0xFFFF); }
// Signed coordinates packed in a parameter (mouse positions may be negative under capture).
constexpr int32_t GetXParam(intptr_t l) { return int16_t(uintptr_t(l) & 0xFFFF); }
constexpr int32_t GetYParam(intptr_t l) { return int16_t((uintptr_t(l) >> 16) & 0xFFFF); }

// One message as the loop takes it from the queue.
struct Msg {
  Hwnd hwnd = 0;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
  uint32_t time = 0;   // milliseconds on the layer's clock
  int32_t ptX = 0;     // cursor position in screen coordinates when the message was queued
  int32_t ptY = 0;
};

// WM_WINDOWPOSCHANGING (mutable) and WM_WINDOWPOSCHANGED carry a pointer to this in lParam.
struct WindowPos {
  Hwnd hwnd = 0;
  Hwnd insertAfter = 0;
  int32_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t flags = 0;
};

}  // namespace plat
