// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/Session.h"

#include <gtest/gtest.h>

#include "SessionFixture.h"

namespace duvanto::test {
namespace {

using SessionTest = SessionFixture;

// A second start over the same program folder is refused for as long as the first lasts.
TEST_F(SessionTest, TheLockLastsAsLongAsTheSession) {
    {
        Session first(appPath, prompt, {&clock, &fileSystem});
        ASSERT_TRUE(first.Lock().ok());
        Session second(appPath, prompt, {&clock, &fileSystem});
        EXPECT_TRUE(second.Lock().IsBusy());
    }
    EXPECT_TRUE(session.Lock().ok()) << "the lock goes with its session";
}

// The options reach the objects the runs read: the removable-drive prompt, and the priority
// rules that each run applies to its own thread.
TEST_F(SessionTest, TheOptionsReachWhatTheRunsRead) {
    EXPECT_FALSE(app.SetPriorityBasedOnRules);
    WriteFile(appPath + "duvanto.ini", "[Miscellaneous]\r\nPromptToInsertRemovableDrive=True\r\n");
    session.ReadOptions();
    EXPECT_FALSE(session.OptionsFailure());
    app.CloneTasks.Add(Task("Photos"));
    const std::optional<TaskRunRequest> request = session.Runs().Prepare("Photos", false);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->PromptToInsertRemovableDrive);
    EXPECT_TRUE(request->SetPriority);
}

}  // namespace
}  // namespace duvanto::test
