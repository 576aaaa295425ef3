#pragma once
// Milliseconds since an arbitrary start, from the monotonic clock.
#include <cstdint>

namespace plat {

// Wraps around after about 49.7 days, as callers comparing tick differences expect.
uint32_t GetTickCount();
uint64_t GetTickCount64();

}  // namespace plat
