#pragma once
// The user's last action: keyboard and mouse input of the document windows, hot keys, commands,
// clipboard notifications. Background work that must not disturb typing waits until the user
// has been inactive for a while.
#include <cstdint>

namespace qv {

// Notes that the user acted just now.
void MarkUserActivity();
// True when at least that many milliseconds passed since the last action.
bool IdleFor(uint32_t milliseconds);
// The tick of the last action.
uint32_t LastActivityTick();

}  // namespace qv
