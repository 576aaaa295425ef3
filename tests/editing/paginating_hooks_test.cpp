// The program's layout hooks of the post-edit update: a paginated document is laid out again from
// the page of the first changed paragraph, with the same pages as a pagination from scratch.
#include "editing/edit_layout_hooks.h"

#include "document/edit_services.h"
#include "editing/editing_services.h"
#include "editing/undo_records.h"
#include "foundation/base/service_slot.h"
#include "layout/pagination_fixture.h"

namespace {

class PaginatingHooksTest : public PaginationTest {
 protected:
  void BuildDocument() {
    for (int i = 0; i < 40; ++i) {
      b->Format.SpaceBefore = static_cast<int16_t>(i % 3 == 0 ? 120 : 0);
      b->Add(Words(20 + (i * 13) % 45, i));
    }
    Paginate();
  }
  TPaginatingLayoutHooks hooks;
};

TEST_F(PaginatingHooksTest, AChangedParagraphIsLaidOutAgainFromItsPage) {
  struct Case {
    const char* name;
    int32_t par;
    bool pageGiven;
  } cases[] = {
      {"paragraph named", 30, false},
      {"page named", 30, true},
      {"first paragraph", 0, false},
  };
  for (const Case& c : cases) {
    SetUp();
    BuildDocument();
    const int32_t page = PageOf(c.par);
    const int32_t pagesBefore = doc->PageCount();
    InsertText(c.par, 3, std::string(" ").append(Words(120, 7)).append(" "));
    // A page comes named when the layout has already released the paragraph's lines.
    if (c.pageGiven) Par(c.par).ReleaseLines(0);
    hooks.RelayoutFrom(*doc, c.pageGiven ? page : PostActionNone, c.pageGiven ? PostActionNone : c.par);
    const std::string incremental = DescribePages();
    EXPECT_GT(doc->PageCount(), pagesBefore) << c.name;
    PaginateFromScratch();
    EXPECT_EQ(DescribePages(), incremental) << c.name;
    TearDown();
  }
  SetUp();
}

TEST_F(PaginatingHooksTest, ADocumentWithoutPagesIsOnlyBrokenIntoLines) {
  b->Add(Words(30, 1));
  b->Finish();
  ASSERT_EQ(doc->PageCount(), 0);
  hooks.RelayoutFrom(*doc, PostActionNone, 0);
  EXPECT_EQ(doc->PageCount(), 0);
  EXPECT_GT(Par(0).LineCount(), 0);
}

}  // namespace

namespace {

TEST_F(PaginatingHooksTest, AnEditLaysOutOnlyAFewPagesPastWhatTheViewNeeds) {
  BuildDocument();
  const std::string whole = DescribePages();
  const int32_t pages = doc->PageCount();
  ASSERT_GT(pages, 10);
  InsertText(2, 3, " more");
  ReplaceSameWidth(2, 0);
  hooks.RelayoutThrough(*doc, PostActionNone, 2, 4);
  EXPECT_GE(doc->PageCount(), 5);
  EXPECT_LT(doc->PageCount(), pages);
  EXPECT_FALSE(doc->Layout.LaidOutToEnd);
  // The rest comes when it is asked for, as a pagination from scratch would have it.
  doc->PaginateAll();
  const std::string incremental = DescribePages();
  PaginateFromScratch();
  EXPECT_EQ(DescribePages(), incremental);
  (void)whole;
}

TEST_F(PaginatingHooksTest, ACaretLeftInAHeaderGoesToTheFirstMainTextLineOfItsPage) {
  ScopedService<TEditServices> engine{MakeEditingServices()};
  ScopedService<TEditLayoutHooks> programHooks{std::make_unique<TPaginatingLayoutHooks>()};
  b->HeaderFooter(*doc->Sections[0], hfOddHeader, "head");
  BuildDocument();
  const int32_t headerPar = doc->FirstParagraphOfStory(stHeadersFooters);
  ASSERT_GE(headerPar, 0);
  const TLine* first = GetFirstLineOfBox(Page(3), BodyAreas);
  ASSERT_NE(first, nullptr);
  doc->PostActions.Caret = TDocPosition{headerPar, 1, 3, 0};
  doc->PostActions.HasCaret = true;
  doc->PostEditUpdate();
  EXPECT_EQ(doc->Caret.Par, first->Par->Index);
  EXPECT_EQ(doc->Caret.Offset, first->FirstChar);
}

}  // namespace

namespace {

TEST_F(PaginatingHooksTest, AChangedHeaderIsLaidOutAgainFromThePageBeforeTheFirstThatShowsIt) {
  ScopedService<TEditServices> engine{MakeEditingServices()};
  for (int i = 0; i < 12; ++i) b->Add(Words(30, i));
  TSection* second = b->SectionBreak("end of the first section", sbNextPage);
  TField* header = b->HeaderFooter(*second, hfOddHeader, "second header");
  for (int i = 0; i < 12; ++i) b->Add(Words(30, i + 20));
  Paginate();
  int32_t shows = -1;
  for (int32_t i = 0; i < doc->PageCount() && shows < 0; ++i)
    if (Page(i).HeaderField == header) shows = i;
  ASSERT_GT(shows, 1);
  TDocRange r;
  ASSERT_TRUE(doc->GetHeaderFooterRange(header, r));
  doc->PostActions.Reset();
  doc->InvalidateFromParagraph(r.Start.Par);
  EXPECT_EQ(doc->PostActions.FirstPage, shows - 1);
  EXPECT_EQ(doc->PostActions.FirstPar, PostActionNone);
  doc->PostActions.Reset();
}

}  // namespace

namespace {

// An edit inside one paragraph of a paginated document re-breaks it through the program's hooks:
// when its lines keep their count and heights they stay placed in their box (the view paints
// them) and only the paragraph is repainted; otherwise the pages are laid out again from it.
TEST_F(PaginatingHooksTest, AnEditInsideAParagraphKeepsItsLinesPlacedOrLaysOutAgain) {
  ScopedService<TEditServices> engine{MakeEditingServices()};
  ScopedService<TEditLayoutHooks> programHooks{std::make_unique<TPaginatingLayoutHooks>()};
  const struct {
    const char* name;
    bool addsLines;
  } cases[] = {{"same lines", false}, {"more lines", true}};
  for (const auto& c : cases) {
    SetUp();
    BuildDocument();
    const int32_t target = 31;  // its lines share one page
    if (c.addsLines) InsertText(target, 3, std::string(" ").append(Words(60, 5)).append(" "));
    else ReplaceSameWidth(target, 4);
    doc->PostActions.Reset();
    RelayoutParagraph(*doc, target);
    if (c.addsLines) {
      EXPECT_NE(doc->PostActions.FirstPar, PostActionNone) << c.name;
      doc->PostEditUpdate();
      doc->PaginateAll();
    } else {
      EXPECT_EQ(doc->PostActions.FirstPar, PostActionNone) << c.name;
      EXPECT_EQ(doc->PostActions.FirstPage, PostActionNone) << c.name;
      EXPECT_TRUE(doc->PostActions.HasRepaintRange) << c.name;
    }
    ASSERT_TRUE(Par(target).IsPlaced()) << c.name;
    for (const TLine* line : Par(target).Lines) EXPECT_NE(line->Box, nullptr) << c.name;
    const std::string incremental = DescribePages();
    PaginateFromScratch();
    EXPECT_EQ(DescribePages(), incremental) << c.name;
    doc->PostActions.Reset();
    TearDown();
  }
  SetUp();
}

}  // namespace
