#pragma once
// The twelve encodings of plain text, by their text encoding index: 0 UTF-8 without a byte-order
// mark, 1 UTF-8 with one, 2 UTF-16 little-endian, 3 UTF-16 big-endian, 4 to 11 the Windows code
// pages 1250 to 1257. -1 means that no encoding is chosen. Line-end styles: 0 CR LF, 1 CR only,
// 2 LF only, 3 LF CR.
#include <cstdint>

namespace qv {

enum : int32_t {
  teNone = -1,
  teUtf8 = 0,
  teUtf8Bom = 1,
  teUtf16LE = 2,
  teUtf16BE = 3,
  teFirstCodePage = 4,
  teLastCodePage = 11,
  TextEncodingCount = 12,
};

enum : uint8_t { leCRLF = 0, leCR = 1, leLF = 2, leLFCR = 3, LineEndStyleCount = 4 };

// The list texts of the encodings and of the line-end styles.
extern const char* const TextEncodingNames[TextEncodingCount];
extern const char* const LineEndStyleNames[LineEndStyleCount];

inline bool IsValidTextEncoding(int32_t index) { return index >= 0 && index < TextEncodingCount; }
inline bool IsCodePageEncoding(int32_t index) {
  return index >= teFirstCodePage && index <= teLastCodePage;
}
// The Windows code page of indexes 4 to 11 (1246 + index); 0 for the others.
inline uint32_t CodePageOfTextEncoding(int32_t index) {
  return IsCodePageEncoding(index) ? static_cast<uint32_t>(1246 + index) : 0;
}
// The program's default: the index of the default code page when it lies in 1250..1257, else 6.
int32_t DefaultTextEncoding();

}  // namespace qv
