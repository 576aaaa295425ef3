// The save roads: the dispatcher's question about lost formatting, saves that fail half-way,
// copies, backups and safe copies.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "files/backups.h"
#include "files/doc_formats.h"
#include "files/files_test_support.h"
#include "files/output/saving_options.h"
#include "files/safe_copies.h"
#include "files/save_dispatcher.h"
#include "files/save_document.h"
#include "foundation/base/date_time.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// Lowers the process's file-size limit for a scope: writes past it fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lower = old_;
    lower.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

class SaveRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qvtest::EnsureFontManager();
    folder = fs::temp_directory_path() / ("saveroad" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    savedOptions = GetOptions().LoadSave;
    savedBackupFolder = GetOptionsHolder().Settings.BackupFolder;
    GetOptionsHolder().Settings.BackupFolder = (folder / "Backup").string();
  }
  void TearDown() override {
    GetOptions().LoadSave = savedOptions;
    GetOptionsHolder().Settings.BackupFolder = savedBackupFolder;
    fs::remove_all(folder);
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  // A document of many paragraphs whose file is `name`.
  std::unique_ptr<TDoc> MakeDoc(const std::string& name, int32_t paragraphs = 3) {
    auto doc = std::make_unique<TDoc>(true);
    TDocBuilder b(*doc);
    for (int32_t i = 0; i < paragraphs; ++i) b.Add(TDocBuilder::Numbered("Paragraph text ", i));
    b.Finish();
    doc->FileName = Path(name);
    doc->FileState.HoldsFile = true;
    return doc;
  }
  size_t FilesIn(const fs::path& dir) const {
    size_t n = 0;
    for (auto& e : fs::recursive_directory_iterator(dir))
      if (e.is_regular_file()) ++n;
    return n;
  }
  fs::path folder;
  TLoadSaveOptions savedOptions;
  std::string savedBackupFolder;
};

TEST_F(SaveRoadTest, PlainTextAsksAboutTheFormattingItWouldLose) {
  struct Case {
    const char* Name;
    bool Differs;  // alignment, bold and a picture differ between paragraphs
    const char* Lost;
  };
  const Case cases[] = {
      {"formatting", true, "\r\n* Paragraph formatting.\r\n* Font formatting.\r\n* Pictures."},
      {"only widow control and language", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TDoc doc(true);
    TDocBuilder b(doc);
    b.Add("one");
    TParFormat other = DefaultParFormat;
    if (c.Differs) other.Alignment = 2;
    else other.WidowControl = DefaultParFormat.WidowControl == 1 ? 0 : 1;
    b.Format = other;
    b.Add("two");
    b.Finish();
    TPar& second = *doc.Par(1);
    if (c.Differs) {
      InsertContentTag(second.Content, 0, ctBold, 1);
      InsertContentTag(second.Content, 0, ctInlineShape, 0);
    } else {
      InsertContentTag(second.Content, 0, cpLanguage, 1031);
    }
    second.RebuildCodes();
    second.ContentChanged();
    std::string lost;
    EXPECT_EQ(CollectLostFormatting(doc, nullptr, dfText, lost), c.Differs);
    EXPECT_EQ(lost, c.Lost);
    EXPECT_FALSE(CollectLostFormatting(doc, nullptr, dfRtf, lost));
  }
}

TEST_F(SaveRoadTest, TheLostFormattingQuestionIsAskedOnceForTheWholeDocument) {
  ScopedService<TMessageDlgService, qvtest::ScriptedBox> box;
  box->Answer = [] { return mrYes; };
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Add("one");
  b.Format.Alignment = 1;
  b.Add("two");
  b.Finish();
  EXPECT_FALSE(DocConfirmSaveFormat(doc, nullptr, dfText));
  EXPECT_FALSE(DocConfirmSaveFormat(doc, nullptr, dfText));
  EXPECT_EQ(box->Texts.size(), 1u);
  // A format without a writer is refused with its message.
  EXPECT_TRUE(DocConfirmSaveFormat(doc, nullptr, dfWrite));
  ASSERT_EQ(box->Texts.size(), 2u);
  EXPECT_NE(box->Texts[1].find("\"Windows Write\" format"), std::string::npos);
}

TEST_F(SaveRoadTest, ASaveThatFailsHalfWayLeavesTheOriginalByteForByte) {
  ScopedService<TMessageDlgService, qvtest::ScriptedBox> box;  // Cancel to every question
  GetOptions().LoadSave.Flags &= ~16;  // no backups
  auto doc = MakeDoc("report.rtf", 4000);
  const std::string original(50000, 'x');
  WriteFile(doc->FileName, original);
  doc->Modified = 1;
  uint8_t result = 0;
  {
    FileSizeLimit limit(60000);
    result = DocSave(*doc);
  }
  EXPECT_EQ(result, 2);
  EXPECT_EQ(ReadFile(doc->FileName), original);
  EXPECT_EQ(FilesIn(folder), 1u) << "no temporary file is left behind";
  EXPECT_EQ(doc->Modified, 1) << "a failed save does not mark the document saved";
  // The same for a copy over an existing file: it is kept, not deleted.
  const std::string copy = Path("copy.rtf");
  WriteFile(copy, "keep me");
  {
    FileSizeLimit limit(20000);
    EXPECT_EQ(DocSaveCopyToFile(*doc, copy, 0), 2);
  }
  EXPECT_EQ(ReadFile(copy), "keep me");
  EXPECT_EQ(doc->FileName, Path("report.rtf"));
}

TEST_F(SaveRoadTest, SaveWritesTheFileAndMarksTheDocumentSaved) {
  GetOptions().LoadSave.Flags &= ~16;  // no backups
  auto doc = MakeDoc("saved.rtf");
  WriteFile(doc->FileName, "old");
  fs::permissions(doc->FileName, fs::perms::owner_read | fs::perms::owner_write);
  doc->Modified = 1;
  ASSERT_EQ(DocSave(*doc), 0);
  EXPECT_EQ(doc->Modified, 0);
  const std::string rtf = ReadFile(doc->FileName);
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("Paragraph text 2"), std::string::npos);
  EXPECT_EQ(fs::status(doc->FileName).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  // A copy changes neither the document's name nor its format.
  ASSERT_EQ(DocSaveCopyToFile(*doc, Path("copy.txt"), 0), 0);
  EXPECT_EQ(doc->FileName, Path("saved.rtf"));
}

TEST_F(SaveRoadTest, BackupNamesCarryTheFilesDateAndGroupByDocument) {
  const double time = EncodeDateTime(2024, 3, 15, 14, 30, 0);
  EXPECT_EQ(BackupFileName("/docs/Report.rtf", time), "Report 24-03-15 1430.rtf");
  EXPECT_EQ(BackupGroupKey("Report 24-03-15 1430.rtf"), "Report.rtf");
  EXPECT_EQ(BackupGroupKey("Report.rtf"), "Report.rtf");
  EXPECT_EQ(BackupMinMinutes(2), 5);
  EXPECT_EQ(BackupMaxFiles(9), 2147483647);
}

TEST_F(SaveRoadTest, BackupsKeepTheirCountAndMinimumTime) {
  TLoadSaveOptions& o = GetOptions().LoadSave;
  o.Flags |= 16 | 32;
  auto doc = MakeDoc("Report.rtf");
  WriteFile(doc->FileName, "version 1");
  const fs::path backups = folder / "Backup";
  // Two saves within the minimum time make one backup.
  ASSERT_TRUE(DocCreateBackup(*doc, doc->FileName, doc->FileName, false));
  ASSERT_TRUE(DocCreateBackup(*doc, doc->FileName, doc->FileName, false));
  EXPECT_EQ(FilesIn(backups), 1u);
  EXPECT_TRUE(fs::is_directory(backups / "Report.rtf")) << "a sub-folder per document";
  // With at most one backup each new one replaces the previous, and no sub-folder is used.
  o.Backup_MaxFiles = 0;
  for (int minute : {1, 2}) {
    WriteFile(doc->FileName, "version " + std::to_string(minute + 1));
    const auto when = fs::file_time_type::clock::now() + std::chrono::minutes(10 * minute);
    fs::last_write_time(doc->FileName, when);
    ASSERT_TRUE(DocCreateBackup(*doc, doc->FileName, doc->FileName, true));
  }
  EXPECT_EQ(FilesIn(backups), 1u);
  EXPECT_FALSE(fs::exists(backups / "Report.rtf"));
}

TEST_F(SaveRoadTest, AFailedBackupIsNotRecordedAsOne) {
  ScopedService<TMessageDlgService, qvtest::ScriptedBox> box;  // Cancel
  GetOptions().LoadSave.Flags |= 16;
  GetOptions().LoadSave.Flags &= ~32;
  auto doc = MakeDoc("Big.rtf");
  WriteFile(doc->FileName, std::string(100000, 'b'));
  doc->BackupPoint = INT32_MIN;
  doc->UndoPosition = 7;
  {
    FileSizeLimit limit(30000);
    EXPECT_FALSE(DocCreateBackup(*doc, doc->FileName, doc->FileName, true));
  }
  EXPECT_EQ(doc->BackupPoint, INT32_MIN);
  EXPECT_EQ(doc->FileState.LastBackupTime, 0);
  EXPECT_EQ(FilesIn(folder / "Backup"), 0u) << "no broken backup is left";
  ASSERT_TRUE(DocCreateBackup(*doc, doc->FileName, doc->FileName, true));
  EXPECT_EQ(doc->BackupPoint, 7);
}

TEST_F(SaveRoadTest, SafeCopyLifeCycle) {
  ScopedService<TMessageDlgService, qvtest::ScriptedBox> box;  // Cancel
  auto doc = MakeDoc("Work.rtf", 2000);
  doc->Modified = 1;
  doc->UndoPosition = 1;
  DocMakeSafeCopy(*doc);
  ASSERT_TRUE(doc->FileState.SafeCopyExists);
  const std::string name = doc->FileState.SafeCopyName;
  EXPECT_EQ(fs::path(name).extension(), ".qvs");
  EXPECT_EQ(doc->FileName, Path("Work.rtf"));
  const std::string first = ReadFile(name);
  EXPECT_NE(first.find("{\\*\\autosavedorigname " + Path("Work.rtf") + "}"), std::string::npos);
  // Nothing changed: no new copy.
  DocMakeSafeCopy(*doc);
  // A refresh that fails keeps the previous copy whole.
  doc->UndoPosition = 2;
  doc->FileState.ChangedSinceSafeCopy = true;
  {
    FileSizeLimit limit(static_cast<rlim_t>(first.size() / 2));
    DocMakeSafeCopy(*doc);
  }
  EXPECT_EQ(ReadFile(name), first);
  EXPECT_TRUE(doc->FileState.SafeCopyExists);
  // Saving the document deletes it.
  GetOptions().LoadSave.Flags &= ~16;
  ASSERT_EQ(DocSave(*doc), 0);
  EXPECT_FALSE(fs::exists(name));
  EXPECT_FALSE(doc->FileState.SafeCopyExists);
}

}  // namespace
