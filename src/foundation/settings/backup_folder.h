#pragma once
// Where document backups go.
#include <string>

namespace qv {

// The folder of document backups as the options hold it.
void GetBackupFolder(std::string& out);

}  // namespace qv
