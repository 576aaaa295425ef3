#pragma once
// Dates and times in the program's format language, for a language.
//
// The format language reads, outside single quotes, runs of letters and single other characters
// as tokens: "ddddd" is the user locale's short-date pattern, "dddddd" its long-date pattern,
// "ttttt" its time pattern, "/" its date separator and ":" its time separator; every other token
// is a date picture (d dd ddd dddd, M MM MMM MMMM, y yy yyyy, g gg), a time picture (h hh H HH,
// m mm s ss, t tt) or literal text. Text between single quotes is literal ('' is one quote).
// The inserted locale patterns write their AM/PM designator as "am/pm", the form field pictures
// use; "am/pm" writes the designator as the language writes it, "AM/PM" in capitals, "a/p" and
// "A/P" its first letter.
//
// French (primary language 12) writes a lone day number "d" as "1er" on the first of a month.
// A language without calendar data of its own is formatted as the user's default language.
#include <cstdint>
#include <string>

namespace qv {

// The language id that stands for the user's default locale.
inline constexpr int32_t LOCALE_USER_DEFAULT_ID = 1024;

std::u16string ExpandDateTimeFormat(const std::u16string& format);
// The first run of time letters outside quotes (from H h m s t over H h m s t, blanks, quotes,
// ".", "/", ":" and the AM/PM markers) becomes the time pattern; the date pattern is the format
// with that run replaced by the placeholder in quotes. Without such a run the time pattern is
// empty and the date pattern is the format.
void SplitTimeFormat(const std::u16string& format, std::u16string& datePattern,
                     std::u16string& timePattern, const std::u16string& placeholder = u"%s");
// Every "d" outside quotes with no letter directly before or after it becomes "'~d'".
void MarkFrenchDayPlaceholder(std::u16string& datePattern);
// Every "~d" becomes the day of the month, or "1er" on the first.
void FillFrenchDayPlaceholder(std::u16string& text, double date);

// The value (days since 30 December 1899, time of day as fraction) in the format for the
// language; an empty format means "ddddd".
std::u16string FormatDateTimeLocale(const std::u16string& format, int32_t language, double value);
// The same with a format in the program's code page.
std::u16string FormatDateTimeLocale(const std::string& format, int32_t language, double value);
// The short date, and the short date with the time, in the user's default locale.
std::u16string DateToLocaleText(double value);
std::u16string DateTimeToLocaleText(double value);

}  // namespace qv
