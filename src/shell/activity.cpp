#include "shell/activity.h"

#include "document/field_update_state.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

uint32_t lastActivity = 0;

}  // namespace

// The document model keeps its own note of the time (large documents put off the re-pagination
// of their headers and footers while the user is active).
void MarkUserActivity() {
  lastActivity = plat::GetTickCount();
  NoteUserActivity();
}

// The difference of two ticks stays right when the 32-bit tick count wraps.
bool IdleFor(uint32_t milliseconds) { return plat::GetTickCount() - lastActivity >= milliseconds; }

uint32_t LastActivityTick() { return lastActivity; }

}  // namespace qv
