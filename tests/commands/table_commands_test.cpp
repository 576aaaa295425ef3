// The table commands through the command manager on tables built in code: each change is one
// undo step that undo takes back exactly, the dialogs' choices are remembered, and commands the
// enable rules refuse change nothing.
#include <gtest/gtest.h>

#include "../editing/table_test_support.h"
#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "commands/format_dialog_services.h"
#include "commands/picture_section_commands.h"
#include "commands/table_commands.h"
#include "editing/object_edit_providers.h"
#include "editing/ops/text_edit_providers.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

using namespace qv;

namespace {

struct TableEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  std::vector<int32_t> Menus;
  int32_t Rearranged = 0;
  TDoc* ActiveDoc() override { return Active; }
  void RequestInterfaceUpdate() override {}
  int32_t TableSelectionKind(TDoc& doc) override { return doc.GetTableSelectionKind(); }
  void DropButtonMenu(int32_t id) override { Menus.push_back(id); }
  void RearrangeAllViews() override { ++Rearranged; }
};

// Dialogs that answer OK (or Cancel) with the test's values, and note how they were preset.
struct TableDialogs : TFormatDialogServices {
  bool Ok = true;
  TInsertTableChoice Insert;  // what the Insert Table dialog answers with (mode kept)
  TInsertTableChoice Shown;   // how it was preset
  int32_t SplitColumns = 2, SplitRows = 1;
  bool Down = true, Left = true;
  TTableToTextChoice ToText;
  TTableToTextChoice ToTextShown;
  int32_t DeleteAsked = 0;
  size_t PropsRows = 0;
  bool ExecuteTablePropsDialog(TDoc&, std::vector<TTableRowData>& rows) override {
    PropsRows = rows.size();
    for (TTableRowData& row : rows) row.Height = 600;
    return Ok;
  }
  int32_t ExecuteInsertTableDialog(TInsertTableChoice& choice) override {
    Shown = choice;
    if (!Ok) return 0;
    const int32_t mode = choice.Mode;
    choice = Insert;
    choice.Mode = mode;
    return 1;
  }
  bool ExecuteSplitCellsDialog(int32_t& columns, int32_t& rows) override {
    columns = SplitColumns;
    rows = SplitRows;
    return Ok;
  }
  bool ExecuteInsertCellsDialog(bool& down) override {
    down = Down;
    return Ok;
  }
  bool ExecuteDeleteCellsDialog(bool& left) override {
    ++DeleteAsked;
    left = Left;
    return Ok;
  }
  bool ExecuteTableToTextDialog(TTableToTextChoice& choice) override {
    ToTextShown = choice;
    choice = ToText;
    return Ok;
  }
};

struct RecBox : TMessageDlgService {
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return 1;
  }
};

std::unique_ptr<TEditOperationProviders> AllProviders() {
  auto list = std::make_unique<TEditOperationProviderList>();
  list->Add(MakeTextEditProviders());
  list->Add(MakeObjectEditProviders());
  list->Add(MakeTableEditProviders());
  return list;
}

class TableCommandsTest : public ::testing::Test {
 protected:
  TableCommandsTest() {
    FreeCommandManager();
    RegisterPictureSectionCommands(GetCommandManager());
    env->Active = doc.get();
  }
  ~TableCommandsTest() override {
    FreeCommandManager();
    GetOptions() = saved;
  }
  void Build(const std::vector<std::vector<std::string>>& rows) {
    doc = std::make_unique<TDoc>(true);
    env->Active = doc.get();
    BuildTable(*doc, rows);
    doc->ClearUndo();
    Caret(FirstTablePar(*doc));
  }
  void Caret(int32_t par, int32_t offset = 0) {
    doc->ClearSelection();
    MakePosition(par, offset, doc->Caret);
    doc->SelectionChanged();
  }
  void Select(int32_t sp, int32_t so, int32_t ep, int32_t eo) {
    doc->Selection->SetSingleRange(sp, so, ep, eo);
    doc->Caret = doc->Selection->GetRange(0)->Start;
    doc->SelectionChanged();
  }
  // Runs the command; how many undo steps it added.
  int32_t Run(int32_t id) {
    const int32_t before = doc->UndoPosition;
    GetCommandManager().Execute(id);
    return doc->UndoPosition - before;
  }
  // Runs the command as one step that undo takes back exactly; the table afterwards.
  std::string RunOneStep(int32_t id) {
    const std::string before = TableDump(*doc);
    EXPECT_EQ(Run(id), 1) << id;
    const std::string after = TableText(*doc);
    doc->Undo();
    EXPECT_EQ(TableDump(*doc), before) << id;
    return after;
  }

  TOptions saved = GetOptions();
  TTableEngineScope scope;
  ScopedService<TEditOperationProviders> providers{AllProviders()};
  ScopedService<TCommandEnvironment, TableEnvironment> env;
  ScopedService<TFormatDialogServices, TableDialogs> dialogs;
  ScopedService<TMessageDlgService, RecBox> box;
  std::unique_ptr<TDoc> doc = std::make_unique<TDoc>(true);
};

TEST_F(TableCommandsTest, RowsColumnsMergeSplitAndConversionAreOneStepEach) {
  struct Case {
    int32_t id;
    int32_t sp, so, ep, eo;  // the selection (sp < 0: the caret in the first cell)
    const char* table;
  } cases[] = {
      {15910, -1, 0, 0, 0, "[before]_|_/a|b/c|d/ [after]"},
      {15911, -1, 0, 0, 0, "[before]a|b/_|_/c|d/ [after]"},
      {15920, -1, 0, 0, 0, "[before]_|a|b/_|c|d/ [after]"},
      {15921, -1, 0, 0, 0, "[before]a|_|b/c|_|d/ [after]"},
      {16110, 1, 0, 2, 1, "[before]a+b/c|d/ [after]"},
      {16112, 4, 0, 4, 0, "[before]a|b/ []c|d/ [after]"},
      {16150, 4, 0, 6, 1, "[before]a|b/ [after]"},  // whole rows: no dialog
  };
  for (const Case& c : cases) {
    Build({{"a", "b"}, {"c", "d"}});
    if (c.sp >= 0) Select(c.sp, c.so, c.ep, c.eo);
    const std::string text = RunOneStep(c.id);
    EXPECT_EQ(text, c.table) << c.id;
  }
  EXPECT_EQ(dialogs->DeleteAsked, 0);
}

TEST_F(TableCommandsTest, InsertTableTakesTheRememberedSizeAndRemembersTheDialogs) {
  SetMainText(*doc, {"Hello"});
  doc->ClearUndo();
  Caret(0, 5);
  dialogs->Insert.Columns = 2;
  dialogs->Insert.Rows = 3;
  GetOptions().Internal.InsTableCols = 4;
  const std::string before = TableDump(*doc);
  EXPECT_EQ(Run(15900), 1);
  EXPECT_EQ(dialogs->Shown.Mode, 0);
  EXPECT_EQ(dialogs->Shown.Columns, 4);  // preset from the remembered values
  EXPECT_EQ(TableText(*doc), "[Hello]_|_/_|_/_|_/ []");
  EXPECT_EQ(GetOptions().Internal.InsTableCols, 2);
  EXPECT_EQ(GetOptions().Internal.InsTableRows, 3);
  doc->Undo();
  EXPECT_EQ(TableDump(*doc), before);

  // Cancel inserts nothing; the program's stand-in dialog inserts the remembered size.
  dialogs->Ok = false;
  EXPECT_EQ(Run(15900), 0);
  {
    ScopedService<TFormatDialogServices> standIn(std::make_unique<TFormatDialogServices>());
    EXPECT_EQ(Run(15900), 1);
    EXPECT_EQ(TableText(*doc), "[Hello]_|_/_|_/_|_/ []");
  }
}

TEST_F(TableCommandsTest, TextBecomesATableAndTheTableTextAgain) {
  SetMainText(*doc, {"a,b", "c,d", "end"});
  doc->ClearUndo();
  Select(0, 0, 1, 3);
  dialogs->Insert.Columns = 2;
  dialogs->Insert.Rows = 2;
  dialogs->Insert.Separator = 0;
  dialogs->Insert.Other = u",";
  EXPECT_EQ(RunOneStep(15900), "a|b/c|d/ [end]");
  EXPECT_EQ(dialogs->Shown.Mode, 1);
  EXPECT_EQ(Run(15900), 1);
  ASSERT_EQ(TableText(*doc), "a|b/c|d/ [end]");

  // Back to text, with commas; the dialog was preset from the remembered separator.
  Caret(0);
  GetOptions().Internal.TableToText_CellSep = 9;
  dialogs->ToText.Separator = 44;
  EXPECT_EQ(RunOneStep(16160), "[a,b][c,d][end]");
  EXPECT_EQ(dialogs->ToTextShown.Separator, 9);
  EXPECT_EQ(GetOptions().Internal.TableToText_CellSep, 44);
  // "Other:" left empty separates with tabs.
  dialogs->ToText.Separator = 0;
  dialogs->ToText.Other.clear();
  EXPECT_EQ(RunOneStep(16160), "[a\tb][c\td][end]");
  EXPECT_EQ(GetOptions().Internal.TableToText_CellSep, 9);
}

TEST_F(TableCommandsTest, SeveralFragmentsOrCutFieldsAreRefused) {
  SetMainText(*doc, {"one two", "three"});
  doc->ClearUndo();
  Select(0, 0, 0, 3);
  doc->Selection->SetCount(2);
  MakeRange(1, 0, 1, 5, *doc->Selection->LastRange);
  doc->SelectionChanged();
  ASSERT_EQ(doc->Selection->Count(), 2);
  EXPECT_EQ(Run(15900), 0);
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_EQ(box->Texts[0].substr(0, 56), "Currently, a number of non-contiguous fragments are sele");
}

TEST_F(TableCommandsTest, CellsInsertedDeletedAndSplitByTheDialogs) {
  Build({{"a", "b"}, {"c", "d"}});
  GetOptions().Internal.Flags &= ~0x4000u;
  dialogs->Down = true;
  EXPECT_EQ(RunOneStep(15930), "[before]_|b/a|d/c|_/ [after]");
  EXPECT_TRUE(InternalOption(0x4000));  // the choice is remembered

  dialogs->Left = false;  // shift up
  EXPECT_EQ(RunOneStep(16150), "[before]c|b/_|d/ [after]");
  EXPECT_EQ(dialogs->DeleteAsked, 1);
  EXPECT_FALSE(InternalOption(0x2000));
  dialogs->Ok = false;
  EXPECT_EQ(Run(16150), 0);

  // Split Cells: 2 columns; then 1 by 1 changes nothing and remembers 2 columns.
  dialogs->Ok = true;
  dialogs->SplitColumns = 2;
  dialogs->SplitRows = 1;
  EXPECT_EQ(RunOneStep(16111), "[before]a|_|b/c|d/ [after]");
  dialogs->SplitColumns = 1;
  EXPECT_EQ(Run(16111), 0);
  EXPECT_EQ(GetOptions().Internal.SplitCellsCols, 2);
  EXPECT_EQ(GetOptions().Internal.SplitCellsRows, 1);
}

TEST_F(TableCommandsTest, SelectingCellColumnRowAndTable) {
  Build({{"a", "b"}, {"c", "d"}});
  struct Case {
    int32_t id;
    std::vector<std::array<int32_t, 4>> ranges;
  } cases[] = {
      {15951, {{2, 0, 2, 2}}},
      {15952, {{2, 0, 2, 2}, {5, 0, 5, 2}}},
      {15953, {{1, 0, 3, 1}}},
      {15954, {{1, 0, 6, 1}}},
  };
  for (const Case& c : cases) {
    Caret(2, 1);  // in "b"
    EXPECT_EQ(Run(c.id), 0) << c.id;
    ASSERT_EQ(doc->Selection->Count(), static_cast<int32_t>(c.ranges.size())) << c.id;
    for (size_t i = 0; i < c.ranges.size(); ++i) {
      const TDocRange& r = *doc->Selection->GetRange(static_cast<int32_t>(i));
      EXPECT_EQ((std::array<int32_t, 4>{r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset}), c.ranges[i])
          << c.id << " range " << i;
    }
    // The caret stays inside the text, at the selection's start.
    EXPECT_EQ(doc->Caret.Par, c.ranges[0][0]) << c.id;
    EXPECT_LT(doc->Caret.Offset, doc->Par(doc->Caret.Par)->CharCount()) << c.id;
  }
  Caret(2, 1);
  Run(15954);
  EXPECT_EQ(doc->SelectionAnchor.Par, 2);  // the caret stays the anchor
}

TEST_F(TableCommandsTest, CellAlignmentAndHeaderRows) {
  Build({{"a", "b"}, {"c", "d"}, {"e", "f"}});
  Select(1, 0, 2, 1);  // both cells of the first row
  EXPECT_EQ(Run(16127), 1);  // bottom, centred
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc->GetTableRows(1, rows, table);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0]->Cells[0].VertAlign, 2);
  EXPECT_EQ(rows[0]->Cells[1].VertAlign, 2);
  EXPECT_EQ(rows[1]->Cells[0].VertAlign, 0);
  EXPECT_EQ(doc->Par(1)->Format.Alignment, 1);
  doc->Undo();
  EXPECT_EQ(rows[0]->Cells[0].VertAlign, 0);

  struct Case {
    int32_t caretPar;
    std::array<uint8_t, 3> before, after;
  } cases[] = {
      {1, {0, 0, 0}, {1, 0, 0}},  // the first row toggles on
      {1, {1, 0, 0}, {0, 0, 0}},  // and off
      {4, {1, 0, 0}, {1, 1, 0}},  // after a header row
      {7, {0, 0, 0}, {0, 0, 0}},  // in the middle, not after a header row: cleared
      {7, {0, 0, 1}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    for (size_t i = 0; i < 3; ++i) rows[i]->HeaderRow = c.before[i];
    Caret(c.caretPar);
    Run(16190);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(rows[i]->HeaderRow, c.after[i]) << c.caretPar << " row " << i;
  }
}

TEST_F(TableCommandsTest, TablePropertiesFormatEveryRowInOneStep) {
  Build({{"a", "b"}, {"c", "d"}});
  Caret(4);
  RunOneStep(16000);
  EXPECT_EQ(dialogs->PropsRows, 2u);
  Run(16000);
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc->GetTableRows(1, rows, table);
  for (const TTableRow* row : rows) EXPECT_EQ(row->Height, 600);
  dialogs->Ok = false;
  EXPECT_EQ(Run(16000), 0);
}

TEST_F(TableCommandsTest, GridlinesAndMenusNeedNoTableChange) {
  Build({{"a", "b"}});
  const bool on = ViewOption(opt::ViewGridlines);
  EXPECT_EQ(Run(16100), 0);
  EXPECT_NE(ViewOption(opt::ViewGridlines), on);
  EXPECT_EQ(env->Rearranged, 1);
  Run(16170);
  Run(15940);
  EXPECT_EQ(env->Menus, (std::vector<int32_t>{16170, 15940}));
}

TEST_F(TableCommandsTest, WithoutATableTheTableCommandsChangeNothing) {
  SetMainText(*doc, {"plain text"});
  doc->ClearUndo();
  Caret(0, 2);
  const std::string before = TableDump(*doc);
  for (int32_t id : {15910, 15911, 15920, 15921, 15930, 15951, 15952, 15953, 15954, 16000, 16111, 16112,
                     16150, 16155, 16156, 16160, 16120, 16190}) {
    EXPECT_EQ(Run(id), 0) << id;
    EXPECT_EQ(TableDump(*doc), before) << id;
  }
}

}  // namespace
