// Row formatting through the one row record, normalisation of damaged tables, and a table
// aligned with the one it joined.
#include <gtest/gtest.h>

#include "table_test_support.h"

using namespace qv;

namespace {

class RowFormat : public ::testing::Test {
 protected:
  TTableEngineScope scope;
  TDoc doc{true};
  TTableRow* Row(int32_t i) {
    std::vector<TTableRow*> rows;
    TDocRange t;
    doc.GetTableRows(FirstTablePar(doc), rows, t);
    return rows[static_cast<size_t>(i)];
  }
};

TEST_F(RowFormat, ANoOpRequestRecordsNothingAndASnappedChangeUndoesExactly) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}, {"e", "f"}});
  const int32_t t = FirstTablePar(doc);
  const uint32_t serial = doc.LastOperationSerial();
  TFormatRowsRequest same;
  same.FirstPar = t;
  same.Add(Row(1)).Cells[0].Right = 2002;  // within the tolerance of the edge at 2000
  Edit(doc, ecFormatTableRows, {&same});
  EXPECT_EQ(doc.LastOperationSerial(), serial);
  EXPECT_EQ(RowGeometry(doc, t), "0,2000,4000/0,2000,4000/0,2000,4000/");

  ExpectUndoRedoExact(doc, [&] {
    TFormatRowsRequest q;
    q.FirstPar = t;
    TTableRowData& d = q.Add(Row(1));
    d.Cells[0].Right = 2500;
    d.Cells[1].VertAlign = 2;
    d.HeaderRow = 1;
    Edit(doc, ecFormatTableRows, {&q});
    EXPECT_EQ(RowGeometry(doc, t), "0,2000,4000/0,2500,4000/0,2000,4000/");
    EXPECT_EQ(Row(1)->Cells[1].VertAlign, 2);
    EXPECT_EQ(Row(1)->LayoutChanged, 1);
  });
}

TEST_F(RowFormat, BoundariesSnapToTheMoreFrequentEdge) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}, {"e", "f"}});
  const int32_t t = FirstTablePar(doc);
  TFormatRowsRequest q;
  q.FirstPar = t;
  q.Add(Row(2)).Cells[0].Right = 2999;
  q.Add(Row(0)).Cells[0].Right = 3000;
  q.Add(Row(1)).Cells[0].Right = 3000;
  Edit(doc, ecFormatTableRows, {&q});
  // 2999 is within 3 twips of 3000 only after the others moved: the edges are the live ones, so
  // the new value keeps its own place next to the old edge at 2000.
  EXPECT_EQ(RowGeometry(doc, t), "0,3000,4000/0,3000,4000/0,2999,4000/");
  TFormatRowsRequest again;
  again.FirstPar = t;
  again.Add(Row(2)).Cells[0].Right = 2998;
  Edit(doc, ecFormatTableRows, {&again});
  EXPECT_EQ(RowGeometry(doc, t), "0,3000,4000/0,3000,4000/0,3000,4000/");
}

TEST_F(RowFormat, AlignmentOfTheCaretCellsParagraphs) {
  BuildTable(doc, {{"a", "b"}});
  const int32_t t = FirstTablePar(doc);
  MakePosition(t + 1, 0, doc.Caret);
  TFormatRowsRequest q;
  q.FirstPar = t;
  q.ParAlignment = 1;
  q.Add(Row(0)).Cells[1].VertAlign = 1;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecFormatTableRows, {&q}); });
  EXPECT_EQ(doc.Par(t + 1)->Format.Alignment, 1);
  EXPECT_NE(doc.Par(t)->Format.Alignment, 1);
  EXPECT_EQ(doc.Par(t + 2)->Format.InTable, 1);  // the row end keeps its format
}

}  // namespace

namespace {

class Normalize : public RowFormat {
 protected:
  void Normalized() {
    RunInOperation(doc, [&] { doc.NormalizeTable(FirstTablePar(doc)); });
  }
};

TEST_F(Normalize, RowsOfContinuationsOnlyGoAndMergesBecomeConsistent) {
  BuildTable(doc, {{"a", "b"}, {"", ""}, {"c", "d"}});
  for (int32_t i : {0, 1}) {
    Row(1)->Cells[static_cast<size_t>(i)].Merged = 1;  // continuations only
    Row(0)->Cells[static_cast<size_t>(i)].Merged = Row(0)->Cells[static_cast<size_t>(i)].MergeStart = 1;
  }
  ExpectUndoRedoExact(doc, [&] { Normalized(); });
  // The lower row went; the merge starts above it have no continuation left and become plain.
  EXPECT_EQ(TableText(doc), "[before]a|b/c|d/ [after]");
}

TEST_F(Normalize, ContinuationHoldingTextStartsItsOwnMergeOrBecomesPlain) {
  BuildTable(doc, {{"a", "b"}, {"x", ""}, {"", "e"}});
  // Column 0: rows 1 and 2 continue row 0's merge, but row 1's continuation holds text.
  Row(0)->Cells[0].Merged = Row(0)->Cells[0].MergeStart = 1;
  Row(1)->Cells[0].Merged = 1;
  Row(2)->Cells[0].Merged = 1;
  Row(2)->Cells[0].BorderTop.Width = 99;
  Normalized();
  // Row 0's start has no continuation below any more (row 1 took its own start): plain. Row 1
  // starts a merge that row 2 continues, and row 2 takes the borders of the cell above.
  EXPECT_EQ(TableText(doc), "[before]a|b/^x|_/*_|e/ [after]");
  EXPECT_EQ(Row(2)->Cells[0].BorderTop.Width, Row(1)->Cells[0].BorderTop.Width);
}

TEST_F(Normalize, HeaderRowsStayARunFromTheTop) {
  BuildTable(doc, {{"a"}, {"b"}, {"c"}, {"d"}});
  Row(0)->HeaderRow = 1;
  Row(2)->HeaderRow = 1;
  Normalized();
  EXPECT_EQ(Row(0)->HeaderRow, 1);
  EXPECT_EQ(Row(1)->HeaderRow, 0);
  EXPECT_EQ(Row(2)->HeaderRow, 0);
}

TEST_F(Normalize, ARowContinuingAMergeBelowAHeaderRowBecomesAHeaderRow) {
  BuildTable(doc, {{"a", "b"}, {"", "c"}, {"d", "e"}});
  Row(0)->HeaderRow = 1;
  Row(0)->Cells[0].Merged = Row(0)->Cells[0].MergeStart = 1;
  Row(1)->Cells[0].Merged = 1;
  Normalized();
  EXPECT_EQ(Row(1)->HeaderRow, 1);
  EXPECT_EQ(Row(2)->HeaderRow, 0);
}

TEST_F(Normalize, AlignTableWithPreviousScalesFromTheRightEdgeOrLeavesIt) {
  struct TCase {
    int32_t upperWidth;  // two cells
    const char* expected;
  };
  for (const TCase& c : {TCase{3250, "0,3250,6500/0,2167,4333,6500/0,2167,4333,6500/"},
                         TCase{4500, "0,4500,9000/0,2000,4000,6000/0,2000,4000,6000/"}}) {
    TDoc d(true);
    BuildTable(d, {{"a", "b"}}, c.upperWidth);
    // A second table of two rows of three cells directly below (as after its separating
    // paragraph was deleted).
    TDoc lower(true);
    const int32_t joinAt = d.LastParagraphOfStory(stMain);  // "after"
    d.RemoveParagraph(joinAt);
    for (int r = 0; r < 2; ++r) {
      auto row = std::make_unique<TTableRow>();
      row->CellCount = 3;
      for (int i = 0; i < 3; ++i) {
        row->Cells[static_cast<size_t>(i)].Right = 2000 * (i + 1);
        TPar* p = d.AppendParagraph(stMain, TableParFormat);
        AppendContentTag(p->Content, ctCellEnd, 0);
        p->RebuildCodes();
      }
      TTableRow* live = d.AddTableRow(std::move(row));
      TPar* e = d.AppendParagraph(stMain, TableParFormat);
      AppendContentTag(e->Content, ctRowEnd, TagRefOf(live));
      e->RebuildCodes();
    }
    TPar* tail = d.AppendParagraph(stMain, DefaultParFormat);
    AppendContentTag(tail->Content, ctSpecialChar, scParagraphEnd);
    tail->RebuildCodes();
    d.ClearTableCache();
    int32_t at = joinAt;
    Edit(d, ecAlignTableWithPrevious, {&at});
    EXPECT_EQ(RowGeometry(d, at), c.expected) << c.upperWidth;
  }
}

}  // namespace

namespace {

TEST_F(RowFormat, RowsWithAShareOfTheWidthKeepTheShareTheirNewGeometryHas) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}});
  for (TTableRow* r : {Row(0), Row(1)}) {
    r->PreferredWidth = 2000;  // 40 % of 10000
    r->FitAvailWidth = 10000;
  }
  ExpectUndoRedoExact(doc, [&] {
    TFormatRowsRequest q;
    q.FirstPar = FirstTablePar(doc);
    q.Add(Row(0));
    q.Add(Row(1)).Cells[1].Right = 5000;
    Edit(doc, ecFormatTableRows, {&q});
  });
  // The widest row of the change now spans 5000 of the 10000 available: 50 %.
  EXPECT_EQ(Row(0)->PreferredWidth, 2500);
  EXPECT_EQ(Row(1)->PreferredWidth, 2500);
}

TEST_F(RowFormat, AfterAnEditACaretInAContinuationGoesToTheMergeStart) {
  BuildTable(doc, {{"a", "b"}, {"", "d"}});
  Row(0)->Cells[0].Merged = Row(0)->Cells[0].MergeStart = 1;
  Row(1)->Cells[0].Merged = 1;
  MakePosition(4, 0, doc.Caret);  // the continuation cell
  TFormatRowsRequest q;
  q.FirstPar = FirstTablePar(doc);
  q.Add(Row(0)).Cells[1].VertAlign = 1;
  Edit(doc, ecFormatTableRows, {&q});
  EXPECT_EQ(doc.Caret.Par, 1);
  EXPECT_EQ(doc.Caret.Offset, 0);
}

}  // namespace
