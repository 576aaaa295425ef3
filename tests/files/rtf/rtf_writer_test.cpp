#include "files/rtf/rtf_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/field.h"
#include "document/styles.h"
#include "document/table_row.h"
#include "files/files_test_support.h"
#include "files/rtf/rtf_write_support.h"

using namespace qv;

namespace {

class RtfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { qvtest::EnsureFontManager(); }
  static bool Has(const std::string& rtf, const std::string& piece) {
    return rtf.find(piece) != std::string::npos;
  }
};

TEST_F(RtfWriterTest, InfoTextsKeepUnicodeInAPairOfForms) {
  struct Case {
    std::u16string Title;
    const char* Expected;
  };
  const Case cases[] = {
      {u"Plain title", "{\\title Plain title}"},
      {u"Caf\u00E9", "{\\upr{\\title Caf\\'e9}{\\*\\ud{\\title Caf\\u233?}}}"},
  };
  for (const Case& c : cases) {
    TDoc doc(true);
    TDocBuilder(doc).Add("x");
    doc.Props.Title = c.Title;
    EXPECT_TRUE(Has(qvtest::WriteRtfToString(doc), c.Expected)) << c.Expected;
  }
}

TEST_F(RtfWriterTest, FormattingRunsAreGroupsOnlyWhenTheyReturnToTheSurroundingFormat) {
  TDoc doc(true);
  TPar& par = *doc.Par(0);
  par.Content.AppendString("a ");
  AppendContentTag(par.Content, ctBold, 1);
  par.Content.AppendString("bold");
  AppendContentTag(par.Content, ctBold, 0);
  par.Content.AppendString(" b ");
  AppendContentTag(par.Content, ctBold, 1);
  par.Content.AppendString("field");
  auto field = std::make_unique<TField>();
  field->Instruction = u"PAGE";
  AppendContentTag(par.Content, ctFieldStart, TagRefOf(field.get()));
  par.Content.AppendString("1");
  AppendContentTag(par.Content, ctFieldEnd, TagRefOf(field.get()));
  AppendContentTag(par.Content, ctBold, 0);
  par.Content.AppendString(" c");
  AppendContentTag(par.Content, ctSpecialChar, scParagraphEnd);
  par.RebuildCodes();
  par.ContentChanged();
  doc.Fields.push_back(std::move(field));
  const std::string rtf = qvtest::WriteRtfToString(doc);
  EXPECT_TRUE(Has(rtf, "a {\\b bold} b \\b field")) << rtf;
  EXPECT_TRUE(Has(rtf, "{\\field{\\*\\fldinst{")) << rtf;
  EXPECT_TRUE(Has(rtf, "  PAGE }}{\\fldrslt{")) << rtf;
  EXPECT_TRUE(Has(rtf, "\\b0  c")) << rtf;  // the delimiter, then the text's space
}

TEST_F(RtfWriterTest, ParagraphPropertiesByDifferenceOrByReset) {
  TDoc doc(true);
  TDocBuilder b(doc);
  TParFormat keep = DefaultParFormat;
  keep.KeepNext = 1;
  keep.WidowControl = 1;
  b.Format = keep;
  b.Add("kept");
  b.Format.Alignment = 1;  // only adds centring
  b.Add("centred");
  b.Format = DefaultParFormat;  // keep with next off again
  b.Format.WidowControl = 1;
  b.Add("plain");
  b.Finish();
  const std::string rtf = qvtest::WriteRtfToString(doc);
  EXPECT_TRUE(Has(rtf, "\\keepn")) << rtf;
  EXPECT_TRUE(Has(rtf, "\\nowidctlpar\\widctlpar")) << rtf;
  EXPECT_TRUE(Has(rtf, "\\par\r\n\\qc centred")) << rtf;
  EXPECT_TRUE(Has(rtf, "\\par\r\n\\pard")) << rtf;
}

TEST_F(RtfWriterTest, HighlightOfAnIndexColourAlsoWritesTheHighlightWord) {
  struct Case {
    int32_t Color;
    bool Indexed;
  };
  for (const Case& c : {Case{0x00FFFF, true}, Case{0x00FEFF, false}}) {
    TDoc doc(true);
    TPar& par = *doc.Par(0);
    AppendContentTag(par.Content, cpHighlight, c.Color);
    par.Content.AppendString("marked");
    AppendContentTag(par.Content, ctSpecialChar, scParagraphEnd);
    par.RebuildCodes();
    par.ContentChanged();
    const std::string rtf = qvtest::WriteRtfToString(doc);
    EXPECT_EQ(Has(rtf, "\\chcbpat0\\highlight1"), c.Indexed) << rtf;
    EXPECT_EQ(Has(rtf, "\\chcbpat1 "), !c.Indexed) << rtf;
  }
}

TEST_F(RtfWriterTest, AnEmptyDocumentHasOnlyTheAutomaticColour) {
  TDoc doc(true);
  EXPECT_TRUE(Has(qvtest::WriteRtfToString(doc), "{\\colortbl;}"));
}

TEST_F(RtfWriterTest, UnicodeInTextIsSignedWhileInstructionsArePositive) {
  TDoc doc(true);
  TPar& par = *doc.Par(0);
  AppendContentTag(par.Content, ctWideChar, 0xF020);
  auto bookmark = std::make_unique<TField>();
  bookmark->Kind = fkBookmark;
  bookmark->Instruction = u"\uF020";
  AppendContentTag(par.Content, ctFieldStart, TagRefOf(bookmark.get()));
  AppendContentTag(par.Content, ctFieldEnd, TagRefOf(bookmark.get()));
  AppendContentTag(par.Content, ctSpecialChar, scParagraphEnd);
  par.RebuildCodes();
  par.ContentChanged();
  doc.Fields.push_back(std::move(bookmark));
  const std::string rtf = qvtest::WriteRtfToString(doc);
  EXPECT_TRUE(Has(rtf, "\\u-4064?")) << rtf;
  EXPECT_TRUE(Has(rtf, "{\\*\\bkmkstart \\u61472?}")) << rtf;
}

}  // namespace

// Other word processors take \clpadt for a cell's left padding and \clpadl for its top one.
TEST_F(RtfWriterTest, CellPaddingsUseTheWordsOtherProgramsRead) {
  TDoc doc(true);
  TDocBuilder b(doc);
  TTableRow* row = b.Row({"a"});
  row->Cells[0].PadLeft = 108;
  row->Cells[0].PadTop = 40;
  row->Cells[0].PadRight = 90;
  row->Cells[0].PadBottom = 20;
  const std::string rtf = qvtest::WriteRtfToString(doc);
  EXPECT_TRUE(Has(rtf, "\\clpadt108\\clpadl40\\clpadb20\\clpadr90")) << rtf;
}
