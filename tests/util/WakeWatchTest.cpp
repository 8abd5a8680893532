// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/WakeWatch.h"

#include <gtest/gtest.h>

namespace duvanto::test {
namespace {

// Readings as the machine would give them: all three clocks go on together while it is awake.
class WakeWatchTest : public ::testing::Test {
protected:
    bool Awake(int64_t ms) {
        now.wallMs += ms;
        now.awakeMs += ms;
        now.bootMs += ms;
        return watch.Look(now);
    }
    WakeWatch watch;
    ClockReading now{1'700'000'000'000, 5'000, 6'000};
};

TEST_F(WakeWatchTest, ASleepOrASetClockIsToldOnceAndTimeThatPassesIsNot) {
    EXPECT_FALSE(watch.Look(now)) << "the first reading has nothing to compare";
    EXPECT_FALSE(Awake(60'000));
    EXPECT_FALSE(Awake(5'000'000)) << "a long wait awake is no sleep";

    // Asleep for an hour: the wall and boot-time clocks went on, the monotonic one did not.
    now.wallMs += 3'600'000;
    now.bootMs += 3'600'000;
    EXPECT_TRUE(Awake(1'000));
    EXPECT_FALSE(Awake(5'000)) << "told once";

    // The clock set forward by an hour, and back by ten minutes, while awake.
    now.wallMs += 3'600'000;
    EXPECT_TRUE(Awake(5'000));
    now.wallMs -= 600'000;
    EXPECT_TRUE(Awake(5'000));

    // Reading three clocks one after another, or time synchronisation's slewing, gives small
    // differences: none of them is a sleep.
    now.bootMs += WakeWatch::kToleranceMs;
    now.wallMs += WakeWatch::kToleranceMs - 1;
    EXPECT_FALSE(Awake(5'000));
    now.bootMs += WakeWatch::kToleranceMs + 1;
    now.wallMs += WakeWatch::kToleranceMs + 1;
    EXPECT_TRUE(Awake(5'000)) << "a sleep just over the tolerance";
}

}  // namespace
}  // namespace duvanto::test
