// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When a task is due next. All functions take "now" as an argument, so the callers read it
// from their clock once and tests set it.

#include <cstdint>

#include "util/OleDate.h"

namespace duvanto {

enum IntervalTypeValue : int32_t {
    IntervalManual = 0,        // "Manual Clone"
    IntervalMinutes = 1,       // "Every Few Minutes"
    IntervalHours = 2,         // "Every Few Hours"
    IntervalDays = 3,          // "Every Few Days"
    IntervalSelectedDays = 4,  // "Only on Selected Days"
    IntervalOnConnect = 5,     // "When the Drive Is Connected"
};

// A schedule of types 1 to 4: one that falls due at a time of the clock.
inline bool IsTimedInterval(int32_t intervalType) {
    return intervalType >= IntervalMinutes && intervalType <= IntervalSelectedDays;
}

// A type this version knows. A task list written by a later version may hold others; such a
// task is kept as it stands and never run by the scheduler.
inline bool IsKnownIntervalType(int32_t intervalType) {
    return intervalType >= IntervalManual && intervalType <= IntervalOnConnect;
}

// The due time of a task that can never fall due: its schedule names no day, an increment
// below 1, or a time past the calendar's end.
inline constexpr double kNeverDue = kMaxOleDate;

// Weekday counted from Sunday = 1 to Saturday = 7 → day index Monday = 0 to Sunday = 6; -1
// for any other number.
int32_t ConvertToDVDayOfWeek(int32_t weekdayNumber);

// Whether the schedule can fall due at all: types 1 to 3 need an increment of at least 1,
// type 4 at least one of the seven day bits. A task read from a file may have neither.
bool IsSchedulable(int32_t intervalType, int32_t intervalIncrement, int32_t daysOfWeek);

// The next due time after lastDate for interval types 1 to 4 (see the task's schedule
// fields); a result in the past is computed once more from now, so missed runs are never
// caught up one by one. kNeverDue for a schedule that IsSchedulable refuses.
double DetermineNextCloneDateTime(double lastDate, int32_t intervalType, int32_t intervalIncrement,
                                  double startTime, int32_t daysOfWeek, double now);

}  // namespace duvanto
