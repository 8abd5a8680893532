// Plans a user can review: the reasons `plan --explain` gives, a saved plan carried out by
// `apply` exactly as it stands (and refused where its entries changed or the file is not
// sound), and the guard against mass deletion on the runner's commands.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/CliRunner.h"
#include "engine/PlanFile.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

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

TEST_F(SavedPlanTest, ApplyDoesExactlyThePlanAndRefusesWhatChangedSince) {
    ASSERT_NO_FATAL_FAILURE(Save());
    // After the plan: a Source file changed, a Target file changed, a file no plan knows.
    WriteFile(source + "new.txt", "newer and longer");
    WriteFile(target + "orphan.txt", "edited since");
    WriteFile(source + "later.txt", "l");
    EXPECT_EQ(Run({"apply", plan, "--quiet"}), 1) << err;
    EXPECT_EQ(ReadTree(target),
              (Tree{"changed.txt=new text", "orphan.txt=edited since", "same.txt=s"}));
    // The plan's operations in the order of its listing, which is the folder's own.
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 6u);
    std::sort(log.begin() + 1, log.begin() + 4);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "<Begin: Saved Plan>",
                       "*Copy Error: 0 Changed since the plan was made new.txt from ~/S/ to ~/T/",
                       "*Delete Error: 0 Changed since the plan was made orphan.txt from ~/T/",
                       "- Copied: changed.txt from ~/S/ to ~/T/",
                       "<End: Saved Plan> {All Activity Logged}",
                       "",
                   }));
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

TEST_F(SavedPlanTest, NamesThatAreNoUtf8TravelAsTheirBytes) {
    const std::string odd = "odd\xff and a surrogate \xed\xa0\x80.txt";
    WriteFile(source + odd, "b");
    ASSERT_NO_FATAL_FAILURE(Save());
    EXPECT_NE(ReadFile(plan).find("\"hex\": \"6f6464ff"), std::string::npos);
    EXPECT_EQ(Run({"apply", plan, "--quiet"}), 0) << err;
    EXPECT_EQ(ReadFile(target + odd), "b");
}

TEST_F(SavedPlanTest, ADamagedForeignOrStrayingPlanIsRefusedWhole) {
    ASSERT_NO_FATAL_FAILURE(Save());
    const std::string good = ReadFile(plan);
    struct Case {
        const char* what;
        std::string text;
        std::string message;  // a piece of the message
    };
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const Case cases[] = {
        {"cut short", good.substr(0, good.size() / 2), "damaged plan: "},
        {"another version", edited("\"version\": 1", "\"version\": 2"),
         "a plan of format version 2; this program reads version 1"},
        {"no plan", "{\"tasks\": []}", "this is no Duvanto plan"},
        {"outside the Target", edited("\"targetFolder\": \"" + target, "\"targetFolder\": \"/tmp/"),
         "lies outside"},
        {"climbing out", edited("\"name\": \"orphan.txt\"", "\"name\": \"../orphan.txt\""),
         "no plain file name"},
        {"unknown reason", edited("\"reason\": \"orphan\"", "\"reason\": \"because\""),
         "unknown reason"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(WritePlan(c.text));
        EXPECT_EQ(Run({"apply", plan, "--quiet"}), 2);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_NE(err.find("nothing was done"), std::string::npos) << err;
        EXPECT_TRUE(fs::exists(target + "orphan.txt"));
        EXPECT_FALSE(fs::exists(target + "new.txt"));
    }
    EXPECT_FALSE(fs::exists(home + "clone.log"));
}

TEST_F(SavedPlanTest, ApplyReadsOnlyAPlanOfTheCallersOwnThatNoOneElseMayWrite) {
    ASSERT_NO_FATAL_FAILURE(Save());
    const std::string policy =
        "; a plan is applied only from a file of your own that no one else may write";
    for (const unsigned mode : {0620u, 0602u}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(chmod(plan.c_str(), mode), 0);
        char octal[8];
        std::snprintf(octal, sizeof octal, "%04o", mode);
        ExpectRefused(std::string("users other than its owner may write to the file (mode ") +
                      octal + ")" + policy);
    }
    if (RunningAsRoot()) {
        ASSERT_EQ(chmod(plan.c_str(), 0600), 0);
        ASSERT_EQ(chown(plan.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
        ExpectRefused("the file belongs to another user (uid " + std::to_string(kUnprivilegedId) +
                      ")" + policy);
        ASSERT_EQ(chown(plan.c_str(), 0, 0), 0);
    }
    ASSERT_EQ(chmod(plan.c_str(), 0644), 0);
    EXPECT_EQ(Run({"apply", plan, "--quiet"}), 0) << err;
    EXPECT_TRUE(fs::exists(target + "new.txt"));
}

TEST_F(SavedPlanTest, APlanTooLargeOrNestedTooDeepIsRefusedWithTheReason) {
    // Sparse: refused by its size before anything is read.
    ASSERT_NO_FATAL_FAILURE(WritePlan(""));
    fs::resize_file(plan, kMaxPlanFileBytes + 1);
    ExpectRefused("the file is larger than 4294967296 bytes");

    const std::string deep(100'000, '[');
    ASSERT_NO_FATAL_FAILURE(WritePlan("{\"format\": \"duvanto-plan\", \"version\": " + deep +
                                      std::string(deep.size(), ']') + "}"));
    ExpectRefused("damaged plan: lists and objects nest more than 100 levels deep");
}

TEST_F(SavedPlanTest, SaveWritesAPrivateFileNeverThroughALinkNorOverAnotherUsersFile) {
    WriteFile(plan, "an older plan");
    ASSERT_EQ(chmod(plan.c_str(), 0644), 0);
    ASSERT_NO_FATAL_FAILURE(Save());
    EXPECT_EQ(fs::status(plan).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    fs::remove(plan);
    WriteFile(temp / "elsewhere", "untouched");
    fs::create_symlink(temp / "elsewhere", plan);
    EXPECT_EQ(Run({"plan", source, target, "--save", plan}), 1);
    EXPECT_EQ(err, "duvanto-cli: ~/plan.json: a symbolic link stands there; it is not followed\n");
    EXPECT_TRUE(fs::is_symlink(plan));
    EXPECT_EQ(ReadFile(temp / "elsewhere"), "untouched");

    if (!RunningAsRoot()) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    fs::remove(plan);
    WriteFile(plan, "theirs");
    ASSERT_EQ(chown(plan.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    EXPECT_EQ(Run({"plan", source, target, "--save", plan}), 1);
    EXPECT_EQ(err, "duvanto-cli: ~/plan.json: the file there belongs to another user (uid " +
                       std::to_string(kUnprivilegedId) + "); it is not replaced\n");
    EXPECT_EQ(ReadFile(plan), "theirs");
}

TEST_F(SavedPlanTest, APlanCannotTurnOffTheGuardOfTheOptions) {
    fs::remove_all(source);
    fs::create_directories(source);
    ASSERT_NO_FATAL_FAILURE(Save());
    std::string text = ReadFile(plan);
    const std::string limit = "\"maxDeletePercent\": 50";  // the options' default
    const std::size_t at = text.find(limit);
    ASSERT_NE(at, std::string::npos) << text;
    ASSERT_NO_FATAL_FAILURE(WritePlan(text.replace(at, limit.size(), "\"maxDeletePercent\": 0")));
    EXPECT_EQ(Run({"apply", plan, "--quiet"}), 1);
    EXPECT_EQ(err,
              "duvanto-cli: The Source folder is empty and 3 of 3 Target files would be deleted; "
              "nothing was done (--allow-mass-delete deletes them all the same)\n");
    EXPECT_TRUE(fs::exists(target + "orphan.txt"));
}

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
