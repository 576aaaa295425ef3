#include "foundation/fonts/font_files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

#include "foundation/text/code_pages.h"
#include "foundation/fonts/font_substitution.h"
#include "platform/gfx/font.h"

namespace qv {

uint16_t SwapBytes16(uint16_t value) { return static_cast<uint16_t>((value << 8) | (value >> 8)); }

uint32_t SwapBytes32(uint32_t value) {
  return (value << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) | (value >> 24);
}

uint16_t ReadBigEndian16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

uint32_t ReadBigEndian32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads `size` bytes at `offset`; false when the file is shorter.
bool ReadAt(std::FILE* f, uint64_t offset, size_t size, std::string& out) {
  out.assign(size, '\0');
  if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return size == 0 || std::fread(out.data(), 1, size, f) == size;
}

bool IsFontHeader(uint32_t version) { return version == 0x00010000u || version == 0x4F54544Fu; }

// UTF-16 big-endian name text in the program's code page.
std::string DecodeUtf16Be(const std::string& raw) {
  std::u16string text;
  for (size_t i = 0; i + 1 < raw.size(); i += 2)
    text += static_cast<char16_t>(ReadBigEndian16(raw.data() + i));
  return WideToCodePage(text, DefaultCodePage);
}

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

struct TableEntry {
  uint32_t Offset = 0;
  uint32_t Length = 0;
};

// Finds a table in the directory of the font at `fontOffset`, searching from the last entry.
bool FindTable(std::FILE* f, uint32_t fontOffset, const char* tag, TableEntry& entry) {
  std::string header;
  if (!ReadAt(f, fontOffset, 12, header)) return false;
  const uint16_t numTables = ReadBigEndian16(header.data() + 4);
  std::string dir;
  if (!ReadAt(f, uint64_t{fontOffset} + 12, size_t{numTables} * 16, dir)) return false;
  for (int i = numTables - 1; i >= 0; --i) {
    const char* rec = dir.data() + size_t(i) * 16;
    if (std::equal(tag, tag + 4, rec)) {
      entry.Offset = ReadBigEndian32(rec + 8);
      entry.Length = ReadBigEndian32(rec + 12);
      return true;
    }
  }
  return false;
}

// The family names (name id 1) of a 'name' table, each once. Names of the Unicode and Windows
// platforms are UTF-16 whatever their encoding id (symbol fonts use encoding 0); Macintosh names
// are single bytes. A string offset counts from the start of the string storage, so offset 0 is
// its first string, not a missing one.
std::vector<std::string> FamilyNames(const std::string& table) {
  std::vector<std::string> result;
  if (table.size() < 6) return result;
  const uint16_t count = ReadBigEndian16(table.data() + 2);
  const uint16_t stringOffset = ReadBigEndian16(table.data() + 4);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t rec = 6 + size_t{i} * 12;
    if (rec + 12 > table.size()) break;
    const uint16_t platform = ReadBigEndian16(table.data() + rec);
    const uint16_t nameId = ReadBigEndian16(table.data() + rec + 6);
    const uint16_t length = ReadBigEndian16(table.data() + rec + 8);
    const uint16_t offset = ReadBigEndian16(table.data() + rec + 10);
    if (nameId != 1) continue;
    const size_t start = size_t{stringOffset} + offset;
    if (start > table.size() || table.size() - start < length) continue;
    const std::string raw = table.substr(start, length);
    const bool wide = platform == 0 || platform == 3;
    const std::string name = Trim(wide ? DecodeUtf16Be(raw) : raw);
    if (name.empty()) continue;
    if (std::find(result.begin(), result.end(), name) == result.end()) result.push_back(name);
  }
  return result;
}

bool ReadFontNames(const std::string& fileName, std::FILE* f, uint32_t offset,
                   std::vector<TFontFileName>& names, std::vector<TFontFile>& files) {
  TableEntry nameEntry;
  if (!FindTable(f, offset, "name", nameEntry)) return false;
  // A name table is small; a length beyond a megabyte marks a damaged file.
  if (nameEntry.Length > (1u << 20)) return false;
  std::string table;
  if (!ReadAt(f, nameEntry.Offset, nameEntry.Length, table)) return false;
  const std::vector<std::string> found = FamilyNames(table);
  if (found.empty()) return false;
  int32_t style = FontStyleRegular;
  TableEntry head;
  std::string headData;
  if (FindTable(f, offset, "head", head) && head.Length >= 46 &&
      ReadAt(f, uint64_t{head.Offset} + 44, 2, headData))
    style = ReadBigEndian16(headData.data()) & 3;
  for (const std::string& name : found) {
    names.push_back({name, static_cast<int32_t>(files.size())});
    files.push_back({fileName, style});
  }
  return true;
}

}  // namespace

void ReadFontFile(const std::string& fileName, std::vector<TFontFileName>& names,
                  std::vector<TFontFile>& files) {
  // Only regular files: opening a FIFO would wait for a writer for ever.
  std::error_code typeError;
  if (!std::filesystem::is_regular_file(fileName, typeError)) return;
  FilePtr f(std::fopen(fileName.c_str(), "rb"));
  if (!f) return;
  std::string header;
  if (!ReadAt(f.get(), 0, 12, header)) return;
  const uint32_t version = ReadBigEndian32(header.data());
  if (IsFontHeader(version)) {
    ReadFontNames(fileName, f.get(), 0, names, files);
    return;
  }
  if (header.compare(0, 4, "ttcf") != 0) return;
  const uint32_t count = ReadBigEndian32(header.data() + 8);
  if (count > 4096) return;  // a damaged collection header
  std::string offsets;
  if (!ReadAt(f.get(), 12, size_t{count} * 4, offsets)) return;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t at = ReadBigEndian32(offsets.data() + size_t{i} * 4);
    std::string sub;
    if (!ReadAt(f.get(), at, 12, sub) || !IsFontHeader(ReadBigEndian32(sub.data()))) continue;
    ReadFontNames(fileName, f.get(), at, names, files);
  }
}

namespace {

bool NameLess(const TFontFileName& a, const TFontFileName& b) {
  return CompareFaceNames(a.Name, b.Name) < 0;
}

// Gives every family all four styles, borrowing the file of its lowest style for the missing ones.
void CompleteStyles(std::vector<TFontFileName>& names, std::vector<TFontFile>& files) {
  std::stable_sort(names.begin(), names.end(), NameLess);
  const size_t original = names.size();
  for (size_t i = 0; i < original;) {
    size_t j = i;
    bool has[4] = {false, false, false, false};
    int32_t lowest = -1;
    int32_t lowestStyle = 4;
    for (; j < original && SameFaceName(names[j].Name, names[i].Name); ++j) {
      const int32_t style = files[names[j].FileIndex].Style & 3;
      has[style] = true;
      if (style < lowestStyle) {
        lowestStyle = style;
        lowest = names[j].FileIndex;
      }
    }
    const std::string name = names[i].Name;
    const std::string file = files[lowest].FileName;
    for (int32_t style = 0; style < 4; ++style) {
      if (has[style]) continue;
      names.push_back({name, static_cast<int32_t>(files.size())});
      files.push_back({file, style});
    }
    i = j;
  }
  std::stable_sort(names.begin(), names.end(), NameLess);
}

}  // namespace

void FindFontFiles(const std::vector<std::string>& folders, std::vector<TFontFileName>& names,
                   std::vector<TFontFile>& files) {
  names.clear();
  files.clear();
  namespace fs = std::filesystem;
  std::set<std::string> seen;
  for (const std::string& folder : folders) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code typeError;
      if (!it->is_regular_file(typeError)) continue;
      const std::string path = it->path().string();
      if (seen.insert(path).second) ReadFontFile(path, names, files);
    }
  }
  CompleteStyles(names, files);
}

std::vector<std::string> SystemFontFolders() {
  std::vector<std::string> folders;
  std::set<std::string> seen;
  // The folders the platform found fonts in, then the usual places in case it knows of none.
  for (const plat::FontFileInfo& info : plat::EnumFontFiles()) {
    const std::string dir = std::filesystem::path(info.Path).parent_path().string();
    if (!dir.empty() && seen.insert(dir).second) folders.push_back(dir);
  }
  if (folders.empty()) {
    folders = {"/usr/share/fonts", "/usr/local/share/fonts"};
    if (const char* home = std::getenv("HOME")) folders.push_back(std::string(home) + "/.fonts");
  }
  return folders;
}

void FindFontFiles(std::vector<TFontFileName>& names, std::vector<TFontFile>& files) {
  FindFontFiles(SystemFontFolders(), names, files);
}

}  // namespace qv
