// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's report and restore commands, and the options file's part in clone.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

class ReportRestoreOptionsTest : public CliFolders {
protected:
    ReportRestoreOptionsTest() {
        WriteTree(first, {"a.txt=a from the first Target", "docs/b.txt=b"});
        WriteTree(second, {"a.txt=a from the second Target"});
    }

    void AddTask() {
        ASSERT_EQ(Run({"add", "Docs", "--source", source, "--target", first, "--target", second}),
                  0)
            << err;
    }

    const std::string first = target, second = temp / "T2/";
};

// An item is named by its path in the first Target or below it; "." is the whole Target, which
// also makes a deleted Source again. An item whose name holds the list separator is that one
// item: the piece after it (the first Target's own report.odt) is not restored over the newer
// Source file.
TEST_F(ReportRestoreOptionsTest, RestoreCopiesItemsOfTheFirstTargetIntoTheSource) {
    AddTask();
    const std::string item = "notes<:>" + first + "report.odt";
    WriteFile(first + "report.odt", "the old report");
    WriteFile(first + item, "the nested report");
    WriteFile(source + "report.odt", "the newer report");
    SetModificationTime(first + "report.odt", 1'000'000'000);
    SetModificationTime(source + "report.odt", 1'000'000'100);
    EXPECT_EQ(Run({"restore", "Docs", "a.txt", item}), 0) << err;
    EXPECT_EQ(out, "Restore successfully completed.\n");
    EXPECT_EQ(ReadFile(source + "a.txt"), "a from the first Target");
    EXPECT_EQ(ReadFile(source + "report.odt"), "the newer report");
    EXPECT_EQ(ReadFile(source + item), "the nested report");
    EXPECT_FALSE(fs::exists(source + "docs"));

    EXPECT_EQ(Run({"restore", "Docs", first + "docs"}), 0) << err;
    EXPECT_EQ(ReadFile(source + "docs/b.txt"), "b");
    fs::remove_all(source);
    EXPECT_EQ(Run({"restore", "Docs", "."}), 0) << err;
    EXPECT_EQ(ReadTree(source), ReadTree(first));
}

// What the README says restore overwrites: a Source file that differs by the comparison
// method. Under CompareMethodType::DateTime one with the same time and size and other bytes
// stays; one of another size never does.
TEST_F(ReportRestoreOptionsTest, RestoreOverwritesByTheComparisonMethod) {
    AddTask();
    SetModificationTime(first + "a.txt", 1'000'000'000);
    const struct {
        std::string bytes, ini, restored;
    } cases[] = {{"the Source's own bytes.", "", "the Source's own bytes."},  // as long
                 {"cut short", "", "a from the first Target"},
                 {"the Source's own bytes.", "[Comparison]\r\nCompareType=Contents\r\n",
                  "a from the first Target"}};
    for (const auto& c : cases) {
        WriteFile(source + "a.txt", c.bytes);
        SetModificationTime(source + "a.txt", 1'000'000'000);
        WriteFile(home + "duvanto.ini", c.ini);
        EXPECT_EQ(Run({"restore", "Docs", "a.txt"}), 0) << err;
        EXPECT_EQ(ReadFile(source + "a.txt"), c.restored) << c.bytes << c.ini;
    }
}

TEST_F(ReportRestoreOptionsTest, RestoreRefusalsAndErrors) {
    AddTask();
    EXPECT_EQ(Run({"restore", "Nobody", "a.txt"}), 2);
    EXPECT_EQ(Run({"restore", "Docs"}), 2);  // no item
    EXPECT_EQ(Run({"restore", "Docs", "missing.txt"}), 1);
    EXPECT_EQ(out, "Restore complete with errors.  See Log for details.\n");
    fs::remove_all(first);
    EXPECT_EQ(Run({"restore", "Docs", "a.txt"}), 2);
    EXPECT_EQ(err,
              "Restore Source\nMake sure that the Target folder exists and that you have "
              "permission to access it.\n");
}

TEST_F(ReportRestoreOptionsTest, ReportWritesThePageAndPrintsItsPath) {
    AddTask();
    const std::string page = temp / "page.html";
    EXPECT_EQ(Run({"report", "Docs", "--out", page}), 0) << err;
    EXPECT_EQ(out, "~/page.html\n");
    EXPECT_TRUE(fs::exists(page));

    // Without --out, the new file the report makes (named by the report's own test).
    EXPECT_EQ(Run({"report", "Docs"}), 0) << err;
    EXPECT_TRUE(fs::remove(out.substr(0, out.size() - 1))) << out;

    fs::remove_all(source);
    EXPECT_EQ(Run({"report", "Docs"}), 2);
    EXPECT_EQ(err, "Create Report\nProblems processing the Source folder.\n");
    EXPECT_EQ(Run({"report", "Nobody"}), 2);
}

// One unreadable value stops the reading of the options file; the keys after it keep their
// start values, here permanent deletion where the file says "Do Not Delete" (and the default
// task list where it may name another). Whatever would change files refuses; what only shows
// them says what it could not read.
TEST_F(ReportRestoreOptionsTest, AHalfReadOptionsFileChangesNothing) {
    AddTask();
    WriteFile(source + "a.txt", "new");
    WriteFile(first + "orphan.txt", "o");
    WriteFile(home + "duvanto.ini",
              "[Log]\r\nMaxSize=99999999999999999999\r\n[Miscellaneous]\r\nDeleteMethod=2\r\n");
    const std::string list = ReadFile(home + "Default Task List.dvt");
    const std::string named =
        "duvanto-cli: ~/home/duvanto.ini:2: [Log] MaxSize=99999999999999999999 could not be read "
        "(Overflow)";
    for (std::vector<std::string> args :
         {std::vector<std::string>{"clone", source, first, "--quiet"},
          {"run", "Docs", "--quiet"},
          {"due"},
          {"restore", "Docs", "a.txt"},
          {"add", "More", "--source", source, "--target", second},
          {"remove", "Docs"}}) {
        EXPECT_EQ(Run(args), 2) << args[0];
        EXPECT_TRUE(err.starts_with("Unexpected Error in modIniFile.ReadProgramOptionsFromIniFile"))
            << args[0] << ": " << err;
        EXPECT_TRUE(err.ends_with(named +
                                  "; the options after it would keep their first-run values, so "
                                  "nothing was done. Correct the file first.\n"))
            << args[0] << ": " << err;
        EXPECT_EQ(out, "") << args[0];
    }
    EXPECT_EQ(ReadFile(first + "orphan.txt"), "o");
    EXPECT_EQ(ReadFile(source + "a.txt"), "new");
    EXPECT_EQ(ReadFile(home + "Default Task List.dvt"), list);
    EXPECT_FALSE(fs::exists(home + "clone.log"));

    for (std::vector<std::string> args :
         {std::vector<std::string>{"options"}, {"list"}, {"plan", source, first}}) {
        EXPECT_EQ(Run(args), 0) << args[0];
        EXPECT_TRUE(err.ends_with(named + "; the options after it keep their first-run values\n"))
            << args[0] << ": " << err;
        EXPECT_FALSE(out.empty()) << args[0];
    }
}

}  // namespace
}  // namespace duvanto::test
