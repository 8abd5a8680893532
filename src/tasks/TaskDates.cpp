#include "tasks/TaskDates.h"

#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "util/OleDate.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// As the general date itself decides: the C locale in any spelling writes the US form.
bool IsClassicLocale() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

// The long time as FormatGeneralDate writes its time part, so that the part can be recognised
// at the end of a general date.
std::string LongTimeText(int64_t secondOfDay) {
    const int hour = static_cast<int>(secondOfDay / 3600);
    const int minute = static_cast<int>(secondOfDay / 60 % 60);
    const int second = static_cast<int>(secondOfDay % 60);
    if (IsClassicLocale()) {
        char text[24];
        std::snprintf(text, sizeof text, "%d:%02d:%02d %s", hour % 12 == 0 ? 12 : hour % 12, minute,
                      second, hour < 12 ? "AM" : "PM");
        return text;
    }
    std::tm tm{};
    tm.tm_year = -1;  // 1899, as a pure time of day is dated
    tm.tm_mon = 11;
    tm.tm_mday = 30;
    tm.tm_wday = 6;
    tm.tm_yday = 363;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, nl_langinfo(T_FMT), &tm);
    return std::string(text, length);
}

std::optional<double> TimeOfDay(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    return OleFromSeconds(hour * 3600 + minute * 60 + second);
}

// Between minDigits and 2 digits at `at`, not followed by another digit.
bool TakeNumber(const std::string& text, std::size_t& at, std::size_t minDigits, int& value) {
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && at - start < 2 && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at++] - '0');
    }
    return at - start >= minDigits && (at == text.size() || text[at] < '0' || text[at] > '9');
}

// h:mm[:ss] with an optional AM or PM (a 24-hour time without).
std::optional<double> ParseUsTime(const std::string& text) {
    std::size_t at = 0;
    int hour = 0, minute = 0, second = 0;
    if (!TakeNumber(text, at, 1, hour) || at >= text.size() || text[at++] != ':' ||
        !TakeNumber(text, at, 2, minute)) {
        return std::nullopt;
    }
    if (at < text.size() && text[at] == ':' && !TakeNumber(text, ++at, 2, second)) {
        return std::nullopt;
    }
    const std::string tail = Trim(std::string_view(text).substr(at));
    const bool am = strcasecmp(tail.c_str(), "AM") == 0;
    const bool pm = strcasecmp(tail.c_str(), "PM") == 0;
    if (!tail.empty() && !am && !pm) {
        return std::nullopt;
    }
    if (am || pm) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (pm ? 12 : 0);
    }
    return TimeOfDay(hour, minute, second);
}

std::optional<double> ParseLocaleTime(const std::string& text) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), nl_langinfo(T_FMT), &tm);
    if (end == nullptr || *end != '\0') {
        return std::nullopt;
    }
    return TimeOfDay(tm.tm_hour, tm.tm_min, tm.tm_sec);
}

}  // namespace

int64_t OleSeconds(double oleDate) {
    // Values outside the calendar (NaN among them) count as its nearer end: the arithmetic
    // below must never meet a number that a 64-bit integer cannot hold.
    if (!(oleDate >= kMinOleDate)) {
        oleDate = kMinOleDate;
    } else if (oleDate > kMaxOleDate + 1.0) {
        oleDate = kMaxOleDate + 1.0;
    }
    const double wholeDays = std::trunc(oleDate);
    // Before the epoch the whole part counts days back while the fraction still counts the
    // time of day forward.
    return static_cast<int64_t>(wholeDays) * kSecondsPerDay +
           std::llround(std::fabs(oleDate - wholeDays) * static_cast<double>(kSecondsPerDay));
}

double OleFromSeconds(int64_t seconds) {
    const int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const double fraction =
        static_cast<double>(seconds - day * kSecondsPerDay) / static_cast<double>(kSecondsPerDay);
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

int64_t SecondBoundaries(double from, double to) {
    return OleSeconds(to) - OleSeconds(from);
}

int64_t MinuteBoundaries(double from, double to) {
    return FloorDiv(OleSeconds(to), 60) - FloorDiv(OleSeconds(from), 60);
}

double WholeSecond(double oleDate) {
    return OleFromSeconds(OleSeconds(oleDate));
}

int32_t WeekdayOf(double oleDate) {
    // Day 0, 30 December 1899, was a Saturday.
    const int64_t day = FloorDiv(OleSeconds(oleDate), kSecondsPerDay);
    return static_cast<int32_t>(((day % 7 + 7) % 7 + 6) % 7 + 1);
}

std::string GeneralDateText(double oleDate) {
    const int64_t seconds = OleSeconds(oleDate);
    const int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const int64_t secondOfDay = seconds - day * kSecondsPerDay;
    if (day == 0) {
        return LongTimeText(secondOfDay);
    }
    const std::string full = FormatGeneralDate(OleFromSeconds(seconds));
    if (secondOfDay != 0) {
        return full;
    }
    // The short date is the general date without its time part.
    const std::string timePart = " " + LongTimeText(0);
    return full.ends_with(timePart) ? full.substr(0, full.size() - timePart.size()) : full;
}

std::optional<double> ParseGeneralDateText(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    if (!IsClassicLocale()) {
        if (std::optional<double> time = ParseLocaleTime(trimmed)) {
            return time;
        }
    }
    if (std::optional<double> time = ParseUsTime(trimmed)) {
        return time;
    }
    return ParseGeneralDate(trimmed);
}

std::string SortKeyText(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    char text[24];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d", v.year, v.month, v.day, v.hour,
                  v.minute);
    return text;
}

}  // namespace duvanto
