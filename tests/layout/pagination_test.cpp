#include "layout/pagination_fixture.h"

#include "layout/page.h"
#include "layout/pagination.h"

namespace {

TEST_F(PaginationTest, PlainParagraphsFillPages) {
  for (int i = 0; i < 30; ++i) b->Add("Paragraph " + std::to_string(i));
  Paginate();
  EXPECT_TRUE(doc->Layout.LaidOutToEnd);
  ASSERT_EQ(doc->PageCount(), 3);
  EXPECT_EQ(PageOf(11), 0);
  EXPECT_EQ(PageOf(12), 1);
  EXPECT_EQ(PageOf(29), 2);
  EXPECT_EQ(TopOnPage(0), 720);
  EXPECT_EQ(TopOnPage(13), 720 + kLine);
}

}  // namespace
