#pragma once
// The per-file records of editing time that the document dispatcher keeps (a list keyed by the
// file's path). The stand-in keeps them in memory for the run; the shell registers the list it
// saves with its other settings.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace qv {

// One file's record: the editing time in whole seconds, the characters typed, and the day of
// the last save (DateToDayIndex).
struct TEditingTimeRecord {
  int32_t Seconds = 0;
  int32_t TypedChars = 0;
  int32_t LastSaveDay = 0;
};

class TEditingTimeList {
 public:
  virtual ~TEditingTimeList() = default;
  // The record of the file; false when there is none.
  virtual bool Find(const std::string& path, TEditingTimeRecord& out);
  // Creates or replaces the record of the file.
  virtual void Store(const std::string& path, const TEditingTimeRecord& record);

 private:
  std::map<std::string, TEditingTimeRecord> records_;
};

// Registers the list (null restores the stand-in).
void RegisterEditingTimeList(std::unique_ptr<TEditingTimeList> list);
TEditingTimeList& EditingTimeList();

}  // namespace qv
