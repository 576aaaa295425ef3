#include "document/par_breaking.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "document/border_sets.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/par.h"
#include "document/stream_builder.h"
#include "foundation/base/service_slot.h"
#include "foundation/base/units.h"

using namespace qv;

namespace {

// A fitter of fixed-width characters: every character is 100 twips wide (so layout units are
// twips here) and a line breaks after its last space that fits, or before the character that
// does not fit; line breaks end the line.
class FixedFitter : public TLineFitter {
 public:
  int calls = 0;
  void FitLine(TLine& line, TStreamCursor& cursor, TWrapContext*) override {
    ++calls;
    const TPar& par = *line.Par;
    line.Positions.assign(1, 0);
    int32_t count = 0, bytes = 0, lastBreak = -1, lastBreakBytes = 0;
    while (bytes < cursor.Left) {
      const int32_t at = cursor.Offset + bytes;
      const bool tag = IsTagAt(cursor.Data, cursor.Offset + cursor.Left, at);
      const int32_t size = tag ? ContentTagSize : 1;
      const uint8_t code = par.CodeAt(line.FirstChar + count);
      if (tag && !IsCharTagKind(ReadTagAt(cursor.Data, at).Kind)) {
        bytes += size;
        continue;
      }
      const int32_t x = line.Positions.back() + 100;
      if (x > line.AvailWidth && code != ' ' && code != scParagraphEnd && count > 0) {
        if (lastBreak >= 0) {
          count = lastBreak;
          bytes = lastBreakBytes;
          line.Positions.resize(static_cast<size_t>(count) + 1);
        }
        break;
      }
      line.Positions.push_back(x);
      ++count;
      bytes += size;
      if (code == ' ') {
        lastBreak = count;
        lastBreakBytes = bytes;
      }
      if (code == scLineBreak) break;
    }
    line.Count = count;
    line.StreamLength = bytes;
    line.Ascent = 10;
    line.Descent = 5;
    cursor.Offset += bytes;
    cursor.Left -= bytes;
  }
  int32_t LineHeight(const TLine&) override { return 240; }
  void DetachLine(TLine& line) override { detached.push_back(&line); }
  std::vector<TLine*> detached;
};

class ParBreakingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fitter_.emplace();
    fixed = &**fitter_;
    par = std::make_unique<TPar>(nullptr);
  }
  void TearDown() override {
    par.reset();
    fitter_.reset();
  }
  std::optional<ScopedService<TLineFitter, FixedFitter>> fitter_;
  void Fill(const std::string& text, bool lineBreakAfterFirstWord = false) {
    TMemory s;
    AppendContentTag(s, ctBold, 1);
    for (char c : text) {
      if (lineBreakAfterFirstWord && c == '|') AppendContentTag(s, ctSpecialChar, scLineBreak);
      else s.AppendByte(static_cast<uint8_t>(c));
    }
    AppendContentTag(s, ctSpecialChar, scParagraphEnd);
    par->Content = s;
    par->RebuildCodes();
    par->ContentChanged();
  }
  TLine& Line(size_t i) { return *par->Lines.at(i); }

  FixedFitter* fixed = nullptr;
  std::unique_ptr<TPar> par;
};

TEST_F(ParBreakingTest, EmptyParagraphMakesOneLine) {
  Fill("");
  BreakParagraphIntoLines(*par, 0, 1000, nullptr);
  ASSERT_EQ(par->LineCount(), 1);
  EXPECT_EQ(Line(0).Count, 1);
  EXPECT_EQ(Line(0).StreamLength, static_cast<int32_t>(par->Content.Length));
}

TEST_F(ParBreakingTest, ReBreakingFromALineKeepsTheLinesBeforeIt) {
  Fill("aaaa bbbb cccc dddd eeee ffff gggg hhhh");
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  const int32_t count = par->LineCount();
  ASSERT_GE(count, 6);
  std::vector<int32_t> firsts;
  for (TLine* l : par->Lines) firsts.push_back(l->FirstChar);
  TLine* kept[3] = {par->Lines[0], par->Lines[1], par->Lines[2]};
  fixed->calls = 0;
  BreakParagraphIntoLines(*par, 3, 500, nullptr);
  EXPECT_EQ(fixed->calls, count - 3);  // only the lines from 3 on were fitted again
  ASSERT_EQ(par->LineCount(), count);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(par->Lines[i], kept[i]);
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(Line(i).FirstChar, firsts[i]) << i;
    EXPECT_EQ(Line(i).LineIndex, i);
  }
  // The format in force after a line has the format tags of its span applied.
  TCharFormat after;
  FormatAfterLine(Line(0), after);
  EXPECT_EQ(after.Bold, 1);
  FormatAfterLine(Line(1), after);
  EXPECT_EQ(after.Bold, Line(1).StartFormat.Bold);
}

TEST_F(ParBreakingTest, BreakingBeyondTheLastLineContinuesAfterIt) {
  Fill("aaaa bbbb cccc");
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  const int32_t count = par->LineCount();
  BreakParagraphIntoLines(*par, 99, 500, nullptr);  // nothing left to break
  EXPECT_EQ(par->LineCount(), count);
}

TEST_F(ParBreakingTest, LineOfACharacter) {
  Fill("aaa|bbb ccc ddd", true);  // "aaa" ends with a line break; the others break softly
  BreakParagraphIntoLines(*par, 0, 400, nullptr);
  ASSERT_GE(par->LineCount(), 3);
  const int32_t second = Line(1).FirstChar;  // after the line break
  const int32_t third = Line(2).FirstChar;   // after a soft break
  struct Case {
    const char* name;
    int32_t index;
    int32_t lowest;
    bool endAffinity;
    int32_t expected;
  };
  const Case cases[] = {
      {"inside the first line", 1, INT32_MAX, false, 0},
      {"start of a line, no stepping back", second, INT32_MAX, false, 1},
      {"after a line break without end affinity", second, 0, false, 1},
      {"after a line break with end affinity", second, 0, true, 0},
      {"after a soft break steps back", third, 0, false, 1},
      {"beyond the end: the last line", 1000, INT32_MAX, false, par->LineCount() - 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(par->LineIndexOfChar(c.index, c.lowest, c.endAffinity), c.expected) << c.name;
}

TEST_F(ParBreakingTest, ReformatWithoutBreakingMarksTheParagraphForLater) {
  Fill("aaaa bbbb");
  ReformatParagraph(*par, true, 10000);
  EXPECT_TRUE(par->HasFlag(pfLinesValid));
  EXPECT_EQ(par->LineCount(), 1);
  ReformatParagraph(*par, false, 10000);
  EXPECT_EQ(par->LineCount(), 0);
  EXPECT_FALSE(par->HasFlag(pfLinesValid));
  EXPECT_FALSE(par->HasFlag(pfNormalized));
}

TEST_F(ParBreakingTest, ReleasedLinesAreReused) {
  Fill("aaaa bbbb cccc dddd");
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  const int32_t pooled = LinePoolSize();
  const int32_t count = par->LineCount();
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  EXPECT_EQ(LinePoolSize(), pooled);  // every new line came out of the pool
  par->ReleaseLines(0);
  EXPECT_EQ(LinePoolSize(), pooled + count);
}

TEST_F(ParBreakingTest, ReleasedLinesAreDestroyedWhileMemoryIsShort) {
  struct Case {
    uint64_t allocated;
    bool pooled;
  };
  for (const Case c : {Case{MemoryPressureLimit, true}, Case{MemoryPressureLimit + 1, false}}) {
    ClearLinePool();
    Fill("aaaa bbbb cccc dddd");
    BreakParagraphIntoLines(*par, 0, 500, nullptr);
    const int32_t count = par->LineCount();
    SetAllocatedMemoryProbe([&] { return c.allocated; });
    par->ReleaseLines(0);
    SetAllocatedMemoryProbe(nullptr);
    EXPECT_EQ(LinePoolSize(), c.pooled ? count : 0) << c.allocated;
  }
}

TEST_F(ParBreakingTest, ADropCapGetsALineOfItsOwnBeforeTheRestOfTheParagraph) {
  TField cap;
  cap.Kind = fkDropCap;
  TStreamBuilder()
      .Ref(ctFieldStart, &cap)
      .Tag(ctSize, 96)
      .Text("W")
      .Ref(ctFieldEnd, &cap)
      .Tag(ctSize, 24)
      .Text("hen in the course of human events")
      .End()
      .Into(*par);
  NormalizeParagraphTags(*par);
  ASSERT_TRUE(par->HasFlag(pfDropCap));
  const int32_t capEnd = 3 * ContentTagSize + 1;  // start mark, size, "W", end mark
  BreakParagraphIntoLines(*par, 0, 1000, nullptr);
  ASSERT_GE(par->LineCount(), 3);
  const TLine& capLine = Line(0);
  EXPECT_TRUE(capLine.HasFlag(lfDropCap));
  EXPECT_EQ(capLine.Count, 1);
  EXPECT_EQ(capLine.StreamOffset, 0);
  EXPECT_EQ(capLine.StreamLength, capEnd);
  EXPECT_EQ(capLine.LineIndex, 0);
  EXPECT_EQ(capLine.RowNumber, 0);
  // The rest starts after the drop cap's end mark, in the format in force there.
  EXPECT_EQ(Line(1).FirstChar, 1);
  EXPECT_EQ(Line(1).StreamOffset, capEnd);
  EXPECT_EQ(Line(1).StartFormat.Size, 96);
  for (int32_t i = 1; i < par->LineCount(); ++i) EXPECT_FALSE(Line(i).HasFlag(lfDropCap)) << i;
  // Breaking again from line 1 keeps the drop-cap line.
  TLine* kept = par->Lines[0];
  BreakParagraphIntoLines(*par, 1, 1000, nullptr);
  EXPECT_EQ(par->Lines[0], kept);
  EXPECT_EQ(Line(1).StreamOffset, capEnd);
  // A drop cap that is not at the paragraph's start (or not a drop cap) makes no such line.
  TField bookmark;
  bookmark.Kind = fkBookmark;
  TStreamBuilder().Ref(ctFieldStart, &bookmark).Text("W").Ref(ctFieldEnd, &bookmark).Text("hen").End().Into(*par);
  NormalizeParagraphTags(*par);
  par->Flags |= pfDropCap;  // even with a stale flag
  BreakParagraphIntoLines(*par, 0, 1000, nullptr);
  EXPECT_FALSE(Line(0).HasFlag(lfDropCap));
  EXPECT_EQ(Line(0).FirstChar, 0);
  EXPECT_GT(Line(0).Count, 1);
}

// Without a layout the paragraph's text is one line (after its drop-cap line), so that lines and
// characters can still be found.
TEST_F(ParBreakingTest, WithoutALayoutTheTextAfterADropCapIsOneLine) {
  RegisterLineFitter(nullptr);
  TField cap;
  cap.Kind = fkDropCap;
  TStreamBuilder().Ref(ctFieldStart, &cap).Text("Wh").Ref(ctFieldEnd, &cap).Text("en in").End().Into(*par);
  NormalizeParagraphTags(*par);
  BreakParagraphIntoLines(*par, 0, 100, nullptr);
  ASSERT_EQ(par->LineCount(), 2);
  EXPECT_EQ(Line(0).Count, 2);
  EXPECT_EQ(Line(1).FirstChar, 2);
  EXPECT_EQ(Line(1).Count, par->CharCount() - 2);
  EXPECT_EQ(Line(1).StreamOffset + Line(1).StreamLength, static_cast<int32_t>(par->Content.Length));
  EXPECT_EQ(par->LineIndexOfChar(4, INT32_MAX, false), 1);
}

TEST_F(ParBreakingTest, BreakingFromTheFirstLineForgetsThatTheParagraphWrappedShapes) {
  Fill("aaaa bbbb cccc dddd");
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  struct Case {
    int32_t from;
    bool stillWraps;
  };
  for (const Case c : {Case{1, true}, Case{0, false}}) {
    par->Flags |= pfWrapsShapes;
    BreakParagraphIntoLines(*par, c.from, 500, nullptr);
    EXPECT_EQ(par->HasFlag(pfWrapsShapes), c.stillWraps) << c.from;
  }
}

TEST_F(ParBreakingTest, APaginatedLineSnapshotPutsThePlacementBack) {
  Fill("aaaa");
  BreakParagraphIntoLines(*par, 0, 1000, nullptr);
  TLine& line = Line(0);
  int boxStandIn = 0;
  TBox* box = reinterpret_cast<TBox*>(&boxStandIn);
  line.Box = box;
  line.Slot = 3;
  line.Top = 480;
  line.Height = 240;
  line.LineNumber = 7;
  line.Flags = lfFieldShading | lfHyphenated | lfSegment | lfLastBand | lfWrapPlaced;
  const TPaginatedLineInfo info = TPaginatedLineInfo::Create(line);
  EXPECT_EQ(info.Height, 240);
  // The paragraph is broken again: the line's placement is gone.
  line.Box = nullptr;
  line.Slot = 0;
  line.Top = 0;
  line.Height = 250;
  line.LineNumber = 0;
  line.Flags = lfFieldShading | lfSectionBreak;
  info.ApplyTo(line);
  EXPECT_EQ(line.Box, box);
  EXPECT_EQ(line.Slot, 3);
  EXPECT_EQ(line.Top, 480);
  EXPECT_EQ(line.LineNumber, 7);
  EXPECT_EQ(line.Height, 250);  // the new breaking's height stays
  // Only the saved band and placement bits are added to the line's own flags.
  EXPECT_EQ(line.Flags, lfFieldShading | lfSectionBreak | lfSegment | lfLastBand | lfWrapPlaced);
  line.Box = nullptr;
}

TEST_F(ParBreakingTest, APlacedParagraphHasValidLinesAndItsFirstLineInABox) {
  EXPECT_EQ(par->LineCount(), 0);
  EXPECT_EQ(par->LineIndexOfChar(0, INT32_MAX, false), -1);
  EXPECT_FALSE(par->IsPlaced());
  Fill("aaaa bbbb cccc");
  ReformatParagraph(*par, true, 500);
  ASSERT_GE(par->LineCount(), 2);
  EXPECT_FALSE(par->IsPlaced());  // broken, but in no box yet
  int boxStandIn = 0;
  TBox* box = reinterpret_cast<TBox*>(&boxStandIn);
  Line(1).Box = box;
  EXPECT_FALSE(par->IsPlaced());  // only the first line counts
  Line(0).Box = box;
  EXPECT_TRUE(par->IsPlaced());
  par->Flags &= static_cast<uint16_t>(~pfLinesValid);
  EXPECT_FALSE(par->IsPlaced());
  // Breaking again releases the lines: each one that lay in a box is detached from it once,
  // through the line fitter.
  TLine* first = par->Lines[0];
  TLine* second = par->Lines[1];
  fixed->detached.clear();
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  ASSERT_EQ(fixed->detached.size(), 2u);
  EXPECT_EQ(fixed->detached[0], first);
  EXPECT_EQ(fixed->detached[1], second);
  for (TLine* l : par->Lines) EXPECT_EQ(l->Box, nullptr);
  fixed->detached.clear();
  par->ReleaseLines(0);
  EXPECT_TRUE(fixed->detached.empty());  // none of these lay in a box
}

TEST_F(ParBreakingTest, AWidthNearTheIntegerLimitLessTheRightIndentDoesNotWrapAround) {
  Fill("aaaa bbbb");
  par->Format.RightIndent = 720;
  ReformatParagraph(*par, true, INT32_MIN + 100);
  ASSERT_GE(par->LineCount(), 1);
  EXPECT_EQ(Line(0).AvailWidth, INT32_MIN);  // not a huge positive width
  par->Format.RightIndent = -720;
  ReformatParagraph(*par, true, INT32_MAX - 100);
  EXPECT_EQ(Line(0).AvailWidth, INT32_MAX);
  EXPECT_EQ(par->LineCount(), 1);
}

// The indent of a line's start, in twips and in pixels at the document's zoom and view.
TEST(ParLineIndent, FirstLineIndentAndTheDraftViewsShift) {
  SetScreenPixelsPerInchForTests(96);
  TDoc doc(true);
  TPar& p = *doc.Par(0);
  TStreamBuilder()
      .Tag(ctSpecialChar, scPageBreak)
      .Tag(ctSpecialChar, scColumnBreak)
      .Text("ab")
      .End()
      .Into(p);
  struct Case {
    const char* name;
    int16_t left, first;
    int32_t index;
    bool draft;
    int32_t twips;
    int32_t pixelsAt200;  // 96 pixels per inch
  };
  const Case cases[] = {
      {"first line: left and first-line indent", 720, 360, 0, false, 1080, 144},
      {"only breaks before: still the first line", 720, 360, 2, false, 1080, 144},
      {"after a character: the left indent", 720, 360, 3, false, 720, 96},
      {"hanging first line left of the margin", 720, -1080, 0, false, -360, -48},
      {"the draft views move it to the margin", 720, -1080, 0, true, 0, 0},
      {"and the later lines with it", 720, -1080, 3, true, 1080, 144},
      {"a negative left indent in a draft view", -360, 0, 3, true, 0, 0},
      {"a negative left indent in print layout", -360, 0, 3, false, -360, -48},
  };
  doc.ZoomPercent = 200;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.Format.LeftIndent = c.left;
    p.Format.FirstIndent = c.first;
    EXPECT_EQ(p.GetLineIndentTwips(c.index, c.draft), c.twips);
    doc.ViewMode = c.draft ? vmDraft : vmPrintLayout;
    EXPECT_EQ(p.GetLineIndentPx(c.index), c.pixelsAt200);
  }
  // Without a document: 100 % in print layout.
  TPar loose(nullptr);
  loose.Format.LeftIndent = 1440;
  loose.Format.FirstIndent = 0;
  EXPECT_EQ(loose.GetLineIndentPx(0), 96);
  SetScreenPixelsPerInchForTests(0);
}

TEST(ParBottomBorderSpace, TheGroupsLastParagraphCarriesTheBottomBorderTheOthersTheInside) {
  TParBorders set;
  InitParBorders(set);
  set.Bottom = {30, 1, 0, 90, {0, 0, 0}};
  set.Inside = {45, 1, 0, 60, {0, 0, 0}};
  TParBorders noBottom = set;
  noBottom.Bottom.Style = BorderStyleNone;
  TParFormat format = DefaultParFormat;
  format.Borders = static_cast<int16_t>(InternParBorders(set));
  const TParBorders stored = GetParBorders(format.Borders);
  const int32_t inside = stored.Inside.Width + stored.Inside.Distance;
  const int32_t bottom = stored.Bottom.Width + stored.Bottom.Distance;
  ASSERT_NE(inside, bottom);
  TParFormat indented = format;  // another frame: a group of its own
  indented.LeftIndent = 720;
  TParFormat plain = DefaultParFormat;
  plain.Borders = 0;
  TParFormat withoutBottom = DefaultParFormat;
  withoutBottom.Borders = static_cast<int16_t>(InternParBorders(noBottom));
  TDoc doc(true);
  doc.Par(0)->Format = format;
  doc.AppendParagraph(0, format);
  doc.AppendParagraph(0, format);
  doc.AppendParagraph(0, indented);
  doc.AppendParagraph(0, plain);
  doc.AppendParagraph(0, withoutBottom);
  const int32_t expected[] = {inside, inside, bottom, bottom, 0, 0};
  ASSERT_EQ(doc.ParCount(), 6);
  for (int32_t i = 0; i < doc.ParCount(); ++i)
    EXPECT_EQ(doc.Par(i)->GetBottomBorderSpace(), expected[i]) << i;
}

}  // namespace
