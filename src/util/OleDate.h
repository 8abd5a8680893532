// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dates are OLE dates: days since 30 December 1899 as a double, the fraction being the local
// time of day. Files hold them as the locale's general date. This is the one implementation
// the log, the task list and the desktop program share.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace duvanto {

struct LocalDateTime {
    int year = 1899, month = 12, day = 30;  // month 1..12, day 1..31
    int hour = 0, minute = 0, second = 0;
};

// The range OLE dates cover: 1 January 100 to 31 December 9999.
inline constexpr int kMinOleYear = 100;
inline constexpr int kMaxOleYear = 9999;
inline constexpr double kMinOleDate = -657434.0;
inline constexpr double kMaxOleDate = 2958465.0;

inline constexpr int64_t kSecondsPerDay = 86400;

// Whether every field lies in its range and the day exists in its month and year.
bool IsValidLocalDateTime(const LocalDateTime& value);

// Exact to the second; fractions of a second round to the nearest second. Both throw
// std::out_of_range for a value outside the range above (or a field outside its own range),
// which callers meet only through corrupt data; their labelled boundary reports it.
double OleDateFromLocal(const LocalDateTime& value);
LocalDateTime LocalFromOleDate(double oleDate);

// An instant as local OLE time, through the system's time zone rules.
double OleDateFromTimeT(std::time_t instant);
// A local OLE time as an instant. A time the clocks skip or repeat is read as the system's
// rules choose; nothing for a time the system cannot place.
std::optional<std::time_t> TimeTFromOleDate(double oleDate);

// The general date of the LC_TIME locale in force: its short date with a four-digit year,
// a blank, its long time. In the C and POSIX locales: M/D/YYYY h:mm:ss AM/PM.
std::string FormatGeneralDate(double oleDate);

// Reads what FormatGeneralDate writes in the current locale and the numeric forms that other
// locales write (util/DateReading.h): the US form above, ISO 8601 ("YYYY-MM-DD HH:MM:SS" or
// with a "T"), day-first forms with "." or "/", year-first forms; 24-hour and AM/PM times. A
// date alone is midnight. Nothing on failure.
std::optional<double> ParseGeneralDate(const std::string& text);

// Reads the LC_TIME locale's long time (in the C and POSIX locales h:mm:ss AM/PM, 11:59:00 PM)
// and the times other locales write:
// h:mm[:ss] (or with ".") with or without AM/PM (24-hour without), and CJK forms, blanks
// around allowed. A time of day, that is an OLE date whose whole part is 0; nothing on failure.
std::optional<double> ParseLongTime(const std::string& text);

// The general date as the runtime writes a date value, in the task list and the options
// file: the date is left out when the value has no date part (a time of day, or 0) and the
// time when it is exactly midnight. In the C and POSIX locales: 12/4/2003 4:38:16 PM,
// 12/4/2003, 4:38:16 PM.
std::string GeneralDateText(double oleDate);
// Reads what GeneralDateText writes in the current locale: ParseLongTime's forms, else
// ParseGeneralDate's. Nothing when the text is not a date.
std::optional<double> ParseGeneralDateText(const std::string& text);

}  // namespace duvanto
