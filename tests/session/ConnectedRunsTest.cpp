// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ConnectedRuns.h"

#include <gtest/gtest.h>

#include "support/FaultyFileSystem.h"
#include "support/TestSupport.h"
#include "util/ErrorReporter.h"

namespace duvanto::test {
namespace {

// The records outlive the process that wrote them: whatever a list's path or a task's name
// holds, the next process reads back what this one wrote.
TEST(ConnectedRunsTest, RecordsReadBackWhateverTheNamesHold) {
    TempDir temp;
    FaultyFileSystem fileSystem{TrashInside(temp.Path())};
    RecordingPrompt prompt;
    FixedClock clock;
    ErrorReporter reporter(temp / "", prompt, clock, fileSystem);
    const std::string file = temp / "duvanto.connected";
    const std::string oddList = "/home/a\tb/%0A\nlist%.dvt";
    {
        ConnectedRuns runs(file, fileSystem, reporter);
        EXPECT_EQ(runs.RanFor(oddList, "Stick"), "") << "no file yet";
        runs.Record(oddList, "Stick", "boot/52/8:33");
        runs.Record(oddList, "50%\r", "boot/53/8:49");
        runs.Record("/plain.dvt", "Stick", "boot/54/8:1");
        runs.Record("/plain.dvt", "Stick", "");
    }
    WriteFile(file, ReadFile(file) + "a line without tabs\n\tno mount\tTask\n");
    ConnectedRuns next(file, fileSystem, reporter);
    EXPECT_EQ(next.RanFor(oddList, "Stick"), "boot/52/8:33");
    EXPECT_EQ(next.RanFor(oddList, "50%\r"), "boot/53/8:49");
    EXPECT_EQ(next.RanFor("/plain.dvt", "Stick"), "") << "forgotten when seen away";
    EXPECT_EQ(next.RanFor("/home/a", "Stick"), "") << "a tab in the path split nothing";
    EXPECT_EQ(reporter.ReportCount(), 0);
}

}  // namespace
}  // namespace duvanto::test
