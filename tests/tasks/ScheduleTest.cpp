// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/Schedule.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TasksFixture.h"
#include "tasks/Scheduler.h"
#include "tasks/TaskDates.h"

namespace duvanto::test {
namespace {

const double kStart = At(1899, 12, 30, 9, 30);
// Monday 1 December 2003.
double Monday(int hour, int minute = 0, int second = 0) {
    return At(2003, 12, 1, hour, minute, second);
}

TEST(DayOfWeek, SundayIsTheLastDay) {
    const int32_t expected[] = {6, 0, 1, 2, 3, 4, 5};
    for (int32_t weekday = 1; weekday <= 7; ++weekday) {
        EXPECT_EQ(ConvertToDVDayOfWeek(weekday), expected[weekday - 1]);
    }
    EXPECT_EQ(ConvertToDVDayOfWeek(0), -1);
    EXPECT_EQ(ConvertToDVDayOfWeek(8), -1);
}

TEST(NextCloneDateTime, FromTheLastRunOrFromNowWhenThatIsPast) {
    const int32_t mondayAndWednesday = 1 + 4;
    const struct {
        double last;
        int32_t type, increment, days;
        double start, now, expected;
    } cases[] = {
        {Monday(10, 7, 30), IntervalMinutes, 15, 127, kStart, Monday(10, 7, 30),
         Monday(10, 22, 30)},
        {Monday(10, 7, 30), IntervalMinutes, 5, 127, kStart, Monday(10, 7, 30), Monday(10, 12, 30)},
        {Monday(18), IntervalDays, 2, 127, kStart, Monday(18), At(2003, 12, 3, 9, 30)},
        // Monday before its start.
        {Monday(8), IntervalSelectedDays, 1, mondayAndWednesday, kStart, Monday(8), Monday(9, 30)},
        // Monday after its start.
        {Monday(10), IntervalSelectedDays, 1, mondayAndWednesday, kStart, Monday(10),
         At(2003, 12, 3, 9, 30)},
        // Monday only: the next Monday.
        {Monday(11), IntervalSelectedDays, 0, 1, kStart, Monday(11), At(2003, 12, 8, 9, 30)},
        // Within the start minute it is no longer ahead.
        {Monday(9, 30, 10), IntervalSelectedDays, 0, 1, kStart, Monday(9, 30, 10),
         At(2003, 12, 8, 9, 30)},
        // A second before the start minute.
        {Monday(9, 29, 59), IntervalSelectedDays, 0, 1, kStart, Monday(9, 29, 59), Monday(9, 30)},
        // The start's seconds and date play no part.
        {Monday(18), IntervalDays, 1, 127, At(2001, 5, 5, 9, 30, 45), Monday(18),
         At(2003, 12, 2, 9, 30)},
        // Sunday is bit 6.
        {Monday(8), IntervalSelectedDays, 0, 64, kStart, Monday(8), At(2003, 12, 7, 9, 30)},
        // Hours from a week ago: from now.
        {Monday(10) - 7, IntervalHours, 1, 127, kStart, Monday(10), Monday(11)},
        // Days from a week ago: from now.
        {Monday(10) - 7, IntervalDays, 3, 127, kStart, Monday(10), At(2003, 12, 4, 9, 30)},
        // Exactly now is not in the past.
        {Monday(9), IntervalHours, 1, 127, kStart, Monday(10), Monday(10)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetermineNextCloneDateTime(c.last, c.type, c.increment, c.start, c.days, c.now),
                  c.expected)
            << "case " << &c - cases;
    }
}

TEST(NextCloneDateTime, SchedulesThatCanNeverFallDue) {
    for (int32_t increment : {0, -1, -100000}) {
        EXPECT_FALSE(IsSchedulable(IntervalMinutes, increment, 127));
        EXPECT_EQ(DetermineNextCloneDateTime(Monday(10), IntervalMinutes, increment, kStart, 127,
                                             Monday(10)),
                  kNeverDue);
    }
    for (int32_t days : {0, 128, -128}) {
        EXPECT_FALSE(IsSchedulable(IntervalSelectedDays, 1, days));
        EXPECT_EQ(DetermineNextCloneDateTime(Monday(10), IntervalSelectedDays, 1, kStart, days,
                                             Monday(10)),
                  kNeverDue);
    }
    EXPECT_FALSE(IsSchedulable(IntervalManual, 1, 127));
    EXPECT_FALSE(IsSchedulable(7, 1, 127));
    EXPECT_TRUE(IsSchedulable(IntervalSelectedDays, 0, 255));
    // Beyond the calendar's end.
    EXPECT_EQ(
        DetermineNextCloneDateTime(Monday(10), IntervalDays, 2000000000, kStart, 127, Monday(10)),
        kNeverDue);
}

class NextScheduledTaskTest : public TasksFixture {
protected:
    cCloneTask& AddScheduled(const std::string& name, double next, int32_t type = IntervalHours) {
        app.CloneTasks.Add(Scheduled(Named(name), type, next), -1, true);
        return *app.CloneTasks.Item(name);
    }
};

TEST_F(NextScheduledTaskTest, TiesKeepTheEarlierTaskInTheList) {
    AddScheduled("Manual", Monday(1), IntervalManual);
    AddScheduled("First", Monday(10));
    AddScheduled("Second", Monday(10) + 0.4 / 86400);  // the same second
    AddScheduled("Never", Monday(2)).IntervalIncrement = 0;
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_EQ(app.CloneTasks.NextScheduledTask()->TaskName, "First");

    AddScheduled("Earlier", Monday(10) - 1.0 / 86400);
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_EQ(app.CloneTasks.NextScheduledTask()->TaskName, "Earlier");
    EXPECT_FALSE(app.CloneTasks.Item("First")->IsNextScheduledTask);
}

TEST_F(NextScheduledTaskTest, RowImagesFollowTheNextTaskAndTheErrorFlag) {
    AddScheduled("A", Monday(10));
    AddScheduled("B", Monday(11)).ErrorOnLastClone = true;
    const auto images = [this] {
        return std::vector<TaskImage>{TaskRowImage(*app.CloneTasks.Item("A")),
                                      TaskRowImage(*app.CloneTasks.Item("B"))};
    };
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_EQ(images(), (std::vector<TaskImage>{ImageSheepFolderNext, ImageSheepFolderError}));

    app.CloneTasks.Item("B")->NextCloneDateTime = Monday(9);
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_EQ(images(), (std::vector<TaskImage>{ImageSheepFolder, ImageSheepFolderErrorNext}));

    app.CloneTasks.Item("A")->ErrorOnLastClone = true;
    app.CloneTasks.Item("A")->NextCloneDateTime = Monday(8);
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_EQ(images(), (std::vector<TaskImage>{ImageSheepFolderErrorNext, ImageSheepFolderError}));
}

class SchedulerTickTest : public NextScheduledTaskTest {
protected:
    SchedulerDecision Tick(uint32_t ticks, double now) {
        return SchedulerTick(state, conditions, app.CloneTasks, ticks, now);
    }
    SchedulerState state;
    SchedulerConditions conditions;
};

TEST_F(SchedulerTickTest, DueFromTheMinuteOfItsTime) {
    AddScheduled("Manual", Monday(1), IntervalManual);
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_EQ(Tick(0, Monday(10)).Action, SchedulerAction::Nothing) << "no scheduled task";

    AddScheduled("Five", Monday(10, 12, 30), IntervalMinutes);
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_EQ(Tick(0, Monday(10, 11, 59)).Action, SchedulerAction::Nothing);
    SchedulerDecision decision = Tick(0, Monday(10, 12, 0));
    EXPECT_EQ(decision.Action, SchedulerAction::RunTask);
    EXPECT_EQ(decision.Task, app.CloneTasks.Item("Five"));
    EXPECT_EQ(Tick(0, Monday(23)).Action, SchedulerAction::RunTask) << "overdue runs once";
}

TEST_F(SchedulerTickTest, FlagsKeepTheTickOut) {
    AddScheduled("Due", Monday(10));
    app.CloneTasks.SetNextScheduledTask();
    for (bool SchedulerConditions::*flag :
         {&SchedulerConditions::CloneInProgress, &SchedulerConditions::RestoreInProgress,
          &SchedulerConditions::SchedulerPaused, &SchedulerConditions::MainWindowClosing}) {
        conditions = {};
        conditions.*flag = true;
        conditions.MainWindowVisible = true;
        EXPECT_EQ(Tick(0, Monday(11)).Action, SchedulerAction::Nothing);
    }
    EXPECT_TRUE(state.ScheduledSyncsMsg);
}

TEST_F(SchedulerTickTest, TheStartUpDelayCountsAcrossTheTickWrap) {
    AddScheduled("Due", Monday(10));
    app.CloneTasks.SetNextScheduledTask();
    const uint32_t start = 0xFFFFFFFFu - 60000;  // wraps a minute after start
    state.Start(5, start);
    EXPECT_FALSE(state.FirstTaskDelayElapsed);
    EXPECT_EQ(Tick(start + 4 * 60000, Monday(11)).Action, SchedulerAction::Nothing);
    EXPECT_EQ(Tick(start + 5 * 60000 - 1, Monday(11)).Action, SchedulerAction::Nothing);
    EXPECT_EQ(Tick(start + 5 * 60000, Monday(11)).Action, SchedulerAction::RunTask);
    EXPECT_TRUE(state.FirstTaskDelayElapsed);
    // Once over, the delay never returns.
    EXPECT_EQ(Tick(start, Monday(11)).Action, SchedulerAction::RunTask);

    SchedulerState none;
    none.Start(0, 123);
    EXPECT_TRUE(none.FirstTaskDelayElapsed);
}

TEST_F(SchedulerTickTest, ADueTaskWaitingForItsDriveIsPassedOverAndTheNextDueOneRuns) {
    AddScheduled("Stick", Monday(9));
    AddScheduled("Disk", Monday(10));
    AddScheduled("Later", Monday(12));
    app.CloneTasks.SetNextScheduledTask();
    std::vector<std::string> asked;
    std::vector<std::string> away = {"Stick"};
    conditions.WaitsForDrive = [&](const cCloneTask& task) {
        asked.push_back(task.TaskName);
        return std::find(away.begin(), away.end(), task.TaskName) != away.end();
    };
    // Before anything is due nobody is asked: the question reads the mount tables.
    EXPECT_EQ(Tick(0, Monday(8)).Action, SchedulerAction::Nothing);
    EXPECT_TRUE(asked.empty());

    SchedulerDecision decision = Tick(0, Monday(10, 30));
    EXPECT_EQ(decision.Action, SchedulerAction::RunTask);
    EXPECT_EQ(decision.Task, app.CloneTasks.Item("Disk"));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "Later"), 0) << "not due: never asked";

    // Both due ones wait: nothing runs, and the one not due yet is not run early.
    away = {"Stick", "Disk"};
    EXPECT_EQ(Tick(0, Monday(10, 30)).Action, SchedulerAction::Nothing);
    // The drive comes back: the earliest due task runs.
    away.clear();
    EXPECT_EQ(Tick(0, Monday(10, 31)).Task, app.CloneTasks.Item("Stick"));
    // Without the question (the option off) every due task runs as before.
    away = {"Stick"};
    conditions.WaitsForDrive = nullptr;
    EXPECT_EQ(Tick(0, Monday(10, 32)).Task, app.CloneTasks.Item("Stick"));
}

// Tasks run by their drive have no time of the clock: the tick asks whether their drive holds
// a new mounting, in list order, and such a task goes before one due by the clock.
TEST_F(SchedulerTickTest, ATaskOfANewlyConnectedDriveRunsFirstOnceTheStartUpDelayIsOver) {
    AddScheduled("Due", Monday(10));
    AddScheduled("Stick", Monday(9), IntervalOnConnect);
    AddScheduled("Card", Monday(9), IntervalOnConnect);
    app.CloneTasks.SetNextScheduledTask();
    EXPECT_TRUE(app.CloneTasks.Item("Due")->IsNextScheduledTask);
    std::vector<std::string> connected;
    std::vector<std::string> asked;
    conditions.NewlyConnected = [&](const cCloneTask& task) {
        asked.push_back(task.TaskName);
        return std::find(connected.begin(), connected.end(), task.TaskName) != connected.end();
    };
    EXPECT_EQ(Tick(0, Monday(10)).Task, app.CloneTasks.Item("Due"));
    EXPECT_EQ(asked, (std::vector<std::string>{"Stick", "Card"}));
    EXPECT_EQ(Tick(0, Monday(8)).Action, SchedulerAction::Nothing)
        << "no drive came, and their own due times play no role";

    connected = {"Card"};
    EXPECT_EQ(Tick(0, Monday(10)).Task, app.CloneTasks.Item("Card"));
    connected = {"Card", "Stick"};
    EXPECT_EQ(Tick(0, Monday(8)).Task, app.CloneTasks.Item("Stick"));

    state.Start(2, 1000);
    asked.clear();
    EXPECT_EQ(Tick(1000 + 2 * 60000 - 1, Monday(8)).Action, SchedulerAction::Nothing);
    EXPECT_TRUE(asked.empty()) << "within the start-up delay nothing is asked";
    EXPECT_EQ(Tick(1000 + 2 * 60000, Monday(8)).Task, app.CloneTasks.Item("Stick"));

    conditions.MainWindowVisible = true;
    const SchedulerDecision shown = Tick(0, Monday(8));
    EXPECT_EQ(shown.Action, SchedulerAction::ShowNotRunMessage);
    EXPECT_NE(shown.Text.find("\r\nStick\r\n"), std::string::npos) << shown.Text;
}

TEST_F(SchedulerTickTest, AnOpenWindowGetsTheMessageOnceThenTheStatusText) {
    AddScheduled("Nightly", Monday(10));
    app.CloneTasks.SetNextScheduledTask();
    conditions.MainWindowVisible = true;
    SchedulerDecision first = Tick(0, Monday(10));
    EXPECT_EQ(first.Action, SchedulerAction::ShowNotRunMessage);
    EXPECT_EQ(first.Title, "Scheduled Task Not Run");
    EXPECT_EQ(first.Text,
              "The following scheduled task was not run:\r\nNightly\r\n\r\nScheduled tasks are "
              "run only when the\r\napplication window is closed or minimized.\r\n\r\nNote: This "
              "message will not appear again.");
    EXPECT_FALSE(state.ScheduledSyncsMsg);
    SchedulerDecision second = Tick(0, Monday(10, 1));
    EXPECT_EQ(second.Action, SchedulerAction::SetStatusText);
    EXPECT_EQ(second.Text, "Scheduled tasks are not run while the main Duvanto window is open.");

    conditions.MainWindowVisible = false;
    EXPECT_EQ(Tick(0, Monday(10, 2)).Action, SchedulerAction::RunTask);
}

}  // namespace
}  // namespace duvanto::test
