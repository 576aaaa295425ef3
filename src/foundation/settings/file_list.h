#pragma once
// TFileList: a remembered list of file or folder paths (recent documents, folders ...), most recent
// first, at most 30 entries. Entries are kept in stored-path form in the settings (stored_path.h).
//
// Settings of a list, in the key its owner has opened: "Count" and one value an entry named "A",
// "B", ... "Z" ("A" the most recent); folder lists also keep "Locked". Entries 27 to 30 are named
// "AA", "AB", "AC", "AD": the letters after "Z" would start with "[" and read back as an ini section.
// An entry comes back exactly as it was saved, line breaks and "|" in a file name included: a line
// break is stored as "||" (as settings keep line breaks) and a "|" next to one as "|_".
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class TSettingsStorage;

class TFileList {
 public:
  static constexpr int32_t MaxEntries = 30;

  uint8_t Kind = 0;     // 0 list of files, 1 list of folders
  bool Locked = false;  // a locked list is not changed by AddFile and Trim
  std::vector<std::string> Strings;

  int32_t Count() const { return static_cast<int32_t>(Strings.size()); }
  const std::string& operator[](int32_t i) const { return Strings[static_cast<size_t>(i)]; }

  void Load(TSettingsStorage& storage);
  void Save(TSettingsStorage& storage) const;
  // Puts the path at the top (or moves it there); the list keeps at most `docsToKeep` entries and
  // stays empty when that is 0 or less. Paths compare exactly (Linux paths are case-sensitive).
  void AddFile(const std::string& path, int32_t docsToKeep);
  // The same with the "DocsToKeep" general option.
  void AddFile(const std::string& path);
  void Trim(int32_t maximum);
  // Removes entries whose file (or folder) does not exist; folders on a removable drive stay.
  void RemoveMissing();

  // The value name of entry `index` (0-based).
  static std::string ValueName(int32_t index);
};

}  // namespace qv
