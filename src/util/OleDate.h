#pragma once
// Dates are OLE dates: days since 30 December 1899 as a double, the fraction being the local
// time of day. Files hold them as the locale's general date. This is the one implementation
// the log, the task list and the desktop program share.

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

// Exact to the second; fractions of a second round to the nearest second. Both throw
// std::out_of_range for a value outside the range above (or a field outside its own range),
// which callers meet only through corrupt data; their labelled boundary reports it.
double OleDateFromLocal(const LocalDateTime& value);
LocalDateTime LocalFromOleDate(double oleDate);

// Between an instant and local OLE time, through the system's time zone rules.
double OleDateFromTimeT(std::time_t instant);
std::time_t TimeTFromOleDate(double oleDate);

// The general date of the LC_TIME locale in force: its short date with a four-digit year,
// a blank, its long time. In the C and POSIX locales: M/D/YYYY h:mm:ss AM/PM.
std::string FormatGeneralDate(double oleDate);

// Reads what FormatGeneralDate writes in the current locale, the US form above, and ISO 8601
// ("YYYY-MM-DD HH:MM:SS" or with a "T"; a date alone is midnight). Nothing on failure.
std::optional<double> ParseGeneralDate(const std::string& text);

}  // namespace duvanto
