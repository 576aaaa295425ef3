#include "foundation/base/geometry.h"

#include <gtest/gtest.h>

#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

TEST(Geometry, IntersectRectInPlace) {
  struct Case {
    plat::Rect r, clip;
    bool ok;
    plat::Rect want;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, true, {5, 5, 10, 10}},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {10, 0, 10, 10}},   // side by side: top, bottom kept
      {{0, 0, 10, 10}, {2, 20, 8, 30}, false, {2, 20, 8, 10}},     // above each other
      {{0, 0, 10, 10}, {-5, -5, 50, 50}, true, {0, 0, 10, 10}},
  };
  for (const Case& c : cases) {
    plat::Rect r = c.r;
    EXPECT_EQ(IntersectRectInPlace(r, c.clip), c.ok);
    EXPECT_EQ(r, c.want);
  }
}

TEST(Geometry, PointNearSegment) {
  struct Case {
    plat::Point p, a, b;
    double tolerance;
    bool near;
  };
  const Case cases[] = {
      {{5, 3}, {0, 0}, {10, 0}, 3, true},
      {{5, 4}, {0, 0}, {10, 0}, 3, false},
      {{13, 0}, {0, 0}, {10, 0}, 3, true},    // beyond B: measured to B
      {{-3, 1}, {0, 0}, {10, 0}, 3, false},   // before A: measured to A (3.16)
      {{3, 4}, {0, 0}, {0, 0}, 5, true},      // A = B: distance to A
      {{3, 4}, {0, 0}, {0, 0}, 4.9, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointNearSegment(c.p, c.a, c.b, c.tolerance), c.near)
        << c.p.x << "," << c.p.y << " tol " << c.tolerance;
  }
  EXPECT_TRUE(PointsEqual({1, 2}, {1, 2}));
  EXPECT_FALSE(PointsEqual({1, 2}, {2, 1}));
}

TEST(Geometry, RegionHelpers) {
  plat::Region region;
  AddRectToRegion({0, 0, 10, 10}, region);
  ExcludeRectFromRegion({0, 0, 5, 10}, region);
  EXPECT_EQ(region.Bounds(), (plat::Rect{5, 0, 10, 10}));
}

TEST(Geometry, FindFormScreenRect) {
  struct Moved : TFindFormPlacement {
    bool GetRects(plat::Rect& screen, plat::Rect& placement) const override {
      screen = {110, 220, 300, 400};
      placement = {100, 200, 290, 380};
      return true;
    }
  };
  plat::Rect out;
  FindFormScreenRect({1, 2, 3, 4}, out);
  EXPECT_EQ(out, (plat::Rect{1, 2, 3, 4}));
  {
    ScopedService<TFindFormPlacement, Moved> moved;
    FindFormScreenRect({1, 2, 3, 4}, out);
  }
  EXPECT_EQ(out, (plat::Rect{11, 22, 13, 24}));
}

TEST(Geometry, AdjustColorForBackground) {
  const uint32_t samples[] = {0x000000, 0xFFFFFF, 0x0000FF, 0x808080, 0x12AB34, 0xFFFF00};
  for (uint32_t c : samples) EXPECT_EQ(AdjustColorForBackground(c, 0xFFFFFF), c) << std::hex << c;
  struct Case {
    uint32_t color, background, want;
  };
  const Case cases[] = {
      {0x000000, 0x000000, 0xFFFFFF},  // each channel 0 + 255 * 2.5, capped
      {0xFFFFFF, 0x000000, 0x000000},
      {0xC0C0C0, 0x000000, 0x9E9E9E},  // 63 * 2.5 = 157.5, rounded to 158
      {0xFFFFFF, 0x404040, 0x404040},  // on a dark grey white becomes the background
      {0x000000, 0xC0C0C0, 0x000000},  // light background: as dark as it gets
      {0x000000, 0x606060, 0xFFFFFF},  // dark: lightened by the colour's distance from white
      {0x808080, 0x80C0FF, 0x014180},  // light: each channel darkened by the distance
      {0xFFFF00, 0xFFFFC8, 0xC8FF00},  // red cannot darken enough: the carry takes blue down
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AdjustColorForBackground(c.color, c.background), c.want)
        << std::hex << c.color << " on " << c.background;
  }
}

TEST(Geometry, PickContrastingColor) {
  struct Case {
    uint32_t color, background, want;
  };
  const Case cases[] = {
      {0x00FFFF, 0xFFFFFF, 0x000000},  // yellow on white: black is better
      {0x000000, 0xFFFFFF, 0x000000},  // enough contrast: kept
      {0x202020, 0x000000, 0xFFFFFF},  // dark grey on black: white
      {0x777777, 0x777777, 0x000000},  // black's ratio beats white's on mid grey
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PickContrastingColor(c.color, c.background), c.want) << std::hex << c.color;
  }
  EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
}

}  // namespace
