// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliRunner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "support/TestSupport.h"
#include "util/PathStrings.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

class CliTest : public CliFolders {
protected:
    static bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }
};

TEST_F(CliTest, PlanPrintsTheOperationsAndChangesNothingThenCloneDoesThem) {
    WriteTree(source, {"a b.txt=a", "sub/c.txt=c"});
    WriteTree(target, {"orphan.txt=o"});
    EXPECT_EQ(Run({"plan", source, target, "--delete", "regular"}), 0) << err;
    EXPECT_EQ(out,
              "     DELETE FILE     \"orphan.txt\"  FROM  ~/T/\n"
              "     COPY FILE     \"a b.txt\"  FROM  ~/S/  TO  ~/T/\n"
              "     CREATE FOLDER     ~/T/sub/\n"
              "     COPY FILE     \"c.txt\"  FROM  ~/S/sub/  TO  ~/T/sub/\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(ReadTree(target), Tree{"orphan.txt=o"});
    EXPECT_FALSE(Exists(home + "clone.log"));

    // The clone's steps against the plan are PlanMatchesCloneTest's; here the run's name.
    EXPECT_EQ(Run({"clone", source, target, "--delete", "regular", "--quiet"}), 0) << err;
    const std::vector<std::string> log = Log();
    EXPECT_EQ(log.front(), "<Begin: Command Line Clone>");
    EXPECT_EQ(log.end()[-2], "<End: Command Line Clone> {All Activity Logged}");
}

TEST_F(CliTest, PlanTakesRelativePathsWithOrWithoutTheTrailingSlash) {
    WriteFile(source + "a", "a");
    ASSERT_EQ(chdir(temp.Path().c_str()), 0);
    for (std::vector<std::string> args :
         {std::vector<std::string>{"plan", "S", "T/"}, {"plan", "./S/", "T"}}) {
        EXPECT_EQ(Run(args), 0) << args[1];
        EXPECT_EQ(out, "     COPY FILE     \"a\"  FROM  ~/S/  TO  ~/T/\n") << args[1];
    }
    ASSERT_EQ(chdir("/"), 0);
}

// What a selection or a mask plans is SelectedItemsTest's; here that each option reaches it:
// --select once per occurrence, before or after the folders, relative or whole, and a name
// holding a comma or the list separator as that one name.
TEST_F(CliTest, PlanOfSelectedItemsAndMasks) {
    WriteTree(source, {"docs/a.txt=a", "notes.txt=n", "other.pdf=o", "a=a", "b=b", "a,b=ab", "x=x",
                       "y=y", "x<:>y=xy"});
    WriteTree(target, {"old.txt=o", "old.pdf=o"});
    EXPECT_EQ(Run({"plan", "--select", "docs/a.txt", source, target, "--delete", "regular",
                   "--select", source + "other.pdf", "--select", "a,b", "--select", "x<:>y"}),
              0)
        << err;
    EXPECT_EQ(out,
              "     CREATE FOLDER     ~/T/docs/\n"
              "     COPY FILE     \"a.txt\"  FROM  ~/S/docs/  TO  ~/T/docs/\n"
              "     COPY FILE     \"other.pdf\"  FROM  ~/S/  TO  ~/T/\n"
              "     COPY FILE     \"a,b\"  FROM  ~/S/  TO  ~/T/\n"
              "     COPY FILE     \"x<:>y\"  FROM  ~/S/  TO  ~/T/\n");
    EXPECT_EQ(
        Run({"plan", source, target, "--delete", "regular", "--mask", "*.txt", "--no-subfolders"}),
        0);
    EXPECT_EQ(out,
              "     COPY FILE     \"notes.txt\"  FROM  ~/S/  TO  ~/T/\n"
              "     DELETE FILE     \"old.txt\"  FROM  ~/T/\n");
}

TEST_F(CliTest, PlanReportsWalkErrorsOnTheErrorStreamAsLogLines) {
    WriteFile(source + "here.txt", "h");
    EXPECT_EQ(Run({"plan", source, target, "--select", "gone.txt", "--select", "here.txt"}), 1);
    EXPECT_EQ(out, "     COPY FILE     \"here.txt\"  FROM  ~/S/  TO  ~/T/\n");
    EXPECT_TRUE(err.ends_with(" *Include Filter Error: The file does not exist  ~/S/gone.txt\r\n"))
        << err;
    EXPECT_FALSE(Exists(home + "clone.log"));
    // The run exits the same way.
    EXPECT_EQ(Run({"clone", source, target, "--select", "gone.txt", "--quiet"}), 1);
}

TEST_F(CliTest, BadUsageAndBadFoldersExitTwoAndTouchNothing) {
    WriteFile(source + "a", "a");
    EXPECT_EQ(Run({"plan", source, temp / "missing"}), 2);
    EXPECT_EQ(err,
              "An error occurred while processing \"~/missing/\".\n"
              "Make sure that the folder exists and that you have permission to access it.\n");
    fs::create_directories(source + "inner");
    EXPECT_EQ(Run({"clone", source, source + "inner"}), 2);
    EXPECT_EQ(err,
              "The Target folder \"~/S/inner/\" lies inside the Source folder \"~/S/\". A folder "
              "cannot be cloned into itself.\n");
    EXPECT_EQ(Run({"plan", source, target, "--compare", "sometimes"}), 2);
    EXPECT_EQ(Run({"plan", source}), 2);
    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(Run({"plan", "x", target}), 2);
    EXPECT_TRUE(fs::is_empty(target));
    EXPECT_FALSE(Exists(home + "clone.log"));
}

TEST_F(CliTest, CloneConfirmStrikesOutTheChosenNumbersAndLogsTheName) {
    WriteTree(source, {"1.txt=1"});
    WriteTree(target, {"keep-me=k"});
    EXPECT_EQ(Run({"clone", source, target, "--delete", "regular", "--confirm", "--quiet", "--name",
                   "Nightly"},
                  "1\n"),
              0)
        << err;
    EXPECT_TRUE(
        out.starts_with("1     DELETE FILE     \"keep-me\"  FROM  ~/T/\n"
                        "2     COPY FILE     \"1.txt\"  FROM  ~/S/  TO  ~/T/\n"
                        "Numbers to strike out"))
        << out;
    EXPECT_EQ(ReadTree(target), (Tree{"1.txt=1", "keep-me=k"}));
    EXPECT_EQ(Log()[0], "<Begin: Nightly>");
}

// rsync users expect a missing Target to be made; only where its parent is there, and never
// inside the Source.
TEST_F(CliTest, CloneMakesAMissingTargetWhoseParentExists) {
    WriteFile(source + "a.txt", "a");
    EXPECT_EQ(Run({"clone", source, temp / "new", "--delete", "regular"}), 0) << err;
    EXPECT_EQ(err, "duvanto-cli: created the Target folder ~/new/\n");
    EXPECT_EQ(ReadFile(temp / "new/a.txt"), "a");
    EXPECT_EQ(Run({"clone", source, temp / "quiet/", "--quiet"}), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_EQ(ReadFile(temp / "quiet/a.txt"), "a");

    // As private as its Source, whatever the umask (cron's may be 0).
    ASSERT_EQ(chmod(source.c_str(), 0700), 0);
    const mode_t umaskBefore = umask(0);
    const int code = Run({"clone", source, temp / "private", "--quiet"});
    umask(umaskBefore);
    EXPECT_EQ(code, 0) << err;
    struct stat made {};
    ASSERT_EQ(stat((temp / "private").c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 07777, 0700u);

    EXPECT_EQ(Run({"clone", source, temp / "no/parent"}), 2);
    EXPECT_FALSE(Exists(temp / "no"));
    EXPECT_EQ(Run({"clone", source, source + "inside"}), 2);
    EXPECT_FALSE(Exists(source + "inside"));
    EXPECT_EQ(Run({"plan", source, temp / "planned"}), 2) << "plan changes nothing";
    EXPECT_FALSE(Exists(temp / "planned"));
}

// A run whose log could not be written has lost its record: it must not look like success.
TEST_F(CliTest, ALogThatCannotBeWrittenFailsTheRun) {
    WriteFile(source + "a.txt", "a");
    fs::create_directories(home + "clone.log");  // in the way of the log, even for root
    EXPECT_EQ(Run({"clone", source, target, "--quiet"}), 1);
    EXPECT_EQ(ReadFile(target + "a.txt"), "a");
    EXPECT_NE(err.find("Unexpected Error in cCloneLog.AppendInMemoryStringToLogFile"),
              std::string::npos)
        << err;

    WriteFile(home + "Default Task List.dvt", "Job~!@#" + source + "~!@#" + target +
                                                  "~!@#True~!@#12:00:00 PM~!@#0~!@#1~!@#"
                                                  "12:00:00 AM~!@#12:00:00 AM~!@#False\r\n");
    EXPECT_EQ(Run({"run", "Job", "--quiet"}), 1);
    EXPECT_EQ(out, "Clone Complete - Job\n");
}

TEST_F(CliTest, AnEmptyHomeIsRefusedNotTakenForTheDefault) {
    setenv("XDG_CONFIG_HOME", (temp / "config").c_str(), 1);
    for (const char* empty : {"", "  "}) {
        home = empty;
        EXPECT_EQ(Run({"clone", source, target}), 2);
        EXPECT_EQ(err, "duvanto-cli: --home: the program folder is empty\n");
    }
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_FALSE(Exists(temp / "config"));
}

TEST_F(CliTest, VersionAndHelp) {
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out, std::string("duvanto-cli ") + DUVANTO_VERSION + "\n");
    EXPECT_EQ(Run({"clone", "--help"}), 0);
    EXPECT_NE(out.find("on Linux no folder is a system folder"), std::string::npos) << out;
}

}  // namespace
}  // namespace duvanto::test
