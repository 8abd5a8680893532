// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Compare.h"

#include <gtest/gtest.h>

namespace duvanto {
namespace {

constexpr int64_t kSecond = 10'000'000;

DirEntry At(int64_t modified, uint64_t size = 0) {
    DirEntry entry;
    entry.modified = modified;
    entry.size = size;
    return entry;
}

TEST(FileTimeDiffSecondsTest, RoundsHalfToEven) {
    const int64_t base = 132'000'000'000'000'000;  // far from zero, where doubles lose units
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 0},
        {kSecond / 2, 0},
        {-kSecond / 2, 0},
        {kSecond / 2 + 1, 1},
        {3 * kSecond / 2, 2},
        {5 * kSecond / 2, 2},
        {7 * kSecond / 2, 4},
        {-5 * kSecond / 2, -2},
        {-7 * kSecond / 2, -4},
        {14 * kSecond / 10, 1},
        {26 * kSecond / 10, 3},
        {1, 0},
    };
    for (const auto& [units, seconds] : cases) {
        EXPECT_EQ(FileTimeDiffSeconds(base + units, base), seconds) << units;
    }
}

TEST(TimeDiffAllowanceTest, ToleratesExactlyTheListedDifferences) {
    for (int64_t d = -3700; d <= 3700; ++d) {
        int64_t a = d < 0 ? -d : d;
        EXPECT_EQ(FAT_NTFS_TimeDiffAllowance(d, false, false), d);
        EXPECT_EQ(FAT_NTFS_TimeDiffAllowance(d, true, false), (a == 1 || a == 2) ? 0 : d) << d;
        EXPECT_EQ(FAT_NTFS_TimeDiffAllowance(d, false, true), a == 3600 ? 0 : d) << d;
        bool both = a == 1 || a == 2 || (a >= 3598 && a <= 3602);
        EXPECT_EQ(FAT_NTFS_TimeDiffAllowance(d, true, true), both ? 0 : d) << d;
    }
}

// The allowance itself is tested above: these rows check that the difference is rounded to
// seconds only once a switch is on, and that the order keeps its sign.
TEST(CompareFilesUsingTimestampTest, EachSwitchToleratesItsOwnDifferences) {
    const int64_t t = 1'000'000 * kSecond;
    const struct {
        int64_t source;  // relative to the Target's time
        bool twoSec, dst;
        int order;
    } cases[] = {
        // Without switches any difference counts, down to one unit.
        {kSecond, false, false, 1},
        {1, false, false, 1},
        {-1, false, false, -1},
        {0, false, false, 0},
        {14 * kSecond / 10, true, false, 0},
        {26 * kSecond / 10, true, false, 1},
        {-26 * kSecond / 10, true, false, -1},
        // Below half a second vanishes by rounding once a switch is on.
        {kSecond / 2, false, true, 0},
        {3600 * kSecond, false, true, 0},
        {3601 * kSecond, false, true, 1},
        {-3598 * kSecond, true, true, 0},
        {3 * kSecond, true, true, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareFilesUsingTimestamp(At(t + c.source), At(t), c.twoSec, c.dst), c.order)
            << c.source << " " << c.twoSec << c.dst;
        EXPECT_EQ(AreFilesSameUsingTimestamp(At(t + c.source), At(t), c.twoSec, c.dst),
                  c.order == 0)
            << c.source << " " << c.twoSec << c.dst;
    }
}

TEST(AreFilesSameUsingSizeTest, LooksAtTheSizeOnly) {
    EXPECT_TRUE(AreFilesSameUsingSize(At(1, 5'000'000'000), At(99, 5'000'000'000)));
    EXPECT_FALSE(AreFilesSameUsingSize(At(1, 5'000'000'000), At(1, 705'032'704)));  // same low word
}

}  // namespace
}  // namespace duvanto
