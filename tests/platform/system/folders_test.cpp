#include "platform/system/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one scope.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* v = std::getenv(name)) old_ = v, had_ = true;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~EnvVar() {
    if (had_) ::setenv(name_, old_.c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

TEST(Folders, XdgFoldersFromEnvironmentUserDirsAndDefaults) {
  const std::string home = qvtest::MakeTempDir("home");
  EnvVar h("HOME", home.c_str());
  EnvVar c("XDG_CONFIG_HOME", nullptr);
  EnvVar d("XDG_DATA_HOME", "relative/ignored");
  EnvVar docs("XDG_DOCUMENTS_DIR", nullptr);
  EnvVar pics("XDG_PICTURES_DIR", "/srv/pics/");
  qvtest::WriteFile(home + "/.config/user-dirs.dirs",
                    "# written by xdg-user-dirs-update\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                    "XDG_MUSIC_DIR=\"/data/music\"\n");
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::ConfigHome), home + "/.config");
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::DataHome), home + "/.local/share");
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::Documents), home + "/Dokumente");
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::Music), "/data/music");
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::Pictures), "/srv/pics");
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::Videos), home + "/Videos");
}

TEST(Folders, RuntimeDirMustBePrivate) {
  const std::string dir = qvtest::MakeTempDir("run");
  EnvVar r("XDG_RUNTIME_DIR", dir.c_str());
  ::chmod(dir.c_str(), 0755);
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::RuntimeDir), "");
  ::chmod(dir.c_str(), 0700);
  EXPECT_EQ(plat::GetXdgFolder(plat::XdgFolder::RuntimeDir), dir);
}

TEST(Folders, ProgramFolderHoldsTheExecutable) {
  const std::string file = plat::ProgramFile();
  ASSERT_FALSE(file.empty());
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(plat::ProgramFolder() + "/" + fs::path(file).filename().string(), file);
}

TEST(Folders, PrivateTempFolderIsMadeOnceAndPrivate) {
  const std::string base = qvtest::MakeTempDir("tmpbase");
  plat::RemovePrivateTempFolder();
  const std::string folder = plat::PrivateTempFolder(base);
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(fs::path(folder).parent_path().string(), base);
  EXPECT_EQ(fs::path(folder).filename().string().substr(0, 4), "~Qvr");
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(plat::PrivateTempFolder(), folder);  // same folder for the whole run
  qvtest::WriteFile(folder + "/sub/file", "x");
  plat::RemovePrivateTempFolder();
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::exists(base));
  // No folder can be made under a file: the answer is empty, never some other folder.
  qvtest::WriteFile(base + "/plainfile", "x");
  EXPECT_EQ(plat::PrivateTempFolder(base + "/plainfile"), "");
  EXPECT_EQ(fs::path(plat::PrivateTempFolder()).parent_path().string(), plat::SystemTempFolder());
}

// Someone removes the private folder and puts something of their own at its name: the next
// temporary files must not go there, and what stands there is not the program's to delete.
TEST(Folders, APrivateTempFolderThatWasReplacedIsNotReused) {
  const std::string base = qvtest::MakeTempDir("replaced");
  const std::string outside = qvtest::MakeTempDir("attacker");
  const struct Case {
    const char* name;
    void (*replace)(const std::string& at, const std::string& outside);
  } cases[] = {
      {"a symbolic link to another folder",
       [](const std::string& at, const std::string& to) { fs::create_directory_symlink(to, at); }},
      {"a link to a link",
       [](const std::string& at, const std::string& to) {
         fs::create_directory_symlink(to, at + ".hop");
         fs::create_symlink(at + ".hop", at);
       }},
      {"a folder open to others",
       [](const std::string& at, const std::string&) {
         fs::create_directory(at);
         ::chmod(at.c_str(), 0755);
       }},
      {"a plain file", [](const std::string& at, const std::string&) { qvtest::WriteFile(at, "x"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::RemovePrivateTempFolder();
    const std::string old = plat::PrivateTempFolder(base);
    ASSERT_FALSE(old.empty());
    fs::remove_all(old);
    c.replace(old, outside);
    const std::string now = plat::PrivateTempFolder(base);
    ASSERT_FALSE(now.empty());
    EXPECT_NE(now, old);
    struct stat st {};
    ASSERT_EQ(::lstat(now.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(plat::PrivateTempFolder(base), now);
    // Clean-up removes the new folder only, neither the thing at the old name nor its target.
    plat::RemovePrivateTempFolder();
    EXPECT_FALSE(fs::exists(now));
    EXPECT_TRUE(fs::exists(fs::symlink_status(old)));
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_TRUE(fs::exists(outside));
  }
  plat::RemovePrivateTempFolder();
}

TEST(Folders, RemoveTreeDoesNotFollowLinks) {
  const std::string outside = qvtest::MakeTempDir("outside");
  qvtest::WriteFile(outside + "/keep.txt", "keep");
  const std::string tree = qvtest::MakeTempDir("tree");
  fs::create_directory_symlink(outside, tree + "/link");
  EXPECT_TRUE(plat::RemoveTree(tree));
  EXPECT_TRUE(fs::exists(outside + "/keep.txt"));
  EXPECT_FALSE(plat::RemoveTree("/"));
}

}  // namespace
