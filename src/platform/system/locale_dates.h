#pragma once
// The calendar texts and date and time patterns of a locale, from ICU. Patterns are given in the
// picture syntax the program's date formatter reads: d dd ddd dddd, M MM MMM MMMM, yy yyyy, g,
// h hh H HH, m mm, s ss, tt (the AM/PM designator), text in single quotes.
#include <array>
#include <string>

namespace plat {

struct LocaleDateInfo {
  bool Known = false;  // the locale's language has data of its own
  std::array<std::u16string, 12> MonthNames;            // as written with a day ("1 января")
  std::array<std::u16string, 12> StandaloneMonthNames;  // as written alone ("январь")
  std::array<std::u16string, 12> AbbrevMonthNames;
  std::array<std::u16string, 7> DayNames;  // Sunday first
  std::array<std::u16string, 7> AbbrevDayNames;
  std::u16string Am = u"AM";
  std::u16string Pm = u"PM";
  std::u16string Era = u"AD";  // the era of dates after year 0
  std::u16string ShortDate = u"M/d/yyyy";
  std::u16string LongDate = u"dddd, MMMM d, yyyy";
  std::u16string Time = u"h:mm:ss tt";
  char16_t DateSeparator = u'/';
  char16_t TimeSeparator = u':';
};

// The information of a locale named "ll-CC" (empty: the user's locale). A locale whose language
// is unknown gives Known = false with the English texts and patterns.
LocaleDateInfo GetLocaleDateInfo(const std::string& locale);

}  // namespace plat
