// Inserting tables, rows and columns and deleting cells, rows and tables, each undone and redone
// exactly.
#include <gtest/gtest.h>

#include "document/doc_flags.h"
#include "document/doc_services.h"
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

class TableEdit : public ::testing::Test {
 protected:
  TTableEngineScope scope;
  ScopedService<TMessageDlgService, RecBox> box;
  TDoc doc{true};
  std::vector<TTableRow*> Rows(int32_t par = -1) {
    std::vector<TTableRow*> rows;
    TDocRange t;
    doc.GetTableRows(par < 0 ? FirstTablePar(doc) : par, rows, t);
    return rows;
  }
  void Caret(int32_t par, int32_t offset = 0) {
    MakePosition(par, offset, doc.Caret);
    doc.ClearSelection();
  }
  void Select(int32_t sp, int32_t so, int32_t ep, int32_t eo) {
    doc.Selection->SetSingleRange(sp, so, ep, eo);
    doc.Caret = doc.Selection->GetRange(0)->Start;
    doc.SelectionChanged();
  }
};

TEST_F(TableEdit, InsertingATableSplitsTheParagraphAtTheCaret) {
  SetMainText(doc, {"Hello world"});
  Caret(0, 5);
  int32_t rows = 3, columns = 2;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecInsertTable, {&rows, &columns}); });
  EXPECT_EQ(TableText(doc), "[Hello]_|_/_|_/_|_/ [ world]");
  EXPECT_EQ(doc.ParCount(), 11);
  EXPECT_EQ(doc.Caret.Par, 1);
  const TTableRow& row = *Rows()[0];
  EXPECT_EQ(row.CellCount, 2);
  EXPECT_EQ(row.PreferredWidth, 5000);
  EXPECT_EQ(row.PadLeft, 108);
  EXPECT_EQ(row.Cells[0].Right, TableValueUnset);
  EXPECT_EQ(row.Cells[1].BorderBottom.Width, 10);
}

TEST_F(TableEdit, ATableBelowATableGetsAParagraphBetween) {
  BuildTable(doc, {{"a", "b"}});
  Caret(4);  // "after", right below the table
  int32_t rows = 1, columns = 1;
  Edit(doc, ecInsertTable, {&rows, &columns});
  EXPECT_EQ(TableText(doc), "[before]a|b/ []_/ [after]");
}

class TemplateServices : public TDocServices {
 public:
  TDoc* Template = nullptr;
  std::string TemplatesFolder() override { return "/templates/"; }
  TDoc* FindOpenDocument(const std::string&) override { return Template; }
};

TEST_F(TableEdit, NewRowsAndCellsComeFromTheTemplatesRowsAndCells) {
  TDoc tmpl(true);
  BuildTable(tmpl, {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}}, 1000, false);
  std::vector<TTableRow*> t;
  TDocRange r;
  tmpl.GetTableRows(0, t, r);
  for (int32_t i = 0; i < 3; ++i) {
    t[static_cast<size_t>(i)]->Height = 100 * (i + 1);  // the row marks
    for (int32_t j = 0; j < 3; ++j) t[static_cast<size_t>(i)]->Cells[static_cast<size_t>(j)].ShadingColor = 10 * (j + 1);
  }
  ScopedService<TDocServices, TemplateServices> services;
  services->Template = &tmpl;
  SetMainText(doc, {""});
  int32_t rows = 4, columns = 4;
  Edit(doc, ecInsertTable, {&rows, &columns});
  std::string heights, shading;
  for (TTableRow* row : Rows(0)) {
    heights += std::to_string(row->Height) + " ";
    if (shading.empty())
      for (int32_t j = 0; j < 4; ++j) shading += std::to_string(row->Cells[static_cast<size_t>(j)].ShadingColor) + " ";
  }
  EXPECT_EQ(heights, "100 200 200 300 ");  // first, middle, middle, last
  EXPECT_EQ(shading, "10 20 20 30 ");
}

TEST_F(TableEdit, ColumnsAreRefusedPastSixtyThreeCells) {
  for (int32_t cells : {63, 62}) {
    TDoc d(true);
    std::vector<std::string> row(static_cast<size_t>(cells), "x");
    BuildTable(d, {row}, 100);
    const int32_t last = cells;  // the last cell's paragraph
    MakePosition(last, 0, d.Caret);
    d.SelectionChanged();
    const std::string before = TableDump(d);
    const int32_t position = d.UndoPosition;
    Edit(d, cells == 63 ? ecInsertColumnsRight : ecInsertColumnsLeft);
    std::vector<TTableRow*> rows;
    TDocRange t;
    d.GetTableRows(1, rows, t);
    if (cells == 63) {
      EXPECT_EQ(TableDump(d), before);
      EXPECT_EQ(d.UndoPosition, position);
      ASSERT_EQ(box->Texts.size(), 1u);
      EXPECT_EQ(box->Texts[0], TooManyColumnsMessage);
    } else {
      EXPECT_EQ(rows[0]->CellCount, 63);
    }
  }
}

TEST_F(TableEdit, AColumnAtAnEdgeOnlySomeRowsHaveWidensTheSpanningCell) {
  BuildTable(doc, {{"a", "b"}, {"c"}}, 2000);
  Rows()[1]->Cells[0].Right = 4000;  // row 2 is one cell over both columns
  doc.TableInsertRequest.Kind = TTableInsertRequest::kColumn;
  doc.TableInsertRequest.Par = FirstTablePar(doc);
  doc.TableInsertRequest.X = 2000;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecPerformTableInsertion); });
  EXPECT_EQ(TableText(doc), "[before]a|_|b/c/ [after]");
  EXPECT_EQ(RowGeometry(doc, 1), "0,2000,4000,6000/0,6000/");
}

TEST_F(TableEdit, RowsInsertedBelowTheLastRowCopyItWithoutMerges) {
  BuildTable(doc, {{"a", "b"}, {"", "d"}});
  Rows()[0]->Cells[0].Merged = Rows()[0]->Cells[0].MergeStart = 1;
  Rows()[1]->Cells[0].Merged = 1;
  Rows()[1]->Height = -500;
  Select(5, 0, 6, 1);  // row 2
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecInsertRowsBelow); });
  EXPECT_EQ(TableText(doc), "[before]^a|b/*_|d/_|_/ [after]");
  EXPECT_EQ(Rows()[2]->Height, -500);
  Select(1, 0, 1, 1);
  Edit(doc, ecInsertRowsAbove);
  EXPECT_EQ(TableText(doc), "[before]_|_/^a|b/*_|d/_|_/ [after]");
}

TEST_F(TableEdit, ColumnsInsertedLeftAndRightOfTheSelectedCells) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}});
  Caret(2);  // "b"
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecInsertColumnsLeft); });
  EXPECT_EQ(TableText(doc), "[before]a|_|b/c|_|d/ [after]");
  EXPECT_EQ(RowGeometry(doc, 1), "0,2000,4000,6000/0,2000,4000,6000/");
  Caret(1);
  Edit(doc, ecInsertColumnsRight);
  EXPECT_EQ(TableText(doc), "[before]a|_|_|b/c|_|_|d/ [after]");
}

TEST_F(TableEdit, DeleteModes) {
  struct TCase {
    uint8_t mode;
    TDocRange selection;  // empty: the caret at its start
    const char* table;
  };
  const TCase cases[] = {
      // Shift left: every cell of the first row goes, and with it the row.
      {1, {{1, 0}, {2, 2}}, "[before]d|e/g|h/ [after]"},
      // Shift left of one cell: the row gets narrower.
      {1, {{1, 0}, {1, 0}}, "[before]b/d|e/g|h/ [after]"},
      // Shift up: the column's cells below move up, an empty one stays at the bottom.
      {0, {{1, 0}, {1, 0}}, "[before]d|b/g|e/_|h/ [after]"},
      // Shift up in the last row: the cell only loses its content.
      {0, {{8, 0}, {8, 0}}, "[before]a|b/d|e/g|_/ [after]"},
      {2, {{4, 0}, {5, 1}}, "[before]a|b/g|h/ [after]"},
      {3, {{4, 0}, {4, 0}}, "[before][after]"},
  };
  for (const TCase& c : cases) {
    TDoc d(true);
    BuildTable(d, {{"a", "b"}, {"d", "e"}, {"g", "h"}});
    d.Selection->SetSingleRange(c.selection.Start.Par, c.selection.Start.Offset, c.selection.End.Par,
                                c.selection.End.Offset);
    d.Caret = c.selection.Start;
    d.SelectionChanged();
    uint8_t mode = c.mode;
    ExpectUndoRedoExact(d, [&] { Edit(d, ecDeleteCells, {&mode}); });
    EXPECT_EQ(TableText(d), c.table) << int{c.mode};
  }
}

}  // namespace

namespace {

TEST_F(TableEdit, InsertingACellShiftingDownMovesTheColumnIntoANewRow) {
  BuildTable(doc, {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}});
  Caret(6);  // "e"
  uint8_t down = 1;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecInsertCells, {&down}); });
  EXPECT_EQ(TableText(doc), "[before]a|b|c/d|_|f/g|e|i/_|h|_/ [after]");
  // The new empty cell is selected.
  ASSERT_TRUE(doc.HasSelection() || doc.Caret.Par == 6);
  EXPECT_EQ(doc.Caret.Par, 6);
}

TEST_F(TableEdit, ShiftingDownSeveralCells) {
  struct TCase {
    std::vector<TDocRange> cells;
    const char* table;
  };
  const TCase cases[] = {
      // Two cells of one column: the two move down together, two rows appended.
      {{{{2, 0}, {2, 2}}, {{6, 0}, {6, 2}}}, "[before]a|_|c/d|_|f/g|b|i/_|e|_/_|h|_/ [after]"},
      // Cells of two columns in two rows: each column moves by one; two rows appended.
      {{{{1, 0}, {1, 2}}, {{7, 0}, {7, 2}}}, "[before]_|b|c/a|e|_/d|h|f/g|_|i/_|_|_/ [after]"},
  };
  for (const TCase& c : cases) {
    TDoc d(true);
    BuildTable(d, {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}});
    d.Selection->SetCount(0);
    for (const TDocRange& r : c.cells) d.Selection->InsertRange(d.Selection->Count(), r);
    d.Caret = d.Selection->GetRange(0)->Start;
    d.SelectionChanged();
    uint8_t down = 1;
    ExpectUndoRedoExact(d, [&] { Edit(d, ecInsertCells, {&down}); });
    EXPECT_EQ(TableText(d), c.table);
  }
}

TEST_F(TableEdit, InsertingCellsShiftingRight) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}});
  Caret(2);
  uint8_t right = 0;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecInsertCells, {&right}); });
  EXPECT_EQ(TableText(doc), "[before]a|_|b/c|d/ [after]");
  EXPECT_EQ(RowGeometry(doc, 1), "0,2000,4000,6000/0,2000,4000/");
  // On the row-end marks only: new cells at the ends of the rows.
  doc.Selection->SetCount(0);
  doc.Selection->InsertRange(0, {{4, 0}, {4, 1}});
  doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.SelectionChanged();
  Edit(doc, ecInsertCells, {&right});
  EXPECT_EQ(TableText(doc), "[before]a|_|b|_/c|d/ [after]");
}

TEST_F(TableEdit, InsertingCellsRightIntoAFullRowIsRefused) {
  std::vector<std::string> full(63, "x");
  BuildTable(doc, {full}, 100);
  Caret(5);
  const std::string before = TableDump(doc);
  uint8_t right = 0;
  Edit(doc, ecInsertCells, {&right});
  EXPECT_EQ(TableDump(doc), before);
  ASSERT_FALSE(box->Texts.empty());
  EXPECT_EQ(box->Texts.back(), TooManyColumnsMessage);
}

}  // namespace

namespace {

// A row whose object counts three cells over two cell paragraphs, as a damaged file may give.
TEST_F(TableEdit, ADamagedTableIsLeftAlone) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}});
  Rows()[1]->CellCount = 3;
  Rows()[1]->Cells[2].Right = 6000;
  const std::string before = TableDump(doc);
  const int32_t position = doc.UndoPosition;
  uint8_t zero = 0, one = 1;
  int32_t tab = 5;
  struct TStep {
    uint8_t code;
    std::vector<void*> args;
  };
  const TStep steps[] = {{ecInsertRowsBelow, {}},   {ecInsertColumnsRight, {}}, {ecDeleteCells, {&zero}},
                         {ecDeleteCells, {&one}},   {ecInsertCells, {&one}},    {ecInsertCells, {&zero}},
                         {ecMergeCells, {}},        {ecSplitCells, {}},         {ecGoToNextCell, {&tab}},
                         {ecDistributeColumns, {}}};
  for (const TStep& s : steps) {
    doc.Selection->SetSingleRange(4, 0, 5, 2);
    doc.Caret = doc.Selection->GetRange(0)->Start;
    doc.SelectionChanged();
    Edit(doc, s.code, s.args);
    EXPECT_EQ(TableDump(doc), before) << int{s.code};
    EXPECT_EQ(doc.UndoPosition, position) << int{s.code};
  }
}

TEST_F(TableEdit, NormalisationSnapsRaggedRowsAndTakesTheFirstRowsPaddings) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}, {"e", "f"}});
  Rows()[1]->Cells[0].Right = 2002;
  Rows()[2]->PadLeft = 50;
  RunInOperation(doc, [&] { doc.NormalizeTable(FirstTablePar(doc)); });
  EXPECT_EQ(RowGeometry(doc, 1), "0,2000,4000/0,2000,4000/0,2000,4000/");
  EXPECT_EQ(Rows()[2]->PadLeft, Rows()[0]->PadLeft);
}

}  // namespace

namespace {

TEST_F(TableEdit, AColumnBesideSelectedColumnsTakesItsWidthFromThem) {
  BuildTable(doc, {{"a", "b", "c"}, {"d", "e", "f"}}, 3000);
  doc.Selection->SetCount(0);
  for (TDocRange r : {TDocRange{{2, 0}, {3, 2}}, TDocRange{{6, 0}, {7, 2}}})
    doc.Selection->InsertRange(doc.Selection->Count(), r);
  doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.SelectionChanged();
  ASSERT_EQ(doc.GetTableSelectionKind(), 1);
  doc.TableInsertRequest.Kind = TTableInsertRequest::kColumn;
  doc.TableInsertRequest.Par = 1;
  doc.TableInsertRequest.X = 9000;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecPerformTableInsertion); });
  // The two selected columns give a third of their width to the new one: the table keeps its
  // width.
  EXPECT_EQ(RowGeometry(doc, 1), "0,3000,5000,7000,9000/0,3000,5000,7000,9000/");
  EXPECT_EQ(TableText(doc), "[before]a|b|c|_/d|e|f|_/ [after]");
}

}  // namespace

// Formatting paragraphs over a selection that takes in a row end keeps the table: the row-end
// paragraph gets the table's row-end format (still in the table), the cells the given format;
// only a caller that sets flag 151 hands the given format to the row end as well.
TEST_F(TableEdit, FormattingParagraphsAcrossARowEndKeepsTheTable) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}});
  const std::string table = TableText(doc);
  const int32_t first = FirstTablePar(doc);
  const int32_t rowEnd = first + 2;
  ASSERT_EQ(doc.Par(rowEnd)->CodeAt(0), scRowEnd);
  TParFormat centred = UnsetParFormat;
  centred.Alignment = 1;
  TDocRange r;
  MakeRange(first, 0, first + 4, 1, r);
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecFormatParagraphs, {nullptr, &r, &centred}); });
  EXPECT_EQ(TableText(doc), table);
  EXPECT_EQ(doc.Par(first)->Format.Alignment, 1);
  EXPECT_EQ(doc.Par(first + 3)->Format.Alignment, 1);
  EXPECT_TRUE(ParFormatsEqual(doc.Par(rowEnd)->Format, TableParFormat));

  TParFormat outOfTable = UnsetParFormat;
  outOfTable.InTable = 0;
  MakeRange(rowEnd, 0, rowEnd, 1, r);
  {
    TScopedDocFlag rowEndsTakeIt(doc, 151);
    Edit(doc, ecFormatParagraphs, {nullptr, &r, &outOfTable});
  }
  EXPECT_EQ(doc.Par(rowEnd)->Format.InTable, 0);
}
