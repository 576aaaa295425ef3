#pragma once
// Date-time values: days since 30 December 1899 with the time of day as the fraction, and their
// ISO 8601 text in document metadata.
#include <cstdint>
#include <string>

namespace qv {

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
