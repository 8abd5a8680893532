// SPDX-License-Identifier: GPL-3.0-or-later
// Next due times where the calendar turns: month ends in leap and common years, and the
// nights the clocks change.

#include <gtest/gtest.h>

#include <string>

#include "TasksFixture.h"
#include "support/ScopedLocale.h"
#include "tasks/Schedule.h"
#include "tasks/Scheduler.h"

namespace duvanto::test {
namespace {

const double kNineThirty = At(1899, 12, 30, 9, 30);
const int32_t kEveryDay = 127;

struct CalendarCase {
    int32_t type;
    int32_t increment;
    int32_t days;
    double last;
    double expected;
};

// Each case's next run, computed when it last ran, for a task that starts at the given time.
template <std::size_t N>
void ExpectNextRuns(const CalendarCase (&cases)[N], double start) {
    for (const CalendarCase& c : cases) {
        EXPECT_EQ(DetermineNextCloneDateTime(c.last, c.type, c.increment, start, c.days, c.last),
                  c.expected)
            << "case " << &c - cases;
    }
}

TEST(NextCloneDateTimeCalendar, MonthEndsInLeapAndCommonYears) {
    const int32_t sundayOnly = 64, thursdayOnly = 8;
    const CalendarCase cases[] = {
        {IntervalDays, 1, kEveryDay, At(2026, 1, 31, 18), At(2026, 2, 1, 9, 30)},
        {IntervalDays, 1, kEveryDay, At(2026, 2, 28, 18), At(2026, 3, 1, 9, 30)},
        {IntervalDays, 1, kEveryDay, At(2024, 2, 28, 18), At(2024, 2, 29, 9, 30)},
        {IntervalDays, 1, kEveryDay, At(2024, 2, 29, 18), At(2024, 3, 1, 9, 30)},
        {IntervalDays, 2, kEveryDay, At(2026, 2, 28, 18), At(2026, 3, 2, 9, 30)},
        {IntervalDays, 2, kEveryDay, At(2024, 2, 28, 18), At(2024, 3, 1, 9, 30)},
        // 2100 is a century year, and a common one.
        {IntervalDays, 1, kEveryDay, At(2100, 2, 28, 18), At(2100, 3, 1, 9, 30)},
        {IntervalDays, 1, kEveryDay, At(2025, 12, 31, 18), At(2026, 1, 1, 9, 30)},
        {IntervalHours, 6, kEveryDay, At(2026, 1, 31, 22), At(2026, 2, 1, 4)},
        {IntervalMinutes, 90, kEveryDay, At(2026, 2, 28, 23), At(2026, 3, 1, 0, 30)},
        {IntervalMinutes, 90, kEveryDay, At(2024, 2, 28, 23), At(2024, 2, 29, 0, 30)},
        // Saturday 28 Feb 2026: the next Sunday is 1 March.
        {IntervalSelectedDays, 0, sundayOnly, At(2026, 2, 28, 18), At(2026, 3, 1, 9, 30)},
        // Wednesday 28 Feb 2024: the next Thursday is the leap day.
        {IntervalSelectedDays, 0, thursdayOnly, At(2024, 2, 28, 18), At(2024, 2, 29, 9, 30)},
        // Saturday 31 Jan 2026.
        {IntervalSelectedDays, 0, sundayOnly, At(2026, 1, 31, 18), At(2026, 2, 1, 9, 30)},
    };
    ExpectNextRuns(cases, kNineThirty);
}

class BerlinTime : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Europe/Berlin"};
};

// A daily task keeps its time of day on the clock on the wall, whatever the clocks do that
// night: it runs once on each day, never twice and never not at all.
TEST_F(BerlinTime, DailyRunsKeepTheirWallClockTimeOverTheClockChanges) {
    const double twoThirty = At(1899, 12, 30, 2, 30);
    const CalendarCase cases[] = {
        // 29 March 2026: 02:00 becomes 03:00, so 02:30 never shows on the clock; the run is
        // still due that morning and not pushed to the next day.
        {IntervalDays, 1, kEveryDay, At(2026, 3, 28, 2, 30), At(2026, 3, 29, 2, 30)},
        // And the day after it.
        {IntervalDays, 1, kEveryDay, At(2026, 3, 29, 3, 0), At(2026, 3, 30, 2, 30)},
        // 25 October 2026: 03:00 goes back to 02:00, so 02:30 shows twice; the second must not
        // run the task again.
        {IntervalDays, 1, kEveryDay, At(2026, 10, 24, 2, 30), At(2026, 10, 25, 2, 30)},
        // And the day after it.
        {IntervalDays, 1, kEveryDay, At(2026, 10, 25, 2, 30), At(2026, 10, 26, 2, 30)},
        {IntervalSelectedDays, 0, kEveryDay, At(2026, 10, 25, 2, 30), At(2026, 10, 26, 2, 30)},
    };
    ExpectNextRuns(cases, twoThirty);
}

class BerlinSchedulerTest : public TasksFixture {
protected:
    ScopedTimeZone zone{"Europe/Berlin"};
};

TEST_F(BerlinSchedulerTest, TheSpringForwardRunFallsDueWhenTheClockSkipsPastIt) {
    app.CloneTasks.Add(Scheduled(Named("Nightly"), IntervalDays, At(2026, 3, 29, 2, 30)), -1, true);
    app.CloneTasks.SetNextScheduledTask();
    SchedulerState state;
    SchedulerConditions conditions;
    EXPECT_EQ(SchedulerTick(state, conditions, app.CloneTasks, 0, At(2026, 3, 29, 1, 59)).Action,
              SchedulerAction::Nothing);
    // The clock reads 03:00 a minute after 01:59.
    EXPECT_EQ(SchedulerTick(state, conditions, app.CloneTasks, 0, At(2026, 3, 29, 3, 0)).Action,
              SchedulerAction::RunTask);
}

// Every few minutes or hours means that much real time between runs; where the clocks go back,
// a run may come late but must never fall due at or before the last one on the clock (it
// would run again at once). Times in the repeated hour may be read as either offset.
TEST_F(BerlinTime, ShortIntervalsCountRealTimeAcrossClockChanges) {
    const CalendarCase cases[] = {
        {IntervalHours, 1, kEveryDay, At(2026, 3, 29, 1, 30), At(2026, 3, 29, 3, 30)},
        {IntervalMinutes, 30, kEveryDay, At(2026, 3, 29, 1, 45), At(2026, 3, 29, 3, 15)},
        // One hour into the repeated hour.
        {IntervalHours, 1, kEveryDay, At(2026, 10, 25, 1, 30), At(2026, 10, 25, 2, 30)},
        // One hour from inside the repeated hour.
        {IntervalHours, 1, kEveryDay, At(2026, 10, 25, 2, 30), At(2026, 10, 25, 3, 30)},
        // 30 minutes from late in the repeated hour.
        {IntervalMinutes, 30, kEveryDay, At(2026, 10, 25, 2, 45), At(2026, 10, 25, 3, 15)},
        {IntervalHours, 1, kEveryDay, At(2026, 6, 1, 23, 30), At(2026, 6, 2, 0, 30)},
    };
    ExpectNextRuns(cases, kNineThirty);
}

}  // namespace
}  // namespace duvanto::test
