// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/EngineFixture.h"
#include "support/Checks.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

using PerformTest = EngineFixture;

TEST_F(PerformTest, StatusShowsThePercentRoundedHalfToEvenAndNoEmptyConfirmation) {
    Files(source, {"1=1", "2=2", "3=3"});
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    Lines percents;
    std::copy_if(host.texts.begin(), host.texts.end(), std::back_inserter(percents),
                 [](const std::string& text) { return text.ends_with("%"); });
    EXPECT_EQ(percents, (Lines{"2:0%", "2:33%", "2:67%", "2:100%"}));
    EXPECT_NE(std::find(host.texts.begin(), host.texts.end(),
                        "1:Cloning folder \"" + source + "\".  Press ESC to Cancel..."),
              host.texts.end());

    // Identical folders: nothing to confirm, and the run succeeds.
    clone.Settings.ConfirmSyncActions = true;
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_TRUE(host.confirmed.empty());
    EXPECT_EQ(host.panel2, "0%");
}

TEST(ProgressPercentTest, BytesThenFilesThenFoldersMeasureTheRun) {
    const int64_t huge = INT64_MAX / 2;
    const std::pair<RunProgress, int> cases[] = {
        {{1, -1, 0, -1}, -1},                 // the walk still counts
        {{1, 2, 9LL << 20, 10LL << 20}, 90},  // one large file of two: the bytes
        {{2, 3, 0, 2LL << 30, 2, 3}, 0},      // two small ones done, the large one to come
        {{1, 3, 1, 3, 1, 3}, 33},             // rounded half to even
        {{2, 3, 2, 3, 2, 3}, 67},
        {{1, 8, 1, 8, 1, 8}, 12},                  // 12.5
        {{3, 8, 3, 8, 3, 8}, 38},                  // 37.5
        {{15000, 30000, 0, 0, 15000, 30000}, 50},  // empty files: the files
        {{3, 4, 0, 0, 3, 4}, 75},                  // deletions alone
        {{0, 0, 0, 0, 2, 8}, 25},                  // folders alone: the operations
        {{0, 0, 0, 0, 0, 0}, 0},                   // nothing to do
        {{0, 1, 1999, 2000, 0, 1}, 99},            // the end only once it is there
        {{1, 1, 2000, 2000, 1, 1}, 100},
        {{1, 2, huge / 4, huge}, 25},  // past what done * 100 holds in 64 bits
    };
    for (const auto& [progress, percent] : cases) {
        EXPECT_EQ(ProgressPercent(progress), percent)
            << progress.FilesDone << "/" << progress.FilesTotal << " files, " << progress.BytesDone
            << "/" << progress.BytesTotal << " bytes";
    }
}

TEST_F(PerformTest, StruckOutDeletionLeavesItsFolderAndTheRemovalFails) {
    clone.Settings.ConfirmSyncActions = true;
    File(target + "gone/keep.txt", "k");
    host.strikeOut = {true, false};  // DELETE FILE keep.txt, then DELETE FOLDER gone
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(host.confirmed, (Lines{"     DELETE FILE     \"keep.txt\"  FROM  " + target + "gone/",
                                     "     DELETE FOLDER     " + target + "gone/"}));
    EXPECT_EQ(ReadFile(target + "gone/keep.txt"), "k");
    EXPECT_EQ(LogLines(), Lines{" *Delete Dir Error: 39 Directory not empty ~/T/gone/"});
}

TEST_F(PerformTest, EachFailureIsLoggedAndTheRunGoesOn) {
    Files(source, {"fails.txt=f", "denied.txt=d", "works.txt=w", "newdir/y=y"});
    Files(target, {"stuck.txt=s", "old/x=x"});
    fileSystem.Fail(FsOp::Copy, target + "fails.txt", EIO);
    fileSystem.Fail(FsOp::Copy, target + "denied.txt", EACCES);
    fileSystem.Fail(FsOp::Remove, target + "stuck.txt", EBUSY);
    fileSystem.Fail(FsOp::RemoveFolder, target + "old/", EBUSY);
    fileSystem.Fail(FsOp::MakeFolder, target + "newdir/", ENOSPC);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(ReadTree(target), (Tree{"old/", "stuck.txt=s", "works.txt=w"}));
    for (const char* line :
         {" *Copy Error: 5 Input/output error fails.txt from ~/S/ to ~/T/",
          " *Copy Error: 13 Permission denied denied.txt from ~/S/ to ~/T/",
          " *Delete Error: 16 Device or resource busy stuck.txt from ~/T/",
          " *Delete Dir Error: 16 Device or resource busy ~/T/old/",
          " *Create Dir Error: 28 No space left on device ~/T/newdir/",
          " - Copied: works.txt from ~/S/ to ~/T/", " - Deleted: x from ~/T/old/"}) {
        EXPECT_TRUE(Logged(line)) << line;
    }
    // Access denied in a writable folder is final: one attempt per file, none retried.
    EXPECT_EQ(fileSystem.Calls(FsOp::Copy), 4);
}

TEST_F(PerformTest, FullDiskLeavesTheOldVersionAndNoTemporaryFile) {
    File(source + "big.bin", "new version", 1'500'000'000);
    File(target + "big.bin", "old version", 1'000'000'000);
    fileSystem.DiskFull(true);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(ReadTree(target), Tree{"big.bin=old version"});
    EXPECT_EQ(LogLines(),
              Lines{" *Copy Error: 28 No space left on device big.bin from ~/S/ to ~/T/"});
    fileSystem.DiskFull(false);
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadFile(target + "big.bin"), "new version");
}

TEST_F(PerformTest, RealFullDiskKeepsTheOldTargetWholeAndNoTemporaryFile) {
    const std::string small = temp / "small/";
    MakeFolder(small);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << strerror(errno)
                     << "); the full-disk case is covered by the fault double";
    }
    target = small;
    File(target + "f.bin", std::string(16 * 1024, 'o'), 1'000'000'000);
    File(source + "f.bin", std::string(200 * 1024, 'n'), 1'500'000'000);
    for (const CopyMethodType method :
         {CopyMethodType::RegularCopy, CopyMethodType::RetainCreateTimestamp,
          CopyMethodType::SafeCopyMethod}) {
        SCOPED_TRACE(static_cast<int>(method));
        clone.Settings.CopyMethod = method;
        NextRun();
        EXPECT_EQ(CloneAll(), StepResult::Failed);
        EXPECT_EQ(ReadTree(target), Tree{"f.bin=" + std::string(16 * 1024, 'o')});
    }
    umount(small.c_str());
}

TEST_F(PerformTest, OrphanLinkIsRemovedAsALinkUnderEveryDeleteMethod) {
    const std::string outside = temp / "outside.txt";
    File(outside, "keep me");
    for (const DeleteMethodType method :
         {DeleteMethodType::RegularDelete, DeleteMethodType::SendToRecycleBin,
          DeleteMethodType::SecureDelete}) {
        SCOPED_TRACE(static_cast<int>(method));
        clone.Settings.DeleteMethod = method;
        ASSERT_EQ(symlink(outside.c_str(), (target + "orphan-link").c_str()), 0);
        EXPECT_EQ(CloneAll(), StepResult::Ok);
        EXPECT_FALSE(PathExists(target + "orphan-link"));
        EXPECT_EQ(ReadFile(outside), "keep me");
    }
    EXPECT_EQ(Trashed(), Lines{"orphan-link"});
}

TEST_F(PerformTest, AFailedSafeCopyStepKeepsAWholeVersionUnderTheRealName) {
    clone.Settings.CopyMethod = CopyMethodType::SafeCopyMethod;
    File(source + "doc.txt", "version 2", 1'500'000'000);
    File(target + "doc.txt", "version 1", 1'000'000'000);
    const struct {
        FsOp op;
        std::string path;
        int error;
        std::string line;
        bool namesTheTemporaryFile;  // the line ends in the temporary file's name
    } steps[] = {
        {FsOp::CreateTemp, "", ENOSPC,
         " *Safe Copy Error: (Unable to get temp file spec) 28 No space left on device "
         "~/S/doc.txt",
         false},
        // A full disk while the new version is written into the temporary file.
        {FsOp::Copy, "", ENOSPC, " *Safe Copy Error: (Copy Failed) 28 No space left on device ~/T/",
         true},
        // As if the process died between the trash step and the rename.
        {FsOp::Rename, target + "doc.txt", EXDEV,
         " *Safe Copy Error: (Rename Failed) 18 Invalid cross-device link ~/T/doc.txt", false},
        {FsOp::Trash, target + "doc.txt", EPERM,
         " *Safe Copy Error: (Delete Failed) 1 Operation not permitted ~/T/doc.txt", false},
    };
    for (const auto& step : steps) {
        fileSystem.ClearFaults();
        fileSystem.Fail(step.op, step.path, step.error);
        NextRun();
        EXPECT_EQ(CloneAll(), StepResult::Failed) << step.line;
        const Lines logged = LogLines();
        ASSERT_EQ(logged.size(), 1u) << step.line;
        if (step.namesTheTemporaryFile) {
            ASSERT_TRUE(logged[0].starts_with(step.line)) << logged[0];
            EXPECT_TRUE(IsOwnTemporaryName(logged[0].substr(step.line.size()))) << logged[0];
        } else {
            EXPECT_EQ(logged[0], step.line);
        }
        // Safe Copy's own temporary file goes with the failure, whichever step failed.
        EXPECT_EQ(ReadTree(target), Tree{"doc.txt=version 1"}) << step.line;
    }
    EXPECT_EQ(ReadFile(temp / "Trash/files/doc.txt"), "version 1");
    EXPECT_TRUE(PathExists(temp / "Trash/info/doc.txt.trashinfo"));

    // A new name has no old version to keep: it is copied straight.
    File(source + "fresh.txt", "f");
    fileSystem.ClearFaults();
    NextRun();
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadTree(target), (Tree{"doc.txt=version 2", "fresh.txt=f"}));
}

// A file that other names share is spared the overwrite: PermissionsTest's, with a read-only
// one.
TEST_F(PerformTest, SecureDeleteOverwritesTheBytes) {
    clone.Settings.DeleteMethod = DeleteMethodType::SecureDelete;
    Files(target, {"secret.txt=top secret"});
    int fd = open((target + "secret.txt").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);

    EXPECT_EQ(CloneAll(), StepResult::Ok);
    char bytes[16] = {};
    ASSERT_EQ(pread(fd, bytes, 10, 0), 10);
    close(fd);
    EXPECT_EQ(std::string(bytes, 10), std::string(10, '\0'));
    EXPECT_EQ(FolderNames(target), Lines{});

    File(target + "x", "x");
    fileSystem.Fail(FsOp::Wipe, target + "x", EIO);
    NextRun();
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(), Lines{" *Delete Error: 5 Dx - Input/output error x from ~/T/"});
}

TEST_F(PerformTest, EscapeDuringPerformingLeavesFolderRemovalsUndone) {
    Files(target, {"gone/f1=1", "gone/f2=2"});
    File(source + "new.txt", "n");
    PlanAll();
    ASSERT_EQ(static_cast<int64_t>(clone.Plan().Ops.size()), 4);
    host.escapeAfterPumps = host.pumps + 2;  // during the first entry
    EXPECT_EQ(clone.PerformFileOperations(host, source), StepResult::Cancelled);
    EXPECT_TRUE(PathExists(target + "gone"));
    Lines logged = LogLines();
    EXPECT_EQ(logged.back(), " *User Cancelled Error: ");
    EXPECT_EQ(std::count(logged.begin(), logged.end(), " *User Cancelled Error: "), 1);
    for (const std::string& line : logged) {
        EXPECT_FALSE(line.starts_with(" - Deleted Folder")) << line;
    }
}

TEST_F(PerformTest, EscapeDuringTheWalkPerformsNothing) {
    for (int i = 0; i < 10; ++i) {
        File(source + "d" + std::to_string(i) + "/f", "x");
    }
    host.escapeAfterPumps = 3;
    EXPECT_EQ(CloneAll(), StepResult::Cancelled);
    EXPECT_EQ(LogLines(), Lines{" *User Cancelled Error: "});
    EXPECT_TRUE(flags.CloneCancelled);
    EXPECT_TRUE(fs::is_empty(target));
}

TEST_F(PerformTest, UnwritableTargetFolderFailsForRealWithoutRetry) {
    File(source + "a.txt", "a");
    chmod(temp.Path().c_str(), 0755);
    chmod(target.c_str(), 0555);
    EXPECT_TRUE(HoldsUnprivileged([&] {
        const StepResult cloned = CloneAll();
        return cloned == StepResult::Failed &&
               LogLines() == Lines{" *Copy Error: 13 Permission denied a.txt from ~/S/ to ~/T/"};
    }));
}

TEST_F(PerformTest, RetainCreateTimestampKeepsTheAccessTime) {
    clone.Settings.CopyMethod = CopyMethodType::RetainCreateTimestamp;
    File(source + "a", "a");
    timespec times[2] = {{1'200'000'000, 0}, {1'300'000'000, 0}};
    utimensat(AT_FDCWD, (source + "a").c_str(), times, 0);
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    struct stat st {};
    stat((target + "a").c_str(), &st);
    EXPECT_EQ(st.st_atim.tv_sec, 1'200'000'000);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'300'000'000);
}

}  // namespace
}  // namespace duvanto::test
