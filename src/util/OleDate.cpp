// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/OleDate.h"

#include <langinfo.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "util/DateReading.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil): integer
// arithmetic only, so no date ever drifts by a rounding error.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const int64_t kOleEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

}  // namespace

bool IsValidLocalDateTime(const LocalDateTime& v) {
    return v.year >= kMinOleYear && v.year <= kMaxOleYear && v.month >= 1 && v.month <= 12 &&
           v.day >= 1 && v.day <= DaysInMonth(v.year, v.month) && v.hour >= 0 && v.hour <= 23 &&
           v.minute >= 0 && v.minute <= 59 && v.second >= 0 && v.second <= 59;
}

namespace {

// The C locale in any of its spellings, C.UTF-8 included: its date form is no one's own, so
// the US form stands in for it.
bool IsClassicLocale() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

// The locale's short date must show four-digit years, or a date written in 2003 would read
// back as another century's.
std::string WidenYear(std::string_view format) {
    std::string result;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            result += format[i];
            continue;
        }
        const char conversion = format[++i];
        if (conversion == 'y') {
            result += "%Y";
        } else if (conversion == 'D') {
            result += "%m/%d/%Y";
        } else {
            result += '%';
            result += conversion;
        }
    }
    return result;
}

std::string LocaleDateFormat() {
    return WidenYear(nl_langinfo(D_FMT));
}

std::string LocaleTimeFormat() {
    return nl_langinfo(T_FMT);
}

std::string LocaleDateTimeFormat() {
    return LocaleDateFormat() + " " + LocaleTimeFormat();
}

std::tm ToTm(const LocalDateTime& v) {
    std::tm tm{};
    tm.tm_year = v.year - 1900;
    tm.tm_mon = v.month - 1;
    tm.tm_mday = v.day;
    tm.tm_hour = v.hour;
    tm.tm_min = v.minute;
    tm.tm_sec = v.second;
    // Some locales' formats name the weekday; work it out rather than trust a system call
    // with years before 1970.
    const int64_t days = DaysFromCivil(v.year, v.month, v.day);
    tm.tm_wday = static_cast<int>(((days + 4) % 7 + 7) % 7);
    tm.tm_yday = static_cast<int>(days - DaysFromCivil(v.year, 1, 1));
    tm.tm_isdst = -1;
    return tm;
}

std::string FormatWith(const std::string& format, const LocalDateTime& v) {
    const std::tm tm = ToTm(v);
    std::string text(128, '\0');
    for (;;) {
        const std::size_t length = std::strftime(text.data(), text.size(), format.c_str(), &tm);
        // 0 means "did not fit" (or an empty result, which no date format gives).
        if (length > 0 || text.size() >= 4096) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::string ShortDateText(const LocalDateTime& v) {
    if (IsClassicLocale()) {
        char text[24];
        std::snprintf(text, sizeof text, "%d/%d/%04d", v.month, v.day, v.year);
        return text;
    }
    return FormatWith(LocaleDateFormat(), v);
}

std::string LongTimeText(const LocalDateTime& v) {
    if (IsClassicLocale()) {
        char text[24];
        std::snprintf(text, sizeof text, "%d:%02d:%02d %s", v.hour % 12 == 0 ? 12 : v.hour % 12,
                      v.minute, v.second, v.hour < 12 ? "AM" : "PM");
        return text;
    }
    return FormatWith(LocaleTimeFormat(), v);
}

// A time of day is dated 30 December 1899, day 0.
LocalDateTime AsTimeOfDay(LocalDateTime v) {
    v.year = 1899;
    v.month = 12;
    v.day = 30;
    return v;
}

bool IsTimeOfDay(const LocalDateTime& v) {
    return v.year == 1899 && v.month == 12 && v.day == 30;
}

std::optional<LocalDateTime> ParseLocaleForm(const std::string& text, const std::string& format) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), format.c_str(), &tm);
    if (end == nullptr || *end != '\0') {
        return std::nullopt;
    }
    LocalDateTime v;
    v.year = tm.tm_year + 1900;
    v.month = tm.tm_mon + 1;
    v.day = tm.tm_mday;
    v.hour = tm.tm_hour;
    v.minute = tm.tm_min;
    v.second = tm.tm_sec;
    return v;
}

// The order of day and month in the locale's short date and the separator between them, read
// from its format ("%d.%m.%Y": day first, "."); nothing decided when the year or a word comes
// between them or first.
DateReadingRules CurrentDateReadingRules() {
    DateReadingRules rules;
    if (IsClassicLocale()) {
        return rules;
    }
    rules.separator = '\0';
    rules.am = nl_langinfo(AM_STR);
    rules.pm = nl_langinfo(PM_STR);
    const std::string format = LocaleDateFormat();
    char first = '\0';
    std::string between;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            if (first != '\0' && format[i] != ' ') {
                between += format[i];
            }
            continue;
        }
        // GNU flags and modifiers between "%" and the conversion.
        while (i + 1 < format.size() && std::strchr("-_0^#EO", format[i + 1]) != nullptr) {
            ++i;
        }
        if (i + 1 == format.size()) {
            break;
        }
        char conversion = format[++i];
        conversion = conversion == 'e' ? 'd' : conversion;
        if (first == '\0') {
            if (conversion != 'd' && conversion != 'm') {
                return rules;  // year, weekday or month name first
            }
            first = conversion;
            continue;
        }
        if ((conversion == 'd' || conversion == 'm') && conversion != first &&
            between.size() == 1 && std::strchr("/.-", between[0]) != nullptr) {
            rules.separator = between[0];
            rules.dayFirst = first == 'd';
        }
        return rules;
    }
    return rules;
}

}  // namespace

double OleDateFromLocal(const LocalDateTime& value) {
    if (!IsValidLocalDateTime(value)) {
        throw std::out_of_range("date or time out of range");
    }
    const int64_t day = DaysFromCivil(value.year, value.month, value.day) - kOleEpochDays;
    const double fraction =
        static_cast<double>(value.hour * 3600 + value.minute * 60 + value.second) /
        static_cast<double>(kSecondsPerDay);
    // Before the epoch the integer part still counts days back while the fraction still
    // counts the time forward: -1.25 is 29 December 1899, 6:00.
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

LocalDateTime LocalFromOleDate(double oleDate) {
    if (!(oleDate > kMinOleDate - 1.0 && oleDate < kMaxOleDate + 1.0)) {
        throw std::out_of_range("OLE date out of range");
    }
    const double wholeDays = std::trunc(oleDate);
    int64_t day = static_cast<int64_t>(wholeDays);
    int64_t seconds = std::llround(std::fabs(oleDate - wholeDays) * kSecondsPerDay);
    if (seconds == kSecondsPerDay) {
        // Rounded up to the next midnight, on either side of the epoch.
        ++day;
        seconds = 0;
    }
    LocalDateTime v;
    CivilFromDays(day + kOleEpochDays, v.year, v.month, v.day);
    v.hour = static_cast<int>(seconds / 3600);
    v.minute = static_cast<int>(seconds / 60 % 60);
    v.second = static_cast<int>(seconds % 60);
    if (!IsValidLocalDateTime(v)) {
        throw std::out_of_range("OLE date out of range");
    }
    return v;
}

double OleDateFromTimeT(std::time_t instant) {
    std::tm tm{};
    if (localtime_r(&instant, &tm) == nullptr) {
        throw std::out_of_range("time out of range");
    }
    LocalDateTime v;
    v.year = tm.tm_year + 1900;
    v.month = tm.tm_mon + 1;
    v.day = tm.tm_mday;
    v.hour = tm.tm_hour;
    v.minute = tm.tm_min;
    v.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second has no OLE form
    return OleDateFromLocal(v);
}

std::optional<std::time_t> TimeTFromOleDate(double oleDate) {
    std::tm tm = ToTm(LocalFromOleDate(oleDate));
    tm.tm_isdst = -1;
    errno = 0;
    const std::time_t instant = std::mktime(&tm);
    // -1 is also one second before 1970; only errno tells the two apart.
    if (instant == static_cast<std::time_t>(-1) && errno != 0) {
        return std::nullopt;
    }
    return instant;
}

std::string FormatGeneralDate(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    return ShortDateText(v) + " " + LongTimeText(v);
}

std::optional<double> ParseGeneralDate(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    std::optional<LocalDateTime> value;
    if (!IsClassicLocale()) {
        value = ParseLocaleForm(trimmed, LocaleDateTimeFormat());
        if (!value || !IsValidLocalDateTime(*value)) {
            value = ParseLocaleForm(trimmed, LocaleDateFormat());
        }
    }
    if (!value || !IsValidLocalDateTime(*value)) {
        value = ReadDateText(trimmed, CurrentDateReadingRules());
    }
    if (!value || !IsValidLocalDateTime(*value)) {
        return std::nullopt;
    }
    return OleDateFromLocal(*value);
}

std::optional<double> ParseLongTime(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (!IsClassicLocale()) {
        const std::optional<LocalDateTime> local = ParseLocaleForm(trimmed, LocaleTimeFormat());
        if (local && IsValidLocalDateTime(AsTimeOfDay(*local))) {
            return OleDateFromLocal(AsTimeOfDay(*local));
        }
    }
    const std::optional<LocalDateTime> read = ReadTimeText(trimmed, CurrentDateReadingRules());
    if (!read || !IsValidLocalDateTime(*read)) {
        return std::nullopt;
    }
    return OleDateFromLocal(*read);
}

std::string GeneralDateText(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    if (IsTimeOfDay(v)) {
        return LongTimeText(v);
    }
    if (v.hour == 0 && v.minute == 0 && v.second == 0) {
        return ShortDateText(v);
    }
    return ShortDateText(v) + " " + LongTimeText(v);
}

std::optional<double> ParseGeneralDateText(const std::string& text) {
    if (std::optional<double> time = ParseLongTime(text)) {
        return time;
    }
    return ParseGeneralDate(text);
}

}  // namespace duvanto
