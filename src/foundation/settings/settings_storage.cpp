#include "foundation/settings/settings_storage.h"

#include <cstdlib>
#include <cstring>

#include "foundation/text/code_pages.h"

namespace qv {

namespace {

constexpr size_t kPieceLength = 512;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

bool TSettingsStorage::KeyExists(const std::string&) { return false; }
void TSettingsStorage::OpenKey(const std::string&) {}
bool TSettingsStorage::ReadBool(const std::string&, bool defaultValue) { return defaultValue; }
int32_t TSettingsStorage::ReadInteger(const std::string&, int32_t, int32_t, int32_t defaultValue) {
  return defaultValue;
}
void TSettingsStorage::ReadString(const std::string&, const std::string& defaultValue,
                                  std::string& value) {
  value = defaultValue;
}
void TSettingsStorage::WriteBool(const std::string&, bool) {}
void TSettingsStorage::WriteInteger(const std::string&, int32_t) {}
void TSettingsStorage::WriteString(const std::string&, const std::string&) {}

std::string TSettingsStorage::ReadStr(const std::string& name, const std::string& defaultValue) {
  std::string value;
  ReadString(name, defaultValue, value);
  return value;
}

void TSettingsStorage::ReadWideString(const std::string& name, const std::u16string& defaultValue,
                                      std::u16string& value) {
  // A lone NUL cannot be stored, so getting it back means "missing".
  const std::string sentinel(1, '\0');
  std::string text;
  ReadString(name, sentinel, text);
  if (text == sentinel)
    value = defaultValue;
  else
    value = Utf8ToWide(text);
}

void TSettingsStorage::WriteWideString(const std::string& name, const std::u16string& value) {
  WriteString(name, WideToUtf8(value));
}

void TSettingsStorage::ReadLongString(const std::string& name, const std::string& defaultValue,
                                      std::string& value) {
  OpenKey(name);
  int32_t count = ReadInteger("Count", -1, 2147483647, -1);
  if (count < 0) {
    value = defaultValue;
    return;
  }
  // Pieces missing at the end read as empty, so reading stops at the first missing one: a
  // damaged "Count" of two thousand million then costs nothing.
  const std::string missing(1, '\0');
  std::string result;
  for (int32_t i = 0; i < count; ++i) {
    std::string piece;
    ReadString(std::to_string(i), missing, piece);
    if (piece == missing) break;
    result += piece;
  }
  value = std::move(result);
}

void TSettingsStorage::WriteLongString(const std::string& name, const std::string& value) {
  OpenKey(name);
  const auto count = static_cast<int32_t>((value.size() + kPieceLength - 1) / kPieceLength);
  WriteInteger("Count", count);
  size_t start = 0;
  int32_t index = 0;
  while (start < value.size()) {
    size_t end = std::min(start + kPieceLength, value.size());
    // Move the seam forward while it would lie next to a blank or a control character.
    while (end < value.size() && (IsBlankOrControl(value[end - 1]) || IsBlankOrControl(value[end])))
      ++end;
    WriteString(std::to_string(index++), value.substr(start, end - start));
    start = end;
  }
  // Pieces that grew leave fewer values than "Count"; the rest are written empty so that a piece
  // left in a persistent store by an earlier, longer text is never read back into this one.
  while (index < count) WriteString(std::to_string(index++), std::string());
}

void TSettingsStorage::ReadBinary(const std::string& name, TMemory& block) {
  block.Clear();
  std::string text;
  ReadLongString(name, std::string(), text);
  std::string bytes;
  if (text.empty() || !HexToBytes(text, bytes)) return;
  block.SetString(bytes);
}

void TSettingsStorage::WriteBinary(const std::string& name, const void* block, int32_t size) {
  WriteLongString(name, BytesToHex(block, size));
}

void TSettingsStorage::WriteBinaryValue(const std::string& name, const void* block, int32_t size) {
  WriteString(name, BytesToHex(block, size));
}

void ReadBinarySetting(TSettingsStorage& storage, const std::string& name, void* destination,
                       const void* defaultBlock, int32_t size) {
  std::string text;
  storage.ReadString(name, std::string(), text);
  std::string bytes;
  if (size > 0 && text.size() == static_cast<size_t>(size) * 2 && HexToBytes(text, bytes)) {
    std::memcpy(destination, bytes.data(), static_cast<size_t>(size));
  } else if (defaultBlock && size > 0) {
    std::memmove(destination, defaultBlock, static_cast<size_t>(size));
  }
}

std::string BytesToHex(const void* block, int32_t size) {
  static const char kDigits[] = "0123456789abcdef";
  const auto* p = static_cast<const uint8_t*>(block);
  std::string text;
  if (!p || size <= 0) return text;
  text.reserve(static_cast<size_t>(size) * 2);
  for (int32_t i = 0; i < size; ++i) {
    text += kDigits[p[i] >> 4];
    text += kDigits[p[i] & 15];
  }
  return text;
}

bool HexToBytes(const std::string& text, std::string& out) {
  std::string bytes;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    int hi = HexDigit(text[i]);
    int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes += static_cast<char>(hi * 16 + lo);
  }
  if (text.size() % 2 == 1 && HexDigit(text.back()) < 0) return false;
  out = std::move(bytes);
  return true;
}

}  // namespace qv
