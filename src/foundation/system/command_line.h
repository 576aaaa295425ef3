#pragma once
// Command-line switches: "-" followed by a switch's short or long name (any case). A "/" starts a
// path, never a switch, and "--" ends the switches. The shell parses the rest of the command line.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

enum : int32_t {
  swPrint = 0, swPrintTo, swNoPrintDialog, swDontCreateNewDoc, swRestored, swMaximized,
  swDontLoadSettings, swLoadSettingsFromIni, swLoadSettingsFromReg, swDontSaveSettings,
  swSaveSettingsToIni, swSaveSettingsToReg, swFullScreen, swAssociate, swSettingsFileName,
  swShutDown, swUninstall,
  SWITCH_COUNT
};

struct TSwitchName {
  const char* Short;
  const char* Long;
  bool TakesValue;
};
extern const TSwitchName SwitchNames[SWITCH_COUNT];

// The program's arguments without the program itself; read from /proc/self/cmdline until the
// start-up sets them.
const std::vector<std::string>& CommandLineArguments();
void SetCommandLineArguments(std::vector<std::string> args);

// Position (from 1) of the first argument "-name"; 0 when none.
int32_t FindSwitchArgument(const std::string& name);
bool IsSwitchPresent(int32_t index);
// The argument after the switch, expanded to a full path; `def` when absent or last.
std::string GetSwitchValue(int32_t index, const std::string& def);
// The switch a text names (with or without its "-"); 255 when none.
int32_t FindSwitchIndex(const std::string& text);

}  // namespace qv
