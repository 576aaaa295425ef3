#pragma once
// Conversion between UTF-16 and the code pages the system's documents use, named by their
// Windows numbers: 1250-1258, 874, 932, 936, 949, 950, the OEM pages 437 and 850, Mac Roman
// (10000), and UTF-8 (65001).
#include <cstdint>
#include <string>

namespace plat {

constexpr uint32_t CP_UTF8 = 65001;
constexpr uint32_t CP_MACROMAN = 10000;

// True for the code pages listed above.
bool IsCodePageSupported(uint32_t codePage);
// True for the double-byte pages 932, 936, 949 and 950 (and for UTF-8, which is multi-byte).
bool IsMultiByteCodePage(uint32_t codePage);

// Bytes to UTF-16. In single-byte pages every byte gives exactly one code unit; a byte the page
// does not define gives the code unit of the same value (so bytes survive a round trip). In
// multi-byte pages an invalid or unmappable sequence gives U+FFFD. An unsupported code page is
// read as Windows-1252.
std::u16string CodePageToUtf16(uint32_t codePage, const std::string& bytes);

// UTF-16 to bytes. In single-byte pages every code unit gives exactly one byte; a character the
// page cannot hold becomes `replacement`. In multi-byte pages an unmappable character (or a lone
// surrogate) becomes the replacement byte. `usedReplacement`, when given, tells whether any was.
std::string Utf16ToCodePage(uint32_t codePage, const std::u16string& text, char replacement = '?',
                            bool* usedReplacement = nullptr);

// One character in a single-byte page; -1 when the page cannot hold it (or is multi-byte).
int ByteOfChar(uint32_t codePage, char16_t ch);

// Makes text drawing decode byte strings through this conversion (done when the program starts).
void InstallCodePageDecoder();

}  // namespace plat
