// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/MainWindowController.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/help/HelpTopics.h"
#include "app/mainwindow/MainCommands.h"
#include "app/mainwindow/TaskColumns.h"
#include "app/mainwindow/TaskListReload.h"
#include "app/mainwindow/WindowCommands.h"
#include "app/support/FakeAppPrompt.h"
#include "app/support/FakeMainWindowView.h"
#include "app/support/MainWindowWorld.h"
#include "support/TestSupport.h"
#include "util/FileUtilities.h"
#include "util/OleDate.h"

namespace duvanto {
namespace {

using FakeView = test::FakeMainWindowView;
using test::kOneMinute;
using test::kWorldNow;
using test::MainWindowWorld;
using test::MakeTask;

struct Window {
    explicit Window(MainWindowWorld& world)
        : tasks(world.Started().Tasks()), controller(world.Started(), world.prompt, view) {
        controller.StartScheduledRunsWith(
            [this](const std::string& name) { view.events.push_back("run " + name); });
    }

    FakeView view;
    TaskListService& tasks;
    MainWindowController controller;
};

class MainWindowControllerTest : public ::testing::Test {
protected:
    MainWindowWorld world;
    Window window{world};
};

TEST(MainWindowStartTest, FirstRunShowsWindowQuickStartAndWarning) {
    MainWindowWorld world(false);
    Window window(world);
    window.controller.Load();

    EXPECT_EQ(window.view.events,
              (std::vector<std::string>{"restore", "help " + std::to_string(HelpQuickStart)}));
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_EQ(world.prompt.messages.shown[0].title, "IMPORTANT - PLEASE READ!");
    EXPECT_EQ(world.prompt.messages.shown[0].text, kImportantText);
    EXPECT_EQ(window.view.listName, "Default Task List");
    // Loading an empty folder creates its empty task list, as the runner does.
    EXPECT_TRUE(FileExists(DefaultTaskListFileSpec(world.home.Path())));
}

// Without a tray a later start shows the window: minimized, it may be nowhere to see (a window
// manager without a task bar).
TEST(MainWindowStartTest, LaterRunsStartInTheTrayOrShownWithoutOne) {
    for (const bool tray : {true, false}) {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos"), MakeTask("Mail", IntervalDays, kWorldNow + 1, true)});
        Window window(world);
        window.view.tray = tray;
        window.controller.Load();

        EXPECT_EQ(window.view.events, std::vector<std::string>{tray ? "hide" : "restore"});
        EXPECT_TRUE(world.prompt.messages.shown.empty());
        EXPECT_EQ(window.tasks.List().Count(), 2);
        EXPECT_EQ(window.view.trayIcon, TrayState::Error);
        // The scheduled task with the error is the next to run (which image is the list's).
        EXPECT_EQ(TaskRowsOf(window.tasks.List())[1].icon, ImageSheepFolderErrorNext);
    }
}

// A load that fails unexpectedly is reported under the load's label with its details kept in
// ERR_DETAIL.TXT, and the window is shown all the same, so that the program can be ended.
TEST_F(MainWindowControllerTest, AnUnexpectedFailureOfTheLoadIsReportedAndTheWindowShown) {
    window.view.failLoad = true;
    window.controller.Load();

    ASSERT_EQ(world.Titles(), std::vector<std::string>{"Unexpected Error in frmDuvanto.Form_Load"});
    EXPECT_NE(world.prompt.messages.shown[0].text.find("Error: the label is gone\r\n"),
              std::string::npos);
    const std::string detail = test::ReadFile(world.home / "ERR_DETAIL.TXT");
    EXPECT_NE(detail.find("Exception: std::logic_error: the label is gone"), std::string::npos)
        << detail;
    EXPECT_EQ(window.view.events, std::vector<std::string>{"restore"});
}

TEST_F(MainWindowControllerTest, UnreadableLinesAreNamedAndTheGoodTasksKept) {
    world.SaveTasks({MakeTask("Photos")});
    const std::string list = DefaultTaskListFileSpec(world.home.Path());
    test::WriteFile(list, test::ReadFile(list) + "not a task\r\n");
    window.controller.Load();

    EXPECT_EQ(window.tasks.List().Count(), 1);
    ASSERT_EQ(world.Titles(), std::vector<std::string>{"Task List"});
    const std::string& text = world.prompt.messages.shown[0].text;
    EXPECT_NE(text.find(list), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nline 2: "), std::string::npos) << text;
    EXPECT_EQ(window.view.events, std::vector<std::string>{"hide"});
}

TEST_F(MainWindowControllerTest, CloseHidesToTrayWithReminderOrMinimizesWithoutTray) {
    window.view.shown = true;

    EXPECT_FALSE(window.controller.CloseRequested());
    EXPECT_EQ(window.view.events, (std::vector<std::string>{"hide", "reminder"}));

    world.Options().SysTrayReminder = false;
    window.view.events.clear();
    window.controller.CloseRequested();
    EXPECT_EQ(window.view.events, std::vector<std::string>{"hide"});

    // Without a tray the window must stay reachable, and the reminder has no tray to name.
    world.Options().SysTrayReminder = true;
    window.view.tray = false;
    window.view.events.clear();
    EXPECT_FALSE(window.controller.CloseRequested());
    EXPECT_EQ(window.view.events, std::vector<std::string>{"minimize"});
    EXPECT_TRUE(window.view.shown);
}

TEST_F(MainWindowControllerTest, ShutDownIsRefusedDuringARunAndOtherwiseSavesEverything) {
    world.SaveTasks({MakeTask("Photos")});
    window.controller.Load();
    world.Options().FormWidth = 12345;
    world.Options().ColumnWidths[2] = 222;

    world.App().Flags.CloneInProgress = true;
    EXPECT_FALSE(window.controller.ShutDown());
    EXPECT_EQ(world.prompt.messages.beeps, 1);
    EXPECT_FALSE(window.controller.Unloading());

    world.App().Flags.CloneInProgress = false;
    world.App().CloneLog.Add({.Type = Begin, .TaskName = "Photos"});
    EXPECT_TRUE(window.controller.ShutDown());
    EXPECT_EQ(window.view.events.back(), "end");
    const std::string ini = test::ReadFile(world.home / kIniFileName);
    EXPECT_NE(ini.find("Width=0000012345"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ColumnThree=0000000222"), std::string::npos) << ini;
    EXPECT_NE(test::ReadFile(world.home / "clone.log").find("Photos"), std::string::npos);
    // Once unloading, the close goes ahead.
    EXPECT_TRUE(window.controller.CloseRequested());
}

TEST_F(MainWindowControllerTest, SessionEndDuringARunThatDoesNotStopWritesTheAbortedTask) {
    world.App().Flags.CloneInProgress = true;
    bool waited = false;
    window.controller.SessionEnd([&] {
        waited = true;
        return false;
    });
    EXPECT_TRUE(waited);
    EXPECT_TRUE(world.App().Flags.SessionEnding);
    const std::string log = test::ReadFile(world.home / "clone.log");
    EXPECT_NE(log.find("Application Shutdown Error"), std::string::npos) << log;
    EXPECT_NE(log.find("Unknown Task Name"), std::string::npos) << log;
    EXPECT_TRUE(FileExists(world.home / kIniFileName));
    EXPECT_EQ(window.view.events.back(), "end");
}

TEST_F(MainWindowControllerTest, IconFollowsPauseAndTheErrorsReset) {
    world.SaveTasks(
        {MakeTask("Photos", IntervalManual, 0, true), MakeTask("Mail", IntervalManual, 0, true)});
    window.controller.Load();
    EXPECT_EQ(window.view.trayIcon, TrayState::Error);
    window.controller.TogglePause();
    EXPECT_TRUE(window.view.paused);
    EXPECT_EQ(window.view.trayIcon, TrayState::Paused);  // paused wins over everything
    window.controller.TogglePause();
    EXPECT_FALSE(window.view.paused);
    EXPECT_EQ(window.view.trayIcon, TrayState::Error);

    window.controller.ResetErrorSelected();
    ASSERT_EQ(world.Titles(), std::vector<std::string>{"Reset Error Flag"});
    EXPECT_EQ(world.prompt.messages.shown[0].text, "Please select a task first.");
    window.view.selected = "Gone";
    window.controller.ResetErrorSelected();
    EXPECT_EQ(world.Titles().back(), "Unexpected Error - Reset Error Flag");
    EXPECT_EQ(world.prompt.messages.shown.back().icon, MessageIcon::Exclamation);
    window.view.selected = "Photos";
    window.controller.ResetErrorSelected();
    EXPECT_EQ(world.prompt.messages.shown.size(), 2u);
    EXPECT_EQ(TaskRowsOf(window.tasks.List())[0].icon, ImageSheepFolder);
    EXPECT_EQ(window.view.trayIcon, TrayState::Error) << "Mail keeps its error";

    window.controller.TogglePause();
    window.controller.ResetErrorAll();
    EXPECT_EQ(window.view.trayIcon, TrayState::Paused);
    window.controller.TogglePause();
    EXPECT_EQ(window.view.trayIcon, TrayState::Normal);
}

// A tray that comes after the start (a panel started late) takes the window when it is next
// closed; one that goes away gives back a window hidden in it, which would be out of reach.
TEST_F(MainWindowControllerTest, ATrayThatComesOrGoesMovesTheWindowBetweenTrayAndScreen) {
    world.Options().SysTrayReminder = false;
    window.view.tray = false;
    window.controller.Load();
    EXPECT_EQ(window.view.events, std::vector<std::string>{"restore"});

    window.view.tray = true;
    window.controller.TrayAvailabilityChanged();
    EXPECT_EQ(window.view.events.size(), 1u) << "a shown window stays as it is";
    window.controller.CloseRequested();
    EXPECT_EQ(window.view.events.back(), "hide");

    window.view.tray = false;
    window.controller.TrayAvailabilityChanged();
    EXPECT_EQ(window.view.events.back(), "restore");
    window.controller.CloseRequested();
    EXPECT_EQ(window.view.events.back(), "minimize");
    const std::size_t count = window.view.events.size();
    window.controller.TrayAvailabilityChanged();  // a minimized window is on screen already
    EXPECT_EQ(window.view.events.size(), count);
}

// The tooltip names the program, the most recent run (its task, when, whether with errors) and
// the next one; a run's own tooltip stays while it lasts.
TEST_F(MainWindowControllerTest, TheTooltipTellsTheLastRunAndTheNextOne) {
    cCloneTask mail = MakeTask("Mail", IntervalDays, kWorldNow + 1);
    mail.LastCloneDateTime = kWorldNow - 2;
    cCloneTask photos = MakeTask("Photos", IntervalManual, 0, true);
    photos.LastCloneDateTime = kWorldNow - 1;
    world.SaveTasks({mail, photos});
    window.controller.Load();
    EXPECT_EQ(window.view.toolTip, "Duvanto\nLast run: Photos, " + GeneralDateText(kWorldNow - 1) +
                                       ", with errors" + "\nNext run: Mail, " +
                                       GeneralDateText(kWorldNow + 1));
    window.controller.TogglePause();
    EXPECT_EQ(window.view.toolTip.substr(window.view.toolTip.rfind('\n')), "\nScheduler paused");
    window.controller.TogglePause();

    world.App().Flags.CloneInProgress = true;
    window.view.toolTip = "Duvanto running task: Mail";
    window.controller.ResetErrorAll();
    EXPECT_EQ(window.view.toolTip, "Duvanto running task: Mail");
    world.App().Flags.CloneInProgress = false;
    window.controller.RunEnded();
    EXPECT_EQ(window.view.toolTip.find(", with errors"), std::string::npos) << window.view.toolTip;

    MainWindowWorld empty;
    Window none(empty);
    none.controller.Load();
    EXPECT_EQ(none.view.toolTip, "Duvanto\nNo task scheduled");
}

TEST_F(MainWindowControllerTest, MenuStatesFollowTheWindow) {
    struct Case {
        bool shown, minimized;
        bool showEnabled, sendEnabled;
        std::string defaultItem;
    };
    for (const Case& c : {Case{true, false, false, true, "mnuTraySendToTray"},
                          Case{true, true, true, true, "mnuTrayShow"},
                          Case{false, false, true, false, "mnuTrayShow"}}) {
        window.view.shown = c.shown;
        window.view.minimized = c.minimized;
        const TrayMenuState state = window.controller.TrayMenu();
        EXPECT_EQ(state.showEnabled, c.showEnabled) << c.defaultItem;
        EXPECT_EQ(state.sendToTrayEnabled, c.sendEnabled) << c.defaultItem;
        EXPECT_EQ(state.defaultItem, c.defaultItem);
    }
}

TEST(MainWindowTasksTest, SortingByHeaderUsesTheHiddenDateKeys) {
    // The general date text of 9 December sorts before that of 10 November; the key does not.
    std::vector<TaskRowView> rows = {
        TaskRowOf(MakeTask("b", IntervalDays, kWorldNow + 5)),   // 9 December 2003
        TaskRowOf(MakeTask("a", IntervalDays, kWorldNow - 24)),  // 10 November 2003
        TaskRowOf(MakeTask("c", IntervalManual)),                // no next run
    };
    TaskSort sort;
    SortTaskRows(rows, sort);
    EXPECT_EQ(rows[0].Name(), "b");  // off until a header is clicked

    const auto names = [&rows] {
        std::string joined;
        for (const TaskRowView& row : rows) {
            joined += row.Name();
        }
        return joined;
    };
    sort.HeaderClicked(kNextRunColumn);
    SortTaskRows(rows, sort);
    EXPECT_EQ(names(), "cab");
    sort.HeaderClicked(kNextRunColumn);
    SortTaskRows(rows, sort);
    EXPECT_EQ(names(), "bac");
    sort.HeaderClicked(0);  // another column keeps flipping: now ascending again
    SortTaskRows(rows, sort);
    EXPECT_EQ(names(), "abc");
}

// The timer's decisions (flags, the delay across the tick wrap) are the scheduler's own, tested
// with it; here what reaches the window, the options and the run.
TEST_F(MainWindowControllerTest, DelayThenMessageOnceThenPanelTextThenRunWhenHidden) {
    world.SaveTasks({MakeTask("Photos", IntervalMinutes, kWorldNow - kOneMinute)});
    window.controller.Load();
    world.Options().DelayBeforeFirstTask = 5;
    world.clock.ticks = 1000;
    window.controller.StartScheduler();
    window.view.RestoreMainWindow();
    window.view.events.clear();
    world.clock.ticks += 5 * 60000 - 1;
    window.controller.SchedulerTick(false);
    EXPECT_TRUE(world.prompt.messages.shown.empty());

    world.clock.ticks += 1;
    window.controller.SchedulerTick(false);
    ASSERT_EQ(world.Titles(), std::vector<std::string>{"Scheduled Task Not Run"});
    EXPECT_NE(world.prompt.messages.shown[0].text.find("Photos\r\n"), std::string::npos);
    EXPECT_FALSE(world.Options().ScheduledSyncsMsg);  // the options file keeps it shown
    window.controller.SchedulerTick(false);
    EXPECT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_EQ(window.view.panels[1],
              "Scheduled tasks are not run while the main Duvanto window is open.");
    EXPECT_TRUE(window.view.events.empty());

    window.view.MinimizeMainWindow();
    window.view.events.clear();
    window.controller.SchedulerTick(true);
    EXPECT_TRUE(window.view.events.empty()) << "a scheduled run waits for the window's report";
    window.controller.SchedulerTick(false);
    EXPECT_EQ(window.view.events, std::vector<std::string>{"run Photos"});
}

using Stored = std::array<int32_t, kVisibleTaskColumns>;
constexpr Stored kFirstWidths = {150, 100, 100, 125, 125};

// Name, Source, Target, Next Run, Last Run.
TEST(TaskColumnsTest, ChosenWidthsStayTheOthersFitTheirTextAndTheLastFillsTheView) {
    const struct {
        const char* what;
        Stored stored;
        TaskColumnWidths content;
        int viewport;
        TaskColumnWidths expected;
    } cases[] = {
        {"the first window: dates whole, the view a little short of it all",
         kFirstWidths,
         {90, 300, 260, 140, 140},
         622,
         {150, 100, 100, 140, 140}},
        {"a wide window: the paths whole, the last column to the edge",
         kFirstWidths,
         {90, 300, 260, 140, 140},
         1260,
         {150, 300, 260, 140, 410}},
        {"a little room: shared evenly between the cut paths",
         kFirstWidths,
         {90, 300, 300, 140, 140},
         700,
         {150, 135, 135, 140, 140}},
        {"a path that fits gives the rest of its share to the other",
         kFirstWidths,
         {90, 110, 400, 140, 140},
         700,
         {150, 110, 160, 140, 140}},
        {"what the user chose is kept, even narrower than its text",
         {150, 230, 100, 125, 90},
         {400, 300, 260, 140, 140},
         600,
         {150, 230, 100, 140, 90}},
        {"a chosen last column still fills a wider view",
         {150, 100, 100, 125, 90},
         {90, 90, 90, 140, 140},
         900,
         {150, 100, 100, 140, 410}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LayOutTaskColumns(c.stored, c.content, c.viewport), c.expected) << c.what;
    }
}

struct ReloadWorld {
    ReloadWorld() : tasks(world.Started().Tasks()), reload(tasks, view, [this] { ++loaded; }) {
        world.SaveTasks({MakeTask("Photos")});
        tasks.Open(DefaultTaskListFileSpec(world.home.Path()));
    }
    // Another program writes the list: Photos, and Mail after it.
    void EditByHand() { world.SaveTasks({MakeTask("Photos"), MakeTask("Mail")}); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TaskRowView& row : TaskRowsOf(tasks.List())) {
            names.push_back(row.Name());
        }
        return names;
    }

    MainWindowWorld world;
    test::FakeMainWindowView view;
    TaskListService& tasks;
    int loaded = 0;
    TaskListReload reload;
};

TEST(TaskListReloadTest, AListChangedByHandIsReadAgainAndTheStatusBarSaysSo) {
    ReloadWorld w;
    // The program's own save is no change.
    ASSERT_TRUE(w.tasks.Save());
    w.reload.FileChanged(false);
    EXPECT_EQ(w.view.refreshed, 0);
    EXPECT_TRUE(w.view.panels.empty());

    w.EditByHand();
    w.reload.FileChanged(false);
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Photos", "Mail"}));
    EXPECT_EQ(w.view.refreshed, 1);
    EXPECT_EQ(w.view.panels[2], kTaskListReloaded);
    EXPECT_EQ(w.loaded, 1);
    // The next save keeps what was written by hand.
    w.world.App().CloneTasks.Item("Photos")->ErrorOnLastClone = true;
    ASSERT_TRUE(w.tasks.Save());
    w.tasks.Reload();
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Photos", "Mail"}));
}

// While a run holds the list nothing is read; the run's end reads the change before its
// outcome is applied.
TEST(TaskListReloadTest, AChangeDuringARunIsReadWhenTheRunEnds) {
    ReloadWorld w;
    w.EditByHand();
    w.reload.FileChanged(true);
    EXPECT_EQ(w.Names(), std::vector<std::string>{"Photos"});
    EXPECT_TRUE(w.reload.Pending());
    EXPECT_EQ(w.view.refreshed, 0);

    w.reload.RunEnded();
    EXPECT_FALSE(w.reload.Pending());
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Photos", "Mail"}));
    EXPECT_EQ(w.view.panels[2], kTaskListReloaded);
}

}  // namespace
}  // namespace duvanto
