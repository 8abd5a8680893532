// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/RunNotices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace duvanto {
namespace {

TaskRunOutcome Outcome(const std::string& task, bool error, bool cancelled = false) {
    TaskRunOutcome outcome;
    outcome.TaskName = task;
    outcome.ErrorOnLastClone = error;
    outcome.Cancelled = cancelled;
    outcome.StatusText =
        std::string(error ? "Clone Complete with Errors - " : "Clone Complete - ") + task;
    return outcome;
}

// One run after another, each with whether the desktop is told of it: a failure nobody saw end
// is told once per task until a run of that task succeeds.
TEST(RunNoticesTest, AFailureNobodySawIsToldOnceUntilTheTaskSucceeds) {
    struct Step {
        const char* task;
        bool error, cancelled, scheduled, hidden;
        bool told;
    };
    const Step steps[] = {
        {"Mail", true, false, false, false, false},  // the user watched it fail
        {"Mail", true, false, true, false, true},    // the scheduler's, the window open
        {"Mail", true, false, true, true, false},    // failing still: told already
        {"Photos", true, false, false, true, true},  // the user's, the window hidden
        {"Mail", true, true, true, true, false},     // cancelled: no news
        {"Mail", true, false, true, true, false},    // the cancel did not end the failing
        {"Mail", false, false, true, true, false},   // succeeded
        {"Mail", true, false, true, true, true},     // failing anew
        {"Photos", false, false, false, false, false}, {"Photos", true, false, false, true, true},
    };
    RunNotices notices;
    int index = 0;
    for (const Step& step : steps) {
        const std::optional<RunNotice> notice = notices.RunEnded(
            Outcome(step.task, step.error, step.cancelled), step.scheduled, step.hidden);
        EXPECT_EQ(notice.has_value(), step.told) << "step " << index;
        if (notice) {
            EXPECT_EQ(notice->Summary, "Duvanto");
            EXPECT_EQ(notice->Body, "Clone Complete with Errors - " + std::string(step.task) +
                                        "\nThe Clone Log has the details.");
        }
        ++index;
    }
}

TEST(RunNoticesTest, TheTraysBalloonTellsWhereNoNotificationServiceRuns) {
    const RunNotice notice{"Duvanto", "Clone Complete with Errors - Mail"};
    for (const bool serviceRuns : {true, false}) {
        std::vector<std::string> shown;
        const bool delivered = DeliverRunNotice(
            notice,
            [&](const RunNotice& n) {
                shown.push_back("desktop " + n.Body);
                return serviceRuns;
            },
            [&](const RunNotice& n) {
                shown.push_back("balloon " + n.Body);
                return true;
            });
        EXPECT_TRUE(delivered);
        std::vector<std::string> expected = {"desktop Clone Complete with Errors - Mail"};
        if (!serviceRuns) {
            expected.push_back("balloon Clone Complete with Errors - Mail");
        }
        EXPECT_EQ(shown, expected);
    }
}

}  // namespace
}  // namespace duvanto
