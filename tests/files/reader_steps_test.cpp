// The steps all readers share: fields from instruction texts, toggles, languages and paths,
// based-on links, and the specially named bookmarks after loading.
#include "files/reader_steps.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/shape.h"
#include "document/styles.h"
#include "files/open_context.h"
#include "files/rtf/rtf_read_support.h"

using namespace qv;
using qvtest::RtfReaderTest;

namespace {

class ReaderStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc = std::make_unique<TDoc>(true);
    context.Document = doc.get();
    context.ReadPar = doc->Par(0);
  }
  std::unique_ptr<TDoc> doc;
  TOpenContext context;
};

TEST_F(ReaderStepsTest, FieldsAreMadeFromTheirInstructions) {
  struct Case {
    const char16_t* Instruction;
    bool InHeader;
    int32_t Type;  // -1: no field
    const char16_t* Cleaned;
  };
  const Case cases[] = {
      {u"hyperlink \"http://a.b/\"", false, ftHyperlink, u"HYPERLINK \"http://a.b/\""},
      {u"PAGE \\* ARABE", false, 33, u"PAGE \\* ARABIC"},
      {u"PAGE \\* \"ARABE\"", false, 33, u"PAGE \\* \"ARABE\""},  // quoted words stay
      {u"DATE \\* MAY\u00daSCULAS", false, 31, u"DATE \\* CAPS"},
      {u"EX \"entry\"", false, ftIndexEntry, u"XE \"entry\""},
      {u"TOC \\o \"1-3\"", true, -1, nullptr},  // no table of contents in a header
      {u"XE \"x\"", true, -1, nullptr},
      {u"NOSUCHFIELD x", false, -1, nullptr},
      {u"\x01\x02", false, -1, nullptr},  // only control characters: empty
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Instruction, c.Instruction + std::char_traits<char16_t>::length(c.Instruction)));
    TField* f = CreateFieldFromCode(c.Instruction, kFieldTypeFromInstruction, c.InHeader, context);
    if (c.Type < 0) {
      EXPECT_EQ(f, nullptr);
      continue;
    }
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FieldType, c.Type);
    EXPECT_EQ(f->Instruction, c.Cleaned);
    EXPECT_EQ(context.OpenFields.back(), f);
  }
  // The start marks went to the paragraph being read; closing appends the ends, last first.
  const size_t open = context.OpenFields.size();
  TField* last = context.OpenFields.back();
  CloseOpenFields(context);
  EXPECT_TRUE(context.OpenFields.empty());
  const std::vector<int32_t> ends = qvtest::TagValues(*doc->Par(0), ctFieldEnd);
  ASSERT_EQ(ends.size(), open);
  EXPECT_EQ(ends.front(), TagRefOf(last));
  EXPECT_TRUE(ParagraphOpensField(*doc->Fields.front(), *doc->Par(0)));
}

TEST_F(ReaderStepsTest, TogglesLanguagesAndPaths) {
  EXPECT_EQ(NormalizeToggleValue(129), 127);
  EXPECT_EQ(NormalizeToggleValue(1), 1);
  EXPECT_EQ(NormalizeLanguageId(7), 1031);
  EXPECT_EQ(NormalizeLanguageId(0), DefaultCharFormat.Language);
  EXPECT_EQ(NormalizeLanguageId(3082), 3082);
  EXPECT_EQ(NormalizePathSeparators(u"c:/a//b\\\\c"), u"c:\\a\\b\\c");
}

TEST_F(ReaderStepsTest, BasedOnCyclesAreBrokenAndOppositeTogglesResolved) {
  TStyleList& styles = *doc->Styles;
  for (int i = 0; i < 4; ++i) styles.AddNew();
  styles[0].CharFmt.Bold = 1;
  styles[1].BasedOn = 0;
  styles[1].CharFmt.Bold = 129;      // the opposite of its base
  styles[1].ParFmt.KeepNext = 127;
  styles[2].BasedOn = 3;             // 2 and 3 form a cycle
  styles[3].BasedOn = 2;
  FixStyleBaseLinks(*doc);
  EXPECT_EQ(styles[1].CharFmt.Bold, 0);
  EXPECT_EQ(int32_t{styles[1].ParFmt.KeepNext}, 1);
  EXPECT_TRUE(styles[2].BasedOn == -1 || styles[3].BasedOn == -1);
}

TEST_F(RtfReaderTest, OwnStateBookmarksBecomeDocumentState) {
  ASSERT_TRUE(Read("{\\rtf1{\\*\\bkmkstart _CursorPos_2_5}a{\\*\\bkmkend _CursorPos_2_5}\\par"
                   "{\\*\\bkmkstart _WritingTarget_1_500_2}b{\\*\\bkmkend _WritingTarget_1_500_2}\\par"
                   "{\\*\\bkmkstart _collapsedh_1}c{\\*\\bkmkend _collapsedh_1}\\par}"));
  ApplyOwnStateBookmarks(*context);
  EXPECT_EQ(context->CaretPar, 2);
  EXPECT_EQ(context->CaretOffset, 5);
  EXPECT_EQ(doc->FileSettings.WritingTarget, 500);
  EXPECT_EQ(doc->FileSettings.WritingTargetRelTo, 2);
  EXPECT_EQ(int32_t{doc->Par(2)->Format.Collapsed}, 1);
  EXPECT_EQ(doc->FileSettings.CollapsedHeadings, 1);
  for (const auto& f : doc->Fields) EXPECT_NE(f->Kind, fkBookmark);
  EXPECT_EQ(qvtest::ParagraphTexts(*doc), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  // "_CursorPos_12" has three parts: removed without setting the caret.
  ASSERT_TRUE(Read("{\\rtf1{\\*\\bkmkstart _CursorPos_12}d{\\*\\bkmkend _CursorPos_12}\\par}"));
  ApplyOwnStateBookmarks(*context);
  EXPECT_EQ(context->CaretPar, 0);
  EXPECT_EQ(context->CaretOffset, 0);
  EXPECT_TRUE(doc->Fields.empty());
}

TEST_F(RtfReaderTest, ClashingBookmarksGetFreeNamesAndTheirReferencesFollow) {
  ASSERT_TRUE(Read("{\\rtf1{\\*\\bkmkstart Intro}a{\\*\\bkmkend Intro}{\\*\\bkmkstart Outro}b{\\*\\bkmkend Outro}"
                   "{\\*\\bkmkstart Intro_qvw1x}c{\\*\\bkmkend Intro_qvw1x}{\\*\\bkmkstart Keep_qvw3}d{\\*\\bkmkend Keep_qvw3}"
                   "{\\field{\\*\\fldinst PAGEREF Outro \\\\h}{\\fldrslt 1}}\\par}"));
  RenameClashingBookmarks(*context, {u"Intro", u"OUTRO", u"Keep_qvw3"});
  std::vector<std::u16string> names;
  std::u16string pageRef;
  for (const auto& f : doc->Fields) {
    if (f->Kind == fkBookmark) names.push_back(f->Instruction);
    if (f->Kind == fkField) pageRef = f->Instruction;
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Intro_qvw1", u"Outro_qvw2", u"Intro_qvw1x", u"Keep_qvw4"}));
  EXPECT_EQ(pageRef, u"PAGEREF Outro_qvw2 \\h");
}

TEST_F(RtfReaderTest, PictureBulletsComeFromTheirBookmark) {
  const std::string png =
      "89504e470d0a1a0a0000000d49484452000000040000000308020000003b963991000000104944415478"
      "9c6338212707470c383900f5c70c3107ebad990000000049454e44ae426082";
  ASSERT_TRUE(Read("{\\rtf1{\\*\\listtable{\\list\\listid1{\\listlevel\\levelnfc23\\levelpicture1{\\leveltext\\'01\\u8226 ?;}}}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\ls1 item\\par\\pard "
                   "{\\*\\bkmkstart _PictureBullets}{\\pict\\pngblip " + png + "}{\\pict\\pngblip " + png +
                   "}{\\*\\bkmkend _PictureBullets}after\\par}"));
  ASSERT_EQ(context->PendingPictureBullets.size(), 1u);
  ApplyPictureBulletsBookmark(*context);
  ASSERT_EQ(doc->Lists.size(), 1u);
  EXPECT_NE(doc->Lists[0]->ListLevels[0].PictureBullet, nullptr);
  EXPECT_EQ(doc->Lists[0]->ListLevels[0].PictureBullet, doc->Shapes[1].get());
  EXPECT_EQ(qvtest::ParagraphTexts(*doc), (std::vector<std::u16string>{u"item", u"after"}));
  for (const auto& f : doc->Fields) EXPECT_NE(f->Kind, fkBookmark);
}

}  // namespace
