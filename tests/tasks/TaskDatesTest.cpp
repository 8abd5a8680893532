#include "tasks/TaskDates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

#include "TasksFixture.h"
#include "support/ScopedLocale.h"
#include "tasks/Schedule.h"

namespace duvanto::test {
namespace {

TEST(TaskDates, GeneralDateLeavesOutAMissingDateOrMidnight) {
    ScopedTimeLocale locale("C");
    EXPECT_EQ(GeneralDateText(0.0), "12:00:00 AM");
    EXPECT_EQ(GeneralDateText(0.5), "12:00:00 PM");
    EXPECT_EQ(GeneralDateText(At(1899, 12, 30, 9, 5, 7)), "9:05:07 AM");
    EXPECT_EQ(GeneralDateText(At(2003, 12, 4)), "12/4/2003");
    EXPECT_EQ(GeneralDateText(kThursday), "12/4/2003 4:38:16 PM");
    EXPECT_EQ(GeneralDateText(kNeverDue), "12/31/9999");
    // A day before the epoch is a date too.
    EXPECT_EQ(GeneralDateText(At(1899, 12, 29, 6)), "12/29/1899 6:00:00 AM");
}

TEST(TaskDates, EveryWrittenFormReadsBack) {
    for (const char* name : {"C", "de_DE.UTF-8"}) {
        ScopedTimeLocale locale(name);
        if (!locale.ok()) {
            std::cout << "[  SKIPPED ] locale " << name << " is not installed\n";
            continue;
        }
        for (double value : {0.0, 0.5, At(1899, 12, 30, 23, 59, 59), At(2003, 12, 4), kThursday,
                             At(2024, 2, 29, 0, 0, 1), kNeverDue}) {
            const std::string text = GeneralDateText(value);
            std::optional<double> back = ParseGeneralDateText(text);
            ASSERT_TRUE(back.has_value()) << name << ": " << text;
            EXPECT_EQ(OleSeconds(*back), OleSeconds(value)) << name << ": " << text;
        }
    }
}

TEST(TaskDates, GermanTextsAreTheLocaleOwn) {
    ScopedTimeLocale locale("de_DE.UTF-8");
    if (!locale.ok()) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    EXPECT_EQ(GeneralDateText(0.5), "12:00:00");
    EXPECT_EQ(GeneralDateText(At(2003, 12, 4)), "04.12.2003");
    EXPECT_EQ(GeneralDateText(kThursday), "04.12.2003 16:38:16");
    // The US form and ISO 8601 are read in any locale.
    EXPECT_EQ(ParseGeneralDateText("12/4/2003 4:38:16 PM"), WholeSecond(kThursday));
    EXPECT_EQ(ParseGeneralDateText("4:38:16 PM"), At(1899, 12, 30, 16, 38, 16));
}

TEST(TaskDates, TextsThatAreNoDate) {
    ScopedTimeLocale locale("C");
    for (const char* text : {"", "   ", "noon", "25:00", "13:00 PM", "0:30 AM", "12:60",
                             "2/30/2003", "12/4/2003 4:38:16 XM", "1:2", "12:00:00:00"}) {
        EXPECT_FALSE(ParseGeneralDateText(text).has_value()) << text;
    }
    EXPECT_EQ(ParseGeneralDateText(" 16:38 "), At(1899, 12, 30, 16, 38));
    EXPECT_EQ(ParseGeneralDateText("12:00 am"), 0.0);
    EXPECT_EQ(ParseGeneralDateText("2003-12-04T16:38:16"), WholeSecond(kThursday));
}

TEST(TaskDates, SortKeyBoundariesAndWeekdays) {
    EXPECT_EQ(SortKeyText(kThursday), "200312041638");
    EXPECT_EQ(SortKeyText(At(2003, 1, 2, 0, 5, 59)), "200301020005");
    EXPECT_EQ(SortKeyText(0.0), "189912300000");

    EXPECT_EQ(MinuteBoundaries(At(2003, 12, 4, 10, 7, 59), At(2003, 12, 4, 10, 8, 0)), 1);
    EXPECT_EQ(MinuteBoundaries(At(2003, 12, 4, 10, 8, 0), At(2003, 12, 4, 10, 8, 59)), 0);
    EXPECT_EQ(MinuteBoundaries(At(2003, 12, 4, 10, 8, 0), At(2003, 12, 4, 10, 7, 59)), -1);
    EXPECT_EQ(SecondBoundaries(kThursday, kThursday + 0.4 / 86400), 0);
    EXPECT_EQ(SecondBoundaries(At(1899, 12, 29, 23, 59, 59), 0.0), 1);

    EXPECT_EQ(WeekdayOf(kThursday), 5);
    EXPECT_EQ(WeekdayOf(0.0), 7);                   // Saturday
    EXPECT_EQ(WeekdayOf(At(1899, 12, 29, 12)), 6);  // Friday, before the epoch
    EXPECT_EQ(WeekdayOf(At(2024, 3, 3)), 1);        // Sunday

    // Values beyond the calendar are held at its ends rather than overflowing.
    EXPECT_EQ(OleSeconds(1e300), OleSeconds(kMaxOleDate + 1.0));
    EXPECT_EQ(OleSeconds(std::nan("")), OleSeconds(kMinOleDate));
}

}  // namespace
}  // namespace duvanto::test
