// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/TaskDates.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TasksFixture.h"

namespace duvanto::test {
namespace {

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
