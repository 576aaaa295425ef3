// The mouse-position helpers of geometry.h, kept apart because they need the window system.
#include "foundation/base/geometry.h"
#include "platform/win/window_system.h"

namespace qv {

void GetCursorPosition(plat::Point& out) { out = plat::GetCursorPos(); }

void GetClientCursorPos(plat::Hwnd control, plat::Point& out) {
  out = plat::ScreenToClient(control, plat::GetCursorPos());
}

bool IsMouseOverControl(plat::Hwnd control) {
  return plat::GetWindowScreenRect(control).Contains(plat::GetCursorPos());
}

}  // namespace qv
