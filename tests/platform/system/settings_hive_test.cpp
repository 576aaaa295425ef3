#include "platform/system/settings_hive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_env.h"

namespace {

TEST(SettingsHive, ParseRules) {
  // Short lines vanish, lines before the first section vanish, a repeated section reopens the
  // first, the section name loses its first and last character whatever they are, CR LF works.
  const std::string text =
      "orphan=1\n"
      "[\\Software\\A]\r\n"
      "x=1=2\r\n"
      "ab\n"
      "=empty name\n"
      "[Other)\n"
      "k=v\n"
      "[\\software\\a]\n"
      "y=3\n";
  auto sections = plat::ParseIniText(text);
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].Name, "\\Software\\A");
  EXPECT_EQ(sections[0].Lines, (std::vector<std::string>{"x=1=2", "=empty name", "y=3"}));
  EXPECT_EQ(sections[1].Name, "Other");
  EXPECT_EQ(sections[1].Lines, (std::vector<std::string>{"k=v"}));
  auto hive = plat::ParseIniText("[K]\ne=\nab\n", true);
  ASSERT_EQ(hive.size(), 1u);
  EXPECT_EQ(hive[0].Lines, (std::vector<std::string>{"e="}));
}

TEST(SettingsHive, DamagedTextParsesWithoutFault) {
  static const char kJunk[] = "\0\xff[\n[\n[]\n=\n\r\r\n\xfe\xfe=\x01";
  const std::string junk(kJunk, sizeof kJunk - 1);
  auto sections = plat::ParseIniText(junk);
  for (const auto& s : sections)
    for (const auto& line : s.Lines) EXPECT_GE(line.size(), 3u);
}

TEST(SettingsHive, ValueLineKeepsLineBreaksOutOfTheFile) {
  const struct { const char* value; const char* line; } cases[] = {
      {"plain", "n=plain"},
      {"a\r\nb", "n=a||b"},
      {"a\nb\rc", "n=a||b||c"},
      {"", "n="},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::IniValueLine("n", c.value), c.line) << c.value;
}

TEST(SettingsHive, WriteIsAtomicAndLeavesNoTemporaryFiles) {
  const std::string dir = qvtest::MakeTempDir("hive");
  const std::string path = dir + "/s.ini";
  std::string error;
  ASSERT_TRUE(plat::WriteSettingsFile(path, "[a]\nx=1\n", error)) << error;
  ASSERT_TRUE(plat::WriteSettingsFile(path, "[a]\nx=2\n", error)) << error;
  std::string text;
  ASSERT_TRUE(plat::ReadSettingsFile(path, text));
  EXPECT_EQ(text, "[a]\nx=2\n");
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "s.ini" || name == "s.ini.lock") << name;
  }
}

TEST(SettingsHive, FailedWriteKeepsTargetAndLeavesNoTemporaryFile) {
  // The target is a folder with content, so the final rename must fail.
  const std::string dir = qvtest::MakeTempDir("hive");
  const std::string path = dir + "/s.ini";
  qvtest::WriteFile(path + "/keep", "old");
  std::string error;
  EXPECT_FALSE(plat::WriteSettingsFile(path, "new", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(qvtest::ReadFile(path + "/keep"), "old");
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "s.ini" || name == "s.ini.lock") << name;
  }
}

TEST(SettingsHive, SecondWriterIsKeptOutWhileTheLockIsHeld) {
  const std::string path = qvtest::MakeTempDir("hive") + "/s.ini";
  {
    plat::SettingsFileLock first(path);
    ASSERT_TRUE(first.Locked());
    plat::SettingsFileLock second(path, 0);
    EXPECT_FALSE(second.Locked());
  }
  plat::SettingsFileLock again(path, 0);
  EXPECT_TRUE(again.Locked());
}

TEST(SettingsHive, MissingFileOrFolderReadsEmpty) {
  std::string text = "stale";
  EXPECT_FALSE(plat::ReadSettingsFile(qvtest::SandboxDir() + "/nope/none.ini", text));
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(plat::ReadSettingsFile(qvtest::SandboxDir(), text));  // a folder is no file
}

TEST(SettingsHive, UserHiveLivesInTheConfigFolder) {
  const std::string path = plat::UserSettingsHivePath();
  EXPECT_EQ(path, std::string(std::getenv("XDG_CONFIG_HOME")) + "/quorvane/registry.ini");
}

}  // namespace
