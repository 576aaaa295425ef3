// Formatting operations through the dispatcher: character and paragraph formats, stepping,
// page settings, styles, paragraph steps and list levels, each applied and undone.
#include <gtest/gtest.h>

#include "editing/edit_codes.h"
#include "editing/format_operations.h"
#include "editing/operation.h"
#include "editing/style_operations.h"
#include "edit_test_support.h"
#include "foundation/settings/options_holder.h"

using namespace qv;

namespace {

class FormatOps : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_.InitNewDocument();
    SetMainText(doc_, {"alpha beta", "gamma"});
  }
  TCharFormat FormatAt(int32_t par, int32_t offset) {
    TCharFormat f;
    doc_.Par(par)->GetCharFormatAt(offset, f);
    return f;
  }
  void Edit(uint8_t code, std::vector<void*> args) {
    doc_.ExecuteEdit(code, args.data(), static_cast<int32_t>(args.size()) - 1);
  }
  TEngineScope engine_;
  TDoc doc_{true};
};

TEST_F(FormatOps, DoubleStrikeSwitchesStrikeOffInTheSameStep) {
  TDocRange r;
  MakeRange(0, 0, 0, 5, r);
  TCharFormat strike = UnsetCharFormat;
  strike.Strike = 1;
  uint8_t flags = 0;
  Edit(ecFormatFont, {nullptr, &r, &strike, &flags});
  EXPECT_EQ(FormatAt(0, 1).Strike, 1);
  TCharFormat dbl = UnsetCharFormat;
  dbl.DoubleStrike = 1;
  Edit(ecFormatFont, {nullptr, &r, &dbl, &flags});
  EXPECT_EQ(FormatAt(0, 1).Strike, 0);
  EXPECT_EQ(FormatAt(0, 1).DoubleStrike, 1);
  EXPECT_NE(FormatAt(0, 6).DoubleStrike, 1);  // outside the range
  doc_.Undo();
  EXPECT_EQ(FormatAt(0, 1).Strike, 1);
  doc_.Undo();
  EXPECT_NE(FormatAt(0, 1).Strike, 1);
}

TEST_F(FormatOps, AnAllUnsetFormatRecordsNothing) {
  TDocRange r;
  MakeRange(0, 0, 0, 5, r);
  TCharFormat unset = UnsetCharFormat;
  uint8_t flags = 0;
  Edit(ecFormatFont, {nullptr, &r, &unset, &flags});
  EXPECT_EQ(doc_.LastOperationSerial(), 0u);
}

TEST_F(FormatOps, OnlyTheLeftIndentKeepsAHangingFirstLine) {
  TDocRange r;
  MakeRange(0, 0, 0, 1, r);
  TParFormat hang = UnsetParFormat;
  SetParFormatProp(hang, ppFirstIndent, -360);
  SetParFormatProp(hang, ppLeftIndent, 360);
  Edit(ecFormatParagraphs, {nullptr, &r, &hang});
  TParFormat left = UnsetParFormat;
  SetParFormatProp(left, ppLeftIndent, 1440);
  Edit(ecFormatParagraphs, {nullptr, &r, &left});
  EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, ppLeftIndent), 1800);
  EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, ppFirstIndent), -360);
  doc_.Undo();
  EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, ppLeftIndent), 360);
}

TEST_F(FormatOps, SteppingSizesKeepsTheirDifferencesAndStopsAtTheSmallest) {
  EXPECT_EQ(StepFontValue(cpSize, 3, -2), 2);
  EXPECT_EQ(StepFontValue(cpSize, 2, -1), 2);
  EXPECT_EQ(StepFontValue(cpSize, 1990, 100), 2000);
  EXPECT_EQ(StepFontValue(cpSize, 20, 2150), 30);  // 150 %
  EXPECT_EQ(StepFontValue(cpSpacing, 5, 2), 8);    // rounded to even first
  EXPECT_EQ(StepFontValue(cpVertOffset, 999, 5), 1000);
  TDocRange small, all;
  MakeRange(0, 0, 0, 5, small);
  MakeRange(0, 0, 0, 10, all);
  TCharFormat size20 = UnsetCharFormat, size24 = UnsetCharFormat;
  size20.Size = 20;
  size24.Size = 24;
  uint8_t flags = 0;
  Edit(ecFormatFont, {nullptr, &all, &size24, &flags});
  Edit(ecFormatFont, {nullptr, &small, &size20, &flags});
  StepFontProperty(doc_, nullptr, &all, 2, cpSize);
  EXPECT_EQ(FormatAt(0, 1).Size, 22);
  EXPECT_EQ(FormatAt(0, 7).Size, 26);
}

TEST_F(FormatOps, PageMarginsAreLimitedAndOrientationSwapsTheSides) {
  TPageParams p;
  p.LeftMargin = 20000;
  p.RightMargin = p.TopMargin = p.BottomMargin = INT32_MIN;
  TDocRange r;
  MakeRange(0, 0, 0, 0, r);
  Edit(ecChangePageParams, {&p, &r});
  const TPageParams& pp = doc_.Sections.front()->PageParams;
  EXPECT_EQ(pp.LeftMargin, 12240 - 1440 - 180);
  TPageParams h;
  h.LeftMargin = h.RightMargin = h.TopMargin = h.BottomMargin = INT32_MIN;
  h.HeaderDistance = 15840;
  Edit(ecChangePageParams, {&h, &r});
  EXPECT_EQ(pp.HeaderDistance, 15840 * 40 / 100);
  doc_.Undo();
  doc_.Undo();
  EXPECT_EQ(pp.LeftMargin, 1440);
  EXPECT_EQ(pp.HeaderDistance, 720);
}

TEST_F(FormatOps, ParagraphSpacingAndIndentSteps) {
  struct {
    uint8_t kind;
    int32_t step;
    int prop;
    int32_t start;
    int32_t expected;
  } cases[] = {
      {psMoreSpaceBefore, 0, ppSpaceBefore, -20, 340},
      {psLessSpaceBefore, 0, ppSpaceBefore, -20, 0},
      {psLessSpaceAfter, 0, ppSpaceAfter, 30, 0},
      {psMoreSpaceAfter, 0, ppSpaceAfter, 120, 180},
      {psLeftIndent, -720, ppLeftIndent, 360, 360},  // hanging -360: never below 360
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    TParFormat& f = doc_.Par(0)->Format;
    SetParFormatProp(f, ppFirstIndent, -360);
    SetParFormatProp(f, c.prop, c.start);
    TDocRange r;
    MakeRange(0, 0, 0, 1, r);
    uint8_t kind = c.kind;
    int32_t step = c.step;
    const uint32_t before = doc_.LastOperationSerial();
    Edit(ecStepParagraphFormat, {nullptr, &r, &kind, &step});
    EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, c.prop), c.expected);
    if (c.expected != c.start) {
      EXPECT_NE(doc_.LastOperationSerial(), before);
      doc_.Undo();
      EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, c.prop), c.start);
    }
  }
}

TEST_F(FormatOps, ListLevelStepsMoveTheLevelWithinItsBounds) {
  doc_.Lists.push_back(std::make_unique<TAutoList>());
  doc_.Lists.back()->Number = 1;
  SetParFormatProp(doc_.Par(0)->Format, ppList, 1);
  SetParFormatProp(doc_.Par(0)->Format, ppListLevel, 0);
  TDocRange r;
  MakeRange(0, 0, 0, 1, r);
  uint8_t up = psListLevelUp, down = psListLevelDown;
  int32_t step = 0;
  Edit(ecStepParagraphFormat, {nullptr, &r, &up, &step});  // below 0: nothing
  EXPECT_EQ(doc_.LastOperationSerial(), 0u);
  Edit(ecStepParagraphFormat, {nullptr, &r, &down, &step});
  EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, ppListLevel), 1);
  EXPECT_STREQ(OperationName(EditCodeNameIndex(ecStepParagraphFormat, std::vector<void*>{nullptr, &r, &down}.data(), 2)),
               "Lists");
  doc_.Undo();
  EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, ppListLevel), 0);
}

TEST_F(FormatOps, ApplyingAStyleKeepsVaryingDirectFormattingAndUndoes) {
  SetMainText(doc_, {"plain |Bbold|b plain"});
  const std::string before = DumpDoc(doc_);
  const int32_t heading = doc_.Styles->IndexOfBuiltIn(bsHeading1);
  ASSERT_GE(heading, 0);
  doc_.Caret.Par = 0;
  doc_.Selection->SetSingleRange(0, 0, 0, 3);
  int32_t index = heading;
  uint8_t withFormats = 1;
  Edit(ecApplyStyle, {&index, &withFormats});
  EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, ppStyle), heading);
  TCharFormat own;
  GetStyleFormat((*doc_.Styles)[heading], &own, nullptr, sfOwnOnly);
  if (own.Bold == CharUnset) {
    EXPECT_EQ(FormatAt(0, 7).Bold, 1);
    EXPECT_NE(FormatAt(0, 1).Bold, 1);
  }
  doc_.Undo();
  EXPECT_EQ(DumpDoc(doc_), before);
}

TEST_F(FormatOps, UpdatingAStyleThatAlreadyMatchesRecordsNothing) {
  doc_.CurParFormat = doc_.Par(0)->Format;
  SetParFormatProp(doc_.CurParFormat, ppStyle, 0);
  doc_.CurCharFormat = DefaultCharFormat;
  GetStyleFormat((*doc_.Styles)[0], &doc_.CurCharFormat, &doc_.CurParFormat, 0);
  int32_t index = -1;
  Edit(ecUpdateStyle, {&index});
  EXPECT_EQ(doc_.LastOperationSerial(), 0u);
}

TEST_F(FormatOps, RedefiningAStyleReformatsItsParagraphsAsOneStep) {
  const std::string before = DumpDoc(doc_);
  doc_.CurParFormat = doc_.Par(0)->Format;
  SetParFormatProp(doc_.CurParFormat, ppStyle, 0);
  SetParFormatProp(doc_.CurParFormat, ppAlignment, 2);
  doc_.CurCharFormat = DefaultCharFormat;
  int32_t index = 0;
  Edit(ecUpdateStyle, {&index});
  ASSERT_EQ(doc_.UndoList.size(), 1u);
  EXPECT_EQ(GetParFormatProp((*doc_.Styles)[0].ParFmt, ppAlignment), 2);
  doc_.Undo();
  EXPECT_EQ(DumpDoc(doc_), before);
}

}  // namespace

namespace {

TEST_F(FormatOps, ApplyingAStyleKeepsAHyperlinksColourAndUnderline) {
  auto link = std::make_unique<TField>();
  link->Kind = fkField;
  link->FieldType = ftHyperlink;
  TField* f = link.get();
  doc_.Fields.push_back(std::move(link));
  TPar& p = *doc_.Par(0);
  p.Content.Clear();
  p.Content.AppendString("see ");
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(f));
  AppendContentTag(p.Content, 15, 0xFF0000);  // colour
  AppendContentTag(p.Content, 6, 1);          // underline
  p.Content.AppendString("link");
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f));
  AppendContentTag(p.Content, 15, AutoColor);
  AppendContentTag(p.Content, 6, 0);
  p.Content.AppendString(" here");
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  // A style that sets a colour and an underline of its own.
  TStyle& st = doc_.Styles->AddNew();
  st.Name = st.DisplayName = "Loud";
  st.BasedOn = 0;
  st.CharFmt.Color = 0x0000FF;
  st.CharFmt.Underline = 3;
  const int32_t index = doc_.Styles->Count() - 1;
  TDocRange r;
  MakeRange(0, 0, 0, 1, r);
  ApplyStyle(doc_, nullptr, &r, nullptr, nullptr, true, index);
  EXPECT_EQ(FormatAt(0, 5).Color, 0xFF0000);  // inside the hyperlink
  EXPECT_EQ(FormatAt(0, 5).Underline, 1);
  EXPECT_EQ(FormatAt(0, 1).Color, 0x0000FF);  // outside it
  EXPECT_EQ(FormatAt(0, 10).Underline, 3);
}

}  // namespace

namespace {

TEST_F(FormatOps, RedefiningAStyleOverAListedParagraphMovesItsIndentsIntoTheListLevel) {
  doc_.Lists.push_back(std::make_unique<TAutoList>());
  doc_.Lists.back()->Number = 7;
  SetParFormatProp(doc_.Par(0)->Format, ppList, 7);
  SetParFormatProp(doc_.Par(0)->Format, ppStyle, 0);
  const std::string before = DumpDoc(doc_);
  doc_.CurParFormat = doc_.Par(0)->Format;
  SetParFormatProp(doc_.CurParFormat, ppListLevel, 1);
  SetParFormatProp(doc_.CurParFormat, ppFirstIndent, -360);
  SetParFormatProp(doc_.CurParFormat, ppLeftIndent, 1080);
  doc_.CurCharFormat = DefaultCharFormat;
  int32_t index = 0;
  Edit(ecUpdateStyle, {&index});
  const TParFormat& level = doc_.Lists.back()->ListLevels[1].ParFormat;
  EXPECT_EQ(GetParFormatProp(level, ppLeftIndent), 1080);
  EXPECT_EQ(GetParFormatProp(level, ppFirstIndent), -360);
  EXPECT_EQ(GetParFormatProp((*doc_.Styles)[0].ParFmt, ppList), 7);
  doc_.Undo();
  EXPECT_EQ(DumpDoc(doc_), before);
}

}  // namespace
