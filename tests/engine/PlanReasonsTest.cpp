// SPDX-License-Identifier: GPL-3.0-or-later
// Why each operation was planned, on real folders, and the guard against mass deletion.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "engine/EngineFixture.h"
#include "engine/MassDeleteGuard.h"
#include "engine/PlanText.h"
#include "support/ScopedLocale.h"

namespace duvanto::test {
namespace {

class PlanReasonsTest : public EngineFixture {
protected:
    void Fresh() {
        EngineFixture::Fresh();
        compare = CloneSettings{};
        compare.IgnoreFAT_NTFS_TwoSecDiff = false;
    }
    void Link(const std::string& path, const std::string& to) {
        ASSERT_EQ(symlink(to.c_str(), path.c_str()), 0);
    }
};

constexpr int64_t kT0 = 1'000'000'000;  // 2001-09-09 01:46:40 UTC

TEST_F(PlanReasonsTest, EveryKindOfOperationSaysWhy) {
    ScopedTimeZone utc("UTC0");
    using enum CompareMethodType;
    struct Case {
        CompareMethodType method;
        std::string sourceFile, targetFile;  // "path=content" or a "folder/", made at kT0
        std::function<void()> more;
        int32_t operation;  // the operation whose reason is checked: the first of this kind
        OpReason reason;
        std::string text;
    };
    const std::string big(1 << 20, 'x');
    const auto none = [] {};
    const std::vector<Case> cases = {
        {DateTime, "a=1", "", none, CopyFile, OpReason::NewInSource, "new in the Source"},
        {DateTime, "a=1", "a=1", [&] { SetModificationTime(source + "a", kT0 + 1000); }, CopyFile,
         OpReason::SourceNewer,
         "the Source is newer: 2001-09-09 02:03:20 against 2001-09-09 01:46:40 (1000 s)"},
        {DateTime, "a=1", "a=1", [&] { SetModificationTime(target + "a", kT0, 250'000'000); },
         CopyFile, OpReason::TargetNewer,
         "the Target is newer: 2001-09-09 01:46:40 against 2001-09-09 01:46:40.25 (0.25 s); "
         "\"copy only if newer\" is off"},
        {Size, "a=abc", "a=abcdef", none, CopyFile, OpReason::SizeDiffers,
         "the sizes differ: 3 bytes in the Source, 6 in the Target"},
        {DateTime, "a=abcde", "a=abc", none, CopyFile, OpReason::SizeDiffers,
         "the sizes differ: 5 bytes in the Source, 3 in the Target"},
        // The sizes decide before a byte is read.
        {CRC32, "a=abc", "a=abcdef", [&] { fileSystem.Fail(FsOp::Compare, "", EIO); }, CopyFile,
         OpReason::SizeDiffers, "the sizes differ: 3 bytes in the Source, 6 in the Target"},
        // Contents in the second block.
        {Contents, "a=" + big + "abcXe", "a=" + big + "abcYe", none, CopyFile,
         OpReason::ContentsDiffer, "the contents differ, first at byte 1048579"},
        {Contents, "a=ab", "a=abc", none, CopyFile, OpReason::SizeDiffers,
         "the sizes differ: 2 bytes in the Source, 3 in the Target"},
        {CRC32, "a=a", "a=b", none, CopyFile, OpReason::CrcDiffers,
         "the CRC-32 values differ: e8b7be43 in the Source, 71beeff9 in the Target"},
        {Contents, "a=a", "a=b", [&] { fileSystem.Fail(FsOp::Compare, "", EIO); }, CopyFile,
         OpReason::CompareFailed, "the contents could not be compared"},
        {Size, "", "",
         [&] {
             Link(source + "l", "x");
             Link(target + "l", "y");
         },
         CopyFile, OpReason::LinkTextDiffers, "the links point to different places"},
        {DateTime, "a=1", "", [&] { Link(target + "a", "a-elsewhere"); }, CopyFile,
         OpReason::KindDiffers, "a file on one side, a link or special file on the other"},
        {DateTime, "", "a=1", none, DeleteFile, OpReason::Orphan, "not in the Source"},
        {DateTime, "", "d/", none, DeleteFolder, OpReason::Orphan, "not in the Source"},
        {DateTime, "d/", "", none, CreateFolder, OpReason::FolderMissing,
         "the folder is missing in the Target"},
        {DateTime, "x=1", "x/", none, CopyFile, OpReason::FolderInTarget,
         "a folder of this name in the Target goes first"},
        {DateTime, "x=1", "x/", none, DeleteFolder, OpReason::FolderInTarget,
         "the Source holds a file of this name"},
        {DateTime, "x/", "x=1", none, DeleteFile, OpReason::FolderInSource,
         "the Source holds a folder of this name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases.data()));
        Fresh();
        compare.CompareMethod = c.method;
        for (const auto& [root, spec] : {std::pair{source, c.sourceFile}, {target, c.targetFile}}) {
            if (!spec.empty()) {
                Files(root, {spec}, kT0);
            }
        }
        c.more();
        PlanAll();
        const auto& ops = clone.Plan().Ops;
        auto op = std::find_if(ops.begin(), ops.end(),
                               [&](const FileOp& o) { return o.Operation == c.operation; });
        ASSERT_NE(op, ops.end());
        EXPECT_EQ(op->Reason, c.reason);
        EXPECT_EQ(OpReasonText(*op), c.text);
    }
}

TEST(MassDeleteGuardTest, TripsPastItsShareAndFloorAndOnAnEmptySource) {
    struct Case {
        int64_t targetFiles;
        int64_t deletions;
        int32_t percent;
        bool sourceEmpty;
        std::size_t struck;  // deletions struck out of the plan
        bool tripped;
    };
    const Case cases[] = {
        {202, 101, 50, false, 0, false},  // exactly half: allowed
        {202, 102, 50, false, 0, true},   // one past
        {202, 102, 50, false, 1, false},  // one struck brings it back
        {100, 100, 50, false, 0, false},  // not more than the floor
        {101, 101, 50, false, 0, true},
        {1000, 1000, 0, false, 0, false},  // guard off
        {1000, 901, 90, false, 0, true},
        {3, 3, 50, true, 0, true},  // an empty Source root, however few
        {3, 0, 50, true, 0, false},
        {3, 3, 0, true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.deletions) + " of " + std::to_string(c.targetFiles));
        ClonePlan plan;
        plan.TargetFilesSeen = c.targetFiles;
        plan.SourceRootEmpty = c.sourceEmpty;
        plan.Ops.push_back({"new", "/s/", "/t/", CopyFile});
        for (int64_t i = 0; i < c.deletions; ++i) {
            plan.Ops.push_back({"f" + std::to_string(i), "", "/t/", DeleteFile});
        }
        std::vector<bool> skip(1 + c.struck, true);
        skip[0] = false;
        const MassDeleteCheck check = CheckMassDelete(plan, c.percent, skip);
        EXPECT_EQ(check.Tripped, c.tripped);
        if (c.percent > 0) {
            EXPECT_EQ(check.Deletions, c.deletions - static_cast<int64_t>(c.struck));
        }
    }
}

class MassDeleteRunTest : public EngineFixture {
protected:
    MassDeleteRunTest() { clone.Settings.MaxDeletePercent = 50; }
};

TEST_F(MassDeleteRunTest, ARunThatTripsTheGuardDoesNothingUnlessLetThrough) {
    File(source + "keep", "k");
    File(target + "keep", "k");
    for (int i = 0; i < 150; ++i) {
        File(target + "old" + std::to_string(i), "o");
    }
    File(source + "new", "n");
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    ASSERT_EQ(host.massDeleteAsked.size(), 1u);
    EXPECT_EQ(host.massDeleteAsked[0],
              "150 of 151 Target files would be deleted, more than the 50% allowed");
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              " *Mass Delete Error: 150 of 151 Target files would be deleted, "
                              "more than the 50% allowed; nothing was done ~/T/"}));
    EXPECT_TRUE(std::filesystem::exists(target + "old0"));
    EXPECT_FALSE(std::filesystem::exists(target + "new"));

    host.allowMassDelete = true;
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_FALSE(std::filesystem::exists(target + "old149"));
    EXPECT_TRUE(std::filesystem::exists(target + "new"));
}

TEST_F(MassDeleteRunTest, AnEmptySourceRootStopsEvenASmallRunUnlessTheGuardIsOff) {
    File(target + "a", "1");
    File(target + "b", "2");
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines()[0],
              " *Mass Delete Error: The Source folder is empty and 2 of 2 Target files would be "
              "deleted; nothing was done ~/T/");
    EXPECT_TRUE(std::filesystem::exists(target + "a"));

    clone.Settings.MaxDeletePercent = 0;
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_FALSE(std::filesystem::exists(target + "a"));
    EXPECT_EQ(host.massDeleteAsked.size(), 1u);
}

}  // namespace
}  // namespace duvanto::test
