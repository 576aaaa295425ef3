#pragma once
// Folders and files of the program: data folders by kind, special folders, folder and file tests,
// sizes and times, names and display, and path shortening. Paths are byte strings as the file
// system holds them; folders returned here end with "/"; paths compare case-sensitively.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The program's own file, folder and drive, and the portable flag.
#include "foundation/system/unit_startup.h"

namespace qv {

class TStringList;

constexpr char PathDelim = '/';

// Data folders: 0 shared program data, 1 its "Hidden", 2 its "Public", 3 the user's program
// settings folder, 4 the program's documents folder (Templates, Backup, Clip Library ...),
// 5 kind 4 + "Spellcheck/". In portable mode 0, 3 and 4 are the program folder. Each is worked out
// once, created when missing and ends with "/". Unknown kinds give "".
std::string GetDataFolder(int kind);
// Forgets the cached folders (tests change the environment between cases).
void ResetDataFolders();

// Special folders by their shell numbers: 0/16 desktop, 5 documents, 13 music, 14 videos,
// 26 application data, 28 local application data, 32 internet cache, 35 shared application data,
// 39 pictures. Created when missing; "" for other numbers or on failure. No trailing "/".
enum : int32_t {
  CSIDL_DESKTOP = 0, CSIDL_PERSONAL = 5, CSIDL_MYMUSIC = 13, CSIDL_MYVIDEO = 14,
  CSIDL_DESKTOPDIRECTORY = 16, CSIDL_APPDATA = 26, CSIDL_LOCAL_APPDATA = 28,
  CSIDL_INTERNET_CACHE = 32, CSIDL_COMMON_APPDATA = 35, CSIDL_MYPICTURES = 39,
};
std::string GetSpecialFolderPath(int32_t csidl);

std::string GetCurrentFolder();
void PushCurrentDir();
void PopCurrentDir();
bool FolderExists(const std::string& folder);
bool FileExists(const std::string& file);
// Creates the folder and all missing parents; true when it exists afterwards.
bool CreateFolderPath(const std::string& folder);
bool IsFolderEmpty(const std::string& folder);
void AddTrailingBackslash(std::string& path);  // appends "/" to a non-empty path without one
std::string IncludeTrailingPathDelimiter(std::string path);
std::string ExtractFilePath(const std::string& path);  // up to and including the last "/"
std::string ExtractFileName(const std::string& path);  // after the last "/"
std::string ExtractFileExt(const std::string& path);   // from the last "." of the name, or ""
std::string RemoveFileExt(const std::string& name);
std::string ChangeFileExt(const std::string& name, const std::string& ext);
// The components of a path from the root down ("/a/b/c.txt" -> "a", "b", "c.txt").
void SplitPathComponents(const std::string& path, TStringList& list);
// The absolute, normalised form of a path (symbolic links resolved where it exists).
std::string ExpandToLongPath(const std::string& path);
uint32_t GetPathDriveType(const std::string& path);
// True when the path lies on removable media or a USB/FireWire disk; cached per mount point.
bool IsRemovableDrive(const std::string& path);
uint32_t GetClusterSize(const std::string& folder);

// -1 for a missing file.
int64_t GetFileSizeByName(const std::string& file);
int64_t GetFileAllocatedSize(const std::string& file);
// Local date-time (days since 1899-12-30) at 2-second precision; now when the file is missing.
double GetFileModifiedTime(const std::string& file);
double GetFileCreationTime(const std::string& file);
bool SameFiles(const std::string& a, const std::string& b);
bool SameFileContent(const std::string& a, const std::string& b);
// Writes the bytes to a temporary file beside the target, flushes and renames it over the target.
// False (and the target untouched) on failure.
bool SaveStringToFile(const std::string& file, const std::string& text);
bool LoadFileToString(const std::string& file, std::string& text);
bool RewindFile(int fd);
std::string FormatByteSize(int64_t size);
std::string FormatFileSize(const std::string& file);
// Folder size as the registered folder usage reports it.
std::string FormatFolderSize(const std::string& folder);

// The bytes a folder takes on disk. The default sums the sizes of the files below the folder; the
// shell services register the system's own measure at start-up.
class TFolderUsage {
 public:
  virtual ~TFolderUsage() = default;
  virtual int64_t FolderBytes(const std::string& folder);
};
// Registers the measure (null restores the default); the registered one, never null.
void RegisterFolderUsage(std::unique_ptr<TFolderUsage> usage);
TFolderUsage& FolderUsage();

// Case-insensitive equality of two texts (Unicode case folding).
bool SameTextNoCase(const std::string& a, const std::string& b);
// Equality of two paths: exact, since Linux paths are case-sensitive.
bool SameFileName(const std::string& a, const std::string& b);
std::string RemoveInvalidFileNameChars(const std::string& text);
// Safe as a caption: every "&" doubled, a lone "-" becomes "- ".
std::string EscapeMenuCaption(const std::string& text);

// Shortens a path for display so its width fits; `measure` gives a text's width. `fullPaths` is
// General flag 8 (show whole paths, not just the file name).
std::string ShortenPathToWidth(const std::string& path,
                               const std::function<int32_t(const std::string&)>& measure,
                               int32_t width, bool fullPaths);

std::string NewGuidString();

}  // namespace qv
