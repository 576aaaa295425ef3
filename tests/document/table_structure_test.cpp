#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/table_fitting.h"
#include "document/table_structure.h"
#include "document/table_template.h"
#include "document/doc_builder.h"
#include "foundation/system/paths.h"
#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

TEST(TableFitting, Tolerances) {
  EXPECT_EQ(SignificantDifference(1000, 997), 0);
  EXPECT_EQ(SignificantDifference(1000, 996), 4);
  EXPECT_EQ(SignificantDifference(996, 1000), -4);
  EXPECT_TRUE(NearlyEqual(1000, 1003));
  EXPECT_FALSE(NearlyEqual(1000, 1004));
  const std::vector<int32_t> list{500, 1000, 1001};
  EXPECT_EQ(SnapToListedValue(1002, list), 1001);
  EXPECT_EQ(SnapToListedValue(700, list), 700);
  EXPECT_EQ(SignificantDifference(INT32_MIN, INT32_MAX), INT32_MIN);  // no overflow
}

TEST(TableFitting, BorderStrength) {
  TBorderLine single{15, 1, 0, 0};
  TBorderLine dbl{60, 3, 0, 0};
  EXPECT_EQ(CompareBorderStrength(single, dbl), 1);
  EXPECT_EQ(CompareBorderStrength(dbl, single), -1);
  TBorderLine thin{15, 3, 0, 0}, thick{30, 3, 0, 0};
  EXPECT_EQ(CompareBorderStrength(thin, thick), -1);
  TBorderLine unset{0, TableValueUnset, 0, 0};
  EXPECT_EQ(CompareBorderStrength(unset, unset), 0);
  EXPECT_EQ(CompareBorderStrength(unset, thin), -1);
  TBorderLine none1{10, BorderStyleNone, 5, 0}, none2{40, BorderStyleNone, 9, 0};
  EXPECT_EQ(CompareBorderStrength(none1, none2), 0);
  // Equal widths: the flags, then the colours (automatic lowest).
  TBorderLine red{15, 3, 0x0000FF, 0}, automatic{15, 3, static_cast<int32_t>(0xFF000000u), 0};
  const int32_t zero = 0, one = 1;
  EXPECT_EQ(CompareBorderStrength(red, automatic, &one, &zero), -1);
  EXPECT_EQ(CompareBorderStrength(red, automatic), 1);
  EXPECT_EQ(CompareBorderStrength(automatic, automatic), 0);
}

TEST(TableFitting, RowsWithUnplacedCellsAreSpacedEvenly) {
  TTableRow row;
  row.Left = 100;
  row.CellCount = 3;
  row.LayoutChanged = 1;
  std::vector<TTableRow*> rows{&row};
  FitTableRowsToWidth(rows, 9000, false);
  EXPECT_EQ(row.Cells[0].Right, 3100);
  EXPECT_EQ(row.Cells[1].Right, 6100);
  EXPECT_EQ(row.Cells[2].Right, 9100);
  EXPECT_EQ(row.FitAvailWidth, 9000);
  EXPECT_EQ(row.LayoutChanged, 0);
}

TEST(TableFitting, RelativeRowsScaleToTheirShare) {
  TTableRow a, b;
  for (TTableRow* r : {&a, &b}) {
    r->PreferredWidth = 2500;  // 50 %
    r->CellCount = 2;
    r->Cells[0].Right = 2000;
    r->Cells[1].Right = 4000;
  }
  b.Cells[1].Right = 3000;
  std::vector<TTableRow*> rows{&a, &b};
  FitTableRowsToWidth(rows, 10000, false);
  // Target 5000 over the widest extent 4000: factor 1.25.
  EXPECT_EQ(a.Cells[0].Right, 2500);
  EXPECT_EQ(a.Cells[1].Right, 5000);
  EXPECT_EQ(b.Cells[1].Right, 3750);
  EXPECT_EQ(a.FitScaledWidth, 5000);
  // Fitting to the same width again changes nothing.
  a.Cells[0].Right = 2600;
  FitTableRowsToWidth(rows, 10000, false);
  EXPECT_EQ(a.Cells[0].Right, 2600);
  // Without scaling only the available width is recorded.
  FitTableRowsToWidth(rows, 8000, true);
  EXPECT_EQ(a.Cells[1].Right, 5000);
  EXPECT_EQ(a.FitAvailWidth, 8000);
}

// A document: "Before", a table of two rows (two cells, then three cells with a two-paragraph
// cell), "After".
class TableStructureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TDocBuilder b(doc);
    b.Add("Before");                       // 0
    row1 = b.Row({"a", ""});               // 1 2 | 3
    TParFormat cell = DefaultParFormat;
    cell.InTable = 1;
    b.Format = cell;
    b.Add("b1");                           // 4 (first paragraph of a two-paragraph cell)
    b.Format = DefaultParFormat;
    row2 = b.Row({"b2", "c", "d"});        // 5 6 7 | 8
    b.Add("After");                        // 9
    b.Finish();
  }
  TDoc doc{true};
  TTableRow* row1 = nullptr;
  TTableRow* row2 = nullptr;
};

TEST_F(TableStructureTest, CellsAndRows) {
  ASSERT_EQ(doc.ParCount(), 10);
  EXPECT_TRUE(doc.IsRowEndPar(3));
  EXPECT_FALSE(doc.IsRowEndPar(2));
  EXPECT_FALSE(doc.IsRowEndPar(0));
  struct Case {
    int32_t par, cellIndex, cellStart, cellEnd;
  } cases[] = {{1, 0, 1, 1}, {2, 1, 2, 2}, {3, 2, 3, 3}, {4, 0, 4, 5}, {5, 0, 4, 5}, {6, 1, 6, 6},
               {8, 3, 8, 8}};
  for (const Case& c : cases) {
    EXPECT_EQ(doc.GetCellIndex(c.par), c.cellIndex) << c.par;
    TDocRange r;
    doc.GetCellRange(c.par, r);
    EXPECT_EQ(r.Start.Par, c.cellStart) << c.par;
    EXPECT_EQ(r.End.Par, c.cellEnd) << c.par;
    EXPECT_EQ(r.End.Offset, doc.ParLength(c.cellEnd)) << c.par;
  }
  TDocRange empty;
  doc.GetCellRange(2, empty);
  EXPECT_TRUE(IsEmptyCellRange(empty));
  TDocRange rowEnd;
  doc.GetCellRange(3, rowEnd);
  EXPECT_EQ(rowEnd.End.Offset, 1);
  TDocRange nth;
  doc.GetNthCellRange(4, 2, nth);
  EXPECT_EQ(nth.Start.Par, 7);
  TDocRange row;
  doc.GetRowRange(6, row);
  EXPECT_EQ(row.Start.Par, 4);
  EXPECT_EQ(row.End.Par, 8);
  EXPECT_EQ(row.End.Offset, 1);
  EXPECT_EQ(doc.GetRowProps(1), row1);
  EXPECT_EQ(doc.GetRowProps(7), row2);
  EXPECT_EQ(doc.GetRowProps(9), nullptr);  // no row end follows
  int32_t left = 0, right = 0;
  doc.GetCellHorzBounds(6, left, right);
  EXPECT_EQ(left, 2000);
  EXPECT_EQ(right, 4000);
  doc.GetCellHorzBounds(8, left, right);
  EXPECT_EQ(left, 0x3FFFFFFF);
  EXPECT_EQ(right, 0x3FFFFFFF);
}

TEST_F(TableStructureTest, TableRangeAndRowsThroughTheCache) {
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc.GetTableRows(5, rows, table);
  EXPECT_EQ(table.Start.Par, 1);
  EXPECT_EQ(table.End.Par, 8);
  EXPECT_EQ(rows, (std::vector<TTableRow*>{row1, row2}));
  // A stale cache answers the old range until it is cleared.
  doc.Par(9)->Format.InTable = 1;
  TDocRange again;
  doc.GetTableRange(2, again);
  EXPECT_EQ(again.End.Par, 8);
  doc.ClearTableCache();
  doc.GetTableRange(2, again);
  EXPECT_EQ(again.End.Par, 9);
}

TEST_F(TableStructureTest, ColumnEdgesMergePairwise) {
  row2->Cells[0].Right = 1002;
  row2->Cells[1].Right = 2005;
  row2->Cells[2].Right = 2002;
  row1->Cells[0].Right = 1000;
  row1->Cells[1].Right = 2000;
  const std::vector<int32_t> all = doc.GetTableColumnEdges(1, nullptr, false);
  EXPECT_EQ(all, (std::vector<int32_t>{0, 1000, 1002, 2000, 2002, 2005}));
  // 2005 and 2002 are examined first (equally frequent: the upper one goes), so 2000 is not
  // compared with the survivor; 1002 and 1000 merge likewise. The more frequent edge stays.
  EXPECT_EQ(doc.GetTableColumnEdges(1, nullptr, true), (std::vector<int32_t>{0, 1000, 2000, 2002}));
  row1->Cells[1].Right = 2005;
  EXPECT_EQ(doc.GetTableColumnEdges(1, nullptr, true), (std::vector<int32_t>{0, 1000, 2005}));
}

// A vertical merge over three rows in the second column.
class MergedCellsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TDocBuilder b(doc);
    b.Add("Before");
    for (int r = 0; r < 3; ++r) {
      TTableRow* row = b.Row({"x", r == 0 ? "merged" : ""});
      row->Cells[1].Merged = 1;
      row->Cells[1].MergeStart = r == 0 ? 1 : 0;
      row->Cells[1].Right += r;  // boundaries within the tolerance
    }
    b.Add("After");
    b.Finish();
  }
  TDoc doc{true};
};

TEST_F(MergedCellsTest, ContinuationCellsFindTheirStart) {
  // Rows: 1 2 | 3, 4 5 | 6, 7 8 | 9.
  EXPECT_FALSE(doc.IsInMergedCell(2));
  EXPECT_TRUE(doc.IsInMergedCell(5));
  EXPECT_TRUE(doc.IsInMergedCell(8));
  EXPECT_FALSE(doc.IsInMergedCell(7));
  EXPECT_FALSE(doc.IsInMergedCell(10));
  EXPECT_EQ(doc.GetMergeStartPar(8), 2);
  EXPECT_EQ(doc.GetMergeStartPar(5), 2);
  EXPECT_EQ(doc.GetMergeStartPar(4), 4);
  EXPECT_EQ(doc.GetMergedCellsBelow(2), (std::vector<int32_t>{1, 1}));
  EXPECT_TRUE(doc.GetMergedCellsBelow(1).empty());
  EXPECT_TRUE(doc.GetMergedCellsBelow(5).empty());
}

// Services that hand out a template document built in memory.
class TemplateServices : public TDocServices {
 public:
  std::string folder;
  TDoc* open = nullptr;
  std::string TemplatesFolder() override { return folder; }
  TDoc* FindOpenDocument(const std::string& fileName) override {
    return fileName == folder + DefaultTableTemplateName ? open : nullptr;
  }
};

TEST(TableTemplate, RowsOfTheFirstTableAreCopied) {
  ScopedService<TDocServices, TemplateServices> services;
  TemplateServices* s = &*services;
  TMemory formats;
  formats.AppendString("kept");
  // No folder, no file: an empty list and the buffer left alone.
  EXPECT_TRUE(LoadDefaultTableTemplate(&formats).empty());
  EXPECT_EQ(formats.Length, 4);
  s->folder = "/nonexistent-qv-templates/";
  EXPECT_TRUE(LoadDefaultTableTemplate(&formats).empty());

  TDoc templ(true);
  TDocBuilder b(templ);
  b.Add("Intro");
  TTableRow* first = b.Row({"A", "B"});
  first->Height = 400;
  b.Row({"C", "D"});
  b.Add("Between");
  b.Row({"other table", "x"});
  b.Finish();
  s->open = &templ;
  auto rows = LoadDefaultTableTemplate(&formats);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]->Height, 400);
  EXPECT_NE(rows[0].get(), first);
  EXPECT_EQ(formats.Length, 6 * TableTemplateRecordSize);
  // Cell B of the first row starts at the table's second paragraph.
  EXPECT_EQ(rows[0]->Cells[1].Scratch1, TableTemplateRecordSize);
  EXPECT_EQ(rows[1]->Cells[0].Scratch1, 3 * TableTemplateRecordSize);
  EXPECT_EQ(rows[1]->Cells[0].Scratch2, 3 * TableTemplateRecordSize + static_cast<int32_t>(sizeof(TParFormat)));
}

}  // namespace
