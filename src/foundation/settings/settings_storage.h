#pragma once
// TSettingsStorage: the one interface through which every persistent setting is read and written.
//
// A store has a key prefix and eight virtual operations; the base class keeps nothing and returns
// every default (it serves when settings are not to be loaded). Back ends: TRegistryEx (the user's
// settings hive, registry_ex.h) and TIniFile (an ini file, ini_file.h).
//
// The integer rule of every back end: a missing or unreadable value gives the default unchanged,
// without clamping; a stored value is clamped to [min, max]. Callers rely on it: a default outside
// the range (0x80000000 for "not set", -1 for "none") comes back only when nothing was stored.
//
// The long-string and blob operations open the key named after the value (prefix + name), so the
// key open before is no longer selected: callers open their section again afterwards.
#include <cstdint>
#include <string>

#include "foundation/base/memory.h"

namespace qv {

class TSettingsStorage {
 public:
  TSettingsStorage() = default;
  TSettingsStorage(const TSettingsStorage&) = delete;
  TSettingsStorage& operator=(const TSettingsStorage&) = delete;
  virtual ~TSettingsStorage() = default;

  // Put in front of every key name by OpenKey and KeyExists, e.g. "\Software\Quorvane Word Processor\".
  std::string KeyPrefix;

  // Whether the key prefix + name exists; does not select it.
  virtual bool KeyExists(const std::string& name);
  // Selects the key prefix + name for the reads and writes that follow.
  virtual void OpenKey(const std::string& name);
  virtual bool ReadBool(const std::string& name, bool defaultValue);
  virtual int32_t ReadInteger(const std::string& name, int32_t minValue, int32_t maxValue,
                              int32_t defaultValue);
  virtual void ReadString(const std::string& name, const std::string& defaultValue,
                          std::string& value);
  virtual void WriteBool(const std::string& name, bool value);
  virtual void WriteInteger(const std::string& name, int32_t value);
  virtual void WriteString(const std::string& name, const std::string& value);

  // Convenience form of ReadString.
  std::string ReadStr(const std::string& name, const std::string& defaultValue = std::string());

  // Wide text kept as UTF-8; a missing value gives the wide default.
  void ReadWideString(const std::string& name, const std::u16string& defaultValue,
                      std::u16string& value);
  void WriteWideString(const std::string& name, const std::u16string& value);

  // Text of any length kept in the key `name` as "Count" and pieces "0", "1", ...; seams never lie
  // next to a blank or control character, so back ends that trim values keep the text whole.
  void ReadLongString(const std::string& name, const std::string& defaultValue, std::string& value);
  void WriteLongString(const std::string& name, const std::string& value);

  // A block kept as a long string of hex digits (two lowercase digits a byte) in the key `name`.
  // Reading gives an empty buffer when nothing is stored, and also when the text holds a character
  // that is not a hex digit (a damaged value is rejected whole, never half converted).
  void ReadBinary(const std::string& name, TMemory& block);
  void WriteBinary(const std::string& name, const void* block, int32_t size);
  // A block as one hex string value under `name` in the current key.
  void WriteBinaryValue(const std::string& name, const void* block, int32_t size);
};

// Reads one hex string value of the current key into `destination` (`size` bytes). Only a value of
// exactly 2 * size hex digits is taken; anything else (missing, wrong length, a non-hex character)
// copies `defaultBlock` instead (when it is null, the destination is left as it is).
void ReadBinarySetting(TSettingsStorage& storage, const std::string& name, void* destination,
                       const void* defaultBlock, int32_t size);

// Hex helpers shared by the stores: lowercase digit pairs; HexToBytes is false (and `out` untouched)
// when the text holds a non-hex character. An odd last digit is ignored.
std::string BytesToHex(const void* block, int32_t size);
bool HexToBytes(const std::string& text, std::string& out);

}  // namespace qv
