// SPDX-License-Identifier: GPL-3.0-or-later
// The words by which each option of the runs is known outside the program, written out as
// users' files and scripts hold them: its line in duvanto.ini, its flag on the command line
// and its value in a saved plan. Each way of setting an option goes through each of them and
// comes back the same, so no word can change, or be read into another option, unnoticed.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "engine/PlanFile.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

using nlohmann::json;

// One value of an option: as the options file holds it, the flags that give it (none where the
// runner has no flag) and as a saved plan holds it (none where a plan does not hold the option).
struct Way {
    std::string ini;
    std::vector<std::string> flags;
    std::string plan;
};

struct OptionWords {
    std::string section;
    std::string key;
    std::string planName;
    std::vector<Way> ways;  // more than one, so that each flag overrides another value
};

const std::vector<OptionWords>& Options() {
    static const std::vector<OptionWords> options = {
        {"Comparison",
         "CompareType",
         "compare",
         {{"DateTime", {"--compare", "datetime"}, "\"datetime\""},
          {"Size", {"--compare", "size"}, "\"size\""},
          {"Contents", {"--compare", "contents"}, "\"contents\""},
          {"CRC32", {"--compare", "crc32"}, "\"crc32\""}}},
        {"Comparison",
         "Ignore2SecDiff",
         "ignore2SecDiff",
         {{"True", {"--ignore-2s"}, "true"}, {"False", {"--no-ignore-2s"}, "false"}}},
        {"Comparison",
         "IgnoreDaylightSavings",
         "ignoreDaylightSavings",
         {{"True", {"--ignore-dst"}, "true"}, {"False", {"--no-ignore-dst"}, "false"}}},
        {"Comparison",
         "IgnoreSystemFolders",
         "ignoreSystemFolders",
         {{"True", {"--ignore-system-folders"}, "true"},
          {"False", {"--no-ignore-system-folders"}, "false"}}},
        {"Comparison",
         "IgnoreHiddenFolders",
         "ignoreHiddenFolders",
         {{"True", {"--ignore-hidden-folders"}, "true"},
          {"False", {"--no-ignore-hidden-folders"}, "false"}}},
        {"Miscellaneous",
         "CopyMethod",
         "copy",
         {{"0", {"--copy", "regular"}, "\"regular\""},
          {"1", {"--copy", "safe"}, "\"safe\""},
          {"2", {"--copy", "keep-created"}, "\"keep-created\""}}},
        {"Miscellaneous",
         "DeleteMethod",
         "delete",
         {{"0", {"--delete", "regular"}, "\"regular\""},
          {"1", {"--delete", "trash"}, "\"trash\""},
          {"2", {"--delete", "none"}, "\"none\""},
          {"3", {"--delete", "secure"}, "\"secure\""}}},
        {"Miscellaneous",
         "CopyOnlyIfNewer",
         "copyOnlyIfNewer",
         {{"True", {"--newer-only"}, "true"}, {"False", {"--no-newer-only"}, "false"}}},
        {"Miscellaneous", "ConfirmSyncActions", "", {{"True", {}, ""}, {"False", {}, ""}}},
        {"Safety", "MaxDeletePercent", "maxDeletePercent", {{"20", {}, "20"}, {"50", {}, "50"}}},
    };
    return options;
}

// The lines of a text, in no order: an options file that a save merged into an existing one
// holds the same lines as a new one, in another order.
std::multiset<std::string> Lines(const std::string& text) {
    const std::vector<std::string> lines = SplitLines(text);
    return {lines.begin(), lines.end()};
}

class OptionWordsTest : public CliFolders {
protected:
    OptionWordsTest() { std::filesystem::create_directories(home); }

    void WriteIni(const OptionWords& option, const Way& way) {
        WriteFile(home + "duvanto.ini",
                  "[" + option.section + "]\r\n" + option.key + "=" + way.ini + "\r\n");
    }
    // The options file a save would write, in lines.
    std::multiset<std::string> SavedOptions() {
        EXPECT_EQ(Run({"options"}), 0) << err;
        return Lines(out);
    }
    // The settings of the plan that `plan` with these flags saves.
    json PlannedSettings(const std::vector<std::string>& flags) {
        std::vector<std::string> args = {"plan", source, target, "--save", PlanFile()};
        args.insert(args.end(), flags.begin(), flags.end());
        EXPECT_EQ(Run(args), 0) << err;
        return json::parse(ReadFile(PlanFile()))["settings"];
    }
    std::string PlanFile() const { return temp / "plan.json"; }
};

TEST_F(OptionWordsTest, EveryOptionKeepsItsWordsInTheOptionsFileOnTheCommandLineAndInAPlan) {
    // What each way changes is compared with the first run's options, which no file names.
    const std::multiset<std::string> firstRunOptions = SavedOptions();
    EXPECT_FALSE(std::filesystem::exists(home + "duvanto.ini")) << "printing saves nothing";
    const json firstRunSettings = PlannedSettings({});
    for (const OptionWords& option : Options()) {
        std::string firstRunLine;
        for (const std::string& line : firstRunOptions) {
            if (line.starts_with(option.key + "=")) {
                firstRunLine = line;
            }
        }
        ASSERT_FALSE(firstRunLine.empty()) << option.key;
        for (std::size_t i = 0; i < option.ways.size(); ++i) {
            const Way& way = option.ways[i];
            SCOPED_TRACE(option.key + "=" + way.ini);

            // The options file: read, and written back as it was, the other keys unchanged.
            std::multiset<std::string> options = firstRunOptions;
            options.erase(options.find(firstRunLine));
            options.insert(option.key + "=" + way.ini);
            WriteIni(option, way);
            EXPECT_EQ(SavedOptions(), options);

            json settings = firstRunSettings;
            if (!option.planName.empty()) {
                settings[option.planName] = json::parse(way.plan);
                // From the options file into a plan, and a plan read back as it was written.
                EXPECT_EQ(PlannedSettings({}), settings);
                const Result<SavedPlan> read = ReadSavedPlan(ReadFile(PlanFile()));
                ASSERT_TRUE(read.ok()) << read.status().message();
                EXPECT_EQ(json::parse(
                              SavedPlanText(read.value().Plan, read.value().Settings))["settings"],
                          settings);
            }
            if (!way.flags.empty()) {
                // The flag overrides another value of the options file.
                WriteIni(option, option.ways[(i + 1) % option.ways.size()]);
                EXPECT_EQ(PlannedSettings(way.flags), settings);
            }
        }
    }
}

}  // namespace
}  // namespace duvanto::test
