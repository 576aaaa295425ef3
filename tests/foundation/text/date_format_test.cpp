#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "foundation/base/date_time.h"
#include "foundation/text/date_format.h"

using namespace qv;

namespace {

// Runs a test in a user locale and puts the environment back afterwards.
class ScopedUserLocale {
 public:
  explicit ScopedUserLocale(const char* locale) {
    if (const char* old = std::getenv("LC_ALL")) old_ = old;
    setenv("LC_ALL", locale, 1);
  }
  ~ScopedUserLocale() {
    if (old_) setenv("LC_ALL", old_->c_str(), 1);
    else unsetenv("LC_ALL");
  }

 private:
  std::optional<std::string> old_;
};

constexpr int32_t kEnglish = 1033, kGerman = 1031, kFrench = 1036, kRussian = 1049;

std::string Utf8(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

class DateFormat : public ::testing::Test {
 public:
  ScopedUserLocale locale_{"en_US.UTF-8"};
  // Tuesday 1 December 2026, 13:05:09, and Monday 7 December 2026, 09:04:03.
  double first_ = EncodeDateTime(2026, 12, 1, 13, 5, 9);
  double seventh_ = EncodeDateTime(2026, 12, 7, 9, 4, 3);
};

TEST_F(DateFormat, PicturesInEnglishAndGerman) {
  struct Case {
    const char16_t* format;
    int32_t language;
    double DateFormat::*value;
    const char* expected;
  } cases[] = {
      {u"d", kEnglish, &DateFormat::seventh_, "7"},
      {u"dd", kEnglish, &DateFormat::seventh_, "07"},
      {u"ddd", kEnglish, &DateFormat::seventh_, "Mon"},
      {u"dddd", kEnglish, &DateFormat::seventh_, "Monday"},
      {u"M MM MMM MMMM", kEnglish, &DateFormat::seventh_, "12 12 Dec December"},
      {u"yy yyyy y", kEnglish, &DateFormat::seventh_, "26 2026 26"},
      {u"h hh H HH m mm s ss", kEnglish, &DateFormat::seventh_, "9 09 9 09 4 04 3 03"},
      {u"h:mm tt", kEnglish, &DateFormat::first_, "1:05 PM"},
      {u"hh:mm t", kEnglish, &DateFormat::seventh_, "09:04 A"},
      {u"h:mm am/pm", kEnglish, &DateFormat::first_, "1:05 PM"},
      {u"h:mm AM/PM", kEnglish, &DateFormat::seventh_, "9:04 AM"},
      {u"h:mm a/p", kEnglish, &DateFormat::first_, "1:05 p"},
      {u"'dd' 'It''s' d", kEnglish, &DateFormat::seventh_, "dd It's 7"},
      {u"'ddddd'", kEnglish, &DateFormat::seventh_, "ddddd"},
      {u"dddd, d. MMMM yyyy", kGerman, &DateFormat::seventh_, "Montag, 7. Dezember 2026"},
      {u"ddd d MMM", kGerman, &DateFormat::seventh_, "Mo. 7 Dez."},
      {u"HH:mm 'Uhr'", kGerman, &DateFormat::first_, "13:05 Uhr"},
      {u"dddd d MMMM yyyy HH:mm", kGerman, &DateFormat::first_, "Dienstag 1 Dezember 2026 13:05"},
      {u"d MMMM", kRussian, &DateFormat::seventh_, "7 \xD0\xB4\xD0\xB5\xD0\xBA\xD0\xB0\xD0\xB1\xD1\x80\xD1\x8F"},
      {u"MMMM yyyy", kRussian, &DateFormat::seventh_, "\xD0\xB4\xD0\xB5\xD0\xBA\xD0\xB0\xD0\xB1\xD1\x80\xD1\x8C 2026"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(c.format), c.language, this->*c.value)),
              c.expected)
        << Utf8(c.format);
  }
}

TEST_F(DateFormat, FrenchFirstOfMonth) {
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"d MMMM yyyy"), kFrench, first_)),
            "1er d\xC3\xA9" "cembre 2026");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"d MMMM yyyy"), kFrench, seventh_)),
            "7 d\xC3\xA9" "cembre 2026");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"dd MMMM yyyy"), kFrench, first_)),
            "01 d\xC3\xA9" "cembre 2026");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"dddd d"), kFrench, first_)), "mardi 1er");
  // The rule belongs to French only, and for the user default only when the user is French.
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"d MMMM"), kEnglish, first_)), "1 December");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"d MMMM"), LOCALE_USER_DEFAULT_ID, first_)),
            "1 December");
  ScopedUserLocale french("fr_FR.UTF-8");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"d MMMM"), LOCALE_USER_DEFAULT_ID, first_)),
            "1er d\xC3\xA9" "cembre");
}

TEST_F(DateFormat, LocalePatternsAndTheirMarker) {
  std::u16string shortDate = FormatDateTimeLocale(std::u16string(u"ddddd"), kEnglish, seventh_);
  EXPECT_EQ(Utf8(shortDate).substr(0, 5), "12/7/");
  EXPECT_EQ(FormatDateTimeLocale(std::u16string(), kEnglish, seventh_), shortDate);
  EXPECT_EQ(DateToLocaleText(seventh_), shortDate);
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"dddddd"), kEnglish, seventh_)),
            "Monday, December 7, 2026");
  // The locale's 12-hour time writes its designator, not the letters "am/pm".
  std::string time = Utf8(FormatDateTimeLocale(std::u16string(u"ttttt"), kEnglish, first_));
  EXPECT_EQ(time.substr(0, 7), "1:05:09");
  EXPECT_NE(time.find("PM"), std::string::npos) << time;
  EXPECT_EQ(time.find("am/pm"), std::string::npos) << time;
  std::string both = Utf8(DateTimeToLocaleText(first_));
  EXPECT_EQ(both.substr(0, 11), "12/1/26 1:0") << both;
  EXPECT_NE(both.find("PM"), std::string::npos) << both;
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"d/M HH:mm"), kEnglish, first_)), "1/12 13:05");

  // A 24-hour locale's time pattern, and separators from the user's locale.
  ScopedUserLocale german("de_DE.UTF-8");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"ttttt"), kGerman, first_)), "13:05:09");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"d/M"), kGerman, first_)), "1.12");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"ddddd ttttt"), kGerman, first_)),
            "01.12.26 13:05:09");
}

TEST_F(DateFormat, UnknownLanguageUsesTheUserDefault) {
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"MMMM"), 0x7FFF, first_)), "December");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"MMMM"), 7, first_)), "Dezember");  // neutral German
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::string("dd.MM.yyyy"), -5, first_)), "01.12.2026");
}

TEST_F(DateFormat, SplitAndFrenchPlaceholders) {
  std::u16string date, time;
  SplitTimeFormat(u"dddd d MMMM yyyy HH:mm", date, time);
  EXPECT_EQ(date, u"dddd d MMMM yyyy '%s'");
  EXPECT_EQ(time, u"HH:mm");
  SplitTimeFormat(u"h:mm am/pm 'on' d", date, time);
  EXPECT_EQ(time, u"h:mm am/pm 'on' ");
  EXPECT_EQ(date, u"'%s'd");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"h:mm am/pm 'on' d"), kEnglish, seventh_)),
            "9:04 AM on 7");
  SplitTimeFormat(u"'hh' d MMMM", date, time);
  EXPECT_EQ(time, u"");
  EXPECT_EQ(date, u"'hh' d MMMM");
  std::u16string pattern = u"d dd 'd' dddd d";
  MarkFrenchDayPlaceholder(pattern);
  EXPECT_EQ(pattern, u"'~d' dd 'd' dddd '~d'");
  std::u16string text = u"~d/~d";
  FillFrenchDayPlaceholder(text, first_);
  EXPECT_EQ(text, u"1er/1er");
  text = u"~d";
  FillFrenchDayPlaceholder(text, seventh_);
  EXPECT_EQ(text, u"7");
  EXPECT_EQ(ExpandDateTimeFormat(u"'ddddd' x"), u"'ddddd' x");
}

TEST_F(DateFormat, HostileFormatsAndValues) {
  // Unterminated quotes, printf-like text and extreme values give text, never a crash.
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"'open d"), kEnglish, first_)), "open d");
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"%s %d %n HH"), kEnglish, first_)),
            "%9 %1 %n HH");
  EXPECT_FALSE(FormatDateTimeLocale(std::u16string(u"yyyy"), kEnglish, 1e300).empty());
  EXPECT_FALSE(FormatDateTimeLocale(std::u16string(u"yyyy"), kEnglish, -1e300).empty());
  EXPECT_EQ(Utf8(FormatDateTimeLocale(std::u16string(u"dddddddd"), kEnglish, seventh_)), "Monday");
}

TEST(DateTimeSeconds, CountsFromYearOne) {
  EXPECT_DOUBLE_EQ(DateTimeToSeconds(EncodeDateTime(1, 1, 1, 0, 0, 0)), 0.0);
  EXPECT_DOUBLE_EQ(DateTimeToSeconds(EncodeDateTime(1, 1, 2, 0, 0, 1)), 86401.0);
  // Before 1900 the fraction is the time of the day the whole part names.
  TDateTimeParts early = DecodeDateTime(EncodeDateTime(1899, 12, 29, 6, 0, 0));
  EXPECT_EQ(early.Day, 29);
  EXPECT_EQ(early.Hour, 6);
  EXPECT_DOUBLE_EQ(DateTimeToSeconds(0.5), 693593.0 * 86400 + 43200);
  TDateTimeParts p = DecodeDateTime(EncodeDateTime(2026, 12, 7, 9, 4, 3));
  EXPECT_EQ(p.DayOfWeek, 1);
  EXPECT_EQ(DecodeDateTime(EncodeDateTime(1899, 12, 30, 0, 0, 0)).DayOfWeek, 6);
}

}  // namespace
