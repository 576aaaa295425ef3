// Table selections (row pieces, cells, column spans, selection kinds) and Tab and Shift+Tab
// between cells, over merges and at the end of the table.
#include <gtest/gtest.h>

#include "table_test_support.h"

using namespace qv;

namespace {

std::string Ranges(const TCompoundFragment& f) {
  std::string s;
  for (int32_t i = 0; i < f.Count(); ++i) {
    const TDocRange& r = *f.GetRange(i);
    s += "(" + std::to_string(r.Start.Par) + "," + std::to_string(r.Start.Offset) + ")-(" +
         std::to_string(r.End.Par) + "," + std::to_string(r.End.Offset) + ") ";
  }
  return s;
}

class TableNavigation : public ::testing::Test {
 protected:
  TTableEngineScope scope;
  TDoc doc{true};
  // Paragraphs: 0 before; rows of cells 1-3 (end 4), 5-7 (end 8), 9-11 (end 12); 13 after.
  void Build3x3() { BuildTable(doc, {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}}); }
  void Select(int32_t sp, int32_t so, int32_t ep, int32_t eo) { SelectRanges({{{sp, so}, {ep, eo}}}); }
  void SelectRanges(std::initializer_list<TDocRange> ranges) { SelectIn(doc, ranges); }
  static void SelectIn(TDoc& d, std::initializer_list<TDocRange> ranges) {
    d.Selection->SetCount(0);
    for (const TDocRange& r : ranges) d.Selection->InsertRange(d.Selection->Count(), r);
    d.Caret = d.Selection->GetRange(0)->Start;
    d.SelectionChanged();
  }
  std::string SelectionText() {
    std::string s;
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) {
      const TDocRange& r = *doc.Selection->GetRange(i);
      for (int32_t p = r.Start.Par; p <= r.End.Par; ++p) s += ParText(doc, p);
    }
    return s;
  }
};

TEST_F(TableNavigation, SplitByRowsCutsAtRowsAndDropsRowEndMarks) {
  Build3x3();
  struct TCase {
    TDocRange range;
    const char* pieces;
  };
  const TCase cases[] = {
      // From the start of row 1 to row 3's row-end mark: each piece ends after its last cell.
      {{{1, 0}, {12, 1}}, "(1,0)-(3,2) (5,0)-(7,2) (9,0)-(11,2) "},
      // To the middle of a cell of row 3: row 3 is whole, its row-end mark included.
      {{{1, 0}, {10, 1}}, "(1,0)-(3,2) (5,0)-(7,2) (9,0)-(12,1) "},
  };
  for (const TCase& c : cases) {
    TFragmentRef f = AcquireFragment();
    *f->GetRange(0) = c.range;
    EXPECT_EQ(Ranges(*doc.SplitFragmentsByRows(*f)), c.pieces);
  }
  // Only a row-end mark: nothing is left.
  TFragmentRef marks = AcquireFragment();
  marks->SetSingleRange(4, 0, 4, 1);
  EXPECT_TRUE(IsFragmentEmpty(doc.SplitFragmentsByRows(*marks)));
}

TEST_F(TableNavigation, ExpandToCellsGivesOneRangePerCell) {
  Build3x3();
  TFragmentRef f = AcquireFragment();
  f->SetSingleRange(5, 1, 7, 1);
  doc.ExpandFragmentsToCells(*f);
  EXPECT_EQ(Ranges(*f), "(5,0)-(5,2) (6,0)-(6,2) (7,0)-(7,2) ");
}

TEST_F(TableNavigation, CellsInAColumnSpanMeetWithinTheTolerance) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}}, 1000);
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc.GetTableRows(1, rows, table);
  rows[1]->Cells[0].Right = 1003;  // row 2: (0,1003) (1003,2000)
  TFragmentRef f = doc.GetCellsInColumnSpan(table, 0, 1000, 2000, 1);
  EXPECT_EQ(Ranges(*f), "(2,0)-(2,2) (5,0)-(5,2) ");
}

TEST_F(TableNavigation, SelectionKinds) {
  Build3x3();
  Select(1, 0, 8, 1);  // rows 1 and 2 whole
  EXPECT_EQ(doc.GetTableSelectionKind(), 2);
  Select(1, 0, 12, 1);
  EXPECT_EQ(doc.GetTableSelectionKind(), 3);
  SelectRanges({{{2, 0}, {2, 2}}, {{6, 0}, {6, 2}}, {{10, 0}, {10, 2}}});  // column 2
  EXPECT_EQ(doc.GetTableSelectionKind(), 1);
  SelectRanges({{{2, 0}, {2, 2}}, {{6, 0}, {6, 2}}});  // not every row of the column
  EXPECT_EQ(doc.GetTableSelectionKind(), 0);
  TDoc two(true);
  BuildTable(two, {{"a", "b"}, {"c", "d"}});
  SelectIn(two, {{{3, 0}, {3, 1}}, {{6, 0}, {6, 1}}});
  EXPECT_EQ(two.GetTableSelectionKind(), 3);  // the row-end marks of both rows
  for (int rows : {1, 2}) {
    TDoc single(true);
    BuildTable(single, rows == 1 ? std::vector<std::vector<std::string>>{{"a"}}
                                 : std::vector<std::vector<std::string>>{{"a"}, {"b"}});
    MakePosition(1, 0, single.Caret);
    single.SelectionChanged();
    EXPECT_EQ(single.GetTableSelectionKind(), rows == 1 ? 3 : 2);
  }
}

TEST_F(TableNavigation, SelectedCellsAreListedOnce) {
  Build3x3();
  Select(2, 0, 7, 1);
  // Row 1 from its second cell, row 2 whole; its row-end mark is no cell.
  EXPECT_EQ(doc.GetSelectedCells(), (std::vector<int32_t>{2, 3, 5, 6, 7}));
}

TEST_F(TableNavigation, TabInTheLastCellAppendsARowWithoutMerges) {
  Build3x3();
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc.GetTableRows(1, rows, table);
  rows[2]->Cells[0].Merged = 1;  // a continuation: the new row must not copy it
  rows[1]->Cells[0].Merged = rows[1]->Cells[0].MergeStart = 1;
  MakePosition(11, 0, doc.Caret);
  int32_t at = 11;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecGoToNextCell, {&at}); });
  EXPECT_EQ(TableText(doc), "[before]a|b|c/^d|e|f/*g|h|i/_|_|_/ [after]");
  EXPECT_EQ(doc.Caret.Par, 13);  // the new row's first cell
}

TEST_F(TableNavigation, TabJumpsOverAContinuationAndGoesOnFromItsPlace) {
  Build3x3();
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc.GetTableRows(1, rows, table);
  // Column 2 of rows 1 and 2 is one merged cell; row 2's part of it is empty.
  rows[0]->Cells[1].Merged = rows[0]->Cells[1].MergeStart = 1;
  rows[1]->Cells[1].Merged = 1;
  doc.Par(6)->Content.Clear();
  AppendContentTag(doc.Par(6)->Content, ctCellEnd, 0);
  doc.Par(6)->RebuildCodes();
  doc.Par(6)->ContentChanged();
  doc.GoToNextCell(5);  // from "d": the next cell continues the merge
  EXPECT_EQ(SelectionText(), "b");
  doc.GoToNextCell(doc.Caret.Par);
  EXPECT_EQ(SelectionText(), "f");
  doc.GoToPreviousCell(doc.Caret.Par);  // back over the merge again
  EXPECT_EQ(SelectionText(), "b");
  doc.GoToPreviousCell(doc.Caret.Par);
  EXPECT_EQ(SelectionText(), "d");
}

TEST_F(TableNavigation, ShiftTabInTheFirstCellDoesNothingAndWrapsToThePreviousRow) {
  Build3x3();
  MakePosition(1, 0, doc.Caret);
  doc.GoToPreviousCell(1);
  EXPECT_EQ(doc.Caret.Par, 1);
  EXPECT_FALSE(doc.HasSelection());
  doc.GoToPreviousCell(5);
  EXPECT_EQ(SelectionText(), "c");
}

}  // namespace
