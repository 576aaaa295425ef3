#include "document/par_breaking.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "document/content_tags.h"
#include "document/fragment_pool.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/par.h"
#include "foundation/base/service_slot.h"

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
};

struct PoolReleasingServices : TDocLayoutServices {
  void ReleaseLine(TLine* line) override { qv::ReleaseLine(line); }
};

class ParBreakingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fitter_.emplace();
    fixed = &**fitter_;
    layoutServices_.emplace();
    par = std::make_unique<TPar>(nullptr);
  }
  void TearDown() override {
    par.reset();
    fitter_.reset();
    layoutServices_.reset();
  }
  std::optional<ScopedService<TLineFitter, FixedFitter>> fitter_;
  std::optional<ScopedService<TDocLayoutServices, PoolReleasingServices>> layoutServices_;
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
  ASSERT_EQ(ParLineCount(*par), 1);
  EXPECT_EQ(Line(0).Count, 1);
  EXPECT_EQ(Line(0).StreamLength, static_cast<int32_t>(par->Content.Length));
}

TEST_F(ParBreakingTest, ReBreakingFromALineKeepsTheLinesBeforeIt) {
  Fill("aaaa bbbb cccc dddd eeee ffff gggg hhhh");
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  const int32_t count = ParLineCount(*par);
  ASSERT_GE(count, 6);
  std::vector<int32_t> firsts;
  for (TLine* l : par->Lines) firsts.push_back(l->FirstChar);
  TLine* kept[3] = {par->Lines[0], par->Lines[1], par->Lines[2]};
  fixed->calls = 0;
  BreakParagraphIntoLines(*par, 3, 500, nullptr);
  EXPECT_EQ(fixed->calls, count - 3);  // only the lines from 3 on were fitted again
  ASSERT_EQ(ParLineCount(*par), count);
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
  const int32_t count = ParLineCount(*par);
  BreakParagraphIntoLines(*par, 99, 500, nullptr);  // nothing left to break
  EXPECT_EQ(ParLineCount(*par), count);
}

TEST_F(ParBreakingTest, LineOfACharacter) {
  Fill("aaa|bbb ccc ddd", true);  // "aaa" ends with a line break; the others break softly
  BreakParagraphIntoLines(*par, 0, 400, nullptr);
  ASSERT_GE(ParLineCount(*par), 3);
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
      {"beyond the end: the last line", 1000, INT32_MAX, false, ParLineCount(*par) - 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParLineIndexOfChar(*par, c.index, c.lowest, c.endAffinity), c.expected) << c.name;
}

TEST_F(ParBreakingTest, ReformatWithoutBreakingMarksTheParagraphForLater) {
  Fill("aaaa bbbb");
  ReformatParagraph(*par, true, 10000);
  EXPECT_TRUE(par->HasFlag(pfLinesValid));
  EXPECT_EQ(ParLineCount(*par), 1);
  ReformatParagraph(*par, false, 10000);
  EXPECT_EQ(ParLineCount(*par), 0);
  EXPECT_FALSE(par->HasFlag(pfLinesValid));
  EXPECT_FALSE(par->HasFlag(pfNormalized));
}

TEST_F(ParBreakingTest, ReleasedLinesAreReused) {
  Fill("aaaa bbbb cccc dddd");
  BreakParagraphIntoLines(*par, 0, 500, nullptr);
  const int32_t pooled = LinePoolSize();
  const int32_t count = ParLineCount(*par);
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
    const int32_t count = ParLineCount(*par);
    SetAllocatedMemoryProbe([&] { return c.allocated; });
    par->ReleaseLines(0);
    SetAllocatedMemoryProbe(nullptr);
    EXPECT_EQ(LinePoolSize(), c.pooled ? count : 0) << c.allocated;
  }
}

}  // namespace
