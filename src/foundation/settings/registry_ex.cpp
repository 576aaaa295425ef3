#include "foundation/settings/registry_ex.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "foundation/settings/ini_file.h"
#include "platform/system/settings_hive.h"

namespace qv {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Builds the keys of hive text as it is read; of a value name repeated in one key the first
// occurrence counts.
class HiveReader : public plat::IniTextVisitor {
 public:
  THiveKeys Hive;
  void Section(std::string_view name) override {
    key_ = Hive.Add(NormalizeKeyPath(name));
  }
  void Line(std::string_view line) override {
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos) Hive.Put(key_, line.substr(0, eq), line.substr(eq + 1), true);
  }

 private:
  size_t key_ = 0;
};

THiveKeys ParseHive(const std::string& text) {
  HiveReader reader;
  plat::ScanIniText(text, true, reader);
  return std::move(reader.Hive);
}

std::string FormatHive(const THiveKeys& hive) {
  std::string text;
  for (const THiveKeys::Key& key : hive.Keys()) {
    if (!text.empty()) text += '\n';
    plat::AppendIniLine(text, "[\\" + key.Path + "]");
    // Values are kept in their file form already; encoding them again changes nothing.
    for (const auto& nv : key.Values) plat::AppendIniLine(text, nv.first + "=" + nv.second);
  }
  return text;
}

}  // namespace

// ----- THiveKeys ---------------------------------------------------------------------------------

size_t TNameNoCaseHash::operator()(std::string_view name) const noexcept {
  uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (char c : name) h = (h ^ static_cast<uint8_t>(LowerAscii(c))) * 1099511628211ull;
  return static_cast<size_t>(h);
}

bool TNameNoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

int32_t THiveKeys::Find(std::string_view path) const {
  auto it = paths_.find(path);
  return it == paths_.end() ? -1 : it->second;
}

size_t THiveKeys::Add(std::string_view path) {
  const auto index = static_cast<int32_t>(keys_.size());
  auto it = paths_.find(path);
  if (it != paths_.end()) {
    if (it->second >= 0) return static_cast<size_t>(it->second);
    it->second = index;  // known as a parent so far
  } else {
    paths_.emplace(std::string(path), index);
    // Each parent now exists for HasKeyOrSubKey. They are added from the nearest up, stopping at
    // the first one known already (its own parents are known too).
    for (size_t end = path.rfind('\\'); end != std::string_view::npos && end != 0;
         end = path.rfind('\\', end - 1)) {
      const std::string_view parent = path.substr(0, end);
      if (paths_.find(parent) != paths_.end()) break;
      paths_.emplace(std::string(parent), -1);
    }
  }
  keys_.push_back(Key{std::string(path), {}});
  valueOf_.emplace_back();
  return static_cast<size_t>(index);
}

bool THiveKeys::HasKeyOrSubKey(std::string_view path) const { return paths_.find(path) != paths_.end(); }

const std::string* THiveKeys::FindValue(size_t key, std::string_view name) const {
  const NameIndex& index = valueOf_[key];
  auto it = index.find(name);
  return it == index.end() ? nullptr : &keys_[key].Values[it->second].second;
}

bool THiveKeys::Put(size_t key, std::string_view name, std::string_view value, bool keepFirst) {
  auto& values = keys_[key].Values;
  NameIndex& index = valueOf_[key];
  if (auto it = index.find(name); it != index.end()) {
    std::string& old = values[it->second].second;
    if (keepFirst || old == value) return false;
    old = value;
    return true;
  }
  index.emplace(std::string(name), values.size());
  values.emplace_back(name, value);
  return true;
}

// ----- TRegistryEx -------------------------------------------------------------------------------

std::string NormalizeKeyPath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
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
  if (plat::ReadSettingsFile(path_, text)) hive_ = ParseHive(text);
}

TRegistryEx::~TRegistryEx() {
  if (changes_.empty()) return;
  std::string error;
  Flush(error);  // failures cannot be reported from here; SaveToRegistry flushes itself
}

bool TRegistryEx::KeyExists(const std::string& name) {
  return hive_.HasKeyOrSubKey(NormalizeKeyPath(KeyPrefix + name));
}

void TRegistryEx::OpenKey(const std::string& name) {
  current_ = static_cast<int32_t>(hive_.Add(NormalizeKeyPath(KeyPrefix + name)));
}

const std::string* TRegistryEx::FindValue(const std::string& name) const {
  return current_ < 0 ? nullptr : hive_.FindValue(static_cast<size_t>(current_), name);
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
  const auto key = static_cast<size_t>(current_);
  hive_.Put(key, name, value);
  changes_.push_back(Change{hive_.Keys()[key].Path, name, value});
}

void TRegistryEx::WriteBool(const std::string& name, bool value) { Put(name, value ? "1" : "0"); }

void TRegistryEx::WriteInteger(const std::string& name, int32_t value) {
  Put(name, std::to_string(value));
}

void TRegistryEx::WriteString(const std::string& name, const std::string& value) {
  // Keep the in-memory copy the same as what reads back from the file.
  Put(name, plat::EncodeIniValue(value));
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
  THiveKeys merged;
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
  bool changed = false;
  for (const Change& c : changes_) changed |= merged.Put(merged.Add(c.Key), c.Name, c.Value);
  if (changed && !plat::WriteSettingsFileLocked(path_, FormatHive(merged), error)) return false;
  // Keys opened here but never written to stay known to this store.
  for (const THiveKeys::Key& key : hive_.Keys()) merged.Add(key.Path);
  const std::string openPath =
      current_ >= 0 ? hive_.Keys()[static_cast<size_t>(current_)].Path : std::string();
  const bool hadOpenKey = current_ >= 0;
  hive_ = std::move(merged);
  changes_.clear();
  current_ = hadOpenKey ? hive_.Find(openPath) : -1;
  return true;
}

}  // namespace qv
