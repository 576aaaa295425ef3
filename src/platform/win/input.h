#pragma once
// The entry points through which backends (and the headless test input) hand events to the
// window system. Each queues the messages the event makes, in order; nothing is dispatched here.
#include <cstdint>

#include "platform/gfx/types.h"
#include "platform/win/messages.h"

namespace plat::input {

enum class Button { Left, Right, Middle };

// A key went down or up. vk may be a left/right specific modifier (VK_LSHIFT ... VK_RMENU); the
// message then carries the generic number (VK_SHIFT, VK_CONTROL, VK_MENU) and the key state
// knows both. Alt without Ctrl (and F10) makes WM_SYSKEYDOWN/WM_SYSKEYUP.
void Key(uint8_t vk, bool down, bool extended = false, uint32_t scanCode = 0);
// AltGr went down or up. It arrives as VK_RMENU through Key(); while it is held the right Alt
// does not make system keys or system characters, so AltGr characters type as plain text.
void AltGr(bool down);
// A typed character (one per code point; surrogate halves and values past 0x10FFFF are
// dropped): WM_CHAR to the focus, WM_SYSCHAR while Alt is held without Ctrl.
void Char(char32_t codePoint);
// Keyboard state changed outside the program (focus came back): set a key's down state without
// a message.
void SyncKeyState(uint8_t vk, bool down);
void ToggleKeyState(uint8_t vk, bool toggled);

// Mouse events at a point of a top-level window (coordinates relative to its top-left).
void MouseMove(Hwnd topLevel, Point p);
void MouseButton(Hwnd topLevel, Point p, Button b, bool down);
// delta: multiples of WHEEL_DELTA (120) per notch, positive away from the user / to the right.
void Wheel(Hwnd topLevel, Point p, int32_t delta, bool horizontal = false);

// The outside world gave or took the keyboard focus of a top-level window.
void FocusChanged(Hwnd topLevel, bool focused);
// The user asked to close the window (the window manager's close button): posts WM_CLOSE.
void CloseRequested(Hwnd topLevel);
// The outside world is gone (the display connection was lost): the session ends as on SIGTERM
// (the session-end handler runs at the loop's next look at the queue). Safe to call from inside
// a backend's error handling.
void ConnectionLost();
// The window manager moved or resized the window (screen coordinates).
void Configured(Hwnd topLevel, const Rect& bounds);
// Part of the window must be shown again (the image is still there).
void Exposed(Hwnd topLevel, const Rect& r);

}  // namespace plat::input
