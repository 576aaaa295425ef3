#include "document/page_params.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

TEST(PageParams, DefaultsAndClamps) {
  TPageParams p;
  p.FurtherValues[2] = 99;
  InitPageParams(p);
  EXPECT_EQ(p.PageWidth, 12240);
  EXPECT_EQ(p.TextWidth, 9360);
  EXPECT_EQ(p.HeaderDistance, 720);
  EXPECT_EQ(p.LineNumStart, 1);
  EXPECT_EQ(p.FurtherValues[2], 0);

  struct TCase {
    const char* what;
    void (*change)(TPageParams&);
    void (*check)(const TPageParams&);
  };
  const TCase cases[] = {
      {"narrow page", [](TPageParams& q) { q.PageWidth = 1000; },
       [](const TPageParams& q) { EXPECT_EQ(q.PageWidth, 1440); }},
      {"huge page", [](TPageParams& q) { q.PageHeight = 99999; },
       [](const TPageParams& q) { EXPECT_EQ(q.PageHeight, 31680); }},
      {"left margin too wide", [](TPageParams& q) { q.LeftMargin = 20000; },
       [](const TPageParams& q) {
         EXPECT_EQ(q.LeftMargin, 12060);
         EXPECT_EQ(q.RightMargin, 0);
         EXPECT_EQ(q.TextWidth, 180);
       }},
      {"negative margins", [](TPageParams& q) { q.TopMargin = -5; q.RightMargin = -1; },
       [](const TPageParams& q) {
         EXPECT_EQ(q.TopMargin, 0);
         EXPECT_EQ(q.RightMargin, 0);
         EXPECT_EQ(q.TextWidth, 12240 - 1440);
       }},
      {"bottom margin too tall", [](TPageParams& q) { q.BottomMargin = 15000; },
       [](const TPageParams& q) { EXPECT_EQ(q.BottomMargin, 15840 - 180 - 1440); }},
      {"header distance", [](TPageParams& q) { q.HeaderDistance = 10000; q.FooterDistance = -3; },
       [](const TPageParams& q) {
         EXPECT_EQ(q.HeaderDistance, 6336);
         EXPECT_EQ(q.FooterDistance, 0);
       }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TPageParams q;
    InitPageParams(q);
    c.change(q);
    ClampPageParams(q);
    c.check(q);
  }
}

TSectionFormat Unequal(std::initializer_list<std::pair<int32_t, int32_t>> columns) {
  TSectionFormat f;
  f.EqualWidth = 0;
  f.ColumnCount = static_cast<int32_t>(columns.size());
  int i = 0;
  for (auto [width, gap] : columns) {
    f.Columns[i].Width = width;
    f.Columns[i].Gap = gap;
    ++i;
  }
  return f;
}

TEST(PageParams, ColumnBounds) {
  TPageParams p;
  InitPageParams(p);
  TSectionFormat equal;
  equal.ColumnCount = 3;
  struct TCase {
    int32_t column;
    TColumnBounds expected;
  };
  const TCase equalCases[] = {{0, {0, 2640, 720, 0, 3000}},
                              {1, {3360, 2640, 720, 3000, 6360}},
                              {2, {6720, 2640, 720, 6360, 9360}}};
  for (const auto& c : equalCases) {
    TColumnBounds b;
    ComputeColumnBounds(equal, p, c.column, b);
    EXPECT_EQ(b.Left, c.expected.Left) << c.column;
    EXPECT_EQ(b.Width, c.expected.Width) << c.column;
    EXPECT_EQ(b.Gap, c.expected.Gap) << c.column;
    EXPECT_EQ(b.AreaLeft, c.expected.AreaLeft) << c.column;
    EXPECT_EQ(b.AreaRight, c.expected.AreaRight) << c.column;
  }

  TSectionFormat wide;
  wide.ColumnCount = 2;
  wide.Spacing = 8000;
  TColumnBounds b;
  ComputeColumnBounds(wide, p, 1, b);
  EXPECT_EQ(b.Gap, 6552);  // gaps never take more than 70% of the text width
  EXPECT_EQ(b.Width, (9360 - 6552) / 2);

  TSectionFormat unequal = Unequal({{2000, 500}, {3000, 300}, {3560, 0}});
  const TCase unequalCases[] = {{0, {0, 2000, 500, 0, 2250}},
                                {1, {2500, 3000, 300, 2250, 5650}},
                                {2, {5800, 3560, 0, 5650, 9360}}};
  for (const auto& c : unequalCases) {
    ComputeColumnBounds(unequal, p, c.column, b);
    EXPECT_EQ(b.Left, c.expected.Left) << c.column;
    EXPECT_EQ(b.AreaLeft, c.expected.AreaLeft) << c.column;
    EXPECT_EQ(b.AreaRight, c.expected.AreaRight) << c.column;
  }

  // A negative gap from a damaged file must not turn into a huge half.
  TSectionFormat damaged = Unequal({{4000, -100}, {4000, 0}});
  ComputeColumnBounds(damaged, p, 1, b);
  EXPECT_EQ(b.AreaLeft, b.Left);

  TSectionFormat single;
  ComputeColumnBounds(single, p, 0, b);
  EXPECT_EQ(b.Width, 9360);
}

TEST(PageParams, FitColumnWidths) {
  TPageParams p;
  InitPageParams(p);
  TSectionFormat f = Unequal({{3000, 360}, {3000, 0}});
  FitColumnWidths(f, p);
  EXPECT_EQ(f.Columns[0].Width, 4500);
  EXPECT_EQ(f.Columns[1].Width, 4500);

  TSectionFormat exact = Unequal({{4000, 360}, {5000, 999}});  // the last gap does not count
  FitColumnWidths(exact, p);
  EXPECT_EQ(exact.Columns[0].Width, 4000);

  TSectionFormat zero = Unequal({{0, 360}, {0, 0}});
  FitColumnWidths(zero, p);
  EXPECT_EQ(zero.Columns[0].Width, 4500);
  EXPECT_EQ(zero.Columns[1].Width, 4500);
}

}  // namespace
