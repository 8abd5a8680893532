// What `plan` promises is what `clone` then does: the same operations, in the same order,
// each one logged.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

// A plan line in the words the log uses for the same operation.
std::string AsLogged(const std::string& line) {
    static const std::pair<std::regex, const char*> kForms[] = {
        {std::regex("^     COPY FILE     \"(.*)\"  FROM  (.*)  TO  (.*)$"),
         "- Copied: $1 from $2 to $3"},
        {std::regex("^     DELETE FILE     \"(.*)\"  FROM  (.*)$"), "- Deleted: $1 from $2"},
        {std::regex("^     CREATE FOLDER     (.*)$"), "- Created Folder: $1"},
        {std::regex("^     DELETE FOLDER     (.*)$"), "- Deleted Folder: $1"},
    };
    for (const auto& [form, logged] : kForms) {
        if (std::regex_match(line, form)) {
            return std::regex_replace(line, form, logged);
        }
    }
    return "unknown plan line: " + line;
}

using PlanMatchesClone = CliFolders;

TEST_F(PlanMatchesClone, ThePrintedPlanIsWhatTheCloneDoesAndLogs) {
    WriteTree(source, {"same.txt=same", "new.txt=new", "changed.txt=changed in the Source",
                       "missing dir/inner.txt=inner", "kept/deep.txt=deep"});
    WriteTree(target, {"same.txt=same", "changed.txt=old", "kept/deep.txt=deep", "orphan.txt=o",
                       "orphan dir/sub/o.txt=o"});
    for (const char* path : {"same.txt", "kept/deep.txt", "changed.txt"}) {
        SetModificationTime(source + path, 1'600'000'000);
        SetModificationTime(target + path, 1'600'000'000);
    }
    SetModificationTime(source + "changed.txt", 1'700'000'000);

    ASSERT_EQ(Run({"plan", source, target, "--delete", "regular"}), 0) << err;
    std::vector<std::string> planned;
    for (const std::string& line : SplitLines(out)) {
        planned.push_back(AsLogged(line));
    }
    ASSERT_EQ(Run({"clone", source, target, "--delete", "regular", "--quiet"}), 0) << err;
    std::vector<std::string> logged;
    for (const std::string& line : Log()) {
        if (line.starts_with("- ")) {
            logged.push_back(line);
        }
    }
    // The run keeps the plan's order, except that folders are removed last and child first,
    // once the files in them are gone.
    std::vector<std::string> performed, removals;
    for (const std::string& op : planned) {
        (op.starts_with("- Deleted Folder: ") ? removals : performed).push_back(op);
    }
    performed.insert(performed.end(), removals.rbegin(), removals.rend());
    EXPECT_EQ(logged, performed);

    // Neither side may be silent about a difference the trees really have: every change a user
    // made by hand is in the plan, and nothing else.
    std::sort(planned.begin(), planned.end());
    EXPECT_EQ(planned, (std::vector<std::string>{
                           "- Copied: changed.txt from ~/S/ to ~/T/",
                           "- Copied: inner.txt from ~/S/missing dir/ to ~/T/missing dir/",
                           "- Copied: new.txt from ~/S/ to ~/T/",
                           "- Created Folder: ~/T/missing dir/",
                           "- Deleted Folder: ~/T/orphan dir/",
                           "- Deleted Folder: ~/T/orphan dir/sub/",
                           "- Deleted: o.txt from ~/T/orphan dir/sub/",
                           "- Deleted: orphan.txt from ~/T/",
                       }))
        << out;

    // And the clone did what it logged.
    EXPECT_EQ(ReadTree(target), ReadTree(source));
    ASSERT_EQ(Run({"plan", source, target, "--delete", "regular"}), 0) << err;
    EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace duvanto::test
