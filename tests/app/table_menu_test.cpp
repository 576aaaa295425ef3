// The Table menu in the running program on the headless window system: its items insert a table
// (the Insert Table dialog's stand-in takes the remembered size) and change it, each one undo
// step.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "commands/format_dialog_services.h"
#include "document/doc.h"
#include "document/table_row.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/application.h"
#include "foundation/ui/menu_builder.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/backend/headless.h"
#include "platform/controls/form.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"
#include "support/test_env.h"

using namespace qv;

namespace {

class TableMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    TStartupOptions options;
    options.Headless = true;
    program_.emplace(WithProgramServices(options));
    ASSERT_TRUE(program_->Start());
    main_ = program_->MainForm();
    ASSERT_NE(main_, nullptr);
    plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
    Pump();
  }
  void TearDown() override {
    if (program_) program_->ShutDown();
    program_.reset();
  }
  void Pump() { GetApp().ProcessMessages(); }
  void Choose(int32_t id) {
    plat::MenuItem* item = FindMenuItem(main_->MainMenu(), id);
    ASSERT_NE(item, nullptr) << id;
    item->Click();
    Pump();
  }
  // The rows and the cells of each row of the document's tables.
  static std::vector<int32_t> RowCells(TDoc& doc) {
    std::vector<int32_t> cells;
    for (int32_t p = 0; p < doc.ParCount(); ++p)
      if (doc.IsRowEndPar(p)) cells.push_back(doc.GetRowProps(p)->CellCount);
    return cells;
  }

  std::optional<TProgram> program_;
  TMainForm* main_ = nullptr;
};

TEST_F(TableMenu, InsertTableThenARowBelowEachOneUndoStep) {
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  GetOptions().Internal.InsTableCols = 3;
  GetOptions().Internal.InsTableRows = 2;
  const int32_t undo = doc->UndoPosition;
  Choose(15900);
  EXPECT_EQ(RowCells(*doc), (std::vector<int32_t>{3, 3}));
  EXPECT_EQ(doc->UndoPosition, undo + 1);
  Choose(15911);  // Insert rows below
  EXPECT_EQ(RowCells(*doc), (std::vector<int32_t>{3, 3, 3}));
  doc->Undo();
  doc->Undo();
  EXPECT_TRUE(RowCells(*doc).empty());
}

// The Insert Table dialog left through the "Edit" item of its "Default Properties" button.
struct EditDefaultsDialog : TFormatDialogServices {
  int32_t ExecuteInsertTableDialog(TInsertTableChoice& choice) override {
    choice.Columns = 2;
    choice.Rows = 1;
    return 2;
  }
};

struct RecBox : TMessageDlgService {
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return mrOk;
  }
};

TEST_F(TableMenu, TheMissingDefaultTableDocumentIsMadeWithATenByTenTable) {
  TDoc* first = GetActiveDoc();
  ASSERT_NE(first, nullptr);
  const std::string file = GetOptionsHolder().GetDefaultTableFileName();
  ASSERT_FALSE(std::filesystem::exists(file));
  ScopedService<TFormatDialogServices, EditDefaultsDialog> dialog;
  ScopedService<TMessageDlgService, RecBox> box;
  Choose(15900);
  EXPECT_EQ(RowCells(*first), (std::vector<int32_t>{2}));
  TDoc* defaults = GetActiveDoc();
  ASSERT_NE(defaults, first);
  EXPECT_EQ(defaults->FileName, file);
  EXPECT_EQ(RowCells(*defaults), std::vector<int32_t>(10, 10));
  EXPECT_EQ(defaults->Modified, 0);
  EXPECT_TRUE(defaults->HasSelection());
  defaults->Undo();  // nothing to undo
  EXPECT_EQ(RowCells(*defaults), std::vector<int32_t>(10, 10));
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_EQ(box->Texts[0].substr(0, 37), "Use the \"Table | Table Properties...\"");
}

}  // namespace
