// Timers by window and id on the window system's clock.
#include <algorithm>

#include "platform/win/window_system.h"
#include "platform/win/window_system_internal.h"

namespace plat {
namespace detail {

// The earliest due timer (ties: the one set first). With remove, its next turn is one interval
// from now: a late timer fires once, not once per missed interval.
bool TakeDueTimer(Msg& out, bool remove) {
  State& s = S();
  uint64_t now = s.clock->NowMs();
  Timer* best = nullptr;
  for (Timer& t : s.timers) {
    if (t.due > now) continue;
    if (!best || t.due < best->due || (t.due == best->due && t.seq < best->seq)) best = &t;
  }
  if (!best) return false;
  out = Msg{best->hwnd, WM_TIMER, best->id, 0, uint32_t(now), s.cursorPos.x, s.cursorPos.y};
  if (remove) best->due = now + best->interval;
  return true;
}

int64_t MsUntilNextTimer() {
  State& s = S();
  if (s.timers.empty()) return -1;
  uint64_t now = s.clock->NowMs();
  uint64_t next = UINT64_MAX;
  for (const Timer& t : s.timers) next = std::min(next, t.due);
  return next <= now ? 0 : int64_t(next - now);
}

}  // namespace detail

using namespace detail;

uint32_t SetTimer(Hwnd hwnd, uint32_t id, uint32_t intervalMs, TimerProc proc) {
  State& s = S();
  if (hwnd != 0 && !Find(hwnd)) return 0;
  if (hwnd == 0) {
    bool known = id != 0 && std::any_of(s.timers.begin(), s.timers.end(), [&](const Timer& t) {
                   return t.hwnd == 0 && t.id == id;
                 });
    if (!known) id = ++s.nextThreadTimerId;
  }
  // Below 10 ms a timer would keep the loop from ever being idle.
  uint32_t interval = std::max<uint32_t>(intervalMs, 10);
  uint64_t due = s.clock->NowMs() + interval;
  for (Timer& t : s.timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.interval = interval;
      t.due = due;
      t.seq = ++s.timerSeq;
      t.proc = std::move(proc);
      return id;
    }
  }
  s.timers.push_back({hwnd, id, interval, due, ++s.timerSeq, std::move(proc)});
  return id;
}

bool KillTimer(Hwnd hwnd, uint32_t id) {
  State& s = S();
  size_t n = std::erase_if(s.timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  // A WM_TIMER already queued for it is not delivered any more.
  std::erase_if(s.queue, [&](const QueuedMsg& q) {
    return q.msg.message == WM_TIMER && q.msg.hwnd == hwnd && q.msg.wParam == id;
  });
  return n > 0;
}

}  // namespace plat
