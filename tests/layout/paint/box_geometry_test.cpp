#include "layout/paint/paint_fixture.h"

#include "document/table_row.h"
#include "layout/box_pool.h"

using BoxGeometryTest = PaintTest;

namespace {

void SetZoom(TDoc& doc, int32_t percent) {
  doc.ZoomPercent = percent;
  doc.View.PixelsPerInchX = doc.View.PixelsPerInchY = 96 * percent / 100;
}

}  // namespace

TEST_F(BoxGeometryTest, PixelRectanglesFollowTheZoomAndStayInsideTheParent) {
  TPage* page = AcquirePage(*doc);
  page->Rect = {0, 0, 1440 * 4, 1440 * 2};
  page->Margins = {720, 360, 720, 360};
  TBox* child = page->AddChild(AcquireBox(page, TBoxKind::Box, doc.get()));
  child->Rect = {1440, 720, 1440 * 5, 1440};  // reaches beyond the page's right edge
  struct Case {
    int32_t zoom;
    plat::Rect page, child, margins;
  };
  const Case cases[] = {
      {100, {0, 0, 384, 192}, {96, 48, 384, 96}, {48, 24, 48, 24}},
      {50, {0, 0, 192, 96}, {48, 24, 192, 48}, {24, 12, 24, 12}},
      {200, {0, 0, 768, 384}, {192, 96, 768, 192}, {96, 48, 96, 48}},
      {150, {0, 0, 576, 288}, {144, 72, 576, 144}, {72, 36, 72, 36}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom);
    SetZoom(*doc, c.zoom);
    UpdateBoxPixelRects(*page);
    EXPECT_EQ(page->PixelRect, c.page);
    EXPECT_EQ(child->PixelRect, c.child);
    EXPECT_EQ(page->PixelMargins, c.margins);
  }
  EXPECT_EQ(BoxToPagePoint(*child, {3, 4}), (plat::Point{48 * 3 + 3, 72 + 4}));
  EXPECT_EQ(BoxOffsetInTwips(*child, {0, 0}, nullptr), (plat::Point{1440, 720}));
  ReleaseBox(page);
}

TEST_F(BoxGeometryTest, CellBordersKeepAtLeastOnePixel) {
  SetZoom(*doc, 50);
  EXPECT_EQ(CellBorderPixels(doc.get(), 0, false), 0);
  EXPECT_EQ(CellBorderPixels(doc.get(), 1, false), 1);
  EXPECT_EQ(CellBorderPixels(doc.get(), 1, true), 1);
  EXPECT_EQ(CellBorderPixels(doc.get(), 60, true), 2);
  EXPECT_EQ(CellBorderPixels(nullptr, -5, true), 0);
}

TEST_F(BoxGeometryTest, TableHandlesStayOnThePage) {
  TPage* page = AcquirePage(*doc);
  page->Rect = {0, 0, 1440 * 4, 1440 * 4};
  TBox* body = page->AddChild(AcquireBox(page, TBoxKind::Box, doc.get()));
  body->Rect = page->Rect;
  auto* table = static_cast<TTableBox*>(body->AddChild(AcquireBox(body, TBoxKind::Table, doc.get())));
  table->Flags |= TBox::TableBoxFlag | TBox::TableStarts | TBox::TableEnds;
  table->Rect = {0, 0, 1440 * 4, 1440 * 4};
  table->CellExtent = table->Rect;  // at the very top-left and bottom-right of the page
  SetZoom(*doc, 100);
  UpdateBoxPixelRects(*page);
  const int32_t h = TableMoveHandleSize();
  EXPECT_EQ(h % 2, 1);
  EXPECT_EQ(table->MoveHandlePx, (plat::Rect{0, 0, h, h}));
  EXPECT_EQ(table->SizeHandlePx.right, 384);
  EXPECT_EQ(table->SizeHandlePx.bottom, 384);
  EXPECT_EQ(table->SizeHandlePx.Width(), h / 2 + 1);
  ReleaseBox(page);
}

TEST_F(BoxGeometryTest, HitTestFindsTheDeepestBoxOrTheNearestWithLines) {
  for (int i = 0; i < 3; ++i) b->Add(TDocBuilder::Numbered("Paragraph ", i));
  b->Row({"one", "two"});
  Layout();
  TPage& page = Page(0);
  // Far below every line: the nearest box that holds lines, the last one.
  TBox* below = BoxAtPoint(page, 50, page.PixelRect.Height() - 2, TBoxHitFilter{});
  ASSERT_NE(below, nullptr);
  EXPECT_FALSE(below->Lines.empty());
  // Inside the second cell: that cell's box.
  TLine& cellLine = *Par(4).Lines.at(0);
  ASSERT_NE(GetCellBox(cellLine.Box), nullptr);
  const plat::Point at = BoxToPagePoint(*cellLine.Box, {5, 3});
  TBox* hit = BoxAtPoint(page, at.x, at.y, TBoxHitFilter{});
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(GetCellBox(hit), GetCellBox(cellLine.Box));
}

TEST_F(BoxGeometryTest, LastLinesRowsAndSelectedCells) {
  b->Add("first");
  b->Row({"one", "two"});
  b->Add("last");
  Layout();
  TPage& page = Page(0);
  EXPECT_EQ(GetLastLineOfBox(page, AllAreas), Par(4).Lines.back());
  EXPECT_EQ(GetFirstLineOfBox(page, AllAreas), Par(0).Lines.front());
  EXPECT_EQ(GetLastLineOfBox(page, AreaBit(TBox::AreaFootnotes)), nullptr);
  TLine& line = *Par(0).Lines.front();
  EXPECT_EQ(FirstLineOfRow(line), &line);
  EXPECT_EQ(LastLineOfRow(line), &line);
  TBox* cellTwo = Par(2).Lines.front()->Box;
  ASSERT_NE(GetCellBox(cellTwo), nullptr);
  const TDocPosition start = GetCellBox(cellTwo)->CellRange.Start;
  struct Case {
    int32_t fromPar, from, toPar, to;
    bool selected;
  };
  const Case cases[] = {
      {start.Par, start.Offset, start.Par, start.Offset + 2, true},
      {0, 0, start.Par, start.Offset, true},  // the range's end is the cell's start
      {0, 0, 0, 3, false},
      {start.Par, start.Offset, start.Par, start.Offset, false},  // an empty selection
  };
  for (const Case& c : cases) {
    doc->Selection->SetSingleRange(c.fromPar, c.from, c.toPar, c.to);
    EXPECT_EQ(IsInSelectedCell(*cellTwo), c.selected) << c.fromPar << ' ' << c.to;
  }
  EXPECT_FALSE(IsInSelectedCell(*Par(0).Lines.front()->Box));
}
