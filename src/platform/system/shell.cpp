#include "platform/system/shell.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/system/file_write.h"
#include "platform/system/folders.h"

extern char** environ;

namespace plat {
namespace {

// Openers that were still busy when we stopped waiting; collected on later calls.
std::vector<pid_t>& BusyChildren() {
  static std::vector<pid_t> children;
  return children;
}

void ReapFinished() {
  std::vector<pid_t>& children = BusyChildren();
  for (size_t i = 0; i < children.size();) {
    int status = 0;
    pid_t r = waitpid(children[i], &status, WNOHANG);
    if (r == children[i] || (r < 0 && errno == ECHILD)) children.erase(children.begin() + long(i));
    else ++i;
  }
}

// Starts argv[0] (searched on PATH) with `cwd` as working folder; -1 when it could not start.
pid_t Spawn(const std::vector<std::string>& args, const std::string& cwd) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 29))
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
#endif
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// The escapes of a desktop entry's string values.
std::string EscapeValue(const std::string& v) {
  std::string out;
  for (char c : v) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  if (!out.empty() && out[0] == ' ') out.replace(0, 1, "\\s");
  return out;
}

std::string UnescapeValue(const std::string& v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out += v[i];
      continue;
    }
    char c = v[++i];
    out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  return out;
}

std::string PercentEncodePath(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += char(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string NowIso() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
  return buf;
}

std::string BaseName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Through a temporary file beside the target, flushed and renamed over it.
bool WriteFileAtomic(const std::string& file, const std::string& text) {
  std::string temp = file + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = SetModeForTarget(fd, file) && WriteAll(fd, text.data(), text.size()) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temp.c_str(), file.c_str()) == 0) return true;
  unlink(temp.c_str());
  return false;
}

}  // namespace

ShellResult OpenWithDesktop(const std::string& target) {
  ReapFinished();
  // A target that begins with "-" would read as an option of the opener.
  pid_t pid = Spawn({"xdg-open", !target.empty() && target[0] == '-' ? "./" + target : target},
                    std::string());
  if (pid < 0) return ShellResult::NoHandler;
  // The opener hands the target to its handler and ends; give it a moment to say how it went.
  for (int i = 0; i < 150; ++i) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ShellResult::Ok;
      if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return ShellResult::NoHandler;
      return ShellResult::Failed;
    }
    if (r < 0) return ShellResult::Failed;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  BusyChildren().push_back(pid);
  return ShellResult::Ok;
}

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingFolder) {
  ReapFinished();
  std::vector<std::string> args{program};
  args.insert(args.end(), arguments.begin(), arguments.end());
  pid_t pid = Spawn(args, workingFolder);
  if (pid < 0) return false;
  BusyChildren().push_back(pid);
  return true;
}

std::string QuoteExecArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

std::vector<std::string> SplitExecLine(const std::string& exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    char c = exec[i];
    if (quoted) {
      if (c == '\\' && i + 1 < exec.size()) {
        word += exec[++i];
      } else if (c == '"') {
        quoted = false;
      } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
        word += '%';
        ++i;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
      word += '%';
      inWord = true;
      ++i;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool WriteDesktopEntry(const std::string& file, const DesktopEntry& entry) {
  std::string text = "[Desktop Entry]\nType=" + EscapeValue(entry.Type) + "\n";
  text += "Name=" + EscapeValue(entry.Name.empty() ? BaseName(file) : entry.Name) + "\n";
  if (!entry.Comment.empty()) text += "Comment=" + EscapeValue(entry.Comment) + "\n";
  if (!entry.Exec.empty()) text += "Exec=" + EscapeValue(entry.Exec) + "\n";
  if (!entry.Path.empty()) text += "Path=" + EscapeValue(entry.Path) + "\n";
  if (!entry.Url.empty()) text += "URL=" + EscapeValue(entry.Url) + "\n";
  return WriteFileAtomic(file, text);
}

bool ReadDesktopEntry(const std::string& file, DesktopEntry& entry) {
  struct stat st{};
  if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > (1 << 20)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  entry = DesktopEntry{};
  entry.Type.clear();
  bool inGroup = false, seenGroup = false;
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inGroup = line == "[Desktop Entry]";
      seenGroup = seenGroup || inGroup;
      continue;
    }
    size_t eq = line.find('=');
    if (!inGroup || eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq)), value = UnescapeValue(Trim(line.substr(eq + 1)));
    if (key == "Type") entry.Type = value;
    else if (key == "Name") entry.Name = value;
    else if (key == "Comment") entry.Comment = value;
    else if (key == "Exec") entry.Exec = value;
    else if (key == "Path") entry.Path = value;
    else if (key == "URL") entry.Url = value;
  }
  return seenGroup;
}

bool MoveToTrash(const std::string& path) {
  struct stat st{};
  if (path.empty() || lstat(path.c_str(), &st) != 0) return false;
  std::string absolute = path;
  if (absolute[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) return false;
    absolute = std::string(cwd) + "/" + path;
  }
  const std::string trash = GetXdgFolder(XdgFolder::DataHome) + "/Trash";
  const std::string files = trash + "/files", info = trash + "/info";
  for (const std::string& folder : {GetXdgFolder(XdgFolder::DataHome), trash, files, info}) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  const std::string base = BaseName(absolute);
  for (int n = 1; n < 1000; ++n) {
    std::string name = n == 1 ? base : base + "." + std::to_string(n);
    std::string infoFile = info + "/" + name + ".trashinfo";
    // The record is made first and exclusively: it reserves the name in the trash.
    int fd = open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    std::string record =
        "[Trash Info]\nPath=" + PercentEncodePath(absolute) + "\nDeletionDate=" + NowIso() + "\n";
    bool written = write(fd, record.data(), record.size()) == ssize_t(record.size());
    close(fd);
    if (written && rename(absolute.c_str(), (files + "/" + name).c_str()) == 0) return true;
    unlink(infoFile.c_str());
    return false;
  }
  return false;
}

std::string UserLoginName() {
  struct passwd pw{};
  struct passwd* result = nullptr;
  char buf[4096];
  if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &result) == 0 && result != nullptr) {
    return std::string(result->pw_name).substr(0, 256);
  }
  if (const char* user = std::getenv("USER")) return std::string(user).substr(0, 256);
  return {};
}

bool RunsAsSuperuser() { return geteuid() == 0; }

}  // namespace plat
