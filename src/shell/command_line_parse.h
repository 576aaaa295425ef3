#pragma once
// The program's own reading of its command line, once at start-up: which arguments are files to
// open (or print), what the run is for, and the switches as they were written (the parameters of
// a relaunch). Switches begin with "-" only, since "/" begins a path; "--" ends the switches, and
// every argument after it is a file.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// Start-up modes: what the files on the command line are for.
enum : uint8_t { smNoFiles = 0, smOpenFiles = 1, smPrintFiles = 2 };

struct TParsedCommandLine {
  std::vector<std::string> Files;  // the file arguments in order, as full paths
  // Every switch argument as written, each after a blank; a switch that takes a value is
  // followed by a blank and its value in double quotes.
  std::string Switches;
  uint8_t Mode = smNoFiles;
};

// The switch number (0 to 16) an argument names, its leading "-" removed (short name tried before
// long name at each number, any case); 255 when it names none or does not begin with "-".
uint8_t SwitchIndex(const std::string& argument);

// Reads the arguments (without the program itself). `resolve` turns a file argument into its full
// path; with "PrintTo" only the argument after the switch's own (the second) is a file, taken as
// written.
TParsedCommandLine ParseArguments(const std::vector<std::string>& arguments,
                                  std::string (*resolve)(const std::string&));

// The width in pixels to which paths are shortened for status messages and file lists.
int32_t PathWidthForScreen(int32_t screenWidth);

// The start-up's parse of the program's own command line: fills the start-up file list and mode
// (foundation/system/running_instance.h), the switch string of a relaunch, the path width and the
// shared character tables.
void ParseCommandLine();

// The path width the last ParseCommandLine computed.
extern int32_t PathWidth;

}  // namespace qv
