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

struct DateTimeParts {
  int32_t year, month, day, hour, minute, second;
};

DateTimeParts Decode(double value) {
  double days = std::floor(value);
  // The fraction of a negative value still counts forward from midnight of its day.
  int64_t secs = std::llround((value - days) * 86400.0);
  int64_t dayNo = int64_t(days);
  if (secs >= 86400) {
    secs -= 86400;
    ++dayNo;
  }
  DateTimeParts p{};
  CivilFromDays(dayNo - kEpochShift, p.year, p.month, p.day);
  p.hour = int32_t(secs / 3600);
  p.minute = int32_t(secs / 60 % 60);
  p.second = int32_t(secs % 60);
  return p;
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
