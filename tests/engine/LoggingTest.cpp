// SPDX-License-Identifier: GPL-3.0-or-later
// The log and the plan tell every event once, in one line each, in the system's own words.

#include <sys/stat.h>

#include "engine/EngineFixture.h"
#include "support/Checks.h"

namespace duvanto::test {
namespace {

using LoggingTest = EngineFixture;

TEST_F(LoggingTest, AnEndingSessionStopsTheRunAndSaysWhy) {
    File(source + "a", "a");
    File(source + "b", "b");
    PlanAll();
    ASSERT_EQ(static_cast<int64_t>(clone.Plan().Ops.size()), 2);
    flags.SessionEnding = true;  // as SIGTERM or SIGHUP leave it
    EXPECT_EQ(clone.PerformFileOperations(host, source), StepResult::Cancelled);
    Lines logged = LogLines();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_TRUE(logged[0].starts_with(" - Copied: "));
    EXPECT_EQ(logged[1], " *Application Shutdown Error: The clone task was aborted");
    EXPECT_TRUE(clone.IsCloneCancelled());
    EXPECT_EQ(LogLines().size(), 2u) << "said once";
}

TEST_F(LoggingTest, AnUnreadableSourceSubfolderIsLoggedOnce) {
    File(source + "locked/secret.txt", "s");
    File(target + "locked/secret.txt", "old");
    File(source + "locked2/x.txt", "s");  // no Target counterpart: only the Source pass meets it
    chmod(temp.Path().c_str(), 0755);
    chmod((source + "locked").c_str(), 0);
    chmod((source + "locked2").c_str(), 0);
    EXPECT_TRUE(HoldsUnprivileged([&] {
        const StepResult planned = clone.PlanAll(host, source, target, true);
        return planned == StepResult::Failed &&
               Sorted(LogLines()) ==
                   Lines{" *Get SubFolders Error: 70 Permission is Denied ~/S/locked/",
                         " *Get SubFolders Error: 70 Permission is Denied ~/S/locked2/"};
    }));
}

TEST_F(LoggingTest, NamesAreEscapedTheSameWayInTheLogAndThePlan) {
    // Blanks stay inside the quotes.
    Files(source, {"line\nbreak=1", "back\\x0Aslash=2", "red\x1b[31m=3", "my file .txt=4"});
    const std::string tail = "  FROM  ~/S/  TO  ~/T/";
    EXPECT_EQ(Sorted(PlanAll()), (Lines{"     COPY FILE     \"back\\\\x0Aslash\"" + tail,
                                        "     COPY FILE     \"line\\x0Abreak\"" + tail,
                                        "     COPY FILE     \"my file .txt\"" + tail,
                                        "     COPY FILE     \"red\\x1B[31m\"" + tail}));

    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(Sorted(LogLines()), (Lines{" - Copied: back\\\\x0Aslash from ~/S/ to ~/T/",
                                         " - Copied: line\\x0Abreak from ~/S/ to ~/T/",
                                         " - Copied: my file .txt from ~/S/ to ~/T/",
                                         " - Copied: red\\x1B[31m from ~/S/ to ~/T/"}));
}

TEST_F(LoggingTest, ATrashFailureLogsTheErrnoAndItsTextOnly) {
    clone.Settings.DeleteMethod = DeleteMethodType::SendToRecycleBin;
    WriteFile(temp / "Trash", "a file where the trash folder belongs");
    File(target + "x", "x");
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(), Lines{" *Delete Error: 20 Not a directory x from ~/T/"});
    EXPECT_EQ(ReadFile(target + "x"), "x");
}

}  // namespace
}  // namespace duvanto::test
