#include "foundation/text/date_format.h"

#include <algorithm>
#include <map>

#include "foundation/base/date_time.h"
#include "foundation/text/code_pages.h"
#include "platform/system/locale_dates.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr int32_t kFrench = 12;
// Where the time text goes in the date text while the two are formatted apart.
constexpr char16_t kTimeMark = u'\uE000';

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsUserDefault(int32_t language) {
  return language == 0 || language == LOCALE_USER_DEFAULT_ID || language == 0x800;
}

int32_t PrimaryLanguage(int32_t language) { return language & 0x3FF; }

// Calendar data by locale name, read once each (the interface thread only).
const plat::LocaleDateInfo& InfoOf(const std::string& locale) {
  static std::map<std::string, plat::LocaleDateInfo> cache;
  auto it = cache.find(locale);
  if (it == cache.end()) it = cache.emplace(locale, plat::GetLocaleDateInfo(locale)).first;
  return it->second;
}

std::string UserLocale() { return plat::UserLocaleName(); }

// The locale of a language id; empty when the language has no calendar data of its own.
std::string LocaleOf(int32_t language) {
  if (IsUserDefault(language)) return UserLocale();
  std::string name = LanguageIdToName(language);
  if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
    // A neutral language: its main country's culture.
    name = LanguageIdToName(PrimaryLanguage(language) | 0x400);
    if (!name.empty() && name[0] >= '0' && name[0] <= '9') return {};
  }
  return InfoOf(name).Known ? name : std::string();
}

bool FrenchRule(int32_t language) {
  if (IsUserDefault(language)) return PrimaryLanguage(UserLocaleLanguageId()) == kFrench;
  return PrimaryLanguage(language) == kFrench;
}

// Length of the run of `c` starting at i.
size_t RunLength(const std::u16string& s, size_t i) {
  size_t n = 1;
  while (i + n < s.size() && s[i + n] == s[i]) ++n;
  return n;
}

// Appends quoted text from the quote at i (a doubled quote is one quote); returns the index after
// the closing quote (the end when there is none).
size_t CopyQuoted(const std::u16string& s, size_t i, std::u16string& out) {
  for (size_t j = i + 1; j < s.size(); ++j) {
    if (s[j] != u'\'') {
      out += s[j];
    } else if (j + 1 < s.size() && s[j + 1] == u'\'') {
      out += u'\'';
      ++j;
    } else {
      return j + 1;
    }
  }
  return s.size();
}

// The index after a quoted stretch beginning at i, quotes included.
size_t SkipQuoted(const std::u16string& s, size_t i) {
  std::u16string ignored;
  return CopyQuoted(s, i, ignored);
}

// The length of an AM/PM marker at i ("am/pm", "a/p" in either case); 0 when there is none.
size_t MarkerLength(const std::u16string& s, size_t i) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  auto matches = [&](const char16_t* m) {
    size_t n = 0;
    for (; m[n] != 0; ++n) {
      if (i + n >= s.size() || lower(s[i + n]) != m[n]) return false;
    }
    return true;
  };
  if (matches(u"am/pm")) return 5;
  if (matches(u"a/p") && (i + 3 >= s.size() || !IsLetter(s[i + 3]))) return 3;
  return 0;
}

std::u16string Number(int32_t value, int32_t digits) {
  std::u16string s;
  for (char c : std::to_string(value)) s += char16_t(c);
  while (static_cast<int32_t>(s.size()) < digits) s.insert(s.begin(), u'0');
  return s;
}

std::u16string Designator(const plat::LocaleDateInfo& info, const TDateTimeParts& p,
                          const std::u16string& marker) {
  std::u16string d = p.Hour < 12 ? info.Am : info.Pm;
  if (d.empty()) return d;
  bool capitals = marker[0] >= u'A' && marker[0] <= u'Z';
  if (marker.size() == 3) d.resize(1);  // a/p
  if (capitals) d = plat::ToUpperForLocale(d, "");
  else if (marker.size() == 3) d = plat::ToLowerForLocale(d, "");
  return d;
}

// A date picture: d dd ddd dddd, M MM MMM MMMM, y yy yyyy, g gg; other characters literal.
std::u16string FormatDatePicture(const std::u16string& pic, const plat::LocaleDateInfo& info,
                                 const TDateTimeParts& p) {
  // Month names written with a day take the form they have in a date (genitive where the
  // language has one).
  bool withDay = false;
  for (size_t i = 0; i < pic.size();) {
    if (pic[i] == u'\'') { i = SkipQuoted(pic, i); continue; }
    size_t n = RunLength(pic, i);
    if (pic[i] == u'd' && n <= 2) withDay = true;
    i += n;
  }
  std::u16string out;
  for (size_t i = 0; i < pic.size();) {
    char16_t c = pic[i];
    if (c == u'\'') {
      i = CopyQuoted(pic, i, out);
      continue;
    }
    if (size_t m = MarkerLength(pic, i); m != 0) {
      out += Designator(info, p, pic.substr(i, m));  // a marker left outside the time part
      i += m;
      continue;
    }
    size_t n = IsLetter(c) ? RunLength(pic, i) : 1;
    switch (c) {
      case u'd':
        if (n <= 2) out += Number(p.Day, int32_t(n));
        else if (n == 3) out += info.AbbrevDayNames[size_t(p.DayOfWeek)];
        else out += info.DayNames[size_t(p.DayOfWeek)];
        break;
      case u'M':
        if (n <= 2) out += Number(p.Month, int32_t(n));
        else if (n == 3) out += info.AbbrevMonthNames[size_t(p.Month - 1)];
        else out += withDay ? info.MonthNames[size_t(p.Month - 1)]
                            : info.StandaloneMonthNames[size_t(p.Month - 1)];
        break;
      case u'y':
        if (n == 1) out += Number(p.Year % 100, 1);
        else if (n == 2) out += Number(p.Year % 100, 2);
        else out += Number(p.Year, 4);
        break;
      case u'g':
        out += info.Era;
        break;
      default:
        out.append(pic, i, n);
    }
    i += n;
  }
  return out;
}

// A time picture: h hh H HH, m mm, s ss, t tt and the AM/PM markers; other characters literal.
std::u16string FormatTimePicture(const std::u16string& pic, const plat::LocaleDateInfo& info,
                                 const TDateTimeParts& p) {
  std::u16string out;
  for (size_t i = 0; i < pic.size();) {
    char16_t c = pic[i];
    if (c == u'\'') {
      i = CopyQuoted(pic, i, out);
      continue;
    }
    if (size_t m = MarkerLength(pic, i); m != 0) {
      out += Designator(info, p, pic.substr(i, m));
      i += m;
      continue;
    }
    size_t n = IsLetter(c) ? RunLength(pic, i) : 1;
    int32_t digits = n >= 2 ? 2 : 1;
    switch (c) {
      case u'h': out += Number(p.Hour % 12 == 0 ? 12 : p.Hour % 12, digits); break;
      case u'H': out += Number(p.Hour, digits); break;
      case u'm': out += Number(p.Minute, digits); break;
      case u's': out += Number(p.Second, digits); break;
      case u't': {
        std::u16string d = p.Hour < 12 ? info.Am : info.Pm;
        out += n == 1 ? d.substr(0, 1) : d;
        break;
      }
      default: out.append(pic, i, n);
    }
    i += n;
  }
  return out;
}

// The locale pattern with its "tt" written as "am/pm".
std::u16string PatternWithMarker(const std::u16string& pattern) {
  std::u16string out;
  for (size_t i = 0; i < pattern.size();) {
    if (pattern[i] == u'\'') {
      size_t end = SkipQuoted(pattern, i);
      out.append(pattern, i, end - i);
      i = end;
      continue;
    }
    size_t n = IsLetter(pattern[i]) ? RunLength(pattern, i) : 1;
    if (pattern[i] == u't' && n == 2) out += u"am/pm";
    else out.append(pattern, i, n);
    i += n;
  }
  return out;
}

bool IsTimeStart(char16_t c) {
  return c == u'H' || c == u'h' || c == u'm' || c == u's' || c == u't';
}

bool IsTimeContinuation(char16_t c) {
  return IsTimeStart(c) || c == u' ' || c == u'\u00A0' || c == u'\u202F' || c == u'.' ||
         c == u'/' || c == u':';
}

std::u16string FormatDateTimeCore(const std::u16string& format, int32_t language, double value) {
  const std::u16string fmt = format.empty() ? u"ddddd" : format;
  const TDateTimeParts parts = DecodeDateTime(value);
  std::u16string datePattern, timePattern;
  SplitTimeFormat(ExpandDateTimeFormat(fmt), datePattern, timePattern, std::u16string(1, kTimeMark));
  if (FrenchRule(language)) MarkFrenchDayPlaceholder(datePattern);
  std::string locale = LocaleOf(language);
  if (locale.empty()) {
    language = LOCALE_USER_DEFAULT_ID;
    locale = UserLocale();
  }
  const plat::LocaleDateInfo& info = InfoOf(locale);
  std::u16string text = FormatDatePicture(datePattern, info, parts);
  if (FrenchRule(language)) FillFrenchDayPlaceholder(text, value);
  if (!timePattern.empty()) {
    std::u16string time = FormatTimePicture(timePattern, info, parts);
    if (size_t at = text.find(kTimeMark); at != std::u16string::npos) text.replace(at, 1, time);
  }
  return text;
}

}  // namespace

std::u16string ExpandDateTimeFormat(const std::u16string& format) {
  const plat::LocaleDateInfo& user = InfoOf(UserLocale());
  std::u16string out;
  for (size_t i = 0; i < format.size();) {
    char16_t c = format[i];
    if (c == u'\'') {
      size_t end = SkipQuoted(format, i);
      out.append(format, i, end - i);
      i = end;
      continue;
    }
    size_t n = IsLetter(c) ? RunLength(format, i) : 1;
    std::u16string token = format.substr(i, n);
    if (token == u"ddddd") {
      out += PatternWithMarker(user.ShortDate);
    } else if (token == u"dddddd") {
      out += PatternWithMarker(user.LongDate);
    } else if (token == u"ttttt") {
      out += PatternWithMarker(user.Time);
    } else if (token == u"/" || token == u":") {
      char16_t sep = token == u"/" ? user.DateSeparator : user.TimeSeparator;
      if (IsLetter(sep) || sep == u'\'') out += u"'" + std::u16string(sep == u'\'' ? 2 : 1, sep) + u"'";
      else out += sep;
    } else {
      out += token;
    }
    i += n;
  }
  return out;
}

void SplitTimeFormat(const std::u16string& format, std::u16string& datePattern,
                     std::u16string& timePattern, const std::u16string& placeholder) {
  timePattern.clear();
  datePattern = format;
  for (size_t i = 0; i < format.size();) {
    if (format[i] == u'\'') {
      i = SkipQuoted(format, i);
      continue;
    }
    if (!IsTimeStart(format[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < format.size()) {
      // Quoted text goes with the run whole, so that neither part is left with half a quote.
      if (format[end] == u'\'') end = SkipQuoted(format, end);
      else if (size_t m = MarkerLength(format, end); m != 0) end += m;
      else if (IsTimeContinuation(format[end])) ++end;
      else break;
    }
    timePattern = format.substr(i, end - i);
    datePattern = format.substr(0, i) + u"'" + placeholder + u"'" + format.substr(end);
    return;
  }
}

void MarkFrenchDayPlaceholder(std::u16string& datePattern) {
  std::u16string out;
  const std::u16string& s = datePattern;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == u'\'') {
      size_t end = SkipQuoted(s, i);
      out.append(s, i, end - i);
      i = end;
      continue;
    }
    bool lone = s[i] == u'd' && (i == 0 || !IsLetter(s[i - 1])) &&
                (i + 1 == s.size() || !IsLetter(s[i + 1]));
    if (lone) out += u"'~d'";
    else out += s[i];
    ++i;
  }
  datePattern = out;
}

void FillFrenchDayPlaceholder(std::u16string& text, double date) {
  int32_t day = DecodeDateTime(date).Day;
  std::u16string dayText = day == 1 ? u"1er" : Number(day, 1);
  for (size_t at = text.find(u"~d"); at != std::u16string::npos;
       at = text.find(u"~d", at + dayText.size())) {
    text.replace(at, 2, dayText);
  }
}

std::u16string FormatDateTimeLocale(const std::u16string& format, int32_t language, double value) {
  return FormatDateTimeCore(format, language, value);
}

std::u16string FormatDateTimeLocale(const std::string& format, int32_t language, double value) {
  return FormatDateTimeCore(CodePageToWide(format, DefaultCodePage), language, value);
}

std::u16string DateToLocaleText(double value) {
  return FormatDateTimeCore(u"ddddd", LOCALE_USER_DEFAULT_ID, value);
}

std::u16string DateTimeToLocaleText(double value) {
  return FormatDateTimeCore(u"ddddd ttttt", LOCALE_USER_DEFAULT_ID, value);
}

}  // namespace qv
