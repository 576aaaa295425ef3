#include "platform/system/settings_hive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

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

TEST(SettingsHive, ByteOrderMarkIsSkipped) {
  // An editor that saves with a UTF-8 byte-order mark must not cost the first section.
  for (const char* text : {"\xEF\xBB\xBF[First]\nv=1\n[Second]\nw=2\n",
                           "\xEF\xBB\xBF[First]\r\nv=1\r\n[Second]\r\nw=2\r\n"}) {
    const auto sections = plat::ParseIniText(text);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].Name, "First");
    EXPECT_EQ(sections[0].Lines, (std::vector<std::string>{"v=1"}));
  }
}

TEST(SettingsHive, EncodedValuesReadBackExactly) {
  // Written as a line of a file and parsed again: a line break is "||", a CR on its own stays,
  // also at the very end of the value where it meets the line end.
  static const char kNul[] = "a\0b";
  const struct {
    std::string value, back;
  } cases[] = {
      {"plain", "plain"},   {"a\r\nb", "a||b"}, {"a\nb", "a||b"},        {"a\rb", "a\rb"},
      {"tail\r", "tail\r"}, {"\r", "\r"},       {"\r\r", "\r\r"},        {"a\r\r\nb", "a\r||b"},
      {"x||y", "x||y"},     {"", ""},           {std::string(kNul, 3), std::string(kNul, 3)},
  };
  for (const auto& c : cases) {
    std::string text;
    plat::AppendIniLine(text, "[S]");
    plat::AppendIniLine(text, "n=" + plat::EncodeIniValue(c.value));
    plat::AppendIniLine(text, "after=1");
    const auto sections = plat::ParseIniText(text, true);
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].Lines, (std::vector<std::string>{"n=" + c.back, "after=1"})) << c.value;
    // Encoding what was read changes nothing, so rewriting a file keeps every value.
    EXPECT_EQ(plat::EncodeIniValue(c.back), c.back);
  }
}

std::set<std::string> NamesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(SettingsHive, WriteGoesThroughSymbolicLinksToTheirFile) {
  const std::string dir = qvtest::MakeTempDir("links");
  const std::string real = dir + "/real", cfg = dir + "/cfg";
  std::filesystem::create_directories(real);
  std::filesystem::create_directories(cfg);
  qvtest::WriteFile(real + "/s.ini", "old");
  const struct {
    const char* name;
    std::string link, to, file;
  } cases[] = {
      {"relative link", cfg + "/rel.ini", "../real/s.ini", real + "/s.ini"},
      {"absolute link", cfg + "/abs.ini", real + "/s.ini", real + "/s.ini"},
      {"link to a link", cfg + "/chain.ini", "rel.ini", real + "/s.ini"},
      {"link to a file not made yet", cfg + "/new.ini", "../real/new.ini", real + "/new.ini"},
  };
  for (const auto& c : cases) std::filesystem::create_symlink(c.to, c.link);
  for (const auto& c : cases) {
    std::string error;
    ASSERT_TRUE(plat::WriteSettingsFile(c.link, std::string("by ") + c.name, error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(c.link)) << c.name;
    EXPECT_EQ(qvtest::ReadFile(c.file), std::string("by ") + c.name);
  }
  // No temporary file is left in either folder.
  EXPECT_EQ(NamesIn(real), (std::set<std::string>{"s.ini", "new.ini"}));
  for (const std::string& name : NamesIn(cfg)) EXPECT_TRUE(name.ends_with(".ini") || name.ends_with(".lock")) << name;
  // A loop of links is refused and creates nothing.
  std::filesystem::create_symlink("loop2.ini", cfg + "/loop1.ini");
  std::filesystem::create_symlink("loop1.ini", cfg + "/loop2.ini");
  std::string error;
  EXPECT_FALSE(plat::WriteSettingsFile(cfg + "/loop1.ini", "x", error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_symlink(cfg + "/loop1.ini"));
}

TEST(SettingsHive, ReadOnlyFileIsNotReplaced) {
  // Reported as for a folder without write permission, directly or through a link.
  const std::string dir = qvtest::MakeTempDir("ro");
  const std::string file = dir + "/s.ini";
  qvtest::WriteFile(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  std::filesystem::create_symlink("s.ini", dir + "/link.ini");
  for (const std::string& path : {file, dir + "/link.ini"}) {
    std::string error;
    EXPECT_FALSE(plat::WriteSettingsFile(path, "new", error)) << path;
    EXPECT_EQ(error, "Cannot create file \"" + path + "\": " + std::strerror(EACCES));
  }
  EXPECT_EQ(qvtest::ReadFile(file), "old");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.ini"));
  ::chmod(file.c_str(), 0644);
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
