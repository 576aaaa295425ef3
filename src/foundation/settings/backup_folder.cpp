#include "foundation/settings/backup_folder.h"

#include "foundation/settings/options_holder.h"

namespace qv {

void GetBackupFolder(std::string& out) { out = GetOptionsHolder().Settings.BackupFolder; }

}  // namespace qv
