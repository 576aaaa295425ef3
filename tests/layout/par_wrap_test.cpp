#include <gtest/gtest.h>

#include "layout/layout_fixture.h"
#include "layout/layout_units.h"

using namespace qv;

namespace {

using ParWrapTest = LayoutTest;

constexpr const char* kLongText =
    "Rivers wander through the valley and the hills look on while the farmers bring in the "
    "last of the harvest before the first frost comes down from the mountains and the nights "
    "grow long and quiet over the sleeping fields of the old country";

constexpr int32_t kWidth = 6000;

TWrapContext Context(std::vector<plat::Rect> rects) {
  TWrapContext wrap;
  wrap.Exclusions = std::move(rects);
  wrap.RightLimit = kWidth;
  wrap.MinBandHeight = 200;
  wrap.MinBandWidth = 200;
  return wrap;
}

class WrappedPar : public ParWrapTest {
 protected:
  void BreakAround(std::vector<plat::Rect> rects) {
    Start(serif);
    Text(kLongText);
    Finish();
    wrap = Context(std::move(rects));
    BreakParagraphIntoLines(*par, 0, kWidth, &wrap);
    ASSERT_GT(LineCount(), 2u);
  }
  // Everything of the stream is in the lines, in order.
  void ExpectContiguous() {
    int32_t offset = 0, chars = 0;
    for (size_t i = 0; i < LineCount(); ++i) {
      EXPECT_EQ(Line(i).StreamOffset, offset) << i;
      EXPECT_EQ(Line(i).FirstChar, chars) << i;
      offset += Line(i).StreamLength;
      chars += Line(i).Count;
    }
    EXPECT_EQ(offset, static_cast<int32_t>(par->Content.Length));
    EXPECT_EQ(chars, par->CharCount());
  }
  int32_t TwipsX(int32_t layoutX) { return LayoutXToTwips(layoutX, S()); }
  // The x where a line's visible text ends (trailing spaces and the mark excluded).
  int32_t TextEnd(size_t i) {
    TLine& l = Line(i);
    int32_t end = l.Count;
    while (end > 0 && (par->CodeAt(l.FirstChar + end - 1) == ' ' ||
                       par->CodeAt(l.FirstChar + end - 1) == scParagraphEnd))
      --end;
    return TwipsX(l.Positions[end]);
  }
  TWrapContext wrap;
};

TEST_F(WrappedPar, LinesBesideAShapeOnTheRightStopAtItsLeftEdge) {
  BreakAround({{3000, 0, 6000, 1500}});
  ExpectContiguous();
  bool sawSegment = false, sawFull = false;
  for (size_t i = 0; i < LineCount(); ++i) {
    const TLine& l = Line(i);
    if (l.Top < 1500) {
      sawSegment = true;
      EXPECT_TRUE(l.HasFlag(lfSegment)) << i;
      EXPECT_LE(l.AvailWidth, 3000) << i;
      EXPECT_LE(TextEnd(i), 3000) << i;
    } else {
      sawFull = true;
      EXPECT_FALSE(l.HasFlag(lfSegment)) << i;
      EXPECT_EQ(l.AvailWidth, kWidth) << i;
    }
  }
  EXPECT_TRUE(sawSegment);
  EXPECT_TRUE(sawFull);
  EXPECT_TRUE(Line(0).HasFlag(lfFirstBand));
}

TEST_F(WrappedPar, LinesBesideAShapeOnTheLeftStartAtItsRightEdge) {
  BreakAround({{0, 0, 2000, 1500}});
  ExpectContiguous();
  for (size_t i = 0; i < LineCount(); ++i) {
    if (Line(i).Top < 1500) {
      EXPECT_GE(TwipsX(Line(i).StartX()), 2000) << i;
    }
  }
}

TEST_F(WrappedPar, AShapeInTheMiddleSplitsRowsIntoTwoSegments) {
  BreakAround({{2500, 0, 3500, 1200}});
  ExpectContiguous();
  ASSERT_TRUE(Line(1).HasFlag(lfSegment));
  EXPECT_TRUE(Line(0).HasFlag(lfBandFirst));
  EXPECT_FALSE(Line(1).HasFlag(lfBandFirst));
  EXPECT_EQ(Line(0).RowNumber, Line(1).RowNumber);
  EXPECT_EQ(Line(0).Top, Line(1).Top);
  EXPECT_LE(TextEnd(0), 2500);
  EXPECT_GE(TwipsX(Line(1).StartX()), 3500);
}

TEST_F(WrappedPar, AShapeAcrossTheWholeWidthPushesTheTextBelowIt) {
  BreakAround({{0, 0, kWidth, 1000}});
  ExpectContiguous();
  EXPECT_GE(Line(0).Top, 1000);
  EXPECT_TRUE(par->HasFlag(pfWrapsShapes));
  for (size_t i = 1; i < LineCount(); ++i) EXPECT_GT(Line(i).Top, Line(i - 1).Top);
}

TEST_F(WrappedPar, EverySegmentStartsWithTheFormatInForceAfterThePreviousOne) {
  Start(serif);
  const char* words[] = {"harvest", "of", "mountain", "rivers", "and", "quiet", "fields"};
  for (int i = 0; i < 50; ++i) {
    const std::string w = words[i % 7];
    Text(w.substr(0, 1));
    AppendContentTag(stream, ctSize, 18 + (i % 4) * 8);
    Text(w.substr(1) + " ");
  }
  Finish();
  wrap = Context({{2500, 0, 3500, 2500}, {0, 3000, 1500, 4000}});
  BreakParagraphIntoLines(*par, 0, kWidth, &wrap);
  ExpectContiguous();
  for (size_t i = 1; i < LineCount(); ++i) {
    TCharFormat after;
    FormatAfterLine(Line(i - 1), after);
    EXPECT_EQ(Line(i).StartFormat.Size, after.Size) << i;
  }
}

TEST_F(WrappedPar, WithoutShapesInTheWayLinesAreStackedFromTheTop) {
  BreakAround({{0, 50000, kWidth, 60000}});  // far below the text
  ExpectContiguous();
  EXPECT_EQ(Line(0).Top, 0);
  for (size_t i = 1; i < LineCount(); ++i)
    EXPECT_EQ(Line(i).Top, Line(i - 1).Top + Line(i - 1).Height) << i;
  EXPECT_FALSE(par->HasFlag(pfWrapsShapes));
}

}  // namespace
