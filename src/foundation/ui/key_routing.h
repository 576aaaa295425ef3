#pragma once
// Key and mouse-wheel routing of the program.
//
// Keys: the routing chain every key press passes before a control sees it belongs to the class
// layer (platform/controls/control.h: the parents' ChildKey, the form's dialog keys, the hot
// keys for controls with HotKeysThrough, then the form's preview and the control). The
// application object reflects each key message to its window first (RouteKeyMessage); a
// non-zero answer means the chain took the key and the message is not dispatched. The program
// connects the chain's hot-key step to the hot-key manager (InstallKeyRouting).
//
// The wheel: the message that the system gives the focused control goes through
// RouteMouseWheel: a scroll bar target (the control's WheelScrollBar, or the control itself)
// scrolls by notches; otherwise the message is redirected, once, to the window under the
// cursor.
#include <cstdint>

#include "platform/controls/control.h"

namespace qv {

// Connects the class layer's hot-key step to the hot-key manager (HotKeyService); the
// application object does it while it exists.
void InstallKeyRouting();
void UninstallKeyRouting();

// Reflects a key message (WM_KEYDOWN ... WM_SYSCHAR) to the window hwnd as CN_KEYDOWN ...;
// the result of the reflected message (non-zero: handled).
intptr_t RouteKeyMessage(plat::Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// The system's wheel-scroll lines per notch (-1: a page per notch); 3 unless set.
int32_t WheelScrollLines();
void SetWheelScrollLines(int32_t lines);

// The wheel handling of a control: wParam's high word is the signed delta, lParam the cursor's
// screen point. Falls back on the control's own (class layer) wheel handling where the chain
// scrolls nothing.
intptr_t RouteMouseWheel(plat::Control& control, uintptr_t wParam, intptr_t lParam);

}  // namespace qv
