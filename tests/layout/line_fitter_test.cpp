#include <gtest/gtest.h>
#include <array>

#include "document/field.h"
#include "layout/layout_fixture.h"
#include "layout/layout_units.h"

using namespace qv;

namespace {

using LineFitterTest = LayoutTest;

TEST_F(LineFitterTest, TrailingSpacesHangAndTheNextWordStartsTheNextLine) {
  Start(serif);
  Text("alpha beta      gamma");
  Finish();
  const int32_t width = WidthOfFirst(10);  // "alpha beta"
  Break(width);
  ASSERT_EQ(LineCount(), 2u);
  EXPECT_EQ(LineText(0), "alpha beta      ");
  EXPECT_EQ(LineText(1), "gamma\x02");
  EXPECT_GT(LayoutXToTwips(Line(0).EndX(), S()), width);  // the spaces hang in the margin
  EXPECT_EQ(Line(1).StreamOffset, Line(0).StreamOffset + Line(0).StreamLength);
}

TEST_F(LineFitterTest, LineOfSpacesTakesTheHeightOfItsSpaces) {
  Start(serif);
  Text("   ");
  Special(scLineBreak);
  Text("x");
  Finish();
  Break(20000);
  ASSERT_GE(LineCount(), 1u);
  EXPECT_GT(Line(0).Ascent, 0);
  EXPECT_GT(Line(0).Descent, 0);
  EXPECT_GT(Line(0).Height, 0);
}

TEST_F(LineFitterTest, WordLongerThanTheLineIsCutBeforeTheFirstCharacterThatDoesNotFit) {
  Start(serif);
  Text("abcdefghijklmnopqrstuvwxyz");
  Finish();
  const int32_t width = WidthOfFirst(7);
  Break(width);
  ASSERT_GE(LineCount(), 2u);
  EXPECT_EQ(LineText(0), "abcdefg");
  EXPECT_EQ(LineText(1).substr(0, 1), "h");
}

TEST_F(LineFitterTest, ZeroWidthPutsOneCharacterOnEveryLine) {
  Start(serif);
  Text("abc");
  Finish();
  Break(0);
  ASSERT_EQ(LineCount(), 3u);  // the paragraph mark needs no room
  EXPECT_EQ(LineText(0), "a");
  EXPECT_EQ(LineText(1), "b");
  EXPECT_EQ(LineText(2), "c\x02");
}

TEST_F(LineFitterTest, BreaksTakeTheirWidths) {
  struct Case {
    const char* name;
    uint8_t code;
    int alignment;
    int32_t width;  // twips of the line
    int32_t expected;  // layout units of the break character; -1: up to the right edge
  };
  const Case cases[] = {
      {"line break", scLineBreak, 0, 7200, 11 * 16},
      {"line break, centred", scLineBreak, 1, 7200, 11 * 16},
      {"page break, centred", scPageBreak, 1, 7200, 150 * 16},
      {"page break, left", scPageBreak, 0, 7200, -1},
      {"page break, narrow line", scPageBreak, 0, 300, 150 * 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    par->Format.Alignment = static_cast<int8_t>(c.alignment);
    Start(serif);
    Text("ab");
    Special(c.code);
    Text("cd");
    Finish();
    Break(c.width);
    ASSERT_EQ(LineCount(), 2u);
    EXPECT_EQ(LineText(0), std::string("ab") + static_cast<char>(c.code));
    const std::vector<int32_t>& p = Line(0).Positions;
    // Measure before alignment moved the line: the break's width is the last step.
    const int32_t breakWidth = p[3] - p[2];
    if (c.expected >= 0) EXPECT_EQ(breakWidth, c.expected);
    else EXPECT_EQ(p[3], TwipsToLayoutX(c.width, S()));
  }
}

TEST_F(LineFitterTest, TabStopsOfEveryKind) {
  struct Case {
    const char* name;
    int kind;
    const char* after;  // text after the tab
    int anchor;         // which x must sit on the stop: 0 start of text, 1 its end, 2 its
                        // middle, 3 the decimal separator, 4 not shifted
  };
  const Case cases[] = {
      {"left", tkLeft, "bb", 0},
      {"right", tkRight, "bb", 1},
      {"centre", tkCenter, "bbbb", 2},
      {"decimal", tkDecimal, "12.50", 3},
      {"decimal without separator is right", tkDecimal, "1250", 1},
      {"centre with wide text is not moved", tkCenter,
       "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww", 4},
  };
  const int32_t stop = 2880;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTabTable set;
    AddTabStop(set, PackTabStop(stop, c.kind, 0));
    par->Format.TabSet = static_cast<int16_t>(GetTabManager().AddTable(set));
    Start(serif);
    Text("a");
    Special(scTab);
    Text(c.after);
    Finish();
    Break(100000);
    ASSERT_EQ(LineCount(), 1u);
    const std::vector<int32_t>& p = Line(0).Positions;
    const int32_t stopX = TwipsToLayoutX(stop, S());
    const size_t first = 2, last = 2 + std::string(c.after).size();
    // The tab tag tells the painter the stop's kind (and leader).
    const int32_t tabAt = par->CharToStreamOffset(1);
    EXPECT_EQ((ReadTagAt(par->Content.Data, tabAt).Value >> 8) & 0xFF, c.kind);
    EXPECT_EQ(par->CodeAt(1), scTab);
    switch (c.anchor) {
      case 0: EXPECT_EQ(p[first], stopX); break;
      case 1: EXPECT_EQ(p[last], stopX); break;
      case 2: EXPECT_NEAR((p[first] + p[last]) / 2, stopX, 1); break;
      case 3: EXPECT_EQ(p[first + 2], stopX); break;
      case 4: EXPECT_EQ(p[first], p[1]); break;
    }
  }
}

TEST_F(LineFitterTest, TabAtExactlyTheCurrentXIsTakenUnlessTheLineIsEmpty) {
  // Two stops, the first exactly where the first tab ends: the second tab goes on to the next
  // stop (a tab never stays at its own x right after a tab), the tab at the line start moves on.
  TTabTable set;
  AddTabStop(set, PackTabStop(720, tkLeft, 0));
  AddTabStop(set, PackTabStop(1440, tkLeft, 0));
  par->Format.TabSet = static_cast<int16_t>(GetTabManager().AddTable(set));
  Start(serif);
  Special(scTab);
  Special(scTab);
  Text("x");
  Finish();
  Break(100000);
  const std::vector<int32_t>& p = Line(0).Positions;
  EXPECT_EQ(p[1], TwipsToLayoutX(720, S()));
  EXPECT_EQ(p[2], TwipsToLayoutX(1440, S()));
}

// Hyphenates "abcdefghij" after its 3rd and 6th letters.
struct FakeHyphenation : THyphenationService {
  int calls = 0;
  bool HasData(int32_t) override { return true; }
  std::vector<int32_t> Hyphenate(std::u16string_view word, int32_t) override {
    ++calls;
    if (word == u"abcdefghij") return {3, 6};
    return {};
  }
};

TEST_F(LineFitterTest, HyphenationHooks) {
  struct Case {
    const char* name;
    const char* text;
    int32_t room;  // the line holds the first `room` characters of the text
    bool automatic;
    bool parForbids;
    int32_t zone;
    const char* firstLine;
    bool hyphenated;
  };
  const Case cases[] = {
      {"hyphenated at the last point that fits", "xx abcdefghij", 10, true, false, 0,
       "xx abcdef", true},
      {"automatic hyphenation off", "xx abcdefghij", 10, false, false, 0, "xx ", false},
      {"paragraph forbids hyphenation", "xx abcdefghij", 10, true, true, 0, "xx ", false},
      {"a word longer than the line", "abcdefghij", 7, true, false, 0, "abcdef", true},
      {"the word starts inside the hyphenation zone", "xx abcdefghij", 10, true, false, 100000,
       "xx ", false},
      {"the word before a delimiter when the last word gives nothing", "xx abcdefghij/klmno",
       16, true, false, 0, "xx abcdef", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedService<THyphenationService, FakeHyphenation> hyphenation;
    LayoutLineFitter().Settings.AutoHyphenate = c.automatic;
    LayoutLineFitter().Settings.HyphenationZone = c.zone;
    par->Format.NoHyphenation = c.parForbids ? 1 : 0;
    Start(serif);
    Text(c.text);
    Finish();
    const int32_t width = WidthOfFirst(c.room);
    const int32_t unhyphenatedEnd =
        Line(0).Positions[static_cast<size_t>(std::string(c.firstLine).size())];
    Break(width);
    ASSERT_GE(LineCount(), 2u);
    EXPECT_EQ(LineText(0), c.firstLine);
    EXPECT_EQ(Line(0).HasFlag(lfHyphenated), c.hyphenated);
    if (c.hyphenated) {
      EXPECT_GT(Line(0).EndX(), unhyphenatedEnd);  // the hyphen's width is added at the end
      EXPECT_EQ(LineText(1), std::string(c.text).substr(std::string(c.firstLine).size()) + "\x02");
    }
  }
}

TEST_F(LineFitterTest, OptionalHyphenHasNoWidthInsideALineAndAHyphenAtItsEnd) {
  Start(serif);
  Text("abc-");
  Finish();
  const int32_t width = WidthOfFirst(4) + 5;  // "abc" and a hyphen, not "abcd"
  Start(serif);
  Text("abc");
  Special(scOptionalHyphen);
  Text("def");
  Finish();
  Break(100000);
  ASSERT_EQ(LineCount(), 1u);
  EXPECT_EQ(Line(0).Positions[4], Line(0).Positions[3]);
  Break(width);
  ASSERT_EQ(LineCount(), 2u);
  EXPECT_EQ(LineText(0), "abc\x0f");
  EXPECT_GT(Line(0).Positions[4], Line(0).Positions[3]);  // the hyphen shows
}

struct FakeShapes : TInlineShapeService {
  TInlineShapeInfo Describe(int32_t ref, int32_t) override {
    TInlineShapeInfo info;
    info.Width = 1440;
    info.Height = ref == 2 ? 2880 : 720;
    info.HorizontalRule = ref == 3;
    return info;
  }
};

TEST_F(LineFitterTest, InlineShapesTakeTheirSizeAndAHorizontalRuleIsTheWholeLine) {
  ScopedService<TInlineShapeService, FakeShapes> shapes;
  Start(serif);
  Text("a");
  AppendContentTag(stream, ctInlineShape, 2);
  Text("b");
  AppendContentTag(stream, ctInlineShape, 3);
  Text("c");
  Finish();
  Break(100000);
  ASSERT_EQ(LineCount(), 3u);
  EXPECT_EQ(LineText(0), "a\x0a" "b");
  EXPECT_EQ(Line(0).Positions[2] - Line(0).Positions[1], TwipsToLayoutX(1440, S()));
  EXPECT_GE(Line(0).Ascent, TwipsToLayoutX(2880, S()));
  EXPECT_EQ(LineText(1), "\x0a");
  EXPECT_TRUE(Line(1).HasFlag(lfHorizontalRule));
  EXPECT_EQ(LineText(2), "c\x02");
}

// The drop-cap line holds the drop cap's characters whatever the width, starts at the text
// area's edge, stands unaligned, and is as tall as the characters' ink rather than their font.
TEST_F(LineFitterTest, ADropCapLineIsMeasuredWholeByItsInk) {
  TField cap;
  cap.Kind = fkDropCap;
  auto build = [&](bool withCap) {
    Start(serif);
    if (withCap) AppendContentTag(stream, ctFieldStart, TagRefOf(&cap));
    AppendContentTag(stream, ctSize, 144);
    Text("AB");
    if (withCap) AppendContentTag(stream, ctFieldEnd, TagRefOf(&cap));
    AppendContentTag(stream, ctSize, 24);
    Text("cold morning");
    Finish();
    NormalizeParagraphTags(*par);
  };
  par->Format.LeftIndent = 720;
  par->Format.Alignment = 1;  // centred
  build(false);
  Break(100000);
  const TLine& plain = Line(0);  // "AB" at the same size, measured as text
  const int32_t plainAscent = plain.Ascent, plainDescent = plain.Descent;
  build(true);
  ASSERT_TRUE(par->HasFlag(pfDropCap));
  Break(1);  // far too narrow for anything
  ASSERT_GE(LineCount(), 3u);
  const TLine& capLine = Line(0);
  EXPECT_TRUE(capLine.HasFlag(lfDropCap));
  EXPECT_EQ(LineText(0), "AB");
  EXPECT_EQ(capLine.StartX(), 0);
  EXPECT_GT(capLine.EndX(), 0);
  EXPECT_GT(capLine.Ascent, 0);
  EXPECT_LT(capLine.Ascent, plainAscent);
  EXPECT_LT(capLine.Descent, plainDescent);
  // The rest is broken as usual, in the paragraph's own font size again.
  EXPECT_EQ(LineText(1), "c");
  EXPECT_FALSE(Line(1).HasFlag(lfDropCap));
  EXPECT_LT(Line(1).Ascent, capLine.Ascent);
}

}  // namespace

namespace {

bool gLastOfStory = false;
bool LastOfStory(const TPar&) { return gLastOfStory; }

TEST_F(LineFitterTest, PageBreaksByViewAndPlace) {
  struct Case {
    const char* name;
    int viewMode;
    bool atParagraphEnd;
    bool lastOfStory;
    std::vector<std::string> lines;
    bool pageEndsAfterLine;
  };
  const Case cases[] = {
      {"print layout: the break ends the line", 0, false, false, {"ab\x08", "cd\x02"}, false},
      {"draft: the break starts the next line", 1, false, false, {"ab", "\x08", "cd\x02"}, false},
      {"before the paragraph end", 0, true, false, {"ab\x08\x02"}, true},
      {"before the end of a story's last paragraph", 0, true, true, {"ab\x08", "\x02"}, false},
  };
  LayoutLineFitter().IsLastOfStory = LastOfStory;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LayoutLineFitter().Settings.ViewMode = c.viewMode;
    gLastOfStory = c.lastOfStory;
    Start(serif);
    Text("ab");
    Special(scPageBreak);
    if (!c.atParagraphEnd) Text("cd");
    Finish();
    Break(7200);
    ASSERT_EQ(LineCount(), c.lines.size());
    for (size_t i = 0; i < LineCount(); ++i) EXPECT_EQ(LineText(i), c.lines[i]) << i;
    EXPECT_EQ(Line(0).HasFlag(lfPageBreakEnds), c.pageEndsAfterLine);
  }
  LayoutLineFitter().IsLastOfStory = nullptr;
}

TEST_F(LineFitterTest, CapitalsAreMeasuredInUpperCase) {
  Start(serif);
  Text("abc");
  Finish();
  Break(100000);
  const int32_t lower = Line(0).Positions[3];
  Start(serif);
  Text("ABC");
  Finish();
  Break(100000);
  const int32_t upper = Line(0).Positions[3];
  Start(serif);
  AppendContentTag(stream, cpAllCaps, 1);
  Text("abc");
  Finish();
  Break(100000);
  EXPECT_NE(lower, upper);
  EXPECT_EQ(Line(0).Positions[3], upper);
}

}  // namespace

namespace {

TEST_F(LineFitterTest, KerningPullsPairsTogetherFromItsThresholdOn) {
  struct Case {
    const char* name;
    int32_t threshold;  // half-points; 0 no kerning
    bool kerned;
  };
  const Case cases[] = {{"off", 0, false}, {"from 10 pt", 20, true}, {"from 20 pt", 40, false}};
  int32_t plain = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(serif, 24);
    AppendContentTag(stream, cpKerning, c.threshold);
    Text("AVAV");
    Finish();
    Break(100000);
    const int32_t width = Line(0).Positions[4];
    if (c.threshold == 0) plain = width;
    if (c.kerned) EXPECT_LT(width, plain);
    else EXPECT_EQ(width, plain);
  }
}

TEST_F(LineFitterTest, TabBeyondEveryStopFillsTheLineAndTheTextGoesOn) {
  Start(serif);
  Text(std::string(400, 'm'));  // far beyond the default stops
  Special(scTab);
  Text("x");
  Finish();
  Break(200000);
  ASSERT_EQ(LineCount(), 2u);
  const std::vector<int32_t>& p = Line(0).Positions;
  EXPECT_EQ(p[401], TwipsToLayoutX(200000, S()));
  EXPECT_EQ(LineText(1), "x\x02");
}

}  // namespace

namespace {

// Lines as (first character, count, end x) for comparing two breaks.
std::vector<std::array<int32_t, 3>> Shape(const TPar& par) {
  std::vector<std::array<int32_t, 3>> out;
  for (const TLine* l : par.Lines) out.push_back({l->FirstChar, l->Count, l->EndX()});
  return out;
}

TEST_F(LineFitterTest, ReBreakingFromALineGivesTheSameLinesAsAFullBreak) {
  // Format changes inside words, so that a line broken at the space before such a word must
  // take back the changes it measured past its break.
  Start(serif, 24);
  const char* words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"};
  for (int i = 0; i < 60; ++i) {
    const std::string w = words[i % 8];
    Text(w.substr(0, 2));
    AppendContentTag(stream, ctSize, 18 + (i % 5) * 6);
    AppendContentTag(stream, ctFont, i % 3 == 0 ? sans : serif);
    Text(w.substr(2) + " ");
  }
  Finish();
  Break(5000);
  ASSERT_GE(LineCount(), 6u);
  for (size_t i = 1; i < LineCount(); ++i) {
    TCharFormat after;
    FormatAfterLine(Line(i - 1), after);
    EXPECT_EQ(Line(i).StartFormat.Size, after.Size) << i;
    EXPECT_EQ(Line(i).StartFormat.Font, after.Font) << i;
  }
  const auto full = Shape(*par);
  for (int32_t from : {1, 3, 5}) {
    SCOPED_TRACE(from);
    BreakParagraphIntoLines(*par, from, 5000, nullptr);
    EXPECT_EQ(Shape(*par), full);
  }
}

}  // namespace
