#include "foundation/system/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "foundation/base/string_list.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

using namespace qv;

namespace {

TEST(Paths, NameHelpers) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
    const char* ext;
    const char* noExt;
  } cases[] = {
      {"/home/u/report.rtf", "/home/u/", "report.rtf", ".rtf", "/home/u/report"},
      {"/home/u.d/README", "/home/u.d/", "README", "", "/home/u.d/README"},
      {"a.tar.gz", "", "a.tar.gz", ".gz", "a.tar"},
      {"/home/u/", "/home/u/", "", "", "/home/u/"},
      {".hidden", "", ".hidden", ".hidden", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFilePath(c.path), c.folder);
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(ExtractFileExt(c.path), c.ext);
    EXPECT_EQ(RemoveFileExt(c.path), c.noExt);
  }
  std::string p = "/a";
  AddTrailingBackslash(p);
  AddTrailingBackslash(p);
  EXPECT_EQ(p, "/a/");
  std::string empty;
  AddTrailingBackslash(empty);
  EXPECT_EQ(empty, "");
  EXPECT_EQ(RemoveInvalidFileNameChars("a\"b*c/d:e<f>g?h\\i|j"), "abcdefghij");
  EXPECT_EQ(EscapeMenuCaption("-"), "- ");
  EXPECT_EQ(EscapeMenuCaption("Save & Close &"), "Save && Close &&");
  EXPECT_TRUE(SameTextNoCase("Stra\xC3\x9F" "e \xC3\x89t\xC3\xA9", "STRASSE \xC3\xA9T\xC3\x89"));
  EXPECT_FALSE(SameTextNoCase("abc", "abd"));
  EXPECT_FALSE(SameFileName("/home/u/A.rtf", "/home/u/a.rtf"));  // paths are case-sensitive
}

TEST(Paths, SplitAndExpand) {
  TStringList list;
  SplitPathComponents("/home/u/docs/", list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(0), "home");
  EXPECT_EQ(list.Strings(2), "docs");
  SplitPathComponents("", list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(ExpandToLongPath("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandToLongPath("x.rtf"), GetCurrentFolder() + "x.rtf");
  EXPECT_EQ(ExpandToLongPath(""), "");
}

TEST(Paths, FolderAndFileTests) {
  const std::string dir = qvtest::MakeTempDir("paths");
  const std::string file = dir + "/f.txt";
  EXPECT_TRUE(IsFolderEmpty(dir));
  EXPECT_TRUE(IsFolderEmpty(dir + "/missing"));
  qvtest::WriteFile(file, "hello");
  EXPECT_FALSE(IsFolderEmpty(dir));
  EXPECT_TRUE(FolderExists(dir));
  EXPECT_TRUE(FolderExists("/"));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(CreateFolderPath(dir + "/x/y/z"));
  EXPECT_TRUE(FolderExists(dir + "/x/y/z"));
  EXPECT_FALSE(CreateFolderPath(file + "/sub"));
  EXPECT_EQ(GetFileSizeByName(file), 5);
  EXPECT_EQ(GetFileSizeByName(dir + "/missing"), -1);
  EXPECT_EQ(GetFileAllocatedSize(file) % GetClusterSize(dir), 0);
  EXPECT_GE(GetFileAllocatedSize(file), 5);

  PushCurrentDir();
  const std::string before = GetCurrentFolder();
  ASSERT_EQ(::chdir(dir.c_str()), 0);
  PopCurrentDir();
  EXPECT_EQ(GetCurrentFolder(), before);
  PopCurrentDir();  // an empty stack changes nothing
  EXPECT_EQ(GetCurrentFolder(), before);
}

TEST(Paths, SaveStringToFileReplacesAtomically) {
  const std::string dir = qvtest::MakeTempDir("save");
  const std::string file = dir + "/doc.txt";
  ASSERT_TRUE(SaveStringToFile(file, "first"));
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(SaveStringToFile(file, "second"));
  EXPECT_EQ(qvtest::ReadFile(file), "second");
  struct stat st {};
  ::stat(file.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  // A folder that cannot be written leaves nothing behind and says so.
  EXPECT_FALSE(SaveStringToFile(dir + "/missing/doc.txt", "x"));

  qvtest::WriteFile(dir + "/a", "same");
  qvtest::WriteFile(dir + "/b", "same");
  qvtest::WriteFile(dir + "/c", "diff");
  qvtest::WriteFile(dir + "/d", "same+");
  EXPECT_TRUE(SameFiles(dir + "/a", dir + "/b"));
  EXPECT_FALSE(SameFiles(dir + "/a", dir + "/c"));
  EXPECT_FALSE(SameFiles(dir + "/a", dir + "/d"));
  EXPECT_FALSE(SameFiles(dir + "/a", dir + "/missing"));
}

TEST(Paths, FileTimes) {
  const std::string file = qvtest::MakeTempDir("times") + "/t";
  qvtest::WriteFile(file, "x");
  const double now = GetFileModifiedTime(file + ".missing");
  const double modified = GetFileModifiedTime(file);
  EXPECT_NEAR(modified, now, 1.0 / 24);  // within the hour, whatever the clock
  const double seconds = modified * 86400.0;
  EXPECT_NEAR(std::fmod(std::round(seconds), 2.0), 0.0, 1e-6);  // two-second precision
  EXPECT_NEAR(GetFileCreationTime(file), modified, 1.0 / 24);
  EXPECT_GT(now, 40000.0);  // after 2009 in days since 1899-12-30
}

TEST(Paths, FormatByteSize) {
  const struct {
    int64_t size;
    const char* expected;
  } cases[] = {
      {0, "0 bytes"},           {65534, "65 534 bytes"}, {65535, "64 KB"},
      {100000, "98 KB"},        {2097152, "2 MB"},       {16777215, "16.00 MB"},
      {123456789, "117.74 MB"}, {1048577, "1 024 KB"},
  };
  ::setenv("LC_ALL", "en_US.UTF-8", 1);
  for (const auto& c : cases) EXPECT_EQ(FormatByteSize(c.size), c.expected) << c.size;
  ::unsetenv("LC_ALL");
}

TEST(Paths, DataAndSpecialFolders) {
  ResetDataFolders();
  const std::string data = std::getenv("XDG_DATA_HOME");
  ASSERT_FALSE(PortableMode);  // the test binary does not run from a removable drive
  EXPECT_EQ(GetDataFolder(4), data + "/quorvane/");
  EXPECT_EQ(GetDataFolder(5), data + "/quorvane/Spellcheck/");
  EXPECT_TRUE(FolderExists(GetDataFolder(5)));
  EXPECT_EQ(GetDataFolder(3), std::string(std::getenv("XDG_CONFIG_HOME")) + "/quorvane/");
  EXPECT_EQ(GetDataFolder(1), GetDataFolder(0) + "Hidden/");
  EXPECT_EQ(GetDataFolder(9), "");
  EXPECT_EQ(GetSpecialFolderPath(CSIDL_PERSONAL), std::getenv("XDG_DOCUMENTS_DIR"));
  EXPECT_EQ(GetSpecialFolderPath(12345), "");
  EXPECT_EQ(ProgramFolder.back(), '/');
  EXPECT_TRUE(FileExists(ProgramFileName));
  EXPECT_FALSE(IsRemovableDrive(ProgramFileName));
}

TEST(Paths, ShortenPathToWidth) {
  auto width = [](const std::string& s) { return static_cast<int32_t>(s.size()); };
  const struct {
    const char* path;
    int32_t width;
    bool full;
    const char* expected;
  } cases[] = {
      {"/home/u/report.rtf", 100, true, "/home/u/report.rtf"},
      {"/home/u/report.rtf", 100, false, "report.rtf"},
      {"/home/user/projects/alpha/report.rtf", 30, true, "/home/.../alpha/report.rtf"},
      {"/home/user/projects/alpha/report.rtf", 20, true, "/home/.../report.rtf"},
      {"/home/u/a-very-long-document-name.rtf", 20, true, "/.../a-vera...me.rtf"},
      {"/srv/shared/", 8, true, "/.../"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShortenPathToWidth(c.path, width, c.width, c.full), c.expected) << c.path;
}

TEST(Paths, NewGuidString) {
  const std::string a = NewGuidString(), b = NewGuidString();
  EXPECT_NE(a, b);
  ASSERT_EQ(a.size(), 36u);
  EXPECT_EQ(a[8], '-');
  EXPECT_EQ(a[14], '4');
  EXPECT_EQ(a.find_first_not_of("0123456789ABCDEF-"), std::string::npos);
}

}  // namespace
