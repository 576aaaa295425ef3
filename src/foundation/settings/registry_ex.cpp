#include "foundation/settings/registry_ex.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "foundation/settings/ini_file.h"
#include "platform/system/settings_hive.h"

namespace qv {

namespace {

using Key = TRegistryEx::Key;

bool SameName(const std::string& a, const std::string& b) { return CompareNamesNoCase(a, b) == 0; }

Key* FindKey(std::vector<Key>& keys, const std::string& path) {
  for (Key& k : keys)
    if (SameName(k.Path, path)) return &k;
  return nullptr;
}

void SetValue(Key& key, const std::string& name, const std::string& value) {
  for (auto& nv : key.Values)
    if (SameName(nv.first, name)) {
      nv.second = value;
      return;
    }
  key.Values.emplace_back(name, value);
}

std::string FoldName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return folded;
}

// A key list being built, with its keys and each key's values found by case-folded name, so that
// reading a hive of many thousand keys or values (or a damaged one) takes linear time.
class HiveBuilder {
 public:
  std::vector<Key> Keys;

  size_t KeyIndex(const std::string& path) {
    auto [it, added] = keyOf_.emplace(FoldName(path), Keys.size());
    if (added) {
      Keys.push_back(Key{path, {}});
      valueOf_.emplace_back();
    }
    return it->second;
  }
  // Sets a value of the key; with `keepFirst` a value already there stays as it is.
  void Put(size_t key, const std::string& name, const std::string& value, bool keepFirst) {
    auto& values = Keys[key].Values;
    auto [it, added] = valueOf_[key].emplace(FoldName(name), values.size());
    if (added)
      values.emplace_back(name, value);
    else if (!keepFirst)
      values[it->second].second = value;
  }

 private:
  std::unordered_map<std::string, size_t> keyOf_;
  std::vector<std::unordered_map<std::string, size_t>> valueOf_;
};

// The keys of hive text; of a value name repeated in one key the first occurrence counts.
HiveBuilder ParseHive(const std::string& text) {
  HiveBuilder hive;
  for (plat::IniSection& s : plat::ParseIniText(text, true)) {
    const size_t key = hive.KeyIndex(NormalizeKeyPath(s.Name));
    for (const std::string& line : s.Lines) {
      size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      hive.Put(key, line.substr(0, eq), line.substr(eq + 1), true);
    }
  }
  return hive;
}

std::string FormatHive(const std::vector<Key>& keys) {
  std::string text;
  for (const Key& key : keys) {
    if (!text.empty()) text += '\n';
    text += "[\\" + key.Path + "]\n";
    for (const auto& nv : key.Values) {
      text += plat::IniValueLine(nv.first, nv.second);
      text += '\n';
    }
  }
  return text;
}

}  // namespace

std::string NormalizeKeyPath(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

TRegistryEx::TRegistryEx(const std::string& hivePath)
    : path_(hivePath.empty() ? plat::UserSettingsHivePath() : hivePath) {
  std::string text;
  if (plat::ReadSettingsFile(path_, text)) keys_ = std::move(ParseHive(text).Keys);
}

TRegistryEx::~TRegistryEx() {
  if (changes_.empty()) return;
  std::string error;
  Flush(error);  // failures cannot be reported from here; SaveToRegistry flushes itself
}

bool TRegistryEx::KeyExists(const std::string& name) {
  std::string path = NormalizeKeyPath(KeyPrefix + name);
  std::string below = path + "\\";
  for (const Key& k : keys_) {
    if (SameName(k.Path, path)) return true;
    if (k.Path.size() > below.size() && SameName(k.Path.substr(0, below.size()), below)) return true;
  }
  return false;
}

void TRegistryEx::OpenKey(const std::string& name) {
  std::string path = NormalizeKeyPath(KeyPrefix + name);
  Key* key = FindKey(keys_, path);
  if (!key) {
    keys_.push_back(Key{path, {}});
    changes_.push_back(Change{path, std::string(), std::string(), true});
    key = &keys_.back();
  }
  current_ = static_cast<int32_t>(key - keys_.data());
}

const std::string* TRegistryEx::FindValue(const std::string& name) const {
  if (current_ < 0) return nullptr;
  for (const auto& nv : keys_[static_cast<size_t>(current_)].Values)
    if (SameName(nv.first, name)) return &nv.second;
  return nullptr;
}

bool TRegistryEx::ReadBool(const std::string& name, bool defaultValue) {
  const std::string* text = FindValue(name);
  int32_t value;
  if (!text || !ParseIniInteger(*text, value)) return defaultValue;
  return value != 0;
}

int32_t TRegistryEx::ReadInteger(const std::string& name, int32_t minValue, int32_t maxValue,
                                 int32_t defaultValue) {
  const std::string* text = FindValue(name);
  int32_t value;
  if (!text || !ParseIniInteger(*text, value)) return defaultValue;
  return std::clamp(value, minValue, std::max(minValue, maxValue));
}

void TRegistryEx::ReadString(const std::string& name, const std::string& defaultValue,
                             std::string& value) {
  const std::string* text = FindValue(name);
  value = text ? *text : defaultValue;
}

void TRegistryEx::Put(const std::string& name, const std::string& value) {
  if (current_ < 0) OpenKey(std::string());
  Key& key = keys_[static_cast<size_t>(current_)];
  SetValue(key, name, value);
  changes_.push_back(Change{key.Path, name, value, false});
}

void TRegistryEx::WriteBool(const std::string& name, bool value) { Put(name, value ? "1" : "0"); }

void TRegistryEx::WriteInteger(const std::string& name, int32_t value) {
  Put(name, std::to_string(value));
}

void TRegistryEx::WriteString(const std::string& name, const std::string& value) {
  // The file keeps a line break as "||"; keep the in-memory copy the same as what reads back.
  std::string line = plat::IniValueLine(name, value);
  Put(name, line.substr(name.size() + 1));
}

bool TRegistryEx::Flush(std::string& error) {
  if (changes_.empty()) return true;
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  plat::SettingsFileLock lock(path_);
  if (!lock.Locked()) {
    error = "Cannot create file \"" + path_ + "\"";
    return false;
  }
  // Apply this store's own changes on top of what is in the file now, so that values another
  // instance wrote since this store was made are kept.
  std::string text;
  HiveBuilder merged;
  if (!plat::ReadSettingsFile(path_, text)) {
    // Only a missing hive may be written from scratch: one that is there but cannot be read
    // would lose every key of it.
    std::error_code existsError;
    if (std::filesystem::exists(path_, existsError) || existsError) {
      error = "Cannot read file \"" + path_ + "\"";
      return false;
    }
  } else {
    merged = ParseHive(text);
  }
  for (const Change& c : changes_) {
    const size_t key = merged.KeyIndex(c.Key);
    if (!c.IsKey) merged.Put(key, c.Name, c.Value, false);
  }
  if (!plat::WriteSettingsFileLocked(path_, FormatHive(merged.Keys), error)) return false;
  const bool hadOpenKey = current_ >= 0;
  std::string openPath = hadOpenKey ? keys_[static_cast<size_t>(current_)].Path : std::string();
  keys_ = std::move(merged.Keys);
  changes_.clear();
  current_ = -1;
  if (hadOpenKey)
    if (Key* k = FindKey(keys_, openPath)) current_ = static_cast<int32_t>(k - keys_.data());
  return true;
}

}  // namespace qv
