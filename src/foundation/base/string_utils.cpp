#include "foundation/base/string_utils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "foundation/base/service_slot.h"
#include "foundation/text/code_pages.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string out;
  size_t start = 0;
  while (true) {
    const size_t hit = text.find(from, start);
    if (hit == std::string::npos) break;
    out.append(text, start, hit - start);
    out += to;
    start = hit + from.size();
  }
  out.append(text, start, std::string::npos);
  return out;
}

// The accented capitals that lose their accent, sorted, and their plain letters.
constexpr uint8_t kAccented[15] = {0xC0, 0xC1, 0xC2, 0xC8, 0xC9, 0xCA, 0xCC, 0xCD,
                                   0xCE, 0xD2, 0xD3, 0xD4, 0xD9, 0xDA, 0xDB};
constexpr char kPlain[16] = "AAAEEEIIIOOOUUU";

int AccentIndex(uint32_t code) {
  const uint8_t* end = kAccented + 15;
  const uint8_t* it = std::lower_bound(kAccented, end, code);
  return (it != end && *it == code) ? static_cast<int>(it - kAccented) : -1;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string LocaleOfLanguage(int32_t language) {
  const std::string name = LanguageIdToName(language);
  if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
    // Not a listed culture: try its neutral language ("de" for any German).
    const std::string neutral = LanguageIdToName((language & 0x3FF) | 0x400);
    return (!neutral.empty() && (neutral[0] < '0' || neutral[0] > '9')) ? neutral : std::string();
  }
  return name;
}

// Upper case that keeps one code unit per code unit, as the callers' buffers expect: where the
// language's full mapping changes the length (German sharp s), characters are mapped one by one
// and those that would grow are kept.
std::u16string UpperOneToOne(const std::u16string& text, const std::string& locale) {
  std::u16string upper = plat::ToUpperForLocale(text, locale);
  if (upper.size() == text.size()) return upper;
  upper = text;
  for (size_t i = 0; i < text.size(); ++i) {
    const std::u16string one = plat::ToUpperForLocale(std::u16string(1, text[i]), locale);
    if (one.size() == 1) upper[i] = one[0];
  }
  return upper;
}

}  // namespace

int32_t FindByte(const void* block, uint8_t value, int32_t length) {
  if (length <= 0) return -1;
  const void* hit = std::memchr(block, value, static_cast<size_t>(length));
  return hit ? static_cast<int32_t>(static_cast<const uint8_t*>(hit) -
                                    static_cast<const uint8_t*>(block))
             : -1;
}

int32_t FindWideChar(const char16_t* buffer, char16_t unit, int32_t count) {
  for (int32_t i = 0; i < count; ++i)
    if (buffer[i] == unit) return i;
  return -1;
}

int32_t FindControlChar(const void* block, int32_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(block);
  for (int32_t i = 0; i < length; ++i)
    if (p[i] < 32) return i;
  return std::max(length, 0);
}

std::string ReplaceChar(const std::string& text, char oldChar, char newChar) {
  std::string out = text;
  std::replace(out.begin(), out.end(), oldChar, newChar);
  return out;
}

std::u16string ReplaceChar(const std::u16string& text, char16_t oldChar, char16_t newChar) {
  std::u16string out = text;
  std::replace(out.begin(), out.end(), oldChar, newChar);
  return out;
}

std::string BarsToLineBreaks(const std::string& text) { return ReplaceAll(text, "||", "\r\n"); }

std::string LineBreaksToBars(const std::string& text) { return ReplaceAll(text, "\r\n", "||"); }

std::string LocaleDecimalSeparator() {
  const std::u16string sep = plat::GetNumberSymbols().DecimalSeparator;
  std::string bytes = WideToCodePage(sep, DefaultCodePage);
  return (bytes.empty() || bytes.find('?') != std::string::npos) ? std::string(".") : bytes;
}

std::string UseDecimalSeparator(const std::string& text) {
  const std::string sep = LocaleDecimalSeparator();
  std::string out;
  for (char c : text) {
    if (c == ',' || c == '.') out += sep;
    else out += c;
  }
  return out;
}

std::string FormatNumberN(double value, int decimals, const std::string& thousandsSep,
                          const std::string& decimalSep) {
  decimals = std::clamp(decimals, 0, 15);
  if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
  char buf[512];
  const double scale = std::pow(10.0, decimals);
  if (std::fabs(value) * scale < 9.0e15) {
    // Halves are rounded away from zero.
    const double rounded = std::round(value * scale);
    std::snprintf(buf, sizeof buf, "%.0f", std::fabs(rounded));
  } else {
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
    std::string s(buf);
    s.erase(std::remove(s.begin(), s.end(), '.'), s.end());
    std::snprintf(buf, sizeof buf, "%s", s.c_str());
  }
  std::string digits(buf);
  const bool negative = value < 0 && digits.find_first_not_of('0') != std::string::npos;
  if (digits.size() <= static_cast<size_t>(decimals))
    digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
  const std::string intPart = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
  const std::string fracPart = digits.substr(intPart.size());
  std::string grouped;
  for (size_t i = 0; i < intPart.size(); ++i) {
    if (i > 0 && (intPart.size() - i) % 3 == 0) grouped += thousandsSep;
    grouped += intPart[i];
  }
  std::string out = negative ? "-" + grouped : grouped;
  if (decimals > 0) out += decimalSep + fracPart;
  return out;
}

std::string FormatThousands(double value) {
  return FormatNumberN(value, 0, " ", LocaleDecimalSeparator());
}

int32_t HexToInt(const std::string& text) {
  if (text.empty()) return NOT_SET_VALUE;
  uint32_t sum = 0, weight = 1;
  for (size_t i = text.size(); i-- > 0;) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return NOT_SET_VALUE;
    sum += static_cast<uint32_t>(digit) * weight;
    weight *= 16;
  }
  return static_cast<int32_t>(sum) < 0 ? NOT_SET_VALUE : static_cast<int32_t>(sum);
}

std::string WideToHexText(const std::u16string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 4);
  for (char16_t c : text) {
    const uint8_t lo = c & 0xFF, hi = c >> 8;
    out += kDigits[lo >> 4];
    out += kDigits[lo & 15];
    out += kDigits[hi >> 4];
    out += kDigits[hi & 15];
  }
  return out;
}

std::u16string HexTextToWide(const std::string& hex) {
  std::u16string out(hex.size() / 4, u'\0');
  auto d = [&](size_t i) { return static_cast<unsigned>(std::max(HexDigit(hex[i]), 0)); };
  for (size_t i = 0; i < out.size(); ++i) {
    const size_t k = i * 4;
    const unsigned lo = d(k) * 16 + d(k + 1), hi = d(k + 2) * 16 + d(k + 3);
    out[i] = static_cast<char16_t>(lo | hi << 8);
  }
  return out;
}

void StripCapitalAccents(const char* source, char* destination, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const int k = AccentIndex(static_cast<uint8_t>(source[i]));
    destination[i] = k >= 0 ? kPlain[k] : source[i];
  }
}

void StripCapitalAccentsW(const char16_t* source, char16_t* destination, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const int k = source[i] < 256 ? AccentIndex(source[i]) : -1;
    destination[i] = k >= 0 ? static_cast<char16_t>(kPlain[k]) : source[i];
  }
}

bool TCapitalAccentsPolicy::AccentFreeCapitals(int32_t) const { return false; }

void RegisterCapitalAccentsPolicy(std::unique_ptr<TCapitalAccentsPolicy> policy) {
  RegisterService(std::move(policy));
}

const TCapitalAccentsPolicy& CapitalAccentsPolicy() { return Service<TCapitalAccentsPolicy>(); }

std::u16string UpperCaseForLanguage(int32_t language, const std::u16string& text) {
  std::u16string upper = UpperOneToOne(text, LocaleOfLanguage(language));
  if ((language & 0x3FF) == 12 && CapitalAccentsPolicy().AccentFreeCapitals(language))
    StripCapitalAccentsW(upper.data(), upper.data(), static_cast<int32_t>(upper.size()));
  return upper;
}

std::string UpperCaseForLanguage(int32_t language, const std::string& text) {
  const std::u16string wide = CodePageToWide(text, DefaultCodePage);
  std::u16string upper = UpperOneToOne(wide, LocaleOfLanguage(language));
  // A capital the code page cannot hold (or a multi-byte page) keeps the original byte.
  std::string out = text;
  if (wide.size() == text.size()) {
    for (size_t i = 0; i < text.size(); ++i) {
      const std::string b = WideToCodePage(std::u16string(1, upper[i]), DefaultCodePage);
      if (b.size() == 1 && !(b[0] == '?' && upper[i] != u'?')) out[i] = b[0];
    }
  }
  if ((language & 0x3FF) == 12 && CapitalAccentsPolicy().AccentFreeCapitals(language))
    StripCapitalAccents(out.data(), out.data(), static_cast<int32_t>(out.size()));
  return out;
}

bool SameTextForLanguage(int32_t language, const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  return UpperCaseForLanguage(language, a) == UpperCaseForLanguage(language, b);
}

bool SameTextForLanguage(int32_t language, const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  return UpperCaseForLanguage(language, a) == UpperCaseForLanguage(language, b);
}

std::string AsciiUpperCase(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

std::string AsciiLowerCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

bool SameTextAscii(const std::string& a, const std::string& b) {
  return a.size() == b.size() && AsciiUpperCase(a) == AsciiUpperCase(b);
}

}  // namespace qv
