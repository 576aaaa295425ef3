#include <gtest/gtest.h>

#include "layout/char_positions.h"
#include "layout/layout_fixture.h"
#include "layout/layout_units.h"
#include "layout/line_fitter.h"
#include "layout/line_metrics.h"

using namespace qv;

namespace {

using LineMetricsTest = LayoutTest;

constexpr const char* kText =
    "The quick brown fox jumps over the lazy dog and keeps running far into the evening light "
    "while the dog sleeps on without a care";

TEST_F(LineMetricsTest, AlignmentMovesLinesAndJustificationFillsAllButTheLast) {
  struct Case {
    const char* name;
    int alignment;
  };
  const Case cases[] = {{"left", 0}, {"centre", 1}, {"right", 2}, {"justify", 3}};
  const int32_t width = 4000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    par->Format.Alignment = static_cast<int8_t>(c.alignment);
    Start(serif);
    Text(kText);
    Finish();
    Break(width);
    ASSERT_GE(LineCount(), 3u);
    const int32_t right = TwipsToLayoutX(width, S());
    for (size_t i = 0; i < LineCount(); ++i) {
      TLine& l = Line(i);
      // The measured end: without trailing spaces and the paragraph mark.
      int32_t end = l.Count;
      if (par->CodeAt(l.FirstChar + end - 1) == scParagraphEnd) --end;
      while (end > 0 && par->CodeAt(l.FirstChar + end - 1) == ' ') --end;
      const int32_t start = l.Positions[0], stop = l.Positions[end];
      const bool last = i + 1 == LineCount();
      switch (c.alignment) {
        case 0: EXPECT_EQ(start, 0); break;
        case 1: EXPECT_NEAR(start, right - stop, 1); break;
        case 2: EXPECT_EQ(stop, right); break;
        case 3:
          EXPECT_EQ(start, 0);
          if (last) EXPECT_LT(stop, right);
          else EXPECT_EQ(stop, right);
          break;
      }
    }
  }
}

// A width near the 32-bit limit (a damaged file, a runaway caller) is bounded, so that aligning
// the line cannot push its positions past the limit.
TEST_F(LineMetricsTest, AlignmentAtAWidthNearTheIntegerLimitStaysInRange) {
  const int32_t bound = TwipsToLayoutX(MaxLineWidthTwips, S());
  for (int alignment : {1, 2, 3}) {
    for (int32_t width : {INT32_MAX, INT32_MAX - 1000, INT32_MIN, INT32_MIN + 1000}) {
      SCOPED_TRACE(testing::Message() << "alignment " << alignment << " width " << width);
      par->Format.Alignment = static_cast<int8_t>(alignment);
      Start(serif);
      Text("alpha beta gamma delta");
      Finish();
      Break(width);
      ASSERT_GE(LineCount(), 1u);
      for (size_t i = 0; i < LineCount(); ++i) {
        const TLine& l = Line(i);
        for (size_t n = 0; n < l.Positions.size(); ++n) {
          EXPECT_GE(l.Positions[n], 0) << i << " " << n;
          EXPECT_LE(l.Positions[n], bound + TwipsToLayoutX(1440, S())) << i << " " << n;
          if (n > 0) EXPECT_GE(l.Positions[n], l.Positions[n - 1]) << i << " " << n;
        }
      }
      // A right-aligned line ends at the bounded width.
      if (alignment == 2 && width > 0) {
        const TLine& l = Line(0);
        EXPECT_EQ(l.Positions[static_cast<size_t>(l.Count) - 1], bound);
      }
    }
  }
}

TEST_F(LineMetricsTest, JustificationLeavesSpacesBeforeTheLastTabAlone) {
  par->Format.Alignment = 3;
  Start(serif);
  Text("a b");
  Special(scTab);
  Text("c d e f g h i j k l m n o p q r s t u v w x y z");
  Finish();
  Break(3000);
  ASSERT_GE(LineCount(), 2u);
  const TLine& l = Line(0);
  // "a b" keep their natural spacing: compare with a left-aligned break.
  const int32_t spaceAfterA = l.Positions[2] - l.Positions[1];
  par->Format.Alignment = 0;
  Break(3000);
  EXPECT_EQ(Line(0).Positions[2] - Line(0).Positions[1], spaceAfterA);
}

TEST_F(LineMetricsTest, CharacterPositionsRoundTripAtEveryScale) {
  par->Format.Alignment = 3;
  Start(serif);
  Text(kText);
  Finish();
  for (int32_t scale : {100, 150, 75}) {
    SCOPED_TRACE(scale);
    LayoutLineFitter().Settings.DeviceScaleX = scale;
    LayoutLineFitter().Settings.DeviceScaleY = scale;
    Break(4000);
    for (size_t i = 0; i < LineCount(); ++i) {
      TLine& l = Line(i);
      const bool last = i + 1 == LineCount();
      int32_t previous = INT32_MIN;
      for (int32_t n = 0; n < l.Count; ++n) {
        const int32_t x = GetLineCharX(l, n);
        EXPECT_GE(x, previous);
        previous = x;
        if (n + 1 < l.Count && GetLineCharX(l, n + 1) > x) {
          EXPECT_EQ(CharIndexAtX(l, x), n) << "line " << i << " char " << n;
        }
      }
      // Right of everything: the line's end, or before the paragraph mark on the last line.
      EXPECT_EQ(CharIndexAtX(l, 1 << 20), last ? l.Count - 1 : l.Count);
    }
  }
}

TEST_F(LineMetricsTest, PixelPositionsFollowTheLayoutPositions) {
  Start(serif);
  Text(kText);
  Finish();
  Break(100000);
  TLine& l = Line(0);
  for (int32_t n = 0; n <= l.Count; ++n)
    EXPECT_NEAR(GetLineCharX(l, n), l.Positions[n] / 16, 1) << n;
}

TEST_F(LineMetricsTest, AChangeOfScaleClearsTheCachedWidthsOfEveryLine) {
  Start(serif);
  Text(kText);
  Finish();
  Break(3000);
  ASSERT_GE(LineCount(), 2u);
  const int32_t before = GetLineCharX(Line(1), 5);
  EXPECT_TRUE(Line(1).HasFlag(lfWidthsCurrent));
  LayoutLineFitter().Settings.DeviceScaleX = 200;
  GetLineCharX(Line(0), 3);
  EXPECT_FALSE(Line(1).HasFlag(lfWidthsCurrent));
  EXPECT_GT(GetLineCharX(Line(1), 5), before);
}

TEST_F(LineMetricsTest, BlockSelectionTakesTheNearestBoundariesAndNeverTheParagraphMark) {
  Start(serif);
  Text("abcdef");
  Finish();
  Break(100000);
  TLine& l = Line(0);
  const int32_t x1 = GetLineCharX(l, 1), x3 = GetLineCharX(l, 3);
  TCharRange r = BlockSelectionCharRange(l, x3 + 1, x1 - 1);
  EXPECT_EQ(r.First, 1);
  EXPECT_EQ(r.Last, 3);
  r = BlockSelectionCharRange(l, x1, 1 << 20);
  EXPECT_EQ(r.Last, 6);  // before the paragraph mark
  r = BlockSelectionCharRange(l, x3, x3);
  EXPECT_EQ(r.First, 0);
  EXPECT_EQ(r.Last, 0);
}

TEST_F(LineMetricsTest, LineSpacingRules) {
  struct Case {
    const char* name;
    int16_t rule;
    int16_t spacing;
    int32_t expected;  // twips; 0: the single height; -2: twice the single height (± 2)
  };
  const Case cases[] = {
      {"single", 1, 240, 0},
      {"double", 1, 480, -2},
      {"exactly 600", 0, -600, 600},
      {"exactly 100 ignores the font", 0, -100, 100},
      {"at least 2000", 0, 2000, 2000},
      {"at least 10 never reduces", 0, 10, 0},
  };
  Start(serif, 24);
  Text("Hello");
  Finish();
  par->Format.LineRule = 1;
  par->Format.LineSpacing = 240;
  Break(100000);
  const int32_t single = Line(0).Height;
  ASSERT_GT(single, 200);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    par->Format.LineRule = c.rule;
    par->Format.LineSpacing = c.spacing;
    Break(100000);
    if (c.expected == 0) EXPECT_EQ(Line(0).Height, single);
    else if (c.expected == -2) EXPECT_NEAR(Line(0).Height, 2 * single, 2);
    else EXPECT_EQ(Line(0).Height, c.expected);
  }
}

TEST_F(LineMetricsTest, SpaceBeforeOnTheFirstLineAndSpaceAfterOnTheLast) {
  Start(serif);
  Text(kText);
  Finish();
  Break(4000);
  ASSERT_GE(LineCount(), 3u);
  const int32_t h0 = Line(0).Height, h1 = Line(1).Height, h2 = Line(LineCount() - 1).Height;
  par->Format.SpaceBefore = 120;
  par->Format.SpaceAfter = 240;
  Break(4000);
  EXPECT_EQ(Line(0).Height, h0 + 120);
  EXPECT_EQ(Line(1).Height, h1);
  EXPECT_EQ(Line(LineCount() - 1).Height, h2 + 240);
}

TEST_F(LineMetricsTest, HowLinesEnd) {
  Start(serif);
  Text("a");
  Special(scLineBreak);
  Text("b");
  Special(scPageBreak);
  Text("c");
  Finish();
  LayoutLineFitter().Settings.ViewMode = 0;
  Break(100000);
  ASSERT_EQ(LineCount(), 3u);
  EXPECT_TRUE(LineEndsWithBreak(Line(0)));
  EXPECT_FALSE(LineEndsWithHardBreak(Line(0)));
  EXPECT_TRUE(LineEndsWithHardBreak(Line(1)));
  EXPECT_FALSE(IsBreakOnlyLine(Line(1)));
  EXPECT_FALSE(LineEndsWithBreak(Line(2)));
  const uint8_t run[] = {'a', 'b', 0, 'c'};
  EXPECT_EQ(TextRunLength(run, 4), 2);
  EXPECT_EQ(TextRunLength(run, 1), 1);
}

}  // namespace
