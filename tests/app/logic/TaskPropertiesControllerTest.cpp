// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/TaskPropertiesController.h"

#include <gtest/gtest.h>

#include "app/logic/MessageCheck.h"
#include "app/support/TaskEditWorld.h"
#include "engine/FolderCheck.h"
#include "tasks/TaskDates.h"

namespace duvanto::test {
namespace {

const char kDisregard[] =
    "\r\n\r\nPress OK to disregard this error or Cancel to correct the problem.";

class TaskPropertiesControllerTest : public ::testing::Test {
protected:
    TaskPropertiesControllerTest() {
        task.TaskName = "Nightly";
        task.SourceFolderSpec = world.Folder("src");
        task.TargetFolderSpec = world.Folder("dst");
    }

    TaskPropertiesController Open() { return TaskPropertiesController(task, world.Services()); }
    const ShownMessage& Last() const { return world.prompt.messages.shown.back(); }

    TaskEditWorld world;
    cCloneTask task;
};

TEST_F(TaskPropertiesControllerTest, LoadsTheTaskWithoutCountingItAsAChange) {
    task.TargetFolderSpec = "/a/<:>/b/";
    task.IncludeSubFolders = false;
    task.AllFilesAndFolders(false);
    task.IncludeFileSpecs = {"/s/x"};
    task.IncludeFileMasks = "*.txt";
    task.IntervalType = IntervalDays;
    task.IntervalIncrement = 3;
    task.StartTime = 0.0;
    task.DaysOfWeek = 1 + 64;
    TaskPropertiesController dialog = Open();

    EXPECT_EQ(dialog.Caption(), "Task Properties - Nightly");
    EXPECT_EQ(dialog.Targets(), (std::vector<std::string>{"/a/", "/b/"}));
    EXPECT_FALSE(dialog.IncludeSubFolders());
    EXPECT_EQ(dialog.WhichFiles(), 1);
    EXPECT_EQ(dialog.IncludeFileSpecs(), std::vector<std::string>{"/s/x"});
    EXPECT_EQ(dialog.IncrementText(), "3");
    EXPECT_EQ(dialog.StartTimeSeconds(), 12 * 3600) << "midnight is offered as noon";
    EXPECT_TRUE(dialog.Day(0));
    EXPECT_FALSE(dialog.Day(1));
    EXPECT_TRUE(dialog.Day(6));
    EXPECT_FALSE(dialog.Changed());
    EXPECT_FALSE(dialog.Cancelled());
    dialog.Help();
    EXPECT_EQ(world.help.shown, std::vector<int>{HelpTaskProperties});
    dialog.Cancel();
    EXPECT_TRUE(dialog.Cancelled());
    EXPECT_FALSE(dialog.Changed());

    task.StartTime = 37959.0 + (9 * 3600 + 30 * 60) / 86400.0;
    EXPECT_EQ(Open().StartTimeSeconds(), 9 * 3600 + 30 * 60) << "the date part plays no role";
}

TEST_F(TaskPropertiesControllerTest, TheFrequencyEnablesItsControlsAndPresetsAMissingIncrement) {
    struct Row {
        int32_t index;
        bool increment, start, days;
        const char* label;
    };
    const Row table[] = {{IntervalMinutes, true, false, false, "Minutes:"},
                         {IntervalHours, true, false, false, "Hours:"},
                         {IntervalDays, true, true, false, "Days:"},
                         {IntervalSelectedDays, false, true, true, "Days:"},
                         {IntervalManual, false, false, false, "Days:"}};
    TaskPropertiesController dialog = Open();
    EXPECT_EQ(dialog.Frequency().IncrementLabel, "Minutes:");
    for (const Row& row : table) {
        dialog.ChooseFrequency(row.index);
        const FrequencyControls controls = dialog.Frequency();
        EXPECT_EQ(controls.IncrementEnabled, row.increment) << row.index;
        EXPECT_EQ(controls.StartTimeEnabled, row.start) << row.index;
        EXPECT_EQ(controls.DaysEnabled, row.days) << row.index;
        EXPECT_EQ(controls.IncrementLabel, row.label) << "manual keeps the label it had";
        EXPECT_EQ(dialog.IncrementText(), "1") << "a task with an increment keeps it";
    }
    EXPECT_TRUE(dialog.Changed());

    task.IntervalIncrement = 0;
    TaskPropertiesController unset = Open();
    unset.ChooseFrequency(IntervalMinutes);
    EXPECT_EQ(unset.IncrementText(), "10");
    for (int32_t index : {IntervalHours, IntervalDays, IntervalSelectedDays}) {
        unset.SetIncrementText("7");
        unset.ChooseFrequency(index);
        EXPECT_EQ(unset.IncrementText(), "1") << index;
    }
    unset.SetIncrementText("7");
    unset.ChooseFrequency(IntervalManual);
    EXPECT_EQ(unset.IncrementText(), "7");
}

TEST_F(TaskPropertiesControllerTest, AFirstSaveEveryTwoHoursRunsFromNow) {
    task.StartTime = 0.0;
    TaskPropertiesController dialog = Open();
    dialog.ChooseFrequency(IntervalHours);
    dialog.SetIncrementText(" 2 ");
    dialog.SetDay(2, false);
    ASSERT_EQ(dialog.OK(), TaskPropertiesOutcome::Saved);
    EXPECT_TRUE(world.prompt.messages.shown.empty());

    const cCloneTask& saved = dialog.Task();
    EXPECT_EQ(saved.IntervalType, IntervalHours);
    EXPECT_EQ(saved.IntervalIncrement, 2);
    EXPECT_EQ(saved.LastCloneDateTime, WholeSecond(kEditNow)) << "the world's clock";
    EXPECT_EQ(saved.DaysOfWeek, 127 - 4) << "the days are stored whatever the frequency";
    EXPECT_EQ(saved.StartTime, 0.5) << "midnight, offered as noon, is stored as noon";
    EXPECT_EQ(saved.TargetFolderSpec, world.temp / "dst/");
}

TEST_F(TaskPropertiesControllerTest, ChecksRunInOrderAndTheFirstRefusalStops) {
    task.SourceFolderSpec = "";
    task.TargetFolderSpec = "";
    task.IntervalType = IntervalSelectedDays;
    task.DaysOfWeek = 0;
    TaskPropertiesController dialog = Open();
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Refused);
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(IsMessage(Last(), "Validate Folders", "No target folder has been entered.",
                          MessageIcon::Exclamation));

    // That no Target comes before no Source is the task checks' own.
    dialog.DropOnTargets({world.Folder("dst")});
    dialog.DropOnSource({world.Folder("src")}, "");
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Refused);
    EXPECT_EQ(Last().title, "Invalid Days");
    // The frequency's refusal points at the increment box (which values pass is the task
    // checks' own); a refusal stores nothing.
    dialog.ChooseFrequency(IntervalMinutes);
    dialog.SetIncrementText("4");
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::RefusedIncrement);
    EXPECT_EQ(Last().title, "Invalid Frequency");
    EXPECT_EQ(dialog.Task().IntervalType, IntervalSelectedDays);

    dialog.ChooseFrequency(IntervalSelectedDays);
    dialog.SetDay(6, true);
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Saved);
    EXPECT_EQ(world.prompt.messages.shown.size(), 3u);
    EXPECT_EQ(dialog.Task().DaysOfWeek, 64);
}

TEST_F(TaskPropertiesControllerTest, AProblemTargetCanBeKeptAndThenTheSourceIsNotChecked) {
    const std::string missing = world.temp / "missing/";
    task.TargetFolderSpec = missing + "<:>" + world.temp / "also-missing/";
    task.SourceFolderSpec = "";
    const std::string question = GetInvalidPathErrorMsg(PathFolderMissing, missing, 0) + kDisregard;

    TaskPropertiesController dialog = Open();
    world.prompt.messages.answers = {MessageAnswer::Cancel};
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Refused);
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(IsMessage(Last(), "Problems with Target Folder", question, MessageIcon::Exclamation,
                          MessageButtons::OKCancel));

    world.prompt.messages.answers = {MessageAnswer::OK};
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Saved);
    EXPECT_EQ(world.prompt.messages.shown.size(), 2u)
        << "neither the second Target nor the empty Source was looked at";
    EXPECT_EQ(dialog.Task().SourceFolderSpec, "");
}

TEST_F(TaskPropertiesControllerTest, AProblemSourceIsAskedAboutAfterTheTargets) {
    const std::string file = world.temp / "file";
    WriteFile(file, "x");
    task.SourceFolderSpec = file;
    TaskPropertiesController dialog = Open();
    world.prompt.messages.answers = {MessageAnswer::Cancel, MessageAnswer::OK};
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Refused);
    EXPECT_TRUE(IsMessage(Last(), "Problems with Source Folder",
                          GetInvalidPathErrorMsg(PathFolderMissing, file, 0) + kDisregard,
                          MessageIcon::Exclamation, MessageButtons::OKCancel));
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Saved);
}

// Which drives are ready is the path checks' own; here the window's mount tables reach them.
// An unplugged stick's media folder is gone altogether; that too is a drive that is not
// ready, not an error number.
TEST_F(TaskPropertiesControllerTest, ATargetOnAnUnpluggedDiskIsNotReady) {
    for (const std::string& unplugged :
         {world.Folder("usb/backup"), world.temp / "media/user/STICK/backup/"}) {
        task.TargetFolderSpec = unplugged;
        world.prompt.messages.answers = {MessageAnswer::Cancel};
        EXPECT_EQ(Open().OK(), TaskPropertiesOutcome::Refused);
        EXPECT_EQ(Last().text,
                  GetInvalidPathErrorMsg(PathDriveNotReady, unplugged, 0) + kDisregard);
    }
}

TEST_F(TaskPropertiesControllerTest, ATargetNestedWithItsSourceIsRefused) {
    task.TargetFolderSpec = world.Folder("src/inner");
    TaskPropertiesController dialog = Open();
    EXPECT_EQ(dialog.OK(), TaskPropertiesOutcome::Refused);
    EXPECT_EQ(Last().title, "Invalid Target Folder");
    EXPECT_EQ(Last().text,
              CheckTargetApartFromSource(task.SourceFolderSpec, task.TargetFolderSpec));
}

TEST_F(TaskPropertiesControllerTest, BrowsingEditingAndRemovingFolders) {
    TaskPropertiesController dialog = Open();
    dialog.SetDesktopFolder("/home/user/Desktop/");
    world.prompt.answers = {world.temp / "chosen",       std::nullopt,
                            std::string("/new//target"), std::string("/edited/./x"),
                            std::string("  "),           std::nullopt};
    dialog.BrowseSource();
    EXPECT_EQ(dialog.SourceText(), world.temp / "chosen/");
    EXPECT_TRUE(dialog.Changed());
    EXPECT_EQ(world.prompt.asked[0],
              (AskedQuestion{"folder", "Browse For Folder", "Specify the Source folder.",
                             task.SourceFolderSpec}))
        << "at the Source's own folder";
    dialog.BrowseSource();
    EXPECT_EQ(world.prompt.asked[1].proposed, "/home/user/Desktop/") << "the chosen one is missing";
    EXPECT_EQ(dialog.SourceText(), world.temp / "chosen/") << "a cancel changes nothing";

    dialog.BrowseTarget();
    EXPECT_EQ(world.prompt.asked[2],
              (AskedQuestion{"folder", "Browse For Folder", "Specify the Target folder.",
                             "/home/user/Desktop/"}));
    EXPECT_EQ(dialog.Targets().back(), "/new/target/");

    dialog.EditTarget(1);
    EXPECT_EQ(world.prompt.asked[3],
              (AskedQuestion{"text", "Edit Target Folder",
                             "Make the desired edits to the target folder path then press the "
                             "OK button.",
                             "/new/target/"}));
    EXPECT_EQ(dialog.Targets()[1], "/edited/x/");
    dialog.EditTarget(1);
    dialog.EditTarget(1);
    EXPECT_EQ(dialog.Targets()[1], "/edited/x/") << "blank and cancelled edits change nothing";

    dialog.RemoveTarget(-1);
    EXPECT_TRUE(IsMessage(Last(), "Remove Folder from List",
                          "Select one of the folders from the list.", MessageIcon::Exclamation));
    dialog.RemoveTarget(0);
    EXPECT_EQ(dialog.Targets(), std::vector<std::string>{"/edited/x/"});
}

TEST_F(TaskPropertiesControllerTest, DropsOfFoldersFilesAndText) {
    const std::string folder = world.Folder("dropped");
    const std::string file = world.temp / "dropped/file.txt";
    WriteFile(file, "x");
    TaskPropertiesController dialog = Open();
    dialog.DropOnSource({folder.substr(0, folder.size() - 1), file}, "ignored");
    EXPECT_EQ(dialog.SourceText(), folder) << "the first of them, as a folder";
    EXPECT_TRUE(dialog.Changed());
    dialog.DropOnSource({}, "/typed/path\nsecond line");
    EXPECT_EQ(dialog.SourceText(), "/typed/path");

    dialog.DropOnTargets({file, folder, world.temp / "gone"});
    EXPECT_EQ(dialog.Targets(), (std::vector<std::string>{task.TargetFolderSpec, folder}))
        << "only folders become Targets";
}

TEST_F(TaskPropertiesControllerTest, SelectingFilesNeedsAUsableSource) {
    task.SourceFolderSpec = " ";
    TaskPropertiesController dialog = Open();
    EXPECT_FALSE(dialog.SelectFiles());
    EXPECT_EQ(dialog.WhichFiles(), 1) << "the choice is made before the Source is looked at";
    EXPECT_TRUE(dialog.Changed());
    EXPECT_TRUE(IsMessage(Last(), "Select Files/Folders", "Please specify the Source Folder",
                          MessageIcon::Exclamation));

    dialog.SourceTextChanged(world.temp / "missing");
    EXPECT_FALSE(dialog.SelectFiles());
    EXPECT_TRUE(IsMessage(Last(), "Select Files/Folders",
                          "Make sure that the Source folder exists and that you have permission "
                          "to access it.",
                          MessageIcon::Exclamation));

    dialog.SourceTextChanged(world.temp / "src");
    dialog.SetIncludeSubFolders(false);
    EXPECT_TRUE(dialog.SelectFiles());
    const SelectFilesRequest request = dialog.SelectFilesFor();
    EXPECT_EQ(request.SourceFolder, world.temp / "src/");
    EXPECT_FALSE(request.IncludeSubFolders);

    dialog.SelectedFilesChosen(true, {}, "");
    EXPECT_EQ(dialog.WhichFiles(), 0) << "the whole Source chosen again";
    dialog.SelectedFilesChosen(false, {world.temp / "src/a"}, "*.txt");
    ASSERT_EQ(dialog.OK(), TaskPropertiesOutcome::Saved);
    EXPECT_FALSE(dialog.Task().AllFilesAndFolders());
    EXPECT_EQ(dialog.Task().IncludeFileSpecs, std::vector<std::string>{world.temp / "src/a"});
    EXPECT_EQ(dialog.Task().IncludeFileMasks, "*.txt");
}

TEST_F(TaskPropertiesControllerTest, CompletionFollowsTheKeysTyped) {
    world.Folder("tree/alpha/beta");
    const std::string typed = world.temp / "tree/al";
    TaskPropertiesController dialog = Open();
    dialog.SourceKeyTyped('l');
    dialog.SourceTextChanged(typed);
    EXPECT_EQ(dialog.CompleteSourceText({}), "pha/");
    EXPECT_EQ(dialog.SourceText(), world.temp / "tree/alpha/");
    EXPECT_EQ(dialog.CompleteSourceText({}), "") << "once per key";

    dialog.SourceKeyTyped(8);  // Backspace
    dialog.SourceTextChanged(typed);
    EXPECT_EQ(dialog.CompleteSourceText({}), "") << "taking characters away never completes";
    dialog.SourceKeyTyped('{');
    EXPECT_EQ(dialog.CompleteSourceText({}), "") << "only codes 32 to 122 count as printable";

    // A key that arrives while the folder is read starts the completion again for the new
    // text.
    dialog.SourceKeyTyped('a');
    dialog.SourceTextChanged(world.temp / "tree/a");
    bool typedMeanwhile = false;
    const std::string added = dialog.CompleteSourceText([&] {
        if (!typedMeanwhile) {
            typedMeanwhile = true;
            dialog.SourceKeyTyped('l');
            dialog.SourceTextChanged(typed);
        }
    });
    EXPECT_TRUE(typedMeanwhile);
    EXPECT_EQ(added, "pha/");
    EXPECT_EQ(dialog.SourceText(), world.temp / "tree/alpha/");
}

}  // namespace
}  // namespace duvanto::test
