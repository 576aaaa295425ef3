#include <gtest/gtest.h>

#include <set>

#include "layout/paint/underlines.h"

using namespace qv;

namespace {

std::set<int32_t> Columns(const TUnderlineShape& s) {
  std::set<int32_t> out;
  for (const plat::Rect& r : s.Pieces)
    for (int32_t x = r.left; x < r.right; ++x) out.insert(x);
  return out;
}

}  // namespace

TEST(UnderlineShapeTest, StylesHaveTheirPiecesForAnAscentOf20) {
  struct Case {
    int32_t style;
    bool bold;
    size_t pieces;
    int32_t firstTop;  // below the base
    int32_t height;
    size_t waves;
  };
  const Case cases[] = {
      {ulSingle, false, 1, 2, 1, 0},       {ulSingle, true, 1, 2, 2, 0},
      {ulWordsOnly, false, 1, 2, 1, 0},    {ulDouble, false, 2, 1, 1, 0},
      {ulThick, false, 1, 1, 2, 0},        {ulDotted, false, 10, 2, 1, 0},
      {ulDash, false, 3, 2, 1, 0},         {ulDashDot, false, 5, 2, 1, 0},
      {ulThickLongDash, false, 2, 1, 2, 0}, {ulThickDotted, false, 10, 1, 2, 0},
      {ulWave, false, 0, 0, 0, 1},         {ulDoubleWave, false, 0, 0, 0, 2},
      {5, false, 0, 0, 0, 0},              {ulNone, false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    const TUnderlineShape s = UnderlineShape(c.style, 20, c.bold, 0, 40, 100, 0, true);
    ASSERT_EQ(s.Pieces.size(), c.pieces);
    EXPECT_EQ(s.Waves.size(), c.waves);
    if (c.pieces == 0) continue;
    EXPECT_EQ(s.Pieces[0].top, 100 + c.firstTop);
    EXPECT_EQ(s.Pieces[0].Height(), c.height);
    for (const plat::Rect& r : s.Pieces) {
      EXPECT_GE(r.left, 0);
      EXPECT_LE(r.right, 40);
    }
  }
  // The double underline's second line lies at least 2 pixels below the first.
  const TUnderlineShape d = UnderlineShape(ulDouble, 20, false, 0, 40, 100, 0, true);
  EXPECT_EQ(d.Pieces[1].top - d.Pieces[0].top, 3);
}

TEST(UnderlineShapeTest, PatternsKeepTheirPhaseAcrossSegmentsAndScrolling) {
  for (int32_t style : {ulDotted, ulDash, ulDashDot, ulDashDotDot, ulThickLongDash}) {
    SCOPED_TRACE(style);
    const std::set<int32_t> whole = Columns(UnderlineShape(style, 23, false, 13, 160, 0, 0, true));
    std::set<int32_t> split;
    for (auto [l, r] : {std::pair{13, 30}, std::pair{30, 77}, std::pair{77, 160}})
      for (int32_t x : Columns(UnderlineShape(style, 23, false, l, r, 0, 0, true))) split.insert(x);
    EXPECT_EQ(split, whole);
    // Scrolled by 7 pixels the same document columns stay covered.
    const std::set<int32_t> scrolled = Columns(UnderlineShape(style, 23, false, 13, 160, 0, 7, true));
    for (int32_t x = 40; x < 120; ++x) EXPECT_EQ(scrolled.count(x), whole.count(x + 7)) << x;
  }
  // Unaligned (preview) patterns start at the left edge.
  EXPECT_EQ(UnderlineShape(ulDotted, 20, false, 13, 40, 0, 0, false).Pieces[0].left, 13);
}

TEST(UnderlineShapeTest, WavesStayInsideTheirClip) {
  const TUnderlineShape s = UnderlineShape(ulHeavyWave, 30, false, 5, 65, 50, 3, true);
  ASSERT_EQ(s.Waves.size(), 1u);
  EXPECT_GE(s.PenWidth, 2);
  EXPECT_LE(s.Waves[0].front().x, 5);
  EXPECT_GT(s.Waves[0].back().x, 65);
  EXPECT_EQ(s.WaveClip.left, 5);
  EXPECT_EQ(s.WaveClip.right, 65);
  for (const plat::Point& p : s.Waves[0]) {
    EXPECT_GE(p.y, s.WaveClip.top);
    EXPECT_LT(p.y, s.WaveClip.bottom);
  }
  EXPECT_TRUE(UnderlineShape(ulWave, 30, false, 10, 10, 50, 0, true).Waves.empty());
}

TEST(UnderlineMergeTest, SegmentsJoinByStyleColourAndPosition) {
  struct Case {
    int32_t script1, raise1, script2, raise2;
    int32_t colour2;
    bool joins;
  };
  const Case cases[] = {
      {0, 0, 1, 0, AutoColor, true},   // superscript next to normal text
      {0, 0, 2, 0, AutoColor, false},  // subscript
      {0, 3, 0, 5, AutoColor, false},  // two different raises
      {0, 3, 0, 0, AutoColor, true},
      {0, -2, 0, -4, AutoColor, true},  // both lowered
      {0, -2, 0, 0, AutoColor, false},
      {0, 0, 0, 0, 0x0000FF, false},  // another underline colour
  };
  for (const Case& c : cases) {
    TUnderlineSegment a, b;
    a.Start = 0;
    a.End = b.Start = 3;
    b.End = 5;
    a.Format.Underline = b.Format.Underline = ulSingle;
    a.Format.Script = c.script1;
    a.Format.VertOffset = c.raise1;
    b.Format.Script = c.script2;
    b.Format.VertOffset = c.raise2;
    b.Format.UnderlineColor = c.colour2;
    const TUnderlineSegment both[] = {a, b};
    EXPECT_EQ(MergeUnderlineSegments(both).size(), c.joins ? 1u : 2u)
        << c.script2 << ' ' << c.raise1 << ' ' << c.raise2;
  }
  // Bold next to plain: one underline of the plain thickness, under the taller run.
  TUnderlineSegment bold, plain;
  bold.End = plain.Start = 4;
  plain.End = 9;
  bold.Format.Underline = plain.Format.Underline = ulSingle;
  bold.Format.Bold = 1;
  plain.Format.Bold = 0;
  bold.Ascent = 12;
  plain.Ascent = 18;
  plain.TextTop = 7;
  const TUnderlineSegment pair[] = {bold, plain};
  const auto merged = MergeUnderlineSegments(pair);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_EQ(merged[0].End, 9);
  EXPECT_EQ(merged[0].Format.Bold, 0);
  EXPECT_EQ(merged[0].Ascent, 18);
  EXPECT_EQ(merged[0].TextTop, 7);
  // Not adjacent: no merge.
  plain.Start = 5;
  const TUnderlineSegment gap[] = {bold, plain};
  EXPECT_EQ(MergeUnderlineSegments(gap).size(), 2u);
}
