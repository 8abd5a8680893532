// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/CloneTasks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <numeric>

#include "TasksFixture.h"
#include "support/ScopedLocale.h"
#include "tasks/TaskDates.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// The fields of a line joined with the separator.
std::string Line(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : "~!@#") + fields[i];
    }
    return line;
}

// The ten fields of an early version's line, some of them changed, more appended.
std::vector<std::string> TenFields(const std::string& name,
                                   const std::map<std::size_t, std::string>& changed = {},
                                   const std::vector<std::string>& more = {}) {
    std::vector<std::string> fields = {name,
                                       "/src/",
                                       "/a/<:>/b/",
                                       "True",
                                       "9:30:00 AM",
                                       "2",
                                       "3",
                                       "12/1/2003 8:00:00 AM",
                                       "12/1/2003 11:00:00 AM",
                                       "False"};
    fields.insert(fields.end(), more.begin(), more.end());
    for (const auto& [index, value] : changed) {
        fields[index] = value;
    }
    return fields;
}

class TaskListTest : public TasksFixture {
protected:
    TaskListTest() : locale("C") { listFile = appPath + "Default Task List.dvt"; }

    cCloneTasks& List() { return app.CloneTasks; }
    bool Read(const std::string& text) {
        WriteFile(listFile, text);
        return List().ReadAllTasksFromFile(listFile);
    }
    std::vector<std::string> ProblemTexts() const {
        std::vector<std::string> texts;
        for (const TaskListProblem& problem : app.CloneTasks.Problems()) {
            texts.push_back(std::to_string(problem.LineNumber) + ": " + problem.Description);
        }
        return texts;
    }

    ScopedTimeLocale locale;
    std::string listFile;
};

TEST_F(TaskListTest, TheTenFieldsOfAnEarlyVersion) {
    ASSERT_TRUE(Read(Line(TenFields("Early")) + "\r\n"));
    ASSERT_EQ(List().Count(), 1);
    const cCloneTask& task = *List().Item(1);
    EXPECT_EQ(task.TargetFolders(), (std::vector<std::string>{"/a/", "/b/"}));
    EXPECT_EQ(task.StartTime, At(1899, 12, 30, 9, 30));
    EXPECT_EQ(task.LastCloneDateTime, At(2003, 12, 1, 8));
    EXPECT_EQ(task.NextCloneDateTime, At(2003, 12, 1, 11));
    // The later fields take their defaults: every file, every day, no masks.
    EXPECT_EQ(cCloneTasks::TaskLine(task), Line(TenFields("Early")) + "~!@#True~!@#127~!@#");
    EXPECT_TRUE(List().Problems().empty());
    EXPECT_FALSE(fs::exists(List().SupportFolder())) << "nothing looks for the support folder";
}

// Saved on the desktop in one locale, read by cron in the C locale: the dates still read.
TEST_F(TaskListTest, DatesSavedInAnotherLocaleRead) {
    ASSERT_TRUE(Read(Line(TenFields("German", {{7, "01.12.2003 08:00:00"}})) + "\r\n" +
                     Line(TenFields("Japanese", {{8, "2003年12月02日 11時00分00秒"}})) + "\r\n"));
    EXPECT_TRUE(List().Problems().empty());
    EXPECT_EQ(List().Item("German")->LastCloneDateTime, At(2003, 12, 1, 8));
    EXPECT_EQ(List().Item("Japanese")->NextCloneDateTime, At(2003, 12, 2, 11));
}

TEST_F(TaskListTest, ElevenFieldsLoadTheIncludeListWhereItIs) {
    WriteFile(List().SupportFolder() + "InSupport.dvi", "/src/a<//:>z<:>/src/b/");
    WriteFile(List().SupportFolder() + "InSupport.dve", "/src/b/skip");
    WriteFile(appPath + "InSupport.dvi", "the older place");
    WriteFile(appPath + "Old.dvi", "/src/old");
    WriteFile(appPath + "Lone.dvi", "/src/lone");
    ASSERT_TRUE(Read(Line(TenFields("InSupport", {}, {"False"})) + "\r\n" +
                     Line(TenFields("Old", {}, {"false"})) + "\r\n"));

    EXPECT_FALSE(List().Item("InSupport")->AllFilesAndFolders());
    EXPECT_EQ(List().Item("InSupport")->IncludeFileSpecs,
              (std::vector<std::string>{"/src/a<:>z", "/src/b/"}));
    EXPECT_EQ(List().Item("InSupport")->ExcludeFileSpecs, "/src/b/skip");
    EXPECT_EQ(List().Item("Old")->IncludeFileSpecs, std::vector<std::string>{"/src/old"});
    EXPECT_EQ(List().Item("Old")->ExcludeFileSpecs, "");

    // Without a support folder the program folder is asked too.
    fs::remove_all(List().SupportFolder());
    ASSERT_TRUE(Read(Line(TenFields("Lone", {}, {"0"})) + "\n"));
    EXPECT_EQ(List().Item("Lone")->IncludeFileSpecs, std::vector<std::string>{"/src/lone"});
    EXPECT_FALSE(List().Item("Lone")->AllFilesAndFolders());
}

TEST_F(TaskListTest, FourteenFieldsKeepTheExcludeMasksUntilTheNextSave) {
    ASSERT_TRUE(
        Read(Line(TenFields("Full", {}, {"True", "21", "*.doc,*.txt", "*.tmp", "ignored beyond"})) +
             "\r\n"));
    const cCloneTask& task = *List().Item("Full");
    EXPECT_EQ(task.DaysOfWeek, 21);
    EXPECT_EQ(task.IncludeFileMasks, "*.doc,*.txt");
    EXPECT_EQ(task.ExcludeFileMasks, "*.tmp");

    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_EQ(ReadFile(listFile),
              Line(TenFields("Full", {}, {"True", "21", "*.doc,*.txt"})) + "\r\n");
}

TEST_F(TaskListTest, BadLinesAreReportedAndTheGoodOnesKept) {
    const std::string text = Line(TenFields("Good")) + "\r\n" +  // 1
                             "Short~!@#/src/~!@#/t/\r\n" +       // 2
                             "\r\n" +                            // 3: blank, not a problem
                             Line(TenFields("good")) + "\r\n" +  // 4: same name
                             Line(TenFields("Words", {{6, "every other"}})) + "\n" +  // 5
                             Line(TenFields("BadDate", {{7, "yesterday"}})) + "\n" +  // 6
                             std::string("Bin\0ary", 7) + "~!@#" + Line(TenFields("")) +
                             "\n" +                                                         // 7
                             Line(TenFields("BadType", {{5, "9"}})) + "\n" +                // 8
                             std::string(cCloneTasks::kMaxLineLength + 1, 'x') + "\n" +     // 9
                             Line(TenFields("  ")) + "\n" +                                 // 10
                             Line(TenFields("BadBool", {{3, "yes"}})) + "\n" +              // 11
                             Line(TenFields("Trailing", {{6, "30 minutes"}})) + "\r\r\n" +  // 12
                             Line(TenFields("Car\rriage")) + "\n" +                         // 13
                             Line(TenFields("Return", {{1, "/src\r/"}})) + "\r\n" +         // 14
                             Line(TenFields("Last"));  // 15, no line end
    ASSERT_TRUE(Read(text));

    EXPECT_EQ(TaskNames(List()), (std::vector<std::string>{"Good", "Words", "BadDate", "BadType",
                                                           "BadBool", "Trailing", "Last"}));
    EXPECT_EQ(ProblemTexts(),
              (std::vector<std::string>{
                  "2: the line has 3 fields where a task has at least 10; it was skipped",
                  "4: a task named \"good\" is already in the list; the line was skipped",
                  "5: field 6 (IntervalIncrement) \"every other\" is not a number; it was read as "
                  "0",
                  "5: the task \"Words\" has an interval below 1; it is never scheduled",
                  "6: field 7 (LastCloneDateTime) \"yesterday\" is not a date; the task was read "
                  "as never run",
                  "7: the line holds binary data; it was skipped",
                  "8: field 5 (IntervalType) \"9\" is a schedule this version cannot read; the "
                  "task is kept as it is and never run by the scheduler",
                  "9: the line is longer than 1048576 bytes; it was skipped",
                  "10: the line names no task; it was skipped",
                  "11: field 3 (IncludeSubFolders) \"yes\" is neither True nor False; it was read "
                  "as True",
                  "13: the line holds a carriage return; it was skipped",
                  "14: the line holds a carriage return; it was skipped",
              }));
    EXPECT_EQ(List().Item("Words")->IntervalIncrement, 0);
    // A number followed by words is read by the number rule; nothing of it is lost.
    EXPECT_EQ(List().Item("Trailing")->IntervalIncrement, 30);
    // A run time that cannot be read leaves the task as one that never ran.
    EXPECT_EQ(List().Item("BadDate")->LastCloneDateTime, 0.0);
    EXPECT_EQ(List().Item("BadDate")->NextCloneDateTime, 0.0);
    EXPECT_EQ(List().Item("BadType")->IntervalType, 9);
    EXPECT_TRUE(List().ProblemsLoseData());
    // What was read can be written back: no task holds what a line cannot.
    EXPECT_TRUE(List().SaveAllTasksToFile(listFile));
}

// A list that a later version wrote may hold a schedule this one does not know: the task stays
// as it was, is never chosen by the scheduler, and a save gives its line back unchanged.
TEST_F(TaskListTest, AScheduleOfALaterVersionIsKeptAndNeverRun) {
    const std::vector<std::string> asWritten = {"True", "127", ""};
    const std::string later = Line(TenFields("Later", {{5, "7"}}, asWritten));
    const std::string onConnect = Line(TenFields("Stick", {{5, "5"}, {6, "0"}}, asWritten));
    ASSERT_TRUE(Read(later + "\r\n" + onConnect + "\r\n"));
    EXPECT_EQ(ProblemTexts(), (std::vector<std::string>{
                                  "1: field 5 (IntervalType) \"7\" is a schedule this version "
                                  "cannot read; the task is kept as it is and never run by the "
                                  "scheduler"}))
        << "the type of the drive connection is known, and its increment of 0 is no flaw";
    EXPECT_FALSE(List().ProblemsLoseData());
    EXPECT_EQ(List().NextScheduledTask(nullptr), nullptr) << "past due, but never run on a guess";
    EXPECT_EQ(List().Item("Later")->ListviewSubItems()[2], "Unknown schedule");
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_EQ(ReadFile(listFile), later + "\r\n" + onConnect + "\r\n");
}

TEST_F(TaskListTest, NumbersAndBooleansAsTheListHasAlwaysReadThem) {
    // " 2.5" rounds half to even.
    std::vector<std::string> fields =
        TenFields("Numbers", {{3, " 0 "}, {5, "1"}, {6, " 2.5"}, {9, "-1"}}, {"TRUE", "1e1"});
    ASSERT_TRUE(Read(Line(fields)));
    const cCloneTask& task = *List().Item("Numbers");
    EXPECT_FALSE(task.IncludeSubFolders);
    EXPECT_EQ(task.IntervalIncrement, 2);
    EXPECT_TRUE(task.ErrorOnLastClone);
    EXPECT_TRUE(task.AllFilesAndFolders());
    EXPECT_EQ(task.DaysOfWeek, 10);
    EXPECT_TRUE(List().Problems().empty());

    fields[6] = "99999999999";
    ASSERT_TRUE(Read(Line(fields)));
    EXPECT_EQ(ProblemTexts(),
              (std::vector<std::string>{
                  "1: field 6 (IntervalIncrement) \"99999999999\" is out of range; it was read as "
                  "0",
                  "1: the task \"Numbers\" has an interval below 1; it is never scheduled",
                  "1: a task named \"Numbers\" is already in the list; the line was skipped"}));
}

TEST_F(TaskListTest, ADaylessScheduleIsReportedButKept) {
    ASSERT_TRUE(Read(Line(TenFields("Dayless", {{5, "4"}}, {"True", "0"}))));
    ASSERT_EQ(List().Count(), 1);
    ASSERT_EQ(List().Problems().size(), 1u);
    EXPECT_EQ(List().Problems()[0].Description,
              "the task \"Dayless\" runs on selected days but has no day selected; it is never "
              "scheduled");
    EXPECT_FALSE(List().ProblemsLoseData()) << "saving writes it back as it was";
    List().SetNextScheduledTask();
    EXPECT_EQ(List().NextScheduledTask(), nullptr);
}

TEST_F(TaskListTest, AnOverdueSelectedDaysTaskWaitsForItsNextDay) {
    // Thursday 16:38; the task was due Monday 9:30.
    // Monday and Saturday (1 + 32); Thursday (8).
    const std::map<std::size_t, std::string> weekly = {{5, "4"}, {8, "12/1/2003 9:30:00 AM"}};
    ASSERT_TRUE(Read(Line(TenFields("Weekly", weekly, {"True", "33"})) + "\n" +
                     Line(TenFields("Today", weekly, {"True", "8"})) + "\n"));
    EXPECT_EQ(List().Item("Weekly")->NextCloneDateTime, At(2003, 12, 6, 9, 30));
    EXPECT_EQ(List().Item("Today")->NextCloneDateTime, At(2003, 12, 1, 9, 30))
        << "today is selected: due at once";

    // Only with the day field: an eleven-field line keeps its time.
    Read(Line(TenFields("Eleven", weekly, {"True"})));
    EXPECT_EQ(List().Item("Eleven")->NextCloneDateTime, At(2003, 12, 1, 9, 30));
}

TEST_F(TaskListTest, AMissingFileIsCreatedAndAnEmptyListNotSaved) {
    EXPECT_TRUE(List().ReadAllTasksFromFile(appPath + "None.dvt", false));
    EXPECT_FALSE(fs::exists(appPath + "None.dvt"));
    EXPECT_TRUE(List().ReadAllTasksFromFile(appPath + "None.dvt"));
    EXPECT_TRUE(fs::exists(appPath + "None.dvt"));
    EXPECT_EQ(List().Count(), 0);

    EXPECT_FALSE(List().ReadAllTasksFromFile(appPath));
    ASSERT_EQ(ProblemTexts(), (std::vector<std::string>{"0: the task list is not a file"}));
    EXPECT_TRUE(List().ProblemsLoseData()) << "a save would replace what could not be read";

    // Saving an empty list leaves the file alone.
    WriteFile(listFile, "whatever was there\r\n");
    EXPECT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_EQ(ReadFile(listFile), "whatever was there\r\n");
}

TEST_F(TaskListTest, TheSupportFolderOnlyForSelectedItems) {
    List().Add(Named("Whole"));
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_FALSE(fs::exists(List().SupportFolder()));
    EXPECT_FALSE(fs::exists(appPath + "Whole.dvi"));
    EXPECT_EQ(ReadFile(listFile),
              "Whole~!@#~!@#~!@#True~!@#12:00:00 PM~!@#0~!@#1~!@#12:00:00 AM~!@#12:00:00 "
              "AM~!@#False~!@#True~!@#127~!@#\r\n");

    List().Add(Selecting("Some", {"/src/a", "/src/x<:>y/"}));
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_EQ(ReadFile(List().SupportFolder() + "Some.dvi"), "/src/a<:>/src/x<//:>y/");

    // An emptied selection leaves no empty file behind.
    List().Item("Some")->IncludeFileSpecs.clear();
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_FALSE(fs::exists(List().SupportFolder() + "Some.dvi"));
}

// Names that fit a file name with the extension keep the names lists have always had; longer
// ones are cut between characters and told apart by the hash of the whole name (the values are
// FNV-1a worked out apart from this code).
TEST(SupportFileNameTest, ANameTooLongForAFileNameIsShortenedByItsHash) {
    const std::string fits(251, 'n');
    EXPECT_EQ(SupportFileName(fits, ".dvi"), fits + ".dvi");
    EXPECT_EQ(SupportFileName(std::string(300, 'a'), ".dvi"),
              std::string(234, 'a') + "~ee7717eba7a17e21.dvi");
    EXPECT_EQ(SupportFileName("a" + Repeated("日", 100), ".dve"),
              "a" + Repeated("日", 77) + "~779c311938f85a3c.dve");
    EXPECT_EQ(SupportFileName(std::string(252, 'n'), ".dvi").size(), kMaxFileNameBytes);
}

// Whatever name the list takes, the task's selection is saved and read back, and so is the
// selection of a list whose name is long too.
TEST_F(TaskListTest, EveryNameKeepsItsSelectionAcrossASaveAndALoad) {
    const std::vector<std::string> names = {"Short", std::string(251, 'n'), std::string(300, 'L'),
                                            Repeated("写", 300), std::string(300, 'L') + "x"};
    listFile = appPath + std::string(245, 'W') + ".dvt";
    List().TaskListFileSpec(listFile);
    for (const std::string& name : names) {
        ASSERT_TRUE(List().Add(Selecting(name, {"/src/" + name.substr(0, 8)})));
    }
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(fs::exists(List().SupportFolder() + "Short.dvi"));

    Application other(appPath, clock, prompt, fileSystem);
    other.CloneTasks.TaskListFileSpec(listFile);
    ASSERT_TRUE(other.CloneTasks.ReadAllTasksFromFile(listFile));
    ASSERT_EQ(TaskNames(other.CloneTasks), names);
    for (const std::string& name : names) {
        EXPECT_EQ(other.CloneTasks.Item(name)->IncludeFileSpecs,
                  std::vector<std::string>{"/src/" + name.substr(0, 8)})
            << name.size() << " bytes";
    }
}

// A selection that cannot be written fails the save, visibly; the list keeps what it held, so
// that no task is left to clone nothing after the next load.
TEST_F(TaskListTest, ASelectionThatCannotBeWrittenFailsTheSave) {
    WriteFile(listFile, "earlier\r\n");
    fs::create_directories(List().SupportFolder() + "Some.dvi");
    List().Add(Selecting("Some", {"/src/a"}));
    EXPECT_FALSE(List().SaveAllTasksToFile(listFile));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cCloneTask.SaveIncludeFileSpecs");
    EXPECT_NE(prompt.shown[0].text.find(List().SupportFolder() + "Some.dvi"), std::string::npos)
        << prompt.shown[0].text;
    EXPECT_EQ(ReadFile(listFile), "earlier\r\n");
}

// Only another program's change counts: the list's own read and saves are known, a copy saved
// elsewhere changes nothing of that, and a file gone is nothing to read again.
TEST_F(TaskListTest, OnlyAnotherProgramsChangeOfTheFileIsAChange) {
    List().TaskListFileSpec(listFile);
    ASSERT_TRUE(Read(Line(TenFields("Photos")) + "\r\n"));
    EXPECT_FALSE(List().FileChangedElsewhere());
    List().Add(Named("Mail"));
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    ASSERT_TRUE(List().SaveAllTasksToFile(appPath + "Copy.dvt"));
    EXPECT_FALSE(List().FileChangedElsewhere());

    WriteFile(listFile, ReadFile(listFile) + Line(TenFields("Music")) + "\r\n");
    EXPECT_TRUE(List().FileChangedElsewhere());
    fs::remove(listFile);
    EXPECT_FALSE(List().FileChangedElsewhere());
}

TEST_F(TaskListTest, ASupportFolderThatCannotBeMadeStopsTheSave) {
    WriteFile(listFile, "earlier\r\n");
    WriteFile(appPath + "Default Task List support files", "a file in the way");
    List().Add(Selecting("Some", {}));
    EXPECT_FALSE(List().SaveAllTasksToFile(listFile));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cCloneTasks.SaveAllTasksToFile");
    EXPECT_NE(prompt.shown[0].text.find("Create Directory Failed"), std::string::npos)
        << prompt.shown[0].text;
    EXPECT_EQ(ReadFile(listFile), "earlier\r\n") << "the file is replaced whole or not at all";
}

// A full disk at the save and a failing disk at the next read: the file keeps what it held and
// the list in memory keeps every task, for a save once the disk is back.
TEST_F(TaskListTest, AFailedWriteOrReadOfTheListLosesNothing) {
    const std::string earlier = Line(TenFields("Photos")) + "\r\n";
    ASSERT_TRUE(Read(earlier));
    List().Add(Named("Mail"));
    fileSystem.Fail(FsOp::WriteFile, listFile, ENOSPC);
    EXPECT_FALSE(List().SaveAllTasksToFile(listFile));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cCloneTasks.SaveAllTasksToFile");
    EXPECT_TRUE(prompt.shown[0].text.starts_with(
        "DLL Error: No space left on device\r\nError: Disk full\r\n"))
        << prompt.shown[0].text;
    EXPECT_EQ(ReadFile(listFile), earlier);

    fileSystem.Fail(FsOp::ReadFile, listFile, EIO);
    EXPECT_FALSE(List().ReadAllTasksFromFile(listFile));
    EXPECT_EQ(ProblemTexts(),
              std::vector<std::string>{"0: the task list could not be read: Input/output error"});
    EXPECT_EQ(List().Count(), 2);

    fileSystem.ClearFaults();
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_EQ(ReadFile(listFile), cCloneTasks::TaskLine(*List().Item("Photos")) + "\r\n" +
                                      cCloneTasks::TaskLine(*List().Item("Mail")) + "\r\n");
}

TEST_F(TaskListTest, AFieldThatWouldBreakTheLineIsNotWritten) {
    WriteFile(listFile, "earlier\r\n");
    cCloneTask task = Named("Odd");
    task.SourceFolderSpec = "/a~!@#b/";
    List().Add(task);
    EXPECT_FALSE(List().SaveAllTasksToFile(listFile));
    List().Item("Odd")->SourceFolderSpec = "/line\nbreak/";
    EXPECT_FALSE(List().SaveAllTasksToFile(listFile));
    EXPECT_EQ(ReadFile(listFile), "earlier\r\n");
    EXPECT_EQ(prompt.shown.size(), 2u);
}

TEST_F(TaskListTest, TheListNameComesFromTheFileWhereverItIs) {
    List().TaskListFileSpec(temp / "elsewhere/Work.dvt");
    EXPECT_EQ(List().TaskListName(), "Work");
    EXPECT_EQ(List().SupportFolder(), appPath + "Work support files/");
    List().TaskListFileSpec(appPath + "Default Task List.dvt");
    EXPECT_EQ(List().TaskListName(), "Default Task List");
}

TEST_F(TaskListTest, AddFollowsItsPositionRule) {
    auto order = [&] {
        const std::vector<std::string> names = TaskNames(List());
        return std::accumulate(names.begin(), names.end(), std::string());
    };
    EXPECT_TRUE(List().Add(Named("A"), 1));
    EXPECT_TRUE(List().Add(Named("B"), 1));  // a list of one: appended
    EXPECT_EQ(order(), "AB");
    List().Add(Named("C"));
    List().Add(Named("D"), -1);
    EXPECT_EQ(order(), "ABCD");
    List().Add(Named("E"), 2);  // after position 3
    EXPECT_EQ(order(), "ABCED");
    List().Add(Named("F"), 5);  // 6 is past the end: after position 4
    EXPECT_EQ(order(), "ABCEFD");
    List().Add(Named("G"), 0);  // after position 1
    EXPECT_EQ(order(), "AGBCEFD");
    List().Add(Named("H"), 99);  // no such place: appended
    EXPECT_EQ(order(), "AGBCEFDH");

    EXPECT_FALSE(List().Add(Named("a")));
    EXPECT_FALSE(List().Add(Named(" ")));
    EXPECT_EQ(List().Count(), 8);
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_NE(prompt.shown[0].text.find("457"), std::string::npos) << prompt.shown[0].text;
}

TEST_F(TaskListTest, RemoveItemAndCopy) {
    const cCloneTask a = Scheduled(Named("Alpha"), IntervalHours, kThursday);
    List().Add(a);
    List().Add(Named("Beta"));
    EXPECT_EQ(List().NextScheduledTask()->TaskName, "Alpha");
    EXPECT_EQ(List().Item("ALPHA"), List().Item(1));
    EXPECT_EQ(List().Item(0), nullptr);
    EXPECT_EQ(List().Item(3), nullptr);

    EXPECT_TRUE(List().Remove(*List().Item("Alpha")));
    EXPECT_EQ(List().Count(), 1);
    EXPECT_EQ(List().NextScheduledTask(), nullptr);
    EXPECT_FALSE(List().Remove(a));

    cCloneTask source = Selecting("Source", {"/x/a"});
    source.IncludeFileMasks = "*.a";
    source.ExcludeFileSpecs = "/x/b";
    source.ExcludeFileMasks = "*.b";
    source.IsNextScheduledTask = true;
    source.DaysOfWeek = 5;
    cCloneTask copy;
    copy.IncludeFileSpecs = {"stale"};
    cCloneTasks::CopyTaskPropertiesFromObj1ToObj2(source, copy);
    EXPECT_EQ(cCloneTasks::TaskLine(copy), cCloneTasks::TaskLine(source));
    // The line leaves out the selected items and the exclusions.
    EXPECT_EQ(copy.IncludeFileSpecs, std::vector<std::string>{"/x/a"});
    EXPECT_EQ(copy.ExcludeFileSpecs, "/x/b");
    EXPECT_EQ(copy.ExcludeFileMasks, "*.b");
    EXPECT_TRUE(copy.IsNextScheduledTask);
}

// Unreadable lines must not stop every later save (cron would never run anything again), nor
// vanish with it: the first save keeps the file as read beside it, once.
TEST_F(TaskListTest, TheFirstSaveAfterLostLinesKeepsTheOriginalOnce) {
    WriteFile(listFile + ".bak", "an older backup");
    const std::string original = Line(TenFields("Good")) + "\r\nBroken~!@#line\r\n";
    ASSERT_TRUE(Read(original));
    ASSERT_TRUE(List().ProblemsLoseData());
    EXPECT_EQ(List().BackupFileSpec(), "");

    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_EQ(List().BackupFileSpec(), listFile + ".1.bak");
    EXPECT_EQ(ReadFile(listFile + ".1.bak"), original);
    EXPECT_EQ(ReadFile(listFile + ".bak"), "an older backup");
    EXPECT_EQ(ReadFile(listFile), Line(TenFields("Good")) + "~!@#True~!@#127~!@#\r\n");
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_FALSE(fs::exists(listFile + ".2.bak"));

    // Saved elsewhere, the file read keeps its lines and needs no copy.
    ASSERT_TRUE(Read(original));
    ASSERT_TRUE(List().SaveAllTasksToFile(appPath + "Other.dvt"));
    EXPECT_EQ(List().BackupFileSpec(), "");
    // A list read whole makes none.
    List().TaskListFileSpec(appPath + "Whole.dvt");
    WriteFile(appPath + "Whole.dvt", Line(TenFields("Whole")) + "\r\n");
    ASSERT_TRUE(List().ReadAllTasksFromFile(appPath + "Whole.dvt"));
    ASSERT_TRUE(List().SaveAllTasksToFile(appPath + "Whole.dvt"));
    EXPECT_FALSE(fs::exists(appPath + "Whole.dvt.bak"));
}

TEST_F(TaskListTest, ABackupThatCannotBeWrittenStopsTheSave) {
    // 252 bytes: the list's own name fits a folder entry, its backup's name does not.
    const std::string longList = appPath + std::string(248, 'L') + ".dvt";
    const std::string original = Line(TenFields("Good")) + "\r\nBroken\r\n";
    WriteFile(longList, original);
    List().TaskListFileSpec(longList);
    ASSERT_TRUE(List().ReadAllTasksFromFile(longList));
    EXPECT_FALSE(List().SaveAllTasksToFile(longList));
    EXPECT_EQ(ReadFile(longList), original);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cCloneTasks.SaveAllTasksToFile");
}

TEST_F(TaskListTest, AByteOrderMarkIsNoPartOfTheFirstName) {
    WriteFile(List().SupportFolder() + "First.dvi", "\xEF\xBB\xBF/src/a");
    ASSERT_TRUE(Read("\xEF\xBB\xBF" + Line(TenFields("First", {}, {"False"})) + "\r\n"));
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().Item(1)->TaskName, "First");
    EXPECT_EQ(List().Item(1)->IncludeFileSpecs, std::vector<std::string>{"/src/a"});
    EXPECT_TRUE(List().Problems().empty());
}

// Names are keys as they stand: the illegal-character repair turns each forbidden character into
// a blank, at the ends of a name too, and such a task must be found by its own name and by no
// other.
TEST_F(TaskListTest, NamesMatchExactlyButForLetterCase) {
    ASSERT_TRUE(Read(Line(TenFields("Back:")) + "\n" + Line(TenFields("Back")) + "\n" +
                     Line(TenFields(" Back")) + "\n" + Line(TenFields("BACK ")) + "\n" +
                     Line(TenFields("a<>b")) + "\n"));
    ASSERT_EQ(List().Count(), 4);
    EXPECT_TRUE(List().TaskNameContainedIllegalChar());
    EXPECT_EQ(List().Item("Back ")->TaskName, "Back ");
    EXPECT_EQ(List().Item("back")->TaskName, "Back");
    EXPECT_EQ(List().Item(" back")->TaskName, " Back");
    EXPECT_EQ(List().Item("Back  "), nullptr);
    EXPECT_NE(List().Item("a  b"), nullptr);
    // The flag tells of the repair, no problem does; the names are saved repaired.
    EXPECT_EQ(ProblemTexts(), (std::vector<std::string>{"4: a task named \"BACK \" is already in "
                                                        "the list; the line was skipped"}));
    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_TRUE(ReadFile(listFile).starts_with("Back ~!@#"));
}

// Dotfile managers keep these files as links into a repository: a save updates the file the
// link points to and leaves the link.
TEST_F(TaskListTest, ASavedListGoesThroughItsLink) {
    const std::string kept = temp / "dotfiles/tasks.dvt";
    WriteFile(kept, Line(TenFields("Old")) + "\r\n");
    fs::remove(listFile);
    fs::create_symlink("../dotfiles/tasks.dvt", listFile);
    ASSERT_TRUE(List().ReadAllTasksFromFile(listFile));
    List().Add(Selecting("Some", {"/src/a"}));
    const std::string include = List().SupportFolder() + "Some.dvi";
    WriteFile(temp / "dotfiles/Some.dvi", "stale");
    fs::create_directories(List().SupportFolder());
    fs::create_symlink(temp / "dotfiles/Some.dvi", include);

    ASSERT_TRUE(List().SaveAllTasksToFile(listFile));
    EXPECT_TRUE(fs::is_symlink(listFile));
    EXPECT_TRUE(ReadFile(kept).starts_with("Old~!@#")) << ReadFile(kept);
    EXPECT_NE(ReadFile(kept).find("Some~!@#"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(include));
    EXPECT_EQ(ReadFile(temp / "dotfiles/Some.dvi"), "/src/a");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp / "dotfiles"), fs::directory_iterator{}), 2)
        << "no temporary file is left beside the file";
}

}  // namespace
}  // namespace duvanto::test
