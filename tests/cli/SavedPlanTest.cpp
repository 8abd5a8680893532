// Plans a user can review: the reasons `plan --explain` gives, a saved plan carried out by
// `apply` exactly as it stands (and refused where its entries changed or the file is not
// sound), and the guard against mass deletion on the runner's commands.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/CliRunner.h"
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
    Save();
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
    Save();
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
    Save();
    EXPECT_NE(ReadFile(plan).find("\"hex\": \"6f6464ff"), std::string::npos);
    EXPECT_EQ(Run({"apply", plan, "--quiet"}), 0) << err;
    EXPECT_EQ(ReadFile(target + odd), "b");
}

TEST_F(SavedPlanTest, ADamagedForeignOrStrayingPlanIsRefusedWhole) {
    Save();
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
        WriteFile(plan, c.text);
        EXPECT_EQ(Run({"apply", plan, "--quiet"}), 2);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_NE(err.find("nothing was done"), std::string::npos) << err;
        EXPECT_TRUE(fs::exists(target + "orphan.txt"));
        EXPECT_FALSE(fs::exists(target + "new.txt"));
    }
    EXPECT_FALSE(fs::exists(home + "clone.log"));
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

    Save();
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
