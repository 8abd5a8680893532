// SPDX-License-Identifier: GPL-3.0-or-later
// Plans a user can review: the reasons `plan --explain` gives, a saved plan carried out by
// `apply` exactly as it stands (and refused where its entries changed or the file is not
// sound), and the guard against mass deletion on the runner's commands.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "engine/PlanFile.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

class SavedPlanTest : public CliFolders {
protected:
    SavedPlanTest() {
        plan = temp / "plan.json";
        WriteTree(source, {"same.txt=s", "new.txt=n", "changed.txt=new text"});
        WriteTree(target, {"same.txt=s", "changed.txt=old", "orphan.txt=o"});
        for (const std::string& file :
             {source + "same.txt", target + "same.txt", target + "changed.txt"}) {
            SetModificationTime(file, 1'000'000'000);
        }
        SetModificationTime(source + "changed.txt", 1'000'000'100);
    }

    // Saves the plan; its operations are listed in out.
    void Save() {
        ASSERT_EQ(Run({"plan", source, target, "--delete", "regular", "--save", plan}), 0) << err;
    }
    // Puts text in the plan file as `plan --save` leaves it: the caller's own, private.
    void WritePlan(const std::string& text) {
        WriteFile(plan, text);
        ASSERT_EQ(chmod(plan.c_str(), 0600), 0);
    }
    // The refusal of `apply`: exit 2 with this message, and nothing done.
    void ExpectRefused(const std::string& message) {
        EXPECT_EQ(Run({"apply", plan, "--quiet"}), 2);
        EXPECT_EQ(err, "duvanto-cli: ~/plan.json: " + message + "; nothing was done\n");
        EXPECT_TRUE(fs::exists(target + "orphan.txt"));
        EXPECT_FALSE(fs::exists(target + "new.txt"));
        EXPECT_FALSE(fs::exists(home + "clone.log"));
    }
    std::string plan;
};

TEST_F(SavedPlanTest, ExplainPutsAReasonUnderEveryLineAndLeavesTheLinesAsTheyWere) {
    ASSERT_EQ(Run({"plan", source, target, "--delete", "regular"}), 0) << err;
    const std::string plain = out;
    ASSERT_EQ(Run({"plan", source, target, "--delete", "regular", "--explain"}), 0) << err;
    std::string withoutReasons;
    int reasons = 0;
    for (const std::string& line : SplitLines(out)) {
        if (line.starts_with("          because: ")) {
            ++reasons;
        } else {
            withoutReasons += line + "\n";
        }
    }
    EXPECT_EQ(withoutReasons, plain);
    EXPECT_EQ(reasons, 3);
    EXPECT_NE(out.find("     DELETE FILE     \"orphan.txt\"  FROM  ~/T/\n"
                       "          because: not in the Source\n"),
              std::string::npos)
        << out;
}

// Which entries count as changed is SavedPlanRunTest's; here the run's exit code, what it did and
// its log.
TEST_F(SavedPlanTest, ApplyDoesExactlyThePlanAndRefusesWhatChangedSince) {
    ASSERT_NO_FATAL_FAILURE(Save());
    WriteFile(target + "orphan.txt", "edited since");
    WriteFile(source + "later.txt", "l");  // no plan knows it
    EXPECT_EQ(Run({"apply", plan, "--quiet"}), 1) << err;
    EXPECT_EQ(ReadTree(target),
              (Tree{"changed.txt=new text", "new.txt=n", "orphan.txt=edited since", "same.txt=s"}));
    // Its three lines between the run's own are SavedPlanRunTest's.
    const std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log.front(), "<Begin: Saved Plan>");
    EXPECT_EQ(log.end()[-2], "<End: Saved Plan> {All Activity Logged}");
}

TEST_F(SavedPlanTest, StruckOperationsAreLeftOutAsNumberedByPlan) {
    ASSERT_NO_FATAL_FAILURE(Save());
    const std::vector<std::string> lines = SplitLines(out);
    const auto number = [&](const std::string& name) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find("\"" + name + "\"") != std::string::npos) {
                return std::to_string(i + 1);
            }
        }
        return std::string("none");
    };
    EXPECT_EQ(Run({"apply", plan, "--quiet", "--strike", number("orphan.txt"), "--strike",
                   number("new.txt")}),
              0)
        << err;
    EXPECT_TRUE(fs::exists(target + "orphan.txt"));
    EXPECT_FALSE(fs::exists(target + "new.txt"));
    EXPECT_EQ(ReadFile(target + "changed.txt"), "new text");

    EXPECT_EQ(Run({"apply", plan, "--quiet", "--strike", "4"}), 2);
    EXPECT_EQ(err, "duvanto-cli: --strike 4: the plan holds operations 1 to 3\n");
}

// What a plan file may hold is PlanFileTest's, who may have written it FileSystemQueriesTest's;
// here how apply refuses each kind of file.
TEST_F(SavedPlanTest, ApplyRefusesAPlanThatIsNotSoundOrNotTheCallersOwn) {
    ASSERT_NO_FATAL_FAILURE(WritePlan("{\"tasks\": []}"));
    ExpectRefused("damaged plan: this is no Duvanto plan");
    ASSERT_EQ(chmod(plan.c_str(), 0620), 0);
    ExpectRefused(
        "users other than its owner may write to the file (mode 0620); a plan is applied only "
        "from a file of your own that no one else may write");
    // Sparse: refused by its size before anything is read.
    ASSERT_NO_FATAL_FAILURE(WritePlan(""));
    fs::resize_file(plan, kMaxPlanFileBytes + 1);
    ExpectRefused("the file is larger than 4294967296 bytes");
}

// A plan is saved private (and never through a link: the platform's test); one that cannot
// be written fails the command and leaves the old file.
TEST_F(SavedPlanTest, APlanThatCannotBeWrittenFailsTheCommandAndKeepsTheOldFile) {
    ASSERT_NO_FATAL_FAILURE(Save());
    EXPECT_EQ(fs::status(plan).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    const std::string saved = ReadFile(plan);
    const std::string listing = out;
    WriteFile(source + "later.txt", "l");
    fileSystem.Fail(FsOp::WriteFile, plan, ENOSPC);
    EXPECT_EQ(Run({"plan", source, target, "--delete", "regular", "--save", plan}), 1);
    EXPECT_EQ(err, "duvanto-cli: ~/plan.json: No space left on device\n");
    EXPECT_NE(out, listing) << "the listing is printed all the same";
    EXPECT_EQ(ReadFile(plan), saved);
}

// A plan cannot turn off the guard of the options (its limit of 0 is "off").
TEST_F(SavedPlanTest, TheGuardStopsCloneAndApplyUntilAllowed) {
    fs::remove_all(source);
    fs::create_directories(source);
    const std::string refused =
        "duvanto-cli: The Source folder is empty and 3 of 3 Target files would be deleted; "
        "nothing was done (--allow-mass-delete deletes them all the same)\n";
    EXPECT_EQ(Run({"clone", source, target, "--delete", "regular", "--quiet"}), 1);
    EXPECT_EQ(err, refused);
    EXPECT_TRUE(fs::exists(target + "orphan.txt"));

    ASSERT_NO_FATAL_FAILURE(Save());
    std::string text = ReadFile(plan);
    const std::string limit = "\"maxDeletePercent\": 50";  // the options' default
    const std::size_t at = text.find(limit);
    ASSERT_NE(at, std::string::npos) << text;
    ASSERT_NO_FATAL_FAILURE(WritePlan(text.replace(at, limit.size(), "\"maxDeletePercent\": 0")));
    EXPECT_EQ(Run({"apply", plan, "--quiet"}), 1);
    EXPECT_EQ(err, refused);
    EXPECT_TRUE(fs::exists(target + "orphan.txt"));
    EXPECT_EQ(Run({"apply", plan, "--quiet", "--allow-mass-delete"}), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_FALSE(fs::exists(target + "orphan.txt"));
    EXPECT_FALSE(fs::exists(target + "same.txt"));

    WriteFile(target + "again.txt", "a");
    EXPECT_EQ(
        Run({"clone", source, target, "--delete", "regular", "--quiet", "--allow-mass-delete"}), 0);
    EXPECT_FALSE(fs::exists(target + "again.txt"));
}

}  // namespace
}  // namespace duvanto::test
