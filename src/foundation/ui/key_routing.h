#pragma once
// The routing chain every key press passes before a control sees it, and the mouse-wheel
// routing that sends a wheel turn to the window under the cursor rather than the focused one.
//
// The application object reflects each key message to its window (CN_KEYDOWN ...) through
// RouteKeyMessage; a non-zero answer means the chain handled the key and the message is not
// dispatched. For a key-down the chain is:
//   1. the control and its parents (ChildKey);
//   2. the parent form's dialog keys (Tab, arrows, Enter, Escape), for Escape always and for the
//      other special keys unless the control wants them (CM_WANTSPECIALKEY, WM_GETDLGCODE);
//   3. the hot-key manager, for controls with HotKeysThrough, never with Enter or Delete.
// A key the chain leaves then reaches the form's key preview and the control itself (the class
// layer's own key handling). Escape first closes an open drop-down popup.
//
// The wheel message that the system gives the focused control goes through RouteMouseWheel:
// a scroll bar target (the control's WheelScrollBar, or the control itself) scrolls by notches;
// otherwise the message is redirected, once, to the window under the cursor.
#include <cstdint>

#include "platform/controls/control.h"

namespace qv {

// Per-control routing properties of the class layer's controls (kept beside the controls; a
// destroyed control's entries are dropped by ForgetRoutingProperties).
// HotKeysThrough: the control passes its key-downs, system key-downs and system characters to
// the hot-key manager (default false).
void SetHotKeysThrough(const plat::Control& control, bool on);
bool HotKeysThrough(const plat::Control& control);
// WheelScrollBar: the scroll bar that the mouse wheel moves for this control (default none).
void SetWheelScrollBar(const plat::Control& control, plat::Control* bar);
plat::Control* WheelScrollBar(const plat::Control& control);
void ForgetRoutingProperties(const plat::Control* control);

// The system's wheel-scroll lines per notch (-1: a page per notch); 3 unless set.
int32_t WheelScrollLines();
void SetWheelScrollLines(int32_t lines);

// Runs the chain for a key message (WM_KEYDOWN ... WM_SYSCHAR) reflected to the window hwnd;
// the result of the reflected message (non-zero: handled).
intptr_t RouteKeyMessage(plat::Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// The reflected messages for one control (msg is CN_KEYDOWN, CN_KEYUP, CN_CHAR, CN_SYSKEYDOWN
// or CN_SYSCHAR).
intptr_t RouteControlKey(plat::Control& control, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// The wheel handling of a control: wParam's high word is the signed delta, lParam the cursor's
// screen point. Falls back on the control's own (class layer) wheel handling where the chain
// scrolls nothing.
intptr_t RouteMouseWheel(plat::Control& control, uintptr_t wParam, intptr_t lParam);

}  // namespace qv
