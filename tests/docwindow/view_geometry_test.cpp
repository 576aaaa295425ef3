#include "docwindow/view_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/section.h"
#include "docwindow/rulers.h"
#include "docwindow/zoom.h"
#include "layout/box.h"
#include "platform/controls/scroll_bar.h"
#include "support/test_env.h"
#include "doc_window_fixture.h"

using namespace qv;

namespace {

constexpr uint16_t kViewWhiteSpaceHidden = 0x8;
constexpr uint16_t kViewCentredDraft = 0x2;

class ViewGeometryTest : public dwtest::DocWindowTest {
 protected:
  void SetUp() override {
    DocWindowTest::SetUp();
    // Letter-sized pages: 816 x 1056 pixels at zoom 100.
    TPageParams& p = Doc().Sections[0]->PageParams;
    p.PageWidth = 12240;
    p.PageHeight = 15840;
  }
  // Pages, each ended by a page break in its paragraph.
  void Pages(int32_t n) {
    for (int32_t i = 1; i <= n; ++i) b->Add(TDocBuilder::Numbered("Page ", i) + (i < n ? "\f" : ""));
  }
  void Zoom(uint8_t viewMode, uint8_t zoomMode, int32_t percent) {
    Doc().ViewMode = viewMode;
    Doc().View.ZoomMode = zoomMode;
    Doc().ReformatAllParagraphs();
    Doc().DiscardPages();
    Doc().PaginateAll();
    ApplyZoom(Doc(), percent);
  }
  const std::vector<plat::Rect>& Rects() { return Doc().Layout.Arrangement.PageRects; }
};

TEST_F(ViewGeometryTest, PrintLayoutRowsHoldAsManyPagesAsFitCentredWithGaps) {
  Pages(5);
  Show(800, 600);
  Zoom(vmPrintLayout, zmFixed, 25);
  ASSERT_EQ(Doc().PageCount(), 5);
  const int32_t w = Doc().View.PageExtent.ZoomedPageWidth;
  const int32_t area = form->PageArea.Width();
  const int32_t perRow = (area - 10) / (w + 10);
  ASSERT_GE(perRow, 2);
  EXPECT_EQ(Doc().Layout.Arrangement.PagesPerRow, perRow);
  const int32_t viewWidth = std::max(area, (w + 10) * perRow + 10);
  const int32_t left = (viewWidth - perRow * (w + 10) + 10) / 2;
  EXPECT_EQ(Rects()[0].left, left);
  EXPECT_EQ(Rects()[0].top, 10);
  EXPECT_EQ(Rects()[1].left, left + w + 10);
  EXPECT_EQ(Rects()[1].top, Rects()[0].top);
  // The next row starts 10 pixels below the tallest page of the row.
  EXPECT_EQ(Rects()[perRow].top, Rects()[0].bottom + 10);
  EXPECT_EQ(Rects()[perRow].left, left);
  EXPECT_EQ(Doc().View.Extent.cy, std::max(Rects()[4].bottom + 10, form->PageArea.Height()));
}

TEST_F(ViewGeometryTest, TwoPageModeShowsTheFirstPageAloneOnTheRight) {
  Pages(3);
  Show(800, 600);
  Zoom(vmPrintLayout, zmTwoPages, 100);
  ASSERT_EQ(Doc().PageCount(), 3);
  EXPECT_EQ(Doc().Layout.Arrangement.PagesPerRow, 2);
  const int32_t w = Doc().View.PageExtent.ZoomedPageWidth;
  // Page 1 stands in the second slot of the first row; pages 2 and 3 face each other below.
  EXPECT_EQ(Rects()[1].left, Rects()[0].left - w - 10);
  EXPECT_EQ(Rects()[2].left, Rects()[0].left);
  EXPECT_EQ(Rects()[1].top, Rects()[2].top);
  EXPECT_GT(Rects()[1].top, Rects()[0].top);
  // Both pages fit the page area's width.
  EXPECT_LE(2 * w + 33, form->PageArea.Width() + 2);
}

TEST_F(ViewGeometryTest, FitModesShowOnePagePerRowAndScrollByRows) {
  Pages(2);
  Show(800, 600);
  struct Case {
    uint8_t mode;
    const char* name;
  };
  for (const Case& c : {Case{zmPageWidth, "page width"}, Case{zmTextWidth, "text width"},
                        Case{zmWholePage, "whole page"}}) {
    Zoom(vmPrintLayout, c.mode, 100);
    EXPECT_EQ(Doc().Layout.Arrangement.PagesPerRow, 1) << c.name;
    EXPECT_EQ(Rects()[1].top, Rects()[0].bottom + 10) << c.name;
    // The horizontal bar never shows in a fit zoom mode of Print Layout.
    EXPECT_FALSE(form->HorScrollBar->Visible()) << c.name;
  }
  // Whole page: the page fits the window's height, and a large step scrolls one row.
  EXPECT_LE(Rects()[0].Height(), form->PageArea.Height() - 20 + 2);
  EXPECT_EQ(form->VerScrollBar->LargeChange(), Doc().View.PageExtent.ZoomedPageHeight + 10);
}

TEST_F(ViewGeometryTest, DraftPagesJoinWithoutGapsFromTheSideGap) {
  // Draft pages are very tall: enough lines for two of them, and a short third paragraph.
  b->Lines(700);
  Show(800, 600);
  const uint16_t flags = GetOptions().View.Flags;
  GetOptions().View.Flags &= static_cast<uint16_t>(~kViewCentredDraft);
  Zoom(vmDraft, zmFixed, 100);
  ASSERT_EQ(Doc().PageCount(), 2);
  EXPECT_EQ(Doc().Layout.Arrangement.PagesPerRow, 1);
  EXPECT_EQ(Rects()[0].top, 10);
  EXPECT_EQ(Rects()[1].top, Rects()[0].bottom);
  const int32_t gap = Doc().TwipsToPixelsX(Doc().View.ExtentSideGap);
  EXPECT_EQ(Rects()[0].left, gap);
  // The last draft page is only as tall as its text.
  EXPECT_LT(Rects()[1].Height(), Rects()[0].Height());
  // Centred: the content (side gaps and widest text) stands in the middle of the view.
  GetOptions().View.Flags |= kViewCentredDraft;
  Doc().ArrangePages();
  GetOptions().View.Flags = flags;
  const int32_t content = 2 * gap + Doc().TwipsToPixelsX(Doc().View.ExtentWidest);
  EXPECT_EQ(Rects()[0].left, (Doc().View.Extent.cx - content) / 2);
  // The horizontal and vertical rulers do not show in Draft wrapped to the window.
  GetOptionsHolder().Settings.NormalView.Ruler = true;
  GetOptionsHolder().Settings.NormalView.VerRuler = true;
  form->ArrangeControls(form->ClientRect());
  EXPECT_TRUE(form->Ruler->Visible());
  EXPECT_FALSE(form->VerRuler->Visible());
  Zoom(vmDraftWrapped, zmFixed, 100);
  form->ArrangeControls(form->ClientRect());
  EXPECT_FALSE(form->Ruler->Visible());
  Zoom(vmPrintLayout, zmFixed, 100);
  form->ArrangeControls(form->ClientRect());
  EXPECT_TRUE(form->VerRuler->Visible());
  EXPECT_EQ(form->PageArea.left, form->VerRuler->Width());
  EXPECT_EQ(form->PageArea.top, form->Ruler->Height());
}

TEST_F(ViewGeometryTest, HiddenWhiteSpaceCutsPagesToTheirTextAndDropsHeadersAndFooters) {
  Pages(2);
  b->HeaderFooter(*Doc().Sections[0], 1, "A header");
  Show(800, 600);
  GetOptions().View.Flags |= kViewWhiteSpaceHidden;
  Zoom(vmPrintLayout, zmFixed, 100);
  GetOptions().View.Flags &= static_cast<uint16_t>(~kViewWhiteSpaceHidden);
  ASSERT_EQ(Doc().PageCount(), 2);
  EXPECT_EQ(Rects()[0].top, 5);
  EXPECT_EQ(Rects()[1].top, Rects()[0].bottom + 2);
  // The first page is cut to its text (and 100 twips around it); the last keeps its bottom.
  EXPECT_LT(Rects()[0].Height(), Doc().View.PageExtent.ZoomedPageHeight / 2);
  for (TPage* page : Doc().Pages) {
    EXPECT_EQ(page->HeaderBox, nullptr);
    EXPECT_EQ(page->FooterBox, nullptr);
  }
}

TEST_F(ViewGeometryTest, AShortDocumentCannotBeScrolled) {
  b->Add("One line");
  Show(800, 600);
  Zoom(vmPrintLayout, zmFixed, 10);
  EXPECT_GE(Doc().View.Extent.cx, form->PageArea.Width());
  EXPECT_EQ(Doc().View.Extent.cy, form->PageArea.Height());
  form->ScrollTo({40, 300});
  EXPECT_EQ(Doc().View.ScrollPos, (plat::Point{0, 0}));
}

TEST_F(ViewGeometryTest, PagesNotLaidOutYetAreEstimatedFromTheLastOne) {
  Pages(12);
  Show(800, 600);
  Doc().View.ZoomMode = zmWholePage;
  Doc().DiscardPages();
  Doc().Paginate(0, 2);
  ASSERT_FALSE(Doc().Layout.LaidOutToEnd);
  const int32_t laidOut = Doc().PageCount();
  ApplyZoom(Doc(), 100);
  ASSERT_GT(static_cast<int32_t>(Rects().size()), laidOut);
  EXPECT_EQ(Doc().View.LastEstimatedPage, static_cast<int32_t>(Rects().size()) - 1);
  const plat::Rect& last = Rects()[static_cast<size_t>(laidOut - 1)];
  const plat::Rect& estimate = Rects()[static_cast<size_t>(laidOut)];
  EXPECT_EQ(estimate.Height(), last.Height());
  EXPECT_EQ(estimate.top, last.bottom + 10);
  // The view's extent never shrinks while pagination goes on, and grows as pages come.
  const int32_t before = Doc().View.Extent.cy;
  Doc().Paginate(Doc().PageCount(), Doc().PageCount() + 4);
  EXPECT_GE(Doc().View.Extent.cy, before);
}

}  // namespace
