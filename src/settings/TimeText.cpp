// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/TimeText.h"

#include <cstdio>

#include "util/OleDate.h"

namespace duvanto {

double TimeOfDay(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    return OleDateFromLocal({1899, 12, 30, v.hour, v.minute, v.second});
}

double TimeOfDayFromClock(int hour, int minute) {
    return OleDateFromLocal({1899, 12, 30, hour, minute, 0});
}

std::string FormatHourMinuteAmPm(double oleDate) {
    const LocalDateTime v = LocalFromOleDate(oleDate);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d %s", v.hour % 12 == 0 ? 12 : v.hour % 12, v.minute,
                  v.hour < 12 ? "AM" : "PM");
    return text;
}

}  // namespace duvanto
