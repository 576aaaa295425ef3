#include <gtest/gtest.h>

#include "foundation/graphics/draw_helpers.h"

using namespace qv;

namespace {

using Points = std::vector<plat::Point>;
using Rects = std::vector<plat::Rect>;

TEST(DrawPatterns, WavePoints) {
  struct Case {
    int32_t x1, x2, width, amplitude, period, phase;
    Points want;
  };
  const Case cases[] = {
      {0, 12, 1, 1, 6, 0, {{0, 11}, {3, 9}, {6, 11}, {9, 9}, {12, 11}, {15, 9}, {18, 11}}},
      // The start moves back to a low point of the phase: (4 + 2) mod 6 = 0.
      {5, 5, 1, 1, 6, 2, {{4, 11}, {7, 9}, {10, 11}}},
      // Thick lines: two points per vertex, moved half the width towards the baseline.
      {0, 0, 3, 3, 6, 0, {{0, 12}, {2, 12}, {3, 8}, {5, 8}, {6, 12}, {8, 12}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WavePoints(c.x1, c.x2, c.width, c.amplitude, c.period, c.phase, 10), c.want)
        << c.x1 << ".." << c.x2;
  }
  // A period under 2 would never advance; it counts as 2.
  for (int32_t period : {0, 1, -4}) {
    EXPECT_EQ(WavePoints(0, 10, 1, 1, period, 0, 5).size(), 13u) << period;
  }
}

TEST(DrawPatterns, UnderlinePreviewBars) {
  const plat::Rect r{0, 0, 30, 10};
  struct Case {
    int32_t code;
    Rects want;
  };
  const Case cases[] = {
      {1, {{0, 4, 30, 5}}},
      {6, {{0, 4, 30, 6}}},
      {3, {{0, 5, 30, 6}, {0, 3, 30, 4}}},
      {9, {{0, 4, 8, 5}, {10, 4, 12, 5}, {14, 4, 22, 5}, {24, 4, 26, 5}, {28, 4, 30, 5}}},
      {25, {{0, 4, 8, 6}, {10, 4, 12, 6}, {14, 4, 22, 6}, {24, 4, 26, 6}, {28, 4, 30, 6}}},
      {0, {}},
      {11, {}},
      {99, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(UnderlinePreviewBars(r, c.code), c.want) << c.code;

  Rects dots = UnderlinePreviewBars(r, 4);
  ASSERT_EQ(dots.size(), 8u);
  EXPECT_EQ(dots.back(), (plat::Rect{28, 4, 30, 5}));
  Rects longDashes = UnderlinePreviewBars(r, 55);
  EXPECT_EQ(longDashes, (Rects{{0, 4, 12, 6}, {20, 4, 30, 6}}));
}

}  // namespace
