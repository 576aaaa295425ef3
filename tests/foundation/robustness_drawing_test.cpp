// The program's own drawing helpers with sizes and coordinates at the ends of the 32-bit range:
// a failed growth keeps the off-screen bitmap usable, and far-reaching lines cost only what shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "foundation/graphics/draw_helpers.h"
#include "foundation/base/geometry.h"
#include "foundation/graphics/offscreen_bitmap.h"

using namespace qv;

namespace {

constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;

TEST(DrawingHelperRobustness, FailedGrowthKeepsTheBitmapWhole) {
  TServiceBitmap b(10, 8);
  for (const auto& [w, h] : {std::pair{kMax, 5}, std::pair{5, kMax}, std::pair{40000, 40000}}) {
    EXPECT_THROW(b.GrowTo(w, h), plat::GfxError);
    EXPECT_EQ(b.Width, 10);
    EXPECT_EQ(b.Height, 8);
  }
  // Still whole: its canvas and pixels work.
  b.FillRect({0, 0, 10, 8}, 0x00FFFFFF);
  b.Canvas().FillRect({0, 0, 2, 2}, 0);
  b.Canvas().Flush();
  EXPECT_EQ(b.Bitmap().GetPixel(5, 5), 0x00FFFFFFu);
}

TEST(DrawingHelperRobustness, ExtremeLinesAndAreas) {
  TServiceBitmap b(16, 12);
  const int32_t savedWidth = LineWidth;
  for (int32_t width : {1, 3, kMax}) {
    LineWidth = width;
    for (const auto& [a, z] : {std::pair{kMin, kMax}, std::pair{kMax, kMin}, std::pair{kMax - 1, kMax},
                               std::pair{kMin, kMin + 3}, std::pair{-3, 20}}) {
      for (int32_t pattern = -1; pattern <= 5; ++pattern) {
        b.PatternHLine(a, z, pattern, 0x000000FF, a);
        b.PatternVLine(z, a, pattern, 0x000000FF, z);
      }
      b.FillBounds(a, z, 0x00FF0000, kMax, kMax);
      b.FrameBounds(z, a, 0x00FF0000, kMax, kMin);
      b.FrameArea(a, a, 0x0000FF00, z, z);
      // Dotted lines across the whole coordinate range: 400 million dots if walked, a few shown.
      DottedHLine(b.Canvas(), a, z, 0x00123456, 3);
      DottedVLine(b.Canvas(), 3, a, 0x00123456, z);
    }
  }
  LineWidth = savedWidth;
  b.Canvas().Flush();
}

TEST(DrawingHelperRobustness, DottedLinesKeepTheirRhythmWhenClipped) {
  TServiceBitmap b(30, 4);
  b.FillRect({0, 0, 30, 4}, 0x00FFFFFF);
  const int32_t savedWidth = LineWidth;
  LineWidth = 1;
  DottedHLine(b.Canvas(), -1000003, 1000000, 0, 1);  // dots at -1000003 + 5k: x = 2, 7, 12 ...
  LineWidth = savedWidth;
  b.Canvas().Flush();
  for (int32_t x = 0; x < 30; ++x) EXPECT_EQ(b.Bitmap().GetPixel(x, 1) == 0, x % 5 == 2) << x;
}

TEST(DrawingHelperRobustness, WaveAcrossTheWholeRangeDrawsWhatShows) {
  // Made whole, this wave would be a billion points; drawn, it is what a short one draws.
  auto draw = [](int32_t x1, int32_t x2) {
    TServiceBitmap b(40, 20);
    b.FillRect({0, 0, 40, 20}, 0x00FFFFFF);
    DrawWave(b.Canvas(), x1, x2, 0, 1, 2, 4, 1, 10);
    b.Canvas().Flush();
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 40; ++x) pixels.push_back(b.Bitmap().GetPixel(x, y));
    return pixels;
  };
  const auto whole = draw(kMin, kMax);
  EXPECT_EQ(whole, draw(-100, 100));
  EXPECT_NE(std::count(whole.begin(), whole.end(), 0u), 0);
}

}  // namespace
