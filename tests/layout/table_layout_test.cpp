#include "layout/pagination_fixture.h"

#include "document/table_row.h"
#include "layout/page.h"
#include "layout/table_layout.h"

namespace {

class TableLayoutTest : public PaginationTest {
 protected:
  // The table boxes of a page.
  static void Tables(const TBox& box, std::vector<const TTableBox*>& out) {
    for (const TBoxRef& c : box.Children) {
      if (c->Kind == TBoxKind::Table) out.push_back(static_cast<const TTableBox*>(c.get()));
      Tables(*c, out);
    }
  }
  const TTableBox* TableOn(int32_t page) {
    std::vector<const TTableBox*> t;
    Tables(Page(page), t);
    return t.empty() ? nullptr : t.front();
  }
  // The cell box that holds the paragraph's line.
  void Fill(int n) {
    for (int i = 0; i < n; ++i) b->Add(TDocBuilder::Numbered("Filler ", i));
  }
  const TCellBox* CellOf(int32_t par, int32_t line = 0) {
    return GetCellBox(Par(par).Lines[static_cast<size_t>(line)]->Box);
  }
};

TEST_F(TableLayoutTest, RowsOfCellsSideBySide) {
  b->Add("Before");
  TTableRow* row = b->Row({"a", "b|b2", "c"});
  const int32_t after = b->Add("After");
  Paginate();
  const int32_t a = 1, bb = 2, c = 3, rowEnd = 4;
  EXPECT_EQ(PageOf(a), 0);
  const TCellBox* ca = CellOf(a);
  const TCellBox* cb = CellOf(bb);
  ASSERT_NE(ca, nullptr);
  ASSERT_NE(cb, nullptr);
  EXPECT_EQ(ca->Rect.top, cb->Rect.top);
  EXPECT_EQ(ca->Rect.right, cb->Rect.left);
  EXPECT_EQ(ca->Rect.left, 1440);  // the table box's inner margin plus the row's left edge
  EXPECT_EQ(cb->Rect.right - cb->Rect.left, 2000);
  // The row is as tall as its tallest cell.
  EXPECT_EQ(ca->Height(), 2 * kLine);
  EXPECT_EQ(CellOf(c)->Height(), 2 * kLine);
  EXPECT_TRUE(CellOf(rowEnd)->HasFlag(TBox::RowEndHolder));
  EXPECT_EQ(CellOf(rowEnd)->Rect.left, 1440 + 6000);
  EXPECT_EQ(TopOnPage(after), 720 + 3 * kLine);
  const TTableBox* table = TableOn(0);
  ASSERT_NE(table, nullptr);
  EXPECT_TRUE(table->HasFlag(TBox::TableStarts));
  EXPECT_TRUE(table->HasFlag(TBox::TableEnds));
  EXPECT_EQ(row->RowIndex, 0);
  EXPECT_EQ(row->RowRange.Start.Par, 1);
  EXPECT_EQ(row->RowRange.End.Par, rowEnd);
  EXPECT_EQ(table->CellExtent.bottom - table->CellExtent.top, 2 * kLine);
}

TEST_F(TableLayoutTest, HeaderRowIsRepeatedOnEveryPage) {
  TTableRow* header = b->Row({"Name", "Value"});
  header->HeaderRow = 1;
  for (int i = 0; i < 30; ++i) b->Row({TDocBuilder::Numbered("n", i), std::to_string(i)});
  b->Add("After");
  Paginate();
  ASSERT_GE(doc->PageCount(), 3);
  const TTableBox* first = TableOn(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->HeaderRowCount, 1);
  EXPECT_EQ(first->HeaderHeight, kLine);
  EXPECT_FALSE(Page(0).HasFlag(TBox::RepeatsHeaderRows));
  for (int32_t p = 1; p < doc->PageCount(); ++p) {
    const TTableBox* t = TableOn(p);
    ASSERT_NE(t, nullptr) << p;
    EXPECT_FALSE(t->HasFlag(TBox::TableStarts)) << p;
    EXPECT_EQ(t->HeaderRowCount, 1) << p;
    EXPECT_TRUE(Page(p).HasFlag(TBox::RepeatsHeaderRows)) << p;
    // The first row of the continuation starts below the header rows' room.
    const TBox* firstCell = nullptr;
    for (const TBoxRef& c : t->Children)
      if (c->HasFlag(TBox::FirstRowCell)) firstCell = c.get();
    ASSERT_NE(firstCell, nullptr);
    EXPECT_EQ(firstCell->Rect.top, kLine) << p;
  }
  // 12 rows on the first page, then 11 below the repeated header on each further page.
  EXPECT_EQ(PageOf(header->RowRange.End.Par), 0);
  EXPECT_EQ(PageOf(3 * 11 + 1), 0);   // row 11 (header is row 0)
  EXPECT_EQ(PageOf(3 * 12 + 1), 1);
  EXPECT_EQ(PageOf(3 * 23 + 1), 2);
}

TEST_F(TableLayoutTest, RowThatMayNotSplitMovesWhole) {
  for (const bool keep : {true, false}) {
    SetUp();
    Fill(9);
    TTableRow* row = b->Row({"one|two|three|four|five", "x"});
    row->KeepTogether = keep ? 1 : 0;
    b->Add("After");
    Paginate();
    const int32_t cell = 9;
    if (keep) {
      EXPECT_EQ(PageOf(cell, 0), 1);
      EXPECT_EQ(LinesOn(cell, 1), 5);
    } else {
      EXPECT_EQ(LinesOn(cell, 0), 3);
      EXPECT_EQ(LinesOn(cell, 1), 2);
      // The continued part starts at the top of the next page.
      EXPECT_EQ(TopOnPage(cell, 3), 720);
      EXPECT_FALSE(CellOf(cell, 3)->HasFlag(TBox::CellStarts));
      EXPECT_TRUE(CellOf(cell, 0)->HasFlag(TBox::CellStarts));
    }
    TearDown();
  }
  SetUp();
}

TEST_F(TableLayoutTest, RowTallerThanAPageSplitsAtTheTop) {
  TTableRow* row = b->Row({TDocBuilder::LinesText(20), "x"});
  row->KeepTogether = 1;
  b->Add("After");
  Paginate();
  EXPECT_EQ(LinesOn(0, 0), 12);
  EXPECT_EQ(LinesOn(0, 1), 8);
}

TEST_F(TableLayoutTest, VerticallyMergedCellContinuesOverAPage) {
  std::vector<TTableRow*> rows;
  for (int r = 0; r < 16; ++r) {
    TTableRow* row = b->Row({TDocBuilder::Numbered("r", r), r == 0 ? TDocBuilder::LinesText(14) : ""});
    row->Cells[1].Merged = 1;
    row->Cells[1].MergeStart = r == 0 ? 1 : 0;
    rows.push_back(row);
  }
  b->Add("After");
  Paginate();
  const int32_t merged = 1;  // the merge start's paragraph
  // Twelve rows fit the first page; the merged text fills the first part and goes on below.
  EXPECT_EQ(PageOf(3 * 11), 0);
  EXPECT_EQ(PageOf(3 * 12), 1);
  EXPECT_EQ(LinesOn(merged, 0), 12);
  EXPECT_EQ(LinesOn(merged, 1), 2);
  const TCellBox* firstPart = CellOf(merged, 0);
  const TCellBox* secondPart = CellOf(merged, 12);
  EXPECT_NE(firstPart, secondPart);
  EXPECT_EQ(firstPart->MergeLastRow, 15);
  EXPECT_FALSE(secondPart->HasFlag(TBox::CellStarts));
  EXPECT_EQ(secondPart->CellIndex, 1);
  EXPECT_EQ(TopOnPage(merged, 12), 720);
  // One part per page: the continuation cells' own marks sit in zero-height holders.
  const int32_t continuationPar = 3 * 13 + 1;
  EXPECT_TRUE(CellOf(continuationPar)->HasFlag(TBox::MergeHolder));
  EXPECT_EQ(CellOf(continuationPar)->Height(), 0);
  EXPECT_TRUE(doc->IsInMergedCell(continuationPar));
  EXPECT_EQ(doc->GetMergeStartPar(continuationPar), merged);
  EXPECT_FALSE(doc->IsInMergedCell(merged));
}

TEST_F(TableLayoutTest, CentredTableIsCentredInTheTextWidth) {
  TTableRow* row = b->Row({"a", "b"});
  row->Alignment = 1;
  b->Add("After");
  Paginate();
  const TCellBox* cell = CellOf(0);
  // Text width 9360, table 4000: 2680 to each side.
  EXPECT_EQ(cell->Rect.left, 1440 + 2680);
}

TEST_F(TableLayoutTest, RowHeightsAtLeastAndExactly) {
  TTableRow* atLeast = b->Row({"a", "b"});
  atLeast->Height = 600;
  TTableRow* exact = b->Row({"one|two|three", "b"});
  exact->Height = -300;
  b->Add("After");
  Paginate();
  EXPECT_EQ(CellOf(0)->Height(), 600);
  EXPECT_EQ(CellOf(3)->Height(), 300);
  EXPECT_EQ(TopOnPage(6), 720 + 900);
}

TEST_F(TableLayoutTest, GridResolvesSharedBorders) {
  TTableRow a, c;
  a.CellCount = c.CellCount = 2;
  a.Cells[0].Right = c.Cells[0].Right = 1000;
  a.Cells[1].Right = c.Cells[1].Right = 2000;
  a.Cells[0].BorderRight = {30, 1, 0, 0};
  a.Cells[1].BorderLeft = {10, 1, 0, 0};
  a.Cells[0].BorderBottom = {15, 1, 0, 0};
  c.Cells[1].BorderTop = {45, 1, 0, 0};
  c.Cells[0].BorderLeft = {20, BorderStyleNone, 0, 0};
  std::vector<TTableRow*> rows{&a, &c};
  ComputeTableGrid(rows, 2000);
  EXPECT_EQ(a.DrawnBorders[1].Left, 30);
  EXPECT_EQ(a.DrawnBorders[0].Right, 30);
  EXPECT_EQ(c.DrawnBorders[0].Right, 30);  // the edge's widest border, from the row above
  EXPECT_EQ(c.DrawnBorders[0].Left, 0);
  EXPECT_EQ(a.DrawnBorders[0].Bottom, 45);
  EXPECT_EQ(c.DrawnBorders[0].Top, 45);
  EXPECT_EQ(a.RowIndex, 0);
  EXPECT_EQ(c.RowIndex, 1);
  EXPECT_EQ(c.PrevRow, &a);
  // A second call with nothing changed leaves the widths alone.
  a.DrawnBorders[0].Left = 77;
  ComputeTableGrid(rows, 2000);
  EXPECT_EQ(a.DrawnBorders[0].Left, 77);
  a.LayoutChanged = 1;
  ComputeTableGrid(rows, 2000);
  EXPECT_EQ(a.DrawnBorders[0].Left, 0);
}

}  // namespace

namespace {

// A document that ends with a table whose last row goes on over the page is laid out to the end
// of that row, although the row's end mark was placed on the first page.
TEST_F(TableLayoutTest, LastRowOfTheDocumentContinuesOnTheNextPage) {
  b->Add("Before");
  b->Row({"a", TDocBuilder::LinesText(20)});
  Paginate();
  const int32_t cell = 2;
  EXPECT_EQ(PageOf(cell, 0), 0);
  EXPECT_GE(PageOf(cell, -1), 1);
  EXPECT_TRUE(doc->Layout.LaidOutToEnd);
}

}  // namespace
