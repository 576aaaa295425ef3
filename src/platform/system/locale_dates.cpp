#include "platform/system/locale_dates.h"

#include <unicode/udat.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <cstring>

#include "platform/system/text_services.h"

namespace plat {
namespace {

struct DateFormatHandle {
  UDateFormat* fmt = nullptr;
  DateFormatHandle(UDateFormatStyle time, UDateFormatStyle date, const char* locale) {
    UErrorCode err = U_ZERO_ERROR;
    fmt = udat_open(time, date, locale, nullptr, 0, nullptr, 0, &err);
    if (U_FAILURE(err)) fmt = nullptr;
  }
  ~DateFormatHandle() {
    if (fmt != nullptr) udat_close(fmt);
  }
  DateFormatHandle(const DateFormatHandle&) = delete;
  DateFormatHandle& operator=(const DateFormatHandle&) = delete;
};

std::u16string Symbol(UDateFormat* fmt, UDateFormatSymbolType type, int32_t index) {
  UChar buf[128];
  UErrorCode err = U_ZERO_ERROR;
  int32_t n = udat_getSymbols(fmt, type, index, buf, 128, &err);
  if (U_FAILURE(err) || n <= 0) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buf), static_cast<size_t>(std::min(n, 127)));
}

std::u16string IcuPattern(UDateFormat* fmt) {
  UChar buf[256];
  UErrorCode err = U_ZERO_ERROR;
  int32_t n = udat_toPattern(fmt, false, buf, 256, &err);
  if (U_FAILURE(err) || n <= 0) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buf), static_cast<size_t>(std::min(n, 255)));
}

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// The picture for a run of n equal ICU pattern letters; empty for letters without one (zones,
// fractions of seconds ...).
std::u16string PictureOfRun(char16_t c, size_t n) {
  switch (c) {
    case u'y': case u'Y': case u'u': return n == 2 ? u"yy" : u"yyyy";
    case u'M': case u'L': return std::u16string(std::min<size_t>(n, 4), u'M');
    case u'd': return n >= 2 ? u"dd" : u"d";
    case u'E': return n >= 4 ? u"dddd" : u"ddd";
    case u'c': case u'e': return n >= 4 ? u"dddd" : n == 3 ? u"ddd" : u"";
    case u'a': case u'b': case u'B': return u"tt";
    case u'h': case u'K': return n >= 2 ? u"hh" : u"h";
    case u'H': case u'k': return n >= 2 ? u"HH" : u"H";
    case u'm': return n >= 2 ? u"mm" : u"m";
    case u's': return n >= 2 ? u"ss" : u"s";
    case u'G': return u"g";
    default: return u"";
  }
}

std::u16string ToPicture(const std::u16string& icu) {
  std::u16string out;
  for (size_t i = 0; i < icu.size();) {
    char16_t c = icu[i];
    if (c == u'\'') {
      size_t end = icu.find(u'\'', i + 1);
      if (end == std::u16string::npos) end = icu.size() - 1;
      out += icu.substr(i, end - i + 1);
      i = end + 1;
    } else if (IsAsciiLetter(c)) {
      size_t n = 1;
      while (i + n < icu.size() && icu[i + n] == c) ++n;
      out += PictureOfRun(c, n);
      i += n;
    } else {
      out += c;
      ++i;
    }
  }
  // A zone or other dropped field leaves a trailing blank behind.
  while (!out.empty() && (out.back() == u' ' || out.back() == u'\u202F')) out.pop_back();
  return out;
}

// The first character after the first field that is neither a letter, a quote nor a blank.
char16_t SeparatorOf(const std::u16string& picture, char16_t fallback) {
  size_t first = 0;
  while (first < picture.size() && !IsAsciiLetter(picture[first])) ++first;
  for (size_t i = first; i < picture.size(); ++i) {
    char16_t c = picture[i];
    if (!IsAsciiLetter(c) && c != u'\'' && c != u' ' && c != u'\u202F' && c != u'\u00A0') return c;
  }
  return fallback;
}

}  // namespace

LocaleDateInfo GetLocaleDateInfo(const std::string& locale) {
  LocaleDateInfo info;
  const std::string loc = IcuLocaleName(locale.empty() ? UserLocaleName() : locale);
  DateFormatHandle shortDate(UDAT_NONE, UDAT_SHORT, loc.c_str());
  DateFormatHandle longDate(UDAT_NONE, UDAT_FULL, loc.c_str());
  DateFormatHandle time(UDAT_MEDIUM, UDAT_NONE, loc.c_str());
  if (shortDate.fmt == nullptr || longDate.fmt == nullptr || time.fmt == nullptr) return info;
  UErrorCode err = U_ZERO_ERROR;
  const char* valid = udat_getLocaleByType(shortDate.fmt, ULOC_VALID_LOCALE, &err);
  info.Known = U_SUCCESS(err) && valid != nullptr && *valid != 0 && std::strcmp(valid, "root") != 0;
  UDateFormat* f = shortDate.fmt;
  for (int32_t i = 0; i < 12; ++i) {
    info.MonthNames[i] = Symbol(f, UDAT_MONTHS, i);
    info.StandaloneMonthNames[i] = Symbol(f, UDAT_STANDALONE_MONTHS, i);
    info.AbbrevMonthNames[i] = Symbol(f, UDAT_SHORT_MONTHS, i);
  }
  for (int32_t i = 0; i < 7; ++i) {
    info.DayNames[i] = Symbol(f, UDAT_WEEKDAYS, i + 1);
    info.AbbrevDayNames[i] = Symbol(f, UDAT_SHORT_WEEKDAYS, i + 1);
  }
  if (std::u16string am = Symbol(f, UDAT_AM_PMS, 0); !am.empty()) info.Am = am;
  if (std::u16string pm = Symbol(f, UDAT_AM_PMS, 1); !pm.empty()) info.Pm = pm;
  if (std::u16string era = Symbol(f, UDAT_ERAS, 1); !era.empty()) info.Era = era;
  if (std::u16string p = ToPicture(IcuPattern(shortDate.fmt)); !p.empty()) info.ShortDate = p;
  if (std::u16string p = ToPicture(IcuPattern(longDate.fmt)); !p.empty()) info.LongDate = p;
  if (std::u16string p = ToPicture(IcuPattern(time.fmt)); !p.empty()) info.Time = p;
  info.DateSeparator = SeparatorOf(info.ShortDate, u'/');
  info.TimeSeparator = SeparatorOf(info.Time, u':');
  return info;
}

}  // namespace plat
