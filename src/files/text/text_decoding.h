#pragma once
// Decoding UTF-8 and UTF-16 text one character at a time, for the plain-text reader (which turns
// characters into paragraphs as it goes, without a decoded copy of the whole file) and for whole
// texts. Malformed input never stops decoding: an invalid or cut-off UTF-8 sequence and a lone
// UTF-16 surrogate each become one U+FFFD.
#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

inline constexpr char16_t kReplacementChar = 0xFFFD;

// One character read: its one or two UTF-16 units (a surrogate pair for characters outside the
// basic plane), whether it replaced a malformed sequence, and how much input it took.
struct TDecodedChar {
  char16_t Units[2] = {0, 0};
  uint8_t UnitCount = 1;
  bool Replaced = false;
  size_t Taken = 1;  // bytes of UTF-8, 16-bit units of UTF-16
};

// The UTF-8 character at data[at] (at < size). Characters outside the basic plane become
// surrogate pairs, a surrogate pair written as two 3-byte sequences is joined, and an invalid or
// cut-off sequence becomes one U+FFFD, reading resuming at the first byte that could not
// continue it.
TDecodedChar DecodeUtf8Char(const uint8_t* data, size_t size, size_t at);
// The UTF-16 character at unit `at` (at < units) of 16-bit units in the byte order: a valid pair
// takes two units, a lone surrogate becomes U+FFFD.
TDecodedChar DecodeUtf16Char(const uint8_t* data, size_t units, size_t at, bool bigEndian);
// The 16-bit unit `at` of UTF-16 bytes in the byte order.
inline char16_t Utf16UnitAt(const uint8_t* data, size_t at, bool bigEndian) {
  const uint8_t a = data[2 * at], b = data[2 * at + 1];
  return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
}

// Decodes UTF-8 (encoding 0 or 1, without its mark) into UTF-16 character by character as
// above; `replacements` counts the U+FFFD put in.
std::u16string DecodeUtf8Text(const uint8_t* data, size_t size, int32_t* replacements);
// Decodes UTF-16 of the byte order; a lone surrogate and an odd last byte become U+FFFD.
std::u16string DecodeUtf16Text(const uint8_t* data, size_t size, bool bigEndian,
                               int32_t* replacements);

}  // namespace qv
