#pragma once
// TIniFile: the settings store on an ini text file (the portable "Quorvane.ini" and files named by
// the command line). Section names are the full key path ("\Software\Quorvane Word Processor\General").
//
// Read mode loads the file at once; a missing, empty or damaged file gives an empty store that
// returns every default. Reads never raise. Writes are ignored in read mode, and a read-mode store
// never writes the file.
// Values are kept exactly (plat::EncodeIniValue): a line break is written as "||", the settings'
// line-break mark, which reads back as "||"; every other byte, a lone CR included, reads back as
// it was written.
// Write mode collects output lines only (reads give defaults, KeyExists is false); Save writes them
// as the whole new file, atomically. Section and value names compare without regard to ASCII case.
#include <memory>
#include <string>
#include <vector>

#include "foundation/settings/settings_storage.h"

namespace qv {

// One section read from the file: its value names (sorted, each with the index of its value) and
// its values in file order. A name that occurs twice finds one of its occurrences.
class TIniFileGroup {
 public:
  struct Entry {
    std::string Name;
    int32_t ValueIndex;
  };
  std::vector<Entry> Names;
  std::vector<std::string> Values;

  // The value of the name, or null when absent.
  const std::string* Find(const std::string& name) const;
};

class TIniFile : public TSettingsStorage {
 public:
  TIniFile(const std::string& fileName, bool writeMode);
  // A write-mode file not saved yet is saved here; a failure then cannot be reported, so writers
  // call Save themselves.
  ~TIniFile() override;

  std::string FileName;
  bool WriteMode;

  struct Section {
    std::string Name;
    TIniFileGroup Group;
  };
  // Read mode: the sections sorted by name. Write mode: unused.
  std::vector<Section> Sections;
  // Write mode: the output lines.
  std::vector<std::string> Lines;
  const TIniFileGroup* CurrentSection = nullptr;

  bool KeyExists(const std::string& name) override;
  void OpenKey(const std::string& name) override;
  bool ReadBool(const std::string& name, bool defaultValue) override;
  int32_t ReadInteger(const std::string& name, int32_t minValue, int32_t maxValue,
                      int32_t defaultValue) override;
  void ReadString(const std::string& name, const std::string& defaultValue,
                  std::string& value) override;
  void WriteBool(const std::string& name, bool value) override;
  void WriteInteger(const std::string& name, int32_t value) override;
  void WriteString(const std::string& name, const std::string& value) override;

  // Write mode: writes the collected lines as the whole file (temporary file, flush, rename; a
  // symbolic link is written through to its file); a file that already holds the same text is not
  // touched. Raises EFCreateError when the file cannot be written, also when the user made it
  // read-only (the old file is then left as it was). Read mode: nothing.
  void Save();

 private:
  const Section* FindSection(const std::string& name) const;
  bool saved_ = false;
};

// Parses an integer as the ini store reads it: leading blanks, an optional sign, decimal digits or
// "$" and hex digits, nothing after them. False when the text does not read or leaves 32 bits.
bool ParseIniInteger(const std::string& text, int32_t& value);
// Case-insensitive (ASCII) comparison used for section and value names.
int CompareNamesNoCase(const std::string& a, const std::string& b);

}  // namespace qv
