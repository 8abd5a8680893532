#pragma once
// Times of day as the options file and the priority rules show them. A time of day is an OLE
// date whose whole part is 0 (30 December 1899).

#include <optional>
#include <string>

namespace duvanto {

// The hour, minute and second of the value, without its date part.
double TimeOfDay(double oleDate);
// The time of day of hour:minute:00.
double TimeOfDayFromClock(int hour, int minute);

// The LC_TIME locale's long time of the value's time of day; in the C and POSIX locales
// h:mm:ss AM/PM (11:59:00 PM).
std::string FormatLongTime(double oleDate);
// What FormatLongTime writes in the current locale, and the US form h:mm[:ss] with or without
// AM/PM (24-hour without), blanks around allowed. A time of day; nothing on failure.
std::optional<double> ParseLongTime(const std::string& text);

// A date value as the options file holds it: the long time alone for a pure time of day,
// else the general date.
std::string FormatDateValue(double oleDate);
// A long time or a general date (FormatGeneralDate's forms); nothing on failure.
std::optional<double> ParseDateValue(const std::string& text);

// hh:mm AM/PM with a two-digit hour on the 12-hour clock, whatever the locale (09:30 AM).
std::string FormatHourMinuteAmPm(double oleDate);

}  // namespace duvanto
