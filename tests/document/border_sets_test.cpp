#include "document/border_sets.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

TParBorders Boxed(int32_t width, int32_t distance) {
  TParBorders b;
  InitParBorders(b);
  for (TBorderLine* line : {&b.Left, &b.Top, &b.Right, &b.Bottom}) {
    line->Style = 1;
    line->Width = width;
    line->Distance = distance;
  }
  return b;
}

TEST(BorderSets, EntryZeroIsNoBorders) {
  TParBorders none;
  InitParBorders(none);
  EXPECT_EQ(none.Left.Distance, 80);
  EXPECT_EQ(none.Inside.Distance, 20);
  EXPECT_EQ(none.Top.Style, BorderStyleNone);
  EXPECT_EQ(InternParBorders(none), 0);
  // A no-border set matches whatever its widths and distances say.
  none.Left.Width = 99;
  none.Top.Distance = 500;
  EXPECT_EQ(InternParBorders(none), 0);
}

TEST(BorderSets, InterningClampsAndSharesEntries) {
  int32_t count = ParBordersCount();
  int32_t a = InternParBorders(Boxed(15, 620));
  EXPECT_EQ(a, count);
  EXPECT_EQ(ParBordersCount(), count + 1);

  struct Case {
    TParBorders set;
    bool same;
  };
  TParBorders farther = Boxed(15, 700);  // clamped to 620
  TParBorders otherInside = Boxed(15, 620);
  otherInside.Inside.Distance = 5;       // the inside takes the top distance anyway
  TParBorders wider = Boxed(30, 620);
  const Case cases[] = {{farther, true}, {otherInside, true}, {wider, false}};
  for (const Case& c : cases) {
    int32_t i = InternParBorders(c.set);
    EXPECT_EQ(i == a, c.same);
    EXPECT_LT(i, ParBordersCount());
  }
  TParBorders stored = GetParBorders(a);
  EXPECT_EQ(stored.Top.Distance, 620);
  EXPECT_EQ(stored.Inside.Distance, 620);

  int32_t far = InternParBorders(Boxed(45, 900));
  EXPECT_EQ(GetParBorders(far).Left.Distance, 620);
}

TEST(BorderSets, IndexOutsideTableGivesNoBorders) {
  const int32_t bad[] = {-1, ParBordersCount(), 32767};
  for (int32_t i : bad) {
    EXPECT_EQ(GetParBorders(i).Left.Style, BorderStyleNone) << i;
  }
}

}  // namespace
