// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "platform/InstanceLock.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "util/PathStrings.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

std::string Line(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : "~!@#") + fields[i];
    }
    return line + "\r\n";
}

class TaskCommandsTest : public CliFolders {
protected:
    TaskCommandsTest() : locale("C") { WriteFile(source + "a.txt", "a"); }

    // A task line as the list file holds it: manual unless a type is given.
    std::string Task(const std::string& name, const std::string& to, const std::string& type = "0",
                     const std::string& next = "12:00:00 AM",
                     const std::string& last = "12/1/2003 8:00:00 AM") {
        return Line({name, source, temp / to, "True", "12:00:00 PM", type, "1", last, next, "False",
                     "True", "127", ""});
    }

    // The listed lines, one vector of fields per task.
    std::vector<std::vector<std::string>> ListedFields() const {
        std::vector<std::vector<std::string>> rows;
        for (const std::string& line : SplitLines(out)) {
            rows.push_back(SplitLines(line, "\t"));
        }
        return rows;
    }

    ScopedTimeLocale locale;
    const std::string list = home + "Default Task List.dvt";
};

TEST_F(TaskCommandsTest, ListShowsOneLinePerTaskInListOrder) {
    WriteFile(list,
              Task("Manual", "T/") +
                  Line({"Hourly", temp / "S/", temp / "T/<:>" + temp / "U/", "True", "12:00:00 PM",
                        "2", "1", "12/1/2003 8:00:00 AM", "12/1/2003 9:00:00 AM", "True"}));
    EXPECT_EQ(Run({"list"}), 0) << err;
    EXPECT_EQ(out,
              "Manual\t~/S/\t~/T/\tManual\t12/1/2003 8:00:00 AM\tok\n"
              "Hourly\t~/S/\t~/T/, ~/U/\t12/1/2003 9:00:00 AM\t12/1/2003 8:00:00 AM\terror\n");
    EXPECT_EQ(err, "");
}

TEST_F(TaskCommandsTest, ListWithoutAListCreatesNothing) {
    EXPECT_EQ(Run({"list"}), 0) << err;
    EXPECT_EQ(out, "");
    EXPECT_FALSE(fs::exists(home));
    EXPECT_EQ(Run({"list", "--task-list", temp / "nowhere/Work.dvt"}), 0);
    EXPECT_FALSE(fs::exists(temp / "nowhere"));
}

TEST_F(TaskCommandsTest, BadLinesAreNamedAndTheRestListed) {
    WriteFile(list, Task("Good", "T/") + "Broken~!@#line\r\n" + Task("Fine", "T/"));
    EXPECT_EQ(Run({"list"}), 1);
    EXPECT_EQ(ListedFields().size(), 2u);
    EXPECT_EQ(err,
              "duvanto-cli: ~/home/Default Task List.dvt:2: the line has 2 fields where a task has "
              "at least 10; it was skipped\n");

    // A command that saves still works (cron must not stop for one bad line), and names the
    // copy the first save keeps of the file (what it holds is the task list's own test).
    EXPECT_EQ(Run({"run", "Good", "--quiet"}), 0) << err;
    EXPECT_EQ(out, "Clone Complete - Good\n");
    EXPECT_TRUE(
        err.ends_with("duvanto-cli: ~/home/Default Task List.dvt: the lines that could not be "
                      "read are kept as they were in ~/home/Default Task List.dvt.bak\n"))
        << err;
}

// A hand-edited list may hold escape sequences: they reach the terminal escaped, as in the log.
TEST_F(TaskCommandsTest, NamesFromTheListReachTheTerminalEscaped) {
    const std::string title = "\x1b]0;owned\x07";
    fs::create_directories(temp / ("T" + title));
    WriteFile(list, Task("Evil" + title, "T" + title + "/") +
                        Line({"Bad\xc2\x9b", source, temp / "T/", "True", "12:00:00 PM", "0",
                              "every\x1b[2J", "12/1/2003 8:00:00 AM", "12:00:00 AM", "False"}));
    EXPECT_EQ(Run({"list"}), 1) << "a field read as 0 loses what it said";
    EXPECT_EQ(
        SplitLines(out)[0],
        "Evil\\x1B]0;owned\\x07\t~/S/\t~/T\\x1B]0;owned\\x07/\tManual\t12/1/2003 8:00:00 AM\tok");
    EXPECT_EQ(err,
              "duvanto-cli: ~/home/Default Task List.dvt:2: field 6 (IntervalIncrement) "
              "\"every\\x1B[2J\" is not a number; it was read as 0\n");

    EXPECT_EQ(Run({"run", "Evil" + title, "--quiet"}), 0) << err;
    EXPECT_EQ(out, "Clone Complete - Evil\\x1B]0;owned\\x07\n");
    EXPECT_EQ(Run({"run", "No\x1b[1mSuch"}), 2);
    EXPECT_EQ(err,
              "duvanto-cli: no task named \"No\\x1B[1mSuch\" in ~/home/Default Task List.dvt\n");
}

TEST_F(TaskCommandsTest, RunExecutesTheNamedTasksInTheGivenOrderAndSaves) {
    fs::create_directories(temp / "U");
    WriteFile(list, Task("First", "T/") + Task("Second", "U/") + Task("Broken", "missing/"));
    EXPECT_EQ(Run({"run", "second", "First", "--quiet"}), 0) << err;
    EXPECT_EQ(out, "Clone Complete - Second\nClone Complete - First\n");

    EXPECT_EQ(Run({"run", "--all"}), 1);
    EXPECT_EQ(out,
              "Clone Complete - First\nClone Complete - Second\nClone Complete with Errors - "
              "Broken\n");
}

TEST_F(TaskCommandsTest, RunRefusesUnknownTasksBeforeRunningAny) {
    WriteFile(list, Task("Known", "T/"));
    const std::string before = ReadFile(list);
    EXPECT_EQ(Run({"run", "Known", "Unknown"}), 2);
    EXPECT_EQ(err, "duvanto-cli: no task named \"Unknown\" in ~/home/Default Task List.dvt\n");
    EXPECT_EQ(out, "");
    EXPECT_FALSE(fs::exists(temp / "T/a.txt"));
    EXPECT_EQ(ReadFile(list), before);
    EXPECT_EQ(Run({"run"}), 2);
    EXPECT_EQ(Run({"run", "--all", "Known"}), 2);
}

TEST_F(TaskCommandsTest, DueRunsTheNextScheduledTaskOnceItIsDue) {
    WriteFile(list, Task("Manual", "T/") + Task("Later", "U/", "3", "12/31/9999") +
                        Task("Overdue", "T/", "2", "12/1/2003 9:00:00 AM") +
                        Task("Gone", "missing/", "1", "12/1/2003 10:00:00 AM"));
    EXPECT_EQ(Run({"due"}), 0) << err;
    EXPECT_EQ(out, "Clone Complete - Overdue\n");
    EXPECT_EQ(ReadFile(temp / "T/a.txt"), "a");
    // Next due an hour after the run, which the file now holds.
    EXPECT_EQ(Run({"due"}), 1);
    EXPECT_EQ(out, "Clone Complete with Errors - Gone\n");
    EXPECT_EQ(Run({"due"}), 0);
    EXPECT_EQ(out, "nothing due\n");
}

// A drive that stays mounted is one connection: each process of `due` knows from the program
// folder that the task ran for it. The drive here is the one the test folder lies on.
TEST_F(TaskCommandsTest, DueRunsATaskOnConnectionOncePerMounting) {
    ASSERT_EQ(
        Run({"add", "Stick", "--source", source, "--target", target, "--schedule", "on-connect"}),
        0)
        << err;
    EXPECT_EQ(SplitLines(ReadFile(list), "~!@#")[5], "5");
    EXPECT_EQ(Run({"list"}), 0) << err;
    const std::string nextRun = ListedFields().at(0).at(3);
    EXPECT_TRUE(nextRun.starts_with("When /") && nextRun.ends_with(" is connected")) << nextRun;

    EXPECT_EQ(Run({"due"}), 0) << err;
    EXPECT_EQ(out, "Clone Complete - Stick\n");
    EXPECT_EQ(ReadFile(target + "a.txt"), "a");
    EXPECT_EQ(Run({"due"}), 0) << err;
    EXPECT_EQ(out, "nothing due\n");

    // Another mounting (here: the record of another one) runs it again.
    const std::string record = ReadFile(home + "duvanto.connected");
    WriteFile(home + "duvanto.connected", "other/1/0:1" + record.substr(record.find('\t')));
    EXPECT_EQ(Run({"due"}), 0) << err;
    EXPECT_EQ(out, "Clone Complete - Stick\n");
    EXPECT_EQ(ReadFile(home + "duvanto.connected"), record);
}

TEST_F(TaskCommandsTest, AnotherInstanceKeepsEveryChangeOut) {
    WriteFile(list, Task("Known", "T/"));
    const std::string before = ReadFile(list);
    Result<InstanceLock> held = InstanceLock::Acquire(home);
    ASSERT_TRUE(held.ok());
    for (std::vector<std::string> args : {std::vector<std::string>{"run", "Known"},
                                          {"clone", source, target, "--quiet"},
                                          {"clone", source, temp / "New/"},
                                          {"due"},
                                          {"remove", "Known"},
                                          {"add", "New", "--source", source, "--target", target}}) {
        EXPECT_EQ(Run(args), 2) << args[0];
        EXPECT_EQ(err, "Duvanto is already running\n") << args[0];
        EXPECT_EQ(out, "") << args[0];
    }
    EXPECT_EQ(ReadFile(list), before);
    EXPECT_FALSE(fs::exists(temp / "T/a.txt"));
    EXPECT_FALSE(fs::exists(temp / "New")) << "a missing Target is made only under the lock";
    EXPECT_EQ(Run({"list"}), 0) << "reading needs no lock";
}

// A selected name holding a comma or the list separator is kept as that one name.
TEST_F(TaskCommandsTest, AddStoresTheTaskAsTheDialogWould) {
    WriteTree(source, {"a,b=ab", "x<:>y=xy"});
    ASSERT_EQ(chdir(temp.Path().c_str()), 0);
    EXPECT_EQ(Run({"add", "  Docs  ", "--source", "S", "--target", "T/", "--target", "U",
                   "--schedule", "days:2@06:30", "--select", "a,b", "--select", "x<:>y", "--mask",
                   "*.md", "--no-subfolders"}),
              0)
        << err;
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(out, "'Docs' has been created successfully.\n");
    // The missing Target is kept and named, as the dialog lets the user keep it.
    EXPECT_EQ(err,
              "Problems with Target Folder\nAn error occurred while processing \"~/U/\".\nMake "
              "sure that the folder exists and that you have permission to access it.\n");
    // The run times depend on the clock; every other field is fixed.
    std::vector<std::string> fields = SplitLines(ReadFile(list), "~!@#");
    ASSERT_EQ(fields.size(), 13u) << ReadFile(list);
    fields[7] = fields[8] = "(time)";
    EXPECT_EQ(fields, (std::vector<std::string>{"Docs", source, target + "<:>" + temp / "U/",
                                                "False", "6:30:00 AM", "3", "2", "(time)", "(time)",
                                                "False", "False", "127", "*.md\r\n"}));
    EXPECT_EQ(ReadFile(home + "Default Task List support files/Docs.dvi"),
              source + "a,b<:>" + source + "x<//:>y");
}

TEST_F(TaskCommandsTest, AddRefusesWithTheDialogMessagesAndChangesNothing) {
    WriteFile(list, Task("Taken", "T/"));
    const std::string before = ReadFile(list);
    const std::string frequency =
        "Invalid Frequency\nThe frequency value is invalid.  Please check the following:\n\n1) "
        "The frequency interval must be a positive number\n2) The frequency cannot be greater "
        "than once every 5 minutes\n\n";
    const auto notASchedule = [](const std::string& text) {
        return "duvanto-cli: --schedule: \"" + text +
               "\" is not manual, minutes:N, hours:N, days:N@HH:MM, weekdays:DAY,...@HH:MM or "
               "on-connect\n";
    };
    const auto scheduled = [&](const std::string& schedule) {
        return std::vector<std::string>{"add",      "New",  "--source",   source,
                                        "--target", target, "--schedule", schedule};
    };
    // The arguments, and what the refusal says.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {scheduled("minutes:4"), frequency},
        {scheduled("weekdays:@09:00"), "Invalid Days\nNo days of the week are selected.\n"},
        {scheduled("yearly"), notASchedule("yearly")},
        {scheduled("on-connect:1"), notASchedule("on-connect:1")},
        {scheduled("weekdays:mo@09:00"), notASchedule("weekdays:mo@09:00")},
        {scheduled("days:1@24:00"), notASchedule("days:1@24:00")},
        {{"add", "New", "--source", source, "--target", source + "inner"},
         "Problems with Target Folder\nAn error occurred while processing \"~/S/inner/\".\nMake "
         "sure that the folder exists and that you have permission to access it.\nInvalid Target "
         "Folder\nThe Target folder \"~/S/inner/\" lies inside the Source folder \"~/S/\". A "
         "folder cannot be cloned into itself.\n"},
        {{"add", "New", "--source", source, "--target", temp / "T~!@#x"},
         "duvanto-cli: \"~/T~!@#x\": a folder or mask of a task cannot hold "
         "\"~!@#\", \"<:>\" or a line break\n"},
        {{"add", "  ", "--source", source, "--target", target},
         "duvanto-cli: add: the task name is empty\n"},
    };
    for (const auto& [args, refusal] : cases) {
        EXPECT_EQ(Run(args), 2) << args[1];
        EXPECT_EQ(err, refusal) << args[1];
        EXPECT_EQ(out, "");
        EXPECT_EQ(ReadFile(list), before);
    }
    EXPECT_FALSE(fs::exists(home + "Default Task List support files"));
}

TEST_F(TaskCommandsTest, RemoveDeletesTheTask) {
    WriteFile(list, Task("Keep", "T/") + Task("Drop", "T/"));
    EXPECT_EQ(Run({"remove", "drop"}), 0) << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(ReadFile(list), Task("Keep", "T/"));
    EXPECT_EQ(Run({"remove", "Drop"}), 2);
    EXPECT_EQ(err, "duvanto-cli: no task named \"Drop\" in ~/home/Default Task List.dvt\n");
}

TEST_F(TaskCommandsTest, TheOptionsNameTheListAndTaskListOverridesIt) {
    WriteFile(home + "duvanto.ini", "[TaskList]\r\nTaskListFileSpec=" + temp / "Work.dvt" + "\r\n");
    WriteFile(temp / "Work.dvt", Task("FromOptions", "T/"));
    WriteFile(temp / "Other.dvt", Task("FromArgument", "T/"));
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(out.substr(0, out.find('\t')), "FromOptions");
    ASSERT_EQ(chdir(temp.Path().c_str()), 0);
    EXPECT_EQ(Run({"list", "--task-list", "Other.dvt"}), 0);
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(out.substr(0, out.find('\t')), "FromArgument");
}

// The illegal-character repair leaves blanks at the ends of names; such a task is found by its
// own name, and a name with blanks never finds another task.
TEST_F(TaskCommandsTest, TaskNamesMatchAsTheyStand) {
    WriteFile(list, Task("Back:", "T/") + Task("Keep", "T/"));
    EXPECT_EQ(Run({"run", "Back", "--quiet"}), 2);
    EXPECT_TRUE(
        err.starts_with("Illegal Task Name\nOne or more tasks contained an illegal "
                        "character in their name.\n"))
        << err;
    EXPECT_EQ(Run({"report", " Keep", "--out", temp / "page.html"}), 2);
    EXPECT_TRUE(
        err.ends_with("duvanto-cli: no task named \" Keep\" in ~/home/Default Task List.dvt\n"))
        << err;
    EXPECT_EQ(Run({"report", "Back ", "--out", temp / "page.html"}), 0) << err;
    EXPECT_EQ(Run({"run", "Back ", "--quiet"}), 0) << err;
    EXPECT_EQ(out, "Clone Complete - Back \n");
    EXPECT_EQ(Run({"remove", "Back "}), 0) << err;
    EXPECT_EQ(Run({"list"}), 0);
    ASSERT_EQ(ListedFields().size(), 1u);
    EXPECT_EQ(ListedFields()[0][0], "Keep");
}

TEST_F(TaskCommandsTest, ALockThatCannotBeTakenKeepsEveryChangeOut) {
    WriteFile(list, Task("Known", "T/"));
    const std::string before = ReadFile(list);
    fileSystem.Fail(FsOp::Lock, home, EACCES);
    EXPECT_EQ(Run({"remove", "Known"}), 2);
    EXPECT_EQ(err, "duvanto-cli: ~/home/: Permission denied\n");
    EXPECT_EQ(ReadFile(list), before);
}

// A name the list cannot hold is refused before anything is read or locked.
TEST_F(TaskCommandsTest, AddRefusesANameTheListCannotHold) {
    WriteFile(list, Task("Taken", "T/"));
    const std::string before = ReadFile(list);
    Result<InstanceLock> held = InstanceLock::Acquire(home);
    ASSERT_TRUE(held.ok());
    EXPECT_EQ(Run({"add", "two\nlines", "--source", source, "--target", target}), 2);
    EXPECT_EQ(err,
              "Illegal Task Name\nTask names cannot contain \"~!@#\", a line break or another "
              "control character.\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(ReadFile(list), before);
}

// The schedules add takes, as the list file holds them (the next run each one makes is the task
// list's own test). Options may come before the name and take one value each.
TEST_F(TaskCommandsTest, AddStoresEachScheduleItTakes) {
    ASSERT_EQ(Run({"add", "--target", target, "--mask", "*.a", "Hand", "--source", source}), 0)
        << err;
    ASSERT_EQ(
        Run({"add", "Hourly", "--source", source, "--target", target, "--schedule", "hours:2"}), 0)
        << err;
    ASSERT_EQ(Run({"add", "Weekly", "--source", source, "--target", target, "--schedule",
                   "weekdays:mon,sun@21:15"}),
              0)
        << err;
    // Of each line: the name, start time, interval type and increment, days and masks.
    std::vector<std::string> stored;
    for (const std::string& line : SplitLines(ReadFile(list), "\r\n")) {
        const std::vector<std::string> fields = SplitLines(line + "~!@#", "~!@#");
        ASSERT_EQ(fields.size(), 13u) << line;
        stored.push_back(fields[0] + " " + fields[4] + " " + fields[5] + " " + fields[6] + " " +
                         fields[11] + " " + fields[12]);
    }
    EXPECT_EQ(stored, (std::vector<std::string>{"Hand 12:00:00 PM 0 1 127 *.a",
                                                "Hourly 12:00:00 PM 2 2 127 ",
                                                "Weekly 9:15:00 PM 4 1 65 "}));
}

}  // namespace
}  // namespace duvanto::test
