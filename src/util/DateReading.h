// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the date and time texts that the locales of a machine write, whichever locale is in
// force: a list saved under one locale is read by cron in another. Pure text work; the locale's
// own form is tried first by util/OleDate, and what it knows of the locale comes in as rules.

#include <optional>
#include <string>
#include <string_view>

#include "util/OleDate.h"

namespace duvanto {

// What the current locale tells about numeric dates.
struct DateReadingRules {
    // The separator between day and month in the locale's short date, and whether the day
    // comes first; 0 when its short date has no such pair (year first, month names). The C
    // locale writes M/D/YYYY.
    char separator = '/';
    bool dayFirst = false;
    // The locale's own AM and PM words, when it has any; "AM"/"PM" and the usual CJK words are
    // always known.
    std::string am;
    std::string pm;
};

// A date with an optional time: year first (2003-12-04, 2003/12/4, 2003.12.04, 2003年12月4日,
// 2003년 12월 4일), or day and month before a four-digit year separated by "/", "." or "-".
// Which of the two leading numbers is the day: the locale's order when its short date uses
// the same separator, else month first for "/" (the US form) and day first for "." and "-";
// when that order gives no valid date and the other does, the other. The time follows after
// blanks (or a "T" after an ISO date). Nothing when the text is not such a date or names a
// day that does not exist.
std::optional<LocalDateTime> ReadDateText(std::string_view text, const DateReadingRules& rules);

// A time of day alone: h:mm[:ss] or h.mm[.ss], 24-hour or with an AM/PM word before or after,
// or with CJK unit marks (16時38分16秒). The date fields are those of day 0 (30 December 1899).
std::optional<LocalDateTime> ReadTimeText(std::string_view text, const DateReadingRules& rules);

}  // namespace duvanto
