// Placement of floating shapes, their wrap regions, handles and resizing, and paragraph groups.
#include <gtest/gtest.h>

#include <memory>

#include "doc_builder.h"
#include "document/doc.h"
#include "document/shape.h"
#include "document/shape_placement.h"

using namespace qv;

namespace {

using W = TShapeProps::TWrapStyle;
using TRect = std::array<int32_t, 4>;

std::unique_ptr<TShape> FloatingShape(int32_t posh, int32_t relh, int32_t posv, int32_t relv) {
  auto s = std::make_unique<TShape>(nullptr);
  s->Props.WrapStyle = W::Square;
  s->Props.SetProp(spPosH, posh);
  s->Props.SetProp(spPosRelH, relh);
  s->Props.SetProp(spPosV, posv);
  s->Props.SetProp(spPosRelV, relv);
  return s;
}

TEST(ShapePlacement, HorizontalAndVerticalTables) {
  TShapePlacementFrame f;  // 12240 x 15840, margins 1440, box 9360 wide
  f.BoxWidth = 9360;
  f.OffsetLeft = 1440;
  f.OffsetTop = 1440;
  f.PageNumber = 3;
  const TRect stored{100, 200, 2100, 1200};  // W 2000, H 1000
  struct Row {
    int32_t posh, relh, posv, relv;
    int32_t left, top;
  } rows[] = {
      {1, 0, 1, 0, 1440, 1440},         // left of the margin; top margin
      {3, 0, 3, 0, 8800, 13400},        // right: 12240 - 1440 - 2000; bottom: 15840 - 1440 - 1000
      {0, 0, 0, 0, 1540, 1640},         // absolute from the margins
      {2, 1, 2, 1, 5120, 7420},         // centred on the page
      {0, 2, 0, 2, 1540, 1640 + 50},    // column and paragraph: box offsets and line offset
      {3, 2, 1, 1, 1440 + 7360, 0},     // right in the column: room 9360 - 2000
      {1, 4, 1, 4, 0, 0},               // left margin, top margin
      {3, 5, 3, 5, 10240, 14840},       // right margin, bottom margin
      {1, 6, 0, 7, 0, 200},             // inside (odd page: left margin); outside (odd: top)
      {4, 1, 9, 1, 100, 200},           // inside/outside and unknown keep the stored offsets
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.posh << "/" << r.relh << " " << r.posv << "/" << r.relv);
    auto shape = FloatingShape(r.posh, r.relh, r.posv, r.relv);
    TRect out{};
    PositionFloatingShape(*shape, stored, f, out, 50);
    EXPECT_EQ(out[0], r.left);
    EXPECT_EQ(out[1], r.top);
    EXPECT_EQ(out[2] - out[0], 2000);
    EXPECT_EQ(out[3] - out[1], 1000);
  }
}

TEST(ShapePlacement, InsideAndOutsideFollowThePageParity) {
  TShapePlacementFrame f;
  for (const auto& [page, rel, want] : {std::tuple{2, 6, 5}, {3, 6, 4}, {2, 7, 4}, {3, 7, 5}}) {
    f.PageNumber = page;
    int32_t h = rel, v = rel;
    MapShapeReferences(f, h, 0, v);
    EXPECT_EQ(h, want) << page << " " << rel;
  }
  f.HeaderFooterBox = true;
  for (const auto& [posv, flag, want] : {std::tuple{2, false, 1}, {0, false, 4}, {0, true, 0}}) {
    f.EnclosingMarginFlag = flag;
    int32_t h = 0, v = 0;
    MapShapeReferences(f, h, posv, v);
    EXPECT_EQ(v, want) << posv;
  }
}

TEST(ShapePlacement, AnchoredRectIsTheReverseOfPlacement) {
  TShapePlacementFrame f;
  f.OffsetLeft = 1440;
  f.OffsetTop = 1440;
  f.InsetLeft = 30;
  for (const auto& [relh, relv] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 3}, {5, 5}}) {
    auto shape = FloatingShape(0, relh, 0, relv);
    const TRect stored{300, 400, 1300, 900};
    TRect placed{}, back{};
    PositionFloatingShape(*shape, stored, f, placed, 120);
    TShapeProps props = shape->Props;
    ComputeAnchoredRect(placed, f, back, 120, props);
    EXPECT_EQ(back, stored) << relh;
    if (relh == 3) EXPECT_EQ(props.GetProp(spPosRelH), 2);
  }
}

TEST(ShapeGeometry, WrapBoundsForEveryWrapKind) {
  struct Row {
    W wrap;
    int32_t side;
    TRect want;
  } rows[] = {
      {W::Square, 0, {1000 - 180, 2000, 3000 + 180, 3000}},
      {W::Square, 1, {820, 2000, 9000, 3000}},
      {W::Square, 2, {0, 2000, 3180, 3000}},
      {W::Square, 3, {0, 2000, 3180, 3000}},   // centre left of the middle
      {W::TopBottom, 0, {0, 2000, 9000, 3000}},
      {W::Tight, 0, {820, 2000, 3180, 3000}},
      {W::Through, 2, {0, 2000, 3180, 3000}},
      {W::None, 0, {1000, 2000, 3000, 3000}},
  };
  for (const Row& r : rows) {
    TShape s(nullptr);
    s.Props.WrapStyle = r.wrap;
    s.Props.WrapSide = r.side;
    s.PlacedRect = {1000, 2000, 3000, 3000};
    TRect rect = s.PlacedRect;
    s.GetWrapBounds(rect, 9000);
    EXPECT_EQ(rect, r.want) << static_cast<int>(r.wrap) << "/" << r.side;
  }
}

TEST(ShapeGeometry, TightTriangleRegionHasNoGapsWithinABand) {
  TShape s(nullptr);
  s.Props.WrapStyle = W::Tight;
  // A "V": two arms meeting at the bottom, open between them at the top.
  s.Props.SetWrapPolygon({{0, 0}, {7200, 0}, {10800, 14400}, {14400, 0}, {21600, 0}, {10800, 21600}});
  ASSERT_TRUE(s.Props.HasWrapPolygon());
  s.PlacedRect = {0, 0, 1600, 1600};
  std::vector<TRect> rects;
  ASSERT_GT(s.GetWrapRects(rects), 0);
  // Every horizontal line through the region is covered without a gap.
  for (int32_t y = 4; y < 1600; y += 40) {
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    for (const TRect& r : rects)
      if (r[1] <= y && y < r[3]) lo = std::min(lo, r[0]), hi = std::max(hi, r[2]);
    if (lo > hi) continue;
    for (int32_t x = lo; x < hi; x += 8) {
      bool covered = false;
      for (const TRect& r : rects) covered = covered || (r[1] <= y && y < r[3] && r[0] <= x && x < r[2]);
      EXPECT_TRUE(covered) << x << "," << y;
    }
  }
  // Through wrapping lets the text into the opening.
  s.Props.WrapStyle = W::Through;
  s.Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
  std::vector<TRect> through;
  s.GetWrapRects(through);
  bool gap = false;
  for (const TRect& a : through)
    for (const TRect& b : through) gap = gap || (a[1] < 400 && b[1] < 400 && a[2] < b[0]);
  EXPECT_TRUE(gap);
}

TEST(ShapeGeometry, HandlesByRectangleSize) {
  SetShapeHandleDpi(96);
  TShape s(nullptr);
  EXPECT_EQ(s.GetHandleRects({0, 0, 20, 20}).Mask, 330);
  EXPECT_EQ(s.GetHandleRects({0, 0, 24, 24}).Mask, 510);
  EXPECT_EQ(s.GetHandleRects({0, 0, 24, 20}).Mask, 330 | 4 | 128);
  const auto h = s.GetHandleRects({100, 100, 200, 160});
  EXPECT_EQ(h.Rects[1], (TRect{96, 96, 104, 104}));
  EXPECT_EQ(h.Rects[8], (TRect{195, 155, 203, 163}));
}

TEST(ShapeGeometry, ResizeKeepsAMinimumAndLockedProportions) {
  TShape s(nullptr);
  s.PlacedRect = {1000, 1000, 3000, 2000};
  EXPECT_EQ(s.GetResizeRect(s, 8, 10, 10), (TRect{1000, 1000, 1072, 1072}));
  EXPECT_EQ(s.GetResizeRect(s, 1, 4000, 1000), (TRect{-1000, 1000, 3000, 2000}));
  s.Props.SetProp(spLockAspectRatio, 1);
  EXPECT_EQ(s.GetResizeRect(s, 8, 4000, 1000), (TRect{1000, 1000, 5000, 3000}));
  EXPECT_EQ(s.GetResizeRect(s, 5, 4000, 1000), (TRect{1000, 1000, 5000, 2000}));  // side handle
}

TEST(ParagraphGroups, BordersShadingAndLimits) {
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Format.Borders = 3;
  b.Format.LeftIndent = 0;
  b.Format.FirstIndent = 0;
  for (int i = 0; i < 3; ++i) b.Add("x");  // 0..2
  b.Format.LeftIndent = 3;
  b.Add("three twips");                    // 3: still in
  b.Format.LeftIndent = 7;
  b.Add("four more");                      // 4: 4 twips from the one before, 7 from the group
  b.Format.LeftIndent = 0;
  b.Format.FirstIndent = 360;
  b.Add("positive first");                 // 5
  b.Format.FirstIndent = -360;
  b.Add("hanging");                        // 6
  int32_t first = -1, last = -1;
  // Indents are compared with the asked paragraph's: 3 twips apart join, 4 do not.
  doc.GetBorderGroup(1, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 3);
  doc.GetBorderGroup(3, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 3);
  doc.GetBorderGroup(4, first, last);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(last, 4);
  doc.GetBorderGroup(5, first, last);
  EXPECT_EQ(first, 5);  // left indent 0 and 7 differ
  EXPECT_EQ(last, 5);   // first-line -360 and 360 differ
  // Shading asks the neighbours to be shaded too.
  doc.Par(0)->Format.Shading = 0xFF00;
  doc.Par(1)->Format.Shading = 0xFF;
  doc.Par(2)->Format.Shading = -1;
  doc.GetShadingGroup(1, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 1);
  EXPECT_FALSE(doc.InSameList(0, 1));
  doc.Par(0)->Format.List = 4;
  doc.Par(1)->Format.List = 4;
  EXPECT_TRUE(doc.InSameList(0, 1));
  EXPECT_FALSE(doc.InSameList(0, doc.ParCount()));
}

}  // namespace
