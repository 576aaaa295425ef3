#include "foundation/settings/file_list.h"

#include <algorithm>

#include "foundation/system/paths.h"
#include "foundation/settings/settings_storage.h"
#include "foundation/settings/stored_path.h"

namespace qv {

namespace {

// A path may hold any byte but the zero, a line break among them. The settings keep a line break
// as "||" and hand it back as such, so an entry is escaped before it is stored: each LF becomes
// "||" and a "|" that would otherwise read as part of such a pair (one followed by "|", "_" or a
// line break) becomes "|_". A CR stays as it is (the stores keep it). Entries written before this
// escaping read the same way: their "||" was a line break, any other "|" is itself.
std::string EscapeEntry(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '\n')
      out += "||";
    else if (c == '|' && (next == '|' || next == '_' || next == '\n'))
      out += "|_";
    else
      out += c;
  }
  return out;
}

std::string UnescapeEntry(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '|' && next == '|') {
      out += '\n';
      ++i;
    } else if (c == '|' && next == '_') {
      out += '|';
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

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
    std::string path = DecodeStoredPath(UnescapeEntry(value));
    if (!path.empty()) Strings.insert(Strings.begin(), path);
  }
  if (Kind == 1) Locked = storage.ReadBool("Locked", false);
}

void TFileList::Save(TSettingsStorage& storage) const {
  const int32_t count = std::min(Count(), MaxEntries);
  storage.WriteInteger("Count", count);
  for (int32_t i = 0; i < count; ++i) storage.WriteString(ValueName(i), EscapeEntry(EncodeStoredPath((*this)[i])));
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
