#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/par.h"
#include "files/post_load_steps.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"
#include "files_test_support.h"

using namespace qv;
using namespace qvtest;

namespace {

// A list as old paragraph numbering leaves it: one level (at `level`) with the texts before and
// after the number.
TAutoList& AddOldList(TDoc& doc, int32_t level, int32_t format, const std::string& before,
                      const std::string& after, bool includesPrevious = false) {
  auto list = std::make_unique<TAutoList>();
  list->Number = static_cast<int32_t>(doc.Lists.size()) + 1;
  list->SingleLevel = 1;
  TListLevel& l = list->ListLevels[static_cast<size_t>(level)];
  l.NumberFormat = format;
  l.FileData1 = before;
  l.FileData2 = after;
  l.IncludesPrevious = includesPrevious ? 1 : 0;
  l.ParFormat.LeftIndent = 360;
  doc.Lists.push_back(std::move(list));
  return *doc.Lists.back();
}

// Paragraphs in lists: each entry the list number (0 none) and level of one paragraph.
void AddParagraphs(TDoc& doc, const std::vector<std::pair<int32_t, int32_t>>& pars) {
  TDocBuilder b(doc);
  for (const auto& [list, level] : pars) {
    const int32_t p = b.Add("text");
    doc.Par(p)->Format.List = list;
    doc.Par(p)->Format.ListLevel = static_cast<int8_t>(level);
  }
  b.Finish();
}

std::vector<int32_t> ListsOfParagraphs(const TDoc& doc) {
  std::vector<int32_t> out;
  for (int32_t p = 0; p < doc.ParCount(); ++p) out.push_back(doc.Par(p)->Format.List);
  return out;
}

void Resolve(TDoc& doc, bool fromTable = false) {
  TPostLoadInfo info;
  info.ListsFromTable = fromTable;
  ResolveLists(doc, info);
}

class PostLoadLists : public ::testing::Test {
 protected:
  void SetUp() override { EnsureFontManager(); }
};

TEST_F(PostLoadLists, ConsecutiveNumberedParagraphsShareTheFirstOnesList) {
  TDoc doc(true);
  AddOldList(doc, 0, 0, "", ".");
  AddOldList(doc, 0, 0, "", ".");
  AddOldList(doc, 0, 0, "", ".");
  AddOldList(doc, 0, 4, "(", ")");  // after a paragraph without a list: a run of its own
  AddParagraphs(doc, {{1, 0}, {2, 0}, {3, 0}, {0, 0}, {4, 0}});
  Resolve(doc);
  EXPECT_EQ(ListsOfParagraphs(doc), (std::vector<int32_t>{1, 1, 1, 0, 4}));
  ASSERT_EQ(doc.Lists.size(), 2u);
  EXPECT_EQ(doc.Lists[0]->ListLevels[0].LevelText, std::u16string(u"\u0000.", 2));
  EXPECT_EQ(doc.Lists[1]->ListLevels[0].LevelText, std::u16string(u"(\u0000)", 3));
  EXPECT_EQ(doc.Lists[0]->SingleLevel, 1);
}

TEST_F(PostLoadLists, NumbersRightAfterBulletsStartAListOfTheirOwn) {
  // Bullets, then numbers with no plain paragraph between (as a simple editor writes them):
  // the bullets stay bullets and the numbers start at their own start.
  TDoc doc(true);
  AddOldList(doc, 0, 23, "\xB7", "");
  AddOldList(doc, 0, 0, "", ".");
  AddOldList(doc, 0, 0, "", ".");
  AddOldList(doc, 1, 0, "", ")");  // a lower level under the numbers joins them
  AddParagraphs(doc, {{1, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}});
  Resolve(doc);
  EXPECT_EQ(ListsOfParagraphs(doc), (std::vector<int32_t>{1, 1, 2, 2, 2}));
  ASSERT_EQ(doc.Lists.size(), 2u);
  EXPECT_FALSE(doc.Lists[0]->IsNumberedLevel(0));
  EXPECT_EQ(doc.Lists[0]->ListLevels[0].LevelText, u"\u00B7");
  EXPECT_TRUE(doc.Lists[1]->IsNumberedLevel(0));
  EXPECT_TRUE(doc.Lists[1]->IsNumberedLevel(1));
}

TEST_F(PostLoadLists, LowerLevelsMakeAnOutlineWithRebuiltLevelTexts) {
  TDoc doc(true);
  AddOldList(doc, 0, 0, "", "");              // neither text: "." after the number
  AddOldList(doc, 1, 4, "", ")", true);       // includes the level above
  AddParagraphs(doc, {{1, 0}, {2, 1}, {1, 0}});
  Resolve(doc);
  EXPECT_EQ(ListsOfParagraphs(doc), (std::vector<int32_t>{1, 1, 1}));
  ASSERT_EQ(doc.Lists.size(), 1u);
  const TAutoList& list = *doc.Lists[0];
  EXPECT_EQ(list.SingleLevel, 0);
  EXPECT_EQ(list.ListLevels[0].LevelText, std::u16string(u"\u0000.", 2));
  EXPECT_EQ(list.ListLevels[1].NumberFormat, 4);
  EXPECT_EQ(list.ListLevels[1].LevelText, std::u16string(u"\u0000.\u0001)", 4));
  // Levels without settings of their own copy the one above, one step further in.
  EXPECT_EQ(list.ListLevels[2].NumberFormat, 4);
  EXPECT_EQ(list.ListLevels[2].ParFormat.LeftIndent, 360 + 720);
  EXPECT_EQ(list.ListLevels[3].ParFormat.LeftIndent, 360 + 2 * 720);
  EXPECT_EQ(list.ListLevels[2].LevelText, std::u16string(u"\u0000.\u0001)\u0002)", 6));
}

TEST_F(PostLoadLists, LikeBulletListsJoinAndTableListsStayAsTheyAre) {
  TDoc doc(true);
  AddOldList(doc, 0, 23, "\xB7", "");
  AddOldList(doc, 0, 23, "o", "");
  AddOldList(doc, 0, 23, "\xB7", "");
  AddParagraphs(doc, {{1, 0}, {0, 0}, {2, 0}, {0, 0}, {3, 0}});
  TDoc fromTable(true);
  AddOldList(fromTable, 0, 23, "\xB7", "");
  AddOldList(fromTable, 0, 23, "\xB7", "");
  AddParagraphs(fromTable, {{1, 0}, {0, 0}, {2, 0}});
  Resolve(doc);
  Resolve(fromTable, true);
  EXPECT_EQ(ListsOfParagraphs(doc), (std::vector<int32_t>{1, 0, 2, 0, 1}));
  ASSERT_EQ(doc.Lists.size(), 2u);
  EXPECT_EQ(doc.Lists[0]->ListLevels[0].LevelText, u"\u00B7");
  EXPECT_EQ(ListsOfParagraphs(fromTable), (std::vector<int32_t>{1, 0, 2}));
  EXPECT_EQ(fromTable.Lists.size(), 2u);
  EXPECT_TRUE(fromTable.Lists[0]->ListLevels[0].LevelText.empty());
}

// A paragraph numbered at a lower level that starts its run keeps its own level's number
// rather than being numbered with level 0's settings.
TEST_F(PostLoadLists, AParagraphAtALowerLevelKeepsItsLevel) {
  TDoc doc(true);
  AddOldList(doc, 2, 2, "", ")");
  AddParagraphs(doc, {{1, 2}});
  Resolve(doc);
  const TAutoList& list = *doc.Lists[0];
  EXPECT_EQ(list.SingleLevel, 0);
  EXPECT_TRUE(list.IsNumberedLevel(2));
  EXPECT_EQ(list.ListLevels[2].LevelText, std::u16string(u"\u0002)", 2));
}

}  // namespace

TEST_F(PostLoadLists, BulletsOfTheSymbolAreaShowInASymbolFont) {
  TFontManager& fonts = *FontManager();
  const int32_t serif = fonts.FontIndex("Liberation Serif", kAnyCharset, true);
  const int32_t symbol = fonts.FontIndex("Symbol", SYMBOL_CHARSET, true);
  if (symbol < 0) GTEST_SKIP() << "no Symbol font";
  struct Case {
    const char* Name;
    int32_t Font;
    char16_t Text, WantText;
    bool WantSymbolFont;
  };
  const Case cases[] = {
      {"font left out of the table", CharUnset, 0xF0B7, 0xF0B7, true},
      {"in a text font", serif, 0xF0B7, 0xF0B7, true},
      {"a byte of a symbol font", symbol, 0xB7, 0xF0B7, true},
      {"an ordinary bullet", serif, 0x2022, 0x2022, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TDoc doc(true);
    auto list = std::make_unique<TAutoList>();
    list->Number = 1;
    TListLevel& level = list->ListLevels[0];
    level.NumberFormat = 23;
    level.LevelText = std::u16string(1, c.Text);
    level.CharFormat.Font = c.Font;
    doc.Lists.push_back(std::move(list));
    FixListLevels(doc);
    const TListLevel& fixed = doc.Lists[0]->ListLevels[0];
    EXPECT_EQ(fixed.LevelText, std::u16string(1, c.WantText));
    const int32_t font = fixed.CharFormat.Font;
    const bool symbolFont = font >= 0 && font != CharUnset && static_cast<size_t>(font) < fonts.RegFonts.size() &&
                            fonts.RegFonts[static_cast<size_t>(font)].Charset == SYMBOL_CHARSET;
    EXPECT_EQ(symbolFont, c.WantSymbolFont);
  }
}
