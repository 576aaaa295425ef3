// Merging and splitting cells and splitting tables, each undone and redone exactly.
#include <gtest/gtest.h>

#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"
#include "table_test_support.h"

using namespace qv;

namespace {

class RecBox : public TMessageDlgService {
 public:
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return 1;
  }
  std::vector<std::string> Texts;
};

class CellMergeSplit : public ::testing::Test {
 protected:
  TTableEngineScope scope;
  ScopedService<TMessageDlgService, RecBox> box;
  TDoc doc{true};
  TInternalOptions saved = GetOptions().Internal;
  ~CellMergeSplit() override { GetOptions().Internal = saved; }
  std::vector<TTableRow*> Rows() {
    std::vector<TTableRow*> rows;
    TDocRange t;
    doc.GetTableRows(FirstTablePar(doc), rows, t);
    return rows;
  }
  void Select(std::initializer_list<TDocRange> ranges) {
    doc.Selection->SetCount(0);
    for (const TDocRange& r : ranges) doc.Selection->InsertRange(doc.Selection->Count(), r);
    doc.Caret = doc.Selection->GetRange(0)->Start;
    doc.SelectionChanged();
  }
  void Split(int32_t columns, int32_t rows) {
    GetOptions().Internal.SplitCellsCols = columns;
    GetOptions().Internal.SplitCellsRows = rows;
    Edit(doc, ecSplitCells);
  }
};

TEST_F(CellMergeSplit, TheMergeCheckSaysWhy) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}});
  TMergeCheckResult r;
  Select({{{1, 0}, {1, 1}}});  // inside one cell
  doc.GetMergeableCells(r);
  EXPECT_FALSE(r.CanMerge);
  EXPECT_EQ(r.Reason, 49);
  Select({{{3, 0}, {3, 1}}});  // a row-end mark only
  doc.GetMergeableCells(r);
  EXPECT_EQ(r.Reason, 8);
  Select({{{1, 0}, {1, 2}}, {{2, 0}, {2, 2}}, {{4, 0}, {4, 2}}});  // an L of three cells
  doc.GetMergeableCells(r);
  EXPECT_FALSE(r.CanMerge);
  EXPECT_EQ(r.Reason, 50);
  Select({{{1, 0}, {1, 2}}, {{4, 0}, {4, 2}}});  // one column of two rows
  doc.GetMergeableCells(r);
  EXPECT_TRUE(r.CanMerge);
  EXPECT_EQ(r.MergeLeft, 0);
  EXPECT_EQ(r.MergeRight, 2000);
  EXPECT_EQ(r.FirstRowIndex, 0);
  EXPECT_EQ(r.LastRowIndex, 1);
}

TEST_F(CellMergeSplit, MergingSideBySideCells) {
  struct TCase {
    std::vector<std::string> row;
    const char* table;
  };
  for (const TCase& c : {TCase{{"a", "b", "c"}, "[before]a+b|c/ [after]"},
                         TCase{{"a", "", "c"}, "[before]a|c/ [after]"}}) {
    TDoc d(true);
    BuildTable(d, {c.row});
    d.Selection->SetSingleRange(1, 0, 2, d.Par(2)->CharCount());
    d.Caret = d.Selection->GetRange(0)->Start;
    d.SelectionChanged();
    ExpectUndoRedoExact(d, [&] { Edit(d, ecMergeCells); });
    EXPECT_EQ(TableText(d), c.table);
    EXPECT_EQ(RowGeometry(d, 1), "0,4000,6000/");
  }
}

TEST_F(CellMergeSplit, MergingCellsOfOneColumn) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}});
  Select({{{1, 0}, {1, 2}}, {{4, 0}, {4, 2}}});
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecMergeCells); });
  EXPECT_EQ(TableText(doc), "[before]^a+c|b/*_|d/ [after]");
}

TEST_F(CellMergeSplit, SplittingIntoColumnsDealsTheParagraphs) {
  struct TCase {
    int32_t width;
    std::string text;
    const char* table;
    const char* geometry;
  };
  const TCase cases[] = {
      {3000, "1+2+3+4+5", "[before]1+2|3+4|5/ [after]", "0,1000,2000,3000/"},
      {3001, "1+2+3+4+5", "[before]1+2|3+4|5/ [after]", "0,1001,2001,3001/"},
      {3000, "x", "[before]x|_|_/ [after]", "0,1000,2000,3000/"},
  };
  for (const TCase& c : cases) {
    TDoc d(true);
    BuildTable(d, {{c.text}}, c.width);
    MakePosition(1, 0, d.Caret);
    d.SelectionChanged();
    GetOptions().Internal.SplitCellsCols = 3;
    GetOptions().Internal.SplitCellsRows = 1;
    ExpectUndoRedoExact(d, [&] { Edit(d, ecSplitCells); });
    EXPECT_EQ(TableText(d), c.table);
    EXPECT_EQ(RowGeometry(d, 1), c.geometry);
  }
}

TEST_F(CellMergeSplit, SplittingACellIntoRows) {
  BuildTable(doc, {{"a", "b+c", "d"}});
  MakePosition(2, 0, doc.Caret);
  doc.SelectionChanged();
  ExpectUndoRedoExact(doc, [&] { Split(1, 2); });
  // The other columns go on over the new row; the cell's paragraphs are dealt over the rows.
  EXPECT_EQ(TableText(doc), "[before]^a|b|^d/*_|c|*_/ [after]");
}

TEST_F(CellMergeSplit, SplittingPastSixtyThreeCellsIsRefused) {
  BuildTable(doc, {{"a", "b"}}, 6000);
  Select({{{1, 0}, {2, 2}}});
  const std::string before = TableDump(doc);
  const int32_t position = doc.UndoPosition;
  Split(63, 1);
  EXPECT_EQ(TableDump(doc), before);
  EXPECT_EQ(doc.UndoPosition, position);
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_EQ(box->Texts[0], TooManyColumnsMessage);
  // One cell into 62 fills the row exactly.
  MakePosition(1, 0, doc.Caret);
  doc.ClearSelection();
  Split(62, 1);
  EXPECT_EQ(Rows()[0]->CellCount, 63);
}

TEST_F(CellMergeSplit, SplittingATableBetweenRows) {
  BuildTable(doc, {{"a", "b"}, {"", "d"}, {"e", "f"}});
  Rows()[0]->Cells[0].Merged = Rows()[0]->Cells[0].MergeStart = 1;
  Rows()[0]->Cells[0].ShadingColor = 0x0000FF;
  Rows()[1]->Cells[0].Merged = 1;
  MakePosition(5, 0, doc.Caret);  // row 2
  doc.SelectionChanged();
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecSplitTable); });
  EXPECT_EQ(TableText(doc), "[before]a|b/ []_|d/e|f/ [after]");
  EXPECT_EQ(doc.Caret.Par, 4);
  // The continuation started the lower table's own cell with the merge start's looks.
  std::vector<TTableRow*> lower;
  TDocRange t;
  doc.GetTableRows(5, lower, t);
  EXPECT_EQ(lower[0]->Cells[0].ShadingColor, 0x0000FF);
}

}  // namespace
