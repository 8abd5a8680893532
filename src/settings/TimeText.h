// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Times of day as the priority rules hold and show them. A time of day is an OLE date whose
// whole part is 0 (30 December 1899); the options file writes and reads it as the general
// date of util/OleDate.h.

#include <string>

namespace duvanto {

// The hour, minute and second of the value, without its date part.
double TimeOfDay(double oleDate);
// The time of day of hour:minute:00.
double TimeOfDayFromClock(int hour, int minute);

// hh:mm AM/PM with a two-digit hour on the 12-hour clock, whatever the locale (09:30 AM).
std::string FormatHourMinuteAmPm(double oleDate);

}  // namespace duvanto
