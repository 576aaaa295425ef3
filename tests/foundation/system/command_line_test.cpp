#include "foundation/system/command_line.h"

#include <gtest/gtest.h>

#include "foundation/system/paths.h"

using namespace qv;

namespace {

class CommandLine : public ::testing::Test {
 protected:
  void TearDown() override { SetCommandLineArguments({}); }
};

TEST_F(CommandLine, SwitchesByShortOrLongNameInAnyCase) {
  const struct {
    std::vector<std::string> args;
    int32_t index;
    bool present;
  } cases[] = {
      {{"-LSI"}, swLoadSettingsFromIni, true},
      {{"-lsi"}, swLoadSettingsFromIni, true},
      {{"a.rtf", "-loadsettingsfromini"}, swLoadSettingsFromIni, true},
      {{"/lsi"}, swLoadSettingsFromIni, false},  // "/" begins a path
      {{"--lsi"}, swLoadSettingsFromIni, false},
      {{"-lsix"}, swLoadSettingsFromIni, false},
      {{"-p"}, swPrintTo, false},
      {{"-pt"}, swPrintTo, true},
      {{"--", "-pt"}, swPrintTo, false},  // after "--" every argument is a file
      {{"-pt", "--"}, swPrintTo, true},
      {{}, swPrint, false},
  };
  for (const auto& c : cases) {
    SetCommandLineArguments(c.args);
    EXPECT_EQ(IsSwitchPresent(c.index), c.present) << (c.args.empty() ? "" : c.args.back());
  }
  SetCommandLineArguments({"x", "-N"});
  EXPECT_EQ(FindSwitchArgument("n"), 2);
  EXPECT_EQ(FindSwitchArgument("m"), 0);
}

TEST_F(CommandLine, SwitchValues) {
  SetCommandLineArguments({"-sfn", "/etc/../srv/q.ini", "-assoc"});
  EXPECT_EQ(GetSwitchValue(swSettingsFileName, "def"), "/srv/q.ini");
  EXPECT_EQ(GetSwitchValue(swAssociate, "def"), "def");  // last argument: no value
  EXPECT_EQ(GetSwitchValue(swUninstall, "def"), "def");
  SetCommandLineArguments({"-SettingsFileName", "rel.ini"});
  EXPECT_EQ(GetSwitchValue(swSettingsFileName, ""), GetCurrentFolder() + "rel.ini");
}

TEST_F(CommandLine, FindSwitchIndex) {
  const struct {
    const char* text;
    int32_t index;
  } cases[] = {
      {"p", swPrint},      {"-Print", swPrint},     {"printto", swPrintTo},
      {"-UI", swUninstall}, {"Uninstall", swUninstall}, {"x", 255}, {"", 255}, {"/p", 255},
  };
  for (const auto& c : cases) EXPECT_EQ(FindSwitchIndex(c.text), c.index) << c.text;
}

}  // namespace
