#pragma once
// The folder of backup copies: "BackupFolder" of the load-save options, or the documents folder +
// "Backup" when none is stored. Loading the options only reads the name; the folder is made when a
// backup is first written, by the writer calling EnsureBackupFolder just before it writes.
#include <string>

#include "foundation/settings/options.h"

namespace qv {

// The folder of document backups as the options hold it (not created).
void GetBackupFolder(std::string& out);
// The backup folder of the settings, with a trailing "/", created with its parents when missing.
// False (and `folder` empty) when it is not there and cannot be made, for example when a file
// stands in its place.
bool EnsureBackupFolder(const THolderSettings& settings, std::string& folder);
// The same for the program-wide options holder.
bool EnsureBackupFolder(std::string& folder);

}  // namespace qv
