// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/Schedule.h"

#include <stdexcept>

#include "tasks/TaskDates.h"
#include "util/OleDate.h"

namespace duvanto {

namespace {

bool DaySelected(int32_t daysOfWeek, int32_t dayIndex) {
    return dayIndex >= 0 && (daysOfWeek & (1 << dayIndex)) != 0;
}

int64_t DayStart(int64_t seconds) {
    const int64_t day = seconds / kSecondsPerDay - (seconds % kSecondsPerDay < 0 ? 1 : 0);
    return day * kSecondsPerDay;
}

int64_t SecondOfDay(int64_t seconds) {
    return seconds - DayStart(seconds);
}

int32_t DayIndexOf(int64_t seconds) {
    return ConvertToDVDayOfWeek(WeekdayOf(OleFromSeconds(seconds)));
}

// Every few minutes or hours means that much real time, so where the clocks go forward the due
// time on the clock moves on with them. Where they go back, the repeated hour can bring real
// time back to the same clock time; the clock's sum holds there, so a run comes late rather
// than twice.
int64_t AddElapsed(int64_t last, int64_t seconds) {
    const int64_t byClock = last + seconds;
    try {
        const std::optional<std::time_t> instant = TimeTFromOleDate(OleFromSeconds(last));
        if (!instant) {
            return byClock;
        }
        const int64_t byElapsed = OleSeconds(OleDateFromTimeT(*instant + seconds));
        return byElapsed > last ? byElapsed : byClock;
    } catch (const std::out_of_range&) {
        // Beyond the dates the calendar holds: the caller's range check decides.
        return byClock;
    }
}

// One pass of the computation, in seconds; it never loops more than a week of days.
int64_t NextFrom(int64_t last, int32_t intervalType, int64_t increment, int64_t startOfDay,
                 int32_t daysOfWeek, int64_t now) {
    int64_t next = last;
    switch (intervalType) {
        case IntervalMinutes:
            next = AddElapsed(last, increment * 60);
            break;
        case IntervalHours:
            next = AddElapsed(last, increment * 3600);
            break;
        case IntervalDays:
            next = last + increment * kSecondsPerDay;
            break;
        case IntervalSelectedDays: {
            // Today counts only while its start (to the minute) is still ahead.
            const bool startAhead = SecondOfDay(now) / 60 < startOfDay / 60;
            if (DaySelected(daysOfWeek, DayIndexOf(now)) && startAhead) {
                next = now;
                break;
            }
            for (int day = 0; day < 7; ++day) {
                next += kSecondsPerDay;
                if (DaySelected(daysOfWeek, DayIndexOf(next))) {
                    break;
                }
            }
            break;
        }
        default:
            break;
    }
    if (intervalType == IntervalDays || intervalType == IntervalSelectedDays) {
        // The start time's seconds play no part.
        next = DayStart(next) + startOfDay / 60 * 60;
    }
    return next;
}

}  // namespace

int32_t ConvertToDVDayOfWeek(int32_t weekdayNumber) {
    if (weekdayNumber < 1 || weekdayNumber > 7) {
        return -1;
    }
    return (weekdayNumber + 5) % 7;
}

bool IsSchedulable(int32_t intervalType, int32_t intervalIncrement, int32_t daysOfWeek) {
    switch (intervalType) {
        case IntervalMinutes:
        case IntervalHours:
        case IntervalDays:
            return intervalIncrement >= 1;
        case IntervalSelectedDays:
            return (daysOfWeek & 127) != 0;
        default:
            return false;
    }
}

double DetermineNextCloneDateTime(double lastDate, int32_t intervalType, int32_t intervalIncrement,
                                  double startTime, int32_t daysOfWeek, double now) {
    if (!IsSchedulable(intervalType, intervalIncrement, daysOfWeek)) {
        return kNeverDue;
    }
    const int64_t nowSeconds = OleSeconds(now);
    const int64_t startOfDay = SecondOfDay(OleSeconds(startTime));
    int64_t next = NextFrom(OleSeconds(lastDate), intervalType, intervalIncrement, startOfDay,
                            daysOfWeek, nowSeconds);
    if (next < nowSeconds) {
        next = NextFrom(nowSeconds, intervalType, intervalIncrement, startOfDay, daysOfWeek,
                        nowSeconds);
    }
    if (next > OleSeconds(kMaxOleDate)) {
        return kNeverDue;
    }
    return OleFromSeconds(next);
}

}  // namespace duvanto
