// A cancel is seen between the blocks of a large file, not only between files, and leaves
// nothing half done.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

#include "engine/EngineFixture.h"

namespace duvanto::test {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr std::size_t kLarge = 32u << 20;  // 32 blocks of the copy and compare loops

class CancellationTest : public EngineFixture {
protected:
    // Whether copies in the Target share blocks at once (Btrfs, XFS): then there are no blocks
    // between which a cancel could be seen.
    bool CopiesAreClones() {
        File(target + "probe-a", "probe");
        int from = open((target + "probe-a").c_str(), O_RDONLY);
        int to = open((target + "probe-b").c_str(), O_WRONLY | O_CREAT, 0600);
        bool cloned = from >= 0 && to >= 0 && ioctl(to, FICLONE, from) == 0;
        close(from);
        close(to);
        fs::remove(target + "probe-a");
        fs::remove(target + "probe-b");
        return cloned;
    }
};

TEST_F(CancellationTest, ACancelInsideALargeCopyKeepsTheOldVersionAndNoTemporaryFile) {
    if (CopiesAreClones()) {
        GTEST_SKIP() << "copies here share blocks in one step";
    }
    File(source + "big.bin", std::string(kLarge, 'n'), 1'500'000'000);
    File(target + "big.bin", "old version", 1'000'000'000);
    for (int32_t method : {RegularCopy, RetainCreateTimestamp, SafeCopyMethod}) {
        clone.CopyMethod = method;
        host.escapeAfterPumps = -1;
        flags.EscPressed = false;
        flags.CloneCancelled = false;
        log.ResetInMemoryLog();
        PlanAll();
        ASSERT_EQ(clone.FileOpsCount(), 1);
        const int before = host.pumps;
        host.escapeAfterPumps = before + 5;
        EXPECT_FALSE(clone.PerformFileOperations(host, source)) << method;
        EXPECT_LT(host.pumps - before, 12) << method << ": the copy ran on to its end";
        EXPECT_EQ(ReadFile(target + "big.bin"), "old version") << method;
        EXPECT_EQ(LogLines(), Lines{" *User Cancelled Error: "}) << method;
        for (const auto& entry : fs::directory_iterator(target)) {
            const std::string name = entry.path().filename().string();
            // Safe Copy's own file stays, as its steps say; the next run removes it.
            EXPECT_TRUE(name == "big.bin" || (method == SafeCopyMethod && name.starts_with("dv_")))
                << method << ": " << name;
        }
    }
}

TEST_F(CancellationTest, ACancelInsideALargeComparisonStopsTheWalk) {
    const std::string bytes(kLarge, 's');
    File(source + "big.bin", bytes, 1'500'000'000);
    File(target + "big.bin", bytes, 1'000'000'000);
    for (int32_t method : {Contents, CRC32}) {
        compare.CompareMethod = method;
        flags.EscPressed = false;
        flags.CloneCancelled = false;
        log.ResetInMemoryLog();
        const int before = host.pumps;
        host.escapeAfterPumps = before + 4;
        PlanAll();
        EXPECT_FALSE(lastPlanOk) << method;
        EXPECT_LT(host.pumps - before, 12) << method << ": the comparison ran on to its end";
        EXPECT_EQ(LogLines(), Lines{" *User Cancelled Error: "}) << method;
    }
}

}  // namespace
}  // namespace duvanto::test
