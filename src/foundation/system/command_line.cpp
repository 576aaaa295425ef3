#include "foundation/system/command_line.h"

#include <fstream>
#include <iterator>
#include <mutex>

#include "foundation/system/paths.h"
#include "foundation/base/string_utils.h"

namespace qv {

const TSwitchName SwitchNames[SWITCH_COUNT] = {
    {"p", "Print", false},
    {"pt", "PrintTo", false},
    {"npd", "NoPrintDialog", false},
    {"n", "DontCreateNewDoc", false},
    {"r", "Restored", false},
    {"m", "Maximized", false},
    {"dls", "DontLoadSettings", false},
    {"lsi", "LoadSettingsFromIni", false},
    {"lsr", "LoadSettingsFromReg", false},
    {"dss", "DontSaveSettings", false},
    {"ssi", "SaveSettingsToIni", false},
    {"ssr", "SaveSettingsToReg", false},
    {"fs", "FullScreen", false},
    {"assoc", "Associate", true},
    {"sfn", "SettingsFileName", true},
    {"sd", "ShutDown", true},
    {"ui", "Uninstall", true},
};

namespace {

std::vector<std::string> ReadOwnCommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  if (!args.empty()) args.erase(args.begin());  // the program itself
  return args;
}

struct Args {
  std::vector<std::string> list;
  bool set = false;
};

Args& State() {
  static Args* state = new Args();
  return *state;
}

}  // namespace

const std::vector<std::string>& CommandLineArguments() {
  Args& s = State();
  if (!s.set) {
    s.list = ReadOwnCommandLine();
    s.set = true;
  }
  return s.list;
}

void SetCommandLineArguments(std::vector<std::string> args) {
  State().list = std::move(args);
  State().set = true;
}

int32_t FindSwitchArgument(const std::string& name) {
  const auto& args = CommandLineArguments();
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") break;  // the arguments after it are files, whatever they look like
    if (args[i].size() > 1 && args[i][0] == '-' && SameTextAscii(args[i].substr(1), name))
      return static_cast<int32_t>(i + 1);
  }
  return 0;
}

namespace {

int32_t FindSwitch(int32_t index) {
  if (index < 0 || index >= SWITCH_COUNT) return 0;
  const int32_t p = FindSwitchArgument(SwitchNames[index].Short);
  return p ? p : FindSwitchArgument(SwitchNames[index].Long);
}

}  // namespace

bool IsSwitchPresent(int32_t index) { return FindSwitch(index) != 0; }

std::string GetSwitchValue(int32_t index, const std::string& def) {
  const int32_t p = FindSwitch(index);
  const auto& args = CommandLineArguments();
  if (p == 0 || p >= static_cast<int32_t>(args.size())) return def;
  return ExpandToLongPath(args[static_cast<size_t>(p)]);
}

int32_t FindSwitchIndex(const std::string& text) {
  const std::string name = (!text.empty() && text[0] == '-') ? text.substr(1) : text;
  for (int32_t i = 0; i < SWITCH_COUNT; ++i)
    if (SameTextAscii(name, SwitchNames[i].Short) || SameTextAscii(name, SwitchNames[i].Long))
      return i;
  return 255;
}

}  // namespace qv
