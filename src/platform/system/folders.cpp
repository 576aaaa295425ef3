#include "platform/system/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <fstream>
#include <mutex>

namespace fs = std::filesystem;

namespace plat {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool IsDir(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// An XDG base variable counts only when it holds an absolute path.
std::string BaseFolder(const char* var, const char* fallbackUnderHome) {
  std::string v = Env(var);
  if (!v.empty() && v[0] == '/') return StripTrailingSlashes(v);
  return HomeFolder() + "/" + fallbackUnderHome;
}

// Reads NAME="value" from user-dirs.dirs, expanding a leading $HOME.
std::string UserDirFromFile(const std::string& name) {
  // Only a regular file: a FIFO would block the start-up for ever, a device read for ever.
  const std::string file = BaseFolder("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs";
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::string();
  std::ifstream in(file);
  std::string line;
  const std::string prefix = name + "=";
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0) continue;
    std::string value = line.substr(start + prefix.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = HomeFolder() + value.substr(5);
    if (!value.empty() && value[0] == '/') return StripTrailingSlashes(value);
  }
  return std::string();
}

std::string UserDir(const char* var, const char* englishName) {
  std::string v = Env(var);
  if (!v.empty() && v[0] == '/') return StripTrailingSlashes(v);
  v = UserDirFromFile(var);
  if (!v.empty()) return v;
  return HomeFolder() + "/" + englishName;
}

std::string RuntimeDir() {
  std::string v = Env("XDG_RUNTIME_DIR");
  struct stat st {};
  if (v.empty() || v[0] != '/' || ::stat(v.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
      st.st_uid != ::getuid() || (st.st_mode & 077) != 0)
    return std::string();
  return StripTrailingSlashes(v);
}

struct PrivateTemp {
  std::mutex lock;
  std::string path;
  bool registered = false;
};

// Whether the private folder can still be used: a real folder (a symbolic link is not
// followed), owned by the user and closed to everyone else. Someone who removes the folder and
// puts a link or a folder of their own at its name must not receive the program's temporary
// files.
bool IsStillOurFolder(const PrivateTemp& state) {
  struct stat st {};
  return !state.path.empty() && ::lstat(state.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

PrivateTemp& TempState() {
  static PrivateTemp* state = new PrivateTemp();  // outlives every static destructor
  return *state;
}

void RemoveAtExit() { RemovePrivateTempFolder(); }

}  // namespace

std::string ProgramFile() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

std::string ProgramFolder() {
  std::string file = ProgramFile();
  size_t slash = file.rfind('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? std::string("/") : file.substr(0, slash);
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (!home.empty()) return StripTrailingSlashes(home);
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string GetXdgFolder(XdgFolder kind) {
  switch (kind) {
    case XdgFolder::ConfigHome: return BaseFolder("XDG_CONFIG_HOME", ".config");
    case XdgFolder::DataHome: return BaseFolder("XDG_DATA_HOME", ".local/share");
    case XdgFolder::StateHome: return BaseFolder("XDG_STATE_HOME", ".local/state");
    case XdgFolder::CacheHome: return BaseFolder("XDG_CACHE_HOME", ".cache");
    case XdgFolder::RuntimeDir: return RuntimeDir();
    case XdgFolder::Documents: return UserDir("XDG_DOCUMENTS_DIR", "Documents");
    case XdgFolder::Desktop: return UserDir("XDG_DESKTOP_DIR", "Desktop");
    case XdgFolder::Pictures: return UserDir("XDG_PICTURES_DIR", "Pictures");
    case XdgFolder::Music: return UserDir("XDG_MUSIC_DIR", "Music");
    case XdgFolder::Videos: return UserDir("XDG_VIDEOS_DIR", "Videos");
    case XdgFolder::Downloads: return UserDir("XDG_DOWNLOAD_DIR", "Downloads");
    case XdgFolder::Templates: return UserDir("XDG_TEMPLATES_DIR", "Templates");
  }
  return std::string();
}

std::string SystemTempFolder() {
  std::string v = Env("TMPDIR");
  if (!v.empty() && v[0] == '/' && IsDir(v)) return StripTrailingSlashes(v);
  return "/tmp";
}

std::string PrivateTempFolder(const std::string& base) {
  PrivateTemp& state = TempState();
  std::lock_guard<std::mutex> guard(state.lock);
  if (IsStillOurFolder(state)) return state.path;
  // Gone or replaced: a new folder, never the old name (whatever stands there is left alone).
  state.path.clear();
  std::string parent = StripTrailingSlashes(base.empty() ? SystemTempFolder() : base);
  if (!IsDir(parent)) {
    std::error_code ec;
    fs::create_directories(parent, ec);
  }
  // mkdtemp creates the folder atomically with mode 0700, so no other process can own the name.
  std::string templ = parent + "/~QvrXXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) return std::string();
  state.path = templ;
  if (!state.registered) {
    state.registered = true;
    std::atexit(RemoveAtExit);
  }
  return state.path;
}

void RemovePrivateTempFolder() {
  PrivateTemp& state = TempState();
  std::lock_guard<std::mutex> guard(state.lock);
  if (state.path.empty()) return;
  // Only our own folder: a link or folder that someone put at its name is not ours to delete.
  if (IsStillOurFolder(state)) RemoveTree(state.path);
  state.path.clear();
}

bool RemoveTree(const std::string& path) {
  if (path.empty() || path == "/") return false;
  std::error_code ec;
  // remove_all removes symbolic links themselves and does not descend through them.
  fs::remove_all(path, ec);
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0;
}

}  // namespace plat
