#include "platform/system/settings_hive.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

std::string ErrnoText(const std::string& what, const std::string& path, int error = errno) {
  return what + " \"" + path + "\": " + std::strerror(error);
}

// The UTF-8 byte-order mark some editors put at the start of a text file.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Links followed before a chain counts as a loop (the system's own limit is of the same order).
constexpr int kMaxLinks = 40;

// Whether the user has taken the write permission from an existing file. The permission bits are
// looked at as well as access(), because the superuser may write any file: a file without any
// write bit is still one its owner made read-only.
bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

// The file a settings path stands for: the path itself, or, when it is a symbolic link, the file
// at the end of its chain of links (which need not exist yet). False, with a message in `error`,
// for a chain that loops or runs too long.
bool ResolveSettingsFileTarget(const std::string& path, std::string& target, std::string& error) {
  target = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string link(std::max<size_t>(static_cast<size_t>(st.st_size), 4096) + 1, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<size_t>(n) >= link.size()) {
      error = ErrnoText("Cannot create file", path, n < 0 ? errno : ENAMETOOLONG);
      return false;
    }
    link.resize(static_cast<size_t>(n));
    // A relative link is relative to the folder holding the link.
    target = link.starts_with('/') ? link : FolderOf(target) + "/" + link;
  }
  error = ErrnoText("Cannot create file", path, ELOOP);
  return false;
}

}  // namespace

void ScanIniText(std::string_view text, bool keepShortValues, IniTextVisitor& visitor) {
  bool inSection = false;
  size_t pos = text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() < 3) {
      if (keepShortValues && inSection && line.find('=') != std::string_view::npos) visitor.Line(line);
      continue;
    }
    if (line.front() == '[') {
      // The name is the line without its first and last character, whatever the last one is.
      visitor.Section(line.substr(1, line.size() - 2));
      inSection = true;
      continue;
    }
    if (inSection) visitor.Line(line);
  }
}

std::vector<IniSection> ParseIniText(std::string_view text, bool keepShortValues) {
  // Sections by their case-folded name, so that a file of many thousand sections (or a damaged
  // one that repeats a name on every line) is parsed in linear time.
  class Collector : public IniTextVisitor {
   public:
    std::vector<IniSection> sections;
    void Section(std::string_view name) override {
      auto [it, added] = byName_.emplace(FoldAscii(name), sections.size());
      if (added) sections.push_back(IniSection{std::string(name), {}});
      current_ = &sections[it->second];
    }
    void Line(std::string_view line) override { current_->Lines.emplace_back(line); }

   private:
    std::unordered_map<std::string, size_t> byName_;
    IniSection* current_ = nullptr;
  } collector;
  ScanIniText(text, keepShortValues, collector);
  return std::move(collector.sections);
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

std::string EncodeIniValue(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\n') {
      text += "||";
    } else if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
      text += "||";
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

void AppendIniLine(std::string& text, std::string_view line) {
  text += line;
  if (!line.empty() && line.back() == '\r') text += '\r';
  text += '\n';
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
  // A symbolic link stays: the file it leads to is replaced, by a temporary file in that file's
  // folder, as rename() must stay within one file system.
  std::string target;
  if (!ResolveSettingsFileTarget(path, target, error)) return false;
  if (IsReadOnlyFile(target)) {
    error = ErrnoText("Cannot create file", path, EACCES);
    return false;
  }
  std::string folder = FolderOf(target);
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
  if (::stat(target.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
  bool ok = WriteAll(fd, text.data(), text.size()) && ::fsync(fd) == 0;
  if (!ok) error = ErrnoText("Cannot write file", path);
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = ErrnoText("Cannot write file", path);
  }
  if (ok && ::rename(tempPath.c_str(), target.c_str()) != 0) {
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
