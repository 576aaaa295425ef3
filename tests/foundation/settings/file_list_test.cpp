#include "foundation/settings/file_list.h"

#include <gtest/gtest.h>

#include "foundation/settings/ini_file.h"
#include "foundation/settings/registry_ex.h"
#include "foundation/settings/stored_path.h"
#include "support/test_env.h"

using namespace qv;

namespace {

class StoredPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    TStoredPathContext c;
    c.DocumentsFolder = "/home/ann/.local/share/quorvane/";
    c.ProgramDrive = "/media/ann/STICK";
    c.PortableMode = true;
    SetStoredPathContext(c);
  }
  void TearDown() override { ResetStoredPathContext(); }
};

TEST_F(StoredPaths, EncodeAndDecode) {
  const struct { const char* path; const char* stored; } cases[] = {
      {"/home/ann/.local/share/quorvane/Templates/a.rtf", "%Templates/a.rtf"},
      {"/media/ann/STICK/docs/b.rtf", "%%/docs/b.rtf"},
      {"/media/ann/STICKER/c.rtf", "/media/ann/STICKER/c.rtf"},  // not below the mount point
      {"/home/ann/.local/share/QUORVANE/x", "/home/ann/.local/share/QUORVANE/x"},  // case counts
      {"/home/ann/.local/share/quorvane/%odd", "/home/ann/.local/share/quorvane/%odd"},
      {"/tmp/d.rtf", "/tmp/d.rtf"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeStoredPath(c.path), c.stored) << c.path;
    EXPECT_EQ(DecodeStoredPath(EncodeStoredPath(c.path)), c.path) << c.path;
  }
}

TEST_F(StoredPaths, RestoredOnAnotherMachine) {
  const std::string stored = EncodeStoredPath("/home/ann/.local/share/quorvane/Backup/x.rtf");
  const std::string onStick = EncodeStoredPath("/media/ann/STICK/docs/b.rtf");
  TStoredPathContext other;
  other.DocumentsFolder = "/home/bob/data/quorvane/";
  other.ProgramDrive = "/run/media/bob/STICK";
  other.PortableMode = true;
  SetStoredPathContext(other);
  EXPECT_EQ(DecodeStoredPath(stored), "/home/bob/data/quorvane/Backup/x.rtf");
  EXPECT_EQ(DecodeStoredPath(onStick), "/run/media/bob/STICK/docs/b.rtf");
}

TEST_F(StoredPaths, DriveFormOnlyForPortableCopies) {
  TStoredPathContext c = GetStoredPathContext();
  c.PortableMode = false;
  SetStoredPathContext(c);
  EXPECT_EQ(EncodeStoredPath("/media/ann/STICK/a"), "/media/ann/STICK/a");
  c.PortableMode = true;
  c.WritingForInstall = true;
  SetStoredPathContext(c);
  EXPECT_EQ(EncodeStoredPath("/media/ann/STICK/a"), "/media/ann/STICK/a");
}

TEST_F(StoredPaths, FixPortableDriveFindsTheFileOnTheProgramsDrive) {
  const std::string drive = qvtest::MakeTempDir("drive");
  qvtest::WriteFile(drive + "/docs/b.rtf", "x");
  TStoredPathContext c = GetStoredPathContext();
  c.ProgramDrive = drive;
  SetStoredPathContext(c);
  std::string path = "/media/old/STICK/docs/b.rtf";
  FixPortableDrive(path);
  EXPECT_EQ(path, drive + "/docs/b.rtf");
  std::string missing = "/media/old/STICK/docs/none.rtf";
  FixPortableDrive(missing);
  EXPECT_EQ(missing, "/media/old/STICK/docs/none.rtf");
}

TEST_F(StoredPaths, FileListSavesLettersAndLoadsMostRecentFirst) {
  const std::string path = qvtest::MakeTempDir("fl") + "/l.ini";
  TFileList list;
  list.Kind = 1;
  list.Locked = true;
  list.Strings = {"/home/ann/.local/share/quorvane/a", "/b", "/c"};
  {
    TIniFile w(path, true);
    w.OpenKey("L");
    list.Save(w);
    w.Save();
  }
  EXPECT_EQ(qvtest::ReadFile(path),
            "[L]\nCount=3\nA=%a\nB=/b\nC=/c\nLocked=1\n");
  TIniFile r(path, false);
  r.OpenKey("L");
  TFileList back;
  back.Kind = 1;
  back.Load(r);
  EXPECT_EQ(back.Strings, list.Strings);
  EXPECT_TRUE(back.Locked);
}

TEST_F(StoredPaths, ListsRoundTripThroughBothStores) {
  std::vector<std::string> thirty;
  for (int i = 0; i < 30; ++i) thirty.push_back("/f" + std::to_string(i));
  const struct {
    const char* what;
    std::vector<std::string> strings;
  } cases[] = {
      // Names after "Z" must still read back from an ini-format file.
      {"thirty entries", thirty},
      {"line breaks and bars",
       {"/d/a\nb.rtf", "/d/a\r\nb.rtf", "/d/a\rb.rtf", "/d/a||b.rtf", "/d/a|b.rtf", "/d/a|\nb",
        "/d/a|_b", "/d/|||", "/d/end|", "/d/x\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TFileList list;
    list.Strings = c.strings;
    const std::string dir = qvtest::MakeTempDir("fl");
    {
      TIniFile w(dir + "/l.ini", true);
      w.OpenKey("L");
      list.Save(w);
      w.Save();
      TRegistryEx reg(dir + "/hive.ini");
      reg.OpenKey("L");
      list.Save(reg);
    }
    TIniFile r(dir + "/l.ini", false);
    r.OpenKey("L");
    TRegistryEx reg(dir + "/hive.ini");
    reg.OpenKey("L");
    for (TSettingsStorage* s : {static_cast<TSettingsStorage*>(&r), static_cast<TSettingsStorage*>(&reg)}) {
      TFileList back;
      back.Load(*s);
      EXPECT_EQ(back.Strings, list.Strings);
    }
  }
}

TEST_F(StoredPaths, ValueNamesRunFromAToZThenAA) {
  EXPECT_EQ(TFileList::ValueName(0), "A");
  EXPECT_EQ(TFileList::ValueName(25), "Z");
  EXPECT_EQ(TFileList::ValueName(26), "AA");
}

TEST_F(StoredPaths, EntriesWrittenByTheOldEscapingStillRead) {
  // Entries written before: "||" was a line break, a single "|" is itself.
  const std::string old = qvtest::MakeTempDir("fl") + "/old.ini";
  qvtest::WriteFile(old, "[L]\nCount=2\nA=/d/x||y.rtf\nB=/d/p|q.rtf\n");
  TIniFile o(old, false);
  o.OpenKey("L");
  TFileList back;
  back.Load(o);
  EXPECT_EQ(back.Strings, (std::vector<std::string>{"/d/x\ny.rtf", "/d/p|q.rtf"}));
}

TEST_F(StoredPaths, LoadCapsTheCountAndSkipsEmptyEntries) {
  std::string text = "[L]\nCount=40\n";
  for (int i = 0; i < 26; ++i) text += std::string(1, char('A' + i)) + "=/p" + std::to_string(i) + "\n";
  for (int i = 26; i < 30; ++i) text += TFileList::ValueName(i) + "=/p" + std::to_string(i) + "\n";
  const std::string path = qvtest::MakeTempDir("fl") + "/l.ini";
  qvtest::WriteFile(path, text);
  TIniFile r(path, false);
  r.OpenKey("L");
  TFileList back;
  back.Load(r);
  EXPECT_EQ(back.Count(), 30);
  EXPECT_EQ(back[0], "/p0");
  EXPECT_EQ(back.Strings.back(), "/p29");
}

TEST(FileList, AddFileAndTrim) {
  TFileList list;
  list.Strings = {"/a", "/b", "/c"};
  list.AddFile("/c", 3);  // present: moves to the top
  EXPECT_EQ(list.Strings, (std::vector<std::string>{"/c", "/a", "/b"}));
  list.AddFile("/d", 3);  // new: the oldest goes
  EXPECT_EQ(list.Strings, (std::vector<std::string>{"/d", "/c", "/a"}));
  list.AddFile("/D", 3);  // Linux paths differ by case
  EXPECT_EQ(list.Strings, (std::vector<std::string>{"/D", "/d", "/c"}));
  list.AddFile("/e", 0);  // keeping none empties the list
  EXPECT_TRUE(list.Strings.empty());
  list.Strings = {"/a", "/b"};
  list.Locked = true;
  list.AddFile("/x", 5);
  list.Trim(0);
  EXPECT_EQ(list.Count(), 2);
  list.Locked = false;
  list.Trim(1);
  EXPECT_EQ(list.Strings, (std::vector<std::string>{"/a"}));
}

TEST(FileList, RemoveMissing) {
  const std::string dir = qvtest::MakeTempDir("fl");
  qvtest::WriteFile(dir + "/here.rtf", "x");
  TFileList files;
  files.Strings = {dir + "/gone.rtf", dir + "/here.rtf", dir};
  files.RemoveMissing();
  EXPECT_EQ(files.Strings, (std::vector<std::string>{dir + "/here.rtf"}));
  TFileList folders;
  folders.Kind = 1;
  folders.Strings = {dir, dir + "/gone", dir + "/here.rtf"};
  folders.RemoveMissing();
  EXPECT_EQ(folders.Strings, (std::vector<std::string>{dir}));
}

}  // namespace
