// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/OleDate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <tuple>

#include "support/ScopedLocale.h"

namespace duvanto::test {
namespace {

LocalDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return LocalDateTime{y, mo, d, h, mi, s};
}

double OleAt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return OleDateFromLocal(At(y, mo, d, h, mi, s));
}

// 4 December 2003, 4:38:16 PM and a fraction of a second.
constexpr double kThursday = 37959.6932407407;

auto Fields(const LocalDateTime& v) {
    return std::make_tuple(v.year, v.month, v.day, v.hour, v.minute, v.second);
}

MATCHER_P(SameAs, expected, "") {
    return Fields(arg) == Fields(expected);
}

TEST(OleDate, KnownDatesNegativeDatesFractionsAndLeapDaysConvertBothWays) {
    EXPECT_EQ(OleDateFromLocal(At(1899, 12, 30)), 0.0);
    EXPECT_EQ(OleDateFromLocal(At(1900, 1, 1)), 2.0);
    EXPECT_EQ(OleDateFromLocal(At(1970, 1, 1)), 25569.0);
    EXPECT_NEAR(OleDateFromLocal(At(2003, 12, 4, 16, 38, 16)), 37959.6932407407, 1e-10);
    EXPECT_THAT(LocalFromOleDate(37959.6932407407), SameAs(At(2003, 12, 4, 16, 38, 16)));
    EXPECT_THAT(LocalFromOleDate(0.0), SameAs(At(1899, 12, 30)));
    EXPECT_THAT(LocalFromOleDate(kMinOleDate), SameAs(At(100, 1, 1)));
    EXPECT_THAT(LocalFromOleDate(kMaxOleDate + 86399.0 / 86400),
                SameAs(At(9999, 12, 31, 23, 59, 59)));

    // Negative dates count days back and time forward.
    EXPECT_EQ(OleDateFromLocal(At(1899, 12, 29, 6)), -1.25);
    EXPECT_THAT(LocalFromOleDate(-1.25), SameAs(At(1899, 12, 29, 6)));
    EXPECT_THAT(LocalFromOleDate(-2.75), SameAs(At(1899, 12, 28, 18)));
    // Between -1 and 0 the day is 30 December itself, as with the positive fraction.
    EXPECT_THAT(LocalFromOleDate(-0.5), SameAs(At(1899, 12, 30, 12)));

    // Fractions round to the nearest second and carry into the next day.
    EXPECT_THAT(LocalFromOleDate(0.5 + 0.4 / 86400), SameAs(At(1899, 12, 30, 12, 0, 0)));
    EXPECT_THAT(LocalFromOleDate(0.5 + 0.6 / 86400), SameAs(At(1899, 12, 30, 12, 0, 1)));
    EXPECT_THAT(LocalFromOleDate(37959.9999999), SameAs(At(2003, 12, 5)));
    EXPECT_THAT(LocalFromOleDate(-1.9999999), SameAs(At(1899, 12, 30)));

    // Leap days, and the ones that are none.
    EXPECT_THAT(LocalFromOleDate(OleDateFromLocal(At(2000, 2, 29, 1))), SameAs(At(2000, 2, 29, 1)));
    EXPECT_EQ(OleDateFromLocal(At(2004, 3, 1)) - OleDateFromLocal(At(2004, 2, 28)), 2.0);
    EXPECT_EQ(OleDateFromLocal(At(1900, 3, 1)) - OleDateFromLocal(At(1900, 2, 28)), 1.0);
    EXPECT_THROW(OleDateFromLocal(At(1900, 2, 29)), std::out_of_range);
    EXPECT_THROW(OleDateFromLocal(At(2100, 2, 29)), std::out_of_range);
}

TEST(OleDate, EverySecondOfADayRoundTrips) {
    for (const auto& date :
         {At(1899, 12, 28), At(1899, 12, 30), At(2003, 12, 4), At(9999, 12, 31)}) {
        for (int second = 0; second < 86400; ++second) {
            LocalDateTime v = date;
            v.hour = second / 3600;
            v.minute = second / 60 % 60;
            v.second = second % 60;
            ASSERT_EQ(Fields(LocalFromOleDate(OleDateFromLocal(v))), Fields(v));
        }
    }
}

TEST(OleDate, RejectsValuesOutsideTheRange) {
    EXPECT_THROW(LocalFromOleDate(std::nan("")), std::out_of_range);
    EXPECT_THROW(LocalFromOleDate(std::numeric_limits<double>::infinity()), std::out_of_range);
    EXPECT_THROW(LocalFromOleDate(1e300), std::out_of_range);
    EXPECT_THROW(LocalFromOleDate(kMaxOleDate + 1.0), std::out_of_range);
    EXPECT_THROW(LocalFromOleDate(kMinOleDate - 1.0), std::out_of_range);
    EXPECT_THROW(LocalFromOleDate(kMaxOleDate + 0.9999999), std::out_of_range);  // rounds to 10000
    EXPECT_THROW(OleDateFromLocal(At(2003, 13, 1)), std::out_of_range);
    EXPECT_THROW(OleDateFromLocal(At(2003, 4, 31)), std::out_of_range);
    EXPECT_THROW(OleDateFromLocal(At(2003, 4, 1, 24)), std::out_of_range);
    EXPECT_THROW(OleDateFromLocal(At(99, 12, 31)), std::out_of_range);
}

TEST(OleDate, TimeTGoesThroughTheLocalZone) {
    {
        ScopedTimeZone utc("UTC0");
        EXPECT_EQ(OleDateFromTimeT(0), 25569.0);
        EXPECT_EQ(OleDateFromTimeT(43200), 25569.5);
    }
    ScopedTimeZone newYork("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_THAT(LocalFromOleDate(OleDateFromTimeT(0)), SameAs(At(1969, 12, 31, 19)));
    const std::time_t summer = 1057347496;  // 2003-07-04 19:38:16 UTC, EDT in New York
    EXPECT_THAT(LocalFromOleDate(OleDateFromTimeT(summer)), SameAs(At(2003, 7, 4, 15, 38, 16)));
}

// C.UTF-8 is a classic locale too: a task list written by cron under it reads anywhere.
TEST(GeneralDate, ClassicLocalesUseTheUsForm) {
    for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
        ScopedTimeLocale locale(name);
        if (!locale.ok()) {
            std::cout << "[  SKIPPED ] locale " << name << " is not installed\n";
            continue;
        }
        EXPECT_EQ(FormatGeneralDate(OleDateFromLocal(At(2003, 12, 4))), "12/4/2003 12:00:00 AM");
        EXPECT_EQ(FormatGeneralDate(OleDateFromLocal(At(2003, 12, 4, 12, 0, 5))),
                  "12/4/2003 12:00:05 PM");
        EXPECT_EQ(FormatGeneralDate(OleDateFromLocal(At(2003, 1, 9, 9, 5, 7))),
                  "1/9/2003 9:05:07 AM");
        EXPECT_EQ(FormatGeneralDate(kMinOleDate), "1/1/0100 12:00:00 AM");
        EXPECT_EQ(FormatGeneralDate(-1.25), "12/29/1899 6:00:00 AM");
        // A time of day or a midnight leaves out the other half.
        EXPECT_EQ(GeneralDateText(0.0), "12:00:00 AM");
        EXPECT_EQ(GeneralDateText(0.5), "12:00:00 PM");
        EXPECT_EQ(GeneralDateText(OleAt(1899, 12, 30, 23, 59)), "11:59:00 PM");
        EXPECT_EQ(GeneralDateText(OleAt(1899, 12, 30, 9, 5, 7)), "9:05:07 AM");
        EXPECT_EQ(GeneralDateText(OleAt(2003, 12, 4)), "12/4/2003");
        EXPECT_EQ(GeneralDateText(kThursday), "12/4/2003 4:38:16 PM");
        EXPECT_EQ(ParseLongTime("11:59:00 PM"), OleAt(1899, 12, 30, 23, 59));
        EXPECT_EQ(ParseLongTime(" 23:59 "), OleAt(1899, 12, 30, 23, 59));
        EXPECT_EQ(ParseLongTime("9:05:07am"), OleAt(1899, 12, 30, 9, 5, 7));
        for (const char* text : {"", "12/4/2003", "12/4/2003 4:38:16 PM", "24:00", "0:00 AM",
                                 "4:38:16 PM x", "4:3 PM"}) {
            EXPECT_EQ(ParseLongTime(text), std::nullopt) << '"' << text << '"';
        }
    }
}

// Other locales write their own forms with a four-digit year; the US form and ISO 8601 are
// read in any locale.
TEST(GeneralDate, OtherLocalesUseTheirOwnForms) {
    // The bootstrap script generates this locale.
    ScopedTimeLocale locale("de_DE.UTF-8");
    if (!locale.ok()) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (run scripts/bootstrap.sh)";
    }
    EXPECT_EQ(GeneralDateText(OleAt(1899, 12, 30, 23, 59)), "23:59:00");
    EXPECT_EQ(GeneralDateText(0.5), "12:00:00");
    EXPECT_EQ(GeneralDateText(OleAt(2003, 12, 4)), "04.12.2003");
    EXPECT_EQ(GeneralDateText(kThursday), "04.12.2003 16:38:16");
    // Reading them back in any locale is DateReadingTest's.
    EXPECT_EQ(ParseGeneralDate("2003-12-04T16:38:16"), OleAt(2003, 12, 4, 16, 38, 16));
    EXPECT_EQ(ParseGeneralDate("04.12.2003 16:38:16 junk"), std::nullopt);
}

TEST(GeneralDate, ParsesTheUsAndIsoFormsAndNothingElse) {
    ScopedTimeLocale locale("C");
    const double expected = OleDateFromLocal(At(2003, 12, 4, 16, 38, 16));
    EXPECT_EQ(ParseGeneralDate("  12/04/2003 04:38:16 pm "), expected);
    EXPECT_EQ(ParseGeneralDate("12/4/2003 16:38:16"), expected);
    EXPECT_EQ(ParseGeneralDate("2003-12-04 16:38:16"), expected);
    EXPECT_EQ(ParseGeneralDate("2003-12-04"), OleDateFromLocal(At(2003, 12, 4)));
    EXPECT_EQ(ParseGeneralDate("12/4/2003"), OleDateFromLocal(At(2003, 12, 4)));
    EXPECT_EQ(ParseGeneralDate("12/4/2003 12:00:00 AM"), OleDateFromLocal(At(2003, 12, 4)));
    EXPECT_EQ(ParseGeneralDate("12/4/2003 12:30 PM"), OleDateFromLocal(At(2003, 12, 4, 12, 30)));

    // Garbage, trailing junk and forms that are nearly right.
    for (const char* text : {"", "   ", "garbage", "12/4/2003 4:38:16 PM x", "12/4/2003x",
                             "2003-12-04 16:38:16Z", "2003-12-4", "12/4/03", "12/4/20031",
                             "12/4/2003 4:38:16 XM", "12/4/2003 4:3:16 PM", "2003-12-04T"}) {
        EXPECT_EQ(ParseGeneralDate(text), std::nullopt) << '"' << text << '"';
    }
    // A field outside its range.
    for (const char* text : {"13/13/2003", "0/1/2003", "2/29/2003", "4/31/2003", "2003-02-29",
                             "2003-12-04 24:00:00", "2003-12-04 12:60:00", "12/4/2003 12:00:60 PM",
                             "12/4/2003 13:00:00 PM", "12/4/2003 0:00:00 AM", "1/1/0099"}) {
        EXPECT_EQ(ParseGeneralDate(text), std::nullopt) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace duvanto::test
