#pragma once
// Locale services on UTF-16 text: case mapping by language, character classes, base-letter
// folding, language display names and the user's number symbols. Locales are named in the
// "ll-CC" or "ll_CC" form ("tr-TR", "de", "sr-Latn-RS"); an empty name means the root locale.
#include <cstdint>
#include <string>

namespace plat {

std::u16string ToUpperForLocale(const std::u16string& text, const std::string& locale);
std::u16string ToLowerForLocale(const std::u16string& text, const std::string& locale);
// Full case folding (language-independent, with the Turkic dotted-i rules when `turkic`).
std::u16string FoldCase(const std::u16string& text, bool turkic = false);

// Character classes of one code point.
bool IsCharAlpha(char32_t ch);
bool IsCharAlphaNumeric(char32_t ch);
bool IsCharDigit(char32_t ch);
bool IsCharUpper(char32_t ch);
bool IsCharLower(char32_t ch);
bool IsCharSpace(char32_t ch);
bool IsCharPunct(char32_t ch);

// The text with diacritics removed from every letter ("é" -> "e", "Å" -> "A", "ł" -> "l"),
// precomposed; letters without a base letter and other characters are kept.
std::u16string StripDiacritics(const std::u16string& text);

// The name of the language of `locale` in the language of `displayLocale` ("German" for "de-DE"
// shown in "en"); empty when the locale is unknown.
std::u16string LanguageDisplayName(const std::string& locale, const std::string& displayLocale);

// The user's locale from LC_ALL, LC_MESSAGES or LANG ("en_US.UTF-8" -> "en-US"); "en-US" when
// none is set or it is "C"/"POSIX".
std::string UserLocaleName();
// A locale name in the form ICU keys its data by ("az-AZ-Cyrl" -> "az_Cyrl_AZ", "de-DE" -> "de_DE").
std::string IcuLocaleName(const std::string& locale);

struct NumberSymbols {
  std::u16string DecimalSeparator = u".";
  std::u16string ThousandsSeparator = u",";
};
// The number symbols of a locale (the user's locale when empty).
NumberSymbols GetNumberSymbols(const std::string& locale = std::string());

}  // namespace plat
