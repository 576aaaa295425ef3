#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "layout/paint/highlight_services.h"
#include "layout/paint/paint_fixture.h"
#include "layout/paint/selection_rects.h"
#include "layout/paint/view_painter.h"
#include "platform/gfx/region.h"

TEST(SelectionTintTest, PixelsFollowTheTintFormulas) {
  struct Case {
    uint32_t tint, pixel, expected;
  };
  const Case cases[] = {
      {0xFFCC99, 0xFFFFFF, 0xFFCC99},  // light tint over white: the tint itself
      {0xFFCC99, 0x000000, 0x552200},  // over black: each channel less 170, at least 0
      {0xFFCC99, 0x808080, 0xAB7845},  // (255 - 128) * 2 / 3 = 84 less
      {0x800000, 0xFFFFFF, 0x800000},  // dark tint: selected text gets lighter
      {0x800000, 0x000000, 0xFFFFFF},
      {0x800000, 0xC0C0C0, 0xBF3F3F},
  };
  for (const Case& c : cases) EXPECT_EQ(TintPixel(c.pixel, c.tint), c.expected) << std::hex << c.tint << ' ' << c.pixel;
  EXPECT_EQ(SelectionTintColor(0x000000, TTintPass::Locked), 0xD0D0D0u);
  EXPECT_EQ(SelectionTintColor(0xFF3000, TTintPass::FindResults), 0xFFD0D0u);
  EXPECT_EQ(SelectionTintColor(0x123456, TTintPass::Selection), 0x123456u);
}

TEST(SelectionTintTest, PatternsStayFixedToTheDocument) {
  struct Case {
    TTintPass pass;
    plat::Point scroll;
    const char* tinted;  // the first row's eight pixels
  };
  const Case cases[] = {
      {TTintPass::Selection, {0, 0}, "xxxxxxxx"},
      {TTintPass::Locked, {0, 0}, "xx....xx"},
      {TTintPass::Locked, {1, 0}, "x....xx."},
      {TTintPass::Locked, {0, 3}, "...xx..."},
      {TTintPass::Instances, {0, 0}, ".x.x.x.x"},
      {TTintPass::FindResults, {5, 0}, "x.x.x.x."},
  };
  for (const Case& c : cases) {
    plat::Bitmap bmp(8, 2);
    bmp.Fill(0xFFFFFF);
    const plat::Rect all{0, 0, 8, 2};
    TintRegion(bmp, plat::Region::FromRects({&all, 1}), 0x000000, c.pass, c.scroll);
    std::string row;
    for (int32_t x = 0; x < 8; ++x) row += bmp.GetPixel(x, 0) == 0xFFFFFF ? '.' : 'x';
    EXPECT_EQ(row, c.tinted) << static_cast<int>(c.pass) << ' ' << c.scroll.x << ',' << c.scroll.y;
  }
  // Overlapping selection and find results get both tints.
  plat::Bitmap bmp(2, 1);
  bmp.Fill(0xFFFFFF);
  const plat::Rect r{0, 0, 2, 1};
  TintRegion(bmp, plat::Region::FromRects({&r, 1}), 0xFFCC99, TTintPass::Selection, {0, 0});
  TintRegion(bmp, plat::Region::FromRects({&r, 1}), 0xFFCC99, TTintPass::FindResults, {0, 0});
  EXPECT_EQ(bmp.GetPixel(0, 0), 0xFFCC99u);
  EXPECT_EQ(bmp.GetPixel(1, 0), TintPixel(0xFFCC99, SelectionTintColor(0xFFCC99, TTintPass::FindResults)));
}

TEST(SpotlightTest, OutsideTheBandTurnsGreyByLevel) {
  struct Case {
    uint32_t options;
    uint32_t outside;
  };
  const Case cases[] = {
      {0x2, 0xD4D4D4},   // level 1: five sixths of white's brightness (212)
      {0x10, 0x555555},  // level 4: a third (85)
      {0x14, 0x555555},  // the highest level set wins
      {0x40, 0xFFFFFF},  // centring alone greys nothing
      {0x1, 0xFFFFFF},   // blur of a white area stays white
      {0x0, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    plat::Bitmap bmp(30, 10);
    bmp.Fill(0xFFFFFF);
    ApplySpotlight(bmp, bmp.Bounds(), {5, 3, 20, 6}, c.options);
    EXPECT_EQ(bmp.GetPixel(2, 1), c.outside) << c.options;
    EXPECT_EQ(bmp.GetPixel(25, 4), c.outside) << c.options;
    EXPECT_EQ(bmp.GetPixel(10, 4), 0xFFFFFFu) << c.options;  // inside the band
  }
  // Blur averages over 11 pixels: one black pixel darkens its neighbours by a share.
  plat::Bitmap bmp(30, 1);
  bmp.Fill(0xFFFFFF);
  bmp.SetPixel(15, 0, 0x000000);
  ApplySpotlight(bmp, bmp.Bounds(), {}, 0x1);
  const uint32_t g = (10 * 765) * 6 / 198;
  EXPECT_EQ(bmp.GetPixel(12, 0), g | g << 8 | g << 16);
  EXPECT_EQ(bmp.GetPixel(0, 0), 0xFFFFFFu);
}

using ViewPaintTest = PaintTest;

TEST_F(ViewPaintTest, PagesArePaintedOnTheInterpageSpaceWithAFrame) {
  b->Add("Hello");
  Layout();
  TPage& page = Page(0);
  const plat::Rect area{10, 10, page.PixelRect.Width() + 80, page.PixelRect.Height() + 80};
  plat::Bitmap bmp(area.right + 10, area.bottom + 10);
  bmp.Fill(0x00FF00);
  doc->View.ScrollPos = {-20, -20};
  doc->ArrangePages();
  ASSERT_FALSE(doc->Layout.Arrangement.PageRects.empty());
  const plat::Rect placed = doc->Layout.Arrangement.PageRects[0];
  EXPECT_EQ(PaintDocumentView(*doc, bmp, area), 1);
  // The page stands where the arrangement put it, moved by the page area and the scroll.
  const int32_t left = area.left + 20 + placed.left, top = area.top + 20 + placed.top;
  EXPECT_EQ(bmp.GetPixel(5, 5), 0x00FF00u);                  // outside the page area
  EXPECT_EQ(bmp.GetPixel(left - 3, top + 5), 0x808080u);     // interpage space
  EXPECT_EQ(bmp.GetPixel(left - 1, top + 30), 0x000000u);    // the page frame
  EXPECT_EQ(bmp.GetPixel(left + 2, top + 2), 0xFFFFFFu);     // paper
}

TEST_F(ViewPaintTest, SelectionRectanglesCoverTheSelectedCharactersOfEachLine) {
  Begin();
  Text("ab");
  Special(scOptionalHyphen);  // no width where the line does not break
  Text("cd");
  const int32_t p = EndPar();
  b->Add("second");
  Layout();
  TLine& line = FirstLine(p);
  struct Case {
    int32_t startPar, start, endPar, end;
    int32_t left, right;  // character boundaries; -1: no rectangle
  };
  const Case cases[] = {
      {p, 1, p, 4, 1, 4},
      {p, 2, p, 3, 2, -2},      // a character without width: 2 pixels
      {p, 3, p + 1, 2, 3, 6},   // runs on into the next paragraph: to the line's end
      {p, 2, p, 2, -1, -1},     // empty
      {p + 1, 0, p + 1, 3, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    TFragmentRef sel = AcquireFragment();
    sel->SetSingleRange(c.startPar, c.start, c.endPar, c.end);
    std::vector<plat::Rect> rects;
    AddLineSelectionRects(line, 10, 20, *sel, rects);
    if (c.left < 0) {
      EXPECT_TRUE(rects.empty());
      continue;
    }
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].left, XAt(line, c.left));
    EXPECT_EQ(rects[0].right, c.right == -2 ? XAt(line, c.left) + 2 : XAt(line, c.right));
    EXPECT_EQ(rects[0].top, 20);
    EXPECT_EQ(rects[0].Height(), LineHeightPixels(line));
  }
}

TEST_F(ViewPaintTest, TheViewTintsTheSelection) {
  b->Add("Selected words here");
  Layout();
  doc->ArrangePages();
  doc->Selection->SetSingleRange(0, 0, 0, 8);
  TPage& page = Page(0);
  const plat::Rect area{0, 0, page.PixelRect.Width() + 40, page.PixelRect.Height() + 40};
  plat::Bitmap bmp(area.right, area.bottom);
  EXPECT_EQ(PaintDocumentView(*doc, bmp, area), 1);
  TLine& line = *Par(0).Lines.at(0);
  const plat::Rect placed = doc->Layout.Arrangement.PageRects[0];
  const plat::Point at = BoxToPagePoint(*line.Box, {0, doc->TwipsToPixelsY(line.Top)});
  const int32_t y = placed.top + at.y + LineHeightPixels(line) - 1;
  EXPECT_EQ(bmp.GetPixel(placed.left + at.x + LineTextX(line, 1), y), 0xFFCC99u);
  EXPECT_EQ(bmp.GetPixel(placed.left + at.x + LineTextX(line, 12), y), 0xFFFFFFu);
}

TEST_F(ViewPaintTest, SpotlightGreysTheViewOutsideTheBandOfTheSelectedLines) {
  for (int i = 0; i < 3; ++i) b->Add("Some words of a paragraph");
  Layout();
  doc->ArrangePages();
  doc->Selection->SetSingleRange(1, 2, 1, 4);
  doc->Spotlight = true;
  TViewOptions& view = GetOptionsHolder().Options.View;
  const TViewOptions saved = view;
  view.Spotlight = 2;  // level 1, no blur, no centring
  view.SpotlightH = 0;
  TPage& page = Page(0);
  const plat::Rect area{0, 0, page.PixelRect.Width() + 40, page.PixelRect.Height() + 40};
  plat::Bitmap bmp(area.right, area.bottom);
  EXPECT_EQ(PaintDocumentView(*doc, bmp, area), 1);
  view = saved;
  const plat::Rect placed = doc->Layout.Arrangement.PageRects[0];
  auto paperRight = [&](int32_t par) {
    TLine& line = *Par(par).Lines.at(0);
    const plat::Point at = BoxToPagePoint(*line.Box, {0, doc->TwipsToPixelsY(line.Top)});
    return plat::Point{placed.left + at.x + line.Box->PixelRect.Width() - 2,
                       placed.top + at.y + LineHeightPixels(line) / 2};
  };
  const uint32_t grey = 5 * 765 / 18;
  const plat::Point above = paperRight(0), inside = paperRight(1), below = paperRight(2);
  EXPECT_EQ(bmp.GetPixel(above.x, above.y), grey | grey << 8 | grey << 16);
  EXPECT_EQ(bmp.GetPixel(inside.x, inside.y), 0xFFFFFFu);
  EXPECT_EQ(bmp.GetPixel(below.x, below.y), grey | grey << 8 | grey << 16);
  EXPECT_EQ(doc->PaintedSpotlightRange.Start.Par, 1);
}

TEST_F(ViewPaintTest, AWhollySelectedCellIsTintedWholeAndTextInACellLineByLine) {
  b->Row({"alpha", "beta"});
  Layout();
  doc->ArrangePages();
  TLine& line = *Par(0).Lines.at(0);
  const TCellBox* cell = GetCellBox(line.Box);
  ASSERT_NE(cell, nullptr);
  const TDocRange whole = cell->CellRange;
  TPage& page = Page(0);
  const plat::Rect area{0, 0, page.PixelRect.Width() + 40, page.PixelRect.Height() + 40};
  const plat::Rect placed = doc->Layout.Arrangement.PageRects[0];
  const plat::Point at = BoxToPagePoint(*line.Box, {0, doc->TwipsToPixelsY(line.Top)});
  const int32_t y = placed.top + at.y + LineHeightPixels(line) - 1;
  const int32_t cellRight = placed.left + BoxToPagePoint(*cell, {0, 0}).x + cell->PixelRect.Width() - 3;
  struct Case {
    TDocRange range;
    bool cellTinted;
  } cases[] = {{whole, true}, {{{0, 0}, {0, 2}}, false}};
  for (const Case& c : cases) {
    doc->Selection->SetSingleRange(c.range.Start.Par, c.range.Start.Offset, c.range.End.Par, c.range.End.Offset);
    plat::Bitmap bmp(area.right, area.bottom);
    EXPECT_EQ(PaintDocumentView(*doc, bmp, area), 1);
    EXPECT_EQ(bmp.GetPixel(placed.left + at.x + LineTextX(line, 1), y), 0xFFCC99u);
    EXPECT_EQ(bmp.GetPixel(cellRight, y) == 0xFFCC99u, c.cellTinted);
  }
}

namespace {

struct FakeHighlights : THighlightServices {
  TFragmentRef Found = AcquireFragment();
  const TCompoundFragment* FindResults(TDoc&) override { return Found.get(); }
};

}  // namespace

TEST_F(ViewPaintTest, FindResultsGetACheckerboardTintOverTheSelectionsSolidOne) {
  ScopedService<THighlightServices, FakeHighlights> search;
  search->Found->SetSingleRange(0, 0, 0, 10);
  b->Add("Found words and more words");
  Layout();
  doc->ArrangePages();
  doc->Selection->SetSingleRange(0, 5, 0, 20);
  TPage& page = Page(0);
  const plat::Rect area{0, 0, page.PixelRect.Width() + 40, page.PixelRect.Height() + 40};
  plat::Bitmap bmp(area.right, area.bottom);
  EXPECT_EQ(PaintDocumentView(*doc, bmp, area), 1);
  TLine& line = *Par(0).Lines.at(0);
  const plat::Rect placed = doc->Layout.Arrangement.PageRects[0];
  const plat::Point at = BoxToPagePoint(*line.Box, {0, doc->TwipsToPixelsY(line.Top)});
  const int32_t y = placed.top + at.y + LineHeightPixels(line) - 1;
  auto x = [&](int32_t n) { return placed.left + at.x + LineTextX(line, n); };
  const uint32_t found = SelectionTintColor(0xFFCC99, TTintPass::FindResults);
  const uint32_t onPaper = TintPixel(0xFFFFFF, found);
  const uint32_t onSelection = TintPixel(0xFFCC99, found);
  // Find results alone: every other pixel.
  const uint32_t a = bmp.GetPixel(x(1), y), b2 = bmp.GetPixel(x(1) + 1, y);
  EXPECT_TRUE((a == onPaper && b2 == 0xFFFFFFu) || (a == 0xFFFFFFu && b2 == onPaper)) << std::hex << a << " " << b2;
  // Both: the solid selection tint, then the checkerboard over it.
  const uint32_t c = bmp.GetPixel(x(7), y), d = bmp.GetPixel(x(7) + 1, y);
  EXPECT_TRUE((c == onSelection && d == 0xFFCC99u) || (c == 0xFFCC99u && d == onSelection)) << std::hex << c << " " << d;
  // The selection alone.
  EXPECT_EQ(bmp.GetPixel(x(15), y), 0xFFCC99u);
}
