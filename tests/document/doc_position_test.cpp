#include "document/doc_position.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

TDocPosition P(int32_t par, int32_t offset, int32_t page = 0, int32_t line = 0) {
  return TDocPosition{par, offset, page, line};
}

TDocRange R(int32_t s, int32_t e) { return TDocRange{P(0, s), P(0, e)}; }

TEST(DocPosition, ComparisonsIgnoreHints) {
  EXPECT_EQ(ComparePositions(P(1, 5, 3, 7), P(1, 5, 9, 2)), 0);
  EXPECT_EQ(ComparePositions(P(1, 9), P(2, 0)), -1);
  EXPECT_EQ(ComparePositions(P(2, 1), P(2, 0)), 1);
  TDocRange a{P(1, 2, 4, 4), P(1, 6, 1, 1)};
  TDocRange b{P(1, 2), P(1, 6)};
  EXPECT_TRUE(SameRange(a, b));
  EXPECT_TRUE(IsRangeEmpty(TDocRange{P(3, 3, 1, 0), P(3, 3, 0, 5)}));
}

TEST(DocPosition, BuildersKeepHints) {
  TDocPosition p = P(0, 0, 12, 3);
  MakePosition(4, 8, p);
  EXPECT_EQ(p.Page, 12);
  EXPECT_EQ(p.Line, 3);
  TDocRange r{P(0, 0, 5, 5), P(0, 0, 6, 6)};
  RangeOfTextRun(TTextRun{P(2, 3), 4}, r);
  EXPECT_TRUE(SameRange(r, TDocRange{P(2, 3), P(2, 7)}));
  EXPECT_EQ(r.Start.Page, 5);
  EXPECT_EQ(r.End.Line, 6);
}

TEST(DocPosition, Containment) {
  struct Case {
    TDocRange range;
    int32_t offset;
    bool in;
    bool inclusive;
  };
  const Case cases[] = {
      {R(2, 5), 2, true, true},  {R(2, 5), 4, true, true},   {R(2, 5), 5, false, true},
      {R(2, 5), 1, false, false}, {R(3, 3), 3, false, true}, {R(3, 3), 4, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PositionInRange(P(0, c.offset), c.range), c.in) << c.offset;
    EXPECT_EQ(PositionInRangeInclusive(P(0, c.offset), c.range), c.inclusive) << c.offset;
  }
  const TDocRange ranges[] = {R(0, 2), R(5, 5)};
  EXPECT_TRUE(PositionInFragment(P(0, 1), ranges));
  EXPECT_FALSE(PositionInFragment(P(0, 5), ranges));
  EXPECT_TRUE(PositionInFragmentInclusive(P(0, 5), ranges));
}

TEST(DocPosition, IntersectRanges) {
  TDocRange out;
  EXPECT_TRUE(IntersectRanges(&out, R(0, 10), R(5, 20)));
  EXPECT_TRUE(SameRange(out, R(5, 10)));
  // Touching ranges: no intersection, but an empty range at the touching place is written.
  EXPECT_FALSE(IntersectRanges(&out, R(0, 5), R(5, 9)));
  EXPECT_TRUE(SameRange(out, R(5, 5)));
  EXPECT_FALSE(IntersectRanges(nullptr, R(0, 2), R(4, 9)));
  // Whole positions are copied: a's start on equal starts, b's end on equal ends.
  TDocRange a{P(0, 1, 7, 0), P(0, 4, 7, 0)};
  TDocRange b{P(0, 1, 8, 0), P(0, 4, 8, 0)};
  IntersectRanges(&out, a, b);
  EXPECT_EQ(out.Start.Page, 7);
  EXPECT_EQ(out.End.Page, 8);
}

TEST(DocPosition, RangeSymmetricDifference) {
  struct Case {
    TDocRange a, b;
    int count;
    TDocRange out1, out2;
  };
  const Case cases[] = {
      {R(3, 3), R(4, 4), 0, {}, {}},
      {R(3, 3), R(1, 6), 1, R(1, 6), {}},
      {R(0, 5), R(0, 5), 0, {}, {}},
      {R(0, 5), R(2, 7), 2, R(0, 2), R(5, 7)},
      {R(0, 9), R(3, 4), 2, R(0, 3), R(4, 9)},
      {R(6, 9), R(0, 2), 2, R(0, 2), R(6, 9)},  // gap: both, in start order
      {R(0, 5), R(0, 8), 1, R(5, 8), {}},       // same start
      {R(0, 8), R(0, 5), 1, R(5, 8), {}},
      {R(0, 8), R(3, 8), 1, R(0, 3), {}},       // same end
      {R(0, 4), R(4, 8), 2, R(0, 4), R(4, 8)},  // touching
  };
  for (const Case& c : cases) {
    TDocRange o1, o2;
    int n = RangeSymmetricDifference(o1, o2, c.a, c.b);
    ASSERT_EQ(n, c.count) << c.a.Start.Offset << "-" << c.a.End.Offset;
    if (n >= 1) {
      EXPECT_TRUE(SameRange(o1, c.out1)) << c.a.Start.Offset << " " << o1.Start.Offset;
    }
    if (n == 2) {
      EXPECT_TRUE(SameRange(o2, c.out2)) << c.a.Start.Offset << " " << o2.Start.Offset;
    }
  }
}

TEST(DocPosition, BreakCodeScans) {
  const uint8_t text[] = {'a', 7, 'b', 3};
  EXPECT_TRUE(ContainsBreakCode(text, 4));
  EXPECT_FALSE(ContainsBreakCode(text, 1));
  EXPECT_TRUE(ContainsLayoutBreak(text, 4));
  EXPECT_FALSE(ContainsLayoutBreak(text, 3));
}

}  // namespace
