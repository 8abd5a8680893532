// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/CloneTask.h"
#include "tasks/TaskRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TasksFixture.h"
#include "engine/FolderCheck.h"
#include "support/Checks.h"
#include "tasks/TaskDates.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

TEST(CloneTaskProperties, DayBitsAndTheWholeSourceSwitch) {
    cCloneTask task;
    EXPECT_TRUE(task.AllFilesAndFolders());
    task.DaysOfWeek = 64;
    EXPECT_TRUE(task.RunOnThisDayOfWeek(6));
    EXPECT_FALSE(task.RunOnThisDayOfWeek(5));
    task.DaysOfWeek = 63;
    EXPECT_FALSE(task.RunOnThisDayOfWeek(6));
    EXPECT_TRUE(task.RunOnThisDayOfWeek(0));
    EXPECT_FALSE(task.RunOnThisDayOfWeek(-1));
    EXPECT_FALSE(task.RunOnThisDayOfWeek(40));

    // Switching to the whole Source drops the selection and its masks for good.
    task.AllFilesAndFolders(false);
    task.IncludeFileSpecs = {"/s/a", "/s/b/"};
    task.IncludeFileMasks = "*.txt";
    task.AllFilesAndFolders(false);
    EXPECT_EQ(task.IncludeFileSpecs, (std::vector<std::string>{"/s/a", "/s/b/"}));
    task.AllFilesAndFolders(true);
    task.AllFilesAndFolders(false);
    EXPECT_TRUE(task.IncludeFileSpecs.empty());
    EXPECT_EQ(task.IncludeFileMasks, "");
}

// The wildcard rules are the wildcard tests' own; here letter case counts and an empty name
// matches nothing.
TEST(CloneTaskPatterns, MatchWithLetterCaseCounting) {
    cCloneTask task;
    const std::vector<std::string> patterns = {"report.txt", "[a-c]*.log", "*.t*t"};
    EXPECT_TRUE(task.FileMatchesPatternInCollection("report.txt", patterns));
    EXPECT_FALSE(task.FileMatchesPatternInCollection("REPORT.TXT", patterns));
    EXPECT_TRUE(task.FileMatchesPatternInCollection("b-side.log", patterns));
    EXPECT_FALSE(task.FileMatchesPatternInCollection("B-side.log", patterns));
    EXPECT_TRUE(task.FileMatchesPatternInCollection("notes.text", patterns));
    EXPECT_FALSE(task.FileMatchesPatternInCollection("notes.TEXT", patterns));
    EXPECT_FALSE(task.FileMatchesPatternInCollection("", {"*", ""}));
}

class ExecuteTest : public TasksFixture {
protected:
    // The three steps as a front end takes them: the request, the run, the outcome applied.
    TaskRunOutcome RunTask(const cCloneTask& task) {
        const TaskRunRequest request = MakeTaskRunRequest(app, task);
        const TaskRunOutcome outcome = ExecuteTaskRun(app, request, window);
        ApplyTaskRunOutcome(app.CloneTasks, outcome);
        return outcome;
    }
};

TEST_F(ExecuteTest, TwoTargetsOfWhichTheFirstIsMissing) {
    WriteTree(temp.Path(), {"S/a.txt=a", "T2/"});
    app.CloneTasks.Add(Task("Pair", "S/", {"T1/", "T2/"}));

    const TaskRunOutcome outcome = RunTask(*app.CloneTasks.Item("Pair"));

    EXPECT_TRUE(outcome.ErrorOnLastClone);
    EXPECT_FALSE(outcome.Cancelled);
    EXPECT_EQ(outcome.StatusText, "Clone Complete with Errors - Pair");
    EXPECT_TRUE(app.CloneTasks.Item("Pair")->ErrorOnLastClone) << "applied to the listed task";
    EXPECT_EQ(ReadFile(temp / "T2/a.txt"), "a");
    EXPECT_FALSE(fs::exists(temp / "T1"));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "<Begin: Pair>",
                              "*Folder Path Error:  Problems processing the Target folder.An "
                              "error occurred while processing \"~/T1/\".  Make sure that the "
                              "folder exists and that you have permission to access it. ~/T1/",
                              "- Copied: a.txt from ~/S/ to ~/T2/",
                              "<End: Pair> {All Activity Logged}",
                              "",
                          }));
    EXPECT_EQ(window.Panel(1), "Clone Complete with Errors - Pair");
    EXPECT_EQ(TaskRowImage(*app.CloneTasks.Item("Pair")), ImageSheepFolderError);
}

TEST_F(ExecuteTest, AnEmptyTargetListRunsNothingAndSucceeds) {
    fs::create_directories(temp / "S");
    cCloneTask task = Task("Empty", "S/", {});
    ASSERT_EQ(task.TargetFolderSpec, "");
    task.ErrorOnLastClone = true;
    app.CloneTasks.Add(task);

    EXPECT_FALSE(RunTask(task).ErrorOnLastClone);

    EXPECT_FALSE(app.CloneTasks.Item("Empty")->ErrorOnLastClone) << "the old error is cleared";
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"<Begin: Empty>",
                                                    "<End: Empty> {All Activity Logged}", ""}));
    EXPECT_EQ(window.pumps, 0);
}

TEST_F(ExecuteTest, TheWindowShowsTheRunFromBeginToEnd) {
    WriteTree(temp.Path(), {"S/", "T/"});
    cCloneTask task = Task("Steps", "S/", {"T/"});
    bool priorityApplied = false;
    app.SetPriorityBasedOnRules = [&] {
        priorityApplied = true;
        EXPECT_TRUE(app.Flags.CloneInProgress);
        EXPECT_TRUE(window.journal.empty()) << "the rules come before the window changes";
    };

    RunTask(task);

    EXPECT_TRUE(priorityApplied);
    ASSERT_GE(window.journal.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(window.journal.begin(), window.journal.begin() + 3),
              (std::vector<std::string>{"started:Steps", "animation:on",
                                        "panel1:Clone in Progress. Press ESC to Cancel..."}));
    std::vector<std::string> tail(window.journal.end() - 5, window.journal.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"panel1:Cleaning up... ", "ended", "animation:off",
                                              "panel1:Clone Complete - Steps", "panel2:"}));
    EXPECT_FALSE(app.Flags.CloneInProgress);
}

TEST_F(ExecuteTest, AMissingSourceTouchesNoTarget) {
    WriteFile(temp / "T/keep.txt", "k");
    cCloneTask task = Task("NoSource", "S/", {"T/"});

    RunTask(task);

    EXPECT_TRUE(fs::exists(temp / "T/keep.txt"));
    EXPECT_EQ(LogLines()[1],
              "*Folder Path Error:  Problems processing the Source folder.An error occurred "
              "while processing \"~/S/\".  Make sure that the folder exists and that you have "
              "permission to access it. ~/S/");
    EXPECT_TRUE(prompt.shown.empty()) << "a run shows no message box for a folder";

    // A scheduled run logs the failure without the reason.
    app.RunningScheduledTask = true;
    RunTask(task);
    EXPECT_EQ(LogLines()[5], "*Folder Path Error:  Problems processing the Source folder. ~/S/");
    EXPECT_FALSE(app.RunningScheduledTask) << "cleared at the end of the run";
}

// Which Targets lie inside, around or on the Source is CheckSourceTargetApartTest's.
TEST_F(ExecuteTest, ATargetInsideTheSourceIsRefused) {
    WriteTree(temp.Path(), {"S/a.txt=a", "S/inner/"});
    cCloneTask task = Task("Nested", "S/", {"S/inner/"});
    app.RunningScheduledTask = true;

    const TaskRunOutcome outcome = RunTask(task);

    EXPECT_FALSE(fs::exists(temp / "S/inner/a.txt"));
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1],
              "*Folder Path Error:  Problems processing the Target folder.The Target folder "
              "\"~/S/inner/\" lies inside the Source folder \"~/S/\". A folder cannot be cloned "
              "into itself. ~/S/inner/");
    EXPECT_TRUE(outcome.ErrorOnLastClone);
}

TEST_F(ExecuteTest, EscapeSkipsTheRemainingTargets) {
    WriteTree(temp.Path(), {"S/a.txt=a", "T1/", "T2/"});
    cCloneTask task = Task("Stop", "S/", {"T1/", "T2/"});
    window.escapeAtPump = 1;

    const TaskRunOutcome cancelled = RunTask(task);
    EXPECT_TRUE(cancelled.ErrorOnLastClone);
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(cancelled.StatusText, "Clone Cancelled By User - Stop");

    EXPECT_FALSE(fs::exists(temp / "T1/a.txt"));
    EXPECT_FALSE(fs::exists(temp / "T2/a.txt"));
    EXPECT_EQ(window.Panel(1), "Clone Cancelled By User - Stop");
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "*User Cancelled Error: ");

    // The next run starts with the flags cleared.
    window.escapeAtPump = 0;
    EXPECT_FALSE(RunTask(task).ErrorOnLastClone);
    EXPECT_EQ(ReadFile(temp / "T2/a.txt"), "a");
}

TEST_F(ExecuteTest, SelectedItemsGoToTheEngine) {
    WriteTree(temp.Path(), {"S/take.txt=t", "S/leave.txt=l", "T/"});
    cCloneTask task = Task("Some", "S", {"T"});  // hand-written without the final "/"
    task.AllFilesAndFolders(false);
    task.IncludeFileSpecs = {temp / "S/take.txt"};

    EXPECT_FALSE(RunTask(task).ErrorOnLastClone);

    EXPECT_EQ(ReadTree(temp / "T/"), Tree{"take.txt=t"});
}

TEST_F(ExecuteTest, AManualTaskKeepsItsNextRunAndShowsManual) {
    WriteTree(temp.Path(), {"S/", "T/"});
    app.CloneTasks.Add(Task("Hand", "S/", {"T/"}));
    cCloneTask* task = app.CloneTasks.Item("Hand");
    task->NextCloneDateTime = 1234.5;
    clock.now = kThursday + 0.3 / 86400;  // a fraction of a second is dropped

    const TaskRunOutcome outcome = RunTask(*task);

    EXPECT_FALSE(outcome.NextChanged);
    EXPECT_EQ(task->NextCloneDateTime, 1234.5);
    EXPECT_EQ(task->LastCloneDateTime, WholeSecond(kThursday));
    EXPECT_EQ(task->ListviewSubItems(),
              (std::vector<std::string>{temp / "S/", temp / "T/", "Manual", "12/4/2003 4:38:16 PM",
                                        "", "200312041638"}));
}

TEST_F(ExecuteTest, AScheduledRunComputesItsNextTimeAndMarksTheNextTask) {
    WriteTree(temp.Path(), {"S/", "T/"});
    app.CloneTasks.Add(Scheduled(Task("Later", "S/", {"T/"}), IntervalDays, kThursday + 1));
    cCloneTask often = Scheduled(Task("Often", "S/", {"T/"}), IntervalMinutes, kThursday + 2);
    often.IntervalIncrement = 5;
    app.CloneTasks.Add(often);
    app.CloneTasks.SetNextScheduledTask();
    ASSERT_EQ(app.CloneTasks.NextScheduledTask()->TaskName, "Later");

    // The run works on its copy; only applying the outcome changes the list.
    const TaskRunRequest request = MakeTaskRunRequest(app, *app.CloneTasks.Item("often"));
    const TaskRunOutcome outcome = ExecuteTaskRun(app, request, window);
    EXPECT_EQ(app.CloneTasks.Item("Often")->LastCloneDateTime, 0.0);
    EXPECT_EQ(app.CloneTasks.NextScheduledTask()->TaskName, "Later");
    EXPECT_TRUE(outcome.NextChanged);
    EXPECT_TRUE(ApplyTaskRunOutcome(app.CloneTasks, outcome));

    const cCloneTask* listed = app.CloneTasks.Item("Often");
    EXPECT_EQ(listed->LastCloneDateTime, WholeSecond(kThursday));
    EXPECT_EQ(listed->NextCloneDateTime, At(2003, 12, 4, 16, 43, 16));
    EXPECT_EQ(app.CloneTasks.NextScheduledTask()->TaskName, "Often");
}

TEST_F(ExecuteTest, AnOutcomeForATaskNoLongerListedChangesNothing) {
    fs::create_directories(temp / "S");
    app.CloneTasks.Add(Task("Gone", "S/", {}));
    const TaskRunRequest request = MakeTaskRunRequest(app, *app.CloneTasks.Item("Gone"));
    app.CloneTasks.Remove(*app.CloneTasks.Item("Gone"));
    app.CloneTasks.Add(Task("Other", "S/", {}));

    EXPECT_FALSE(ApplyTaskRunOutcome(app.CloneTasks, ExecuteTaskRun(app, request, window)));
    EXPECT_EQ(app.CloneTasks.Item("Other")->LastCloneDateTime, 0.0);
}

TEST_F(ExecuteTest, TheRunKeepsTheSettingsItStartedWith) {
    WriteTree(temp.Path(), {"S/a.txt=a", "T/orphan.txt=o"});
    cCloneTask task = Task("Kept", "S/", {"T/"});
    app.Settings.DeleteMethod = DeleteMethodType::DoNotDelete;
    const TaskRunRequest request = MakeTaskRunRequest(app, task);
    // The options change while the run waits to start (a menu on the window's thread).
    app.Settings.DeleteMethod = DeleteMethodType::RegularDelete;

    ExecuteTaskRun(app, request, window);

    EXPECT_EQ(ReadTree(temp / "T/"), (Tree{"a.txt=a", "orphan.txt=o"}));
}

TEST_F(ExecuteTest, ProgressCountsFilesAndBytesOfThePlan) {
    WriteTree(temp.Path(), {"S/one.txt=12345", "S/two.txt=123", "T/orphan.txt=o"});

    RunTask(Task("Counted", "S/", {"T/"}));

    ASSERT_FALSE(window.progresses.empty());
    // Performing starts at nothing done of three file operations (of three operations) and
    // eight bytes.
    const auto start = std::find(window.progresses.begin(), window.progresses.end(),
                                 RunProgress{0, 3, 0, 8, 0, 3});
    ASSERT_NE(start, window.progresses.end());
    EXPECT_EQ(window.progresses.back(), (RunProgress{3, 3, 8, 8, 3, 3}));
}

TEST_F(ExecuteTest, TheConfirmationListIsThePlanAndSkipsWhatIsStruckOut) {
    WriteTree(temp.Path(), {"S/keep.txt=k", "S/skip.txt=s", "T/"});
    app.Settings.ConfirmSyncActions = true;
    window.skip = {false, true};

    RunTask(Task("Asked", "S/", {"T/"}));

    ASSERT_EQ(window.confirmed.size(), 2u);
    // The operations come in the walk's order; the second one is struck out.
    const FileOp& kept = window.confirmed[0];
    const FileOp& skipped = window.confirmed[1];
    EXPECT_EQ(kept.Operation, CopyFile);
    EXPECT_EQ(skipped.SourceFolder, temp / "S/");
    EXPECT_EQ(skipped.TargetFolder, temp / "T/");
    EXPECT_TRUE(fs::exists(temp / "T/" + kept.FileName));
    EXPECT_FALSE(fs::exists(temp / "T/" + skipped.FileName));
}

class RemovableDriveTest : public ExecuteTest {
protected:
    RemovableDriveTest() {
        // An unplugged stick: its mount point is listed, its folder is there, nothing is
        // mounted on it.
        stick = temp / "media/anna/STICK/";
        fs::create_directories(stick);
        WriteFile(app.Drives.fstab, "/dev/sdz1 " + stick + " vfat noauto,user 0 0\n");
        fs::create_directories(temp / "S");
    }
    // A reason as a log line holds it: line breaks as two blanks, paths shortened.
    std::string LogText(const std::string& text) const {
        return Short(ReplaceString(text, "\r\n", "  "));
    }
    std::string stick;
};

// A scheduled task falls due while the stick is unplugged: it waits for it, and says so.
TEST_F(RemovableDriveTest, ADueTaskWaitsForItsDriveWhileTheOptionIsOn) {
    cCloneTask task = Task("Stick", "S/", {"media/anna/STICK/backup/"});
    task.IntervalType = IntervalHours;
    task.IntervalIncrement = 1;
    const std::string drive = stick.substr(0, stick.size() - 1);
    EXPECT_EQ(task.DriveAway(app), drive);
    task.NextCloneDateTime = clock.Now() - 1.0 / 24;
    EXPECT_EQ(task.WaitingForDrive(app), drive);
    EXPECT_EQ(task.ListviewSubItems(task.WaitingForDrive(app))[2], "Waiting for " + drive);

    // Not due yet, manual, or the option off: no waiting.
    task.NextCloneDateTime = clock.Now() + 1.0 / 24;
    EXPECT_EQ(task.WaitingForDrive(app), "");
    task.NextCloneDateTime = clock.Now();
    task.IntervalType = IntervalManual;
    EXPECT_EQ(task.WaitingForDrive(app), "");
    EXPECT_EQ(task.ListviewSubItems(drive)[2], "Manual");
    task.IntervalType = IntervalHours;
    app.WaitForDrives = false;
    EXPECT_EQ(task.WaitingForDrive(app), "");
    app.WaitForDrives = true;

    // Plugged in: mounted on its listed point.
    WriteFile(app.Drives.mountInfo,
              "1 0 8:1 / / rw - ext4 /dev/root rw\n"
              "2 1 8:33 / " +
                  drive + " rw - vfat /dev/sdz1 rw\n");
    EXPECT_EQ(task.DriveAway(app), "");
    EXPECT_EQ(task.WaitingForDrive(app), "");
}

TEST_F(RemovableDriveTest, RetryAsksAgainAndCancelGivesUp) {
    app.PromptToInsertRemovableDrive = true;
    cCloneTask task = Task("Stick", "S/", {"media/anna/STICK/backup/"});
    prompt.answers = {MessageAnswer::Retry, MessageAnswer::Cancel};
    std::string reason = "old";

    EXPECT_EQ(task.ValidateFolder(app, stick + "backup/", "Target", true, reason, true, false), 3);

    EXPECT_EQ(reason, GetInvalidPathErrorMsg(3, stick + "backup/", 0));
    const ShownMessage notReady{
        "Problem Accessing Target Folder",
        "Drive \"" + stick + "\" is not ready.\r\nPlease insert/connect the Removable drive.",
        MessageIcon::Exclamation, MessageButtons::RetryCancel};
    EXPECT_EQ(prompt.shown, (std::vector<ShownMessage>{notReady, notReady}));

    // A run logs the drive that was not connected and goes on.
    prompt.answers = {MessageAnswer::Cancel};
    RunTask(task);
    EXPECT_EQ(LogLines()[1], "*Folder Path Error:  Problems processing the Target folder." +
                                 LogText(GetInvalidPathErrorMsg(3, stick + "backup/", 0)) + " " +
                                 Short(stick) + "backup/");
}

// The desktop removes the media folder of a drive it unmounts: a Target in one that is gone is
// on a removable drive that is not ready, and the user is asked to connect it.
TEST_F(RemovableDriveTest, AStickWhoseMediaFolderIsGoneIsAskedFor) {
    const std::string gone = temp / "media/anna/GONE/";
    app.PromptToInsertRemovableDrive = true;
    prompt.answers = {MessageAnswer::Cancel};
    RunTask(Task("Gone", "S/", {"media/anna/GONE/backup/"}));

    const ShownMessage notReady{
        "Problem Accessing Target Folder",
        "Drive \"" + gone + "\" is not ready.\r\nPlease insert/connect the Removable drive.",
        MessageIcon::Exclamation, MessageButtons::RetryCancel};
    EXPECT_EQ(prompt.shown, std::vector<ShownMessage>{notReady});
    const std::string drive = LogText(GetInvalidPathErrorMsg(3, gone + "backup/", 0));
    EXPECT_EQ(LogLines()[1], "*Folder Path Error:  Problems processing the Target folder." + drive +
                                 " " + Short(gone) + "backup/");

    // With the option off the log tells the same, and nobody is asked.
    app.PromptToInsertRemovableDrive = false;
    RunTask(Task("Gone", "S/", {"media/anna/GONE/backup/"}));
    EXPECT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(LogLines().back().find("Error Number"), std::string::npos);
}

TEST_F(RemovableDriveTest, WithTheOptionOffTheDriveIsJustNotReady) {
    cCloneTask task = Task("Stick", "S/", {"media/anna/STICK/"});
    std::string reason;
    EXPECT_EQ(task.ValidateFolder(app, stick, "Target", false, reason, false, false), 3);
    EXPECT_EQ(reason, GetInvalidPathErrorMsg(3, stick, 0));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Invalid Target Folder");
    EXPECT_EQ(prompt.shown[0].buttons, MessageButtons::OK);
}

}  // namespace
}  // namespace duvanto::test
