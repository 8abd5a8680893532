// The runner's report, restore and options commands, and the options file's part in plan and
// clone.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "support/TestSupport.h"
#include "util/PathStrings.h"

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
// also makes a deleted Source again.
TEST_F(ReportRestoreOptionsTest, RestoreCopiesItemsOfTheFirstTargetIntoTheSource) {
    AddTask();
    EXPECT_EQ(Run({"restore", "Docs", "a.txt"}), 0) << err;
    EXPECT_EQ(out, "Restore successfully completed.\n");
    EXPECT_EQ(ReadTree(source), Tree{"a.txt=a from the first Target"});

    EXPECT_EQ(Run({"restore", "Docs", first + "docs"}), 0) << err;
    const Tree whole = {"a.txt=a from the first Target", "docs/", "docs/b.txt=b"};
    EXPECT_EQ(ReadTree(source), whole);

    fs::remove_all(source);
    EXPECT_EQ(Run({"restore", "Docs", "."}), 0) << err;
    EXPECT_EQ(ReadTree(source), whole);
}

// What the README says restore overwrites: a Source file that differs by the comparison
// method. Under CompareMethodType::DateTime one with the same time and size and other bytes
// stays; one of another size never does.
TEST_F(ReportRestoreOptionsTest, RestoreOverwritesByTheComparisonMethod) {
    AddTask();
    WriteFile(source + "a.txt", "the Source's own bytes.");  // as long as the Target's
    SetModificationTime(source + "a.txt", 1'000'000'000);
    SetModificationTime(first + "a.txt", 1'000'000'000);
    EXPECT_EQ(Run({"restore", "Docs", "a.txt"}), 0) << err;
    EXPECT_EQ(ReadFile(source + "a.txt"), "the Source's own bytes.");

    WriteFile(source + "a.txt", "cut short");
    SetModificationTime(source + "a.txt", 1'000'000'000);
    EXPECT_EQ(Run({"restore", "Docs", "a.txt"}), 0) << err;
    EXPECT_EQ(ReadFile(source + "a.txt"), "a from the first Target");

    WriteFile(source + "a.txt", "the Source's own bytes.");
    SetModificationTime(source + "a.txt", 1'000'000'000);
    WriteFile(home + "duvanto.ini", "[Comparison]\r\nCompareType=Contents\r\n");
    EXPECT_EQ(Run({"restore", "Docs", "a.txt"}), 0) << err;
    EXPECT_EQ(ReadFile(source + "a.txt"), "a from the first Target");
}

// An item whose name holds the list separator is that one item: the piece after the separator
// (here the first Target's own report.odt) is not restored over the newer Source file.
TEST_F(ReportRestoreOptionsTest, RestoreTakesAnItemHoldingTheSeparatorAsItself) {
    AddTask();
    const std::string item = "notes<:>" + first + "report.odt";
    WriteFile(first + "report.odt", "the old report");
    WriteFile(first + item, "the nested report");
    WriteFile(source + "report.odt", "the newer report");
    SetModificationTime(first + "report.odt", 1'000'000'000);
    SetModificationTime(source + "report.odt", 1'000'000'100);
    EXPECT_EQ(Run({"restore", "Docs", item}), 0) << err;
    EXPECT_EQ(ReadFile(source + "report.odt"), "the newer report");
    EXPECT_EQ(ReadFile(source + item), "the nested report");
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
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("a.txt"), std::string::npos);
    EXPECT_NE(html.find("</html>"), std::string::npos);

    EXPECT_EQ(Run({"report", "Docs"}), 0) << err;
    const std::string temporary = out.substr(0, out.size() - 1);
    EXPECT_TRUE(NamePartOf(temporary).starts_with("rpt")) << temporary;
    EXPECT_TRUE(temporary.ends_with(".html"));
    fs::remove(temporary);

    fs::remove_all(source);
    EXPECT_EQ(Run({"report", "Docs"}), 2);
    EXPECT_EQ(err, "Create Report\nProblems processing the Source folder.\n");
    EXPECT_EQ(Run({"report", "Nobody"}), 2);
}

TEST_F(ReportRestoreOptionsTest, OptionsPrintsTheFileAsASaveWouldWriteIt) {
    EXPECT_EQ(Run({"options"}), 0) << err;
    EXPECT_NE(out.find("[Miscellaneous]\nRunOnWindowsStartup=AllUsers\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("DeleteMethod=1\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(home + "duvanto.ini"));  // printing saves nothing

    WriteFile(home + "duvanto.ini",
              "[miscellaneous]\r\ndeletemethod=0\r\n[Log]\r\nMaxSize=100\r\n");
    EXPECT_EQ(Run({"options"}), 0) << err;
    // A key keeps the spelling the file gave it, as the profile functions keep it.
    EXPECT_NE(out.find("[miscellaneous]\ndeletemethod=0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("MaxSize=100\n"), std::string::npos) << out;
}

TEST_F(ReportRestoreOptionsTest, PlanAndCloneFollowTheOptionsFileUnlessOverridden) {
    WriteFile(source + "a.txt", "new");
    WriteFile(first + "orphan.txt", "o");
    // Without a file, orphans go to the trash; the file can say "keep them".
    WriteFile(home + "duvanto.ini", "[Miscellaneous]\r\nDeleteMethod=2\r\n");
    EXPECT_EQ(Run({"plan", source, first}), 0) << err;
    EXPECT_EQ(out.find("DELETE"), std::string::npos) << out;
    EXPECT_EQ(Run({"plan", source, first, "--delete", "regular"}), 0) << err;
    EXPECT_NE(out.find("DELETE FILE     \"orphan.txt\""), std::string::npos) << out;

    EXPECT_EQ(Run({"clone", source, first, "--quiet"}), 0) << err;
    EXPECT_TRUE(fs::exists(first + "orphan.txt"));
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
