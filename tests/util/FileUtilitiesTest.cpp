// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/FileUtilities.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/PosixFileSystem.h"
#include "support/Checks.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

// A folder of the test's own, and the file system the utilities are handed.
class FileUtilitiesTest : public ::testing::Test {
protected:
    TempDir dir;
    PosixFileSystem fs;
};

TEST_F(FileUtilitiesTest, FolderExistsFollowsLinksFileExistsForAnythingElse) {
    WriteFile(dir / "file", "x");
    ASSERT_EQ(symlink(dir.Path().c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "gone").c_str(), (dir / "dangling").c_str()), 0);
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);

    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_TRUE(FolderExists("  " + dir.Path() + "\t"));
    EXPECT_TRUE(FolderExists(dir / "link"));
    EXPECT_FALSE(FolderExists(dir / "file"));
    EXPECT_FALSE(FolderExists(dir / "missing"));
    EXPECT_FALSE(FolderExists("   "));
    EXPECT_FALSE(FolderExists(""));

    EXPECT_TRUE(FileExists(dir / "file"));
    EXPECT_TRUE(FileExists(" " + dir / "file" + " "));
    EXPECT_TRUE(FileExists(dir / "fifo"));
    EXPECT_TRUE(FileExists(dir / "dangling"));
    EXPECT_FALSE(FileExists(dir / "file/"));
    EXPECT_FALSE(FileExists(dir / "folder"));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(FileExists("/"));
    EXPECT_FALSE(FileExists(""));
}

// A TempDir with its own mount tables and media root, so that every status can be produced
// without touching the machine's mounts.
class GetPathStatusTest : public FileUtilitiesTest {
protected:
    void SetUp() override {
        tables.fstab = dir / "fstab";
        tables.mountInfo = dir / "mountinfo";
        tables.mediaRoots = {dir / "media/"};
        WriteFile(tables.fstab, "");
        WriteFile(tables.mountInfo, "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    }

    PathStatus Status(const std::string& path) { return GetPathStatus(path, errorCode, tables); }

    MountTables tables;
    int32_t errorCode = -1;
};

TEST_F(GetPathStatusTest, PresentMissingMalformedAndLoopingPaths) {
    WriteFile(dir / "folder/file", "x");

    EXPECT_EQ(Status(dir / "folder/"), PathOk);
    EXPECT_EQ(Status(dir / "folder"), PathOk);
    EXPECT_EQ(errorCode, 0);
    EXPECT_EQ(Status(dir / "missing/"), PathFolderMissing);
    EXPECT_EQ(Status(dir / "folder/file"), PathFolderMissing);
    EXPECT_EQ(errorCode, 0);

    EXPECT_EQ(Status(""), PathTooShort);
    EXPECT_EQ(Status("/"), PathTooShort);
    EXPECT_EQ(Status("relative/folder/"), PathBadDrive);
    EXPECT_EQ(errorCode, 0);

    // Other failures carry their errno.
    ASSERT_EQ(symlink((dir / "loop2").c_str(), (dir / "loop1").c_str()), 0);
    ASSERT_EQ(symlink((dir / "loop1").c_str(), (dir / "loop2").c_str()), 0);
    EXPECT_EQ(Status(dir / "loop1/"), PathOtherError);
    EXPECT_EQ(errorCode, ELOOP);
}

TEST_F(GetPathStatusTest, ListedMountPointNotMountedIsNotReady) {
    // The empty folder of an unplugged disk must never pass for an empty Source.
    ASSERT_TRUE(CreateFolderPath(fs, dir / "mnt/My Disk/sub/").ok());
    ASSERT_TRUE(CreateFolderPath(fs, dir / "mnt/other/").ok());
    WriteFile(tables.fstab, "/dev/sdb1 " + dir / "mnt/My\\040Disk" + " ext4 noauto 0 2\n" +
                                "/dev/sdc1 " + dir / "mnt" + " ext4 defaults 0 2\n");
    WriteFile(tables.mountInfo,
              "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
              "2 1 8:33 / " +
                  dir / "mnt" + " rw - ext4 /dev/sdc1 rw\n");

    EXPECT_EQ(Status(dir / "mnt/My Disk/"), PathDriveNotReady);
    EXPECT_EQ(Status(dir / "mnt/My Disk/sub"), PathDriveNotReady);
    EXPECT_EQ(Status(dir / "mnt/My Disk/missing/"), PathDriveNotReady);
    EXPECT_EQ(Status(dir / "mnt/other/"), PathOk);
    EXPECT_EQ(Status(dir / "mnt/My Diskette/"), PathFolderMissing);

    WriteFile(tables.mountInfo, "3 1 8:17 / " + dir / "mnt/My\\040Disk" + " rw - ext4 x rw\n" +
                                    "2 1 8:33 / " + dir / "mnt" + " rw - ext4 /dev/sdc1 rw\n");
    EXPECT_EQ(Status(dir / "mnt/My Disk/sub/"), PathOk);
    EXPECT_EQ(Status(dir / "mnt/My Disk/missing/"), PathFolderMissing);

    tables.mountInfo = dir / "unreadable";
    EXPECT_EQ(Status(dir / "mnt/My Disk/sub/"), PathOtherError);
    EXPECT_EQ(errorCode, ENOENT);
}

TEST_F(GetPathStatusTest, RemovableMediaFolders) {
    ASSERT_TRUE(CreateFolderPath(fs, dir / "media/ann/USB/photos/").ok());

    // The desktop removes an unplugged drive's media folder: the drive is not ready, with no
    // error number of its own.
    EXPECT_EQ(Status(dir / "media/ann/Stick/photos/"), PathDriveNotReady);
    EXPECT_EQ(errorCode, 0);
    EXPECT_EQ(Status(dir / "media/bob/Stick/"), PathDriveNotReady);
    EXPECT_EQ(Status(dir / "media/ann/USB/photos/"), PathDriveNotReady);
    EXPECT_EQ(Status(dir / "media/ann/"), PathOk);  // the user's folder is not a drive

    WriteFile(tables.mountInfo, "9 1 8:17 / " + dir / "media/ann/USB" + " rw - vfat x rw\n");
    EXPECT_EQ(Status(dir / "media/ann/USB/photos/"), PathOk);
    EXPECT_EQ(Status(dir / "media/ann/USB/missing/"), PathFolderMissing);
}

// A drive mounted straight under the media root (an fstab entry, pmount) is no user's folder:
// a folder missing on it is a missing folder, not a drive that is not there.
TEST_F(GetPathStatusTest, ADriveMountedStraightUnderTheMediaRootHoldsFolders) {
    ASSERT_TRUE(CreateFolderPath(fs, dir / "media/data/").ok());
    ASSERT_TRUE(CreateFolderPath(fs, dir / "media/sdb1/").ok());
    WriteFile(tables.fstab, "/dev/sdc1 " + dir / "media/data" + " ext4 defaults 0 2\n");
    WriteFile(tables.mountInfo,
              "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
              "2 1 8:33 / " +
                  dir / "media/data" + " rw - ext4 /dev/sdc1 rw\n" + "3 1 8:17 / " +
                  dir / "media/sdb1" + " rw - vfat /dev/sdb1 rw\n");
    EXPECT_EQ(Status(dir / "media/data/Backup/"), PathFolderMissing);
    EXPECT_EQ(Status(dir / "media/sdb1/Backup/new/"), PathFolderMissing);

    // Unmounted, the listed drive is not ready.
    WriteFile(tables.mountInfo, "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    EXPECT_EQ(Status(dir / "media/data/Backup/"), PathDriveNotReady);
}

TEST_F(GetPathStatusTest, PermissionDeniedForAnUnprivilegedUser) {
    // Root ignores permission bits, so the check runs as an ordinary user when we are root.
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(tables.fstab.c_str(), 0644), 0);
    ASSERT_EQ(mkdir((dir / "locked").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir / "locked/inner").c_str(), 0700), 0);
    ASSERT_EQ(chmod((dir / "locked").c_str(), 0), 0);

    EXPECT_TRUE(HoldsUnprivileged([&] {
        int32_t code = 0;
        return GetPathStatus(dir / "locked/", code, tables) == PathAccessDenied &&
               GetPathStatus(dir / "locked/inner/", code, tables) == PathAccessDenied;
    }));
}

TEST_F(FileUtilitiesTest, CreateFolderPathMakesEveryLevel) {
    ASSERT_TRUE(CreateFolderPath(fs, dir / "a/b//c/").ok());
    EXPECT_TRUE(FolderExists(dir / "a/b/c/"));
    EXPECT_TRUE(CreateFolderPath(fs, dir / "a/b/c").ok());
    EXPECT_TRUE(CreateFolderPath(fs, dir / "a/b/d").ok());
    EXPECT_TRUE(FolderExists(dir / "a/b/d/"));

    WriteFile(dir / "file", "x");
    EXPECT_EQ(CreateFolderPath(fs, dir / "file/sub/").code(), ENOTDIR);
    EXPECT_FALSE(PathExists(dir / "file/sub"));
    EXPECT_EQ(CreateFolderPath(fs, "relative/folder/").code(), EINVAL);
    EXPECT_FALSE(PathExists("relative"));
    EXPECT_EQ(CreateFolderPath(fs, "").code(), EINVAL);
}

TEST_F(FileUtilitiesTest, GetTempFileSpecCreatesUniqueFiles) {
    std::string html = GetTempFileSpec(fs, "rpt", "html", dir.Path());
    std::string plain = GetTempFileSpec(fs, "rpt", "", dir.Path().substr(0, dir.Path().size() - 1));
    EXPECT_TRUE(html.starts_with(dir / "rpt") && html.ends_with(".html")) << html;
    EXPECT_TRUE(plain.starts_with(dir / "rpt") && plain.ends_with(".tmp")) << plain;
    EXPECT_NE(html, plain);
    EXPECT_TRUE(FileExists(html));
    EXPECT_EQ(ReadFile(html), "");
    EXPECT_EQ(GetTempFileSpec(fs, "rpt", "html", dir / "missing/"), "");

    // Without a folder: the system's temporary folder.
    ScopedEnv tmpdir("TMPDIR", dir / "sys");
    ASSERT_TRUE(CreateFolderPath(fs, dir / "sys/").ok());
    std::string made = GetTempFileSpec(fs, "x", "log", "");
    EXPECT_TRUE(made.starts_with(dir / "sys/x") && made.ends_with(".log")) << made;
    EXPECT_TRUE(FileExists(made));
}

TEST_F(FileUtilitiesTest, QuickSortStringArrayOrdersByBytes) {
    std::vector<std::string> items = {"b", "", "\xC3\xA9t\xC3\xA9", "B", "a", "ab", "a"};
    QuickSortStringArray(items);
    EXPECT_EQ(items, (std::vector<std::string>{"", "B", "a", "a", "ab", "b", "\xC3\xA9t\xC3\xA9"}));
    std::vector<std::string> empty;
    QuickSortStringArray(empty);
    EXPECT_TRUE(empty.empty());
}

TEST_F(FileUtilitiesTest, WriteStringToFileWritesKeepsAndDeletes) {
    RecordingPrompt prompt;
    const std::string text = "line 1\r\nline\t2\r\n";

    EXPECT_TRUE(WriteStringToFile(fs, dir / "new.txt", text, false, prompt));
    EXPECT_EQ(ReadFile(dir / "new.txt"), text);
    EXPECT_TRUE(WriteStringToFile(fs, dir / "kept.txt", "first", true, prompt));

    EXPECT_FALSE(WriteStringToFile(fs, dir / "kept.txt", "second", true, prompt));
    EXPECT_EQ(ReadFile(dir / "kept.txt"), "first");
    EXPECT_FALSE(WriteStringToFile(fs, dir / "kept.txt", "", true, prompt));
    EXPECT_TRUE(PathExists(dir / "kept.txt"));

    EXPECT_TRUE(WriteStringToFile(fs, dir / "kept.txt", "x", false, prompt));
    EXPECT_EQ(ReadFile(dir / "kept.txt"), "x");

    EXPECT_TRUE(WriteStringToFile(fs, dir / "kept.txt", "", false, prompt));
    EXPECT_FALSE(PathExists(dir / "kept.txt"));
    EXPECT_TRUE(WriteStringToFile(fs, dir / "never.txt", "", false, prompt));
    EXPECT_FALSE(PathExists(dir / "never.txt"));

    EXPECT_FALSE(WriteStringToFile(fs, dir / "missing/file.txt", "x", false, prompt));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(FileUtilitiesTest, WriteStringToFileTellsWhenADeleteFails) {
    // Only an ordinary user is refused the delete in a read-only folder.
    WriteFile(dir / "ro/file.txt", "stays");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "ro").c_str(), 0555), 0);
    const std::string path = dir / "ro/file.txt";

    EXPECT_TRUE(HoldsUnprivileged([&] {
        RecordingPrompt prompt;
        const bool returned = WriteStringToFile(fs, path, "", false, prompt);
        const ShownMessage told{"Write String To File",
                                "Unable to delete " + path + "Please delete this file manually.",
                                MessageIcon::Exclamation, MessageButtons::OK};
        return returned && prompt.shown == std::vector<ShownMessage>{told};
    }));
    EXPECT_EQ(ReadFile(path), "stays");
}

TEST_F(FileUtilitiesTest, ReadStringFromFileGivesBytesOrNothing) {
    const std::string bytes("a\0b\r\nc\xFF", 7);
    WriteFile(dir / "file", bytes);
    WriteFile(dir / "empty", "");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("file", (dir / "link").c_str()), 0);

    EXPECT_EQ(ReadStringFromFile(fs, dir / "file"), bytes);
    EXPECT_EQ(ReadStringFromFile(fs, dir / "link"), bytes);  // a linked settings file still reads
    EXPECT_EQ(ReadStringFromFile(fs, dir / "empty"), "");
    EXPECT_EQ(ReadStringFromFile(fs, dir / "missing"), "");
    EXPECT_EQ(ReadStringFromFile(fs, dir.Path()), "");
    EXPECT_EQ(ReadStringFromFile(fs, dir / "fifo"), "");
}

}  // namespace
}  // namespace duvanto::test
