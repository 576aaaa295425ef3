#include "foundation/system/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <vector>

#include "foundation/base/service_slot.h"
#include "foundation/base/string_list.h"
#include "foundation/base/string_utils.h"
#include "foundation/text/code_pages.h"
#include "platform/system/drives.h"
#include "platform/system/file_write.h"
#include "platform/system/folders.h"
#include "platform/system/text_services.h"

namespace fs = std::filesystem;

namespace qv {

namespace {

std::string WithSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

std::mutex& FoldersLock() {
  static std::mutex lock;
  return lock;
}

std::map<int, std::string>& FolderCache() {
  static auto* cache = new std::map<int, std::string>();
  return *cache;
}

std::string ComputeDataFolder(int kind) {
  auto base = [](plat::XdgFolder xdg) {
    return PortableMode ? ProgramFolder : plat::GetXdgFolder(xdg) + "/quorvane/";
  };
  switch (kind) {
    case 0: return base(plat::XdgFolder::StateHome);
    case 1: return GetDataFolder(0) + "Hidden/";
    case 2: return GetDataFolder(0) + "Public/";
    case 3: return base(plat::XdgFolder::ConfigHome);
    case 4: return base(plat::XdgFolder::DataHome);
    case 5: return GetDataFolder(4) + "Spellcheck/";
    default: return std::string();
  }
}

std::vector<std::string>& DirStack() {
  static auto* stack = new std::vector<std::string>();
  return *stack;
}

// Days since 1899-12-30 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468 + 25569;  // 1970-01-01 is day 25569
}

// A moment as a local date-time, at the 2-second precision of file dates.
double LocalDateTime(time_t t, bool twoSeconds) {
  struct tm tm {};
  localtime_r(&t, &tm);
  int sec = tm.tm_sec;
  if (twoSeconds) sec -= sec % 2;
  const int64_t days = DaysFromCivil(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                                     static_cast<unsigned>(tm.tm_mday));
  return static_cast<double>(days) + (tm.tm_hour * 3600 + tm.tm_min * 60 + sec) / 86400.0;
}

double FileTime(const std::string& file, bool creation) {
  struct statx stx {};
  const unsigned mask = creation ? (STATX_BTIME | STATX_MTIME) : STATX_MTIME;
  if (file.empty() || ::statx(AT_FDCWD, file.c_str(), 0, mask, &stx) != 0)
    return LocalDateTime(std::time(nullptr), false);
  const time_t t = (creation && (stx.stx_mask & STATX_BTIME)) ? stx.stx_btime.tv_sec
                                                              : stx.stx_mtime.tv_sec;
  return LocalDateTime(t, true);
}

int64_t SumOfFileSizes(const std::string& folder) {
  int64_t sum = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file(ec) && !it->is_symlink(ec)) sum += static_cast<int64_t>(it->file_size(ec));
  }
  return sum;
}

bool IsValidUtf8(const std::string& s) {
  const std::u16string wide = Utf8ToWide(s);
  return WideToUtf8(wide) == s;
}

std::u16string AsWide(const std::string& s) {
  return IsValidUtf8(s) ? Utf8ToWide(s) : CodePageToWide(s, DefaultCodePage);
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out;
}

}  // namespace

std::string GetDataFolder(int kind) {
  {
    std::lock_guard<std::mutex> guard(FoldersLock());
    auto it = FolderCache().find(kind);
    if (it != FolderCache().end()) return it->second;
  }
  const std::string folder = ComputeDataFolder(kind);
  if (folder.empty()) return folder;
  CreateFolderPath(folder);
  std::lock_guard<std::mutex> guard(FoldersLock());
  FolderCache()[kind] = folder;
  return folder;
}

void ResetDataFolders() {
  std::lock_guard<std::mutex> guard(FoldersLock());
  FolderCache().clear();
}

std::string GetSpecialFolderPath(int32_t csidl) {
  std::string path;
  switch (csidl) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: path = plat::GetXdgFolder(plat::XdgFolder::Desktop); break;
    case CSIDL_PERSONAL: path = plat::GetXdgFolder(plat::XdgFolder::Documents); break;
    case CSIDL_MYMUSIC: path = plat::GetXdgFolder(plat::XdgFolder::Music); break;
    case CSIDL_MYVIDEO: path = plat::GetXdgFolder(plat::XdgFolder::Videos); break;
    case CSIDL_APPDATA: path = plat::GetXdgFolder(plat::XdgFolder::ConfigHome); break;
    case CSIDL_LOCAL_APPDATA: path = plat::GetXdgFolder(plat::XdgFolder::DataHome); break;
    case CSIDL_INTERNET_CACHE: path = plat::GetXdgFolder(plat::XdgFolder::CacheHome); break;
    case CSIDL_COMMON_APPDATA: path = plat::GetXdgFolder(plat::XdgFolder::StateHome); break;
    case CSIDL_MYPICTURES: path = plat::GetXdgFolder(plat::XdgFolder::Pictures); break;
    default: return std::string();
  }
  return CreateFolderPath(path) ? path : std::string();
}

std::string GetCurrentFolder() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  return ec ? std::string() : WithSlash(cwd.string());
}

void PushCurrentDir() { DirStack().push_back(GetCurrentFolder()); }

void PopCurrentDir() {
  if (DirStack().empty()) return;
  const std::string dir = DirStack().back();
  DirStack().pop_back();
  if (!dir.empty() && ::chdir(dir.c_str()) != 0) {
    // The folder is gone; the current directory stays where it is.
  }
}

bool FolderExists(const std::string& folder) {
  struct stat st {};
  return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& file) {
  struct stat st {};
  return !file.empty() && ::stat(file.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool CreateFolderPath(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  fs::create_directories(folder, ec);
  return FolderExists(folder);
}

bool IsFolderEmpty(const std::string& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  return ec || it == fs::directory_iterator();
}

void AddTrailingBackslash(std::string& path) {
  if (!path.empty() && path.back() != PathDelim) path += PathDelim;
}

std::string IncludeTrailingPathDelimiter(std::string path) {
  AddTrailingBackslash(path);
  return path;
}

std::string ExtractFilePath(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string RemoveFileExt(const std::string& name) {
  return name.substr(0, name.size() - ExtractFileExt(name).size());
}

std::string ChangeFileExt(const std::string& name, const std::string& ext) {
  return RemoveFileExt(name) + ext;
}

void SplitPathComponents(const std::string& path, TStringList& list) {
  list.Clear();
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) list.Add(path.substr(start, end - start));
    start = end + 1;
  }
}

std::string ExpandToLongPath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const fs::path abs = fs::absolute(path, ec);
  if (ec) return path;
  std::string out = abs.lexically_normal().string();
  return out.empty() ? path : out;
}

uint32_t GetPathDriveType(const std::string& path) { return plat::GetDriveInfo(path).Type; }

bool IsRemovableDrive(const std::string& path) {
  static std::mutex lock;
  static auto* cache = new std::map<std::string, bool>();
  const plat::DriveInfo info = plat::GetDriveInfo(path);
  std::lock_guard<std::mutex> guard(lock);
  auto it = cache->find(info.MountPoint);
  if (it != cache->end()) return it->second;
  bool removable = info.Type == plat::DRIVE_REMOVABLE ||
                   (info.Type == plat::DRIVE_FIXED && (info.UsbOrFirewire || info.RemovableMedia));
  (*cache)[info.MountPoint] = removable;
  return removable;
}

uint32_t GetClusterSize(const std::string& folder) { return plat::GetClusterSize(folder); }

int64_t GetFileSizeByName(const std::string& file) {
  struct stat st {};
  if (file.empty() || ::stat(file.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

int64_t GetFileAllocatedSize(const std::string& file) {
  const int64_t size = GetFileSizeByName(file);
  if (size <= 0) return size;
  const int64_t cluster = GetClusterSize(ExtractFilePath(ExpandToLongPath(file)));
  return (size + cluster - 1) / cluster * cluster;
}

double GetFileModifiedTime(const std::string& file) { return FileTime(file, false); }

double GetFileCreationTime(const std::string& file) { return FileTime(file, true); }

bool LoadFileToString(const std::string& file, std::string& text) {
  // Only regular files: a folder reads as empty text and a FIFO would wait for a writer for ever.
  std::error_code typeError;
  if (!std::filesystem::is_regular_file(file, typeError)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  text = ss.str();
  return !in.bad();
}

bool SameFileContent(const std::string& a, const std::string& b) {
  std::string ta, tb;
  if (!LoadFileToString(a, ta) || !LoadFileToString(b, tb) || tb.size() < ta.size()) return false;
  return tb.compare(0, ta.size(), ta) == 0;
}

bool SameFiles(const std::string& a, const std::string& b) {
  const int64_t sa = GetFileSizeByName(a);
  return sa >= 0 && sa == GetFileSizeByName(b) && SameFileContent(a, b);
}

bool SaveStringToFile(const std::string& file, const std::string& text) {
  const std::string folder = ExtractFilePath(ExpandToLongPath(file));
  std::string temp = folder + "." + ExtractFileName(file) + ".~qvXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = plat::WriteAll(fd, text.data(), text.size());
  ok = ok && plat::SetModeForTarget(fd, file) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(temp.c_str(), file.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

bool RewindFile(int fd) { return ::lseek(fd, 0, SEEK_SET) == 0; }

std::string FormatByteSize(int64_t size) {
  const std::string dec = LocaleDecimalSeparator();
  const double mb = static_cast<double>(size) / 1048576.0;
  if (size < 65535) return FormatNumberN(static_cast<double>(size), 0, " ", dec) + " bytes";
  if (size >= 16777215) return FormatNumberN(mb, 2, " ", dec) + " MB";
  if (size % 1048576 == 0) return FormatNumberN(mb, 0, " ", dec) + " MB";
  return FormatNumberN(static_cast<double>(size) / 1024.0, 0, " ", dec) + " KB";
}

std::string FormatFileSize(const std::string& file) {
  return FormatByteSize(std::max<int64_t>(GetFileSizeByName(file), 0));
}

std::string FormatFolderSize(const std::string& folder) {
  return FormatByteSize(std::max<int64_t>(FolderUsage().FolderBytes(folder), 0));
}

int64_t TFolderUsage::FolderBytes(const std::string& folder) { return SumOfFileSizes(folder); }

void RegisterFolderUsage(std::unique_ptr<TFolderUsage> usage) { RegisterService(std::move(usage)); }

TFolderUsage& FolderUsage() { return Service<TFolderUsage>(); }

bool SameTextNoCase(const std::string& a, const std::string& b) {
  if (a == b) return true;
  return plat::FoldCase(AsWide(a)) == plat::FoldCase(AsWide(b));
}

bool SameFileName(const std::string& a, const std::string& b) { return a == b; }

std::string RemoveInvalidFileNameChars(const std::string& text) {
  std::string out;
  for (char c : text)
    if (std::string_view("\"*/:<>?\\|").find(c) == std::string_view::npos) out += c;
  return out;
}

std::string EscapeMenuCaption(const std::string& text) {
  if (text == "-") return "- ";
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

std::string ShortenPathToWidth(const std::string& path,
                               const std::function<int32_t(const std::string&)>& measure,
                               int32_t width, bool fullPaths) {
  const bool isFolder = !path.empty() && path.back() == '/';
  const std::string display = (fullPaths || isFolder) ? path : ExtractFileName(path);
  if (measure(display) <= width) return display;
  // The root ("/" or the "//" of a network path) is kept in front.
  std::string prefix, rest = display;
  const size_t first = display.find('/');
  if (first != std::string::npos) {
    const size_t end = display.find_first_not_of('/', first);
    const size_t cut = end == std::string::npos ? display.size() : end;
    prefix = display.substr(0, cut);
    rest = display.substr(cut);
  }
  const int32_t room = width - (prefix.empty() ? 0 : measure(prefix));
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t slash = rest.find('/', start);
    parts.push_back(rest.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  bool removed = false;
  size_t removedAt = 0;
  const int32_t ellipsisDir = measure(".../");
  while (parts.size() > 1 && measure(Join(parts)) + (removed ? ellipsisDir : 0) > room) {
    removedAt = parts.size() > 2 ? 1 : 0;
    parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(removedAt));
    removed = true;
  }
  if (removed) parts.insert(parts.begin() + static_cast<std::ptrdiff_t>(removedAt), "...");
  std::string& name = parts.back();
  bool shortened = false;
  const int32_t ellipsis = measure("...");
  while (name.size() >= 11 && measure(Join(parts)) + (shortened ? ellipsis : 0) > room) {
    name.erase(name.size() / 2 - 1, 1);
    shortened = true;
  }
  if (shortened) name.insert(name.size() / 2, "...");
  return prefix + Join(parts);
}

std::string NewGuidString() {
  try {
    std::random_device rd;
    std::array<uint8_t, 16> b{};
    for (size_t i = 0; i < b.size(); i += 4) {
      const uint32_t r = rd();
      for (size_t k = 0; k < 4; ++k) b[i + k] = static_cast<uint8_t>(r >> (8 * k));
    }
    b[6] = static_cast<uint8_t>((b[6] & 0x0F) | 0x40);  // version 4: random
    b[8] = static_cast<uint8_t>((b[8] & 0x3F) | 0x80);  // the standard variant
    char out[40];
    std::snprintf(out, sizeof out,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0],
                  b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12],
                  b[13], b[14], b[15]);
    return out;
  } catch (const std::exception&) {
    char out[32];
    const time_t now = std::time(nullptr);
    struct tm tm {};
    localtime_r(&now, &tm);
    std::strftime(out, sizeof out, "%Y-%m-%dT%H:%M:%S", &tm);
    return out;
  }
}

}  // namespace qv
