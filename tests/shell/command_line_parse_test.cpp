#include "shell/command_line_parse.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

std::string Resolved(const std::string& a) { return "/full/" + a; }

TEST(CommandLineParse, FilesModeAndSwitchString) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> files;
    std::string switches;
    uint8_t mode;
  } cases[] = {
      {{}, {}, "", smNoFiles},
      {{"a.rtf", "b.txt"}, {"/full/a.rtf", "/full/b.txt"}, "", smOpenFiles},
      {{"-P", "a.rtf"}, {"/full/a.rtf"}, " -P", smPrintFiles},
      {{"-print", "a.rtf"}, {"/full/a.rtf"}, " -print", smPrintFiles},
      {{"-p"}, {}, " -p", smNoFiles},  // printing wants a file
      // An unknown switch stays in the string; the file opens.
      {{"-x", "a.rtf"}, {"/full/a.rtf"}, " -x", smOpenFiles},
      // A "/" begins a path, not a switch.
      {{"/p", "a.rtf"}, {"/full//p", "/full/a.rtf"}, "", smOpenFiles},
      // The value of a switch that takes one is quoted and never a file ...
      {{"-sd", "a.rtf"}, {}, " -sd \"a.rtf\"", smNoFiles},
      {{"-SettingsFileName", "q.ini", "a.rtf"}, {"/full/a.rtf"},
       " -SettingsFileName \"q.ini\"", smOpenFiles},
      // ... an empty value is skipped all the same ...
      {{"-assoc", "", "a.rtf"}, {"/full/a.rtf"}, " -assoc", smOpenFiles},
      // ... and a switch that is the last argument has none.
      {{"a.rtf", "-sfn"}, {"/full/a.rtf"}, " -sfn", smOpenFiles},
      // After "--" everything is a file.
      {{"-n", "--", "-p", "--"}, {"/full/-p", "/full/--"}, " -n", smOpenFiles},
      // PrintTo: the second argument as written, the third the printer.
      {{"-pt", "doc.rtf", "Office"}, {"doc.rtf"}, " -pt", smPrintFiles},
      {{"-PrintTo", "", "Office"}, {}, " -PrintTo", smNoFiles},
  };
  for (const auto& c : cases) {
    const TParsedCommandLine p = ParseArguments(c.args, &Resolved);
    const std::string label = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(p.Files, c.files) << label;
    EXPECT_EQ(p.Switches, c.switches) << label;
    EXPECT_EQ(p.Mode, c.mode) << label;
  }
}

TEST(CommandLineParse, SwitchIndexAndPathWidth) {
  EXPECT_EQ(SwitchIndex("-pt"), 1);
  EXPECT_EQ(SwitchIndex("-NOPRINTDIALOG"), 2);
  EXPECT_EQ(SwitchIndex("-ui"), 16);
  EXPECT_EQ(SwitchIndex("pt"), 255);
  EXPECT_EQ(SwitchIndex("/pt"), 255);
  EXPECT_EQ(SwitchIndex("--"), 255);
  EXPECT_EQ(SwitchIndex("-"), 255);
  EXPECT_EQ(PathWidthForScreen(0), 300);
  EXPECT_EQ(PathWidthForScreen(1366), 683);
  EXPECT_EQ(PathWidthForScreen(3840), 800);
}

}  // namespace
