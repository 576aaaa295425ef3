#include "platform/gfx/code_page_table.h"

#include <atomic>

#include "platform/gfx/font.h"

namespace plat {

namespace {
std::atomic<CodePageDecoder> g_decoder{nullptr};

// Bytes 0x80..0x9F of code page 1252; the five bytes it leaves undefined map to the C1 control
// of the same number, as the system's conversion does.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool BuiltIn(int32_t cp) { return cp == 0 || cp == 1252 || cp == 28591; }

char16_t BuiltInByte(int32_t cp, uint8_t b) {
  if (cp == 0) return char16_t(0xF000 + b);
  if (cp == 1252 && b >= 0x80 && b < 0xA0) return k1252High[b - 0x80];
  return char16_t(b);
}
}  // namespace

void SetCodePageDecoder(CodePageDecoder decoder) { g_decoder.store(decoder); }

namespace gfx_detail {

char16_t DecodeByte(int32_t codePage, uint8_t b) {
  if (BuiltIn(codePage) || b < 0x80) return BuiltInByte(codePage, b);
  if (CodePageDecoder d = g_decoder.load()) {
    const char c = char(b);
    std::u16string s = d(codePage, std::string_view(&c, 1));
    return s.size() == 1 ? s[0] : char16_t(0);
  }
  return BuiltInByte(1252, b);
}

std::u16string DecodeBytes(int32_t codePage, std::string_view bytes) {
  if (!BuiltIn(codePage)) {
    if (CodePageDecoder d = g_decoder.load()) return d(codePage, bytes);
    codePage = 1252;
  }
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(BuiltInByte(codePage, uint8_t(c)));
  return out;
}

}  // namespace gfx_detail
}  // namespace plat
