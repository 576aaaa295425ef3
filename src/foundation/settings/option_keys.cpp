#include "foundation/settings/option_keys.h"

#include <algorithm>
#include <cctype>

#include "foundation/settings/stored_path.h"

namespace qv {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Runs an operation with the store's prefix extended by subPath, restoring it afterwards.
template <class F>
auto WithSubPrefix(TSettingsStorage& storage, const std::string& subPath, F f) {
  const std::string saved = storage.KeyPrefix;
  storage.KeyPrefix += subPath;
  struct Restore {
    TSettingsStorage& s;
    const std::string& p;
    ~Restore() { s.KeyPrefix = p; }
  } restore{storage, saved};
  return f();
}

}  // namespace

// The stored-path form is the program-wide one (stored_path.h).
std::string EncodeOptionPath(const TOptionsContext&, const std::string& path) {
  return EncodeStoredPath(path);
}

std::string DecodeOptionPath(const TOptionsContext&, const std::string& text) {
  return DecodeStoredPath(text);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += lines[i];
  }
  return out;
}

uint32_t ReadFlags(TSettingsStorage& storage, const std::string& name, uint32_t builtIn) {
  int32_t v = storage.ReadInteger(name, INT32_MIN, INT32_MAX, kOptNotSet);
  return v == kOptNotSet ? builtIn : static_cast<uint32_t>(v);
}

std::string ReadPath(TSettingsStorage& storage, const TOptionsContext& context,
                     const std::string& name, const std::string& defaultValue) {
  // The default is already a real path: it must not go through the decoding.
  const std::string missing(1, '\0');
  std::string text = storage.ReadStr(name, missing);
  if (text == missing) return defaultValue;
  return DecodeOptionPath(context, text);
}

void WritePath(TSettingsStorage& storage, const TOptionsContext& context, const std::string& name,
               const std::string& path) {
  storage.WriteString(name, EncodeOptionPath(context, path));
}

bool HexUnitsToWide(const std::string& hex, std::u16string& text) {
  if (hex.size() % 4 != 0) return false;
  std::u16string out;
  for (size_t i = 0; i < hex.size(); i += 4) {
    int d[4];
    for (int k = 0; k < 4; ++k) {
      d[k] = HexDigit(hex[i + k]);
      if (d[k] < 0) return false;
    }
    out += static_cast<char16_t>((d[0] << 4 | d[1]) | (d[2] << 4 | d[3]) << 8);
  }
  text = out;
  return true;
}

std::vector<std::u16string> ReadWideList(TSettingsStorage& storage, const std::string& countName,
                                         const std::string& prefix, int32_t maxCount) {
  int32_t count = storage.ReadInteger(countName, 0, maxCount, 0);
  std::vector<std::u16string> list;
  for (int32_t i = 0; i < count; ++i) {
    std::u16string entry;
    std::string hex = storage.ReadStr(prefix + static_cast<char>('A' + i));
    // A damaged or empty entry is left out; the others keep their order.
    if (!hex.empty() && HexUnitsToWide(hex, entry)) list.push_back(entry);
  }
  return list;
}

void WriteWideList(TSettingsStorage& storage, const std::string& countName,
                   const std::string& prefix, const std::vector<std::u16string>& list,
                   int32_t maxCount) {
  int32_t count = static_cast<int32_t>(std::min<size_t>(list.size(), maxCount));
  storage.WriteInteger(countName, count);
  for (int32_t i = 0; i < count; ++i)
    storage.WriteString(prefix + static_cast<char>('A' + i), WideToHexText(list[i]));
}

std::string ReadLongText(TSettingsStorage& storage, const std::string& subPath,
                         const std::string& name, const std::string& defaultValue) {
  return WithSubPrefix(storage, subPath, [&] {
    std::string value;
    storage.ReadLongString(name, defaultValue, value);
    return value;
  });
}

void WriteLongText(TSettingsStorage& storage, const std::string& subPath, const std::string& name,
                   const std::string& value) {
  WithSubPrefix(storage, subPath, [&] { storage.WriteLongString(name, value); });
}

std::vector<uint8_t> ReadBlob(TSettingsStorage& storage, const std::string& subPath,
                              const std::string& name) {
  return WithSubPrefix(storage, subPath, [&] {
    TMemory block;
    storage.ReadBinary(name, block);
    std::vector<uint8_t> out;
    if (block.Length > 0) out.assign(block.Data, block.Data + block.Length);
    return out;
  });
}

void WriteBlob(TSettingsStorage& storage, const std::string& subPath, const std::string& name,
               const std::vector<uint8_t>& block) {
  WithSubPrefix(storage, subPath, [&] {
    storage.WriteBinary(name, block.data(), static_cast<int32_t>(block.size()));
  });
}

void LoadKey(TSettingsStorage& storage, const TOptionsContext& context, const char* name,
             TKeyKind kind, int32_t min, int32_t max, int32_t& value) {
  if (kind == TKeyKind::Flags)
    value = static_cast<int32_t>(ReadFlags(storage, name, static_cast<uint32_t>(value)));
  else
    value = storage.ReadInteger(name, min, max, value);
}

}  // namespace qv
