#pragma once
// Date arithmetic and date texts of tasks and the scheduler. Times are OLE dates (local time);
// the arithmetic works on whole seconds so that no schedule drifts by a rounding error.

#include <cstdint>
#include <optional>
#include <string>

namespace duvanto {

inline constexpr int64_t kSecondsPerDay = 86400;

// The value as a count of seconds since 30 December 1899 00:00 (nearest second), and back;
// values outside the OLE range count as its nearer end.
int64_t OleSeconds(double oleDate);
double OleFromSeconds(int64_t seconds);

// The count of second (minute) boundaries passed from `from` to `to`, negative when `to` is
// earlier: what the schedule means by "lies in the past" and "is due".
int64_t SecondBoundaries(double from, double to);
int64_t MinuteBoundaries(double from, double to);

// The value rounded to the whole second.
double WholeSecond(double oleDate);
// The day of the week, Sunday = 1 to Saturday = 7.
int32_t WeekdayOf(double oleDate);

// The general date as files and the task list show it: the locale's short date, a blank and
// its long time; the date is left out when the value has no date part (a time of day, or 0)
// and the time when it is exactly midnight. In the C and POSIX locales: 12/4/2003 4:38:16 PM.
std::string GeneralDateText(double oleDate);
// Reads what GeneralDateText writes in the current locale, the C locale's form and ISO 8601,
// with or without either part. Nothing when the text is not a date.
std::optional<double> ParseGeneralDateText(const std::string& text);

// "yyyymmddHhNn": the sort key of the list's date columns (200312041638).
std::string SortKeyText(double oleDate);

}  // namespace duvanto
