#pragma once
// Small constant tables that several subsystems share: the values of hexadecimal digits, the
// special-character code that stands for a Unicode character in a content stream, and which
// built-in set of date and time formats a language uses.
#include <array>
#include <cstdint>

namespace qv {

// Value of a hexadecimal digit by character code: "0"-"9", "a"-"f" and "A"-"F" give 0 to 15,
// every other character 255.
inline constexpr uint8_t kNotAHexDigit = 255;
inline constexpr std::array<uint8_t, 256> HexDigitValues = [] {
  std::array<uint8_t, 256> values{};
  values.fill(kNotAHexDigit);
  for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<uint8_t>(i);
  for (int i = 0; i < 6; ++i) {
    values['a' + i] = static_cast<uint8_t>(10 + i);
    values['A' + i] = static_cast<uint8_t>(10 + i);
  }
  return values;
}();

// The special character of a content stream that stands for a UTF-16 character: tab 9; en dash
// (8211, and 150 of Windows-1252) 14; em dash (8212, 151) 13; no-break space (160) 11; soft
// hyphen (173) 15; en space (8194) 18; em space (8195) 19; four-per-em space (8197) 20;
// non-breaking hyphen (8209) 12. Any other character gives kNotSpecialChar.
inline constexpr uint8_t kNotSpecialChar = 255;
uint8_t UnicodeToSpecialChar(char16_t ch);

// Which built-in set of date and time formats a language uses: 2 for French (primary language
// 12, any region), 1 for U.S. English (exactly 1033), 0 for every other language.
int32_t DateFormatSetIndex(int32_t languageId);

}  // namespace qv
