#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/EngineFixture.h"
#include "support/Unprivileged.h"

namespace duvanto::test {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class PerformTest : public EngineFixture {
protected:
    StepResult CloneAll() { return clone.CloneAll(host, source, target, true); }
    static bool Exists(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0;
    }
    static int64_t MTime(const std::string& path) {
        struct stat st {};
        lstat(path.c_str(), &st);
        return static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    }
    std::vector<std::string> TrashedNames() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(temp / "Trash/files", ec)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(PerformTest, CloneMakesTheTargetIdenticalAndLogsEveryStep) {
    File(source + "a.txt", "new content", 1'500'000'000);
    File(target + "a.txt", "old", 1'000'000'000);
    File(target + "orphan.txt", "o");
    File(target + "gone/inner/i.txt", "i");
    File(source + "new/n.txt", "n");

    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadFile(target + "a.txt"), "new content");
    EXPECT_EQ(MTime(target + "a.txt"), MTime(source + "a.txt"));
    EXPECT_FALSE(Exists(target + "orphan.txt"));
    EXPECT_FALSE(Exists(target + "gone"));
    EXPECT_EQ(ReadFile(target + "new/n.txt"), "n");

    Lines logged = LogLines();
    Lines expected = {
        " - Copied: a.txt from ~/S/ to ~/T/",
        " - Deleted: orphan.txt from ~/T/",
        " - Deleted: i.txt from ~/T/gone/inner/",
        " - Created Folder: ~/T/new/",
        " - Copied: n.txt from ~/S/new/ to ~/T/new/",
        " - Deleted Folder: ~/T/gone/inner/",
        " - Deleted Folder: ~/T/gone/",
    };
    // The Target root lists a.txt and orphan.txt in the file system's order.
    std::sort(logged.begin(), logged.begin() + 2);
    std::sort(expected.begin(), expected.begin() + 2);
    EXPECT_EQ(logged, expected);
    EXPECT_EQ(static_cast<int64_t>(clone.Plan().Ops.size()), 0);  // erased at the end of the run
    EXPECT_EQ(PlanAll(), Lines{});
}

TEST_F(PerformTest, StatusShowsThePercentRoundedHalfToEven) {
    File(source + "1", "1");
    File(source + "2", "2");
    File(source + "3", "3");
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    Lines percents;
    for (const std::string& text : host.texts) {
        if (text.ends_with("%")) {
            percents.push_back(text);
        }
    }
    EXPECT_EQ(percents, (Lines{"2:0%", "2:33%", "2:67%", "2:100%"}));
    EXPECT_NE(std::find(host.texts.begin(), host.texts.end(),
                        "1:Cloning folder \"" + source + "\".  Press ESC to Cancel..."),
              host.texts.end());
}

TEST_F(PerformTest, IdenticalFoldersShowNoConfirmationAndSucceed) {
    clone.Settings.ConfirmSyncActions = true;
    File(source + "a", "a");
    File(target + "a", "a");
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_TRUE(host.confirmed.empty());
    EXPECT_EQ(host.panel2, "0%");
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

TEST_F(PerformTest, AccessDeniedOnAWritableFileIsNotRetried) {
    File(source + "a.txt", "new");
    fileSystem.Fail(FsOp::Copy, target + "a.txt", EACCES);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(fileSystem.Calls(FsOp::Copy), 1);
    EXPECT_EQ(LogLines(), Lines{" *Copy Error: 13 Permission denied a.txt from ~/S/ to ~/T/"});
}

TEST_F(PerformTest, EachFailureIsLoggedAndTheRunGoesOn) {
    File(source + "fails.txt", "f");
    File(source + "works.txt", "w");
    File(target + "stuck.txt", "s");
    File(target + "old/x", "x");
    fileSystem.Fail(FsOp::Copy, target + "fails.txt", EIO);
    fileSystem.Fail(FsOp::Remove, target + "stuck.txt", EBUSY);
    fileSystem.Fail(FsOp::RemoveFolder, target + "old/", EBUSY);
    fileSystem.Fail(FsOp::MakeFolder, target + "newdir/", ENOSPC);
    File(source + "newdir/y", "y");
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(ReadFile(target + "works.txt"), "w");
    EXPECT_EQ(ReadFile(target + "stuck.txt"), "s");
    Lines logged = LogLines();
    for (const char* line :
         {" *Copy Error: 5 Input/output error fails.txt from ~/S/ to ~/T/",
          " *Delete Error: 16 Device or resource busy stuck.txt from ~/T/",
          " *Delete Dir Error: 16 Device or resource busy ~/T/old/",
          " *Create Dir Error: 28 No space left on device ~/T/newdir/",
          " - Copied: works.txt from ~/S/ to ~/T/", " - Deleted: x from ~/T/old/"}) {
        EXPECT_NE(std::find(logged.begin(), logged.end(), line), logged.end()) << line;
    }
}

TEST_F(PerformTest, FullDiskLeavesTheOldVersionAndNoTemporaryFile) {
    File(source + "big.bin", "new version", 1'500'000'000);
    File(target + "big.bin", "old version", 1'000'000'000);
    fileSystem.DiskFull(true);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(ReadFile(target + "big.bin"), "old version");
    EXPECT_EQ(LogLines(),
              Lines{" *Copy Error: 28 No space left on device big.bin from ~/S/ to ~/T/"});
    fileSystem.DiskFull(false);
    log.ResetInMemoryLog();
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadFile(target + "big.bin"), "new version");
}

TEST_F(PerformTest, RealFullDiskKeepsTheOldTargetWhole) {
    const std::string small = temp / "small/";
    MakeFolder(small);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << strerror(errno)
                     << "); the full-disk case is covered by the fault double";
    }
    target = small;
    File(target + "f.bin", std::string(16 * 1024, 'o'), 1'000'000'000);
    File(source + "f.bin", std::string(200 * 1024, 'n'), 1'500'000'000);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(ReadFile(target + "f.bin"), std::string(16 * 1024, 'o'));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(target)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"f.bin"});
    umount(small.c_str());
}

TEST_F(PerformTest, HardLinkedTargetIsReplacedNotWrittenThrough) {
    const std::string outside = temp / "outside.txt";
    File(outside, "outside content", 1'000'000'000);
    ASSERT_EQ(link(outside.c_str(), (target + "linked.txt").c_str()), 0);
    File(source + "linked.txt", "source content", 1'500'000'000);
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadFile(target + "linked.txt"), "source content");
    EXPECT_EQ(ReadFile(outside), "outside content");
}

TEST_F(PerformTest, OrphanLinkIsRemovedAsALinkUnderEveryDeleteMethod) {
    const std::string outside = temp / "outside.txt";
    File(outside, "keep me");
    for (const DeleteMethodType method :
         {DeleteMethodType::RegularDelete, DeleteMethodType::SendToRecycleBin,
          DeleteMethodType::SecureDelete}) {
        clone.Settings.DeleteMethod = method;
        ASSERT_EQ(symlink(outside.c_str(), (target + "orphan-link").c_str()), 0);
        EXPECT_EQ(CloneAll(), StepResult::Ok) << static_cast<int>(method);
        EXPECT_FALSE(Exists(target + "orphan-link")) << static_cast<int>(method);
        EXPECT_EQ(ReadFile(outside), "keep me") << static_cast<int>(method);
    }
    EXPECT_EQ(TrashedNames(), std::vector<std::string>{"orphan-link"});
}

TEST_F(PerformTest, LinksAreClonedAsLinks) {
    ASSERT_EQ(symlink("../somewhere", (source + "l").c_str()), 0);
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    char text[64] = {};
    ASSERT_GT(readlink((target + "l").c_str(), text, sizeof text - 1), 0);
    EXPECT_STREQ(text, "../somewhere");
    EXPECT_EQ(PlanAll(), Lines{});
}

TEST_F(PerformTest, SafeCopyPutsTheOldVersionInTheTrash) {
    clone.Settings.CopyMethod = CopyMethodType::SafeCopyMethod;
    File(source + "doc.txt", "version 2", 1'500'000'000);
    File(target + "doc.txt", "version 1", 1'000'000'000);
    File(source + "fresh.txt", "f");
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadFile(target + "doc.txt"), "version 2");
    EXPECT_EQ(ReadFile(target + "fresh.txt"), "f");
    EXPECT_EQ(TrashedNames(), std::vector<std::string>{"doc.txt"});
    EXPECT_EQ(ReadFile(temp / "Trash/files/doc.txt"), "version 1");
    std::string info = ReadFile(temp / "Trash/info/doc.txt.trashinfo");
    EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=" + target + "doc.txt\nDeletionDate="))
        << info;
    for (const auto& entry : fs::directory_iterator(target)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("dv_"));
    }
}

TEST_F(PerformTest, SafeCopyRenameFailureIsLoggedAndTheTemporaryFileRemoved) {
    clone.Settings.CopyMethod = CopyMethodType::SafeCopyMethod;
    File(source + "doc.txt", "version 2", 1'500'000'000);
    File(target + "doc.txt", "version 1", 1'000'000'000);
    fileSystem.Fail(FsOp::Rename, target + "doc.txt", EXDEV);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(),
              Lines{" *Safe Copy Error: (Rename Failed) 18 Invalid cross-device link ~/T/doc.txt"});
    for (const auto& entry : fs::directory_iterator(target)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("dv_"));
    }
}

TEST_F(PerformTest, SafeCopyStepFailures) {
    clone.Settings.CopyMethod = CopyMethodType::SafeCopyMethod;
    File(source + "a", "2", 1'500'000'000);
    File(target + "a", "1", 1'000'000'000);
    fileSystem.Fail(FsOp::CreateTemp, "", ENOSPC);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(), Lines{" *Safe Copy Error: (Unable to get temp file spec) 28 No space "
                                "left on device ~/S/a"});

    fileSystem.ClearFaults();
    log.ResetInMemoryLog();
    fileSystem.Fail(FsOp::Trash, target + "a", EPERM);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(),
              Lines{" *Safe Copy Error: (Delete Failed) 1 Operation not permitted ~/T/a"});
    EXPECT_EQ(ReadFile(target + "a"), "1");
}

TEST_F(PerformTest, SecureDeleteOverwritesTheBytesButSparesOtherHardLinks) {
    clone.Settings.DeleteMethod = DeleteMethodType::SecureDelete;
    File(target + "secret.txt", "top secret");
    File(target + "shared.txt", "shared bytes");
    const std::string other = temp / "other-name.txt";
    ASSERT_EQ(link((target + "shared.txt").c_str(), other.c_str()), 0);
    int fd = open((target + "secret.txt").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);

    EXPECT_EQ(CloneAll(), StepResult::Ok);
    char bytes[16] = {};
    ASSERT_EQ(pread(fd, bytes, 10, 0), 10);
    close(fd);
    EXPECT_EQ(std::string(bytes, 10), std::string(10, '\0'));
    EXPECT_FALSE(Exists(target + "secret.txt"));
    EXPECT_FALSE(Exists(target + "shared.txt"));
    EXPECT_EQ(ReadFile(other), "shared bytes");
}

TEST_F(PerformTest, SecureDeleteFailureTextCarriesItsMark) {
    clone.Settings.DeleteMethod = DeleteMethodType::SecureDelete;
    File(target + "x", "x");
    fileSystem.Fail(FsOp::Wipe, target + "x", EIO);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(), Lines{" *Delete Error: 5 Dx - Input/output error x from ~/T/"});
}

TEST_F(PerformTest, TrashFailureIsADeleteError) {
    clone.Settings.DeleteMethod = DeleteMethodType::SendToRecycleBin;
    File(target + "x", "x");
    fileSystem.Fail(FsOp::Trash, target + "x", EXDEV);
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(), Lines{" *Delete Error: 18 Invalid cross-device link x from ~/T/"});
    EXPECT_EQ(ReadFile(target + "x"), "x");
}

TEST_F(PerformTest, NestedOrphanFoldersAreRemovedChildFirst) {
    File(target + "a/b/c/file", "f");
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    Lines logged = LogLines();
    Lines removals(logged.end() - 3, logged.end());
    EXPECT_EQ(removals, (Lines{" - Deleted Folder: ~/T/a/b/c/", " - Deleted Folder: ~/T/a/b/",
                               " - Deleted Folder: ~/T/a/"}));
    EXPECT_FALSE(Exists(target + "a"));
}

TEST_F(PerformTest, EscapeDuringPerformingLeavesFolderRemovalsUndone) {
    File(target + "gone/f1", "1");
    File(target + "gone/f2", "2");
    File(source + "new.txt", "n");
    PlanAll();
    const int64_t planned = static_cast<int64_t>(clone.Plan().Ops.size());
    ASSERT_EQ(planned, 4);
    host.escapeAfterPumps = host.pumps + 2;  // during the first entry
    EXPECT_EQ(clone.PerformFileOperations(host, source), StepResult::Cancelled);
    EXPECT_TRUE(Exists(target + "gone"));
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
    EXPECT_TRUE(fs::is_empty(target));
}

TEST_F(PerformTest, UnwritableTargetFolderFailsForRealWithoutRetry) {
    File(source + "a.txt", "a");
    chmod(temp.Path().c_str(), 0755);
    chmod(target.c_str(), 0555);
    int result = RunUnprivileged([&] {
        const StepResult cloned = clone.CloneAll(host, source, target, true);
        Lines logged = LogLines();
        return cloned == StepResult::Failed &&
                       logged == Lines{" *Copy Error: 13 Permission denied a.txt from ~/S/ to ~/T/"}
                   ? 0
                   : 1;
    });
    ASSERT_NE(result, 255) << "could not drop privileges";
    EXPECT_EQ(result, 0);
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
