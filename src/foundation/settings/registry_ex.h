#pragma once
// TRegistryEx: the settings store on the user's settings hive, the stand-in for the system's
// registry. The hive is one ini-format file ($XDG_CONFIG_HOME/quorvane/registry.ini by default)
// whose section names are the key paths ("\Software\Quorvane Word Processor\General").
//
// The hive is read when the store is made; writes change the in-memory copy and are written back
// by Flush (and by the destructor). Flush takes the hive's advisory lock, reads the file again,
// applies only this store's own changes on top and writes the result atomically, so a second
// instance writing in between loses nothing. A missing, empty or damaged hive reads as empty.
// Key and value names compare without regard to ASCII case, as registry names do.
#include <string>
#include <utility>
#include <vector>

#include "foundation/settings/settings_storage.h"

namespace qv {

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

  // Writes this store's changes to the hive; false (with a message in `error`) when it cannot.
  bool Flush(std::string& error);
  const std::string& HivePath() const { return path_; }

  struct Key {
    std::string Path;  // normalised: no leading, trailing or doubled backslashes
    std::vector<std::pair<std::string, std::string>> Values;
  };

 private:
  struct Change {
    std::string Key;
    std::string Name;  // empty with IsKey: the key itself was created
    std::string Value;
    bool IsKey = false;
  };
  std::string path_;
  std::vector<Key> keys_;
  int32_t current_ = -1;  // index of the open key in keys_, -1 for none
  std::vector<Change> changes_;

  const std::string* FindValue(const std::string& name) const;
  void Put(const std::string& name, const std::string& value);
};

// Key-path helpers shared with the tests: removes leading, trailing and doubled backslashes.
std::string NormalizeKeyPath(const std::string& path);

}  // namespace qv
