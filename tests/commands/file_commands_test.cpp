#include "commands/command_fixture.h"
#include "../editing/ops/ops_test_support.h"
#include "commands/file_commands.h"
#include "commands/file_dialog_services.h"
#include "document/field.h"
#include "foundation/ui/message_dlg_service.h"
#include "support/test_env.h"

using namespace qv;

namespace {

struct FileEnv : FakeEnvironment {
  std::vector<TDoc*> Docs, BarSelection;
  std::set<TDoc*> Refusing, FailingSave;
  std::vector<TDoc*> Closed, Saved;
  std::vector<int32_t> Sounds;
  std::vector<std::pair<std::string, int32_t>> Opened;
  std::vector<std::string> Zips;
  bool Ctrl = false, ReadOnly = false, ReadOnlySeen = false, Project = false;
  int32_t CanOpen = 100;
  std::string ProjectFile;
  std::vector<TDoc*> OpenDocuments() override { return Docs; }
  std::vector<TDoc*> DocBarSelection() override { return BarSelection; }
  bool CloseQuery(TDoc& d) override { return Refusing.count(&d) == 0; }
  void CloseDocument(TDoc& d, int32_t) override {
    Closed.push_back(&d);
    std::erase(Docs, &d);
  }
  bool SaveDocument(TDoc& d) override {
    if (FailingSave.count(&d) != 0) return false;
    Saved.push_back(&d);
    return true;
  }
  bool SaveDocumentAs(TDoc& d) override { return SaveDocument(d); }
  bool CtrlHeld() override { return Ctrl; }
  bool AnyDocumentModified() override {
    for (TDoc* d : Docs)
      if (d->Modified != 0) return true;
    return false;
  }
  void PlayEventSound(int32_t s) override { Sounds.push_back(s); }
  bool CanOpenMore() override { return CanOpen-- > 0; }
  bool OpenDocument(const std::string& file, int32_t format, int32_t) override {
    ReadOnlySeen = ReadOnlySeen || ReadOnly;
    Opened.emplace_back(file, format);
    return true;
  }
  void SetReadOnlyOpening(bool on) override { ReadOnly = on; }
  bool SaveDocumentsAsZip(const std::vector<TDoc*>&, const std::string& path) override {
    Zips.push_back(path);
    return true;
  }
  bool ProjectOpen() override { return Project; }
  std::string ProjectPath() override { return ProjectFile; }
  void FreeProject() override { Project = false; }
  bool SaveProject(const std::string&) override { return true; }
};

// The file dialog answers with the files it is given, and keeps what it was asked.
struct FakeDialogs : TFileDialogServices {
  std::vector<std::string> Answer;
  int32_t FilterIndex = 8;
  bool ReadOnly = false;
  std::vector<TFileDialogRequest> Asked;
  bool RunFileDialog(TFileDialogRequest& request) override {
    Asked.push_back(request);
    if (Answer.empty()) return false;
    request.Files = Answer;
    request.FilterIndex = FilterIndex;
    request.ReadOnly = ReadOnly && request.OfferReadOnly;
    return true;
  }
};

// The message box answers in turn from a list, and keeps the texts.
struct FakeMessages : TMessageDlgService {
  std::vector<int32_t> Answers;
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    if (Answers.empty()) return mrCancel;
    const int32_t answer = Answers.front();
    Answers.erase(Answers.begin());
    return answer;
  }
};

class FileCommandsTest : public CommandTest {
 protected:
  void SetUp() override {
    RegisterFileCommands(Manager());
    for (TDoc* d : {&a, &b, &c}) files->Docs.push_back(d);
    files->Active = &b;
  }
  ScopedService<TCommandEnvironment, FileEnv> files;
  ScopedService<TFileDialogServices, FakeDialogs> dialogs;
  ScopedService<TMessageDlgService, FakeMessages> messages;
  TDoc a{true}, b{true}, c{true};
};

TEST_F(FileCommandsTest, CloseAllClosesNoneWhenOneRefusesAndKeepsTheTargetWithCtrl) {
  files->Refusing = {&b};
  Manager().Execute(160);
  EXPECT_TRUE(files->Closed.empty());
  files->Refusing.clear();
  files->Ctrl = true;
  Manager().Execute(160);
  EXPECT_EQ(files->Closed, (std::vector<TDoc*>{&c, &a}));  // last to first, the target kept
  EXPECT_EQ(files->Sounds, std::vector<int32_t>{2040});
}

TEST_F(FileCommandsTest, SaveAllSavesModifiedDocumentsAndStopsAtTheFirstFailure) {
  a.Modified = 1;
  b.Modified = 0;
  c.Modified = 1;
  files->FailingSave = {&a};
  Manager().Execute(220);
  EXPECT_TRUE(files->Saved.empty());  // stopped at a; c was never tried
  EXPECT_TRUE(files->Sounds.empty());
  files->FailingSave.clear();
  Manager().Execute(220);
  EXPECT_EQ(files->Saved, (std::vector<TDoc*>{&a, &c}));
  EXPECT_EQ(files->Sounds, std::vector<int32_t>{2060});
}

TEST_F(FileCommandsTest, SaveNeedsAModifiedDocumentAndPrintPreviewToggles) {
  b.Modified = 0;
  Manager().Execute(180);  // refused: nothing to save
  EXPECT_TRUE(files->Saved.empty());
  b.Modified = 1;
  Manager().Execute(180);
  EXPECT_EQ(files->Saved, std::vector<TDoc*>{&b});
  Manager().Execute(200);  // Save As, whatever the state
  EXPECT_EQ(files->Saved, (std::vector<TDoc*>{&b, &b}));
  Manager().Execute(290);
  EXPECT_TRUE(b.PrintPreview);
  Manager().Execute(290);
  EXPECT_FALSE(b.PrintPreview);
}

TEST_F(FileCommandsTest, OpenTakesEveryChosenFileWithItsFormatAndTheReadOnlyBox) {
  dialogs->Answer = {"/d/one.rtf", "/d/two.txt", "/d/three.doc"};
  dialogs->FilterIndex = 7;  // plain text
  dialogs->ReadOnly = true;
  files->CanOpen = 3;  // the third file finds the dispatcher full
  Manager().Execute(120);
  ASSERT_EQ(dialogs->Asked.size(), 1u);
  EXPECT_EQ(dialogs->Asked[0].Title, "Open Document");
  EXPECT_TRUE(dialogs->Asked[0].OfferReadOnly);
  EXPECT_EQ(files->Opened, (std::vector<std::pair<std::string, int32_t>>{{"/d/one.rtf", 6}, {"/d/two.txt", 6}}));
  EXPECT_TRUE(files->ReadOnlySeen);
  EXPECT_FALSE(files->ReadOnly);  // the read-only opening ends with the command
  EXPECT_EQ(files->Sounds, (std::vector<int32_t>{2020, 2020}));
}

TEST_F(FileCommandsTest, ZipNamesFollowTheDocumentCount) {
  a.FileName = "/d/Report.rtf";
  files->Active = &a;
  dialogs->Answer = {"/d/out.zip"};
  Manager().Execute(202);
  files->BarSelection = {&a, &b, &c};
  Manager().Execute(1422);
  ASSERT_EQ(dialogs->Asked.size(), 2u);
  EXPECT_EQ(dialogs->Asked[0].FileName, "Report.zip");
  EXPECT_EQ(dialogs->Asked[1].FileName, "3_Documents.zip");
  EXPECT_EQ(files->Zips, (std::vector<std::string>{"/d/out.zip", "/d/out.zip"}));
}

TEST_F(FileCommandsTest, ClosingTheLastDocumentOffersToCloseTheProject) {
  files->Project = true;
  files->ProjectFile = "/p/Book.qvpj";
  files->Docs = {&b};
  messages->Answers = {mrYes, mrNo};  // close the project; do not save it first
  Manager().Execute(140);
  ASSERT_EQ(messages->Texts.size(), 2u);
  EXPECT_EQ(messages->Texts[0], "Would you like to close the active document project \"Book\"?");
  EXPECT_EQ(messages->Texts[1], "Would you like to save the active document project \"Book\" before closing?");
  EXPECT_FALSE(files->Project);
}

TEST_F(FileCommandsTest, TheVadureVaviIsNoFavourite) {
  files->Project = true;
  files->ProjectFile = "/p/Book.qvpj";
  files->VadureVavi = &b;
  messages->Answers = {mrNo};  // the document, not the project
  Manager().Execute(1260);
  ASSERT_EQ(messages->Texts.size(), 2u);
  EXPECT_EQ(messages->Texts[1], "The Vadure Vavi cannot be added to Favorites.");
  EXPECT_TRUE(paramRuns.empty());
}

TEST_F(FileCommandsTest, ADocumentBarSelectionIsWrittenAsAProjectFile) {
  const std::string folder = qvtest::MakeTempDir("proj");
  a.FileName = folder + "/a.rtf";
  c.FileName = folder + "/c.rtf";
  qvtest::WriteFile(a.FileName, "{\\rtf1 a}");
  qvtest::WriteFile(c.FileName, "{\\rtf1 c}");
  files->BarSelection = {&a, &c};
  files->Active = &c;
  dialogs->Answer = {folder + "/set.qvpj"};
  Manager().Execute(1428);
  EXPECT_EQ(qvtest::ReadFile(folder + "/set.qvpj"), a.FileName + "\r\n*" + c.FileName);
}

// The combined document: its hyperlinks into one of the combined files point at the bookmark
// inside it.
struct CombineEnv : FileEnv {
  TDoc* Made = nullptr;
  bool NewDocument(int32_t, const std::string&, bool) override {
    Active = Made;
    return Made != nullptr;
  }
};

TEST_F(FileCommandsTest, CombiningTurnsLinksIntoTheCombinedFilesIntoBookmarkLinks) {
  ScopedService<TCommandEnvironment, CombineEnv> combine;
  OpsScope ops;
  TDoc combined(true), first(true), second(true);
  first.FileName = "/docs/a.rtf";
  second.FileName = "/docs/b.rtf";
  SetMainText(combined, {"see b", "see other"});
  auto link = [&combined](int32_t par, const std::u16string& instruction) {
    auto f = std::make_unique<TField>();
    f->FieldType = ftHyperlink;
    f->Instruction = instruction;
    return combined.InsertFieldMarks(std::move(f), {Pos(par, 0), Pos(par, 3)});
  };
  TField* toB = link(0, u"HYPERLINK \"file:///docs/b.rtf\" \\l \"Intro\"");
  TField* toOther = link(1, u"HYPERLINK \"other.rtf\" \\l \"Intro\"");
  combine->Made = &combined;
  combine->BarSelection = {&first, &second};
  Manager().Execute(1425);
  EXPECT_EQ(toB->Instruction, u"HYPERLINK \\l \"Intro\"");
  EXPECT_EQ(toOther->Instruction, u"HYPERLINK \"other.rtf\" \\l \"Intro\"");
  EXPECT_TRUE(combined.UndoList.empty());
}

}  // namespace
