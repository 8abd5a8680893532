#include "settings/TimeText.h"

#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "util/OleDate.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

bool IsClassicLocale() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

// Reads 1 or 2 digits at `at`.
bool TakeNumber(const std::string& text, std::size_t& at, int& value, std::size_t minDigits) {
    std::size_t start = at;
    value = 0;
    while (at < text.size() && at - start < 2 && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at++] - '0');
    }
    return at - start >= minDigits && (at == text.size() || text[at] < '0' || text[at] > '9');
}

std::optional<double> ParseUsTime(const std::string& text) {
    std::size_t at = 0;
    int hour = 0, minute = 0, second = 0;
    if (!TakeNumber(text, at, hour, 1) || at >= text.size() || text[at++] != ':' ||
        !TakeNumber(text, at, minute, 2)) {
        return std::nullopt;
    }
    if (at < text.size() && text[at] == ':' && !TakeNumber(text, ++at, second, 2)) {
        return std::nullopt;
    }
    const std::string rest = Trim(std::string_view(text).substr(at));
    const bool am = strcasecmp(rest.c_str(), "AM") == 0;
    const bool pm = strcasecmp(rest.c_str(), "PM") == 0;
    if (!rest.empty() && !am && !pm) {
        return std::nullopt;
    }
    if (am || pm) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (pm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return OleDateFromLocal({1899, 12, 30, hour, minute, second});
}

std::optional<double> ParseLocaleTime(const std::string& text) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), nl_langinfo(T_FMT), &tm);
    if (end == nullptr || *end != '\0' || tm.tm_hour > 23 || tm.tm_min > 59 || tm.tm_sec > 59) {
        return std::nullopt;
    }
    return OleDateFromLocal({1899, 12, 30, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

}  // namespace

double TimeOfDay(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    return OleDateFromLocal({1899, 12, 30, v.hour, v.minute, v.second});
}

double TimeOfDayFromClock(int hour, int minute) {
    return OleDateFromLocal({1899, 12, 30, hour, minute, 0});
}

std::string FormatLongTime(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    if (IsClassicLocale()) {
        char text[24];
        std::snprintf(text, sizeof text, "%d:%02d:%02d %s", v.hour % 12 == 0 ? 12 : v.hour % 12,
                      v.minute, v.second, v.hour < 12 ? "AM" : "PM");
        return text;
    }
    std::tm tm{};
    tm.tm_year = 0;
    tm.tm_mday = 1;
    tm.tm_hour = v.hour;
    tm.tm_min = v.minute;
    tm.tm_sec = v.second;
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, nl_langinfo(T_FMT), &tm);
    return std::string(text, length);
}

std::optional<double> ParseLongTime(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    if (!IsClassicLocale()) {
        if (std::optional<double> local = ParseLocaleTime(trimmed)) {
            return local;
        }
    }
    return ParseUsTime(trimmed);
}

std::string FormatDateValue(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    const bool pureTime = v.year == 1899 && v.month == 12 && v.day == 30;
    return pureTime ? FormatLongTime(oleDate) : FormatGeneralDate(oleDate);
}

std::optional<double> ParseDateValue(const std::string& text) {
    if (std::optional<double> time = ParseLongTime(text)) {
        return time;
    }
    return ParseGeneralDate(text);
}

std::string FormatHourMinuteAmPm(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d %s", v.hour % 12 == 0 ? 12 : v.hour % 12, v.minute,
                  v.hour < 12 ? "AM" : "PM");
    return text;
}

}  // namespace duvanto
