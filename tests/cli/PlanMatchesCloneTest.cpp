// What `plan` promises is what `clone` then does: the same operations, in the same order,
// each one logged.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> SplitLines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t stop = text.find(end, at);
        if (stop == std::string::npos) {
            stop = text.size();
        }
        lines.push_back(text.substr(at, stop - at));
        at = stop + end.size();
    }
    return lines;
}

// Both kinds of line reduced to "kind|name|from|to", so that a plan line and a log line for
// the same operation compare equal.
std::string FromPlanLine(const std::string& line) {
    const auto field = [&](const std::string& before, const std::string& after) {
        const std::size_t start = line.find(before) + before.size();
        return line.substr(start,
                           after.empty() ? std::string::npos : line.find(after, start) - start);
    };
    if (line.starts_with("     COPY FILE     \"")) {
        return "copy|" + field("FILE     \"", "\"  FROM") + "|" + field("  FROM  ", "  TO  ") +
               "|" + field("  TO  ", "");
    }
    if (line.starts_with("     DELETE FILE     \"")) {
        return "delete|" + field("FILE     \"", "\"  FROM") + "||" + field("  FROM  ", "");
    }
    if (line.starts_with("     CREATE FOLDER     ")) {
        return "mkdir|||" + field("FOLDER     ", "");
    }
    if (line.starts_with("     DELETE FOLDER     ")) {
        return "rmdir|||" + field("FOLDER     ", "");
    }
    return "unknown plan line: " + line;
}

std::string FromLogLine(const std::string& line) {
    const auto after = [&](const std::string& mark) {
        return line.substr(line.find(mark) + mark.size());
    };
    if (line.find(" - Copied: ") != std::string::npos) {
        const std::string rest = after(" - Copied: ");
        const std::size_t from = rest.find(" from "), to = rest.find(" to ", from);
        return "copy|" + rest.substr(0, from) + "|" + rest.substr(from + 6, to - from - 6) + "|" +
               rest.substr(to + 4);
    }
    if (line.find(" - Deleted: ") != std::string::npos) {
        const std::string rest = after(" - Deleted: ");
        const std::size_t from = rest.find(" from ");
        return "delete|" + rest.substr(0, from) + "||" + rest.substr(from + 6);
    }
    if (line.find(" - Created Folder: ") != std::string::npos) {
        return "mkdir|||" + after(" - Created Folder: ");
    }
    if (line.find(" - Deleted Folder: ") != std::string::npos) {
        return "rmdir|||" + after(" - Deleted Folder: ");
    }
    return "";  // the run's frame, which plans have no counterpart for
}

TEST(PlanMatchesClone, ThePrintedPlanIsWhatTheCloneDoesAndLogs) {
    TempDir temp;
    const std::string source = temp / "S/", target = temp / "T/", home = temp / "home/";
    setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
    WriteFile(source + "same.txt", "same");
    WriteFile(source + "new.txt", "new");
    WriteFile(source + "changed.txt", "changed in the Source");
    WriteFile(source + "missing dir/inner.txt", "inner");
    WriteFile(source + "kept/deep.txt", "deep");
    fs::create_directories(target);
    fs::copy(source + "same.txt", target + "same.txt");
    SetModificationTime(source + "same.txt", 1'600'000'000);
    SetModificationTime(target + "same.txt", 1'600'000'000);
    WriteFile(target + "changed.txt", "old");
    SetModificationTime(source + "changed.txt", 1'700'000'000);
    SetModificationTime(target + "changed.txt", 1'600'000'000);
    WriteFile(target + "kept/deep.txt", "deep");
    SetModificationTime(source + "kept/deep.txt", 1'600'000'000);
    SetModificationTime(target + "kept/deep.txt", 1'600'000'000);
    WriteFile(target + "orphan.txt", "o");
    WriteFile(target + "orphan dir/sub/o.txt", "o");

    CliRunner cli{home, temp.Path(), "", ""};
    ASSERT_EQ(cli.Run({"plan", source, target, "--delete", "regular"}), 0) << cli.err;
    std::vector<std::string> planned;
    for (const std::string& line : SplitLines(cli.out, "\n")) {
        planned.push_back(FromPlanLine(line));
    }

    ASSERT_EQ(cli.Run({"clone", source, target, "--delete", "regular", "--quiet"}), 0) << cli.err;
    std::vector<std::string> logged;
    for (const std::string& line :
         SplitLines(ReplaceString(ReadFile(home + "clone.log"), temp.Path(), "~/"), "\r\n")) {
        if (std::string op = FromLogLine(line); !op.empty()) {
            logged.push_back(op);
        }
    }
    // The run keeps the plan's order, except that folders are removed last and child first,
    // once the files in them are gone.
    std::vector<std::string> performed, removals;
    for (const std::string& op : planned) {
        (op.starts_with("rmdir|") ? removals : performed).push_back(op);
    }
    performed.insert(performed.end(), removals.rbegin(), removals.rend());
    EXPECT_EQ(logged, performed);

    // Neither side may be silent about a difference the trees really have: every change a user
    // made by hand is in the plan, and nothing else.
    std::vector<std::string> sorted = planned;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{
                          "copy|changed.txt|~/S/|~/T/",
                          "copy|inner.txt|~/S/missing dir/|~/T/missing dir/",
                          "copy|new.txt|~/S/|~/T/",
                          "delete|o.txt||~/T/orphan dir/sub/",
                          "delete|orphan.txt||~/T/",
                          "mkdir|||~/T/missing dir/",
                          "rmdir|||~/T/orphan dir/",
                          "rmdir|||~/T/orphan dir/sub/",
                      }))
        << cli.out;

    // And the clone did what it logged.
    EXPECT_EQ(ReadFile(target + "changed.txt"), "changed in the Source");
    EXPECT_EQ(ReadFile(target + "new.txt"), "new");
    EXPECT_EQ(ReadFile(target + "missing dir/inner.txt"), "inner");
    EXPECT_FALSE(fs::exists(target + "orphan.txt"));
    EXPECT_FALSE(fs::exists(target + "orphan dir"));
    ASSERT_EQ(cli.Run({"plan", source, target, "--delete", "regular"}), 0) << cli.err;
    EXPECT_EQ(cli.out, "");
}

}  // namespace
}  // namespace duvanto::test
