#include "foundation/ui/control_cursor.h"

#include "foundation/ui/application.h"
#include "platform/win/window_system.h"

namespace qv {

void SetControlCursor(plat::Control& control, int32_t cursorId) {
  const plat::CursorShape shape = GetApp().GetCursor(cursorId);
  control.SetCursorShape(shape);
  if (plat::IsWindowSystemStarted()) plat::SetCursor(shape);
}

}  // namespace qv
