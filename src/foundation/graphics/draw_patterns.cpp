// The point and bar computations behind the wave lines and underline samples of
// draw_helpers.h; they need no canvas.
#include <algorithm>
#include <utility>

#include "foundation/graphics/draw_helpers.h"

namespace qv {

namespace {

// The remainder in [0, m) whatever the sign of v, so patterns line up left of the origin too.
int32_t FloorMod(int64_t v, int32_t m) {
  int64_t r = v % m;
  return static_cast<int32_t>(r < 0 ? r + m : r);
}

struct BarPattern {
  int32_t period;
  std::vector<std::pair<int32_t, int32_t>> bars;  // offset in the period, width
};

bool PatternOf(int32_t code, BarPattern& out) {
  switch (code) {
    case 4: case 20: out = {4, {{0, 2}}}; return true;
    case 7: case 23: out = {12, {{0, 8}}}; return true;
    case 39: case 55: out = {20, {{0, 12}}}; return true;
    case 9: case 25: out = {14, {{0, 8}, {10, 2}}}; return true;
    case 10: case 26: out = {18, {{0, 8}, {10, 2}, {14, 2}}}; return true;
    default: return false;
  }
}

bool IsThick(int32_t code) {
  return code == 20 || code == 23 || code == 25 || code == 26 || code == 55;
}

}  // namespace

std::vector<plat::Point> WavePoints(int32_t x1, int32_t x2, int32_t width, int32_t amplitude,
                                    int32_t period, int32_t phase, int32_t y) {
  period = std::max(period, 2);
  const int32_t step = period / 2;
  const int64_t end = int64_t{period} + x2 - FloorMod(int64_t{phase} + x2, period);
  int64_t x = x1 - FloorMod(int64_t{x1} + phase, period);
  const bool split = width >= 3 && period >= 3 && amplitude >= 3;
  std::vector<plat::Point> points;
  for (; x <= end; x += step) {
    bool low = FloorMod(x + phase, period) == 0;
    int32_t vy = low ? y + amplitude : y - amplitude;
    int32_t px = static_cast<int32_t>(x);
    if (!split) {
      points.push_back({px, vy});
      continue;
    }
    // Two points per vertex keep thick lines from making spikes.
    int32_t half = width / 2;
    int32_t sy = low ? vy - half : vy + half;
    points.push_back({px + 1 - half, sy});
    points.push_back({px + width - 1, sy});
  }
  return points;
}

std::vector<plat::Rect> UnderlinePreviewBars(const plat::Rect& rect, int32_t code) {
  std::vector<plat::Rect> bars;
  auto bar = [&](int32_t left, int32_t top, int32_t width, int32_t height) {
    int32_t right = std::min(left + width, rect.right);
    if (right > left) bars.push_back({left, top, right, top + height});
  };
  const int32_t line = (rect.top + rect.bottom - 1) / 2;
  switch (code) {
    case 1: bar(rect.left, line, rect.Width(), 1); return bars;
    case 6: bar(rect.left, (rect.top + rect.bottom - 2) / 2, rect.Width(), 2); return bars;
    case 3: {
      int32_t y = (rect.top + rect.bottom - 3) / 2;
      bar(rect.left, y + 2, rect.Width(), 1);
      bar(rect.left, y, rect.Width(), 1);
      return bars;
    }
    default: break;
  }
  BarPattern pattern;
  if (!PatternOf(code, pattern)) return bars;
  const int32_t height = IsThick(code) ? 2 : 1;
  for (int32_t x = rect.left; x < rect.right; x += pattern.period) {
    for (const auto& [offset, width] : pattern.bars) {
      if (x + offset < rect.right) bar(x + offset, line, width, height);
    }
  }
  return bars;
}

}  // namespace qv
