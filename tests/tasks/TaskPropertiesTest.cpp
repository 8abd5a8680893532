// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/TaskProperties.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>

#include "TasksFixture.h"
#include "tasks/TaskDates.h"

namespace duvanto::test {
namespace {

TaskPropertiesInput Entered(int32_t frequency, const std::string& increment) {
    TaskPropertiesInput input;
    input.SourceText = "/src/";
    input.Targets = {"/dst/"};
    input.FrequencyIndex = frequency;
    input.IncrementText = increment;
    return input;
}

// A refusal as one value: its title, text and icon; none when the input passes.
using Refusal = std::optional<std::tuple<std::string, std::string, MessageIcon>>;
Refusal Refused(const std::optional<TaskMessage>& message) {
    return message ? Refusal(std::tuple(message->Title, message->Text, message->Icon))
                   : std::nullopt;
}

const char kInvalidFrequency[] =
    "The frequency value is invalid.  Please check the following:\r\n\r\n1) The frequency "
    "interval must be a positive number\r\n2) The frequency cannot be greater than once every 5 "
    "minutes\r\n";

TEST(TaskPropertiesChecks, TheFrequencyMustBeAPositiveNumber) {
    EXPECT_EQ(Refused(ValidateTaskProperties(Entered(IntervalMinutes, "4"))),
              std::tuple("Invalid Frequency", kInvalidFrequency, MessageIcon::Information));
    EXPECT_FALSE(ValidateTaskProperties(Entered(IntervalMinutes, "5")).has_value());
    EXPECT_FALSE(ValidateTaskProperties(Entered(IntervalMinutes, " 90 ")).has_value());
    for (const char* text : {"0", "-3", "abc", "", "  ", "2 hours", "1e20"}) {
        EXPECT_TRUE(ValidateTaskProperties(Entered(IntervalHours, text)).has_value()) << text;
        EXPECT_TRUE(ValidateTaskProperties(Entered(IntervalDays, text)).has_value()) << text;
    }
    EXPECT_FALSE(ValidateTaskProperties(Entered(IntervalHours, "1")).has_value());
    // The box is disabled for these two: its text is not checked.
    EXPECT_FALSE(ValidateTaskProperties(Entered(IntervalManual, "abc")).has_value());
    EXPECT_FALSE(ValidateTaskProperties(Entered(IntervalSelectedDays, "-1")).has_value());
}

TEST(TaskPropertiesChecks, FoldersThenFrequencyThenDays) {
    TaskPropertiesInput input = Entered(IntervalSelectedDays, "1");
    input.DaysOfWeek = 0;
    EXPECT_EQ(
        Refused(ValidateTaskProperties(input)),
        std::tuple("Invalid Days", "No days of the week are selected.", MessageIcon::Information));
    input.FrequencyIndex = IntervalDays;
    EXPECT_FALSE(ValidateTaskProperties(input).has_value()) << "other types ignore the days";

    // With a Target entered, nothing but the missing Source can be refused first.
    input.IncrementText = "x";
    input.SourceText = " \t ";
    EXPECT_EQ(Refused(ValidateTaskProperties(input)),
              std::tuple("Validate Folders", "No source folder has been entered.",
                         MessageIcon::Exclamation));
    input.Targets.clear();
    EXPECT_EQ(Refused(ValidateTaskProperties(input)),
              std::tuple("Validate Folders", "No target folder has been entered.",
                         MessageIcon::Exclamation));
}

using TaskNameChecks = TasksFixture;

TEST_F(TaskNameChecks, ForbiddenCharactersThenDuplicates) {
    cCloneTask existing;
    existing.TaskName = "Backup";
    app.CloneTasks.Add(existing);
    EXPECT_EQ(Refused(CheckNewTaskName("a/b", app.CloneTasks)),
              std::tuple("Illegal Task Name",
                         "Task names cannot contain any of the following characters:\r\n\\ / : "
                         "* ? \" < > |",
                         MessageIcon::Critical));
    // What the list file cannot hold: its field separator and control characters.
    for (const char* name : {"a~!@#b", "two\nlines", "tab\there", "cr\r", "del\x7f"}) {
        EXPECT_EQ(CheckNewTaskName(name, app.CloneTasks)->Text,
                  "Task names cannot contain \"~!@#\", a line break or another control "
                  "character.")
            << name;
    }
    EXPECT_EQ(Refused(CheckNewTaskName("BACKUP", app.CloneTasks)),
              std::tuple("Duplicate Task Name", "A task with this name already exists.",
                         MessageIcon::Exclamation));
    EXPECT_FALSE(CheckNewTaskName("Backup 2", app.CloneTasks).has_value());
}

TEST(TaskPropertiesSave, AFirstSaveCountsAsARunNow) {
    TaskPropertiesInput input = Entered(IntervalHours, "2");
    input.SourceText = " /src//docs/./ ";
    input.Targets = {"/dst/a", " /dst/b/.. "};
    input.IncludeSubFolders = false;
    input.AllFilesAndFolders = false;
    input.IncludeFileSpecs = {"/src/docs/x"};
    input.IncludeFileMasks = "*.txt";
    input.DaysOfWeek = 255;
    cCloneTask task;
    SaveTaskProperties(input, task, kThursday + 0.4 / 86400);

    EXPECT_EQ(task.SourceFolderSpec, "/src/docs/");
    EXPECT_EQ(task.TargetFolderSpec, "/dst/a/<:>/dst/");
    EXPECT_FALSE(task.IncludeSubFolders);
    EXPECT_FALSE(task.AllFilesAndFolders());
    EXPECT_EQ(task.IncludeFileSpecs, std::vector<std::string>{"/src/docs/x"});
    EXPECT_EQ(task.IncludeFileMasks, "*.txt");
    EXPECT_EQ(task.DaysOfWeek, 127);
    EXPECT_EQ(task.LastCloneDateTime, WholeSecond(kThursday));
    EXPECT_EQ(task.NextCloneDateTime, At(2003, 12, 4, 18, 38, 16));

    // A later save keeps the last run and computes from it.
    input.FrequencyIndex = IntervalDays;
    input.IncrementText = "1";
    input.StartTime = At(1899, 12, 30, 6, 0);
    SaveTaskProperties(input, task, kThursday + 1);
    EXPECT_EQ(task.LastCloneDateTime, WholeSecond(kThursday));
    EXPECT_EQ(task.NextCloneDateTime, At(2003, 12, 6, 6, 0))
        << "Friday 6:00 had passed: computed again from now";
}

TEST(TaskPropertiesSave, AManualTaskKeepsItsNextRunAndAnyIncrement) {
    TaskPropertiesInput input = Entered(IntervalManual, "abc");
    cCloneTask task;
    task.NextCloneDateTime = 1234.0;
    task.LastCloneDateTime = 1000.0;
    SaveTaskProperties(input, task, kThursday);
    EXPECT_EQ(task.IntervalIncrement, 5);
    EXPECT_EQ(task.NextCloneDateTime, 1234.0);
    EXPECT_EQ(task.LastCloneDateTime, 1000.0);
    EXPECT_TRUE(task.AllFilesAndFolders());

    input.IncrementText = "7.9";
    SaveTaskProperties(input, task, kThursday);
    EXPECT_EQ(task.IntervalIncrement, 7);
}

TEST(TaskPropertiesApart, TargetsNotMadeYetAreJudgedByTheirPath) {
    TempDir temp;
    std::filesystem::create_directories(temp / "S");
    std::filesystem::create_symlink(temp / "S", temp / "link");
    const std::string source = temp / "S/";
    EXPECT_EQ(CheckTargetApartFromSource(source, temp / "S/new/deeper/"),
              "The Target folder \"" + temp / "S/new/deeper/" +
                  "\" lies inside the Source folder \"" + source +
                  "\". A folder cannot be cloned into itself.");
    EXPECT_NE(CheckTargetApartFromSource(source, temp / "link/new/").find("lies inside"),
              std::string::npos);
    EXPECT_NE(CheckTargetApartFromSource(temp / "S/not/yet/", source).find("contains"),
              std::string::npos);
    EXPECT_EQ(CheckTargetApartFromSource(source, temp / "S2/"), "");
    EXPECT_EQ(CheckTargetApartFromSource(source, temp / "T/S/"), "");
}

}  // namespace
}  // namespace duvanto::test
