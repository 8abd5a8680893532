// SPDX-License-Identifier: GPL-3.0-or-later
// What a run may touch: nothing outside its Target whatever links or swaps meet it, every
// kind conflict settled or reported, our temporary files told apart from the user's, and a
// Source that cannot be seen never taken for an empty one.

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "engine/EngineFixture.h"
#include "platform/FilePrimitives.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

using FoldersAndLinksTest = EngineFixture;

TEST_F(FoldersAndLinksTest, TrashNeverFollowsAFolderSwappedForALink) {
    clone.Settings.DeleteMethod = DeleteMethodType::SendToRecycleBin;
    const std::string outside = temp / "outside/";
    for (int i = 0; i < 20; ++i) {
        File(target + "sub/f" + std::to_string(i), "orphan");
        File(outside + "f" + std::to_string(i), "not the run's");
    }
    PlanAll();
    ASSERT_EQ(static_cast<int64_t>(clone.Plan().Ops.size()), 21);
    // Between planning and performing, the folder becomes a link to another one.
    ASSERT_EQ(rename((target + "sub").c_str(), (target + "sub-moved").c_str()), 0);
    ASSERT_EQ(symlink(outside.c_str(), (target + "sub").c_str()), 0);

    EXPECT_EQ(clone.PerformFileOperations(host, source), StepResult::Failed);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(ReadFile(outside + "f" + std::to_string(i)), "not the run's") << i;
    }
    EXPECT_EQ(Trashed(), Lines{});
    EXPECT_TRUE(PathExists(target + "sub-moved/f0"));
}

TEST_F(FoldersAndLinksTest, SourceFileFacingATargetFolderIsCopiedInTheSameRun) {
    File(source + "x", "now a file");
    Files(target, {"x/deep/inner.txt=was a folder", "l/f=a folder where the Source has a link"});
    ASSERT_EQ(symlink("somewhere", (source + "l").c_str()), 0);
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadFile(target + "x"), "now a file");
    char text[32] = {};
    ASSERT_GT(readlink((target + "l").c_str(), text, sizeof text - 1), 0);
    EXPECT_STREQ(text, "somewhere");
    EXPECT_EQ(PlanAll(), Lines{});
    // The copy waits for the folder removals, so the log tells them in that order.
    Lines logged = LogLines();
    auto removed = std::find(logged.begin(), logged.end(), " - Deleted Folder: ~/T/x/");
    auto copied = std::find(logged.begin(), logged.end(), " - Copied: x from ~/S/ to ~/T/");
    ASSERT_NE(removed, logged.end());
    EXPECT_GT(copied, removed);
}

TEST_F(FoldersAndLinksTest, KindConflictsThatDeletionsMayNotSettleFailTheRun) {
    clone.Settings.DeleteMethod = DeleteMethodType::DoNotDelete;
    Files(source, {"x=a file", "y/inside.txt=a folder"});
    Files(target, {"x/kept.txt=a folder", "y=a file"});
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(ReadTree(target), (Tree{"x/", "x/kept.txt=a folder", "y=a file"}));
    EXPECT_EQ(Sorted(LogLines()), (Lines{" *Copy Error: 21 Is a directory x from ~/S/ to ~/T/",
                                         " *Create Dir Error: 17 File exists ~/T/y/"}));

    // Without subfolders no folder is ever removed: the same conflict, the same error.
    clone.Settings.DeleteMethod = DeleteMethodType::RegularDelete;
    log.ResetInMemoryLog();
    EXPECT_EQ(CloneAll(false), StepResult::Failed);
    EXPECT_EQ(Sorted(LogLines()),
              (Lines{" *Copy Error: 21 Is a directory x from ~/S/ to ~/T/",
                     " - Deleted: y from ~/T/"}));  // the Source folder is not cloned
}

TEST_F(FoldersAndLinksTest, OnlyTheExactFormOfOurTemporaryNamesIsOurs) {
    clone.Settings.DeleteMethod = DeleteMethodType::DoNotDelete;
    const std::string strayCopy = ".duvanto-copy-0123456789abcdef.tmp";
    const std::string straySafe = "dv_fedcba9876543210.tmp";
    Files(target, {".duvanto-copy-notes=the user's",
                   "sub/.duvanto-copy-0123456789ABCDEF.tmp=upper-case digits: the user's",
                   strayCopy + "=half a copy", "sub/" + straySafe + "=half a safe copy"});
    Files(source, {".duvanto-copy-plan.txt=a Source file like any other",
                   "sub/dv_notes.tmp=this one too", strayCopy + "=reserved: never cloned"});

    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadTree(target), (Tree{".duvanto-copy-notes=the user's",
                                      ".duvanto-copy-plan.txt=a Source file like any other", "sub/",
                                      "sub/.duvanto-copy-0123456789ABCDEF.tmp=upper-case digits: "
                                      "the user's",
                                      "sub/dv_notes.tmp=this one too"}));
    EXPECT_TRUE(Logged(" - Deleted: " + strayCopy + " from ~/T/"));
    EXPECT_TRUE(Logged(" - Deleted: " + straySafe + " from ~/T/sub/"));
    EXPECT_TRUE(IsOwnTemporaryName(NewCopyTempName()));
    EXPECT_TRUE(IsOwnTemporaryName(NewTempName(kSafeCopyTempPrefix, kTempExtension)));
}

TEST_F(FoldersAndLinksTest, ACancelledSafeCopyTakesItsTemporaryFileAlong) {
    clone.Settings.CopyMethod = CopyMethodType::SafeCopyMethod;
    File(source + "doc.txt", "version 2", 1'500'000'000);
    File(target + "doc.txt", "version 1", 1'000'000'000);
    PlanAll();
    host.escapeAfterPumps = host.pumps + 4;  // after the copy into the temporary file
    EXPECT_EQ(clone.PerformFileOperations(host, source), StepResult::Cancelled);
    EXPECT_EQ(ReadTree(target), Tree{"doc.txt=version 1"});
    EXPECT_EQ(LogLines(), Lines{" *User Cancelled Error: "});
}

// Removes the Source right after the run has taken hold of it.
class VanishingSourceFileSystem : public FaultyFileSystem {
public:
    explicit VanishingSourceFileSystem(std::string source)
        : FaultyFileSystem(TrashEnvironment::FromProcess()), m_source(std::move(source)) {}
    Result<std::unique_ptr<IHeldRoots>> OpenRoots(const std::vector<std::string>& roots,
                                                  std::string* failed) override {
        Result<std::unique_ptr<IHeldRoots>> held = FaultyFileSystem::OpenRoots(roots, failed);
        fs::remove_all(m_source);
        return held;
    }

private:
    std::string m_source;
};

TEST_F(FoldersAndLinksTest, ASourceThatVanishesAfterItsCheckPlansNothing) {
    Files(target, {"precious.txt=p", "sub/more.txt=m"});
    VanishingSourceFileSystem vanishing(source);
    cClone engine(compare, log, vanishing, flags, reporter);
    const std::string vanished =
        " *Get SubFolders Error: 76 Path Not Found/Permission is Denied ~/S/";
    // Selected items: the Target files that match the masks are no orphans of a lost Source.
    const std::function<StepResult()> runs[] = {
        [&] { return engine.CloneAll(host, source, target, true); },
        [&] { return engine.CloneAll(host, source, target, false); },
        [&] { return engine.CloneSelected(host, source, target, true, {}, "*.txt"); }};
    const std::string logged[] = {vanished, " *Get SubFolders Error: 76 Path Not Found ~/S/",
                                  vanished};
    for (int i = 0; i < 3; ++i) {
        MakeFolder(source);
        NextRun();
        EXPECT_EQ(runs[i](), StepResult::Failed) << i;
        EXPECT_EQ(LogLines(), Lines{logged[i]}) << i;
    }
    EXPECT_EQ(ReadTree(target), (Tree{"precious.txt=p", "sub/", "sub/more.txt=m"}));
}

// rm -rf works deepest first, an unplugged disk all at once: either way a Source folder the walk
// saw in its parent's listing can fail to list later. Only a name the parent's listing lacks is
// an orphan.
TEST_F(FoldersAndLinksTest, ASourceFolderThatVanishesMidWalkKeepsItsTargetCopies) {
    const auto writeTree = [](const std::string& root) {
        Files(root, {"a/b/c/deep.txt=d", "a/b/one.txt=1", "a/two.txt=2", "top.txt=t"});
    };
    writeTree(target);
    File(target + "old.txt", "an orphan of a Source that is still there");
    // Removed, or replaced by a file.
    const std::function<void()> vanishings[] = {
        [&] { fs::remove_all(source + "a/b"); },
        [&] {
            fs::remove_all(source + "a/b");
            WriteFile(source + "a/b", "no folder any more");
        },
    };
    for (const auto& vanish : vanishings) {
        SCOPED_TRACE(&vanish - vanishings);
        NextRun();
        fs::remove_all(source);
        writeTree(source);
        fileSystem.Before(FsOp::List, source + "a/b/", vanish);
        EXPECT_EQ(CloneAll(), StepResult::Failed);
        EXPECT_EQ(ReadTree(target), (Tree{"a/", "a/b/", "a/b/c/", "a/b/c/deep.txt=d",
                                          "a/b/one.txt=1", "a/two.txt=2", "top.txt=t"}));
        EXPECT_EQ(LogLines(),
                  (Lines{" *Get SubFolders Error: 76 Path Not Found/Permission is Denied ~/S/a/b/",
                         " - Deleted: old.txt from ~/T/"}));
        File(target + "old.txt", "an orphan again");
    }
}

// The walk read a whole Source; by the first deletion it is gone (unplugged, removed, another
// disk mounted in its place). Orphans judged against it are no orphans of what is there now.
TEST_F(FoldersAndLinksTest, ASourceGoneBeforeTheFirstDeletionDeletesNothing) {
    const std::string moved = temp / "S-moved";
    // Removed, or another folder in its place.
    const std::function<void()> vanishings[] = {
        [&] { fs::remove_all(source); },
        [&] {
            fs::rename(source, moved);
            MakeFolder(source);
        },
    };
    const std::function<StepResult()> plans[] = {
        [&] { return clone.PlanAll(host, source, target, true); },
        [&] { return clone.PlanSelected(host, source, target, true, {}, "*.txt"); }};
    for (const auto& vanish : vanishings) {
        for (const auto& plan : plans) {
            SCOPED_TRACE(std::to_string(&vanish - vanishings) + ", " +
                         std::to_string(&plan - plans));
            NextRun();
            fs::remove_all(moved);
            fs::remove_all(source);
            Files(source, {"kept.txt=k"});
            Files(target, {"kept.txt=k", "orphan.txt=o", "sub/deep.txt=d"});
            ASSERT_EQ(plan(), StepResult::Ok);
            ASSERT_FALSE(clone.Plan().Ops.empty());
            vanish();
            EXPECT_EQ(clone.PerformFileOperations(host, source), StepResult::Failed);
            EXPECT_EQ(ReadTree(target),
                      (Tree{"kept.txt=k", "orphan.txt=o", "sub/", "sub/deep.txt=d"}));
            EXPECT_EQ(LogLines(),
                      Lines{" *Get SubFolders Error: 76 Path Not Found/Permission is Denied ~/S/"});
        }
    }
}

// Another user owns a folder above the Target and swaps it for a link to a folder of root's
// while a root run fails to make a Target folder: missing parents are made below the Target
// root only, and only from the folders the run holds.
TEST_F(FoldersAndLinksTest, AFolderThatCannotBeMadeNeverLeadsAboveTheTarget) {
    const std::string above = temp / "above";
    const std::string deepTarget = above + "/T/";
    const std::string rootsOwn = temp / "roots-own/";
    MakeFolder(deepTarget);
    MakeFolder(rootsOwn);
    Files(source, {"new/sub/file.txt=f"});
    fileSystem.Fail(FsOp::MakeFolder, deepTarget + "new/", EACCES);
    fileSystem.Before(FsOp::MakeFolder, deepTarget + "new/", [&] {
        fs::rename(above, temp / "above-moved");
        fs::create_directory_symlink(rootsOwn, above);
    });
    cClone engine(compare, log, fileSystem, flags, reporter);
    EXPECT_EQ(engine.CloneAll(host, source, deepTarget, true), StepResult::Failed);
    EXPECT_EQ(ReadTree(rootsOwn), Tree{});
    EXPECT_EQ(ReadTree(temp / "above-moved/"), Tree{"T/"});
}

// A content or CRC-32 compare reads the Target file from the folder the run holds: a folder
// swapped for a link between the listing and the reading fails the compare instead of reading
// (and judging by) a file elsewhere.
TEST_F(FoldersAndLinksTest, ComparesNeverReadThroughAFolderSwappedForALink) {
    const std::string outside = temp / "outside/";
    for (CompareMethodType method : {CompareMethodType::Contents, CompareMethodType::CRC32}) {
        NextRun();
        fs::remove_all(target);
        fs::remove_all(outside);
        compare.CompareMethod = method;
        Files(source, {"sub/a.txt=new"});
        Files(target, {"sub/a.txt=old"});
        Files(outside, {"a.txt=new"});
        fileSystem.Before(FsOp::Compare, source + "sub/a.txt", [&] {
            fs::rename(target + "sub", target + "sub-moved");
            fs::create_directory_symlink(outside, target + "sub");
        });
        EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"a.txt\"  FROM  ~/S/sub/  TO  ~/T/sub/"});
        EXPECT_EQ(lastPlan, StepResult::Failed);
        const Lines logged = LogLines();
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_NE(logged[0].find("Too many levels of symbolic links"), std::string::npos)
            << logged[0];
    }
}

TEST_F(FoldersAndLinksTest, ASourceThatCannotBeHeldFailsTheRunAndTouchesNothing) {
    File(target + "precious.txt", "p");
    fs::remove_all(source);
    WriteFile(temp / "S", "a file where the Source folder was");
    for (bool subfolders : {true, false}) {
        log.ResetInMemoryLog();
        EXPECT_EQ(CloneAll(subfolders), StepResult::Failed);
        EXPECT_EQ(ReadFile(target + "precious.txt"), "p");
        EXPECT_EQ(LogLines(), Lines{" *Get SubFolders Error: 76 Path Not Found/Permission is "
                                    "Denied ~/S/"});
    }
    fs::remove(temp / "S");
    log.ResetInMemoryLog();
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(ReadFile(target + "precious.txt"), "p");
}

// A finished run keeps no disk busy: nothing of it stays open on the Source or the Target, so a
// removable drive can be unmounted when the run ends.
TEST_F(FoldersAndLinksTest, AFinishedRunHoldsNoFolderOpen) {
    Files(source, {"a.txt=a", "sub/b.txt=b"});
    Files(target, {"orphan.txt=o"});
    ASSERT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_FALSE(HoldsOpen(source));
    EXPECT_FALSE(HoldsOpen(target));
}

}  // namespace
}  // namespace duvanto::test
