#include "files/backups.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include "document/doc.h"
#include "files/doc_formats.h"
#include "files/document_road_services.h"
#include "files/output/save_file.h"
#include "files/save_document.h"
#include "foundation/base/date_time.h"
#include "foundation/base/string_utils.h"
#include "foundation/settings/backup_folder.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/temp_files.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kBackupsOption = 16;      // Load/Save flags bit 4
constexpr uint16_t kSubfoldersOption = 32;   // bit 5
constexpr std::array<int32_t, 17> kMinMinutes = {1,  2,  5,   10,  15,  20,  30,  45, 60,
                                                 120, 180, 240, 300, 360, 540, 720, 1440};
constexpr std::array<int32_t, 10> kMaxFiles = {1, 2, 3, 4, 6, 10, 20, 30, 50, 2147483647};
constexpr size_t kMaxBackupPath = 256;

// The last-write time of a file as a local date-time; 0 when it cannot be read.
double FileModifiedTime(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return 0;
  std::tm local{};
  const std::time_t t = st.st_mtime;
  localtime_r(&t, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}

double NowDateTime() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}

struct TBackupFile {
  fs::path Path;
  std::string Key;
  double Time = 0;
  uintmax_t Size = 0;
};

uintmax_t WholeClusters(uintmax_t size) { return (size + 4095) / 4096 * 4096; }

std::vector<TBackupFile> ListBackups(const std::string& folder) {
  std::vector<TBackupFile> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    TBackupFile f;
    f.Path = it->path();
    f.Key = BackupGroupKey(f.Path.filename().string());
    f.Time = FileModifiedTime(f.Path.string());
    f.Size = it->file_size(ec);
    files.push_back(f);
  }
  std::sort(files.begin(), files.end(), [](const TBackupFile& a, const TBackupFile& b) {
    return a.Path.filename() < b.Path.filename();
  });
  return files;
}

uintmax_t FolderUsage(const std::vector<TBackupFile>& files) {
  uintmax_t total = 0;
  for (const TBackupFile& f : files) total += WholeClusters(f.Size);
  return total;
}

void RemoveEmptySubfolders(const std::string& folder) {
  std::error_code ec;
  std::vector<fs::path> dirs;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    if (it->is_directory(ec)) dirs.push_back(it->path());
  std::sort(dirs.rbegin(), dirs.rend());
  for (const fs::path& d : dirs)
    if (fs::is_empty(d, ec)) fs::remove(d, ec);
}

// Copies through a temporary file renamed over the target, so that a failed copy leaves no
// broken backup behind.
bool CopyFileSafely(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  TSaveFile out;
  if (!out.Create(to)) return false;
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize n = in.gcount();
    if (n > 0 && !out.Write(buffer.data(), static_cast<size_t>(n))) return false;
  }
  if (in.bad()) return false;
  return out.Commit();
}

// Asks what to do when the folder is over its limit; false when the user cancelled.
bool MakeRoom(std::vector<TBackupFile>& files, uintmax_t usage, uintmax_t needed) {
  TLoadSaveOptions& options = GetOptions().LoadSave;
  const uintmax_t limit = uintmax_t(std::max(1, options.Backup_MaxAmount)) << 20;
  if (usage + needed <= limit) return true;
  const int32_t answer = ShowOptionalMsg(
      "Your backup folder has reached its size limit. You can either delete some of the older "
      "backups, or increase the size of the current backup folder.\r\rClick \"Yes\" if you want "
      "Quorvane to automatically remove part of the older backups.\r\rClick \"No\" if you want to "
      "extend the backup folder size limit.\r\rClick \"Cancel\" if you want to review the Backup "
      "options, or remove backup files manually.",
      mkConfirmation, 5);
  if (answer == mrYes) {
    std::vector<TBackupFile*> byTime;
    for (TBackupFile& f : files) byTime.push_back(&f);
    std::sort(byTime.begin(), byTime.end(),
              [](const TBackupFile* a, const TBackupFile* b) { return a->Time < b->Time; });
    std::error_code ec;
    for (TBackupFile* f : byTime) {
      if (usage + needed <= limit) break;
      if (fs::remove(f->Path, ec)) usage -= std::min(usage, WholeClusters(f->Size));
    }
    return true;
  }
  if (answer == mrNo) {
    int64_t amount = std::max(1, options.Backup_MaxAmount);
    while ((uintmax_t(amount) << 20) < usage + needed && amount < 2147483647)
      amount = std::min<int64_t>(2147483647, std::max(amount + 1, amount * 120 / 100));
    options.Backup_MaxAmount = static_cast<int32_t>(amount);
    return true;
  }
  DocumentRoadServices().ShowBackupOptions();
  return false;
}

}  // namespace

int32_t BackupMinMinutes(int32_t index) {
  return kMinMinutes[static_cast<size_t>(std::clamp<int32_t>(index, 0, kMinMinutes.size() - 1))];
}

int32_t BackupMaxFiles(int32_t index) {
  return kMaxFiles[static_cast<size_t>(std::clamp<int32_t>(index, 0, kMaxFiles.size() - 1))];
}

std::string BackupFileName(const std::string& docFileName, double time) {
  const fs::path path = fs::path(docFileName).filename();
  const TDateTimeParts d = DecodeDateTime(time);
  char stamp[32];
  std::snprintf(stamp, sizeof(stamp), " %d%d-%d%d-%d%d %d%d%d%d", (d.Year / 10) % 10,
                d.Year % 10, d.Month / 10, d.Month % 10, d.Day / 10, d.Day % 10, d.Hour / 10,
                d.Hour % 10, d.Minute / 10, d.Minute % 10);
  return path.stem().string() + stamp + path.extension().string();
}

std::string BackupGroupKey(const std::string& backupFileName) {
  // " YY-MM-DD HHMM" before the extension.
  const fs::path path(backupFileName);
  const std::string stem = path.stem().string();
  constexpr size_t kStamp = 14;
  if (stem.size() < kStamp) return backupFileName;
  const std::string tail = stem.substr(stem.size() - kStamp);
  const char* pattern = " dd-dd-dd dddd";
  for (size_t i = 0; i < kStamp; ++i) {
    const bool digit = pattern[i] == 'd';
    if (digit ? !std::isdigit(static_cast<unsigned char>(tail[i])) : tail[i] != pattern[i])
      return backupFileName;
  }
  return stem.substr(0, stem.size() - kStamp) + path.extension().string();
}

bool DocCreateBackup(TDoc& doc, const std::string& docName, const std::string& fileToCopy,
                     bool forced) {
  TDocFileState& state = doc.FileState;
  const TLoadSaveOptions& options = GetOptions().LoadSave;
  if ((options.Flags & kBackupsOption) == 0 && !state.ForcedBackup) return true;
  std::error_code ec;
  if (!fs::is_regular_file(fileToCopy, ec)) return true;
  std::string folder;
  if (!EnsureBackupFolder(folder)) {
    ShowError(FormatMessageText("Cannot create folder \"%s\".", {folder}));
    return false;
  }
  const std::string docFile = fs::path(docName).filename().string();
  const double fileTime = FileModifiedTime(fileToCopy);
  const int32_t maxFiles = BackupMaxFiles(options.Backup_MaxFiles);
  std::vector<TBackupFile> files = ListBackups(folder);
  for (size_t i = 0; i < files.size();) {
    size_t j = i;
    while (j < files.size() && SameTextAscii(files[j].Key, files[i].Key)) ++j;
    const bool own = SameTextAscii(files[i].Key, docFile);
    if (own && !forced) {
      const double newest = files[j - 1].Time;
      if (std::abs(fileTime - newest) * 24 * 60 < BackupMinMinutes(options.Backup_MinDiff))
        return true;
    }
    if (maxFiles != 2147483647) {
      const size_t keep = static_cast<size_t>(own ? maxFiles - 1 : maxFiles);
      for (size_t k = i; k + keep < j; ++k) fs::remove(files[k].Path, ec);
    }
    i = j;
  }
  files = ListBackups(folder);
  const uintmax_t size = fs::file_size(fileToCopy, ec);
  if (!MakeRoom(files, FolderUsage(files), WholeClusters(size))) return false;
  RemoveEmptySubfolders(folder);
  fs::path target(folder);
  if ((options.Flags & kSubfoldersOption) != 0 && options.Backup_MaxFiles != 0) {
    target /= docFile;
    fs::create_directories(target, ec);
  }
  target /= BackupFileName(docFile, fileTime);
  const std::string targetName = target.string();
  if (targetName.size() >= kMaxBackupPath) {
    ShowError(FormatMessageText(
        "Quorvane cannot back up\r\"%s\"\rbecause this filename is too long.\r\rPlease either "
        "disable the \"Create backup files\" option of Quorvane (launch \"Tools | Options...\", "
        "\"Load/Save\", \"Backup Files...\"), or save this document with a shorter filename "
        "(use \"File | Save As...\").",
        {docName}));
    return false;
  }
  while (!CopyFileSafely(fileToCopy, targetName)) {
    MessageDlgInfo().DefaultButton = mbRetry;
    const std::string name = target.filename().string();
    const int32_t answer = ShowMessageDlg(
        FormatMessageText("Error creating backup file (%s) for document \"%s\". Please, check "
                          "whether file \"%s\" is not locked by another application and there "
                          "is enough free space on the destination drive.",
                          {name, docName, name}),
        mkError, ButtonBit(mbRetry) | ButtonBit(mbCancel));
    if (answer != mrRetry) return false;
  }
  // Recorded only now that the copy exists.
  doc.BackupPoint = doc.UndoPosition;
  state.LastBackupTime = NowDateTime();
  return true;
}

bool DocMakeTimedBackup(TDoc& doc) {
  TDocFileState& state = doc.FileState;
  if (state.HoldsFile && !DocCreateBackup(doc, doc.FileName, doc.FileName, false)) return false;
  std::string temp;
  try {
    temp = MakeTempFileNameExt(tfkTmp);
  } catch (const std::exception&) {
    return false;
  }
  state.WritingBackup = true;
  const uint8_t result = DocSaveCopyToFile(doc, temp, 0);
  state.WritingBackup = false;
  std::error_code ec;
  if (result != 0) {
    state.LastBackupTime = NowDateTime();
    fs::remove(temp, ec);
    return false;
  }
  std::string name = state.VadureVavi ? std::string("Vadure Vavi.rtf") : doc.FileName;
  if (doc.FormatIndex == dfWrite || doc.FormatIndex == dfOdt)
    name = fs::path(name).replace_extension(".rtf").string();
  state.ForcedBackup = true;
  const bool ok = DocCreateBackup(doc, name, temp, true);
  state.ForcedBackup = false;
  fs::remove(temp, ec);
  return ok;
}

}  // namespace qv
