// SPDX-License-Identifier: GPL-3.0-or-later
// A copy that replaces a file takes its name only once its data is on the disk, so that a power
// cut leaves the old version or the new one; copies are written ahead and synced in batches,
// and whatever was written ahead and not used is removed.

#include <algorithm>
#include <cerrno>

#include "engine/EngineFixture.h"
#include "platform/FilePrimitives.h"

namespace duvanto::test {
namespace {

constexpr int64_t kOld = 1'000'000'000;
constexpr int64_t kNew = 1'500'000'000;

class DurabilityTest : public EngineFixture {
protected:
    DurabilityTest() { fileSystem.SortListings(true); }  // a/ before b/
    // Two files changed in the Source, each in a folder of its own, and one new.
    void TwoChangedAndOneNew() {
        Files(source, {"a/doc.txt=version 2", "b/doc.txt=version 2", "new.txt=n"}, kNew);
        Files(target, {"a/doc.txt=version 1", "b/doc.txt=version 1"}, kOld);
    }
};

TEST_F(DurabilityTest, ACopyOverAFileIsSyncedBeforeItTakesTheNameAndANewOneIsNot) {
    TwoChangedAndOneNew();
    // Each batch is written and synced whole before the first of its copies takes its name.
    int syncedAtFirstRename = -1;
    fileSystem.Before(FsOp::Rename, target + "a/doc.txt",
                      [&] { syncedAtFirstRename = fileSystem.Calls(FsOp::Sync); });
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(syncedAtFirstRename, 2);
    EXPECT_EQ(fileSystem.Calls(FsOp::Sync), 2) << "a new name has no old version to wait for";
    EXPECT_EQ(ReadTree(target),
              (Tree{"a/", "a/doc.txt=version 2", "b/", "b/doc.txt=version 2", "new.txt=n"}));
    // Logged in the plan's order, each once it has its name.
    EXPECT_EQ(LogLines(), (Lines{" - Copied: new.txt from ~/S/ to ~/T/",
                                 " - Copied: doc.txt from ~/S/a/ to ~/T/a/",
                                 " - Copied: doc.txt from ~/S/b/ to ~/T/b/"}));
}

TEST_F(DurabilityTest, AFailedSyncLeavesTheOldFileWholeAndTheRunGoesOn) {
    TwoChangedAndOneNew();
    for (const CopyMethodType method :
         {CopyMethodType::RegularCopy, CopyMethodType::RetainCreateTimestamp}) {
        SCOPED_TRACE(static_cast<int>(method));
        clone.Settings.CopyMethod = method;
        const std::string dx = method == CopyMethodType::RegularCopy ? "" : "Dx - ";
        NextRun();
        fileSystem.Fail(FsOp::Sync, target + "a/", EIO);
        EXPECT_EQ(CloneAll(), StepResult::Failed);
        // No copy written ahead is left behind.
        EXPECT_EQ(ReadTree(target),
                  (Tree{"a/", "a/doc.txt=version 1", "b/", "b/doc.txt=version 2", "new.txt=n"}));
        EXPECT_TRUE(
            Logged(" *Copy Error: 5 " + dx + "Input/output error doc.txt from ~/S/a/ to ~/T/a/"));
        EXPECT_TRUE(Logged(" - Copied: doc.txt from ~/S/b/ to ~/T/b/"));

        // The next run repairs it.
        fileSystem.ClearFaults();
        NextRun();
        EXPECT_EQ(CloneAll(), StepResult::Ok);
        EXPECT_EQ(ReadFile(target + "a/doc.txt"), "version 2");
        Files(target, {"a/doc.txt=version 1", "b/doc.txt=version 1"}, kOld);
    }
}

TEST_F(DurabilityTest, ACancelLeavesNoCopyWrittenAhead) {
    Files(source, {"a/doc.txt=version 2", "b/doc.txt=version 2"}, kNew);
    Files(target, {"a/doc.txt=version 1", "a/orphan.txt=o", "b/doc.txt=version 1"}, kOld);
    // Escape right after the first copy took its name: the second was written ahead with it.
    fileSystem.Before(FsOp::Rename, target + "a/doc.txt",
                      [&] { host.escapeAfterPumps = host.pumps + 1; });
    EXPECT_EQ(CloneAll(), StepResult::Cancelled);
    EXPECT_EQ(ReadTree(target), (Tree{"a/", "a/doc.txt=version 2", "b/", "b/doc.txt=version 1"}));
    EXPECT_EQ(LogLines(),
              (Lines{" - Copied: doc.txt from ~/S/a/ to ~/T/a/",
                     " - Deleted: orphan.txt from ~/T/a/", " *User Cancelled Error: "}));
}

TEST_F(DurabilityTest, ACopyWrittenAheadForAnOperationRefusedAtItsTurnIsRemoved) {
    Files(source, {"a/doc.txt=version 2", "b/doc.txt=version 2"}, kNew);
    Files(target, {"a/doc.txt=version 1", "b/doc.txt=version 1"}, kOld);
    PlanAll();
    const ClonePlan plan = clone.Plan();
    // Someone edits b/doc.txt after both copies were written ahead.
    fileSystem.Before(FsOp::Rename, target + "a/doc.txt",
                      [&] { File(target + "b/doc.txt", "edited meanwhile", kNew + 10); });
    EXPECT_EQ(clone.PerformSavedPlan(host, plan, {}), StepResult::Failed);
    EXPECT_EQ(ReadTree(target),
              (Tree{"a/", "a/doc.txt=version 2", "b/", "b/doc.txt=edited meanwhile"}));
    EXPECT_EQ(
        LogLines(),
        (Lines{" - Copied: doc.txt from ~/S/a/ to ~/T/a/",
               " *Copy Error: 0 Changed since the plan was made doc.txt from ~/S/b/ to ~/T/b/"}));
}

}  // namespace
}  // namespace duvanto::test
