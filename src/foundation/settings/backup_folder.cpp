#include "foundation/settings/backup_folder.h"

#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"

namespace qv {

void GetBackupFolder(std::string& out) { out = GetOptionsHolder().Settings.BackupFolder; }

bool EnsureBackupFolder(const THolderSettings& settings, std::string& folder) {
  folder.clear();
  if (settings.BackupFolder.empty() || !CreateFolderPath(settings.BackupFolder)) return false;
  folder = IncludeTrailingPathDelimiter(settings.BackupFolder);
  return true;
}

bool EnsureBackupFolder(std::string& folder) {
  return EnsureBackupFolder(GetOptionsHolder().Settings, folder);
}

}  // namespace qv
