#include "foundation/ui/rich_viewer.h"

#include <gtest/gtest.h>

#include "foundation/ui/application.h"
#include "platform/gfx/canvas.h"

using namespace qv;

namespace {

int32_t TextWidth(const TRichViewer& v, const char* text, bool bold = false) {
  TMsgFormat f;
  f.Bold = bold;
  plat::Canvas c;
  c.SetFont(v.FontOf(f));
  return c.TextExtent(InterfaceText(text)).cx;
}

std::vector<std::string> LinesOf(const TRichViewer& v) {
  std::vector<std::string> out;
  for (size_t i = 0; i < v.Lines().size(); ++i) out.push_back(v.LineText(i));
  return out;
}

TEST(RichViewer, CodesToggleFormatsAndBreakLines) {
  TRichViewer v;
  v.Margin = 4;
  v.SetBounds(0, 0, 600, 100);
  v.SetText("^bImportant^b notice for you. ^pSecond ^Rred^A sentence.^x!");
  EXPECT_EQ(LinesOf(v), (std::vector<std::string>{"Important notice for you. ", "Second red sentence.!"}));
  EXPECT_EQ(v.Lines()[0].Format.Bold, 0);
  EXPECT_EQ(v.Lines()[1].Format, TMsgFormat{});  // bold was switched off again
  EXPECT_GT(v.LineHeight, 0);

  TMsgFormat f;
  struct Case { char code; int32_t TMsgFormat::*field; int32_t value; } cases[] = {
      {'b', &TMsgFormat::Bold, 1}, {'i', &TMsgFormat::Italic, 1}, {'u', &TMsgFormat::Underline, 1},
      {'s', &TMsgFormat::StrikeOut, 1}, {'R', &TMsgFormat::ColorIndex, 6}, {'F', &TMsgFormat::ColorIndex, 10},
      {'A', &TMsgFormat::ColorIndex, 5}, {'C', &TMsgFormat::ColorIndex, 9},
  };
  for (const Case& c : cases) {
    TMsgFormat g;
    EXPECT_TRUE(ApplyMsgCode(c.code, g));
    EXPECT_EQ(g.*(c.field), c.value) << c.code;
  }
  f.Bold = 1;
  f.ColorIndex = 8;
  ApplyMsgCode('d', f);
  EXPECT_EQ(f, TMsgFormat{});
  EXPECT_FALSE(ApplyMsgCode('x', f));
  EXPECT_EQ(v.ColorOf(6), plat::Rgb(255, 0, 0));
  EXPECT_EQ(v.ColorOf(9), plat::Rgb(100, 149, 237));
}

TEST(RichViewer, FormatCarriesOverToTheNextLine) {
  TRichViewer v;
  v.SetBounds(0, 0, 120, 100);
  v.SetText("^bbold words that go on and on^b plain");
  ASSERT_GE(v.Lines().size(), 2u);
  EXPECT_EQ(v.Lines()[1].Format.Bold, 1);
}

TEST(RichViewer, LongWordsOverflowAndTrailingCommasStay) {
  TRichViewer v;
  v.Margin = 2;
  v.SetBounds(0, 0, 60, 100);
  v.SetText("a extraordinarilylongword b");
  EXPECT_EQ(LinesOf(v), (std::vector<std::string>{"a ", "extraordinarilylongword ", "b"}));

  TRichViewer w;
  w.Margin = 2;
  w.SetBounds(0, 0, 4 + TextWidth(w, "aaa ") + TextWidth(w, "bbb", true), 100);
  w.SetText("aaa ^bbbb^b, ccc");
  EXPECT_EQ(LinesOf(w), (std::vector<std::string>{"aaa bbb, ", "ccc"}));
}

TEST(RichViewer, ResizingWrapsAgain) {
  TRichViewer v;
  v.SetBounds(0, 0, 800, 100);
  v.SetText("one two three four five six seven eight nine ten");
  EXPECT_EQ(v.Lines().size(), 1u);
  v.SetWidth(80);
  EXPECT_GT(v.Lines().size(), 3u);
  v.SetWidth(800);
  EXPECT_EQ(v.Lines().size(), 1u);
}

}  // namespace
