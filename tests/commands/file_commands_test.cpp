#include "commands/command_fixture.h"
#include "commands/file_commands.h"

using namespace qv;

namespace {

struct FileEnv : FakeEnvironment {
  std::vector<TDoc*> Docs;
  std::set<TDoc*> Refusing, FailingSave;
  std::vector<TDoc*> Closed, Saved;
  std::vector<int32_t> Sounds;
  bool Ctrl = false;
  std::vector<TDoc*> OpenDocuments() override { return Docs; }
  bool CloseQuery(TDoc& d) override { return Refusing.count(&d) == 0; }
  void CloseDocument(TDoc& d) override { Closed.push_back(&d); }
  bool SaveDocument(TDoc& d) override {
    if (FailingSave.count(&d) != 0) return false;
    Saved.push_back(&d);
    return true;
  }
  bool CtrlHeld() override { return Ctrl; }
  bool AnyDocumentModified() override {
    for (TDoc* d : Docs)
      if (d->Modified != 0) return true;
    return false;
  }
  void PlayEventSound(int32_t s) override { Sounds.push_back(s); }
};

class FileCommandsTest : public CommandTest {
 protected:
  void SetUp() override {
    RegisterFileCommands(Manager());
    for (TDoc* d : {&a, &b, &c}) files->Docs.push_back(d);
    files->Active = &b;
  }
  ScopedService<TCommandEnvironment, FileEnv> files;
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
  Manager().Execute(290);
  EXPECT_TRUE(b.PrintPreview);
  Manager().Execute(290);
  EXPECT_FALSE(b.PrintPreview);
}

}  // namespace
