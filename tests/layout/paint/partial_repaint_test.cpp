// Repainting only what an edit changed: the lines of the edited paragraph with a few rows
// around them, into bands that end up exactly as a full repaint would leave them.
#include "document/compound_fragment.h"
#include "foundation/settings/options_holder.h"
#include "layout/paint/paint_fixture.h"
#include "layout/paint/view_painter.h"
#include "platform/gfx/region.h"

namespace {

class PartialRepaint : public PaintTest {
 protected:
  void Build() {
    for (int i = 0; i < 9; ++i) b->Add(Words(6, i));
    Layout();
    doc->ArrangePages();
    TPage& page = Page(0);
    area = {0, 0, page.PixelRect.Width() + 40, page.PixelRect.Height() + 40};
  }
  plat::Bitmap Full() {
    plat::Bitmap bmp(area.right, area.bottom);
    RepaintDocumentView(*doc, bmp, area, nullptr);
    return bmp;
  }
  // The rectangle of the view that shows the paragraph's first line.
  plat::Rect LineRect(int32_t par) {
    TLine& line = FirstLine(par);
    const plat::Rect placed = doc->Layout.Arrangement.PageRects[0];
    const plat::Point at = BoxToPagePoint(*line.Box, {0, doc->TwipsToPixelsY(line.Top)});
    return {placed.left + at.x, placed.top + at.y, placed.left + at.x + line.Box->PixelRect.Width(),
            placed.top + at.y + LineHeightPixels(line)};
  }
  static int32_t Differences(const plat::Bitmap& a, const plat::Bitmap& b) {
    int32_t n = 0;
    for (int32_t y = 0; y < a.Height(); ++y)
      for (int32_t x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
    return n;
  }
  plat::Rect area;
};

TEST_F(PartialRepaint, AnEditedParagraphIsRepaintedInItsBandsAsAFullRepaintWould) {
  Build();
  plat::Bitmap view = Full();
  const plat::Bitmap before = Full();
  ReplaceSameWidth(4, 0);
  doc->RelayoutParagraph(4);
  TFragmentRef changed = AcquireFragment();
  changed->SetSingleRange(4, 0, 4, 1);
  const TViewRepaint r = RepaintDocumentView(*doc, view, area, changed.get());
  EXPECT_TRUE(r.Partial);
  ASSERT_FALSE(r.Changed.empty());
  const plat::Bitmap after = Full();
  EXPECT_EQ(Differences(view, after), 0);
  EXPECT_GT(Differences(before, after), 0);
  // The changed bands hold the edited line and stay well inside the page: paragraph 0 and the
  // last one are left alone.
  const plat::Region bands = plat::Region::FromRects(r.Changed);
  EXPECT_TRUE(bands.Intersects(LineRect(4)));
  EXPECT_FALSE(bands.Intersects(LineRect(0)));
  EXPECT_FALSE(bands.Intersects(LineRect(8)));
}

TEST_F(PartialRepaint, PixelsOutsideTheBandsAreNotTouched) {
  Build();
  plat::Bitmap view(area.right, area.bottom);
  view.Fill(0x00FF00);
  TFragmentRef changed = AcquireFragment();
  changed->SetSingleRange(4, 2, 4, 2);  // a caret: the line that holds it
  const TViewRepaint r = RepaintDocumentView(*doc, view, area, changed.get());
  const plat::Region bands = plat::Region::FromRects(r.Changed);
  int32_t painted = 0, strays = 0;
  for (int32_t y = 0; y < view.Height(); ++y)
    for (int32_t x = 0; x < view.Width(); ++x) {
      if (view.GetPixel(x, y) == 0x00FF00u) continue;
      (bands.Contains({x, y}) ? painted : strays) += 1;
    }
  EXPECT_GT(painted, 0);
  EXPECT_EQ(strays, 0);
}

TEST_F(PartialRepaint, TheSelectionIsTintedOnceWhereItWasRepainted) {
  Build();
  doc->Selection->SetSingleRange(3, 0, 5, 4);
  plat::Bitmap view = Full();
  TFragmentRef changed = AcquireFragment();
  changed->SetSingleRange(4, 0, 4, 3);
  RepaintDocumentView(*doc, view, area, changed.get());
  EXPECT_EQ(Differences(view, Full()), 0);
}

TEST_F(PartialRepaint, SpotlightAndEmptyFragmentsRepaintTheWholeView) {
  Build();
  TFragmentRef changed = AcquireFragment();
  changed->SetSingleRange(4, 0, 4, 3);
  TFragmentRef empty = AcquireFragment();
  plat::Bitmap view(area.right, area.bottom);
  struct Case {
    bool spotlight;
    const TCompoundFragment* fragment;
    bool partial;
  };
  const Case cases[] = {{false, changed.get(), true}, {true, changed.get(), false}, {false, empty.get(), false}};
  TViewOptions& options = GetOptionsHolder().Options.View;
  const TViewOptions saved = options;
  options.Spotlight = 2;
  for (const Case& c : cases) {
    doc->Spotlight = c.spotlight;
    const TViewRepaint r = RepaintDocumentView(*doc, view, area, c.fragment);
    EXPECT_EQ(r.Partial, c.partial);
    if (!c.partial) EXPECT_EQ(r.Changed, std::vector<plat::Rect>{area});
  }
  options = saved;
  doc->Spotlight = false;
}

TEST_F(PartialRepaint, AnEditInACellRepaintsTheCellsBandOverItsShadingAndGridlines) {
  TTableRow* row = b->Row({"alpha", "beta"});
  row->Cells[0].ShadingColor = 0x00E0FF;
  b->Add("after the table");
  Layout();
  doc->ArrangePages();
  area = {0, 0, Page(0).PixelRect.Width() + 40, Page(0).PixelRect.Height() + 40};
  for (const bool gridlines : {false, true}) {
    SCOPED_TRACE(gridlines);
    uint16_t& flags = GetOptionsHolder().Options.View.Flags;
    flags = static_cast<uint16_t>(gridlines ? flags | ViewFlagGridlines : flags & ~ViewFlagGridlines);
    plat::Bitmap view = Full();
    ReplaceSameWidth(0, 0);
    doc->RelayoutParagraph(0);
    TFragmentRef changed = AcquireFragment();
    changed->SetSingleRange(0, 0, 0, 1);
    RepaintDocumentView(*doc, view, area, changed.get());
    EXPECT_EQ(Differences(view, Full()), 0);
  }
}

TEST_F(PartialRepaint, AViewScrolledPastTheLaidOutPagesLaysOutWhatItShows) {
  for (int i = 0; i < 60; ++i) b->Add(Words(4, i));
  Layout();
  doc->ArrangePages();
  const std::vector<plat::Rect> placed = doc->Layout.Arrangement.PageRects;
  ASSERT_GE(placed.size(), 5u);
  doc->Paginate(0, 1);  // only the first pages stay laid out
  const int32_t laidOut = doc->PageCount();
  ASSERT_LT(laidOut, 4);
  doc->Layout.Arrangement.PageRects = placed;  // the view still knows where the pages go
  doc->View.ScrollPos = {0, placed[4].top};
  const plat::Rect view{0, 0, placed[4].Width() + 40, placed[4].Height()};
  plat::Bitmap bmp(view.right, view.bottom);
  EXPECT_GE(RepaintDocumentView(*doc, bmp, view, nullptr).Pages, 1);
  EXPECT_GE(doc->PageCount(), 5);
}

}  // namespace
