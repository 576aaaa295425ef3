// How characters are measured: capitals by the language and code page, raised and lowered
// text, fonts of other character sets, note marks, list labels and bordered groups.
#include <gtest/gtest.h>

#include "document/border_sets.h"
#include "document/doc.h"
#include "document/field.h"
#include "foundation/text/code_pages.h"
#include "layout/layout_fixture.h"
#include "layout/layout_units.h"

using namespace qv;

namespace {

using LineMeasuringTest = LayoutTest;

TEST_F(LineMeasuringTest, CapitalsAreTheLanguagesCapitalsInTheFontsCodePage) {
  const int32_t cyrillic = FontManager()->FontIndex("Liberation Serif", RUSSIAN_CHARSET, true);
  struct Case {
    const char* name;
    int32_t font;
    const char* text;     // measured with capitals
    const char* capital;  // measured as it is
  };
  const Case cases[] = {
      {"Latin", serif, "a\xFF", "A\x9F"},
      {"Cyrillic je and short u", cyrillic, "\xBC\xA2\xE0", "\xA3\xA1\xC0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t n = std::string(c.text).size();
    Start(c.font);
    Text(c.capital);
    Finish();
    Break(100000);
    const int32_t capitals = Line(0).Positions[n];
    Start(c.font);
    Text(c.text);
    Finish();
    Break(100000);
    EXPECT_NE(Line(0).Positions[n], capitals);
    Start(c.font);
    AppendContentTag(stream, cpAllCaps, 1);
    Text(c.text);
    Finish();
    Break(100000);
    EXPECT_EQ(Line(0).Positions[n], capitals);
  }
}

TEST_F(LineMeasuringTest, RaisedAndLoweredTextIsSmallerAndReachesTheFullSizesTopOrBottom) {
  auto measure = [&](int32_t size, int32_t script) {
    Start(serif, size);
    if (script != 0) AppendContentTag(stream, cpScript, script);
    Text("x");
    Finish();
    Break(100000);
    return std::array<int32_t, 3>{Line(0).Positions[1] - Line(0).Positions[0], Line(0).Ascent,
                                  Line(0).Descent};
  };
  const auto small = measure(MulDiv(48, 65, 100), 0);
  const auto super = measure(48, 1);
  const auto sub = measure(48, 2);
  EXPECT_EQ(super[0], small[0]);  // 65 % of the size
  EXPECT_EQ(sub[0], small[0]);
  EXPECT_GT(super[1], small[1]);  // raised: the top stands higher ...
  EXPECT_LT(super[2], small[2]);  // ... and the bottom too
  EXPECT_GT(sub[2], small[2]);    // lowered: the bottom stands lower ...
  EXPECT_LT(sub[1], small[1]);    // ... and the top too
}

TEST_F(LineMeasuringTest, BytesOfOtherCharacterSetsMeasureAsTheCharactersTheyStandFor) {
  struct Case {
    const char* name;
    int32_t charset;
    char byte;
    char16_t character;  // 0: the byte is no character on its own
  };
  const Case cases[] = {
      {"Cyrillic", RUSSIAN_CHARSET, '\xC0', u'\u0410'},
      {"Greek", GREEK_CHARSET, '\xE1', u'\u03B1'},
      {"Japanese single byte", SHIFTJIS_CHARSET, '\xB1', u'\uFF71'},
      {"Japanese lead byte", SHIFTJIS_CHARSET, '\x82', 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(FontManager()->FontIndex("Liberation Sans", c.charset, true));
    Text(std::string(1, c.byte));
    if (c.character != 0) AppendContentTag(stream, ctWideChar, c.character);
    Finish();
    Break(100000);
    const auto& p = Line(0).Positions;
    if (c.character == 0) {
      EXPECT_EQ(p[1], p[0]);
    } else {
      EXPECT_GT(p[1], p[0]);
      EXPECT_EQ(p[1] - p[0], p[2] - p[1]);
    }
  }
}

TEST_F(LineMeasuringTest, AnAutomaticNoteMarkMeasuresAsItsReferencesText) {
  auto widthOf = [&](const std::string& text) {
    Start(serif);
    Text(text);
    Finish();
    Break(100000);
    return Line(0).Positions[text.size()] - Line(0).Positions[0];
  };
  TField reference;
  reference.Kind = fkNoteReference;
  reference.Text = "1234";
  for (const bool withReference : {true, false}) {
    SCOPED_TRACE(withReference);
    Start(serif);
    Special(scAutoNoteMark);
    if (withReference) {
      AppendContentTag(stream, ctFieldStart, TagRefOf(&reference));
      AppendContentTag(stream, ctFieldEnd, TagRefOf(&reference));
    }
    Finish();
    Break(100000);
    const int32_t mark = Line(0).Positions[1] - Line(0).Positions[0];
    EXPECT_EQ(mark, widthOf(withReference ? "1234" : "?"));
  }
  ForgetTagRef(&reference);
}

TEST_F(LineMeasuringTest, TextAfterAListLabelStartsAtTheLabelsEndLessItsShift) {
  auto label = std::make_unique<TPar>(nullptr);
  label->Format = DefaultParFormat;
  TMemory labelText;
  AppendContentTag(labelText, ctFont, serif);
  labelText.AppendString("12.");
  AppendContentTag(labelText, ctSpecialChar, scParagraphEnd);
  label->Content = labelText;
  label->RebuildCodes();
  label->ContentChanged();
  label->NumberOwner = par.get();
  BreakParagraphIntoLines(*label, 0, 100000, nullptr);
  const int32_t labelWidth = label->Lines.front()->EndX() - label->Lines.front()->StartX();
  par->NumberPar = std::move(label);
  for (const int32_t shift : {0, 160}) {
    SCOPED_TRACE(shift);
    par->NumberPar->NumberShift = shift;
    Start(serif);
    Text("text");
    Finish();
    Break(100000);
    EXPECT_EQ(Line(0).StartX(), labelWidth - shift);
  }
  par->NumberPar->ReleaseLines(0);
}

TEST_F(LineMeasuringTest, ABorderedGroupHasTheTopBorderAboveItsFirstParagraphOnly) {
  TParBorders set;
  InitParBorders(set);
  set.Top = {15, 1, 0, 60, {0, 0, 0}};
  set.Bottom = {30, 1, 0, 90, {0, 0, 0}};
  set.Inside = {45, 1, 0, 60, {0, 0, 0}};
  TParFormat format = DefaultParFormat;
  format.Borders = static_cast<int16_t>(InternParBorders(set));
  const TParBorders stored = GetParBorders(format.Borders);
  const int32_t top = stored.Top.Width + stored.Top.Distance;
  const int32_t inside = stored.Inside.Width + stored.Inside.Distance;
  const int32_t bottom = stored.Bottom.Width + stored.Bottom.Distance;
  ASSERT_NE(top, inside);
  ASSERT_NE(bottom, inside);
  TDoc doc(true);
  doc.Par(0)->Format = format;
  doc.AppendParagraph(0, format);
  doc.AppendParagraph(0, format);
  TParFormat indented = format;
  indented.LeftIndent = 720;  // another frame: a group of its own
  doc.AppendParagraph(0, indented);
  struct Expect {
    int32_t above, below;
  };
  const Expect expected[] = {{top, inside}, {inside, inside}, {inside, bottom}, {top, bottom}};
  TLayoutLineFitter& fitter = LayoutLineFitter();
  int32_t plainHeight = 0;
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    SCOPED_TRACE(i);
    TPar& p = *doc.Par(i);
    BreakParagraphIntoLines(p, 0, 100000, nullptr);
    ASSERT_EQ(p.Lines.size(), 1u);
    const TLine& line = *p.Lines.front();
    EXPECT_EQ(fitter.GetLineSpaceAbove(line), expected[i].above);
    if (i == 0) plainHeight = line.Height - expected[i].above - expected[i].below;
    EXPECT_EQ(line.Height, plainHeight + expected[i].above + expected[i].below);
  }
}

}  // namespace

TEST_F(LineMeasuringTest, AMarkInsideItsReferenceFieldMeasuresAsThatReference) {
  TField first, second;
  first.Kind = second.Kind = fkNoteReference;
  first.Text = "1";
  second.Text = "2222";
  Start(serif);
  AppendContentTag(stream, ctFieldStart, TagRefOf(&first));
  Special(scAutoNoteMark);
  AppendContentTag(stream, ctFieldEnd, TagRefOf(&first));
  Text("x");
  AppendContentTag(stream, ctFieldStart, TagRefOf(&second));
  Special(scAutoNoteMark);
  AppendContentTag(stream, ctFieldEnd, TagRefOf(&second));
  Finish();
  Break(100000);
  const int32_t firstMark = Line(0).Positions[1] - Line(0).Positions[0];
  const int32_t secondMark = Line(0).Positions[3] - Line(0).Positions[2];
  EXPECT_LT(firstMark, secondMark);
  ForgetTagRef(&first);
  ForgetTagRef(&second);
}
