#include "platform/win/clock.h"

#include <chrono>

namespace plat {

uint64_t SystemClock::NowMs() const {
  using namespace std::chrono;
  return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace plat
