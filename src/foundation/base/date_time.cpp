#include "foundation/base/date_time.h"

#include <cmath>
#include <cstdio>

namespace qv {

namespace {

// Days from 1 January 1970 to the date (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;  // days since 1970-01-01
}

void CivilFromDays(int64_t z, int32_t& y, int32_t& m, int32_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int32_t(doy - (153 * mp + 2) / 5 + 1);
  m = int32_t(mp < 10 ? mp + 3 : mp - 9);
  y = int32_t(yoe + era * 400 + (m <= 2));
}

// Days between 1899-12-30 and 1970-01-01.
constexpr int64_t kEpochShift = 25569;

// Days between 0001-01-01 and 1899-12-30.
constexpr int64_t kDaysFromYearOne = 693593;

// Values so far from the epoch that no calendar holds them are clamped to years 1 .. 9999.
constexpr double kMinValue = -693593.0;
constexpr double kMaxValue = 2958465.999;

// Whole days and milliseconds of the day. As EncodeDateTime writes them, a negative value holds
// its day in the whole part and the time of that day as the size of its fraction (-1.25 is
// 29 December 1899, 6:00).
void SplitValue(double value, int64_t& dayNo, int64_t& ms) {
  if (!(value >= kMinValue)) value = kMinValue;  // also NaN
  if (value > kMaxValue) value = kMaxValue;
  double days = std::trunc(value);
  ms = std::llround(std::fabs(value - days) * 86400000.0);
  dayNo = int64_t(days);
  if (ms >= 86400000) {
    ms -= 86400000;
    ++dayNo;
  }
}

struct DateTimeParts {
  int32_t year, month, day, hour, minute, second;
};

DateTimeParts Decode(double value) {
  TDateTimeParts d = DecodeDateTime(value);
  return {d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second};
}

bool ValidDate(int32_t y, int32_t m, int32_t d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + ((m == 2 && leap) ? 1 : 0);
}

bool AllDigits(const std::string& s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

}  // namespace

TDateTimeParts DecodeDateTime(double dateTime) {
  int64_t dayNo, ms;
  SplitValue(dateTime, dayNo, ms);
  // Whole seconds as the text forms show them: a value a hair below a second rounds up.
  int64_t secs = (ms + 500) / 1000;
  if (secs >= 86400) {
    secs -= 86400;
    ++dayNo;
  }
  TDateTimeParts p;
  CivilFromDays(dayNo - kEpochShift, p.Year, p.Month, p.Day);
  p.Hour = int32_t(secs / 3600);
  p.Minute = int32_t(secs / 60 % 60);
  p.Second = int32_t(secs % 60);
  p.DayOfWeek = int32_t(((dayNo - kEpochShift) % 7 + 7 + 4) % 7);  // 1970-01-01 was a Thursday
  return p;
}

double DateTimeToSeconds(double dateTime) {
  int64_t dayNo, ms;
  SplitValue(dateTime, dayNo, ms);
  return double(dayNo + kDaysFromYearOne) * 86400.0 + double(ms) / 1000.0;
}

double EncodeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second) {
  double days = double(DaysFromCivil(year, month, day) + kEpochShift);
  double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  return days >= 0 ? days + time : days - time;
}

int32_t DateToDayIndex(double dateTime) {
  DateTimeParts p = Decode(dateTime);
  return p.year * 365 + p.month * 31 + p.day;
}

void DateTimeToIso8601(double dateTime, std::string& out) {
  DateTimeParts p = Decode(dateTime);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d-%.2d-%.2dT%.2d:%.2d:%.2dZ", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  out = buf;
}

bool Iso8601ToDateTime(const std::string& text, double& value) {
  std::string s;
  for (char c : text)
    if (c != ':' && c != '-') s += c;
  if (s.empty()) return false;
  if (s.back() == 'Z') s.pop_back();
  size_t t = s.find('T');
  if (t == std::string::npos) return false;
  std::string date = s.substr(0, t), time = s.substr(t + 1);
  if (size_t dot = time.find('.'); dot != std::string::npos) time.resize(dot);
  if (date.size() != 8 || time.size() != 6) return false;
  // Digits that do not read give no value: the caller's old one must not pass for a result.
  if (!AllDigits(date) || !AllDigits(time)) return false;
  int32_t y = std::stoi(date.substr(0, 4)), mo = std::stoi(date.substr(4, 2)),
          d = std::stoi(date.substr(6, 2));
  int32_t h = std::stoi(time.substr(0, 2)), mi = std::stoi(time.substr(2, 2)),
          se = std::stoi(time.substr(4, 2));
  if (!ValidDate(y, mo, d) || h > 23 || mi > 59 || se > 59) return false;
  value = EncodeDateTime(y, mo, d, h, mi, se);
  return value != 0;
}

}  // namespace qv
