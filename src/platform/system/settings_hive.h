#pragma once
// The file-level side of the settings stores: the ini text format both stores keep their keys in,
// and reading and writing such a file safely.
//
// Text format: a line "[name]" opens a section; lines "name=value" inside a section are values
// (split at the first "="; neither side is trimmed). Lines shorter than three characters and lines
// before the first section are ignored. A section name seen again reopens the earlier section.
//
// Files are written to a temporary file in the target's folder, flushed and renamed over the target,
// while an advisory lock on "<file>.lock" keeps a second writer out, so a reader never sees a
// half-written file and two instances never interleave their writes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct IniSection {
  std::string Name;
  std::vector<std::string> Lines;  // the section's lines in file order
};

// Splits ini text into its sections, in the order they first appear. Both "\n" and "\r\n" end lines.
// `keepShortValues` keeps value lines shorter than three characters ("x=", an empty value of a
// one-letter name), which the settings hive must tell apart from a missing value.
std::vector<IniSection> ParseIniText(std::string_view text, bool keepShortValues = false);

// The line "name=value" for a value. A line break inside the value (CR LF, CR or LF) is written as
// "||", the program's own line-break mark in settings, so a value can never break the file apart.
std::string IniValueLine(std::string_view name, std::string_view value);

// Reads a whole settings file. A missing or unreadable file gives false and an empty text.
bool ReadSettingsFile(const std::string& path, std::string& text);

// Writes the text atomically under the advisory lock. On failure returns false with a message in
// `error` and leaves any earlier file untouched.
bool WriteSettingsFile(const std::string& path, std::string_view text, std::string& error);

// Holds the advisory write lock of a settings file for its lifetime (used by stores that must read,
// merge and write back as one step). A lock another process holds is waited for up to about five
// seconds; `Locked` is false when the lock could not be had.
class SettingsFileLock {
 public:
  explicit SettingsFileLock(const std::string& path, int32_t waitMilliseconds = 5000);
  ~SettingsFileLock();
  SettingsFileLock(const SettingsFileLock&) = delete;
  SettingsFileLock& operator=(const SettingsFileLock&) = delete;
  bool Locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Like WriteSettingsFile, for a caller that already holds the file's lock.
bool WriteSettingsFileLocked(const std::string& path, std::string_view text, std::string& error);

// The file of the user's settings hive: $XDG_CONFIG_HOME/quorvane/registry.ini ($HOME/.config when
// XDG_CONFIG_HOME is not set). The folder is not created here.
std::string UserSettingsHivePath();

}  // namespace plat
