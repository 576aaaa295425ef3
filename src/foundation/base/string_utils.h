#pragma once
// Small text routines: searching bytes and code units, the "||" form of multi-line settings,
// hexadecimal text, number formatting with blank thousands separators, and upper-casing and
// comparing words by language. Byte strings are in the program's code page (DefaultCodePage);
// wide strings are UTF-16.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

// Marker of a value that is not set or not a number.
constexpr int32_t NOT_SET_VALUE = static_cast<int32_t>(0x80000000u);

int32_t FindByte(const void* block, uint8_t value, int32_t length);
int32_t FindWideChar(const char16_t* buffer, char16_t unit, int32_t count);
int32_t FindControlChar(const void* block, int32_t length);

std::string ReplaceChar(const std::string& text, char oldChar, char newChar);
std::u16string ReplaceChar(const std::u16string& text, char16_t oldChar, char16_t newChar);
std::string BarsToLineBreaks(const std::string& text);
std::string LineBreaksToBars(const std::string& text);

// Every "," and "." replaced by the locale's decimal separator.
std::string UseDecimalSeparator(const std::string& text);
// The value with no decimals and a blank between groups of three digits ("1 234 567").
std::string FormatThousands(double value);
// Number text with `decimals` decimals, digits grouped by `thousandsSep`, halves rounded away
// from zero ("%.2n" with the given separators).
std::string FormatNumberN(double value, int decimals, const std::string& thousandsSep,
                          const std::string& decimalSep);
// The locale's decimal separator in the program's code page.
std::string LocaleDecimalSeparator();

// Hexadecimal digits (either case) to a value; NOT_SET_VALUE for empty text, a non-digit or a
// negative 32-bit sum. Only the last eight digits carry weight.
int32_t HexToInt(const std::string& text);
// Four upper-case hex digits per code unit, low byte first ("A" -> "4100").
std::string WideToHexText(const std::u16string& text);
// The inverse: length / 4 code units; a character that is no hex digit counts as 0.
std::u16string HexTextToWide(const std::string& hex);

// Copies count units; capital A, E, I, O, U with grave, acute or circumflex lose the accent.
void StripCapitalAccents(const char* source, char* destination, int32_t count);
void StripCapitalAccentsW(const char16_t* source, char16_t* destination, int32_t count);

// Asked by UpperCaseForLanguage whether capitals of a language are written without accents (an
// autocorrect option of the proofing tools). The default says no for every language; the proofing
// tools register their own at start-up.
class TCapitalAccentsPolicy {
 public:
  virtual ~TCapitalAccentsPolicy() = default;
  virtual bool AccentFreeCapitals(int32_t language) const;
};
void RegisterCapitalAccentsPolicy(std::unique_ptr<TCapitalAccentsPolicy> policy);
const TCapitalAccentsPolicy& CapitalAccentsPolicy();

// Upper case by the language's rules (Turkish dotted i ...); in French with accent-free capitals
// the accents of capital vowels are then dropped. The byte form works in the program's code page.
std::u16string UpperCaseForLanguage(int32_t language, const std::u16string& text);
std::string UpperCaseForLanguage(int32_t language, const std::string& text);
// False when the lengths differ; else both texts upper-cased by language and compared.
bool SameTextForLanguage(int32_t language, const std::u16string& a, const std::u16string& b);
bool SameTextForLanguage(int32_t language, const std::string& a, const std::string& b);

// ASCII-only helpers used throughout.
std::string AsciiUpperCase(std::string text);
std::string AsciiLowerCase(std::string text);
bool SameTextAscii(const std::string& a, const std::string& b);

}  // namespace qv
