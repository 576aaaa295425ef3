#include "layout/pagination_fixture.h"

#include "document/table_row.h"

namespace {

class RelayoutTest : public PaginationTest {
 protected:
  // Paragraphs of a few wrapped lines each, some with space around them, a table and notes.
  void BuildDocument(bool singleSpacing) {
    if (singleSpacing) {
      b->Format.LineRule = 1;
      b->Format.LineSpacing = 240;
    }
    for (int i = 0; i < 40; ++i) {
      b->Format.SpaceBefore = static_cast<int16_t>(i % 3 == 0 ? 120 : 0);
      b->Format.WidowControl = 1;
      b->Add(Words(20 + (i * 13) % 45, i));
      if (i == 10) b->Row({Words(12, 1), Words(25, 2)});
      if (i == 20) b->AddWithNote("A line with a note", Words(15, 3));
    }
    Paginate();
  }
};

TEST_F(RelayoutTest, OneCharacterEditIsAbsorbedInPlace) {
  for (const bool single : {false, true}) {
    SetUp();
    BuildDocument(single);
    const int32_t target = 30;
    ASSERT_GE(PageOf(target), 2);
    ReplaceSameWidth(target, 20);
    doc->PostActions.Reset();
    doc->RelayoutParagraph(target);
    EXPECT_EQ(doc->PostActions.FirstPar, target);
    EXPECT_EQ(doc->PostActions.FirstPage, PostActionNone);
    const std::string inPlace = DescribePages();
    PaginateFromScratch();
    EXPECT_EQ(DescribePages(), inPlace) << (single ? "single spacing" : "exact spacing");
    // A wider letter on the paragraph's short last line moves that line's end only.
    const std::string before = DescribePages();
    ReplaceChar(target, Par(target).Lines.back()->FirstChar, 'W');
    doc->PostActions.Reset();
    doc->RelayoutParagraph(target);
    EXPECT_EQ(doc->PostActions.FirstPar, target);
    const std::string wider = DescribePages();
    EXPECT_NE(wider, before);
    PaginateFromScratch();
    EXPECT_EQ(DescribePages(), wider);
    TearDown();
  }
  SetUp();
}

TEST_F(RelayoutTest, EditInATableCellIsAbsorbedInPlace) {
  BuildDocument(false);
  int32_t cell = -1;
  for (int32_t i = 0; i < doc->ParCount() && cell < 0; ++i)
    if (Par(i).Format.InTable == 1) cell = i;
  ASSERT_GE(cell, 0);
  ReplaceSameWidth(cell, 2);
  doc->PostActions.Reset();
  doc->RelayoutParagraph(cell);
  EXPECT_EQ(doc->PostActions.FirstPar, cell);
  const std::string inPlace = DescribePages();
  PaginateFromScratch();
  EXPECT_EQ(DescribePages(), inPlace);
}

TEST_F(RelayoutTest, EditThatAddsALineRepaginatesFromItsPage) {
  BuildDocument(false);
  const int32_t target = 30;
  const int32_t page = PageOf(target);
  InsertText(target, 3, std::string(" ").append(Words(30, 5)).append(" "));
  doc->PostActions.Reset();
  doc->RelayoutParagraph(target);
  EXPECT_EQ(doc->PostActions.FirstPage, page);
  EXPECT_TRUE(Par(target).Lines.empty());
  doc->Paginate(doc->PostActions.FirstPage, INT32_MAX);
  const std::string incremental = DescribePages();
  PaginateFromScratch();
  EXPECT_EQ(DescribePages(), incremental);
}

TEST_F(RelayoutTest, AnEditAlreadyRepaginatingOnlyMarksTheParagraph) {
  BuildDocument(false);
  doc->PostActions.Reset();
  doc->PostActions.FirstPage = 5;
  const int32_t target = 12;
  const int32_t page = PageOf(target);
  ReplaceChar(target, 1, 'Z');
  doc->RelayoutParagraph(target);
  EXPECT_EQ(doc->PostActions.FirstPage, std::min(5, page));
  EXPECT_TRUE(Par(target).Lines.empty());
}

}  // namespace
