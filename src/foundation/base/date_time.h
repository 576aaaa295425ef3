#pragma once
// Date-time values: days since 30 December 1899 with the time of day as the fraction, and their
// ISO 8601 text in document metadata.
#include <cstdint>
#include <string>

namespace qv {

// The calendar parts of a date-time value (proleptic Gregorian calendar; a negative value holds
// its time of day as the size of its fraction, as EncodeDateTime writes it).
struct TDateTimeParts {
  int32_t Year = 1899, Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0;
  int32_t DayOfWeek = 6;  // 0 Sunday .. 6 Saturday
};
TDateTimeParts DecodeDateTime(double dateTime);
// Floating-point seconds since 1 January of year 1 (days * 86400 + milliseconds of the day / 1000).
double DateTimeToSeconds(double dateTime);

double EncodeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second);
// A number that grows with the date: year * 365 + month * 31 + day.
int32_t DateToDayIndex(double dateTime);
// "%d-%.2d-%.2dT%.2d:%.2d:%.2dZ" of the value as it is (no time-zone conversion).
void DateTimeToIso8601(double dateTime, std::string& out);
// Reads 2021-03-04T05:06:07Z, 20210304T050607 or 2021-03-04T05:06:07.123Z. False (value
// unchanged) when the text has no time part, the wrong number of digits, digits that do not
// read, or a date or time that does not exist.
bool Iso8601ToDateTime(const std::string& text, double& value);

}  // namespace qv
