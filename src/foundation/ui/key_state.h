#pragma once
// The state of keys and mouse buttons, as the windows ask for it.
#include <cstdint>

#include "platform/controls/control.h"

namespace qv {

// True while the key is down, as the message being handled saw it.
bool IsKeyDown(uint8_t vk);
// 1 Shift, 4 Ctrl, 8 left button, 16 right button as they are now (Alt is not reported).
plat::ShiftState GetAsyncShiftState();

}  // namespace qv
