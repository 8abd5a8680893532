// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/RunQueue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "SessionFixture.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

using NameList = std::vector<std::string>;

// A caller that waits for each run, as the runner does, noting which runs ended.
class RecordingFront : public IBlockingRunFront {
public:
    explicit RecordingFront(RecordingWindow& window) : m_window(window) {}
    IRunHost& RunStarting() override {
        ++started;
        return m_window;
    }
    void RunEnded(const TaskRunOutcome* outcome) override {
        ended.push_back(outcome == nullptr ? "(work)" : outcome->TaskName);
    }

    int started = 0;
    std::vector<std::string> ended;

private:
    RecordingWindow& m_window;
};

class RunQueueTest : public SessionFixture {
protected:
    RunQueueTest() {
        tasks.OnSaved([this] { ++saves; });
    }

    // A daily task, due at noon of the test's day, that the list marks as the next.
    void AddNightly() {
        cCloneTask nightly = Task("Nightly");
        nightly.IntervalType = IntervalDays;
        nightly.NextCloneDateTime = kThursday + 0.5;
        app.CloneTasks.Add(nightly);
        app.CloneTasks.SetNextScheduledTask();
    }
    void AddThree() {
        fs::create_directories(temp / "T");
        for (const char* name : {"One", "Two", "Three"}) {
            app.CloneTasks.Add(Task(name));
        }
    }
    // The window's way: each run prepared, executed on the caller's thread, finished, until
    // the order has no name left.
    NameList DriveOrder(int escapeAtRun) {
        NameList ran;
        while (const std::optional<std::string> name = runs.NextInOrder()) {
            const std::optional<TaskRunRequest> request = runs.Prepare(*name, false);
            EXPECT_TRUE(request);
            if (!request) {
                break;
            }
            TaskRunOutcome outcome = runs.Execute(*request, window);
            ran.push_back(outcome.TaskName);
            if (static_cast<int>(ran.size()) == escapeAtRun) {
                app.Flags.EscPressed = true;  // pressed as the run ends
            }
            runs.Finish(outcome);
        }
        return ran;
    }

    int saves = 0;
    RecordingFront front{window};
};

// Both programs drive the same queue: the window a run at a time from its event loop, the
// runner waiting for each. Names gone from the list are passed over in both.
TEST_F(RunQueueTest, AnOrderRunsOneAfterAnotherSkippingNamesNoLongerListed) {
    AddThree();
    clock.now = kThursday + 1;

    runs.Enqueue({"Three", "Gone", "One"});
    EXPECT_EQ(DriveOrder(0), (NameList{"Three", "One"}));
    EXPECT_EQ(saves, 2) << "each outcome is saved as it is applied";

    const TasksRunResult result = runs.RunInOrder({"Three", "Gone", "One"}, front);
    EXPECT_EQ(result.Ran, 2);
    EXPECT_FALSE(result.AnyFailed);
    EXPECT_FALSE(result.Stopped);
    EXPECT_TRUE(result.Saved);
    EXPECT_EQ(front.ended, (NameList{"Three", "One"}));

    runs.Enqueue({"One", "Two"});
    runs.Enqueue({"Three"});
    EXPECT_EQ(runs.Order(), std::deque<std::string>{"Three"})
        << "a new order replaces one left over";
}

// The one rule for both programs: a run the user cancelled, or that the session's end
// stopped, runs no further task of its order.
TEST_F(RunQueueTest, ARunCancelledOrEndedWithTheSessionStopsTheRestOfTheOrder) {
    AddThree();
    runs.Enqueue({"One", "Two", "Three"});
    EXPECT_EQ(DriveOrder(1), NameList{"One"}) << "the window's order after Escape";

    app.Flags.EscPressed = false;
    WriteFile(temp / "S/a.txt", "a");  // gives the run a pump at which Escape is pressed
    window.escapeAtPump = 1;
    const TasksRunResult stopped = runs.RunInOrder({"Two", "One"}, front);
    EXPECT_TRUE(stopped.Stopped);
    EXPECT_EQ(stopped.Ran, 1);
    EXPECT_TRUE(stopped.Saved) << "what ran is saved";

    window.escapeAtPump = 0;
    app.Flags.EscPressed = false;
    runs.Enqueue({"One", "Two"});
    ASSERT_EQ(runs.NextInOrder(), "One");
    app.Flags.SessionEnding = true;
    TaskRunOutcome outcome;
    outcome.TaskName = "One";
    runs.Finish(outcome);
    EXPECT_TRUE(runs.Order().empty());
}

TEST_F(RunQueueTest, DueRunsOnlyATaskThatIsDue) {
    AddNightly();

    EXPECT_EQ(runs.RunDue(front).Ran, 0);
    EXPECT_EQ(saves, 0) << "nothing due, nothing saved";

    clock.now = kThursday + 0.6;
    const TasksRunResult result = runs.RunDue(front);
    EXPECT_EQ(result.Ran, 1);
    EXPECT_TRUE(result.AnyFailed);
    EXPECT_TRUE(result.Saved);
    EXPECT_GT(app.CloneTasks.Item("Nightly")->NextCloneDateTime, kThursday + 0.6);
    EXPECT_EQ(LogLines()[1], "*Folder Path Error:  Problems processing the Target folder. ~/T/")
        << "the run counts as scheduled: its log names no reason";
}

// A task run on connection runs once for each mounting of its drive, whichever process looks:
// the program folder keeps what it ran for, and a drive seen away is forgotten, so that the
// next mounting runs it even when the kernel gives it the same mount ID.
TEST_F(RunQueueTest, ATaskRunsOncePerMountingOfItsDrive) {
    const std::string stick = temp / "media/anna/STICK";
    fs::create_directories(stick);
    WriteFile(app.Drives.fstab, "/dev/sdz1 " + stick + " vfat noauto,user 0 0\n");
    for (const char* name : {"Photos", "Papers"}) {
        cCloneTask task = Task(name, {"media/anna/STICK/" + std::string(name) + "/"});
        task.IntervalType = IntervalOnConnect;
        app.CloneTasks.Add(task);
    }
    const std::string root = "1 0 8:1 / / rw - ext4 /dev/root rw\n";
    const std::string mounted = root + "52 1 8:33 / " + stick + " rw - vfat /dev/sdz1 rw\n";
    const std::string records = appPath + RunQueue::kConnectedRunsFile;
    bool notRunMessage = false;

    EXPECT_EQ(runs.RunDue(front).Ran, 0) << "a drive that never comes runs nothing";
    EXPECT_FALSE(fs::exists(records));

    WriteFile(app.Drives.mountInfo, mounted);
    const SchedulerDecision first = runs.Tick({}, notRunMessage);
    ASSERT_EQ(first.Action, SchedulerAction::RunTask);
    EXPECT_EQ(first.Task->TaskName, "Photos");
    EXPECT_EQ(ReadFile(records), "b00t/52/8:33\t" + listFile + "\tPhotos\n")
        << "recorded when chosen: a run that fails is not repeated every minute";
    const TasksRunResult second = runs.RunDue(front);
    EXPECT_EQ(second.Ran, 1);
    EXPECT_EQ(front.ended, NameList{"Papers"}) << "two tasks on one drive: each once";
    EXPECT_EQ(runs.RunDue(front).Ran, 0);
    {
        RunQueue nextProcess(app, tasks);
        EXPECT_EQ(nextProcess.RunDue(front).Ran, 0) << "another process knows the mounting";
    }

    WriteFile(app.Drives.mountInfo, root);
    EXPECT_EQ(runs.RunDue(front).Ran, 0);
    EXPECT_EQ(ReadFile(records), "") << "the drive went: its mounting is forgotten";
    WriteFile(app.Drives.mountInfo, mounted);
    EXPECT_EQ(runs.RunDue(front).Ran, 1) << "the same mount ID, but mounted anew";
    EXPECT_EQ(front.ended, (NameList{"Papers", "Photos"}));
    EXPECT_EQ(app.CloneTasks.Item("Photos")->NextCloneDateTime, 0.0) << "no due time is set";
}

TEST_F(RunQueueTest, TheTickHoldsOffWhileTheProgramOrTheFrontEndIsBusy) {
    AddNightly();
    clock.now = kThursday + 0.6;
    bool notRunMessage = true;

    app.Flags.CloneInProgress = true;
    EXPECT_NE(runs.Tick({}, notRunMessage).Action, SchedulerAction::RunTask);
    app.Flags.CloneInProgress = false;
    app.SchedulerPaused = true;
    EXPECT_NE(runs.Tick({}, notRunMessage).Action, SchedulerAction::RunTask);
    app.SchedulerPaused = false;

    SchedulerConditions windowOpen;
    windowOpen.MainWindowVisible = true;
    EXPECT_EQ(runs.Tick(windowOpen, notRunMessage).Action, SchedulerAction::ShowNotRunMessage);
    EXPECT_FALSE(notRunMessage) << "the message is shown once";
    EXPECT_EQ(runs.Tick(windowOpen, notRunMessage).Action, SchedulerAction::SetStatusText);

    const SchedulerDecision due = runs.Tick({}, notRunMessage);
    ASSERT_EQ(due.Action, SchedulerAction::RunTask);
    EXPECT_EQ(due.Task->TaskName, "Nightly");
}

TEST_F(RunQueueTest, ARunInTwoHalvesMarksItselfAndSavesItsOutcome) {
    app.CloneTasks.Add(Task("Photos"));
    EXPECT_FALSE(runs.Prepare("Ghost", false));
    EXPECT_FALSE(runs.Busy()) << "nothing reserved for a task not listed";
    app.RestoreInProgress = true;
    EXPECT_FALSE(runs.Prepare("Photos", true)) << "the restore works in the Targets";
    app.RestoreInProgress = false;
    app.Flags.SessionEnding = true;
    EXPECT_FALSE(runs.Prepare("Photos", true));
    app.Flags.SessionEnding = false;
    EXPECT_FALSE(runs.Busy());

    const std::optional<TaskRunRequest> request = runs.Prepare("photos", true);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Task.TaskName, "Photos");
    EXPECT_TRUE(request->Scheduled);
    EXPECT_TRUE(runs.Busy());
    EXPECT_FALSE(runs.Prepare("Photos", false)) << "no second run may start before this one";

    TaskRunOutcome outcome;
    outcome.TaskName = "Photos";
    outcome.LastCloneDateTime = kThursday;
    outcome.ErrorOnLastClone = true;
    EXPECT_TRUE(runs.Finish(outcome));
    EXPECT_EQ(saves, 1);
    cCloneTasks saved(appPath, clock, app.Reporter, prompt, fileSystem);
    ASSERT_TRUE(saved.ReadAllTasksFromFile(listFile, false));
    ASSERT_NE(saved.Item("Photos"), nullptr);
    EXPECT_TRUE(saved.Item("Photos")->ErrorOnLastClone);
    EXPECT_NEAR(saved.Item("Photos")->LastCloneDateTime, kThursday, 1.0 / 86400);
}

TEST_F(RunQueueTest, WorkRunsOnAThreadOfItsOwnAndIsWaitedFor) {
    std::thread::id worker;
    bool hostGiven = false;
    RunOnItsOwnThread(front, [&](IRunHost& host) {
        worker = std::this_thread::get_id();
        hostGiven = &host == &window;
    });
    EXPECT_NE(worker, std::thread::id());
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_TRUE(hostGiven);
    EXPECT_EQ(front.ended, NameList{"(work)"});
}

}  // namespace
}  // namespace duvanto::test
