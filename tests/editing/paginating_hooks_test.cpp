// The program's layout hooks of the post-edit update: a paginated document is laid out again from
// the page of the first changed paragraph, with the same pages as a pagination from scratch.
#include "editing/edit_layout_hooks.h"

#include "document/edit_services.h"
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
