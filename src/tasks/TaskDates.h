// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Date arithmetic of tasks and the scheduler. Times are OLE dates (local time); the arithmetic
// works on whole seconds so that no schedule drifts by a rounding error. The task list's date
// texts are the general date of util/OleDate.h.

#include <cstdint>
#include <string>

#include "util/OleDate.h"

namespace duvanto {

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

// "yyyymmddHhNn": the sort key of the list's date columns (200312041638).
std::string SortKeyText(double oleDate);

}  // namespace duvanto
