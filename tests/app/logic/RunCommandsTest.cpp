// SPDX-License-Identifier: GPL-3.0-or-later
// The run commands' decisions: their messages, when the order window is asked, the order the
// tasks then run in (one at a time; the queue's own rules are tested with it), the busy beeps,
// the notice of an unattended run, and the run's texts taken as their latest values.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/logic/MessageCheck.h"
#include "app/runs/RunCommands.h"
#include "app/runs/RunStatusHost.h"
#include "app/support/FakeAppPrompt.h"
#include "app/support/MainWindowWorld.h"

namespace duvanto {
namespace {

using test::FakeAppPrompt;

// The window, and its worker running the run's work at once and handing its end back when the
// test says so.
class FakeRunView : public IRunCommandsView, public IRunWorker {
public:
    std::string SelectedTaskName() const override { return selected; }
    std::vector<TaskRowChoice> TaskRows() const override { return rows; }
    std::vector<std::string> AskOrder(std::vector<std::string> names) override {
        offered.push_back(names);
        return chosen ? *chosen : names;
    }
    void PopupRunChoice() override { ++popups; }
    bool Closing() const override { return closing; }
    CoalescingRunHost& RunStarting(const TaskRunRequest& request) override {
        started.push_back(request.Task.TaskName);
        return host;
    }
    void RunEnding() override {}
    void OutcomeApplied(const TaskRunOutcome& outcome, bool /*scheduled*/) override {
        applied.push_back(outcome.TaskName);
    }
    bool Busy() const override { return static_cast<bool>(done); }
    void Run(std::function<void()> work, std::function<void()> then,
             CoalescingRunHost* /*status*/) override {
        work();
        done = std::move(then);
    }
    void EndRun() { std::exchange(done, {})(); }

    std::string selected;
    std::vector<TaskRowChoice> rows;
    std::optional<std::vector<std::string>> chosen;  // what the order window hands back
    bool closing = false;
    std::vector<std::vector<std::string>> offered;
    std::vector<std::string> started;
    std::vector<std::string> applied;
    int popups = 0;
    CoalescingRunHost host;
    std::function<void()> done;
};

using Names = std::vector<std::string>;

// The names the rows show are the list's.
struct RunWorld {
    RunWorld() {
        world.SaveTasks({test::MakeTask("Mail"), test::MakeTask("Photos"), test::MakeTask("Music"),
                         test::MakeTask("Papers")});
        world.LoadedTasks();
    }
    RunQueue& Queue() { return world.Started().Runs(); }

    test::MainWindowWorld world;
    FakeAppPrompt& prompt = world.prompt;
    FakeRunView view;
    RunCommandsController runs{prompt, world.Started().Runs(), view, view};
};

TEST(RunCommandsTest, NothingToRunGivesEachCommandsMessage) {
    RunWorld w;
    w.view.rows = {{"Mail", false}, {"Photos", false}};
    w.runs.RunSelected();
    w.runs.RunChecked();
    ASSERT_EQ(w.prompt.messages.shown.size(), 2U);
    EXPECT_TRUE(test::IsMessage(w.prompt.messages.shown[0], "Run Selected Task",
                                "Please select a task to run", MessageIcon::Information));
    EXPECT_EQ(w.prompt.messages.shown[1].title, "No Checked Tasks");
    EXPECT_EQ(w.prompt.messages.shown[1].text, "No tasks have been checked off.");
    // Run All Tasks on an empty list does nothing at all.
    w.view.rows.clear();
    w.runs.RunAll();
    EXPECT_EQ(w.prompt.messages.shown.size(), 2U);
    EXPECT_TRUE(w.view.started.empty());
    EXPECT_TRUE(w.view.offered.empty());
}

TEST(RunCommandsTest, OneTaskRunsAtOnceWithoutTheOrderWindow) {
    RunWorld w;
    w.view.selected = "Photos";
    w.runs.RunSelected();
    w.view.EndRun();
    w.view.rows = {{"Mail", false}, {"Photos", true}};
    w.runs.RunChecked();
    w.view.EndRun();
    w.view.rows = {{"Music", true}};
    w.runs.RunAll();
    EXPECT_EQ(w.view.started, (Names{"Photos", "Photos", "Music"}));
    EXPECT_TRUE(w.view.offered.empty());
    EXPECT_TRUE(w.prompt.messages.shown.empty());
}

TEST(RunCommandsTest, TasksRunOneAfterAnotherInTheChosenOrder) {
    RunWorld w;
    w.view.rows = {{"Mail", true}, {"Photos", false}, {"Music", true}, {"Papers", true}};
    w.view.chosen = Names{"Papers", "Mail"};  // Music taken out, Papers moved to the top
    w.runs.RunChecked();
    EXPECT_EQ(w.view.offered, (std::vector<Names>{{"Mail", "Music", "Papers"}}));
    // One at a time: the next starts only when the window says the run ended.
    EXPECT_EQ(w.view.started, (Names{"Papers"}));
    w.view.EndRun();
    EXPECT_EQ(w.view.started, (Names{"Papers", "Mail"}));
    w.view.EndRun();
    EXPECT_EQ(w.view.started.size(), 2U);

    w.view.chosen.reset();
    w.runs.RunAll();
    EXPECT_EQ(w.view.offered.back(), (Names{"Mail", "Photos", "Music", "Papers"}));
}

// The order window closed without OK: nothing runs, and nothing of an earlier order that was
// still waiting either.
TEST(RunCommandsTest, AnOrderNotConfirmedRunsNothing) {
    RunWorld w;
    w.view.rows = {{"Mail", true}, {"Music", true}};
    w.runs.RunChecked();
    ASSERT_EQ(w.Queue().Order(), (std::deque<std::string>{"Music"}));
    w.view.chosen = Names{};
    w.runs.RunAll();
    w.view.EndRun();
    EXPECT_EQ(w.view.started, (Names{"Mail"}));
}

TEST(RunCommandsTest, AnOrderStopsWhenARunCannotStartOrTheProgramEnds) {
    RunWorld w;
    w.view.rows = {{"Mail", true}, {"Photos", true}, {"Music", true}};
    w.view.closing = true;
    w.runs.RunChecked();
    EXPECT_TRUE(w.view.started.empty());
    EXPECT_TRUE(w.Queue().Order().empty());

    w.view.closing = false;
    w.runs.RunChecked();
    EXPECT_FALSE(w.runs.Start("Photos", true)) << "one run at a time";
    w.runs.StopOrder();
    w.view.EndRun();
    EXPECT_EQ(w.view.started, (Names{"Mail"}));
    EXPECT_EQ(w.view.applied, (Names{"Mail"})) << "the outcome goes into the list";
    EXPECT_FALSE(w.Queue().Busy());

    // The window closes during a run: its unload saves the outcome, and the order ends there.
    w.runs.RunChecked();
    w.view.closing = true;
    w.view.EndRun();
    EXPECT_EQ(w.view.applied, (Names{"Mail"}));
    EXPECT_EQ(w.view.started, (Names{"Mail", "Mail"}));
}

TEST(RunCommandsTest, TheToolbarOffersTheChoiceOnlyWhenARowIsChecked) {
    RunWorld w;
    w.view.rows = {{"Mail", false}, {"Photos", false}};
    w.view.selected = "Photos";
    w.runs.ToolbarRun();
    EXPECT_EQ(w.view.started, (Names{"Photos"}));
    EXPECT_EQ(w.view.popups, 0);
    w.view.rows[0].Checked = true;
    w.runs.ToolbarRun();
    EXPECT_EQ(w.view.popups, 1);
    EXPECT_EQ(w.view.started.size(), 1U);
}

// The run commands reach their controller (that they only beep while a run lasts is the
// registry's test).
TEST(RunCommandsTest, EveryRunCommandIsRegistered) {
    RunWorld w;
    CommandRegistry registry(w.prompt, w.world.App().Flags, w.world.App().Reporter);
    RegisterRunCommands(registry, w.runs);
    w.view.rows = {{"Mail", true}, {"Photos", false}};
    w.view.selected = "Photos";
    for (const char* id : {"mnuFileRunSelected", "mnuFileRunChecked", "mnuFileRunAll",
                           "mnuRunChoiceSelected", "mnuRunChoiceChecked", kToolbarRun}) {
        registry.Invoke(id);
        if (w.view.Busy()) {
            w.view.EndRun();
        }
    }
    EXPECT_EQ(w.view.started, (Names{"Photos", "Mail", "Mail", "Photos", "Mail"}));
    EXPECT_EQ(w.view.offered, (std::vector<Names>{{"Mail", "Photos"}}));
    EXPECT_EQ(w.view.popups, 1);
}

TEST(RunStatusHostTest, TheWindowGetsTheLatestValueOfWhatChangedOnce) {
    CoalescingRunHost host;
    EXPECT_TRUE(host.Take().Empty());
    host.RunStarted("Photos");
    host.SetStatusText(1, "Clone in Progress. Press ESC to Cancel...");
    for (int i = 1; i <= 1000; ++i) {
        host.SetStatusText(2, std::to_string(i / 10) + "%");
        host.Progress({i, 1000, i * 10, 10000});
    }
    RunStatusUpdate update = host.Take();
    EXPECT_EQ(update.MenusEnabled, false);
    EXPECT_EQ(update.Caption, "Duvanto running task: Photos");
    EXPECT_EQ(update.Panel1, "Clone in Progress. Press ESC to Cancel...");
    EXPECT_EQ(update.Panel2, "100%");
    EXPECT_EQ(update.Progress, (RunProgress{1000, 1000, 10000, 10000}));
    EXPECT_EQ(update.TrayTooltip, "Duvanto running task: Photos");
    EXPECT_TRUE(host.Take().Empty());

    // A short run starts and ends between two looks: the window sees its menus on and its
    // caption and tooltip back to the program's name.
    host.RunStarted("Photos");
    host.RunEnded();
    update = host.Take();
    EXPECT_EQ(update.MenusEnabled, true);
    EXPECT_EQ(update.Caption, "Duvanto");
    EXPECT_EQ(update.TrayTooltip, "Duvanto");
}

TEST(RunStatusHostTest, ARunThreadReportingFastLosesNoFinalValue) {
    CoalescingRunHost host;
    constexpr int kFiles = 100000;
    std::thread run([&host] {
        for (int i = 1; i <= kFiles; ++i) {
            host.Progress({i, kFiles, 0, 0});
            host.SetStatusText(2, std::to_string(i));
        }
    });
    int64_t seen = 0;
    std::string text;
    while (seen < kFiles) {
        const RunStatusUpdate update = host.Take();
        if (update.Progress) {
            EXPECT_GE(update.Progress->FilesDone, seen);  // never goes back
            seen = update.Progress->FilesDone;
        }
        text = update.Panel2.value_or(text);
        std::this_thread::yield();
    }
    run.join();
    text = host.Take().Panel2.value_or(text);
    EXPECT_EQ(seen, kFiles);
    EXPECT_EQ(text, std::to_string(kFiles));
    EXPECT_TRUE(host.Take().Empty());
}

TEST(RunStatusHostTest, ConfirmationGoesToTheConfirmerOrSkipsNothing) {
    std::vector<FileOp> operations(3);
    CoalescingRunHost without;
    EXPECT_TRUE(without.ConfirmOperations(operations).empty());
    std::size_t asked = 0;
    CoalescingRunHost with([&asked](const std::vector<FileOp>& ops) {
        asked = ops.size();
        return std::vector<bool>{false, true, false};
    });
    EXPECT_EQ(with.ConfirmOperations(operations), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(asked, 3U);
}

TEST(RunProgressTest, TheBarShowsTheStatusTextsMeasureAndNamesOnlyWhatItCounts) {
    struct Case {
        RunProgress progress;
        const char* text;
    };
    const Case cases[] = {
        {{1, -1, 0, -1}, "1 file scanned"},
        {{2500, -1, 0, -1}, "2500 files scanned"},
        // A large file half copied: the bytes move before the file count does.
        {{0, 1, 1LL << 30, 2LL << 30, 0, 2}, "0 of 1 file, 1.0 GB of 2.0 GB"},
        // Thirty thousand empty files: no bytes to tell of.
        {{15000, 30000, 0, 0, 15000, 30001}, "15000 of 30000 files"},
        // Folders alone.
        {{0, 0, 0, 0, 3, 8}, "3 of 8 folders"},
        {{0, 0, 0, 0, 0, 0}, "nothing to do"},
    };
    for (const Case& c : cases) {
        const ProgressDisplay display = DescribeProgress(c.progress);
        EXPECT_EQ(display.Text, c.text);
        // The same figure as panel 2's percentage, whatever it measures.
        EXPECT_EQ(display.Percent, ProgressPercent(c.progress)) << c.text;
    }
}

TEST(RunProgressTest, BytesReadInTheLargestUnitBelow1024) {
    EXPECT_EQ(FormatBytes(0), "0 bytes");
    EXPECT_EQ(FormatBytes(1), "1 byte");
    EXPECT_EQ(FormatBytes(1023), "1023 bytes");
    EXPECT_EQ(FormatBytes(1024), "1.0 KB");
    EXPECT_EQ(FormatBytes(1536), "1.5 KB");
    // Just under a megabyte rounds up to the next unit, never to "1024.0 KB".
    EXPECT_EQ(FormatBytes(1024 * 1024 - 10), "1.0 MB");
    EXPECT_EQ(FormatBytes(5LL << 40), "5.0 TB");
    EXPECT_EQ(FormatBytes(INT64_MAX), "8192.0 PB");
}

}  // namespace
}  // namespace duvanto
