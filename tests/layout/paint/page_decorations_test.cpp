// What a page shows besides its text: note separators, gridlines and shared cell borders,
#include <functional>

// margin borders and the labels of headers and footers edited in place.
#include "foundation/graphics/colour_manager.h"
#include "layout/page.h"
#include "layout/paint/page_decorations.h"
#include "layout/paint/paint_fixture.h"

namespace {

class PageDecorations : public PaintTest {
 protected:
  plat::Bitmap PaintWhole(TPage& page) {
    plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
    plat::Canvas canvas(target);
    PaintPage(page, canvas, 0, 0);
    return target;
  }
  void SetViewFlag(uint16_t flag, bool on) {
    uint16_t& flags = GetOptionsHolder().Options.View.Flags;
    flags = static_cast<uint16_t>(on ? flags | flag : flags & ~flag);
  }
  static int32_t CountColour(const plat::Bitmap& bmp, const plat::Rect& r, uint32_t colour) {
    int32_t n = 0;
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) n += bmp.GetPixel(x, y) == colour;
    return n;
  }
};

TEST_F(PageDecorations, ABorderlessTableShowsDottedGridlinesOnlyWhenTheyAreOn) {
  b->Row({"alpha", "beta"});
  Layout();
  TLine& line = FirstLine(0);
  const TCellBox* cell = GetCellBox(line.Box);
  ASSERT_NE(cell, nullptr);
  const plat::Point at = BoxToPagePoint(*cell, {0, 0});
  const uint32_t grid = GetColorManager().AdjustToBackground(0x808080);
  for (const bool on : {false, true}) {
    SetViewFlag(ViewFlagGridlines, on);
    const plat::Bitmap bmp = PaintWhole(Page(0));
    // Along the cell's top edge every fifth pixel is a dot.
    const int32_t dots = CountColour(bmp, {at.x, at.y, at.x + cell->PixelRect.Width(), at.y + 1}, grid);
    if (on) EXPECT_NEAR(dots, cell->PixelRect.Width() / 5, 1);
    else EXPECT_EQ(dots, 0);
  }
}

TEST_F(PageDecorations, ASharedEdgeShowsTheStrongerOfTheTwoBorders) {
  TTableRow* top = b->Row({"upper"});
  TTableRow* bottom = b->Row({"lower"});
  top->Cells[0].BorderBottom = {45, 1, 0x0000FF, 0};  // three pixels, red
  bottom->Cells[0].BorderTop = {15, 1, 0x000000, 0};  // one pixel, black
  Layout();
  const TCellBox* lower = GetCellBox(FirstLine(2).Box);
  ASSERT_NE(lower, nullptr);
  const plat::Point at = BoxToPagePoint(*lower, {0, 0});
  const plat::Bitmap bmp = PaintWhole(Page(0));
  const int32_t x = at.x + lower->PixelRect.Width() / 2;
  EXPECT_EQ(bmp.GetPixel(x, at.y), 0x0000FFu);
  EXPECT_EQ(bmp.GetPixel(x, at.y + 2), 0x0000FFu);
  EXPECT_EQ(bmp.GetPixel(x, at.y + 3), 0xFFFFFFu);
}

TEST_F(PageDecorations, TheFootnoteSeparatorIsAtMostTwoInchesAndAtLeastOnePixel) {
  b->AddWithNote("Text with a note", "The note");
  Layout();
  TBox* area = nullptr;
  std::function<void(TBox&)> find = [&](TBox& box) {
    if (box.Area == TBox::AreaFootnotes && box.Parent != nullptr && box.Parent->HasFlag(TBox::ColumnBody)) area = &box;
    for (const TBoxRef& c : box.Children) find(*c);
  };
  find(Page(0));
  ASSERT_NE(area, nullptr);
  ASSERT_GT(area->PixelMargins.top, 0);
  const uint32_t grey = GetColorManager().AdjustToBackground(0xC0C0C0);
  for (const uint8_t flags : {uint8_t{3}, uint8_t{2}}) {
    doc->NoteSeparatorFlags = flags;
    const plat::Bitmap bmp = PaintWhole(Page(0));
    const plat::Point at = BoxToPagePoint(*area, {0, 0});
    const plat::Rect inset{at.x, at.y, at.x + area->PixelRect.Width(), at.y + area->PixelMargins.top};
    const int32_t ink = CountColour(bmp, inset, grey);
    if (flags & 1) {
      EXPECT_GT(ink, 0);
      EXPECT_LE(ink, doc->TwipsToPixelsY(2880) * std::max(1, doc->TwipsToPixelsY(16)));
    } else {
      EXPECT_EQ(ink, 0);
    }
  }
}

TEST_F(PageDecorations, MarginBordersAreDottedAlongTheTextArea) {
  b->Add("Some text");
  Layout();
  const uint32_t colour = GetColorManager().ActivePalette().Entries[4].Color;
  const TPageParams& p = doc->Sections[0]->PageParams;
  const int32_t left = doc->TwipsToPixelsX(p.LeftMargin) - 1;
  for (const bool on : {false, true}) {
    SetViewFlag(ViewFlagMarginBorders, on);
    const plat::Bitmap bmp = PaintWhole(Page(0));
    const int32_t dots = CountColour(bmp, {left, 0, left + 1, bmp.Height()}, colour);
    if (on) EXPECT_NEAR(dots, bmp.Height() / 4, 2);  // two of every eight pixels
    else EXPECT_EQ(dots, 0);
  }
}

TEST_F(PageDecorations, LabelsNameTheHeaderOrFooterOfEachPage) {
  TSection& first = *doc->Sections[0];
  b->HeaderFooter(first, hfOddHeader, "odd");
  b->HeaderFooter(first, hfEvenHeader, "even");
  b->HeaderFooter(first, hfFirstHeader, "first");
  b->HeaderFooter(first, hfOddFooter, "footer");
  b->Add("one\ftwo\fthree");
  TSection* second = b->SectionBreak("end of the first section", sbNextPage);
  b->Add("second section");
  struct Case {
    bool firstPage, oddEven;
    int32_t page;
    bool footer;
    const char* label;
    bool same;
  };
  const Case cases[] = {
      {false, false, 0, false, "Section 1 Header", false},
      {true, false, 0, false, "Section 1 First Page Header", false},
      {true, false, 1, false, "Section 1 Header", false},
      {false, true, 0, false, "Section 1 Odd Page Header", false},
      {false, true, 1, false, "Section 1 Even Page Header", false},
      {false, false, 0, true, "Section 1 Footer", false},
      {false, false, -1, true, "Section 2 Footer", true},  // shows the first section's footer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    first.PageParams.DiffFirstPage = c.firstPage;
    first.PageParams.DiffOddEven = c.oddEven;
    second->PageParams.DiffFirstPage = 0;
    PaginateFromScratch();
    TPage& page = Page(c.page < 0 ? doc->PageCount() - 1 : c.page);
    const THeaderFooterLabel label = HeaderFooterLabel(page, c.footer);
    EXPECT_EQ(label.Text, c.label);
    EXPECT_EQ(label.SameAsPrevious, c.same);
  }
}

TEST_F(PageDecorations, LabelsAreDrawnOnlyWhileAHeaderIsEditedInPlace) {
  TField* header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "head");
  b->Add("body");
  Layout();
  TPage& page = Page(0);
  ASSERT_NE(page.HeaderBox, nullptr);
  const plat::Point at = BoxToPagePoint(*page.HeaderBox, {0, 0});
  const plat::Rect above{0, 0, page.PixelRect.Width(), std::max(at.y - 1, 1)};
  auto ink = [&](const plat::Bitmap& bmp) {
    int32_t n = 0;
    for (int32_t y = above.top; y < above.bottom; ++y)
      for (int32_t x = above.left; x < above.right; ++x) n += bmp.GetPixel(x, y) != 0xFFFFFFu;
    return n;
  };
  EXPECT_EQ(ink(PaintWhole(page)), 0);
  doc->HeaderFooterInPlace = header;
  doc->HeaderFooterPage = 0;
  EXPECT_GT(ink(PaintWhole(page)), 20);  // the label above the header
  doc->HeaderFooterInPlace = nullptr;
  doc->HeaderFooterPage = -1;
}

}  // namespace

namespace {

TEST_F(PageDecorations, ALineStandsBetweenColumnsWhenTheSectionAsksForIt) {
  TSection& s = *doc->Sections[0];
  s.Format.ColumnCount = 2;
  for (int i = 0; i < 20; ++i) b->Add(Words(5, i));
  for (const int32_t separator : {0, 1}) {
    SCOPED_TRACE(separator);
    s.Format.SeparatorLine = separator;
    PaginateFromScratch();
    for (TPage* page : doc->Pages) UpdateBoxPixelRects(*page);
    const plat::Bitmap bmp = PaintWhole(Page(0));
    // The text area's middle column of pixels, where the gap between the columns lies: a run of
    // black pixels down the first column's right edge.
    const TPageParams& p = s.PageParams;
    int32_t longest = 0;
    for (int32_t x = doc->TwipsToPixelsX(p.LeftMargin); x < doc->TwipsToPixelsX(p.PageWidth - p.RightMargin); ++x) {
      int32_t run = 0;
      for (int32_t y = 0; y < bmp.Height(); ++y) {
        run = bmp.GetPixel(x, y) == GetColorManager().ActivePalette().Entries[0].Color ? run + 1 : 0;
        longest = std::max(longest, run);
      }
    }
    if (separator) EXPECT_GT(longest, doc->TwipsToPixelsY(kLine) * 3);
    else EXPECT_LT(longest, doc->TwipsToPixelsY(kLine));
  }
}

}  // namespace
