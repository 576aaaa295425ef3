#pragma once
// Synthetic input and inspection for tests on the headless backend. Input is queued like real
// input (run the loop, e.g. PumpPending(), to deliver it); points are client coordinates of the
// window given.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gfx/types.h"
#include "platform/win/messages.h"

namespace plat::headless {

void KeyDown(uint8_t vk);
void KeyUp(uint8_t vk);
// Down and up, with the shift bits (1 Shift, 2 Alt, 4 Ctrl) held around it.
void PressKey(uint8_t vk, uint8_t shiftBits = 0);
// One character message per code point of the UTF-8 text.
void TypeText(std::string_view utf8);

void MouseMove(Hwnd hwnd, Point p);
void MouseDown(Hwnd hwnd, Point p, int button = 0);  // 0 left, 1 right, 2 middle
void MouseUp(Hwnd hwnd, Point p, int button = 0);
void Click(Hwnd hwnd, Point p, int button = 0);
void Drag(Hwnd hwnd, Point from, Point to, int button = 0, int steps = 4);
void Wheel(Hwnd hwnd, Point p, int32_t delta);

// The outside world gives the keyboard focus to another program, or back to a window.
void FocusAway(Hwnd topLevel);
void FocusBack(Hwnd topLevel);
// The user closes the window with the window manager.
void RequestClose(Hwnd topLevel);

// Moves the test clock on (only when the window system was started with a test clock).
void AdvanceClock(uint64_t ms);

// Number of Present() calls so far for a top-level window (how often its image was shown).
int PresentCount(Hwnd topLevel);

}  // namespace plat::headless
