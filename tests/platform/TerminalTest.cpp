// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Terminal.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>

namespace duvanto {
namespace {

TEST(TerminalTest, TheEndOfTheSessionStopsTheRunWithoutEndingTheProcess) {
    std::atomic<bool> cancel{false};
    std::atomic<bool> ending{false};
    InterruptSetsFlag(&cancel, &ending);
    // Ctrl-C alone is no end of the session.
    for (const auto& [signal, ends] :
         {std::pair{SIGTERM, true}, {SIGHUP, true}, {SIGTERM, true}, {SIGINT, false}}) {
        cancel = false;
        ending = false;
        ASSERT_EQ(raise(signal), 0);
        EXPECT_EQ(ending.load(), ends) << signal;
        EXPECT_TRUE(cancel) << signal;
    }

    InterruptSetsFlag(nullptr);
    struct sigaction current {};
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
    ASSERT_EQ(sigaction(SIGHUP, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace duvanto
