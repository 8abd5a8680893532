// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/TaskEditCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/logic/MessageCheck.h"
#include "app/mainwindow/MainCommands.h"
#include "app/support/MainWindowWorld.h"
#include "util/FileUtilities.h"

namespace duvanto {
namespace {

using test::AskedQuestion;
using test::IsMessage;
using test::kWorldNow;
using test::MainWindowWorld;
using test::MakeTask;

// The window as the commands see it: a selection, the properties window answered in advance
// (its edit applied to the task on OK), and what it was told.
class FakeEditView : public ITaskEditView {
public:
    std::string SelectedTaskName() const override { return selected; }
    void RefreshTaskRows(const std::string& select) override {
        if (!select.empty()) {
            selected = select;
        }
    }
    void BeginRename(const std::string& name) override { editing = name; }
    PropertiesEditResult EditTaskProperties(cCloneTask& task) override {
        edited.push_back(task.TaskName);
        if (!dialogResult.cancelled && edit) {
            edit(task);
        }
        return dialogResult;
    }
    void SetTaskListName(const std::string& name) override { listName = name; }
    void RefreshTrayIcon() override { ++trayRefreshes; }
    void ShowLoadProblems() override { ++loadProblemShows; }

    std::string selected;
    std::string editing;
    std::string listName;
    std::vector<std::string> edited;
    PropertiesEditResult dialogResult{false, true};
    std::function<void(cCloneTask&)> edit;
    int trayRefreshes = 0;
    int loadProblemShows = 0;
};

std::vector<std::string> NamesOf(const cCloneTasks& list) {
    std::vector<std::string> names;
    for (int32_t i = 1; i <= list.Count(); ++i) {
        names.push_back(list.Item(i)->TaskName);
    }
    return names;
}

struct Editing {
    explicit Editing(const std::vector<cCloneTask>& tasks = {}) {
        if (!tasks.empty()) {
            world.SaveTasks(tasks);
        }
        world.LoadedTasks();
    }
    // The names in the list file as a fresh reader finds them.
    std::vector<std::string> NamesInFile(const std::string& file = "") {
        test::FixedClock clock{kWorldNow};
        test::RecordingPrompt prompt;
        ErrorReporter reporter(world.home.Path(), prompt, clock, world.fileSystem);
        cCloneTasks list(world.home.Path(), clock, reporter, prompt, world.fileSystem);
        const std::string spec = file.empty() ? DefaultTaskListFileSpec(world.home.Path()) : file;
        list.TaskListFileSpec(spec);
        list.ReadAllTasksFromFile(spec, false);
        return NamesOf(list);
    }
    std::vector<std::string> Names() { return NamesOf(tasks()); }
    cCloneTasks& tasks() { return world.App().CloneTasks; }
    const test::ShownMessage& Last() { return world.prompt.messages.shown.back(); }

    MainWindowWorld world;
    FakeEditView view;
    TaskEditCommands commands{world.Started().Tasks(), world.Options(),     world.prompt,
                              world.App().Flags,       world.App().AppPath, view};
};

TEST(TaskEditCommandsTest, NewTaskRefusesBadNamesBeforeTheDialogAndAddsOnlyWhenConfirmed) {
    Editing e({MakeTask("Photos")});
    e.world.prompt.answers = {"   ", "Mail/Work", " photos ", std::nullopt, "  Mail  ", "Mail"};
    for (int i = 0; i < 4; ++i) {
        e.commands.NewTask();
    }
    EXPECT_EQ(
        e.world.prompt.asked,
        std::vector<AskedQuestion>(
            4, {"text", "New Task", "Please enter a unique name for this task", "New Task Name"}));
    // The texts are the name check's own; the icon shows the check's message goes out whole.
    EXPECT_EQ(e.world.Titles(),
              (std::vector<std::string>{"Illegal Task Name", "Duplicate Task Name"}));
    EXPECT_EQ(e.world.prompt.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(e.view.edited.empty());

    e.view.dialogResult = {true, false};
    e.commands.NewTask();
    EXPECT_EQ(e.view.edited, std::vector<std::string>{"Mail"});
    EXPECT_EQ(e.Names(), std::vector<std::string>{"Photos"});
    EXPECT_EQ(e.world.prompt.messages.shown.size(), 2u);

    e.view.dialogResult = {false, true};
    e.view.edit = [](cCloneTask& task) {
        task.SourceFolderSpec = "/home/me/Mail/";
        task.TargetFolderSpec = "/media/usb/Mail/";
    };
    e.commands.NewTask();
    EXPECT_EQ(e.Names(), (std::vector<std::string>{"Photos", "Mail"}));
    EXPECT_EQ(e.NamesInFile(), (std::vector<std::string>{"Photos", "Mail"}));
    EXPECT_EQ(e.tasks().Item("Mail")->SourceFolderSpec, "/home/me/Mail/");
    EXPECT_EQ(e.view.selected, "Mail");
    EXPECT_TRUE(IsMessage(e.Last(), "New Task",
                          "'Mail' has been created successfully.\r\n\r\n"
                          "To run this task, click on the toolbar button with the two sheep on it.",
                          MessageIcon::Information));
}

// Which name the copy takes, what it copies and which lists go with it are the task
// service's; here the copy is announced and selected.
TEST(TaskEditCommandsTest, DuplicateSelectsAndAnnouncesTheCopy) {
    Editing e({MakeTask("A"), MakeTask("Copy of A")});
    e.view.selected = "A";
    e.commands.DuplicateTask();
    EXPECT_TRUE(IsMessage(e.Last(), "Duplicate Task",
                          "'Copy of A (2)' has been created successfully.",
                          MessageIcon::Information));
    EXPECT_EQ(e.view.selected, "Copy of A (2)");
    EXPECT_TRUE(e.view.edited.empty());
    EXPECT_EQ(e.NamesInFile().back(), "Copy of A (2)");
}

// The lists that go with the task are the service's.
TEST(TaskEditCommandsTest, DeleteAsksThenRemovesTheTask) {
    Editing e({MakeTask("Photos"), MakeTask("Mail")});
    e.view.selected = "Mail";
    e.world.prompt.messages.answers = {MessageAnswer::No};
    e.commands.DeleteTask();
    EXPECT_TRUE(IsMessage(e.Last(), "Confirm Task Delete",
                          "You are about to delete the following task: \r\n\"Mail\"\r\n\r\n"
                          "Do you wish to continue?",
                          MessageIcon::Question, MessageButtons::YesNo));
    EXPECT_EQ(e.Names().size(), 2u);

    e.commands.DeleteTask();  // Yes
    EXPECT_EQ(e.Names(), std::vector<std::string>{"Photos"});
    EXPECT_EQ(e.NamesInFile(), std::vector<std::string>{"Photos"});
    EXPECT_EQ(e.view.trayRefreshes, 1);
}

// The name checks and the lists that move are the service's; here what the editor adds.
TEST(TaskEditCommandsTest, RenameTakesAChangeOfLetterCase) {
    Editing e({MakeTask("Photos"), MakeTask("Mail"), MakeTask("Music")});
    e.view.selected = "Mail";
    const auto rename = [&e](const std::string& typed) {
        e.commands.RenameTask();
        EXPECT_EQ(e.view.editing, "Mail");
        return e.commands.EndRename(typed);
    };
    EXPECT_FALSE(rename("   "));
    EXPECT_FALSE(rename("Mail"));
    EXPECT_TRUE(e.world.prompt.messages.shown.empty());
    EXPECT_FALSE(rename(" music "));
    EXPECT_TRUE(
        IsMessage(e.Last(), "Rename Task", "Duplicate task name", MessageIcon::Exclamation));
    EXPECT_EQ(e.Names(), (std::vector<std::string>{"Photos", "Mail", "Music"}));

    EXPECT_TRUE(rename(" MAIL "));
    EXPECT_EQ(e.Names(), (std::vector<std::string>{"Photos", "MAIL", "Music"}));
    EXPECT_EQ(e.NamesInFile(), (std::vector<std::string>{"Photos", "MAIL", "Music"}));
    EXPECT_EQ(e.view.selected, "MAIL");
    // An editor closed twice renames once.
    EXPECT_FALSE(e.commands.EndRename("Post"));

    // A run that started while the editor was open keeps the name it runs under.
    e.view.selected = "MAIL";
    e.commands.RenameTask();
    e.world.App().Flags.CloneInProgress = true;
    EXPECT_FALSE(e.commands.EndRename("Letters"));
    EXPECT_EQ(e.world.prompt.messages.beeps, 1);
    EXPECT_EQ(e.Names(), (std::vector<std::string>{"Photos", "MAIL", "Music"}));
}

TEST(TaskEditCommandsTest, PropertiesStoreAChangedTaskAndChooseTheNextScheduledAnew) {
    Editing e({MakeTask("Photos"), MakeTask("Mail", IntervalDays, kWorldNow + 2)});
    e.view.selected = "Photos";
    e.view.edit = [](cCloneTask& task) {
        task.IntervalType = IntervalHours;
        task.NextCloneDateTime = kWorldNow + 0.5;
    };
    e.view.dialogResult = {true, true};
    e.commands.TaskProperties();
    EXPECT_EQ(e.tasks().Item("Photos")->IntervalType, IntervalManual);

    e.view.dialogResult = {false, true};
    e.commands.TaskProperties();
    EXPECT_EQ(e.view.edited, (std::vector<std::string>{"Photos", "Photos"}));
    EXPECT_EQ(e.tasks().Item("Photos")->IntervalType, IntervalHours);
    EXPECT_TRUE(e.tasks().Item("Photos")->IsNextScheduledTask);
    EXPECT_FALSE(e.tasks().Item("Mail")->IsNextScheduledTask);
    EXPECT_NE(test::ReadFile(DefaultTaskListFileSpec(e.world.home.Path())).find("Photos~!@#"),
              std::string::npos);
    EXPECT_TRUE(e.world.prompt.messages.shown.empty());
}

TEST(TaskEditCommandsTest, NewTaskListAsksAgainAfterARefusalAndBecomesCurrent) {
    Editing e({MakeTask("Photos")});
    test::WriteFile(e.world.home / "Work.dvt", "");
    e.world.prompt.answers = {"Work/Home", "Work", " Travel "};
    e.commands.NewTaskList();
    EXPECT_EQ(
        e.world.prompt.asked,
        std::vector<AskedQuestion>(
            3, {"text", "New Task List", "Enter a name for the New Task List", "New Task List"}));
    EXPECT_EQ(e.world.Titles(),
              (std::vector<std::string>{"Illegal Task List Name", "Name Already Exists"}));
    EXPECT_TRUE(IsMessage(e.world.prompt.messages.shown[0], "Illegal Task List Name",
                          "Task list names cannot contain any of the following characters:\r\n"
                          "\\ / : * ? \" < > |",
                          MessageIcon::Critical));
    EXPECT_EQ(e.world.prompt.messages.shown[1].text, "A task list with this name already exists.");

    const std::string travel = e.world.home / "Travel.dvt";
    EXPECT_TRUE(FileExists(travel));
    EXPECT_EQ(e.tasks().TaskListFileSpec(), travel);
    EXPECT_EQ(e.world.Options().TaskListFileSpec, travel);
    EXPECT_EQ(e.view.listName, "Travel");
    EXPECT_EQ(e.tasks().Count(), 0);
    EXPECT_EQ(e.NamesInFile(), std::vector<std::string>{"Photos"});

    e.world.prompt.answers = {""};
    e.commands.NewTaskList();
    EXPECT_EQ(e.tasks().TaskListFileSpec(), travel);
}

TEST(TaskEditCommandsTest, LoadTaskListSavesTheCurrentOneAndReadsTheChosen) {
    Editing e({MakeTask("Photos")});
    const std::string work = e.world.home / "Work.dvt";
    test::WriteFile(work, cCloneTasks::TaskLine(MakeTask("Reports")) + "\r\nnot a task\r\n");
    e.commands.LoadTaskList();  // cancelled
    EXPECT_EQ(e.world.prompt.asked,
              (std::vector<AskedQuestion>{
                  {"open", "Load Task List", "Duvanto Task List (*.dvt)", e.world.home.Path()}}));
    EXPECT_EQ(e.Names(), std::vector<std::string>{"Photos"});

    e.tasks().Item("Photos")->SourceFolderSpec = "/changed/";
    e.world.prompt.answers = {work};
    e.commands.LoadTaskList();
    EXPECT_EQ(e.Names(), std::vector<std::string>{"Reports"});
    EXPECT_EQ(e.view.listName, "Work");
    EXPECT_EQ(e.world.Options().TaskListFileSpec, work);
    EXPECT_EQ(e.view.loadProblemShows, 1);
    EXPECT_EQ(e.view.trayRefreshes, 1);
    EXPECT_FALSE(e.tasks().Problems().empty());
    // The list left behind was saved with what changed in it.
    EXPECT_NE(
        test::ReadFile(DefaultTaskListFileSpec(e.world.home.Path())).find("~!@#/changed/~!@#"),
        std::string::npos);

    e.world.App().Flags.CloneInProgress = true;
    e.commands.LoadTaskList();
    EXPECT_EQ(e.world.prompt.messages.beeps, 1);
    EXPECT_EQ(e.world.prompt.asked.size(), 2u);
}

TEST(TaskEditCommandsTest, SaveTaskListAsWritesAWholeCopyAndKeepsTheCurrentFile) {
    cCloneTask mail = MakeTask("Mail");
    mail.AllFilesAndFolders(false);
    mail.IncludeFileSpecs = {"/data/Mail/in/"};
    Editing e({MakeTask("Photos"), mail});
    const std::string copy = e.world.home / "elsewhere/Copy.dvt";
    ASSERT_TRUE(CreateFolderPath(e.world.fileSystem, e.world.home / "elsewhere/").ok());
    e.world.prompt.answers = {copy};
    e.commands.SaveTaskListAs();
    EXPECT_EQ(e.world.prompt.asked,
              (std::vector<AskedQuestion>{{"save", "Save Task List As...",
                                           "Duvanto Task List (*.dvt)", e.world.home.Path()}}));
    EXPECT_EQ(e.NamesInFile(copy), (std::vector<std::string>{"Photos", "Mail"}));
    EXPECT_EQ(test::ReadFile(e.world.home / "Copy support files/Mail.dvi"), "/data/Mail/in/");
    EXPECT_EQ(e.tasks().TaskListFileSpec(), DefaultTaskListFileSpec(e.world.home.Path()));
    EXPECT_TRUE(e.world.prompt.messages.shown.empty());
}

// That they only beep while a run lasts is the registry's test.
TEST(TaskEditCommandsTest, EveryTaskCommandIsRegisteredAndNeedsATask) {
    Editing e({MakeTask("Photos")});
    CommandRegistry registry(e.world.prompt, e.world.App().Flags, e.world.App().Reporter);
    RegisterTaskEditCommands(registry, e.commands);
    for (const char* id : {"mnuFileNewTask", "mnuFileDuplicateTask", "mnuFileDeleteTask",
                           "mnuFileRenameTask", "mnuFileTaskProperties", "mnuFileNewTaskList",
                           "mnuFileLoadTaskList", "mnuFileSaveTaskListAs"}) {
        EXPECT_TRUE(registry.State(id).enabled) << id;
    }
    const struct {
        const char* id;
        const char* title;
        const char* text;
    } unselected[] = {
        {"mnuFileDuplicateTask", "Duplicate Selected Task", "Please select a task first."},
        {"mnuFileDeleteTask", "Delete Task", "Please select a task to delete"},
        {"mnuFileRenameTask", "Rename Task", "Please select a task to rename."},
        {"mnuFileTaskProperties", "Task Properties", "Please select a task first."},
    };
    for (const auto& command : unselected) {
        registry.Invoke(command.id);
        EXPECT_TRUE(IsMessage(e.Last(), command.title, command.text, MessageIcon::Information))
            << command.id;
    }
    EXPECT_EQ(e.world.prompt.messages.shown.size(), 4u);
    EXPECT_EQ(e.view.editing, "");
    EXPECT_TRUE(e.view.edited.empty());
    EXPECT_EQ(e.Names(), std::vector<std::string>{"Photos"});
}

}  // namespace
}  // namespace duvanto
