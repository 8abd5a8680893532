// SPDX-License-Identifier: GPL-3.0-or-later
// Between the blocks of a large file, not only between files, a cancel is seen (and leaves
// nothing half done) and the progress moves.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

#include "engine/EngineFixture.h"

namespace duvanto::test {
namespace {

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
    for (const CopyMethodType method :
         {CopyMethodType::RegularCopy, CopyMethodType::RetainCreateTimestamp,
          CopyMethodType::SafeCopyMethod}) {
        SCOPED_TRACE(static_cast<int>(method));
        clone.Settings.CopyMethod = method;
        NextRun();
        PlanAll();
        ASSERT_EQ(clone.Plan().Ops.size(), 1u);
        const int before = host.pumps;
        host.escapeAfterPumps = before + 5;
        EXPECT_EQ(clone.PerformFileOperations(host, source), StepResult::Cancelled);
        EXPECT_LT(host.pumps - before, 12) << "the copy ran on to its end";
        EXPECT_EQ(ReadTree(target), Tree{"big.bin=old version"});
        EXPECT_EQ(LogLines(), Lines{" *User Cancelled Error: "});
    }
}

TEST_F(CancellationTest, ProgressMovesInsideLargeCopiesAndItsTextAgreesWithItsFigures) {
    if (CopiesAreClones()) {
        GTEST_SKIP() << "copies here share blocks in one step";
    }
    // A changed large file (written ahead, then renamed into place), a new one (copied
    // straight), an empty new file and an orphan.
    File(source + "changed.bin", std::string(kLarge, 'c'), 1'500'000'000);
    File(target + "changed.bin", "old version", 1'000'000'000);
    File(source + "new.bin", std::string(kLarge, 'n'));
    File(source + "empty.txt", "");
    File(target + "orphan.txt", "o");
    EXPECT_EQ(CloneAll(), StepResult::Ok);

    const auto large = static_cast<int64_t>(kLarge);
    std::vector<int64_t> insideFiles;  // bytes done part of the way into a file
    int64_t before = 0;
    int performing = 0;
    for (const RecordingStatusHost::ShownProgress& shown : host.progresses) {
        const RunProgress& p = shown.progress;
        if (p.FilesTotal < 0) {
            continue;  // the walk's count of files scanned
        }
        ++performing;
        // What the status text says is what the figures measure, at every report.
        EXPECT_EQ(shown.panel2, std::to_string(ProgressPercent(p)) + "%");
        EXPECT_EQ(p.BytesTotal, 2 * large);
        EXPECT_GE(p.BytesDone, before);
        before = p.BytesDone;
        if (p.BytesDone % large != 0) {
            insideFiles.push_back(p.BytesDone);
        }
    }
    // A report for every block of both copies, not only between files.
    EXPECT_GE(performing, 2 * 30);
    ASSERT_FALSE(insideFiles.empty());
    EXPECT_LT(insideFiles.front(), large);
    EXPECT_GT(insideFiles.back(), large);
    EXPECT_EQ(host.progresses.back().progress.BytesDone, 2 * large);
    EXPECT_EQ(host.panel2, "100%");
}

TEST_F(CancellationTest, ACancelInsideALargeComparisonStopsTheWalk) {
    const std::string bytes(kLarge, 's');
    File(source + "big.bin", bytes, 1'500'000'000);
    File(target + "big.bin", bytes, 1'000'000'000);
    // Tells how the last content test ended.
    FaultyFileSystem watched{TrashEnvironment::FromProcess()};
    cClone engine(compare, log, watched, flags, reporter);
    for (const CompareMethodType method : {CompareMethodType::Contents, CompareMethodType::CRC32}) {
        SCOPED_TRACE(static_cast<int>(method));
        engine.Settings.CompareMethod = method;
        NextRun();
        host.escapeAfterPumps = host.pumps + 4;
        EXPECT_EQ(engine.PlanAll(host, source, target, true), StepResult::Cancelled);
        EXPECT_EQ(watched.LastOutcome(FsOp::Compare).code(), ECANCELED)
            << "the test ran on to its end";
        EXPECT_EQ(LogLines(), Lines{" *User Cancelled Error: "});
    }
}

}  // namespace
}  // namespace duvanto::test
