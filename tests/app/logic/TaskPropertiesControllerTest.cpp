// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/TaskPropertiesController.h"

#include <gtest/gtest.h>

#include "app/logic/MessageCheck.h"
#include "app/support/TaskEditWorld.h"
#include "app/taskedit/FileMaskController.h"
#include "app/taskedit/SelectFilesController.h"
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
                         {IntervalOnConnect, false, false, false, "Days:"},
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

// A task run by its drive has no time of the clock: its next run stays as it was.
TEST_F(TaskPropertiesControllerTest, ARunOnConnectionIsSavedWithoutADueTime) {
    task.NextCloneDateTime = 40000.25;
    TaskPropertiesController dialog = Open();
    dialog.ChooseFrequency(IntervalOnConnect);
    dialog.SetIncrementText("no number");
    ASSERT_EQ(dialog.OK(), TaskPropertiesOutcome::Saved) << "the increment plays no role";
    EXPECT_EQ(dialog.Task().IntervalType, IntervalOnConnect);
    EXPECT_EQ(dialog.Task().NextCloneDateTime, 40000.25);
    dialog.ChooseFrequency(IntervalOnConnect + 1);
    EXPECT_EQ(dialog.FrequencyIndex(), IntervalOnConnect) << "no choice past the list";
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
    dialog.SourceTextChanged(typed);
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

using Items = std::vector<std::string>;

class SelectFilesControllerTest : public ::testing::Test {
protected:
    SelectFilesControllerTest() : source(world.Folder("src")) {
        for (const char* file : {"b/x.txt", "b/deep/y.txt", "a/z.doc", "top.txt", "Top2.txt"}) {
            WriteFile(source + file, "x");
        }
        world.Folder("src/c");
    }

    SelectFilesController Open(const Items& specs, const std::string& masks = "",
                               bool includeSubFolders = true) {
        return SelectFilesController({source, includeSubFolders, specs, masks}, world.Services());
    }
    // The first showing, then the root opened as the window opens it.
    static std::vector<SelectionNode*> Show(SelectFilesController& dialog) {
        dialog.Activate();
        return dialog.OpenFolder(dialog.Root());
    }
    static std::vector<std::string> Texts(const SelectionNode& folder) {
        std::vector<std::string> texts;
        for (const auto& child : folder.Children) {
            texts.push_back(child->Text);
        }
        return texts;
    }
    static SelectionNode& Child(SelectionNode& folder, const std::string& text) {
        for (auto& child : folder.Children) {
            if (child->Text == text) {
                return *child;
            }
        }
        throw std::runtime_error("no node " + text);
    }

    TaskEditWorld world;
    std::string source;
};

TEST_F(SelectFilesControllerTest, TheSourceIsReadOneFolderAtATime) {
    SelectFilesController dialog = Open({});
    EXPECT_TRUE(Show(dialog).empty());
    SelectionNode& root = dialog.Root();
    EXPECT_EQ(root.Key, "Root");
    EXPECT_EQ(root.Text, source);
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"a", "b", "c", "Top2.txt", "top.txt"}));
    SelectionNode& b = Child(root, "b");
    EXPECT_EQ(b.Key, source + "b/");
    EXPECT_TRUE(b.IsFolder);
    EXPECT_FALSE(b.Listed) << "a folder is read when it opens";
    dialog.OpenFolder(b);
    EXPECT_EQ(Texts(b), (std::vector<std::string>{"deep", "x.txt"}));

    SelectFilesController flat = Open({}, "", false);
    Show(flat);
    EXPECT_EQ(Texts(flat.Root()), (std::vector<std::string>{"Top2.txt", "top.txt"}))
        << "a task without subfolders shows the files of its folder only";
}

TEST_F(SelectFilesControllerTest, ItemsSelectedBeforeAreCheckedAndTheirFoldersOpened) {
    SelectFilesController dialog =
        Open({source + "b/deep/y.txt", source + "a/", source + "top.txt"});
    const std::vector<SelectionNode*> opened = Show(dialog);
    SelectionNode& root = dialog.Root();
    SelectionNode& b = Child(root, "b");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], &b);
    EXPECT_EQ(opened[1], &Child(b, "deep"));
    EXPECT_TRUE(dialog.IsChecked(Child(Child(b, "deep"), "y.txt")));
    EXPECT_TRUE(dialog.IsChecked(Child(root, "a")));
    EXPECT_FALSE(Child(root, "a").Listed) << "a checked folder stays closed";
    EXPECT_TRUE(dialog.IsChecked(Child(root, "top.txt")));
    EXPECT_FALSE(dialog.IsChecked(Child(root, "Top2.txt")));
    EXPECT_FALSE(Child(root, "c").Listed);

    // Nothing changed: OK gives back the same items, in the order the tree shows them.
    EXPECT_EQ(dialog.OK().IncludeFileSpecs,
              (Items{source + "a/", source + "top.txt", source + "b/deep/y.txt"}));
}

TEST_F(SelectFilesControllerTest, ANameHoldingASeparatorIsCheckedAndChosenAsItself) {
    for (const char* file : {"p", "q", "p,q", "m", "n", "m<:>n"}) {
        WriteFile(source + file, "x");
    }
    SelectFilesController dialog = Open({source + "p,q", source + "m<:>n"});
    Show(dialog);
    SelectionNode& root = dialog.Root();
    EXPECT_TRUE(dialog.IsChecked(Child(root, "p,q")));
    EXPECT_TRUE(dialog.IsChecked(Child(root, "m<:>n")));
    for (const char* piece : {"p", "q", "m", "n"}) {
        EXPECT_FALSE(dialog.IsChecked(Child(root, piece))) << piece;
    }
    EXPECT_EQ(dialog.OK().IncludeFileSpecs, (Items{source + "m<:>n", source + "p,q"}))
        << "in the order the tree shows them";
}

// OK never waits for the tree and never loses what it has not shown: the items selected before
// in folders not read yet (on their way, or unreadable) stay, unless a checked folder holds them.
TEST_F(SelectFilesControllerTest, OKKeepsTheItemsOfFoldersNotReadYet) {
    const Items before = {source + "b/deep/y.txt", source + "top.txt", source + "gone.txt",
                          world.temp / "elsewhere/x.txt"};
    SelectFilesController dialog = Open(before);
    dialog.Activate();
    SelectedFiles unread = dialog.OK();
    EXPECT_FALSE(unread.AllFilesAndFolders);
    EXPECT_EQ(unread.IncludeFileSpecs, (Items{before[0], before[1], before[2]}))
        << "outside the Source the tree decides, as it always did";

    // The root read, its folders not yet: the tree decides the root's own items (gone.txt is
    // gone, top.txt unchecked by hand) and y.txt below b/ stays.
    FolderContents contents = dialog.ReadFolder(source);
    ASSERT_TRUE(contents.Read);
    contents.Opened.clear();
    dialog.AddFolder(dialog.Root(), std::move(contents));
    SelectionNode& root = dialog.Root();
    ASSERT_FALSE(Child(root, "b").Listed);
    ASSERT_TRUE(dialog.IsChecked(Child(root, "top.txt")));
    dialog.SetChecked(Child(root, "top.txt"), false);
    EXPECT_EQ(dialog.OK().IncludeFileSpecs, Items{before[0]});
    dialog.SetChecked(Child(root, "b"), true);
    EXPECT_EQ(dialog.OK().IncludeFileSpecs, Items{source + "b/"}) << "b/ holds y.txt";

    // A Source that cannot be read (a drive gone since the window opened) shows nothing and
    // takes nothing away.
    const std::string unplugged = world.temp / "unplugged/";
    SelectFilesController away({unplugged, true, {unplugged + "a.txt"}, ""}, world.Services());
    Show(away);
    EXPECT_TRUE(away.Root().Children.empty());
    EXPECT_EQ(away.OK().IncludeFileSpecs, Items{unplugged + "a.txt"});
}

TEST_F(SelectFilesControllerTest, OKDecidesBetweenTheWholeSourceAndASelection) {
    SelectFilesController nothing = Open({}, "");
    nothing.Activate();
    const SelectedFiles none = nothing.OK();
    EXPECT_TRUE(none.AllFilesAndFolders);
    EXPECT_TRUE(none.IncludeFileSpecs.empty());
    EXPECT_EQ(none.IncludeFileMasks, "");

    // The checking rules are the selection tree's; a root checked before an item stays so.
    SelectFilesController rootOnly = Open({});
    Show(rootOnly);
    rootOnly.SetChecked(rootOnly.Root(), true);
    rootOnly.SetChecked(Child(rootOnly.Root(), "top.txt"), true);
    EXPECT_TRUE(rootOnly.IsChecked(rootOnly.Root()));
    EXPECT_TRUE(rootOnly.OK().AllFilesAndFolders);
    EXPECT_TRUE(rootOnly.OK().IncludeFileSpecs.empty());

    rootOnly.AddMask("*.doc");
    const SelectedFiles withMask = rootOnly.OK();
    EXPECT_FALSE(withMask.AllFilesAndFolders);
    EXPECT_EQ(withMask.IncludeFileSpecs, Items{source});
    EXPECT_EQ(withMask.IncludeFileMasks, "*.doc");

    // Opened again, the root is checked once more and the masks are listed with their types.
    SelectFilesController again = Open({source}, "*.txt, *.doc,");
    again.Activate();
    EXPECT_TRUE(again.IsChecked(again.Root()));
    ASSERT_EQ(again.Masks().size(), 2u);
    EXPECT_EQ(again.Masks()[0].Mask, "*.txt");
    EXPECT_EQ(again.Masks()[0].TypeName, "plain text document");
    EXPECT_EQ(again.Masks()[1].TypeName, "Word document");
    EXPECT_EQ(again.OK().IncludeFileMasks, "*.txt,*.doc") << "one comma, no blanks";
}

TEST_F(SelectFilesControllerTest, MasksAreAddedAndRemoved) {
    SelectFilesController dialog = Open({}, "*.txt");
    dialog.Activate();
    dialog.AddMask("");
    dialog.AddMask("*.*");
    ASSERT_EQ(dialog.Masks().size(), 2u);
    EXPECT_EQ(dialog.Masks()[1].TypeName, "") << "no type is known for it";
    dialog.RemoveMask(-1);
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(IsMessage(world.prompt.messages.shown[0], "Remove File Mask",
                          "No file mask is selected", MessageIcon::Exclamation));
    dialog.RemoveMask(0);
    ASSERT_EQ(dialog.Masks().size(), 1u);
    EXPECT_EQ(dialog.OK().IncludeFileMasks, "*.*");
    EXPECT_TRUE(dialog.OK().IncludeFileSpecs.empty());
    EXPECT_FALSE(dialog.OK().AllFilesAndFolders) << "masks alone select files";

    dialog.Help();
    EXPECT_EQ(world.help.shown, std::vector<int>{HelpSelectFiles});
}

class FileMaskControllerTest : public ::testing::Test {
protected:
    TaskEditWorld world;
    FileMaskController dialog{world.Services()};

    const ShownMessage& Last() const { return world.prompt.messages.shown.back(); }
};

TEST_F(FileMaskControllerTest, TypesAreSortedAndFoundByTheirFirstLetter) {
    std::vector<std::string> extensions;
    for (const FileTypeEntry& entry : dialog.FileTypes()) {
        extensions.push_back(entry.Extension);
    }
    EXPECT_EQ(extensions, (std::vector<std::string>{".doc", ".jpg", ".tar.gz", ".Tex", ".txt"}));
    EXPECT_EQ(dialog.FindTypeByLetter('t'), 2);
    EXPECT_EQ(dialog.FindTypeByLetter('J'), 1);
    EXPECT_EQ(dialog.FindTypeByLetter('z'), -1);
}

TEST_F(FileMaskControllerTest, AFileTypeMakesAStarMask) {
    EXPECT_EQ(dialog.OK(false, -1, "ignored.txt"), FileMaskController::Focus::FileTypes);
    EXPECT_TRUE(
        IsMessage(Last(), "Invalid File Mask", "No file type selected", MessageIcon::Exclamation));
    EXPECT_EQ(dialog.FileMask(), "");
    EXPECT_EQ(dialog.OK(false, 2, ""), FileMaskController::Focus::None);
    EXPECT_EQ(dialog.FileMask(), "*.tar.gz");
}

TEST_F(FileMaskControllerTest, ACustomMaskNeedsTextOnBothSidesOfADot) {
    const std::string head = "The custom file mask you entered is not valid.\r\n";
    const std::string tail = "\r\n\r\nSee the Help File for details.";
    EXPECT_EQ(dialog.OK(true, 0, "   "), FileMaskController::Focus::CustomMask);
    EXPECT_TRUE(IsMessage(Last(), "Invalid File Mask", "No custom file mask entered",
                          MessageIcon::Exclamation));

    const std::string kNoSeparator =
        "The file mask cannot contain \"~!@#\", a line break or another control character.";
    struct Refusal {
        const char* mask;
        std::string reason;
    };
    const Refusal refusals[] = {{"readme", "The file mask should contain a 'dot' character."},
                                {"report.", "The file mask should contain text after the 'dot'."},
                                {".", "The file mask should contain text after the 'dot'."},
                                {" .txt",
                                 "The file mask should contain text before the 'dot'.\r\n"
                                 "Consider adding an asterisk before the dot character."},
                                {"*.a~!@#b", kNoSeparator},
                                {"*.txt\tx", kNoSeparator}};
    for (const Refusal& refusal : refusals) {
        EXPECT_EQ(dialog.OK(true, 0, refusal.mask), FileMaskController::Focus::CustomMask);
        EXPECT_TRUE(IsMessage(Last(), "Invalid Custom File Mask", head + refusal.reason + tail,
                              MessageIcon::Exclamation))
            << refusal.mask;
    }
    EXPECT_EQ(dialog.FileMask(), "");
    EXPECT_EQ(dialog.OK(true, 0, " report?.d*c "), FileMaskController::Focus::None);
    EXPECT_EQ(dialog.FileMask(), "report?.d*c");
    dialog.Help();
    EXPECT_EQ(world.help.shown, std::vector<int>{HelpSelectFiles});
}

}  // namespace
}  // namespace duvanto::test
