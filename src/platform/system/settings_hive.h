#pragma once
// The file-level side of the settings stores: the ini text format both stores keep their keys in,
// and reading and writing such a file safely.
//
// Text format: a line "[name]" opens a section; lines "name=value" inside a section are values
// (split at the first "="; neither side is trimmed). Lines shorter than three characters and lines
// before the first section are ignored. A section name seen again reopens the earlier section.
// Lines end with LF or CR LF; a UTF-8 byte-order mark at the start of the file is skipped.
//
// Files are written to a temporary file in the target's folder, flushed and renamed over the target,
// while an advisory lock on "<file>.lock" keeps a second writer out, so a reader never sees a
// half-written file and two instances never interleave their writes. A settings file that is a
// symbolic link is written through the link: the file it leads to is replaced, in its own folder,
// and the link stays. A file the user made read-only (no write permission) is never replaced.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct IniSection {
  std::string Name;
  std::vector<std::string> Lines;  // the section's lines in file order
};

// Receives the parts of ini text in file order from ScanIniText.
class IniTextVisitor {
 public:
  virtual ~IniTextVisitor() = default;
  // A section header; a name seen before comes again.
  virtual void Section(std::string_view name) = 0;
  // A line of the section last begun, without its line end.
  virtual void Line(std::string_view line) = 0;
};

// Reads ini text by the rules above without copying it. Lines before the first section are
// skipped, and so are lines shorter than three characters, except, with `keepShortValues`, those
// holding "=" (see ParseIniText).
void ScanIniText(std::string_view text, bool keepShortValues, IniTextVisitor& visitor);

// Splits ini text into its sections, in the order they first appear. Both "\n" and "\r\n" end lines.
// `keepShortValues` keeps value lines shorter than three characters ("x=", an empty value of a
// one-letter name), which the settings hive must tell apart from a missing value.
std::vector<IniSection> ParseIniText(std::string_view text, bool keepShortValues = false);

// The line "name=value" for a value with every line break folded into "||", the program's own
// line-break mark in settings: CR LF, LF and a lone CR alike. The stores keep values exactly with
// EncodeIniValue instead.
std::string IniValueLine(std::string_view name, std::string_view value);

// The text a value is kept as in a settings file. A line break (CR LF or LF) becomes "||", the
// settings' line-break mark, which callers turn back into a line break. A CR that does not begin a
// CR LF pair is kept as it is: only LF ends a line of the file, so it reads back unchanged (with
// AppendIniLine also at the very end of a value). Everything else is kept byte for byte, so a value
// read from a file and written again is the same text.
std::string EncodeIniValue(std::string_view value);

// Appends one line of a settings file with its line end: LF, or CR LF when the line itself ends in
// CR, because the reader takes a CR before the LF as part of the line end.
void AppendIniLine(std::string& text, std::string_view line);

// Reads a whole settings file. A missing or unreadable file gives false and an empty text.
bool ReadSettingsFile(const std::string& path, std::string& text);

// Writes the text atomically under the advisory lock. On failure returns false with a message in
// `error` and leaves any earlier file untouched. A read-only file is reported as a folder without
// write permission is: "Cannot create file "<path>": Permission denied".
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
