// File dialog logic without windows: filters, listing, typed names and their checks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/controls/dialogs/file_choice.h"
#include "platform/controls/dialogs/file_filter.h"
#include "support/test_env.h"

namespace {
using namespace plat;

TEST(FileFilter, ParsesPairsAndPatterns) {
  auto f = ParseFilter("Text files (*.txt)|*.txt|Pictures| *.png ; *.jpg |Broken");
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].description, "Text files (*.txt)");
  EXPECT_EQ(f[0].patterns, std::vector<std::string>{"*.txt"});
  EXPECT_EQ(f[1].patterns, (std::vector<std::string>{"*.png", "*.jpg"}));
  EXPECT_TRUE(ParseFilter("").empty());
  EXPECT_EQ(ParseFilter("All|").at(0).patterns, std::vector<std::string>{"*"});
}

TEST(FileFilter, MatchesWildcards) {
  struct Case { const char* name; const char* pattern; bool match; };
  const Case cases[] = {
      {"a.txt", "*.txt", true},       {"README.TXT", "*.txt", true},  {"a.txt.bak", "*.txt", false},
      {"noext", "*.*", true},         {"a.rtf", "?.rtf", true},       {"ab.rtf", "?.rtf", false},
      {"\xC3\xA9.rtf", "?.rtf", true}, {"report1.doc", "rep*1*.doc", true},
      {"aaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
  EXPECT_EQ(PatternExtension("*.rtf"), "rtf");
  EXPECT_EQ(PatternExtension("*.*"), "");
}

TEST(FileChoice, ListsFoldersFirstAndOnlyMatchingFiles) {
  std::string dir = qvtest::MakeTempDir("list");
  qvtest::WriteFile(dir + "/b.txt", "x");
  qvtest::WriteFile(dir + "/A.TXT", "xy");
  qvtest::WriteFile(dir + "/c.rtf", "x");
  qvtest::WriteFile(dir + "/.hidden.txt", "x");
  qvtest::WriteFile(dir + "/sub/z.txt", "x");
  FolderListing l = ListFolder(dir, {"*.txt"});
  ASSERT_TRUE(l.ok);
  std::vector<std::string> names;
  for (auto& e : l.entries) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"sub", "A.TXT", "b.txt"}));
  EXPECT_TRUE(l.entries[0].isFolder);
  EXPECT_EQ(l.entries[1].size, 2u);
  FolderListing missing = ListFolder(dir + "/nope", {"*"});
  EXPECT_FALSE(missing.ok);
  EXPECT_TRUE(missing.entries.empty());
}

TEST(FileChoice, PathsAndNameLists) {
  EXPECT_EQ(NormalizePath("/a/b/../c/./"), "/a/c");
  EXPECT_EQ(NormalizePath("/.."), "/");
  EXPECT_EQ(JoinPath("/a", "/x/y"), "/x/y");
  EXPECT_EQ(JoinPath("/a/", "b.rtf"), "/a/b.rtf");
  EXPECT_EQ(ParentFolder("/x"), "/");
  EXPECT_EQ(ExtensionOf("/a.b/.profile"), "");
  EXPECT_EQ(ExtensionOf("/a/b.tar.gz"), "gz");
  EXPECT_EQ(SplitNameList(R"("a b.txt" "c.txt")"), (std::vector<std::string>{"a b.txt", "c.txt"}));
  EXPECT_EQ(SplitNameList("  plain name.txt "), std::vector<std::string>{"plain name.txt"});
  EXPECT_TRUE(SplitNameList("   ").empty());
  EXPECT_EQ(JoinNameList({"a", "b"}), R"("a" "b")");
}

TEST(FileChoice, DecidesWhatTypedNamesDo) {
  std::string dir = qvtest::MakeTempDir("names");
  qvtest::WriteFile(dir + "/old.rtf", "x");
  qvtest::WriteFile(dir + "/two.txt", "x");
  qvtest::WriteFile(dir + "/sub/in.rtf", "x");
  qvtest::WriteFile(dir + "/locked.rtf", "x");
  ::chmod((dir + "/locked.rtf").c_str(), 0444);
  const uint32_t saveOpts = fd::OverwritePrompt | fd::NoReadOnlyReturn;
  const uint32_t openOpts = fd::FileMustExist | fd::AllowMultiSelect;
  struct Case {
    const char* text; bool save; uint32_t options; NameAction action; std::vector<std::string> files;
    std::string folder;
  };
  const Case cases[] = {
      {"", true, saveOpts, NameAction::None, {}, ""},
      {"new", true, saveOpts, NameAction::Accept, {dir + "/new.rtf"}, ""},
      {"new.", true, saveOpts, NameAction::Accept, {dir + "/new."}, ""},
      {"old", true, saveOpts, NameAction::AskOverwrite, {dir + "/old.rtf"}, ""},
      {"old", true, 0, NameAction::Accept, {dir + "/old.rtf"}, ""},
      {"locked", true, saveOpts, NameAction::Refuse, {}, ""},
      {"nofolder/x", true, 0, NameAction::Refuse, {}, ""},
      {"sub", true, saveOpts, NameAction::GoToFolder, {}, dir + "/sub"},
      {"..", false, openOpts, NameAction::GoToFolder, {}, ParentFolder(dir)},
      {"*.txt", false, openOpts, NameAction::ApplyPattern, {}, dir},
      {"two", false, openOpts, NameAction::Accept, {dir + "/two"}, ""},  // only the missing .rtf: refused below
      {"sub/in", false, openOpts, NameAction::Accept, {dir + "/sub/in.rtf"}, ""},
      {"missing.rtf", false, openOpts, NameAction::Refuse, {}, ""},
      {R"("old.rtf" "two.txt")", false, openOpts, NameAction::Accept, {dir + "/old.rtf", dir + "/two.txt"}, ""},
      {R"("old.rtf" "gone.txt")", false, openOpts, NameAction::Refuse, {}, ""},
      {R"("old.rtf" "two.txt")", false, fd::FileMustExist, NameAction::Refuse, {}, ""},
  };
  for (const Case& c : cases) {
    NameRequest r{dir, c.text, c.save, c.options, "rtf"};
    NameDecision d = DecideNames(r);
    // "two" exists only as "two.txt": with FileMustExist the open dialog refuses "two.rtf".
    // The superuser may write any file, so a read-only file is no obstacle for it.
    if (std::string(c.text) == "locked" && ::geteuid() == 0) {
      EXPECT_EQ(d.action, NameAction::AskOverwrite);
      continue;
    }
    if (std::string(c.text) == "two") {
      EXPECT_EQ(d.action, NameAction::Refuse);
      continue;
    }
    EXPECT_EQ(d.action, c.action) << c.text;
    if (c.action == NameAction::Accept || c.action == NameAction::AskOverwrite) {
      EXPECT_EQ(d.files, c.files) << c.text;
    }
    if (!c.folder.empty()) {
      EXPECT_EQ(d.folder, c.folder) << c.text;
    }
  }
}

TEST(FileChoice, OpenKeepsAnExistingNameWithoutExtension) {
  std::string dir = qvtest::MakeTempDir("noext");
  qvtest::WriteFile(dir + "/Makefile", "x");
  NameDecision d = DecideNames({dir, "Makefile", false, fd::FileMustExist, "rtf"});
  ASSERT_EQ(d.action, NameAction::Accept);
  EXPECT_EQ(d.files, std::vector<std::string>{dir + "/Makefile"});
}

TEST(FileChoice, ResultOptionsTrackExtensionAndReadOnly) {
  uint32_t o = ResultOptions(fd::ExtensionDifferent | fd::OverwritePrompt, "/a/x.RTF", "rtf", false);
  EXPECT_EQ(o, fd::OverwritePrompt);
  o = ResultOptions(fd::ReadOnly, "/a/x.txt", "rtf", true);
  EXPECT_EQ(o, fd::ReadOnly | fd::ExtensionDifferent);
}

}  // namespace
