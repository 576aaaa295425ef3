#include "platform/system/utf_codec.h"

namespace plat {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += char16_t(c);
  } else {
    out += char16_t(0xD800 + ((c - 0x10000) >> 10));
    out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
}

char32_t NextUtf16CodePoint(std::u16string_view s, size_t& i) {
  char32_t c = s[i++];
  if (c >= 0xD800 && c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF)
    return 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00);
  return c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) AppendUtf8(out, NextUtf16CodePoint(s, i));
  return out;
}

bool Utf8Sequence::IsCharacter() const {
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  return length > 0 && length <= 4 && value >= kLeast[length] && value <= 0x10FFFF &&
         !(value >= 0xD800 && value <= 0xDFFF);
}

Utf8Sequence ReadUtf8Sequence(std::string_view s, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(s[i]);
  // The lead byte tells the length: 0xxxxxxx, 110xxxxx, 1110xxxx, 11110xxx; anything else is none.
  const size_t len = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return {};
  char32_t value = len == 1 ? lead : char32_t(lead & (0x7F >> len));
  for (size_t k = 1; k < len; ++k) {
    const unsigned char next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80) return {};
    value = (value << 6) | (next & 0x3F);
  }
  return {value, len};
}

}  // namespace plat
