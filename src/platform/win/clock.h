#pragma once
// The clock that timers, caret blinking, double-click detection and message times run on. The
// window system owns one; the headless backend can use a test clock that only moves when a test
// advances it, so timer behaviour is reproducible.
#include <cstdint>

namespace plat {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; never goes backwards.
  virtual uint64_t NowMs() const = 0;
};

class SystemClock : public Clock {
 public:
  uint64_t NowMs() const override;
};

class TestClock : public Clock {
 public:
  uint64_t NowMs() const override { return now_; }
  void Advance(uint64_t ms) { now_ += ms; }

 private:
  uint64_t now_ = 1000;
};

}  // namespace plat
