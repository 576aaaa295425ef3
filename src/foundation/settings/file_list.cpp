#include "foundation/settings/file_list.h"

#include <algorithm>

#include "foundation/system/paths.h"
#include "foundation/settings/settings_storage.h"
#include "foundation/settings/stored_path.h"

namespace qv {

std::string TFileList::ValueName(int32_t index) {
  if (index < 26) return std::string(1, static_cast<char>('A' + index));
  return std::string("A") + static_cast<char>('A' + (index - 26));
}

void TFileList::Load(TSettingsStorage& storage) {
  Strings.clear();
  int32_t count = storage.ReadInteger("Count", 0, MaxEntries, 0);
  for (int32_t n = count - 1; n >= 0; --n) {
    std::string value;
    storage.ReadString(ValueName(n), std::string(), value);
    std::string path = DecodeStoredPath(value);
    if (!path.empty()) Strings.insert(Strings.begin(), path);
  }
  if (Kind == 1) Locked = storage.ReadBool("Locked", false);
}

void TFileList::Save(TSettingsStorage& storage) const {
  const int32_t count = std::min(Count(), MaxEntries);
  storage.WriteInteger("Count", count);
  for (int32_t i = 0; i < count; ++i) storage.WriteString(ValueName(i), EncodeStoredPath((*this)[i]));
  if (Kind == 1) storage.WriteBool("Locked", Locked);
}

void TFileList::AddFile(const std::string& path, int32_t docsToKeep) {
  if (Locked) return;
  auto it = std::find(Strings.begin(), Strings.end(), path);
  if (it != Strings.end())
    Strings.erase(it);
  else
    Trim(std::max(docsToKeep - 1, 0));
  if (docsToKeep > 0) {
    Strings.insert(Strings.begin(), path);
    Trim(std::min(docsToKeep, MaxEntries));
  }
}

void TFileList::Trim(int32_t maximum) {
  if (Locked) return;
  if (maximum < 0) maximum = 0;
  if (Count() > maximum) Strings.resize(static_cast<size_t>(maximum));
}

void TFileList::RemoveMissing() {
  for (int32_t i = Count() - 1; i >= 0; --i) {
    const std::string& p = (*this)[i];
    bool keep = Kind == 1 ? (FolderExists(p) || IsRemovableDrive(p)) : FileExists(p);
    if (!keep) Strings.erase(Strings.begin() + i);
  }
}

}  // namespace qv
