#pragma once
// The cursor of a control, from the application's cursor table.
#include <cstdint>

#include "platform/controls/control.h"

namespace qv {

// Gives the control the application's cursor of that id and shows it at once.
void SetControlCursor(plat::Control& control, int32_t cursorId);

}  // namespace qv
