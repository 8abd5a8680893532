// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/TaskListService.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SessionFixture.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

class TaskListServiceTest : public SessionFixture {
protected:
    TaskListServiceTest() {
        tasks.OnSaved([this] { ++saves; });
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

    int saves = 0;
};

using NameList = std::vector<std::string>;

TEST_F(TaskListServiceTest, AddWarnsOfMissingFoldersButRefusesATargetInsideTheSource) {
    fs::create_directories(temp / "T");
    const TaskEditResult added = tasks.Add("  Photos ", Input({"T/", "Later/"}));
    EXPECT_EQ(added.Status, TaskEditStatus::Done);
    EXPECT_EQ(added.Name, "Photos");
    ASSERT_EQ(added.Messages.size(), 1u) << "the missing Target is named, and kept";
    EXPECT_EQ(added.Messages[0].Title, "Problems with Target Folder");
    EXPECT_NE(added.Messages[0].Text.find(temp / "Later/"), std::string::npos);
    EXPECT_EQ(SavedNames(), NameList{"Photos"});

    const TaskEditResult taken = tasks.Add("PHOTOS", Input({"T/"}));
    EXPECT_EQ(taken.Status, TaskEditStatus::Refused);
    EXPECT_EQ(taken.Messages.size(), 1u) << "the name check's message, tested with it";

    const TaskEditResult inside = tasks.Add("Inside", Input({"Gone/", "S/sub/"}));
    EXPECT_EQ(inside.Status, TaskEditStatus::Refused);
    ASSERT_EQ(inside.Messages.size(), 3u) << "both warnings come before the refusal";
    EXPECT_EQ(inside.Messages[2].Title, "Invalid Target Folder");
    EXPECT_EQ(TaskNames(app.CloneTasks), NameList{"Photos"});
    EXPECT_EQ(saves, 1);
}

// Left behind, the lists would go to the next task given this name.
TEST_F(TaskListServiceTest, RemoveEmptiesTheFileOfTheLastTaskAndDeletesItsLists) {
    ASSERT_EQ(tasks.Add("Only", Input({"T/"})).Status, TaskEditStatus::Done);
    const std::vector<std::string> lists = {appPath + "Only.dvi", Support("Only.dvi"),
                                            Support("Only.dve")};
    for (const std::string& file : lists) {
        WriteFile(file, "/old/list\r\n");
    }

    EXPECT_EQ(tasks.Remove("nobody").Status, TaskEditStatus::NoSuchTask);
    const TaskEditResult removed = tasks.Remove("ONLY");
    EXPECT_EQ(removed.Status, TaskEditStatus::Done);
    EXPECT_EQ(removed.Name, "Only");
    EXPECT_EQ(ReadFile(listFile), "") << "an empty list must not bring the task back";
    for (const std::string& file : lists) {
        EXPECT_FALSE(fs::exists(file)) << file;
    }
}

TEST_F(TaskListServiceTest, RenameChecksTheNameAndKeepsThePlace) {
    for (const char* name : {"First", "Second", "Third"}) {
        app.CloneTasks.Add(Task(name));
    }
    cCloneTask& second = *app.CloneTasks.Item("Second");
    second.AllFilesAndFolders(false);
    second.IncludeFileSpecs = {temp / "S/in/"};
    WriteFile(Support("Second.dvi"), temp / "S/in/");
    WriteFile(Support("Second.dve"), temp / "S/in/spam/");

    EXPECT_EQ(tasks.Rename("Ghost", "X").Status, TaskEditStatus::NoSuchTask);
    const TaskEditResult empty = tasks.Rename("Second", "   ");
    EXPECT_EQ(empty.Status, TaskEditStatus::Refused);
    EXPECT_TRUE(empty.Messages.empty()) << "an empty name drops the edit quietly";
    const TaskEditResult illegal = tasks.Rename("Second", "a/b");
    ASSERT_EQ(illegal.Messages.size(), 1u);
    EXPECT_EQ(illegal.Messages[0].Title, "Illegal Task Name");
    const TaskEditResult taken = tasks.Rename("Second", "third");
    ASSERT_EQ(taken.Messages.size(), 1u);
    EXPECT_EQ(taken.Messages[0].Title, "Rename Task");
    EXPECT_EQ(taken.Messages[0].Text, "Duplicate task name");
    EXPECT_EQ(saves, 0);

    EXPECT_EQ(tasks.Rename("second", " SECOND ").Status, TaskEditStatus::Done)
        << "a change of letter case alone is a rename";
    EXPECT_EQ(tasks.Rename("SECOND", "Middle").Name, "Middle");
    EXPECT_EQ(TaskNames(app.CloneTasks), (NameList{"First", "Middle", "Third"}));
    EXPECT_EQ(SavedNames(), (NameList{"First", "Middle", "Third"}));
    // Both lists go with the name: the include list with the save, the exclude list at once.
    EXPECT_EQ(ReadFile(Support("Middle.dvi")), temp / "S/in/");
    EXPECT_EQ(ReadFile(Support("Middle.dve")), temp / "S/in/spam/");
    EXPECT_FALSE(fs::exists(Support("Second.dvi")));
    EXPECT_FALSE(fs::exists(Support("Second.dve")));
    EXPECT_FALSE(fs::exists(Support("SECOND.dve")));
}

TEST_F(TaskListServiceTest, DuplicateTakesTheFirstFreeCopyName) {
    cCloneTask original = Task("A");
    original.ExcludeFileSpecs = temp / "S/tmp/";
    app.CloneTasks.Add(original);
    app.CloneTasks.Add(Task("Copy of A", {}));
    app.CloneTasks.Add(Task("copy of a (2)", {}));
    app.CloneTasks.Add(Task("Z", {}));

    const TaskEditResult copy = tasks.Duplicate("a");
    EXPECT_EQ(copy.Status, TaskEditStatus::Done);
    EXPECT_EQ(copy.Name, "Copy of A (3)");
    EXPECT_EQ(TaskNames(app.CloneTasks).back(), "Copy of A (3)");
    EXPECT_EQ(app.CloneTasks.Item("Copy of A (3)")->TargetFolderSpec, original.TargetFolderSpec);
    EXPECT_EQ(SavedNames().size(), 5u);
    // The exclude list is only ever read from its file: the copy has one of its own.
    EXPECT_EQ(ReadFile(Support("Copy of A (3).dve")), temp / "S/tmp/");
    EXPECT_EQ(tasks.Duplicate("B").Status, TaskEditStatus::NoSuchTask);
}

}  // namespace
}  // namespace duvanto::test
