#pragma once
// TRegistryEx: the settings store on the user's settings hive, the stand-in for the system's
// registry. The hive is one ini-format file ($XDG_CONFIG_HOME/quorvane/registry.ini by default)
// whose section names are the key paths ("\Software\Quorvane Word Processor\General").
//
// The hive is read when the store is made; writes change the in-memory copy and are written back
// by Flush (and by the destructor). Flush takes the hive's advisory lock, reads the file again,
// applies only this store's own changes on top and writes the result atomically, so a second
// instance writing in between loses nothing. The file is written only when that changes what it
// holds: a store that only reads (or writes back the values already there) leaves it untouched.
// A key that OpenKey creates lives in memory until a value is written into it, so reading a
// missing key adds nothing to the file. A missing, empty or damaged hive reads as empty.
// Key and value names compare without regard to ASCII case, as registry names do; keys and values
// are found through hash indexes, so a hive of any size loads in linear time.
// Values are kept exactly as the ini store keeps them (plat::EncodeIniValue).
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/settings/settings_storage.h"

namespace qv {

// Hashing and equality of key and value names without regard to ASCII case, usable with
// std::string_view lookups so that finding a name copies nothing.
struct TNameNoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const noexcept;
};
struct TNameNoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

// The keys of a hive in file order, each with its values in file order, found by key path and
// value name without regard to ASCII case.
class THiveKeys {
 public:
  struct Key {
    std::string Path;  // normalised: no leading, trailing or doubled backslashes
    std::vector<std::pair<std::string, std::string>> Values;
  };

  const std::vector<Key>& Keys() const { return keys_; }
  // The index of the key with that (normalised) path, or -1.
  int32_t Find(std::string_view path) const;
  // The index of the key, added without values when missing.
  size_t Add(std::string_view path);
  // Whether the key or a key below it exists.
  bool HasKeyOrSubKey(std::string_view path) const;
  const std::string* FindValue(size_t key, std::string_view name) const;
  // Sets a value; with `keepFirst` a value already there stays as it is. True when the key's
  // values changed.
  bool Put(size_t key, std::string_view name, std::string_view value, bool keepFirst = false);

 private:
  using NameIndex = std::unordered_map<std::string, size_t, TNameNoCaseHash, TNameNoCaseEqual>;
  std::vector<Key> keys_;
  std::vector<NameIndex> valueOf_;
  // Every key by its path with its index, and each parent of a key that is no key itself with -1.
  std::unordered_map<std::string, int32_t, TNameNoCaseHash, TNameNoCaseEqual> paths_;
};

class TRegistryEx : public TSettingsStorage {
 public:
  // `hivePath` empty: the user's hive.
  explicit TRegistryEx(const std::string& hivePath = std::string());
  ~TRegistryEx() override;

  bool KeyExists(const std::string& name) override;
  // Opens (creating when missing) the key prefix + name.
  void OpenKey(const std::string& name) override;
  bool ReadBool(const std::string& name, bool defaultValue) override;
  int32_t ReadInteger(const std::string& name, int32_t minValue, int32_t maxValue,
                      int32_t defaultValue) override;
  void ReadString(const std::string& name, const std::string& defaultValue,
                  std::string& value) override;
  void WriteBool(const std::string& name, bool value) override;
  void WriteInteger(const std::string& name, int32_t value) override;
  void WriteString(const std::string& name, const std::string& value) override;

  // Writes this store's changes to the hive; false (with a message in `error`) when it cannot,
  // among others when the user made the file read-only. A hive that is a symbolic link is
  // written through the link.
  bool Flush(std::string& error);
  const std::string& HivePath() const { return path_; }

 private:
  struct Change {
    std::string Key;
    std::string Name;
    std::string Value;
  };
  std::string path_;
  THiveKeys hive_;
  int32_t current_ = -1;  // index of the open key, -1 for none
  std::vector<Change> changes_;

  const std::string* FindValue(const std::string& name) const;
  void Put(const std::string& name, const std::string& value);
};

// Key-path helpers shared with the tests: removes leading, trailing and doubled backslashes.
std::string NormalizeKeyPath(std::string_view path);

}  // namespace qv
