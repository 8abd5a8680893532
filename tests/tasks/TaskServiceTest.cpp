#include "tasks/TaskService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "TasksFixture.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

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

class TaskServiceTest : public TasksFixture {
protected:
    TaskServiceTest() { fs::create_directories(temp / "S"); }

    // A daily task, due at noon of the test's day, that the list marks as the next.
    void AddNightly() {
        app.CloneTasks.Add(Scheduled(Task("Nightly", "S/", {"T/"}), IntervalDays, kThursday + 0.5));
        app.CloneTasks.SetNextScheduledTask();
    }
    // The names as a fresh read of the saved file gives them.
    std::vector<std::string> SavedNames() {
        cCloneTasks saved(appPath, clock, app.Reporter, prompt);
        saved.TaskListFileSpec(listFile);
        EXPECT_TRUE(saved.ReadAllTasksFromFile(listFile, false));
        return TaskNames(saved);
    }
    TaskPropertiesInput Input(const std::vector<std::string>& targets) const {
        TaskPropertiesInput input;
        input.SourceText = temp / "S/";
        for (const std::string& target : targets) {
            input.Targets.push_back(temp / target);
        }
        return input;
    }

    std::string Support(const std::string& file) const {
        return app.CloneTasks.SupportFolder() + file;
    }

    std::string listFile = appPath + "Default Task List.dvt";
    int saves = 0;
    TaskService service{app, listFile, [this] { ++saves; }};
    RecordingFront front{window};
};

using NameList = std::vector<std::string>;

TEST_F(TaskServiceTest, AddWarnsOfMissingFoldersButRefusesATargetInsideTheSource) {
    fs::create_directories(temp / "T");
    const TaskEditResult added = service.Add("  Photos ", Input({"T/", "Later/"}));
    EXPECT_EQ(added.Status, TaskEditStatus::Done);
    EXPECT_EQ(added.Name, "Photos");
    ASSERT_EQ(added.Messages.size(), 1u) << "the missing Target is named, and kept";
    EXPECT_EQ(added.Messages[0].Title, "Problems with Target Folder");
    EXPECT_NE(added.Messages[0].Text.find(temp / "Later/"), std::string::npos);
    EXPECT_EQ(SavedNames(), NameList{"Photos"});

    const TaskEditResult taken = service.Add("PHOTOS", Input({"T/"}));
    EXPECT_EQ(taken.Status, TaskEditStatus::Refused);
    ASSERT_EQ(taken.Messages.size(), 1u);
    EXPECT_EQ(taken.Messages[0].Text, "A task with this name already exists.");

    const TaskEditResult inside = service.Add("Inside", Input({"Gone/", "S/sub/"}));
    EXPECT_EQ(inside.Status, TaskEditStatus::Refused);
    ASSERT_EQ(inside.Messages.size(), 3u) << "both warnings come before the refusal";
    EXPECT_EQ(inside.Messages[2].Title, "Invalid Target Folder");
    EXPECT_EQ(TaskNames(app.CloneTasks), NameList{"Photos"});
    EXPECT_EQ(saves, 1);
}

// Left behind, the lists would go to the next task given this name.
TEST_F(TaskServiceTest, RemoveEmptiesTheFileOfTheLastTaskAndDeletesItsLists) {
    ASSERT_EQ(service.Add("Only", Input({"T/"})).Status, TaskEditStatus::Done);
    const std::vector<std::string> lists = {appPath + "Only.dvi", Support("Only.dvi"),
                                            Support("Only.dve")};
    for (const std::string& file : lists) {
        WriteFile(file, "/old/list\r\n");
    }

    EXPECT_EQ(service.Remove("nobody").Status, TaskEditStatus::NoSuchTask);
    const TaskEditResult removed = service.Remove("ONLY");
    EXPECT_EQ(removed.Status, TaskEditStatus::Done);
    EXPECT_EQ(removed.Name, "Only");
    EXPECT_EQ(ReadFile(listFile), "") << "an empty list must not bring the task back";
    for (const std::string& file : lists) {
        EXPECT_FALSE(fs::exists(file)) << file;
    }
}

TEST_F(TaskServiceTest, RenameChecksTheNameAndKeepsThePlace) {
    for (const char* name : {"First", "Second", "Third"}) {
        app.CloneTasks.Add(Task(name, "S/", {"T/"}));
    }
    cCloneTask& second = *app.CloneTasks.Item("Second");
    second.AllFilesAndFolders(false);
    second.IncludeFileSpecs = {temp / "S/in/"};
    WriteFile(Support("Second.dvi"), temp / "S/in/");
    WriteFile(Support("Second.dve"), temp / "S/in/spam/");

    EXPECT_EQ(service.Rename("Ghost", "X").Status, TaskEditStatus::NoSuchTask);
    const TaskEditResult empty = service.Rename("Second", "   ");
    EXPECT_EQ(empty.Status, TaskEditStatus::Refused);
    EXPECT_TRUE(empty.Messages.empty()) << "an empty name drops the edit quietly";
    const TaskEditResult illegal = service.Rename("Second", "a/b");
    ASSERT_EQ(illegal.Messages.size(), 1u);
    EXPECT_EQ(illegal.Messages[0].Title, "Illegal Task Name");
    const TaskEditResult taken = service.Rename("Second", "third");
    ASSERT_EQ(taken.Messages.size(), 1u);
    EXPECT_EQ(taken.Messages[0].Title, "Rename Task");
    EXPECT_EQ(taken.Messages[0].Text, "Duplicate task name");
    EXPECT_EQ(saves, 0);

    EXPECT_EQ(service.Rename("second", " SECOND ").Status, TaskEditStatus::Done)
        << "a change of letter case alone is a rename";
    EXPECT_EQ(service.Rename("SECOND", "Middle").Name, "Middle");
    EXPECT_EQ(TaskNames(app.CloneTasks), (NameList{"First", "Middle", "Third"}));
    EXPECT_EQ(SavedNames(), (NameList{"First", "Middle", "Third"}));
    // Both lists go with the name: the include list with the save, the exclude list at once.
    EXPECT_EQ(ReadFile(Support("Middle.dvi")), temp / "S/in/");
    EXPECT_EQ(ReadFile(Support("Middle.dve")), temp / "S/in/spam/");
    EXPECT_FALSE(fs::exists(Support("Second.dvi")));
    EXPECT_FALSE(fs::exists(Support("Second.dve")));
    EXPECT_FALSE(fs::exists(Support("SECOND.dve")));
}

TEST_F(TaskServiceTest, DuplicateTakesTheFirstFreeCopyName) {
    cCloneTask original = Task("A", "S/", {"T/"});
    original.IntervalType = IntervalHours;
    original.IntervalIncrement = 3;
    original.ExcludeFileSpecs = temp / "S/tmp/";
    app.CloneTasks.Add(original);
    app.CloneTasks.Add(Task("Copy of A", "S/", {}));
    app.CloneTasks.Add(Task("copy of a (2)", "S/", {}));
    app.CloneTasks.Add(Task("Z", "S/", {}));

    const TaskEditResult copy = service.Duplicate("a");
    EXPECT_EQ(copy.Status, TaskEditStatus::Done);
    EXPECT_EQ(copy.Name, "Copy of A (3)");
    EXPECT_EQ(TaskNames(app.CloneTasks).back(), "Copy of A (3)");
    const cCloneTask& made = *app.CloneTasks.Item("Copy of A (3)");
    EXPECT_EQ(made.IntervalType, IntervalHours);
    EXPECT_EQ(made.IntervalIncrement, 3);
    EXPECT_EQ(made.TargetFolderSpec, original.TargetFolderSpec);
    EXPECT_EQ(SavedNames().size(), 5u);
    // The exclude list is only ever read from its file: the copy has one of its own.
    EXPECT_EQ(ReadFile(Support("Copy of A (3).dve")), temp / "S/tmp/");
    EXPECT_EQ(service.Duplicate("B").Status, TaskEditStatus::NoSuchTask);
}

TEST_F(TaskServiceTest, RunInOrderAppliesEachOutcomeAndStopsAtEscape) {
    fs::create_directories(temp / "T");
    for (const char* name : {"One", "Two", "Three"}) {
        app.CloneTasks.Add(Task(name, "S/", {"T/"}));
    }
    clock.now = kThursday + 1;

    const TasksRunResult result = service.RunInOrder({"Three", "Gone", "One"}, front);
    EXPECT_EQ(result.Ran, 2);
    EXPECT_FALSE(result.AnyFailed);
    EXPECT_TRUE(result.Saved);
    EXPECT_EQ(front.ended, (NameList{"Three", "One"}));
    EXPECT_NEAR(app.CloneTasks.Item("One")->LastCloneDateTime, kThursday + 1, 1.0 / 86400);
    EXPECT_EQ(app.CloneTasks.Item("Two")->LastCloneDateTime, 0.0);

    WriteFile(temp / "S/a.txt", "a");  // gives the run a pump at which Escape is pressed
    window.escapeAtPump = 1;
    const TasksRunResult stopped = service.RunInOrder({"Two", "One"}, front);
    EXPECT_TRUE(stopped.Stopped);
    EXPECT_EQ(stopped.Ran, 1);
    EXPECT_TRUE(stopped.Saved) << "what ran is saved";
    EXPECT_EQ(front.started, 3);
}

TEST_F(TaskServiceTest, DueRunsOnlyATaskThatIsDue) {
    AddNightly();

    EXPECT_EQ(service.RunDue(front).Ran, 0);
    EXPECT_EQ(saves, 0) << "nothing due, nothing saved";

    clock.now = kThursday + 0.6;
    const TasksRunResult result = service.RunDue(front);
    EXPECT_EQ(result.Ran, 1);
    EXPECT_TRUE(result.AnyFailed);
    EXPECT_TRUE(result.Saved);
    EXPECT_GT(app.CloneTasks.Item("Nightly")->NextCloneDateTime, kThursday + 0.6);
    EXPECT_EQ(LogLines()[1], "*Folder Path Error:  Problems processing the Target folder. ~/T/")
        << "the run counts as scheduled: its log names no reason";
}

TEST_F(TaskServiceTest, DueNowHoldsOffWhileTheProgramOrTheFrontEndIsBusy) {
    AddNightly();
    clock.now = kThursday + 0.6;
    SchedulerState state;

    app.Flags.CloneInProgress = true;
    EXPECT_NE(service.DueNow(state, {}).Action, SchedulerAction::RunTask);
    app.Flags.CloneInProgress = false;
    app.SchedulerPaused = true;
    EXPECT_NE(service.DueNow(state, {}).Action, SchedulerAction::RunTask);
    app.SchedulerPaused = false;
    SchedulerConditions reportBeingMade;
    reportBeingMade.RestoreInProgress = true;
    EXPECT_NE(service.DueNow(state, reportBeingMade).Action, SchedulerAction::RunTask);

    const SchedulerDecision due = service.DueNow(state, {});
    ASSERT_EQ(due.Action, SchedulerAction::RunTask);
    EXPECT_EQ(due.Task->TaskName, "Nightly");
}

TEST_F(TaskServiceTest, ARunInTwoHalvesMarksItselfAndSavesItsOutcome) {
    app.CloneTasks.Add(Task("Photos", "S/", {"T/"}));
    EXPECT_FALSE(service.PrepareRun("Ghost", false));
    EXPECT_FALSE(app.Flags.CloneInProgress) << "nothing reserved for a task not listed";

    const std::optional<TaskRunRequest> request = service.PrepareRun("photos", true);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Task.TaskName, "Photos");
    EXPECT_TRUE(request->Scheduled);
    EXPECT_TRUE(app.Flags.CloneInProgress) << "no second run may start before this one";

    TaskRunOutcome outcome;
    outcome.TaskName = "Photos";
    outcome.LastCloneDateTime = kThursday;
    outcome.ErrorOnLastClone = true;
    EXPECT_TRUE(service.ApplyRunOutcome(outcome));
    EXPECT_EQ(saves, 1);
    cCloneTasks saved(appPath, clock, app.Reporter, prompt);
    ASSERT_TRUE(saved.ReadAllTasksFromFile(listFile, false));
    ASSERT_NE(saved.Item("Photos"), nullptr);
    EXPECT_TRUE(saved.Item("Photos")->ErrorOnLastClone);
    EXPECT_NEAR(saved.Item("Photos")->LastCloneDateTime, kThursday, 1.0 / 86400);
}

TEST_F(TaskServiceTest, WorkRunsOnAThreadOfItsOwnAndIsWaitedFor) {
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
