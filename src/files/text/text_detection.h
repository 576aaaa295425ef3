#pragma once
// Telling the encoding of plain text from its bytes: byte-order marks, plain 7-bit text, valid
// UTF-8 without a mark, and otherwise the Windows code page whose letter frequencies the bytes
// fit best.
#include <cstddef>
#include <cstdint>

namespace qv {

// The score of one code page (encoding index 4 to 11) over the bytes: the mean weight of the
// bytes from 65 up, where bytes at or above the page's threshold weigh by the page's letter
// frequencies and the others weigh 0; 0 when no byte counts or the index is no code page.
int32_t ScoreCodePage(int32_t index, const uint8_t* data, size_t size);

// What the bytes say of their encoding.
struct TTextDetection {
  int32_t Encoding = -1;  // the encoding index
  size_t MarkSize = 0;    // bytes of the byte-order mark to skip
};

// Looks at the bytes (the first buffer fill of the file): EF BB BF is UTF-8 with its mark; bytes
// that are all tab, line feed, form feed, carriage return or 32..127 are UTF-8; an even count
// starting FF FE or FE FF is UTF-16 of that byte order; bytes that are valid UTF-8 (a sequence
// cut off by the end of the bytes counts as valid when `truncated` says the file goes on) are
// UTF-8; otherwise the code page with the highest score, where among equal highest scores the
// program's default wins, then 1252, then the highest index.
TTextDetection DetectTextEncoding(const uint8_t* data, size_t size, bool truncated);

// True when the bytes are valid UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF). With `truncated`, a sequence cut off by the end is accepted.
bool IsValidUtf8(const uint8_t* data, size_t size, bool truncated);

}  // namespace qv
