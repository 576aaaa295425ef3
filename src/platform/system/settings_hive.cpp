#include "platform/system/settings_hive.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <unordered_map>

#include "platform/system/file_write.h"
#include "platform/system/folders.h"

namespace plat {

namespace {

std::string FoldAscii(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return folded;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " \"" + path + "\": " + std::strerror(errno);
}

}  // namespace

std::vector<IniSection> ParseIniText(std::string_view text, bool keepShortValues) {
  std::vector<IniSection> sections;
  // Sections by their case-folded name, so that a file of many thousand sections (or a damaged
  // one that repeats a name on every line) is parsed in linear time.
  std::unordered_map<std::string, size_t> byName;
  IniSection* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() < 3) {
      if (keepShortValues && current && line.find('=') != std::string_view::npos)
        current->Lines.emplace_back(line);
      continue;
    }
    if (line.front() == '[') {
      // The name is the line without its first and last character, whatever the last one is.
      std::string_view name = line.substr(1, line.size() - 2);
      auto [it, added] = byName.emplace(FoldAscii(name), sections.size());
      if (added) sections.push_back(IniSection{std::string(name), {}});
      current = &sections[it->second];
      continue;
    }
    if (current) current->Lines.emplace_back(line);
  }
  return sections;
}

std::string IniValueLine(std::string_view name, std::string_view value) {
  std::string line(name);
  line += '=';
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\r' || c == '\n') {
      line += "||";
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  return line;
}

bool ReadSettingsFile(const std::string& path, std::string& text) {
  text.clear();
  // O_NONBLOCK: opening a FIFO put where the settings file belongs would otherwise wait for a
  // writer for ever; the check below then turns away everything that is not a regular file.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      text.clear();
      return false;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

SettingsFileLock::SettingsFileLock(const std::string& path, int32_t waitMilliseconds) {
  std::string lockPath = path + ".lock";
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // A second writer waits for the first one to finish its (short) write, but never for ever: a
  // lock still held after about five seconds belongs to a hung process, and the write fails.
  for (int32_t waited = 0;; waited += 20) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return;
    }
    if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= waitMilliseconds) break;
    ::usleep(20000);
  }
  ::close(fd);
}

SettingsFileLock::~SettingsFileLock() {
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
  }
}

bool WriteSettingsFileLocked(const std::string& path, std::string_view text, std::string& error) {
  std::string folder = FolderOf(path);
  std::random_device rd;
  std::string tempPath;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    tempPath = folder + "/.~qvs" + std::to_string(rd() % 1000000000u) + ".tmp";
    fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error = ErrnoText("Cannot create file", path);
    return false;
  }
  // Keep the permissions of the file being replaced.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
  bool ok = WriteAll(fd, text.data(), text.size()) && ::fsync(fd) == 0;
  if (!ok) error = ErrnoText("Cannot write file", path);
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = ErrnoText("Cannot write file", path);
  }
  if (ok && ::rename(tempPath.c_str(), path.c_str()) != 0) {
    ok = false;
    error = ErrnoText("Cannot create file", path);
  }
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  // Make the rename itself durable.
  int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool WriteSettingsFile(const std::string& path, std::string_view text, std::string& error) {
  SettingsFileLock lock(path);
  if (!lock.Locked()) {
    error = ErrnoText("Cannot create file", path);
    return false;
  }
  return WriteSettingsFileLocked(path, text, error);
}

std::string UserSettingsHivePath() {
  return GetXdgFolder(XdgFolder::ConfigHome) + "/quorvane/registry.ini";
}

}  // namespace plat
