// The open road: a file that does not match its format, the working state it leaves, and what
// other programs make of the RTF the writer produces.
#include "files/open_road.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/par.h"
#include "document/table_row.h"
#include "files/doc_formats.h"
#include "files/files_test_support.h"
#include "files/open_context.h"
#include "files/output/saving_options.h"
#include "files/save_dispatcher.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

class OpenRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qvtest::EnsureFontManager();
    folder = fs::temp_directory_path() / ("openroad" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  fs::path folder;
};

TEST_F(OpenRoadTest, AMisnamedFileIsDetectedOnlyWhenTheUserAgrees) {
  const std::string rtf = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0 Hello\par World\par})";
  struct Case {
    const char* Name;
    int32_t Answer;
    uint8_t Result;
    int32_t Format;
  };
  for (const Case& c : {Case{"yes", mrYes, 1, dfRtf}, Case{"no", mrNo, 0, dfRefused}}) {
    SCOPED_TRACE(c.Name);
    ScopedService<TMessageDlgService, qvtest::ScriptedBox> box;
    const int32_t answer = c.Answer;
    box->Answer = [answer] { return answer; };
    TDoc doc(true);
    TDocOpeningOptions options;
    options.FileName = Write("letter.doc", rtf);
    options.FormatIndex = dfDoc;
    EXPECT_EQ(DocOpen(doc, options), c.Result);
    EXPECT_EQ(options.FormatIndex, c.Format);
    ASSERT_FALSE(box->Texts.empty());
    EXPECT_NE(box->Texts[0].find("is not a valid file in format \"MS Word DOC\""),
              std::string::npos);
    if (c.Result == 0) continue;
    EXPECT_EQ(doc.FileName, options.FileName);
    EXPECT_EQ(doc.FormatIndex, dfRtf);
    EXPECT_TRUE(doc.FileState.HoldsFile);
    EXPECT_EQ(qvtest::ParagraphTexts(doc), (std::vector<std::u16string>{u"Hello", u"World"}));
  }
}

TEST_F(OpenRoadTest, OldStyleBulletsAndNumbersOfASimpleEditorKeepTheirLabels) {
  TDoc doc(true);
  doc.Hidden = false;  // read to be shown
  TDocOpeningOptions options;
  options.FileName = qvtest::FilesDataPath("rtf/wordpad_lists.rtf");
  options.FormatIndex = dfRtf;
  ASSERT_EQ(DocOpen(doc, options), 1);
  std::vector<std::u16string> labels;
  for (int32_t p = 0; p <= doc.LastParagraphOfStory(stMain); ++p) {
    TPar* np = doc.Par(p)->NumberPar.get();
    if (np == nullptr) continue;
    BuildParagraphWideText(*np);
    labels.push_back(np->WideText);
  }
  ASSERT_EQ(labels.size(), 4u);
  EXPECT_EQ(labels[0], labels[1]);  // the same bullet twice
  EXPECT_EQ(labels[0].find(u'1'), std::u16string::npos);
  EXPECT_EQ(labels[2], u"1.\t");
  EXPECT_EQ(labels[3], u"2.\t");
}

TEST_F(OpenRoadTest, MergedCellsShadingAndNestedCellsOfAnRtfTableAreShown) {
  TDoc doc(true);
  TDocOpeningOptions options;
  options.FileName = qvtest::FilesDataPath("rtf/tables_shading.rtf");
  options.FormatIndex = dfRtf;
  ASSERT_EQ(DocOpen(doc, options), 1);
  ASSERT_EQ(doc.TableRows.size(), 3u);
  const TTableRow& first = *doc.TableRows[0];
  ASSERT_EQ(first.CellCount, 2);  // the header spans the first two columns
  EXPECT_EQ(first.Cells[0].Right, 6000);
  EXPECT_EQ(first.Cells[0].ShadingColor, 0xFFC8C8);
  EXPECT_EQ(first.Cells[1].ShadingColor, 0xCCCCCC);  // 20 % black on white
  const TTableRow& second = *doc.TableRows[1];
  EXPECT_EQ(second.Cells[0].ShadingColor, 0xD2D2D2);  // the row's shading
  EXPECT_EQ(second.Cells[1].ShadingColor, 0xC8DCFF);
  EXPECT_EQ(second.Cells[2].ShadingColor, 0xC8DCFF);  // solid pattern
  const std::vector<std::u16string> texts = qvtest::ParagraphTexts(doc);
  EXPECT_NE(std::find(texts.begin(), texts.end(), u"Inner 1\tInner 2\t"), texts.end());
  EXPECT_EQ(doc.Par(doc.LastParagraphOfStory(stMain))->Format.Shading, 0xE6E6E6);
}

TEST_F(OpenRoadTest, AShownDocumentGetsItsListNumbersWhenRead) {
  const std::string rtf =
      R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\*\listtable{\list\listtemplateid1)"
      R"({\listlevel\levelnfc23\levelstartat1\levelfollow0{\leveltext \'01\u8226 ?;}{\levelnumbers;}\fi-360\li720})"
      R"({\listlevel\levelnfc0\levelstartat1\levelfollow0{\leveltext \'02\'01.;}{\levelnumbers\'01;}\fi-360\li1440})"
      R"(\listid1}}{\listoverridetable{\listoverride\listid1\listoverridecount0\ls1}})"
      R"(\pard\ls1\ilvl0\li720\fi-360 Bullet\par\pard\ls1\ilvl1\li1440\fi-360 Numbered\par)"
      R"(\pard\ls1\ilvl1\li1440\fi-360 Numbered\par\pard Plain\par})";
  TDoc doc(true);
  doc.Hidden = false;  // read to be shown
  TDocOpeningOptions options;
  options.FileName = Write("list.rtf", rtf);
  options.FormatIndex = dfRtf;
  ASSERT_EQ(DocOpen(doc, options), 1);
  auto number = [&doc](int32_t par) {
    TPar* np = doc.Par(par)->NumberPar.get();
    if (np == nullptr) return std::u16string(u"(none)");
    BuildParagraphWideText(*np);
    return np->WideText;
  };
  EXPECT_EQ(number(0), u"\u2022\t");
  EXPECT_EQ(number(1), u"1.\t");
  EXPECT_EQ(number(2), u"2.\t");
  EXPECT_EQ(number(3), u"(none)");
}

TEST_F(OpenRoadTest, AnotherRtfReaderGetsTheSameText) {
  if (std::system("command -v unrtf > /dev/null 2>&1") != 0) GTEST_SKIP() << "unrtf missing";
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Add("First paragraph {with braces} and a backslash \\ here");
  b.Add("Caf\xE9 au lait");
  b.Row({"cell one", "cell two"});
  b.Add("After the table");
  b.Finish();
  doc.FileName = (folder / "interop.rtf").string();
  // The escaped form: the supercompact form's raw bytes and backslash-return paragraph marks
  // are valid RTF that this reader does not take.
  const uint16_t flags = GetOptions().LoadSave.Flags;
  GetOptions().LoadSave.Flags = flags & ~1;
  TDocSavingOptions options;
  doc.GetMainTextRange(options.Range);
  const uint8_t saved = DocSaveToFile(doc, options);
  GetOptions().LoadSave.Flags = flags;
  ASSERT_EQ(saved, 0);
  const std::string out = (folder / "interop.txt").string();
  const std::string command = "unrtf --text '" + doc.FileName + "' > '" + out + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(out);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* expected : {"First paragraph {with braces} and a backslash \\ here", "Caf\xE9 au lait", "cell one", "cell two", "After the table"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

}  // namespace
