// The open and save dialogs: their state without a form, and the modal form driven by keys.
#include <gtest/gtest.h>

#include <cstdlib>

#include "dialog_fixture.h"
#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/dialogs/file_dialog.h"
#include "platform/controls/dialogs/file_dialog_form.h"
#include "platform/controls/dialogs/folder_dialog.h"
#include "platform/controls/dialogs/notice_box.h"
#include "platform/controls/dialogs/row_list.h"
#include "platform/controls/edit.h"
#include "platform/controls/form.h"
#include "platform/gfx/bitmap.h"
#include "support/test_env.h"

namespace {
using namespace plat;
using dlgtest::DialogTest;

const char* kFilter = "Rich Text Format (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|All Files (*.*)|*.*";

std::string MakeFolder() {
  std::string dir = qvtest::MakeTempDir("files");
  qvtest::WriteFile(dir + "/a.rtf", "{\\rtf1}");
  qvtest::WriteFile(dir + "/b.rtf", "{\\rtf1}");
  qvtest::WriteFile(dir + "/notes.txt", "text");
  qvtest::WriteFile(dir + "/docs/inner.rtf", "{\\rtf1}");
  return dir;
}

std::vector<std::string> Names(const FileDialog& d) {
  std::vector<std::string> out;
  for (const FileEntry& e : d.Entries()) out.push_back(e.name);
  return out;
}

TEST(FileDialogState, FilterTypeAndFolderChangesNotifyOnce) {
  std::string dir = MakeFolder();
  FileDialog d(false);
  d.Filter = kFilter;
  d.FilterIndex = 1;
  d.SetInitialDir(dir + "/");
  EXPECT_EQ(d.InitialDir, dir);
  int types = 0, folders = 0, selections = 0;
  d.OnTypeChange = [&](FileDialog&) { ++types; };
  d.OnFolderChange = [&](FileDialog&) { ++folders; };
  d.OnSelectionChange = [&](FileDialog&) { ++selections; };
  d.Begin();
  EXPECT_EQ(d.Folder(), dir);
  EXPECT_EQ(Names(d), (std::vector<std::string>{"docs", "a.rtf", "b.rtf"}));
  d.ChooseFilter(2);
  d.ChooseFilter(2);  // the same type again: no second notification
  EXPECT_EQ(types, 1);
  EXPECT_EQ(Names(d), (std::vector<std::string>{"docs", "notes.txt"}));
  d.SelectEntries({1});
  EXPECT_EQ(d.FileNameText(), "notes.txt");
  EXPECT_EQ(d.CurrentFilePath(), dir + "/notes.txt");
  EXPECT_EQ(selections, 1);
  d.SetFileNameText("");
  d.SelectEntries({0});
  EXPECT_FALSE(d.Confirm());  // OK on a selected folder opens it
  EXPECT_EQ(d.Folder(), dir + "/docs");
  EXPECT_EQ(folders, 1);
  d.End(false);
  EXPECT_TRUE(d.Files.empty());
  EXPECT_EQ(d.FilterIndex, 1);  // a cancelled run keeps the old index
}

TEST(FileDialogState, MultiSelectReturnsEveryFileAndTypedPatternFilters) {
  std::string dir = MakeFolder();
  FileDialog d(false);
  d.Filter = kFilter;
  d.Options = fd::AllowMultiSelect | fd::FileMustExist | fd::HideReadOnly;
  d.InitialDir = dir;
  d.Begin();
  d.SetFileNameText("*.txt");
  EXPECT_FALSE(d.Confirm());
  EXPECT_EQ(Names(d), (std::vector<std::string>{"docs", "notes.txt"}));
  d.ChooseFilter(1);  // choosing a type drops the typed pattern
  EXPECT_EQ(Names(d), (std::vector<std::string>{"docs", "a.rtf", "b.rtf"}));
  d.SelectEntries({1, 2});
  EXPECT_EQ(d.FileNameText(), R"("a.rtf" "b.rtf")");
  ASSERT_TRUE(d.Confirm());
  d.End(true);
  EXPECT_EQ(d.Files, (std::vector<std::string>{dir + "/a.rtf", dir + "/b.rtf"}));
  EXPECT_EQ(d.FileName, dir + "/a.rtf");
}

TEST(FileDialogState, SaveAddsDefaultExtensionAndAsksBeforeOverwriting) {
  std::string dir = MakeFolder();
  FileDialog d(true);
  d.Filter = kFilter;
  d.DefaultExt = "rtf";
  d.Options = fd::OverwritePrompt | fd::HideReadOnly | fd::ExtensionDifferent;
  d.FileName = dir + "/a";
  std::vector<std::string> asked;
  bool answer = false;
  d.OnAsk = [&](const std::string& q) { asked.push_back(q); return answer; };
  d.Begin();
  EXPECT_EQ(d.Folder(), dir);
  EXPECT_EQ(d.FileNameText(), "a");
  EXPECT_FALSE(d.Confirm());  // "No" keeps the dialog open
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_NE(asked[0].find(dir + "/a.rtf already exists."), std::string::npos);
  answer = true;
  ASSERT_TRUE(d.Confirm());
  d.End(true);
  EXPECT_EQ(d.FileName, dir + "/a.rtf");
  EXPECT_EQ(d.Options & fd::ExtensionDifferent, 0u);
}

TEST(FileDialogState, RefusalsReachTheMessageAndKeepTheDialogOpen) {
  std::string dir = MakeFolder();
  FileDialog d(false);
  d.Options = fd::FileMustExist | fd::HideReadOnly;
  d.InitialDir = dir;
  std::vector<std::string> told;
  d.OnMessage = [&](const std::string& m) { told.push_back(m); };
  d.Begin();
  EXPECT_FALSE(d.GoToFolder(dir + "/missing"));
  EXPECT_EQ(d.Folder(), dir);
  d.SetFileNameText("gone.rtf");
  EXPECT_FALSE(d.Confirm());
  ASSERT_EQ(told.size(), 2u);
  EXPECT_NE(told[1].find("File not found"), std::string::npos);
}

class FileDialogForms : public DialogTest {};

TEST_F(FileDialogForms, SaveByKeysAsksThroughTheQuestionBox) {
  std::string dir = MakeFolder();
  FileDialog d(true);
  d.Filter = kFilter;
  d.DefaultExt = "rtf";
  d.Options = fd::OverwritePrompt | fd::HideReadOnly;
  d.InitialDir = dir;
  bool shown = false;
  d.OnShow = [&](FileDialog& dlg) {
    shown = true;
    EXPECT_NE(dlg.DialogForm(), nullptr);
    headless::TypeText("b");
    headless::PressKey(VK_RETURN);
  };
  // The real question box answers: the first time No (Escape), which leaves the dialog open;
  // Enter then asks again and the second box is answered Yes (Enter).
  int questions = 0;
  SetNoticeShowHook([&](Form&) { headless::PressKey(++questions == 1 ? VK_ESCAPE : VK_RETURN); });
  d.OnAsk = [&](const std::string& q) {
    bool yes = AskYesNo(q, "Save As", d.DialogForm());
    if (!yes) headless::PressKey(VK_RETURN);
    return yes;
  };
  bool ok = d.Execute();
  SetNoticeShowHook(nullptr);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(shown);
  EXPECT_EQ(questions, 2);
  EXPECT_EQ(d.FileName, dir + "/b.rtf");
  EXPECT_EQ(d.FilterIndex, 1);
}

TEST_F(FileDialogForms, EscapeCancelsAndKeepsTheResults) {
  FileDialog d(false);
  d.FileName = "/somewhere/kept.rtf";
  d.FilterIndex = 2;
  d.Filter = kFilter;
  d.OnShow = [](FileDialog&) { headless::PressKey(VK_ESCAPE); };
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(d.FileName, "/somewhere/kept.rtf");
  EXPECT_EQ(d.FilterIndex, 2);
  EXPECT_TRUE(d.Files.empty());
}

TEST_F(FileDialogForms, OpenListsMatchingFilesAndTakesSeveralByClicks) {
  std::string dir = MakeFolder();
  qvtest::WriteFile(dir + "/c.RTF", "{\\rtf1}");
  FileDialog d(false);
  d.Filter = kFilter;
  d.Options = fd::AllowMultiSelect | fd::FileMustExist | fd::HideReadOnly;
  d.InitialDir = dir;
  d.PreviewWidth = 160;
  d.ExtraHeight = 30;
  std::vector<std::u16string> listed;
  d.OnShow = [&](FileDialog& dlg) {
    auto* form = static_cast<FileDialogForm*>(dlg.DialogForm());
    RowList& list = form->FileList();
    for (const ListRow& r : list.Rows()) listed.push_back(r.cells[0]);
    EXPECT_TRUE(dlg.PreviewArea()->Visible());
    EXPECT_GE(dlg.PreviewArea()->Left(), list.BoundsRect().right);
    // QV_DIALOG_PNG names a file to keep the picture of the dialog in (to look at it).
    const char* keep = std::getenv("QV_DIALOG_PNG");
    SaveWindowPng(form->Handle(), keep ? keep : qvtest::SandboxDir() + "/open_dialog.png");
    int32_t h = list.RowHeight();
    headless::Click(list.Handle(), {30, 1 + h + h / 2});  // a.rtf
    headless::KeyDown(VK_CONTROL);
    headless::Click(list.Handle(), {30, 1 + 3 * h + h / 2});  // c.RTF
    headless::KeyUp(VK_CONTROL);
    headless::PressKey(VK_RETURN);
  };
  ASSERT_TRUE(d.Execute());
  EXPECT_EQ(listed, (std::vector<std::u16string>{u"docs", u"a.rtf", u"b.rtf", u"c.RTF"}));
  EXPECT_EQ(d.Files, (std::vector<std::string>{dir + "/a.rtf", dir + "/c.RTF"}));
}

TEST_F(FileDialogForms, ReadOnlyBoxAndTypedFolderByKeys) {
  std::string dir = MakeFolder();
  FileDialog d(false);
  d.Filter = kFilter;
  d.Options = fd::FileMustExist;  // the read-only box is offered
  d.DefaultExt = "rtf";
  d.InitialDir = dir;
  std::vector<std::string> folders;
  d.OnFolderChange = [&](FileDialog& dlg) { folders.push_back(dlg.Folder()); };
  d.OnShow = [](FileDialog&) {
    headless::TypeText("docs");
    headless::PressKey(VK_RETURN);  // a folder typed into the name box is shown
    headless::TypeText("inner");
    dlgtest::AltLetter('r');        // "Open as &read-only"
    headless::PressKey(VK_RETURN);
  };
  ASSERT_TRUE(d.Execute());
  EXPECT_EQ(folders, std::vector<std::string>{dir + "/docs"});
  EXPECT_EQ(d.FileName, dir + "/docs/inner.rtf");
  EXPECT_TRUE(d.Options & fd::ReadOnly);
}

TEST_F(FileDialogForms, LookInBoxOffersTheFoldersAbove) {
  std::string dir = MakeFolder();
  FileDialog d(false);
  d.InitialDir = dir + "/docs";
  std::vector<std::string> folders;
  d.OnFolderChange = [&](FileDialog& dlg) { folders.push_back(dlg.Folder()); };
  d.OnShow = [&](FileDialog& dlg) {
    auto* form = static_cast<FileDialogForm*>(dlg.DialogForm());
    ComboBox& box = form->FolderBox();
    EXPECT_EQ(box.Text(), Utf8To16(dir + "/docs"));
    EXPECT_EQ(box.ItemText(0), u"/");
    box.SetFocus();
    headless::PressKey(VK_UP);  // the folder above
    headless::PressKey(VK_ESCAPE);
  };
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(folders, std::vector<std::string>{dir});
}

TEST_F(FileDialogForms, DoubleClickOnAFolderGoesIntoIt) {
  std::string dir = MakeFolder();
  FileDialog d(false);
  d.Filter = kFilter;
  d.InitialDir = dir;
  std::vector<std::string> folders;
  d.OnFolderChange = [&](FileDialog& dlg) {
    folders.push_back(dlg.Folder());
    headless::PressKey(VK_ESCAPE);
  };
  d.OnShow = [&](FileDialog& dlg) {
    auto* form = static_cast<FileDialogForm*>(dlg.DialogForm());
    int32_t h = form->FileList().RowHeight();
    headless::Click(form->FileList().Handle(), {30, 1 + h / 2});
    headless::Click(form->FileList().Handle(), {30, 1 + h / 2});
  };
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(folders, std::vector<std::string>{dir + "/docs"});
}

}  // namespace

namespace {
using namespace plat;

TEST(FolderDialogState, TypedSelectedOrCurrentFolder) {
  std::string dir = MakeFolder();
  qvtest::WriteFile(dir + "/docs/deeper/x.txt", "x");
  FolderDialog d;
  d.Folder = dir;
  std::vector<std::string> told;
  d.OnMessage = [&](const std::string& m) { told.push_back(m); };
  d.Begin();
  ASSERT_EQ(d.Entries().size(), 1u);  // only folders are listed
  EXPECT_EQ(d.Entries()[0].name, "docs");
  d.SetPathText("missing");
  EXPECT_FALSE(d.Confirm());
  EXPECT_EQ(told.size(), 1u);
  d.SetPathText("docs/deeper");
  ASSERT_TRUE(d.Confirm());
  d.End(true);
  EXPECT_EQ(d.Folder, dir + "/docs/deeper");
  d.Folder = dir + "/gone";  // a missing start folder falls back to a folder that exists
  d.Begin();
  EXPECT_TRUE(FolderExists(d.Current()));
}

TEST_F(FileDialogForms, FolderDialogGoesInByKeysAndChoosesTheSelection) {
  std::string dir = MakeFolder();
  qvtest::WriteFile(dir + "/docs/deeper/x.txt", "x");
  FolderDialog d;
  d.Folder = dir;
  d.Prompt = "Where do the backups go?";
  d.OnShow = [](FolderDialog&) {
    headless::PressKey(VK_DOWN);    // "docs" selected
    headless::PressKey(VK_RETURN);  // into it
    headless::PressKey(VK_DOWN);    // "deeper" selected
    headless::PressKey(VK_TAB);     // to the path box: OK now chooses the selection
    headless::PressKey(VK_RETURN);
  };
  ASSERT_TRUE(d.Execute());
  EXPECT_EQ(d.Folder, dir + "/docs/deeper");
}

}  // namespace
