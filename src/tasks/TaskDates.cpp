// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/TaskDates.h"

#include <cmath>
#include <cstdio>

namespace duvanto {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
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

std::string SortKeyText(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    char text[24];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d", v.year, v.month, v.day, v.hour,
                  v.minute);
    return text;
}

}  // namespace duvanto
