// Tables converted to text and text to tables, and rows and columns given equal sizes.
#include <gtest/gtest.h>

#include "document/layout_services.h"
#include "document/table_distribute.h"
#include "foundation/settings/options_holder.h"
#include "table_test_support.h"

using namespace qv;

namespace {

class TableConversion : public ::testing::Test {
 protected:
  TTableEngineScope scope;
  TDoc doc{true};
  TInternalOptions saved = GetOptions().Internal;
  ~TableConversion() override { GetOptions().Internal = saved; }
  void SelectAll(TDoc& d, int32_t first, int32_t last) {
    d.Selection->SetSingleRange(first, 0, last, d.Par(last)->CharCount());
    d.Caret = d.Selection->GetRange(0)->Start;
    d.SelectionChanged();
  }
};

TEST_F(TableConversion, TableToTextWithEachSeparator) {
  struct TCase {
    int32_t separator;
    const char* text;
  };
  for (const TCase& c : {TCase{',', "[before][a,b,c][d,e,f][after]"},
                         TCase{2, "[before][a][b][c][d][e][f][after]"},
                         TCase{9, "[before][a\tb\tc][d\te\tf][after]"}}) {
    TDoc d(true);
    BuildTable(d, {{"a", "b", "c"}, {"d", "e", "f"}});
    MakePosition(2, 0, d.Caret);
    d.SelectionChanged();
    GetOptions().Internal.TableToText_CellSep = c.separator;
    ExpectUndoRedoExact(d, [&] { Edit(d, ecConvertTableToText); });
    EXPECT_EQ(TableText(d), c.text) << c.separator;
    for (int32_t p = 0; p < d.ParCount(); ++p) EXPECT_NE(d.Par(p)->Format.InTable, 1);
    if (c.separator == 9) EXPECT_GT(+d.Par(1)->Format.TabSet, 0);
  }
}

TEST_F(TableConversion, SelectedRowsOnlyBecomeText) {
  BuildTable(doc, {{"a", "b"}, {"c", "d"}, {"e", "f"}});
  doc.Selection->SetSingleRange(4, 0, 6, 1);  // row 2 whole
  doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.SelectionChanged();
  ASSERT_EQ(doc.GetTableSelectionKind(), 2);
  GetOptions().Internal.TableToText_CellSep = ',';
  Edit(doc, ecConvertTableToText);
  EXPECT_EQ(TableText(doc), "[before]a|b/ [c,d]e|f/ [after]");
}

TEST_F(TableConversion, TextToTable) {
  struct TCase {
    std::vector<std::string> text;
    int32_t columns, rows, separator;
    const char* table;
  };
  const TCase cases[] = {
      {{"a,b,c", "d,e"}, 3, 2, ',', "[x]a|b|c/d|e|_/ [y]"},
      {{"one-two"}, 2, 1, '-', "[x]one|two/ [y]"},
      {{"a", "b", "c", "d"}, 2, 2, 2, "[x]a|b/c|d/ [y]"},
      {{"\t\ta\tb"}, 2, 1, 9, "[x]_|a\tb/ [y]"},
  };
  for (const TCase& c : cases) {
    TDoc d(true);
    std::vector<std::string> pars{"x"};
    pars.insert(pars.end(), c.text.begin(), c.text.end());
    pars.push_back("y");
    SetMainText(d, pars);
    for (int32_t p = 1; p <= static_cast<int32_t>(c.text.size()); ++p) {
      // Tabs as tab characters.
      TPar& par = *d.Par(p);
      TMemory s;
      for (int32_t k = 0; k + 1 < par.CharCount(); ++k) {
        const uint8_t code = par.CodeAt(k);
        if (code == '\t') AppendContentTag(s, ctSpecialChar, scTab);
        else s.Append(&code, 1);
      }
      AppendContentTag(s, ctSpecialChar, scParagraphEnd);
      par.Content = s;
      par.RebuildCodes();
      par.ContentChanged();
    }
    SelectAll(d, 1, static_cast<int32_t>(c.text.size()));
    int32_t columns = c.columns, rows = c.rows, separator = c.separator;
    ExpectUndoRedoExact(d, [&] { Edit(d, ecConvertTextToTable, {&columns, &rows, &separator}); });
    EXPECT_EQ(TableText(d), c.table);
  }
}

TEST_F(TableConversion, AnEnDashSplitsLikeAHyphen) {
  SetMainText(doc, {"x", "ab", "y"});
  TPar& p = *doc.Par(1);
  p.Content.Clear();
  p.Content.AppendString("a");
  AppendContentTag(p.Content, ctSpecialChar, scEnDash);
  p.Content.AppendString("b");
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  SelectAll(doc, 1, 1);
  int32_t columns = 2, rows = 1, separator = '-';
  Edit(doc, ecConvertTextToTable, {&columns, &rows, &separator});
  EXPECT_EQ(TableText(doc), "[x]a|b/ [y]");
}

TEST_F(TableConversion, TextAndBackGivesTheText) {
  SetMainText(doc, {"x", "a,b", "c,d", "y"});
  SelectAll(doc, 1, 2);
  int32_t columns = 2, rows = 2, separator = ',';
  Edit(doc, ecConvertTextToTable, {&columns, &rows, &separator});
  ASSERT_EQ(TableText(doc), "[x]a|b/c|d/ [y]");
  GetOptions().Internal.TableToText_CellSep = ',';
  Edit(doc, ecConvertTableToText);
  EXPECT_EQ(TableText(doc), "[x][a,b][c,d][y]");
}

TEST_F(TableConversion, ColumnsDistributedEvenly) {
  BuildTable(doc, {{"a", "b", "c"}, {"d", "e", "f"}});
  std::vector<TTableRow*> rows;
  TDocRange t;
  doc.GetTableRows(1, rows, t);
  rows[0]->Cells[0].Right = 1000;  // 0,1000,4000,6000
  rows[1]->Cells[1].Right = 5000;  // 0,2000,5000,6000
  MakePosition(1, 0, doc.Caret);
  doc.ClearSelection();
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecDistributeColumns); });
  EXPECT_EQ(RowGeometry(doc, 1), "0,2000,4000,6000/0,2000,4000,6000/");
  // Only the selected columns of the selected rows.
  rows[0]->Cells[0].Right = 1000;
  doc.Selection->SetSingleRange(1, 0, 2, 2);
  doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.SelectionChanged();
  Edit(doc, ecDistributeColumns);
  EXPECT_EQ(RowGeometry(doc, 1), "0,2000,4000,6000/0,2000,4000,6000/");
}

TEST_F(TableConversion, CellWidthsRoundHalfAwayFromZero) {
  TTableRowData row;
  row.Left = 0;
  row.CellCount = 3;
  row.Cells[2].Right = 1001;
  const TTableRowData d = DistributeCellWidths(row, 0, -1);
  EXPECT_EQ(d.Cells[0].Right, 334);  // 333.67
  EXPECT_EQ(d.Cells[1].Right, 667);  // 667.33
  EXPECT_EQ(d.Cells[2].Right, 1001);
  TTableRowData e;
  e.CellCount = 2;
  e.Cells[1].Right = 5;
  EXPECT_EQ(DistributeCellWidths(e, 0, 1).Cells[0].Right, 3);  // 2.5 away from zero
}

class MeasuredLayout : public TDocLayoutServices {
 public:
  std::vector<TRowMeasure> Measures;
  std::vector<TRowMeasure> MeasureTableRows(TDoc&, int32_t, const std::vector<TTableRow*>& rows) override {
    std::vector<TRowMeasure> m = Measures;
    m.resize(rows.size());
    return m;
  }
};

TEST_F(TableConversion, RowsDistributedFromTheirLaidOutHeights) {
  BuildTable(doc, {{"a"}, {"b"}, {"c"}});
  std::vector<TTableRow*> rows;
  TDocRange t;
  doc.GetTableRows(1, rows, t);
  rows[1]->Height = -300;  // an exact height stays exact
  ScopedService<TDocLayoutServices, MeasuredLayout> layout;
  // Heights 300, 500 (over two pages) and 401: A = (300 + 250 + 401) / 3 = 317;
  // content heights 280, 2 x 230, 350: B = 350.
  layout->Measures = {{300, 280, 1}, {500, 460, 2}, {401, 350, 1}};
  MakePosition(1, 0, doc.Caret);
  doc.ClearSelection();
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecDistributeRows); });
  EXPECT_EQ(rows[0]->Height, 350);
  EXPECT_EQ(rows[1]->Height, -350);
  EXPECT_EQ(rows[2]->Height, 350);
}

}  // namespace
