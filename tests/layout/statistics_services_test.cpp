// The statistics of a laid-out sample document through the layout's answers: words, sentences,
// characters with and without spaces, paragraphs, lines and pages, of the whole document and of
// a selection.
#include "document/doc_statistics.h"

#include "document/compound_fragment.h"
#include "foundation/base/service_slot.h"
#include "layout/pagination_fixture.h"
#include "layout/statistics_services.h"

namespace {

class StatisticsTest : public PaginationTest {
 protected:
  ScopedService<TStatisticsServices> services{MakeLayoutStatisticsServices()};
};

TEST_F(StatisticsTest, ASampleDocumentIsCountedOverItsPages) {
  b->Add("Alpha beta, gamma. Delta!");  // 4 words, 2 sentences, 25 characters, 3 spaces
  b->Add("One two|three four");         // a line break: 2 lines, 4 words, 17 characters, 2 spaces
  b->Add("Next\fpage");                  // a page break: the document runs onto page 2
  Paginate();
  ASSERT_EQ(doc->PageCount(), 2);
  TDocStatistics s;
  ComputeStatistics(*doc, false, s);
  EXPECT_EQ(s.Pages, 2);
  EXPECT_EQ(s.Words, 10);
  EXPECT_EQ(s.Sentences, 4);
  EXPECT_EQ(s.CharsWithSpaces, 25 + 17 + 8);
  EXPECT_EQ(s.CharsNoSpaces, 22 + 15 + 8);
  EXPECT_EQ(s.Paragraphs, 3);
  EXPECT_EQ(s.Lines, 1 + 2 + 2);
  // A selection of the second paragraph's second line and the third paragraph.
  doc->SetSelection(1, 8, 2, 4);
  ComputeStatistics(*doc, false, s);
  EXPECT_EQ(s.Pages, 1);
  EXPECT_EQ(s.Words, 3);
  EXPECT_EQ(s.CharsWithSpaces, 10 + 4);
  EXPECT_EQ(s.Paragraphs, 2);
  EXPECT_EQ(s.Lines, 2);
}

}  // namespace
