#include <gtest/gtest.h>

#include "platform/gfx/region.h"

namespace plat {
namespace {

std::vector<Rect> R(std::initializer_list<Rect> rects) { return rects; }

TEST(RegionTest, CombineGivesBandOrderedRectangles) {
  const Region a(Rect{0, 0, 10, 10});
  const Region b(Rect{5, 5, 15, 15});
  const struct {
    RegionOp op;
    std::vector<Rect> expected;
  } cases[] = {
      {RegionOp::And, R({{5, 5, 10, 10}})},
      {RegionOp::Or, R({{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}})},
      {RegionOp::Xor, R({{0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}})},
      {RegionOp::Diff, R({{0, 0, 10, 5}, {0, 5, 5, 10}})},
      {RegionOp::Copy, R({{0, 0, 10, 10}})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.op));
    EXPECT_EQ(Region::Combine(a, b, c.op).Rects(), c.expected);
  }
}

TEST(RegionTest, EqualSetsHaveEqualRectangles) {
  // Two halves side by side and one above the other both merge into the whole.
  Region sides(Rect{0, 0, 5, 10});
  sides.Union(Rect{5, 0, 10, 10});
  Region stacked(Rect{0, 0, 10, 4});
  stacked.Union(Rect{0, 4, 10, 10});
  EXPECT_EQ(sides, Region(Rect{0, 0, 10, 10}));
  EXPECT_EQ(stacked, Region(Rect{0, 0, 10, 10}));
  // Taking a hole out and putting it back restores the rectangle.
  Region holed(Rect{0, 0, 10, 10});
  holed.Subtract(Rect{3, 3, 6, 6});
  EXPECT_EQ(holed.Rects().size(), 4u);
  EXPECT_FALSE(holed.Contains({4, 4}));
  EXPECT_TRUE(holed.Contains({2, 4}));
  holed.Union(Rect{3, 3, 6, 6});
  EXPECT_EQ(holed, Region(Rect{0, 0, 10, 10}));
}

TEST(RegionTest, EmptyInputsAndQueries) {
  const Region empty;
  const Region box(Rect{2, 2, 4, 4});
  EXPECT_TRUE(Region(Rect{5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(Region::Combine(empty, box, RegionOp::And).IsEmpty());
  EXPECT_EQ(Region::Combine(empty, box, RegionOp::Or), box);
  EXPECT_TRUE(Region::Combine(box, box, RegionOp::Xor).IsEmpty());
  EXPECT_EQ(empty.Bounds(), Rect{});
  EXPECT_TRUE(box.Contains({2, 2}));
  EXPECT_FALSE(box.Contains({4, 2}));  // right and bottom are outside
  EXPECT_TRUE(box.Intersects({3, 3, 9, 9}));
  EXPECT_FALSE(box.Intersects({4, 0, 9, 9}));
  Region moved = box;
  moved.Offset(-2, 10);
  EXPECT_EQ(moved.Bounds(), (Rect{0, 12, 2, 14}));
}

TEST(RegionTest, PolygonsBecomeRowsOfPixelCentres) {
  // A rectangle given as a polygon is that rectangle.
  const Point square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(Region::FromPolygon(square).Rects(), R({{0, 0, 10, 10}}));
  // A right triangle: row y holds the pixels whose centres lie left of the hypotenuse (in the
  // top row the first centre, at 0.5, lies on it and is outside).
  const Point tri[] = {{0, 0}, {4, 4}, {0, 4}};
  EXPECT_EQ(Region::FromPolygon(tri).Rects(), R({{0, 1, 1, 2}, {0, 2, 2, 3}, {0, 3, 3, 4}}));
  // Degenerate polygons hold nothing.
  const Point line[] = {{0, 0}, {10, 0}};
  EXPECT_TRUE(Region::FromPolygon(line).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon({}).IsEmpty());
}

TEST(RegionTest, FillModesDifferOnOverlappingContours) {
  // Two squares, one inside the other, both drawn the same way round.
  const Point pts[] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}, {3, 3}, {6, 3}, {6, 6}, {3, 6}};
  const int32_t counts[] = {4, 4};
  const Region alt = Region::FromPolygons(pts, counts, FillMode::Alternate);
  const Region wind = Region::FromPolygons(pts, counts, FillMode::Winding);
  EXPECT_FALSE(alt.Contains({4, 4}));
  EXPECT_TRUE(wind.Contains({4, 4}));
  EXPECT_EQ(wind, Region(Rect{0, 0, 9, 9}));
  EXPECT_EQ(Region::Combine(wind, alt, RegionOp::Diff), Region(Rect{3, 3, 6, 6}));
  // A self-crossing star: its centre is outside by even-odd, inside by winding.
  const Point star[] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
  EXPECT_FALSE(Region::FromPolygon(star, FillMode::Alternate).Contains({50, 50}));
  EXPECT_TRUE(Region::FromPolygon(star, FillMode::Winding).Contains({50, 50}));
}

}  // namespace
}  // namespace plat
