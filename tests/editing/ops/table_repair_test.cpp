// Tables repaired after the text operations that touch their boundaries: a deletion that joins
// two tables and a move of a row. Each undone and redone exactly, row data included.
#include <gtest/gtest.h>

#include "../table_test_support.h"
#include "ops_test_support.h"

using namespace qv;

namespace {

// The header flag of every row of the main text, in order ("1" a header row, "0" not).
std::string HeaderFlags(TDoc& doc) {
  std::string s;
  for (int32_t i = 0; i < doc.ParCount(); ++i)
    if (doc.IsRowEndPar(i)) s += doc.GetRowProps(i)->HeaderRow ? "1" : "0";
  return s;
}

TEST(TableRepair, DeletingTheParagraphBetweenTwoTablesRepairsTheJoinedTable) {
  OpsScope scope;
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Add("before");
  b.Row({"a", "b"});
  const int32_t between = b.Add("");
  b.Row({"c", "d"})->HeaderRow = 1;
  b.Add("after");
  b.Finish();
  Caret(doc, 0, 0);
  ASSERT_EQ(HeaderFlags(doc), "01");
  ExpectUndoRedoExact(doc, [&] { DeleteRange(doc, {Pos(between, 0), Pos(between + 1, 0)}); });
  EXPECT_EQ(TableText(doc), "[before]a|b/c|d/ [after]");
  // A header row under a row that is not one is no header row.
  EXPECT_EQ(HeaderFlags(doc), "00");
}

TEST(TableRepair, MovingARowBelowOrdinaryRowsRepairsTheTable) {
  OpsScope scope;
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Add("before");
  b.Row({"h1"})->HeaderRow = 1;
  b.Row({"h2"})->HeaderRow = 1;
  b.Row({"r3"});
  b.Add("after");
  b.Finish();
  const int32_t h2 = 3;  // before, h1, its row end, h2
  ASSERT_EQ(ParText(doc, h2), "h2");
  Caret(doc, h2, 0);
  doc.SelectionChanged();  // the caret's paragraph format tells that it stands in a table
  int32_t down = 1;
  void* args[] = {&down};
  ExpectUndoRedoExact(doc, [&] { doc.ExecuteEdit(ecMoveParagraphs, args, 0); });
  EXPECT_EQ(TableText(doc), "[before]h1/r3/h2/ [after]");
  EXPECT_EQ(HeaderFlags(doc), "100");
}

}  // namespace
