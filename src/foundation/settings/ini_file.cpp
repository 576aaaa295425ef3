#include "foundation/settings/ini_file.h"

#include <algorithm>

#include "foundation/base/exceptions.h"
#include "platform/system/settings_hive.h"

namespace qv {

namespace {

int LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

bool LessNoCase(const std::string& a, const std::string& b) { return CompareNamesNoCase(a, b) < 0; }

}  // namespace

int CompareNamesNoCase(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int x = LowerAscii(static_cast<unsigned char>(a[i]));
    int y = LowerAscii(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool ParseIniInteger(const std::string& text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i >= text.size()) return false;
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  int64_t signedValue;
  if (hex) {
    // "$FFFFFFFF" is the 32-bit pattern, as written by programs that store flags in hex.
    signedValue = static_cast<int32_t>(static_cast<uint32_t>(v));
  } else {
    signedValue = static_cast<int64_t>(v);
  }
  if (negative) signedValue = -signedValue;
  if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
  value = static_cast<int32_t>(signedValue);
  return true;
}

const std::string* TIniFileGroup::Find(const std::string& name) const {
  auto it = std::lower_bound(Names.begin(), Names.end(), name,
                             [](const Entry& e, const std::string& n) { return LessNoCase(e.Name, n); });
  if (it == Names.end() || CompareNamesNoCase(it->Name, name) != 0) return nullptr;
  return &Values[static_cast<size_t>(it->ValueIndex)];
}

TIniFile::TIniFile(const std::string& fileName, bool writeMode)
    : FileName(fileName), WriteMode(writeMode) {
  if (writeMode) return;
  std::string text;
  if (!plat::ReadSettingsFile(fileName, text)) return;  // missing or unreadable: empty store
  for (plat::IniSection& s : plat::ParseIniText(text)) {
    Section section{std::move(s.Name), {}};
    TIniFileGroup& group = section.Group;
    for (const std::string& line : s.Lines) {
      size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      group.Names.push_back({line.substr(0, eq), static_cast<int32_t>(group.Values.size())});
      group.Values.push_back(line.substr(eq + 1));
    }
    std::stable_sort(group.Names.begin(), group.Names.end(),
                     [](const TIniFileGroup::Entry& a, const TIniFileGroup::Entry& b) {
                       return LessNoCase(a.Name, b.Name);
                     });
    Sections.push_back(std::move(section));
  }
  std::stable_sort(Sections.begin(), Sections.end(),
                   [](const Section& a, const Section& b) { return LessNoCase(a.Name, b.Name); });
}

TIniFile::~TIniFile() {
  if (WriteMode && !saved_) {
    try {
      Save();
    } catch (const Exception&) {
      // Nothing can be reported from here; writers call Save themselves to learn of failures.
    }
  }
}

const TIniFile::Section* TIniFile::FindSection(const std::string& name) const {
  auto it = std::lower_bound(Sections.begin(), Sections.end(), name,
                             [](const Section& s, const std::string& n) { return LessNoCase(s.Name, n); });
  if (it == Sections.end() || CompareNamesNoCase(it->Name, name) != 0) return nullptr;
  return &*it;
}

bool TIniFile::KeyExists(const std::string& name) {
  return !WriteMode && FindSection(KeyPrefix + name) != nullptr;
}

void TIniFile::OpenKey(const std::string& name) {
  if (WriteMode) {
    if (!Lines.empty()) Lines.emplace_back();
    Lines.push_back("[" + KeyPrefix + name + "]");
    return;
  }
  const Section* s = FindSection(KeyPrefix + name);
  CurrentSection = s ? &s->Group : nullptr;
}

bool TIniFile::ReadBool(const std::string& name, bool defaultValue) {
  std::string text;
  ReadString(name, defaultValue ? "1" : "0", text);
  return text == "1";
}

int32_t TIniFile::ReadInteger(const std::string& name, int32_t minValue, int32_t maxValue,
                              int32_t defaultValue) {
  const std::string* text = (WriteMode || !CurrentSection) ? nullptr : CurrentSection->Find(name);
  int32_t value;
  if (!text || !ParseIniInteger(*text, value) || value == defaultValue) return defaultValue;
  return std::clamp(value, minValue, std::max(minValue, maxValue));
}

void TIniFile::ReadString(const std::string& name, const std::string& defaultValue,
                          std::string& value) {
  const std::string* text = (WriteMode || !CurrentSection) ? nullptr : CurrentSection->Find(name);
  value = text ? *text : defaultValue;
}

void TIniFile::WriteBool(const std::string& name, bool value) {
  if (WriteMode) Lines.push_back(name + (value ? "=1" : "=0"));
}

void TIniFile::WriteInteger(const std::string& name, int32_t value) {
  if (WriteMode) Lines.push_back(name + "=" + std::to_string(value));
}

void TIniFile::WriteString(const std::string& name, const std::string& value) {
  if (WriteMode) Lines.push_back(name + "=" + plat::EncodeIniValue(value));
}

void TIniFile::Save() {
  if (!WriteMode) return;
  std::string text;
  for (const std::string& line : Lines) plat::AppendIniLine(text, line);
  // A file that already holds exactly this text is left as it is.
  std::string old;
  const bool unchanged = plat::ReadSettingsFile(FileName, old) && old == text;
  std::string error;
  if (!unchanged && !plat::WriteSettingsFile(FileName, text, error)) throw EFCreateError(FileName);
  saved_ = true;
}

}  // namespace qv
