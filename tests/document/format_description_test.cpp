#include "document/format_description.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "document/tab_stops.h"
#include "foundation/settings/options_holder.h"
#include "foundation/text/measure_units.h"

using namespace qv;

namespace {

// Lengths in centimetres with "." as the decimal separator, whatever the machine says.
struct FormatDescription : ::testing::Test {
  uint8_t savedUnit = 0;
  void SetUp() override {
    ::setenv("LC_ALL", "en_US.UTF-8", 1);
    savedUnit = GetOptions().General.Measurements;
    GetOptions().General.Measurements = muCentimetres;
  }
  void TearDown() override {
    GetOptions().General.Measurements = savedUnit;
    ::unsetenv("LC_ALL");
  }
  static std::string Describe(const TCharFormat* c, const TParFormat* p, uint32_t flags = 0) {
    std::string text = "left over";  // the output is written afresh
    DescribeFormatting(c, p, ", ", text, flags);
    return text;
  }
};

TEST_F(FormatDescription, SingleProperties) {
  struct Case {
    void (*set)(TCharFormat&);
    uint32_t flags;
    const char* text;
  } cases[] = {
      {[](TCharFormat&) {}, 0, ""},
      {[](TCharFormat& f) { f.Bold = 1; }, 0, "bold"},
      {[](TCharFormat& f) { f.Bold = 0; }, 0, "not bold"},
      {[](TCharFormat& f) { f.Strike = 0; }, 0, ""},
      {[](TCharFormat& f) { f.Strike = 0; }, dfmNegativeItems, "not strike"},
      {[](TCharFormat& f) { f.Strike = 0; f.DoubleStrike = 0; }, 0, "not strike"},
      {[](TCharFormat& f) { f.DoubleStrike = 1; }, 0, "double strike"},
      {[](TCharFormat& f) { f.Size = 21; }, 0, "font size: 10.5 pt"},
      {[](TCharFormat& f) { f.Size = 24; }, dfmNoBreakSpaces, "font size: 12\xA0pt"},
      {[](TCharFormat& f) { f.Color = 0x0000FF; }, 0, "font color: red"},
      {[](TCharFormat& f) { f.Color = 0x0000FF; }, dfmColorValues,
       "font color: \x13" "255\x13\xA0red"},
      {[](TCharFormat& f) { f.Highlight = AnyHighlight; }, 0, "highlight color: (Any)"},
      {[](TCharFormat& f) { f.VertOffset = -3; }, 0, "vertical offset down: 3 pt"},
      {[](TCharFormat& f) { f.Kerning = 25; }, 0, "kerning: 12 pt and greater"},
      {[](TCharFormat& f) { f.Underline = 5; }, 0, ""},  // not a supported code
  };
  for (const Case& c : cases) {
    TCharFormat f;
    c.set(f);
    EXPECT_EQ(Describe(&f, nullptr, c.flags), c.text);
  }
  TCharFormat none;
  EXPECT_NE(Describe(&none, nullptr, dfmDefaultFontAndSize).find("font size: 12 pt"),
            std::string::npos);
}

TEST_F(FormatDescription, ASampleFormat) {
  TCharFormat c;
  c.Size = 21;
  c.Bold = 1;
  c.Italic = 0;
  c.Underline = 11;
  c.Color = 0x0000FF;
  c.Highlight = AutoColor;
  c.Script = 1;
  c.Scale = 150;
  c.Spacing = 20;
  TParFormat p;
  p.FirstIndent = -360;
  p.LeftIndent = 720;
  p.LineSpacing = 360;
  p.LineRule = 1;
  p.Alignment = 1;
  p.KeepNext = 1;
  p.SpaceBefore = -20;
  p.SpaceAfter = 120;
  p.OutlineLevel = 9;
  p.TabSet = static_cast<int16_t>(
      GetTabManager().AddTable({PackTabStop(720, tkCenter, 0), PackTabStop(1440, tkDecimal, 0)}));
  p.Borders = 0;
  p.Shading = -1;
  EXPECT_EQ(Describe(&c, &p),
            "font size: 10.5 pt, bold, not italic, wave underline, font color: red, "
            "highlight color: (None), superscript, character scale: 150%, "
            "character spacing: 1 pt, first line outdent: 0.64 cm, left indent: 0.64 cm, "
            "1.5 lines spacing, centered alignment, keep with next paragraph, "
            "spacing before: Auto, spacing after: 6 pt, outline level: body text, "
            "tab stops: 1.27 cm centered, 2.54 cm decimal, no paragraph borders, "
            "no paragraph shading");
  TParFormat indent;
  indent.FirstIndent = 720;
  EXPECT_EQ(Describe(nullptr, &indent, dfmNoBreakSpaces), "first line indent: 1.27\xA0" "cm");
  TParFormat exact;
  exact.LineSpacing = -240;
  exact.LineRule = 0;
  EXPECT_EQ(Describe(nullptr, &exact), "line spacing exactly: 12 pt");
}

TEST(FrenchStyleNames, MapToTheBuiltInNames) {
  EXPECT_EQ(EnglishStyleName("titre 1"), "Heading 1");
  EXPECT_EQ(EnglishStyleName("EN-T\xCATE"), "Header");
  EXPECT_EQ(EnglishStyleName("Liste \xE0 puces 3"), "List Bullet 3");
  EXPECT_EQ(EnglishStyleName("Titre TM"), "TOC Title");
  EXPECT_EQ(EnglishStyleName("Heading 1"), "");
  EXPECT_STREQ(FrenchStyleNames[31], "En-t\xEAte");
}

}  // namespace
