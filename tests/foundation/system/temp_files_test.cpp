#include "foundation/system/temp_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "foundation/system/paths.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

using namespace qv;

namespace {

TEST(TempFiles, FolderIsPrivateToTheProcess) {
  const std::string folder = GetTempFolder();
  EXPECT_EQ(folder.back(), '/');
  const fs::path dir = fs::path(folder).parent_path();
  EXPECT_EQ(dir.filename().string().substr(0, 4), "~Qvr");
  EXPECT_EQ(dir.parent_path().string(), std::getenv("TMPDIR"));
  EXPECT_EQ(GetTempFolder(), folder);
}

TEST(TempFiles, NamesAreCreatedAndNeverRepeat) {
  const std::string a = MakeTempFileNameExt(tfkTmp);
  const std::string b = MakeTempFileNameExt(tfkTmp);
  EXPECT_NE(a, b);
  EXPECT_TRUE(FileExists(a));  // taken at once, so no one else can have it
  EXPECT_EQ(ExtractFileExt(MakeTempFileNameExt(tfkSafeCopy)), ".qvs");
  EXPECT_EQ(ExtractFileExt(MakeTempFileNameExt(tfkBmp)), ".bmp");
  EXPECT_EQ(ExtractFileName(MakeTempFileName(".epub")).substr(0, 4), "~Qvr");
  // A name someone else already took is skipped.
  const std::string next = GetTempFolder() + "~Qvr";
  for (int i = 0; i < 200; ++i) qvtest::WriteFile(next + std::to_string(i) + ".x", "");
  const std::string c = MakeTempFileName(".x");
  EXPECT_EQ(fs::file_size(c), 0u);
  const std::string folder = MakeTempFolder();
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_EQ(folder.back(), '/');
}

// Two processes drawing names from the same folder with the same counter: the exclusive create
// makes every name distinct.
TEST(TempFiles, ConcurrentProcessesNeverShareAName) {
  GetTempFolder();
  constexpr int kNames = 200;
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  pid_t children[2];
  for (pid_t& child : children) {
    child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(fds[0]);
      for (int i = 0; i < kNames; ++i) {
        const std::string name = MakeTempFileName(".c") + "\n";
        if (::write(fds[1], name.data(), name.size()) < 0) ::_exit(2);
      }
      ::_exit(0);  // no exit handlers: the folder belongs to the parent
    }
  }
  ::close(fds[1]);
  std::string all;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) all.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::set<std::string> names;
  size_t count = 0;
  for (size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
    names.insert(all.substr(start, end - start));
    ++count;
  }
  EXPECT_EQ(count, 2u * kNames);
  EXPECT_EQ(names.size(), count);
}

TEST(TempFiles, CleanUpStaysInThePrivateFolder) {
  const std::string tmp = GetTempFolder();
  const std::string outside = std::string(std::getenv("TMPDIR")) + "/~Qvr7.tmp";
  const std::string docs = GetDataFolder(4) + "~Qvr8.tmp";
  qvtest::WriteFile(outside, "another program's file");
  qvtest::WriteFile(docs, "user data");
  const std::string mine = MakeTempFileNameExt(tfkRtf);
  const std::string plain = MakeTempFileNamePlain(".keep");
  const std::string folder = MakeTempFolder();
  qvtest::WriteFile(folder + "inner/file", "x");
  qvtest::WriteFile(tmp + "Quorvane Word Processor Setup.exe", "x");
  qvtest::WriteFile(tmp + "other.txt", "x");
  DeleteTempFiles();
  EXPECT_FALSE(fs::exists(mine));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_FALSE(fs::exists(tmp + "Quorvane Word Processor Setup.exe"));
  EXPECT_TRUE(fs::exists(plain));
  EXPECT_TRUE(fs::exists(tmp + "other.txt"));
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_TRUE(fs::exists(docs));
}

// The private folder removed behind the program's back and a symbolic link put at its name:
// the next temporary files go into a new private folder, never into the link's target.
TEST(TempFiles, ALinkInPlaceOfTheRemovedFolderIsNotFollowed) {
  const std::string old = GetTempFolder();
  const std::string target = qvtest::MakeTempDir("target");
  fs::remove_all(old);
  fs::create_directory_symlink(target, fs::path(old).parent_path());
  const std::string file = MakeTempFileNameExt(tfkRtf);
  const std::string folder = MakeTempFolder();
  EXPECT_TRUE(fs::is_empty(target));
  EXPECT_NE(GetTempFolder(), old);
  EXPECT_EQ(ExtractFilePath(file), GetTempFolder());
  EXPECT_EQ(fs::path(GetTempFolder()).parent_path().parent_path().string(), std::getenv("TMPDIR"));
  EXPECT_TRUE(FolderExists(folder));
  DeleteTempFiles();  // clears the new folder only
  EXPECT_TRUE(fs::is_symlink(fs::path(old).parent_path()));
  EXPECT_TRUE(fs::exists(target));
  fs::remove(fs::path(old).parent_path());
}

TEST(TempFiles, UsableNames) {
  EXPECT_TRUE(IsUsableTempFileName("probe.txt"));
  EXPECT_FALSE(fs::exists(GetTempFolder() + "probe.txt"));  // the probe is removed again
  qvtest::WriteFile(GetTempFolder() + "there.txt", "x");
  EXPECT_TRUE(IsUsableTempFileName("there.txt"));
  EXPECT_TRUE(fs::exists(GetTempFolder() + "there.txt"));
  EXPECT_FALSE(IsUsableTempFileName("../escape.txt"));
  EXPECT_FALSE(IsUsableTempFileName(""));
}

}  // namespace
