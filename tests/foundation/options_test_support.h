#pragma once
// Shared fixture of the options tests: a private documents folder, a fixed machine context, and
// loading from ini text.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation/base/service_slot.h"
#include "foundation/settings/ini_file.h"
#include "foundation/settings/options_io.h"
#include "foundation/settings/stored_path.h"
#include "support/test_env.h"

using namespace qv;

class OptionsTest : public testing::Test {
 protected:
  static constexpr int32_t kToday = 2026 * 365 + 12 * 31 + 10;
  std::string Dir;
  TOptionsContext Ctx;
  TOptions Opt;
  THolderSettings Holder;

  void SetUp() override {
    Dir = qvtest::MakeTempDir("opt");
    Ctx.DataFolder = Dir + "/docs/";
    Ctx.TemplatesFolder = Ctx.DataFolder + "Templates/";
    std::filesystem::create_directories(Ctx.TemplatesFolder);
    Ctx.UserName = "ann";
    Ctx.TodayDayIndex = kToday;
    Ctx.RtfClipboardFormat = 49300;
    SetStoredPathContext({Ctx.DataFolder, "", false, false});
  }
  void TearDown() override { ResetStoredPathContext(); }

  static std::string Section(const std::string& name) {
    return "[" + std::string(kOptionsKeyPrefix) + name + "]\n";
  }
  // Loads the options from an ini file holding `text`.
  void LoadIniText(const std::string& text) {
    const std::string file = Dir + "/in.ini";
    qvtest::WriteFile(file, text);
    TIniFile ini(file, false);
    LoadAllOptions(ini, Ctx, Opt, Holder);
  }
  // Saves the options to an ini file and returns its text.
  std::string SaveIniText(TOptions& options, const THolderSettings& holder) {
    const std::string file = Dir + "/out.ini";
    {
      TIniFile ini(file, true);
      SaveAllOptions(ini, Ctx, options, holder);
      ini.Save();
    }
    return qvtest::ReadFile(file);
  }
};
