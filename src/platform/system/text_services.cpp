#include "platform/system/text_services.h"

#include <unicode/uchar.h>
#include <unicode/uloc.h>
#include <unicode/unorm2.h>
#include <unicode/unum.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace plat {
namespace {

const UChar* U(const std::u16string& s) { return reinterpret_cast<const UChar*>(s.data()); }

// Runs an ICU string function that writes into a buffer, growing the buffer when asked to.
std::u16string Transform(
    const std::u16string& text,
    const std::function<int32_t(UChar*, int32_t, UErrorCode*)>& fn) {
  std::u16string out(text.size() + 8, u'\0');
  UErrorCode err = U_ZERO_ERROR;
  int32_t n = fn(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &err);
  if (err == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<size_t>(n) + 1, u'\0');
    err = U_ZERO_ERROR;
    n = fn(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &err);
  }
  if (U_FAILURE(err)) return text;
  out.resize(static_cast<size_t>(n));
  return out;
}

// "az-AZ-Cyrl" / "sr-Latn-RS" / "de-DE" -> the ICU form "az_Cyrl_AZ", "sr_Latn_RS", "de_DE".
std::string IcuLocale(const std::string& name) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : name) {
    if (c == '-' || c == '_') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  if (parts.size() == 3 && parts[2].size() == 4 && parts[1].size() == 2) std::swap(parts[1], parts[2]);
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? "_" : "") + parts[i];
  return out;
}

const UNormalizer2* Nfd() {
  UErrorCode err = U_ZERO_ERROR;
  const UNormalizer2* n = unorm2_getNFDInstance(&err);
  return U_SUCCESS(err) ? n : nullptr;
}

const UNormalizer2* Nfc() {
  UErrorCode err = U_ZERO_ERROR;
  const UNormalizer2* n = unorm2_getNFCInstance(&err);
  return U_SUCCESS(err) ? n : nullptr;
}

std::u16string Normalize(const UNormalizer2* norm, const std::u16string& text) {
  if (!norm) return text;
  return Transform(text, [&](UChar* dest, int32_t cap, UErrorCode* err) {
    return unorm2_normalize(norm, U(text), static_cast<int32_t>(text.size()), dest, cap, err);
  });
}

// Letters with a stroke or bar carry no decomposition but have an obvious base letter.
char16_t StrokeBase(char16_t c) {
  switch (c) {
    case u'\u0141': return u'L';
    case u'\u0142': return u'l';
    case u'\u00D8': return u'O';
    case u'\u00F8': return u'o';
    case u'\u0110': return u'D';
    case u'\u0111': return u'd';
    case u'\u0126': return u'H';
    case u'\u0127': return u'h';
    case u'\u0166': return u'T';
    case u'\u0167': return u't';
    case u'\u0180': return u'b';
    case u'\u01B5': return u'Z';
    case u'\u01B6': return u'z';
    default: return c;
  }
}

}  // namespace

std::u16string ToUpperForLocale(const std::u16string& text, const std::string& locale) {
  const std::string loc = IcuLocale(locale);
  return Transform(text, [&](UChar* dest, int32_t cap, UErrorCode* err) {
    return u_strToUpper(dest, cap, U(text), static_cast<int32_t>(text.size()), loc.c_str(), err);
  });
}

std::u16string ToLowerForLocale(const std::u16string& text, const std::string& locale) {
  const std::string loc = IcuLocale(locale);
  return Transform(text, [&](UChar* dest, int32_t cap, UErrorCode* err) {
    return u_strToLower(dest, cap, U(text), static_cast<int32_t>(text.size()), loc.c_str(), err);
  });
}

std::u16string FoldCase(const std::u16string& text, bool turkic) {
  const uint32_t options = turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
  return Transform(text, [&](UChar* dest, int32_t cap, UErrorCode* err) {
    return u_strFoldCase(dest, cap, U(text), static_cast<int32_t>(text.size()), options, err);
  });
}

bool IsCharAlpha(char32_t ch) { return u_isalpha(static_cast<UChar32>(ch)); }
bool IsCharAlphaNumeric(char32_t ch) { return u_isalnum(static_cast<UChar32>(ch)); }
bool IsCharDigit(char32_t ch) { return u_isdigit(static_cast<UChar32>(ch)); }
bool IsCharUpper(char32_t ch) { return u_isupper(static_cast<UChar32>(ch)); }
bool IsCharLower(char32_t ch) { return u_islower(static_cast<UChar32>(ch)); }
bool IsCharSpace(char32_t ch) { return u_isspace(static_cast<UChar32>(ch)); }
bool IsCharPunct(char32_t ch) { return u_ispunct(static_cast<UChar32>(ch)); }

std::u16string StripDiacritics(const std::u16string& text) {
  std::u16string decomposed = Normalize(Nfd(), text);
  std::u16string kept;
  kept.reserve(decomposed.size());
  for (char16_t c : decomposed) {
    if (u_charType(c) == U_NON_SPACING_MARK) continue;
    kept += StrokeBase(c);
  }
  return Normalize(Nfc(), kept);
}

std::u16string LanguageDisplayName(const std::string& locale, const std::string& displayLocale) {
  const std::string loc = IcuLocale(locale);
  const std::string display = IcuLocale(displayLocale);
  // ICU answers any syntactically valid code; only a known language has a name of its own.
  UChar buf[256];
  UErrorCode err = U_ZERO_ERROR;
  char language[16] = {};
  // A code that fills the buffer leaves it unterminated: no known language is that long.
  const int32_t languageLength = uloc_getLanguage(loc.c_str(), language, sizeof language, &err);
  if (U_FAILURE(err) || languageLength <= 0 || languageLength >= int32_t(sizeof language))
    return std::u16string();
  int32_t n = uloc_getDisplayLanguage(loc.c_str(), display.c_str(), buf, 256, &err);
  if (U_FAILURE(err) || err == U_USING_DEFAULT_WARNING) return std::u16string();
  std::u16string langName(reinterpret_cast<char16_t*>(buf), static_cast<size_t>(n));
  if (langName == std::u16string(language, language + languageLength))
    return std::u16string();
  err = U_ZERO_ERROR;
  n = uloc_getDisplayName(loc.c_str(), display.c_str(), buf, 256, &err);
  if (U_FAILURE(err)) return langName;
  return std::u16string(reinterpret_cast<char16_t*>(buf), static_cast<size_t>(n));
}

std::string UserLocaleName() {
  const char* vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  for (const char* var : vars) {
    const char* v = std::getenv(var);
    if (!v || !*v) continue;
    std::string name(v);
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") return "en-US";
    for (char& c : name)
      if (c == '_') c = '-';
    return name;
  }
  return "en-US";
}

std::string IcuLocaleName(const std::string& locale) { return IcuLocale(locale); }

NumberSymbols GetNumberSymbols(const std::string& locale) {
  NumberSymbols symbols;
  const std::string loc = IcuLocale(locale.empty() ? UserLocaleName() : locale);
  UErrorCode err = U_ZERO_ERROR;
  UNumberFormat* fmt = unum_open(UNUM_DECIMAL, nullptr, 0, loc.c_str(), nullptr, &err);
  if (U_FAILURE(err) || !fmt) return symbols;
  auto symbol = [&](UNumberFormatSymbol which, std::u16string& into) {
    UChar buf[16];
    UErrorCode e = U_ZERO_ERROR;
    int32_t n = unum_getSymbol(fmt, which, buf, 16, &e);
    if (U_SUCCESS(e) && n > 0) into.assign(reinterpret_cast<char16_t*>(buf), static_cast<size_t>(n));
  };
  symbol(UNUM_DECIMAL_SEPARATOR_SYMBOL, symbols.DecimalSeparator);
  symbol(UNUM_GROUPING_SEPARATOR_SYMBOL, symbols.ThousandsSeparator);
  unum_close(fmt);
  return symbols;
}

}  // namespace plat
