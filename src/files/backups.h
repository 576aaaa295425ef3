#pragma once
// Backups: dated copies of a document's previous file in the backup folder, made just before the
// file is overwritten, kept within a number of copies per document and a disk-space limit.
#include <cstdint>
#include <string>

namespace qv {

class TDoc;

// TDoc.CreateBackup: true to let the caller go on (also when no backup was due), false when the
// user cancelled or the backup could not be made. The document records the backup only once
// the copy is complete.
bool DocCreateBackup(TDoc& doc, const std::string& docName, const std::string& fileToCopy,
                     bool forced);

// The backup timer's work for one modified document: backs up its file, then its current state
// written to a temporary file under the document's name. False when nothing was done.
bool DocMakeTimedBackup(TDoc& doc);

// The backup name of a document file last written at `time` (days since 30 December 1899):
// "Report 24-03-15 1430.rtf".
std::string BackupFileName(const std::string& docFileName, double time);
// A backup's file name with its date stamp removed: the name of the document it backs up.
std::string BackupGroupKey(const std::string& backupFileName);
// The minimum minutes between two backups and the maximum count, by their option indexes.
int32_t BackupMinMinutes(int32_t index);
int32_t BackupMaxFiles(int32_t index);

}  // namespace qv
