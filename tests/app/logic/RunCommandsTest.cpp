// SPDX-License-Identifier: GPL-3.0-or-later
// The run commands' decisions: their messages, when the order window is asked, the order the
// tasks then run in (one at a time; the queue's own rules are tested with it), the busy beeps,
// the notice of an unattended run, and the run's texts taken as their latest values; the
// confirmation and order-tasks windows' decisions (which operations are struck out however the
// list has shrunk, the kinds of the lines, the order of tasks with its messages).

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/logic/MessageCheck.h"
#include "app/runs/ConfirmChangesController.h"
#include "app/runs/OrderTasksController.h"
#include "app/runs/RunCommands.h"
#include "app/runs/RunNotices.h"
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

class RunCommandsTest : public ::testing::Test {
protected:
    RunWorld w;
};

TEST_F(RunCommandsTest, NothingToRunGivesEachCommandsMessage) {
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

TEST_F(RunCommandsTest, OneTaskRunsAtOnceWithoutTheOrderWindow) {
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

TEST_F(RunCommandsTest, TasksRunOneAfterAnotherInTheChosenOrder) {
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
TEST_F(RunCommandsTest, AnOrderNotConfirmedRunsNothing) {
    w.view.rows = {{"Mail", true}, {"Music", true}};
    w.runs.RunChecked();
    ASSERT_EQ(w.Queue().Order(), (std::deque<std::string>{"Music"}));
    w.view.chosen = Names{};
    w.runs.RunAll();
    w.view.EndRun();
    EXPECT_EQ(w.view.started, (Names{"Mail"}));
}

TEST_F(RunCommandsTest, AnOrderStopsWhenARunCannotStartOrTheProgramEnds) {
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

TEST_F(RunCommandsTest, TheToolbarOffersTheChoiceOnlyWhenARowIsChecked) {
    w.view.rows = {{"Mail", false}, {"Photos", false}};
    w.view.selected = "Photos";
    w.runs.ToolbarRun();
    EXPECT_EQ(w.view.started, (Names{"Photos"}));
    EXPECT_EQ(w.view.popups, 0);
    // With the first run over, a second run would not be refused for it.
    w.view.EndRun();
    w.view.rows[0].Checked = true;
    w.runs.ToolbarRun();
    EXPECT_EQ(w.view.popups, 1);
    EXPECT_EQ(w.view.started.size(), 1U);
}

// The run commands reach their controller (that they only beep while a run lasts is the
// registry's test).
TEST_F(RunCommandsTest, EveryRunCommandIsRegistered) {
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

TaskRunOutcome Outcome(const std::string& task, bool error, bool cancelled = false) {
    TaskRunOutcome outcome;
    outcome.TaskName = task;
    outcome.ErrorOnLastClone = error;
    outcome.Cancelled = cancelled;
    outcome.StatusText =
        std::string(error ? "Clone Complete with Errors - " : "Clone Complete - ") + task;
    return outcome;
}

// One run after another, each with whether the desktop is told of it: a failure nobody saw end
// is told once per task until a run of that task succeeds.
TEST(RunNoticesTest, AFailureNobodySawIsToldOnceUntilTheTaskSucceeds) {
    struct Step {
        const char* task;
        bool error, cancelled, scheduled, hidden;
        bool told;
    };
    const Step steps[] = {
        {"Mail", true, false, false, false, false},  // the user watched it fail
        {"Mail", true, false, true, false, true},    // the scheduler's, the window open
        {"Mail", true, false, true, true, false},    // failing still: told already
        {"Photos", true, false, false, true, true},  // the user's, the window hidden
        {"Mail", true, true, true, true, false},     // cancelled: no news
        {"Mail", true, false, true, true, false},    // the cancel did not end the failing
        {"Mail", false, false, true, true, false},   // succeeded
        {"Mail", true, false, true, true, true},     // failing anew
        {"Photos", false, false, false, false, false}, {"Photos", true, false, false, true, true},
    };
    RunNotices notices;
    int index = 0;
    for (const Step& step : steps) {
        const std::optional<RunNotice> notice = notices.RunEnded(
            Outcome(step.task, step.error, step.cancelled), step.scheduled, step.hidden);
        EXPECT_EQ(notice.has_value(), step.told) << "step " << index;
        if (notice) {
            EXPECT_EQ(notice->Summary, "Duvanto");
            EXPECT_EQ(notice->Body, "Clone Complete with Errors - " + std::string(step.task) +
                                        "\nThe Clone Log has the details.");
        }
        ++index;
    }
}

TEST(RunNoticesTest, TheTraysBalloonTellsWhereNoNotificationServiceRuns) {
    const RunNotice notice{"Duvanto", "Clone Complete with Errors - Mail"};
    for (const bool serviceRuns : {true, false}) {
        std::vector<std::string> shown;
        const bool delivered = DeliverRunNotice(
            notice,
            [&](const RunNotice& n) {
                shown.push_back("desktop " + n.Body);
                return serviceRuns;
            },
            [&](const RunNotice& n) {
                shown.push_back("balloon " + n.Body);
                return true;
            });
        EXPECT_TRUE(delivered);
        std::vector<std::string> expected = {"desktop Clone Complete with Errors - Mail"};
        if (!serviceRuns) {
            expected.push_back("balloon Clone Complete with Errors - Mail");
        }
        EXPECT_EQ(shown, expected);
    }
}

using test::IsMessage;

std::vector<PlannedOperation> Plan(int count) {
    std::vector<PlannedOperation> plan;
    for (int i = 1; i <= count; ++i) {
        FileOp op;
        op.FileName = "file " + std::to_string(i) + ".txt";
        op.SourceFolder = "/src/";
        op.TargetFolder = "/dst/";
        plan.push_back(PlannedOperationFromFileOp(op));
    }
    return plan;
}

TEST(ConfirmChangesControllerTest, StrikingOutFollowsThePlanNotTheShrunkenList) {
    FakeAppPrompt prompt;
    ConfirmChangesController controller({"Photos", Plan(6), true}, prompt, {});
    // Operation 2, then operation 5, which by then stands fourth in the list.
    EXPECT_TRUE(controller.RemoveSelected({1}));
    EXPECT_EQ(controller.Key(3), "K5");
    EXPECT_TRUE(controller.RemoveSelected({3}));
    EXPECT_EQ(controller.SkipFlags(), (std::vector<bool>{false, true, false, false, true, false}));
    ASSERT_EQ(controller.Count(), 4);
    EXPECT_EQ(controller.Key(2), "K4");
    EXPECT_EQ(controller.Entry(3).FileName, "file 6.txt");

    // Rows in any order, repeated, or outside the list: each entry once, the rest ignored.
    EXPECT_TRUE(controller.RemoveSelected({3, 0, 3, 9, -1}));
    EXPECT_EQ(controller.SkipFlags(), (std::vector<bool>{true, true, false, false, true, true}));
    EXPECT_TRUE(controller.RemoveSelected({1, 0}));
    EXPECT_EQ(controller.Count(), 0);
    EXPECT_EQ(controller.SkipFlags(), std::vector<bool>(6, true));
    EXPECT_TRUE(prompt.messages.shown.empty());
}

TEST(ConfirmChangesControllerTest, NothingSelectedTellsTheUserAndChangesNothing) {
    FakeAppPrompt prompt;
    ConfirmChangesController controller({"Photos", Plan(3), true}, prompt, {});
    EXPECT_FALSE(controller.RemoveSelected({}));
    EXPECT_FALSE(controller.RemoveSelected({3, -1}));
    ASSERT_EQ(prompt.messages.shown.size(), 2u);
    EXPECT_TRUE(IsMessage(prompt.messages.shown[0], "Duvanto",
                          "Please select a file operation to remove from the list.",
                          MessageIcon::Exclamation));
    EXPECT_EQ(controller.Count(), 3);
    EXPECT_EQ(controller.SkipFlags(), std::vector<bool>(3, false));
}

TEST(ConfirmChangesControllerTest, TotalsCountWhatIsLeftInTheList) {
    FakeAppPrompt prompt;
    std::vector<PlannedOperation> plan;
    const auto add = [&plan](FileOpType kind, const std::string& name, uint64_t bytes) {
        FileOp op{name, "/src/", "/dst/", kind, bytes};
        plan.push_back(PlannedOperationFromFileOp(op));
    };
    add(CreateFolder, "", 0);
    add(CopyFile, "big.iso", 3ULL << 30);
    add(CopyFile, "small.txt", 512ULL << 20);
    add(DeleteFile, "old.txt", 700);  // a deletion's size copies nothing
    add(DeleteFolder, "", 0);
    ConfirmChangesController controller({"Photos", std::move(plan), true}, prompt, {});
    EXPECT_EQ(controller.TotalsText(), "2 copies, 1 new folder, 2 deletions; 3.5 GB to copy");
    EXPECT_TRUE(controller.RemoveSelected({1, 3, 4}));
    EXPECT_EQ(controller.TotalsText(), "1 copy, 1 new folder, 0 deletions; 512.0 MB to copy");
    EXPECT_TRUE(controller.RemoveSelected({0, 1}));
    EXPECT_EQ(controller.TotalsText(), "0 copies, 0 new folders, 0 deletions; 0 bytes to copy");

    // A Target that folds case or refuses names adds its kinds while there are any.
    plan.clear();
    add(RenameEntry, "Photo.JPG", 900);  // a rename copies nothing
    add(RefuseName, "a.txt", 5);
    add(RefuseName, "b:c", 5);
    ConfirmChangesController folding({"Stick", std::move(plan), true}, prompt, {});
    EXPECT_EQ(folding.TotalsText(),
              "0 copies, 0 new folders, 0 deletions, 1 rename, 2 names the Target cannot hold; "
              "0 bytes to copy");
    EXPECT_TRUE(folding.RemoveSelected({0, 1}));
    EXPECT_EQ(folding.TotalsText(),
              "0 copies, 0 new folders, 0 deletions, 1 name the Target cannot hold; 0 bytes to "
              "copy");
}

TEST(ConfirmChangesControllerTest, CancelStopsTheRunOnceAndStrikesOutEverything) {
    FakeAppPrompt prompt;
    int cancels = 0;
    ConfirmChangesController controller({"Photos", Plan(3), true}, prompt, {},
                                        [&cancels] { ++cancels; });
    EXPECT_TRUE(controller.RemoveSelected({1}));
    EXPECT_FALSE(controller.Cancelled());
    controller.Cancel();
    controller.Cancel();  // Escape, then the close box
    EXPECT_TRUE(controller.Cancelled());
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(controller.SkipFlags(), std::vector<bool>(3, true));
}

TEST(ConfirmChangesControllerTest, KindsAndReasonsComeFromTheOperation) {
    // The kind comes from the operation, never from its line: a deleted file whose name holds
    // the words of a copy stays a deletion.
    FileOp deletion{"x   COPY FILE  y", "", "/t/", DeleteFile};
    deletion.Reason = OpReason::FolderInSource;
    const PlannedOperation planned = PlannedOperationFromFileOp(deletion);
    EXPECT_EQ(planned.Kind, DeleteFile);
    EXPECT_EQ(planned.Reason, "the Source holds a folder of this name");
}

TEST(OrderTasksControllerTest, TheTasksOfferedAreAllOrTheCheckedOnesTopToBottom) {
    const std::vector<TaskRowChoice> rows = {{"Mail", false}, {"Photos", true}, {"Music", true}};
    EXPECT_EQ(TasksToOrder(rows, OrderWhat::AllTasks),
              (std::vector<std::string>{"Mail", "Photos", "Music"}));
    EXPECT_EQ(TasksToOrder(rows, OrderWhat::CheckedTasks),
              (std::vector<std::string>{"Photos", "Music"}));
}

TEST(OrderTasksControllerTest, MovesStopAtTheEndsAndKeepTheEntrySelected) {
    test::PromptAndReporter world;
    FakeAppPrompt& prompt = world.prompt;
    OrderTasksController controller({"A", "B", "C"}, prompt, world.reporter);
    EXPECT_EQ(controller.FirstSelection(), 0);
    EXPECT_EQ(controller.MoveUp(0), 0);
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(controller.MoveDown(0), 1);
    EXPECT_EQ(controller.MoveDown(1), 2);
    EXPECT_EQ(controller.MoveDown(2), 2);
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(controller.MoveUp(1), 0);
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_TRUE(prompt.messages.shown.empty());

    EXPECT_EQ(controller.MoveUp(-1), -1);
    EXPECT_EQ(controller.MoveDown(3), -1);
    ASSERT_EQ(prompt.messages.shown.size(), 2u);
    for (const test::ShownMessage& shown : prompt.messages.shown) {
        EXPECT_TRUE(IsMessage(shown, "No Task Selected", "Please select a task first.",
                              MessageIcon::Information));
    }
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"C", "B", "A"}));
}

TEST(OrderTasksControllerTest, RemovedTasksDoNotRunAndTheRestRunAsShown) {
    test::PromptAndReporter world;
    FakeAppPrompt& prompt = world.prompt;
    OrderTasksController controller({"Mail", "Photos", "Music"}, prompt, world.reporter);
    EXPECT_EQ(controller.Remove(-1), -1);
    ASSERT_EQ(prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(IsMessage(prompt.messages.shown[0], "Remove Task", "No task is selected",
                          MessageIcon::Exclamation));

    // The entry that takes the removed one's place is selected next; at the end, the new last.
    EXPECT_EQ(controller.Remove(0), 0);
    EXPECT_EQ(controller.MoveDown(0), 1);
    EXPECT_EQ(controller.OK(), (std::vector<std::string>{"Music", "Photos"}));
    EXPECT_EQ(controller.Remove(1), 0);
    EXPECT_EQ(controller.Remove(0), -1);
    EXPECT_EQ(controller.FirstSelection(), -1);
    EXPECT_TRUE(controller.OK().empty());
}

TEST(MassDeleteQuestionTest, TheUserIsAskedWithNoAsDefaultAndTheSchedulerIsRefused) {
    FakeAppPrompt prompt;
    const std::string why = "150 of 151 Target files would be deleted, more than the 50% allowed";
    EXPECT_FALSE(AskMassDelete(prompt, true, why));
    EXPECT_TRUE(prompt.messages.shown.empty());

    EXPECT_FALSE(AskMassDelete(prompt, false, why));  // nothing answered: the default
    prompt.messages.answers.push_back(MessageAnswer::Yes);
    EXPECT_TRUE(AskMassDelete(prompt, false, why));
    ASSERT_EQ(prompt.messages.shown.size(), 2u);
    EXPECT_TRUE(IsMessage(prompt.messages.shown[1], kMassDeleteTitle,
                          why + ".\r\n\r\nDelete them all the same?", MessageIcon::Exclamation,
                          MessageButtons::YesNoDefaultNo));
}

}  // namespace
}  // namespace duvanto
