#pragma once
// Code pages and font character sets of languages, the code page a Unicode character belongs to,
// narrow <-> wide conversion, UTF-8, the Mac OS Roman table and culture names of language ids.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// Font character sets (the numbers stored in documents and fonts).
enum : int32_t {
  ANSI_CHARSET = 0,
  DEFAULT_CHARSET = 1,
  SYMBOL_CHARSET = 2,
  MAC_CHARSET = 77,
  SHIFTJIS_CHARSET = 128,
  HANGEUL_CHARSET = 129,
  JOHAB_CHARSET = 130,
  GB2312_CHARSET = 134,
  CHINESEBIG5_CHARSET = 136,
  GREEK_CHARSET = 161,
  TURKISH_CHARSET = 162,
  VIETNAMESE_CHARSET = 163,
  HEBREW_CHARSET = 177,
  ARABIC_CHARSET = 178,
  BALTIC_CHARSET = 186,
  RUSSIAN_CHARSET = 204,
  THAI_CHARSET = 222,
  EASTEUROPE_CHARSET = 238,
  OEM_CHARSET = 255,
};

// Marker for "no code page" in CodePageOfChar and the code-page lists.
constexpr uint32_t NO_CODE_PAGE = 0x80000000u;

// The program's default code page and character set (those of the user's language); set at
// start-up by the shared managers, 1252 and ANSI_CHARSET until then.
extern uint32_t DefaultCodePage;
extern int32_t DefaultCharset;

// While set (by the DOCX, ODT and HTML readers during splitting), characters 150, 151 and 160
// have no code page of their own.
extern bool ReaderCodePageSwitch;

// The language id of the user's locale (LANG and friends); 1033 when it has none.
int32_t UserLocaleLanguageId();
// The language's ANSI code page; 0 for languages written only in Unicode. The ids 0, 0x400 and
// 0x800 stand for the user's language.
uint32_t GetLocaleCodePage(int32_t languageId);
int32_t GetLanguageCharset(int32_t languageId, bool fallback);
uint32_t CharsetToCodePage(int32_t charset);
int32_t CodePageToCharset(uint32_t codePage);
// The code page of the table a character belongs to; `defaultCodePage` when none.
uint32_t CodePageOfChar(char16_t ch, uint32_t defaultCodePage);
// The code page other than 1252 most characters belong to; see the .cpp for the rules.
uint32_t GuessCodePage(const char16_t* text, int32_t count, uint32_t defaultCodePage);
// Cuts text into runs of one code page and converts each into the same positions of `bytes`
// (resized to count). `ends` gets each run's end, `codePages` its code page (NO_CODE_PAGE for runs
// converted with the default).
void SplitTextByCodePage(const char16_t* text, std::string& bytes, int32_t count,
                         std::vector<int32_t>& ends, std::vector<uint32_t>& codePages);

// The language's name in the user's language, in the program's code page; empty when unknown.
std::string GetLanguageDisplayName(int32_t languageId);
// Culture names ("en-US", "de", "1049") to language ids and back.
int32_t LanguageIdFromName(const std::string& name);
std::string LanguageIdToName(int32_t languageId);
size_t CultureNameCount();
size_t NeutralNameCount();

std::string WideToCodePage(const std::u16string& text, uint32_t codePage);
std::u16string CodePageToWide(const std::string& bytes, uint32_t codePage);
// Converts count code units into count bytes in the guessed code page; returns that code page.
uint32_t WideToAnsiGuessed(const char16_t* text, char* bytes, int32_t count);

// UTF-8. The encoder writes characters outside the basic plane (surrogate pairs) as one 4-byte
// sequence; a lone surrogate is written as its 3-byte form. `destination` needs room for
// 3 bytes per code unit. Returns the bytes written.
int32_t Utf16ToUtf8Buffer(const char16_t* source, int32_t count, char* destination);
std::string WideToUtf8(const std::u16string& text);
// The decoder reads 1- to 4-byte sequences, and also a surrogate pair written as two 3-byte
// sequences (as older files hold). A stray byte, or a sequence broken off by a byte that does not
// continue it, becomes one U+FFFD and decoding resumes right after what was read; a sequence cut
// off by the end of the text yields nothing.
std::u16string Utf8ToWide(const std::string& text);

void MacRomanToAnsi(const char* source, char* destination, int32_t count);

}  // namespace qv
