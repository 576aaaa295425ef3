#pragma once
// The desktop's shell services: opening a file or address with the user's handler (xdg-open),
// starting a program, desktop entry files (.desktop) as shortcuts, the trash, and who runs the
// program. Elevation does not exist here: a program runs with the rights of its user.
#include <string>
#include <vector>

namespace plat {

enum class ShellResult {
  Ok,         // the handler took the target
  NoHandler,  // no opener program is installed (or it could not be started)
  Failed,     // the opener ran and reported that it could not open the target
};

// Opens a file or address with the desktop's handler: runs "xdg-open" (found on PATH) with the
// target as its one argument. Waits a short while for the opener's answer; an opener still busy
// after that has started the handler and counts as Ok (it is reaped later).
ShellResult OpenWithDesktop(const std::string& target);

// Starts a program with arguments in a working folder (empty: the current one) without waiting
// for it; false when it could not be started.
bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingFolder);

// A desktop entry: Type "Application" runs Exec in Path, Type "Link" opens URL.
struct DesktopEntry {
  std::string Type = "Application";
  std::string Name;
  std::string Comment;
  std::string Exec;  // the command line, in the entry's own quoting (see QuoteExecArgument)
  std::string Path;  // working folder
  std::string Url;
};
// Writes the entry to a temporary file beside `file` and renames it over `file`.
bool WriteDesktopEntry(const std::string& file, const DesktopEntry& entry);
// Reads the keys of the [Desktop Entry] group (files over 1 MB are refused).
bool ReadDesktopEntry(const std::string& file, DesktopEntry& entry);
// One argument in the quoting of an Exec line (quoted, with "%" doubled); and the arguments of an
// Exec line back (quotes and escapes removed, "%%" as "%").
std::string QuoteExecArgument(const std::string& argument);
std::vector<std::string> SplitExecLine(const std::string& exec);

// Moves a file or folder into the user's trash ($XDG_DATA_HOME/Trash) with its .trashinfo
// record; false when it could not.
bool MoveToTrash(const std::string& path);

// The login name of the user running the program; empty when unknown.
std::string UserLoginName();
// Whether the program runs with the rights of the superuser.
bool RunsAsSuperuser();

}  // namespace plat
