#include "foundation/settings/options_holder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "foundation/settings/ini_file.h"
#include "foundation/settings/registry_ex.h"
#include "support/test_env.h"

using namespace qv;

namespace {

// A program as the holder sees it: a command line, portable or not, its folders.
class FakeSite : public TOptionsHolderSite {
 public:
  explicit FakeSite(std::map<int32_t, std::string> switches = {}, bool portable = false)
      : switches_(std::move(switches)), portable_(portable) {
    docs_ = qvtest::MakeTempDir("docs") + "/";
    hive_ = qvtest::MakeTempDir("cfg") + "/quorvane/registry.ini";
  }
  bool IsSwitchPresent(int32_t index) override { return switches_.count(index) != 0; }
  std::string GetSwitchValue(int32_t index, const std::string& def) override {
    auto it = switches_.find(index);
    return it == switches_.end() || it->second.empty() ? def : it->second;
  }
  bool PortableMode() override { return portable_; }
  std::string DocumentsFolder() override { return docs_; }
  std::string RegistryHivePath() override { return hive_; }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  int32_t ActiveSplitOrientation() override { return split; }
  void OptionsApplied(const TOptions&) override { ++applied; }

  std::string docs_, hive_;
  std::vector<std::string> errors;
  int32_t split = -1;
  int applied = 0;

 private:
  std::map<int32_t, std::string> switches_;
  bool portable_;
};

// Stores a recognisable option value in a file of either kind.
void StoreDocsToKeep(TSettingsStorage& s, int32_t value) {
  s.KeyPrefix = kOptionsKeyPrefix;
  s.OpenKey("General");
  s.WriteInteger("DocsToKeep", value);
}

void MakeIni(const std::string& path, int32_t docsToKeep) {
  TIniFile ini(path, true);
  StoreDocsToKeep(ini, docsToKeep);
  ini.Save();
}

void MakeHive(const std::string& path, int32_t docsToKeep) {
  TRegistryEx reg(path);
  StoreDocsToKeep(reg, docsToKeep);
}

TEST(OptionsHolder, ChoiceOfStore) {
  const struct {
    const char* what;
    std::map<int32_t, std::string> switches;
    bool portable, iniExists;
    int32_t kind, docsToKeep;
    bool error;
  } cases[] = {
      {"default", {}, false, true, 3, 13, false},
      {"dls", {{swDontLoadSettings, ""}, {swLoadSettingsFromIni, ""}}, false, true, 1, 10, false},
      {"lsi", {{swLoadSettingsFromIni, ""}}, false, true, 2, 12, false},
      {"lsi missing", {{swLoadSettingsFromIni, ""}}, false, false, 1, 10, true},
      {"lsr portable", {{swLoadSettingsFromReg, ""}}, true, true, 3, 13, false},
      {"portable", {}, true, true, 2, 12, false},
      {"portable without ini", {}, true, false, 3, 13, false},
  };
  for (const auto& c : cases) {
    FakeSite site(c.switches, c.portable);
    MakeHive(site.hive_, 13);
    if (c.iniExists) MakeIni(site.docs_ + kPortableIniName, 12);
    TOptionsHolder holder(&site);
    holder.LoadOptions();
    EXPECT_EQ(holder.StorageKind(), c.kind) << c.what;
    EXPECT_EQ(holder.Options.General.DocsToKeep, c.docsToKeep) << c.what;
    EXPECT_EQ(holder.GetStorage().KeyPrefix, kOptionsKeyPrefix) << c.what;
    if (c.error) {
      ASSERT_EQ(site.errors.size(), 1u) << c.what;
      EXPECT_EQ(site.errors[0],
                "Cannot open file \"" + site.docs_ + kPortableIniName + "\".");
    } else {
      EXPECT_TRUE(site.errors.empty()) << c.what;
    }
  }
}

TEST(OptionsHolder, SettingsFileNameWithoutFolderIsInTheDocumentsFolder) {
  FakeSite site({{swLoadSettingsFromIni, ""}, {swSettingsFileName, "mine.ini"}});
  MakeIni(site.docs_ + "mine.ini", 21);
  TOptionsHolder holder(&site);
  holder.LoadOptions();
  EXPECT_EQ(holder.Options.General.DocsToKeep, 21);
  EXPECT_EQ(holder.ResolveSettingsFileName("/abs/x.ini"), "/abs/x.ini");
  EXPECT_EQ(holder.ResolveSettingsFileName("x.ini"), site.docs_ + "x.ini");
}

TEST(OptionsHolder, SaveTargets) {
  const struct {
    const char* what;
    std::map<int32_t, std::string> switches;
    bool portable;
    bool wantIni, wantHive;
  } cases[] = {
      {"default", {}, false, false, true},
      {"dss wins over ssi", {{swDontSaveSettings, ""}, {swSaveSettingsToIni, ""}}, false, false, false},
      {"ssi", {{swSaveSettingsToIni, ""}}, false, true, false},
      {"ssr portable", {{swSaveSettingsToReg, ""}}, true, false, true},
      {"portable", {}, true, true, false},
  };
  for (const auto& c : cases) {
    FakeSite site(c.switches, c.portable);
    TOptionsHolder holder(&site);
    holder.LoadOptions();
    holder.Options.General.DocsToKeep = 7;
    EXPECT_TRUE(holder.Save()) << c.what;
    const std::string ini = site.docs_ + kPortableIniName;
    EXPECT_EQ(std::filesystem::exists(ini), c.wantIni) << c.what;
    EXPECT_EQ(std::filesystem::exists(site.hive_), c.wantHive) << c.what;
    EXPECT_EQ(holder.Flags, 0) << c.what;
    if (c.wantIni) {
      TIniFile back(ini, false);
      back.KeyPrefix = kOptionsKeyPrefix;
      back.OpenKey("General");
      EXPECT_EQ(back.ReadInteger("DocsToKeep", 0, 30, -1), 7) << c.what;
    }
    if (c.wantHive) {
      TRegistryEx back(site.hive_);
      back.KeyPrefix = kOptionsKeyPrefix;
      back.OpenKey("General");
      EXPECT_EQ(back.ReadInteger("DocsToKeep", 0, 30, -1), 7) << c.what;
    }
  }
}

TEST(OptionsHolder, PortableCopyReadsTheHiveAndWritesTheIniFile) {
  FakeSite site({}, true);
  MakeHive(site.hive_, 19);
  TOptionsHolder holder(&site);
  holder.LoadOptions();
  EXPECT_EQ(holder.Options.General.DocsToKeep, 19);
  ASSERT_TRUE(holder.Save());
  TOptionsHolder next(&site);
  next.LoadOptions();
  EXPECT_EQ(next.StorageKind(), 2);
  EXPECT_EQ(next.Options.General.DocsToKeep, 19);
}

TEST(OptionsHolder, FailedSaveIsReportedAndKeepsTheOldFile) {
  FakeSite site({{swSaveSettingsToIni, ""}});
  const std::string ini = site.docs_ + kPortableIniName;
  qvtest::WriteFile(ini + "/in-the-way", "x");  // a folder where the file should go
  TOptionsHolder holder(&site);
  EXPECT_FALSE(holder.Save());
  ASSERT_EQ(site.errors.size(), 1u);
  EXPECT_NE(site.errors[0].find(ini), std::string::npos);
  EXPECT_EQ(holder.Flags, 0);
  EXPECT_EQ(qvtest::ReadFile(ini + "/in-the-way"), "x");
}

TEST(OptionsHolder, RunThatOnlyLoadsLeavesTheHiveAsItWas) {
  FakeSite site({{swDontSaveSettings, ""}});
  const std::string text = "[\\Software\\Quorvane Word Processor\\General]\nDocsToKeep=12\n";
  qvtest::WriteFile(site.hive_, text);
  {
    TOptionsHolder holder(&site);
    holder.LoadOptions();
    EXPECT_EQ(holder.Options.General.DocsToKeep, 12);
    EXPECT_TRUE(holder.Save());  // "DontSaveSettings": nothing is written
  }  // the holder frees its store
  EXPECT_EQ(qvtest::ReadFile(site.hive_), text);
}

TEST(OptionsHolder, ReadOnlySettingsFileIsReportedAndKept) {
  // Reported like any file that cannot be created, as for a folder without write permission.
  const struct {
    const char* what;
    std::map<int32_t, std::string> switches;
    bool ini;
  } cases[] = {{"hive", {}, false}, {"ini", {{swSaveSettingsToIni, ""}}, true}};
  for (const auto& c : cases) {
    FakeSite site(c.switches);
    const std::string file = c.ini ? site.docs_ + kPortableIniName : site.hive_;
    qvtest::WriteFile(file, "[\\Software\\Quorvane Word Processor\\General]\nDocsToKeep=3\n");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    TOptionsHolder holder(&site);
    EXPECT_FALSE(holder.Save()) << c.what;
    ASSERT_EQ(site.errors.size(), 1u) << c.what;
    EXPECT_EQ(site.errors[0], "Cannot create file \"" + file + "\"") << c.what;
    EXPECT_EQ(qvtest::ReadFile(file), "[\\Software\\Quorvane Word Processor\\General]\nDocsToKeep=3\n");
    ::chmod(file.c_str(), 0644);
  }
}

TEST(OptionsHolder, SplitOrientationAndApply) {
  FakeSite site;
  TOptionsHolder holder(&site);
  holder.Options.View.Flags = 0;
  site.split = 1;
  holder.RememberSplitOrientation();
  EXPECT_EQ(holder.Options.View.Flags & 0x1000, 0x1000);
  site.split = 0;
  holder.RememberSplitOrientation();
  EXPECT_EQ(holder.Options.View.Flags & 0x1000, 0);

  TOptions edited = holder.Options;
  edited.General.DocsToKeep = 2;
  edited.General.FileLists[0].Items = {"/a", "/b", "/c"};
  edited.General.FileLists[4].Items = {"/a", "/b", "/c"};
  edited.General.FileLists[4].Locked = true;
  holder.ApplyOptions(&edited);
  EXPECT_EQ(holder.Options.General.FileLists[0].Items.size(), 2u);
  EXPECT_EQ(holder.Options.General.FileLists[4].Items.size(), 3u);
  EXPECT_EQ(site.applied, 1);
  EXPECT_EQ(holder.GetDefaultTableFileName(), site.docs_ + "Default Table.rtf");
}

TEST(OptionsHolder, ToolbarAlignAndPlacementSuffix) {
  TOptionsHolder holder;
  const struct { uint8_t style, align; int32_t want; } cases[] = {
      {1, 2, 0}, {1, 1, 0}, {0, 2, 2}, {2, 1, 1},
  };
  for (const auto& c : cases) {
    holder.Options.View.ToolbarStyle = c.style;
    holder.Options.View.ToolbarAlign = c.align;
    EXPECT_EQ(holder.GetToolbarAlign(), c.want);
  }
  EXPECT_EQ(WindowPlacementSuffix(1920, 1080), "_1920x1080");
  EXPECT_EQ(holder.Options.Autocorrect.WebDomains.size(), 11u);
}

TEST(ControlBoardTabs, IdsAndNormalising) {
  const int32_t ids[11] = {0, 1, 7, 2, 3, 4, 9, 8, 10, 5, 6};
  for (int32_t tab = 0; tab < 11; ++tab) {
    EXPECT_EQ(ControlBoardTabToId(tab), ids[tab]);
    EXPECT_EQ(ControlBoardIdToTab(ids[tab]), tab);
  }
  EXPECT_EQ(ControlBoardIdToTab(42), 0);

  const struct {
    const char* what;
    int32_t active, second;
    uint32_t disabled, pane;
    uint8_t align;
    int32_t wantActive, wantSecond;
    uint32_t wantDisabled, wantPane;
    uint8_t wantAlign;
  } cases[] = {
      {"all off", 3, 0, 0x7FF, 0, 0, 0, 0, 0x7FE, 0, 0},
      {"active off", 3, 0, 0x008, 0, 0, 10, 0, 0x008, 0, 0},
      {"no split empties pane", 0, 1, 0, 0x6, 1, 0, 1, 0, 0, 1},
      {"pane only active", 2, 2, 0, 0x4, 2, 2, 2, 0, 0, 0},
      {"second not in pane", 0, 1, 0x010, 0x31, 2, 0, 5, 0x010, 0x20, 2},
      {"second kept", 0, 4, 0, 0x30, 2, 0, 4, 0, 0x30, 2},
  };
  for (const auto& c : cases) {
    TViewOptions v;
    v.CBActiveTab = c.active;
    v.CBSecondTab = c.second;
    v.CBDisabledTabs = c.disabled;
    v.CBSecondPaneTabs = c.pane;
    v.CBAlign = c.align;
    NormalizeControlBoardTabs(v);
    EXPECT_EQ(v.CBActiveTab, c.wantActive) << c.what;
    EXPECT_EQ(v.CBSecondTab, c.wantSecond) << c.what;
    EXPECT_EQ(v.CBDisabledTabs, c.wantDisabled) << c.what;
    EXPECT_EQ(v.CBSecondPaneTabs, c.wantPane) << c.what;
    EXPECT_EQ(v.CBAlign, c.wantAlign) << c.what;
  }
  TViewOptions v;
  v.CBActiveTab = 1;
  v.CBSecondTab = 4;
  v.CBAlign = 2;
  EXPECT_TRUE(IsControlBoardTabShown(v, 4));
  v.CBAlign = 0;
  EXPECT_FALSE(IsControlBoardTabShown(v, 4));
  EXPECT_TRUE(IsControlBoardTabShown(v, 1));
}

}  // namespace
