#pragma once
// Where the program and the user's files live: the executable's folder, the XDG base and user
// folders, and the process's private temporary folder. Paths are returned without a trailing "/".
#include <string>

namespace plat {

// The full path of the running executable ("/proc/self/exe" resolved); empty when unknown.
std::string ProgramFile();
// The folder holding the executable.
std::string ProgramFolder();
// $HOME, or the password database's home folder when HOME is not set.
std::string HomeFolder();

enum class XdgFolder {
  ConfigHome,   // $XDG_CONFIG_HOME or ~/.config
  DataHome,     // $XDG_DATA_HOME or ~/.local/share
  StateHome,    // $XDG_STATE_HOME or ~/.local/state
  CacheHome,    // $XDG_CACHE_HOME or ~/.cache
  RuntimeDir,   // $XDG_RUNTIME_DIR when set and private to the user; else empty
  Documents,    // the user's documents (XDG_DOCUMENTS_DIR, user-dirs.dirs, ~/Documents)
  Desktop,
  Pictures,
  Music,
  Videos,
  Downloads,
  Templates,
};

// The folder of that kind (not created). User folders come from the environment variable of the
// same name (XDG_PICTURES_DIR ...), then from user-dirs.dirs in the config folder, then from the
// usual English name under the home folder.
std::string GetXdgFolder(XdgFolder kind);

// The base for temporary files: $TMPDIR when it names an existing folder, else "/tmp".
std::string SystemTempFolder();

// The process's own temporary folder: a folder "~Qvr" + random letters made atomically (mode 0700)
// under `base` (SystemTempFolder() when empty) on the first call; later calls return the same
// folder whatever the base, as long as it is still usable: a real folder (checked without
// following links), owned by the user, mode 0700. When it has been removed or replaced
// (by a symbolic link, say) a new folder is made under `base` instead, and whatever stands at the
// old name is left alone. The folder and everything in it are removed when the process exits
// normally. Empty when no folder could be made.
std::string PrivateTempFolder(const std::string& base = std::string());

// Removes the private temporary folder with its content now (also done at exit).
void RemovePrivateTempFolder();

// Deletes a folder with everything in it; symbolic links are removed, never followed.
// True when the folder is gone afterwards.
bool RemoveTree(const std::string& path);

}  // namespace plat
