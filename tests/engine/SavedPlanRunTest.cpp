// SPDX-License-Identifier: GPL-3.0-or-later
// Performing a plan made earlier: right before each operation its entries are read again, and
// one that is no longer as the plan read it is refused while the others go on.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "engine/EngineFixture.h"
#include "engine/MassDeleteGuard.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kT0 = 1'000'000'000;

class SavedPlanRunTest : public EngineFixture {
protected:
    // Plans the whole pair as `plan --save` does and keeps the plan.
    void Plan() {
        clone.StampAllEntries = true;
        PlanAll();
        ASSERT_EQ(lastPlan, StepResult::Ok);
        saved = clone.Plan();
    }
    StepResult Apply() {
        NextRun();
        return clone.PerformSavedPlan(host, saved, {});
    }
    ClonePlan saved;
};

const char kCopyRefused[] =
    " *Copy Error: 0 Changed since the plan was made a.txt from ~/S/ to ~/T/";
const char kDeleteRefused[] = " *Delete Error: 0 Changed since the plan was made o.txt from ~/T/";

// "not-read" (the walk could not read the entry) cannot wave an operation through that deletes
// or writes over something: such a side holds only while the entry still cannot be read.
TEST_F(SavedPlanRunTest, AnEntryChangedSinceThePlanIsLeftAsItIs) {
    enum Marked { None, TargetSide, SourceSide };  // the side of the operation marked not-read
    struct Case {
        std::function<void()> before;  // the folders the plan is made of
        Marked notRead;
        std::function<void()> after;  // what happens between plan and apply
        std::string logged;           // the one line of the apply; a refusal fails it
        std::string targetAfter;      // the Target's one file, "name=content"; "" for none
    };
    const auto newer = [&] {
        File(source + "a.txt", "new!", kT0 + 100);
        File(target + "a.txt", "old!", kT0);
    };
    const auto onlyInSource = [&] { File(source + "a.txt", "new!", kT0 + 100); };
    const auto orphan = [&] { File(target + "o.txt", "o", kT0); };
    const auto nothing = [] {};
    const Case cases[] = {
        // Unchanged.
        {newer, None, nothing, " - Copied: a.txt from ~/S/ to ~/T/", "a.txt=new!"},
        // The Target rewritten in its size with a new time.
        {newer, None, [&] { File(target + "a.txt", "OLD!", kT0 + 50); }, kCopyRefused,
         "a.txt=OLD!"},
        // The Target grown with its old time put back.
        {newer, None, [&] { File(target + "a.txt", "older", kT0); }, kCopyRefused, "a.txt=older"},
        // An orphan rewritten in its size with a new time.
        {orphan, None, [&] { File(target + "o.txt", "x", kT0 + 7); }, kDeleteRefused, "o.txt=x"},
        // An orphan grown with its old time put back.
        {orphan, None, [&] { File(target + "o.txt", "xx", kT0); }, kDeleteRefused, "o.txt=xx"},
        // The Source vanished.
        {onlyInSource, None, [&] { fs::remove(source + "a.txt"); }, kCopyRefused, ""},
        // The orphan vanished.
        {orphan, None, [&] { fs::remove(target + "o.txt"); }, kDeleteRefused, ""},
        // A Target file made after the plan.
        {onlyInSource, None, [&] { File(target + "a.txt", "mine", kT0 + 500); }, kCopyRefused,
         "a.txt=mine"},
        // A deletion's Target not read, readable.
        {orphan, TargetSide, nothing, kDeleteRefused, "o.txt=o"},
        // A deletion's Target not read, unreadable still.
        {orphan, TargetSide, [&] { fileSystem.Fail(FsOp::Stat, target + "o.txt", EACCES); },
         " - Deleted: o.txt from ~/T/", ""},
        // A deletion's Source not read, which has the file now.
        {orphan, SourceSide, [&] { File(source + "o.txt", "o", kT0); }, kDeleteRefused, "o.txt=o"},
        // The Target a copy writes over not read.
        {newer, TargetSide, nothing, kCopyRefused, "a.txt=old!"},
        // The Source of a copy that writes over the Target not read.
        {newer, SourceSide, nothing, kCopyRefused, "a.txt=old!"},
        // Nothing is lost where the Target has no such entry: the copy goes ahead.
        // The Source of a copy to a free name not read.
        {onlyInSource, SourceSide, nothing, " - Copied: a.txt from ~/S/ to ~/T/", "a.txt=new!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        Fresh();
        c.before();
        ASSERT_NO_FATAL_FAILURE(Plan());
        ASSERT_EQ(saved.Ops.size(), 1u);
        if (c.notRead != None) {
            FileOp& op = saved.Ops[0];
            (c.notRead == SourceSide ? op.SourceKind : op.TargetKind) = StampKind::NotRead;
        }
        c.after();
        const bool refused = c.logged.find("Changed since") != std::string::npos;
        EXPECT_EQ(Apply(), refused ? StepResult::Failed : StepResult::Ok);
        EXPECT_EQ(LogLines(), Lines{c.logged});
        EXPECT_EQ(ReadTree(target), c.targetAfter.empty() ? Tree{} : Tree{c.targetAfter});
    }
}

TEST_F(SavedPlanRunTest, FolderOperationsGoAheadWithTheSidesTheWalkLeavesUnread) {
    Files(source, {"new/"});
    Files(target, {"gone/"});
    ASSERT_NO_FATAL_FAILURE(Plan());
    ASSERT_EQ(saved.Ops.size(), 2u);
    for (const FileOp& op : saved.Ops) {
        // A new folder's place, a removed folder's counterpart: never read by the walk.
        EXPECT_EQ(op.Operation == CreateFolder ? op.TargetKind : op.SourceKind, StampKind::NotRead);
    }
    EXPECT_EQ(Apply(), StepResult::Ok);
    EXPECT_TRUE(fs::is_directory(target + "new"));
    EXPECT_FALSE(PathExists(target + "gone"));
}

TEST_F(SavedPlanRunTest, AnUnreadableTargetWithoutSubfoldersPlansNothing) {
    Files(source, {"a.txt=a"});
    Files(target, {"a.txt=older"}, kT0 - 100);
    fileSystem.Fail(FsOp::List, target, EACCES);
    clone.StampAllEntries = true;
    EXPECT_EQ(PlanAll(false), Lines{});
    EXPECT_EQ(lastPlan, StepResult::Failed);
}

TEST(SavedPlanLimitTest, APlanCanOnlyTightenTheGuardOfTheOptions) {
    struct Case {
        int32_t plan, options, performed;
    };
    const Case cases[] = {
        {0, 50, 50},   // the plan's "off" does not lift the options' guard
        {80, 50, 50},  // nor does a looser limit loosen it
        {30, 50, 30},  // a stricter one holds
        {30, 0, 30},   // and holds where the options have the guard off
        {0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StricterDeleteLimit(c.plan, c.options), c.performed)
            << c.plan << " " << c.options;
        EXPECT_EQ(StricterDeleteLimit(c.options, c.plan), c.performed)
            << c.options << " " << c.plan;
    }
}

}  // namespace
}  // namespace duvanto::test
