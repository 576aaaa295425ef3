#include "shell/activity.h"

#include "platform/win/window_system.h"

namespace qv {

namespace {

uint32_t lastActivity = 0;

}  // namespace

void MarkUserActivity() { lastActivity = plat::GetTickCount(); }

// The difference of two ticks stays right when the 32-bit tick count wraps.
bool IdleFor(uint32_t milliseconds) { return plat::GetTickCount() - lastActivity >= milliseconds; }

uint32_t LastActivityTick() { return lastActivity; }

}  // namespace qv
