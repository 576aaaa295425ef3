#include "shell/command_line_parse.h"

#include <algorithm>

#include "foundation/base/string_utils.h"
#include "foundation/system/command_line.h"
#include "foundation/system/paths.h"
#include "foundation/system/running_instance.h"
#include "foundation/system/shell_services.h"
#include "foundation/text/code_pages.h"
#include "platform/win/window_system.h"
#include "shell/char_tables.h"

namespace qv {

int32_t PathWidth = 400;

namespace {

constexpr const char* kEndOfSwitches = "--";

bool IsSwitchArgument(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-' && argument != kEndOfSwitches;
}

std::string KeepAsWritten(const std::string& text) { return text; }

}  // namespace

uint8_t SwitchIndex(const std::string& argument) {
  if (!IsSwitchArgument(argument)) return 255;
  const std::string name = argument.substr(1);
  for (int32_t i = 0; i < SWITCH_COUNT; ++i)
    if (SameTextAscii(name, SwitchNames[i].Short) || SameTextAscii(name, SwitchNames[i].Long))
      return static_cast<uint8_t>(i);
  return 255;
}

TParsedCommandLine ParseArguments(const std::vector<std::string>& arguments,
                                  std::string (*resolve)(const std::string&)) {
  if (resolve == nullptr) resolve = &KeepAsWritten;
  TParsedCommandLine parsed;
  bool printTo = false, print = false;
  for (const std::string& a : arguments) {
    if (a == kEndOfSwitches) break;
    const uint8_t index = SwitchIndex(a);
    printTo = printTo || index == swPrintTo;
    print = print || index == swPrint;
  }
  if (printTo) {
    // The file is the second argument, the printer the third, whatever else was given.
    for (const std::string& a : arguments)
      if (IsSwitchArgument(a)) parsed.Switches += " " + a;
    if (arguments.size() > 1 && !arguments[1].empty()) parsed.Files.push_back(arguments[1]);
  } else {
    bool switchesEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
      const std::string& a = arguments[i];
      if (!switchesEnded && a == kEndOfSwitches) {
        switchesEnded = true;
        continue;
      }
      if (switchesEnded || !IsSwitchArgument(a)) {
        if (!a.empty()) parsed.Files.push_back(resolve(a));
        continue;
      }
      parsed.Switches += " " + a;
      const uint8_t index = SwitchIndex(a);
      if (index >= swAssociate && index <= swUninstall && i + 1 < arguments.size()) {
        // The value goes with the switch even when it is empty.
        ++i;
        if (!arguments[i].empty()) parsed.Switches += " \"" + arguments[i] + "\"";
      }
    }
  }
  if (parsed.Files.empty())
    parsed.Mode = smNoFiles;
  else
    parsed.Mode = (print || printTo) ? smPrintFiles : smOpenFiles;
  return parsed;
}

int32_t PathWidthForScreen(int32_t screenWidth) {
  return std::max(300, std::min(800, screenWidth / 2));
}

void ParseCommandLine() {
  const plat::Rect screen = plat::IsWindowSystemStarted() ? plat::GetScreenRect() : plat::Rect{};
  PathWidth = PathWidthForScreen(screen.Width());
  const TParsedCommandLine parsed = ParseArguments(
      CommandLineArguments(), [](const std::string& a) { return ExpandToLongPath(a); });
  CommandLineFiles.Clear();
  for (const std::string& file : parsed.Files) CommandLineFiles.Add(file);
  CommandLineAction = parsed.Mode;
  ElevatedRelaunchSwitches = parsed.Switches;
  InitCharTables(UserLocaleLanguageId());
}

}  // namespace qv
