#include "commandbars/hot_key_manager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "commandbars/hot_key_table.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/shortcut_text.h"

namespace qv {

namespace {

int32_t ReadInt(const std::vector<uint8_t>& block, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | block[offset + size_t(i)];
  return static_cast<int32_t>(v);
}

void AppendInt(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// Walks the override records: calls visit(offset, command, count) for each whole record until it
// returns true. A record that runs past the block ends the walk (the rest is not used).
template <typename Visit>
void ForEachOverride(const std::vector<uint8_t>& block, Visit visit) {
  size_t offset = 0;
  while (block.size() >= 4 && offset + 4 < block.size()) {
    if (offset + 8 > block.size()) return;
    const int32_t command = ReadInt(block, offset);
    const int32_t count = ReadInt(block, offset + 4);
    if (count < 0 || size_t(count) > (block.size() - offset - 8) / 4) return;
    if (visit(offset, command, count)) return;
    offset += 8 + 4 * size_t(count);
  }
}

constexpr int64_t kUnparsed = static_cast<int32_t>(0x80000000);

// A decimal field of an entry; 0x80000000 when it does not parse.
int64_t ParseField(const std::string& text) {
  if (text.empty()) return kUnparsed;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || v < INT32_MIN || v > UINT32_MAX) return kUnparsed;
  return v;
}

std::vector<std::string> SplitFields(const std::string& entry) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = entry.find('\t', start);
    fields.push_back(entry.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool KeyMatches(const std::string& field, uint32_t key) {
  const int64_t v = ParseField(field);
  return v != kUnparsed && static_cast<uint32_t>(v) == key;
}

}  // namespace

THotKeyManager::THotKeyManager() {
  for (const THotKeyBinding& b : DefaultHotKeyTable()) {
    defaultKeys_.push_back(b.Key);
    defaultCommands_.push_back(b.Command);
  }
}

int32_t THotKeyManager::FindOverride(int32_t command) const {
  int32_t found = -1;
  ForEachOverride(Overrides, [&](size_t offset, int32_t id, int32_t) {
    if (id != command) return false;
    found = static_cast<int32_t>(offset);
    return true;
  });
  return found;
}

std::vector<uint32_t> THotKeyManager::GetDefaultKeys(int32_t command) const {
  std::vector<uint32_t> keys;
  auto it = std::lower_bound(defaultCommands_.begin(), defaultCommands_.end(), command);
  for (; it != defaultCommands_.end() && *it == command; ++it)
    keys.push_back(defaultKeys_[size_t(it - defaultCommands_.begin())]);
  return keys;
}

std::vector<uint32_t> THotKeyManager::GetCommandKeys(int32_t command) const {
  const int32_t offset = FindOverride(command);
  if (offset < 0) return GetDefaultKeys(command);
  std::vector<uint32_t> keys;
  const int32_t count = ReadInt(Overrides, size_t(offset) + 4);
  for (int32_t i = 0; i < count; ++i)
    keys.push_back(static_cast<uint32_t>(ReadInt(Overrides, size_t(offset) + 8 + 4 * size_t(i))));
  return keys;
}

int32_t THotKeyManager::FindCommand(uint32_t key) const {
  if (key == 0) return -1;
  int32_t found = -1;
  ForEachOverride(Overrides, [&](size_t offset, int32_t id, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
      if (static_cast<uint32_t>(ReadInt(Overrides, offset + 8 + 4 * size_t(i))) == key) {
        found = id;
        return true;
      }
    return false;
  });
  if (found >= 0) return found;
  const auto it = std::find(defaultKeys_.begin(), defaultKeys_.end(), key);
  if (it == defaultKeys_.end()) return -1;
  // A default binding is void once the command's override record leaves the key out.
  const int32_t command = defaultCommands_[size_t(it - defaultKeys_.begin())];
  const std::vector<uint32_t> keys = GetCommandKeys(command);
  return std::find(keys.begin(), keys.end(), key) != keys.end() ? command : -1;
}

void THotKeyManager::DeleteOverride(int32_t command) {
  const int32_t offset = FindOverride(command);
  if (offset < 0) return;
  const size_t length = 8 + 4 * size_t(ReadInt(Overrides, size_t(offset) + 4));
  Overrides.erase(Overrides.begin() + offset, Overrides.begin() + offset + std::ptrdiff_t(length));
}

void THotKeyManager::SetCommandKeys(int32_t command, const std::vector<uint32_t>& keys) {
  DeleteOverride(command);
  if (Overrides.size() < 4) Overrides.assign(4, 0);  // the terminator of an empty block
  std::vector<uint8_t> record;
  AppendInt(record, static_cast<uint32_t>(command));
  AppendInt(record, static_cast<uint32_t>(keys.size()));
  for (uint32_t k : keys) AppendInt(record, k);
  Overrides.insert(Overrides.begin(), record.begin(), record.end());
}

void THotKeyManager::AddCommandKey(int32_t command, uint32_t key) {
  std::vector<uint32_t> keys = GetCommandKeys(command);
  keys.push_back(key);
  SetCommandKeys(command, keys);
}

void THotKeyManager::RemoveCommandKey(int32_t command, uint32_t key) {
  std::vector<uint32_t> keys = GetCommandKeys(command);
  const auto it = std::find(keys.begin(), keys.end(), key);
  if (it != keys.end()) keys.erase(it);
  SetCommandKeys(command, keys);
}

bool THotKeyManager::IsChordPrefix(uint32_t key) const {
  if (key == 0) return false;
  for (size_t i = 0; i < 3 && i < defaultKeys_.size(); ++i)
    if (defaultKeys_[i] == key) return true;
  return false;
}

int32_t THotKeyManager::FindListEntryByKey(uint32_t key, int32_t& list, std::string& text,
                                           int32_t& value) const {
  for (int32_t l = 0; l < 4; ++l) {
    const std::vector<std::string>& entries = KeyedLists[size_t(l)];
    for (int32_t i = static_cast<int32_t>(entries.size()) - 1; i >= 0; --i) {
      const std::vector<std::string> fields = SplitFields(entries[size_t(i)]);
      if (fields.size() < 2 || !KeyMatches(fields[1], key)) continue;
      list = l;
      text = fields[0];
      value = static_cast<int32_t>(ParseField(fields[0]));
      return i;
    }
  }
  return -1;
}

int32_t THotKeyManager::FindSymbolByKey(uint32_t key, int32_t& code, std::string& font) {
  for (int32_t i = static_cast<int32_t>(SymbolKeys.size()) - 1; i >= 0; --i) {
    const std::vector<std::string> fields = SplitFields(SymbolKeys[size_t(i)]);
    const int64_t c = fields.size() == 3 ? ParseField(fields[1]) : kUnparsed;
    const bool valid = fields.size() == 3 && !fields[0].empty() && c >= 32 && c <= 65535 &&
                       ParseField(fields[2]) != kUnparsed;
    if (!valid) {
      SymbolKeys.erase(SymbolKeys.begin() + i);
      continue;
    }
    if (!KeyMatches(fields[2], key)) continue;
    code = static_cast<int32_t>(c);
    font = fields[0];
    return i;
  }
  return -1;
}

bool IsReservedHotKey(uint32_t key) {
  const uint8_t shift = HotKeyShift(key);
  const uint8_t first = HotKeyKey(key);
  if ((shift & hkAlt) == 0 && (first == 0x1B || (first >= 0x21 && first <= 0x28))) return true;
  if (HotKeyChordKey(key) != 0) key = MakeHotKey(shift, HotKeyChordKey(key));
  key &= 0xFFFF;
  for (uint32_t reserved : {0x7302u, 0x2002u, 0x7304u, 0x7504u, 0x7901u})
    if (key == reserved) return true;
  return false;
}

std::string HotKeyToText(uint32_t key) {
  const std::u16string first =
      ShortCutToText(plat::MakeShortCut(HotKeyKey(key), HotKeyShift(key)));
  if (HotKeyChordKey(key) == 0) return WideToUtf8(first);
  return WideToUtf8(first + u", " + ShortCutKeyName(HotKeyChordKey(key)));
}

namespace {
std::unique_ptr<THotKeyManager>& ManagerSlot() {
  static std::unique_ptr<THotKeyManager> manager;
  return manager;
}
}  // namespace

THotKeyManager& GetHotKeyManager() {
  if (!ManagerSlot()) ManagerSlot() = std::make_unique<THotKeyManager>();
  return *ManagerSlot();
}

void ResetHotKeyManager() { ManagerSlot() = std::make_unique<THotKeyManager>(); }

}  // namespace qv
