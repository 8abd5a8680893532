// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystemQueries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "support/TestSupport.h"
#include "support/Unprivileged.h"

namespace duvanto::test {
namespace {

using ::testing::ElementsAre;

TEST(MountTablesTest, FstabGivesRealMountPointsDecoded) {
    TempDir dir;
    WriteFile(dir / "fstab",
              "# <file system> <mount point> <type>\n"
              "UUID=1 / ext4 defaults 0 1\n"
              "   # indented comment\n"
              "\n"
              "/dev/sdb1 /mnt/My\\040Disk ext4 noauto 0 2\n"
              "/swapfile none swap sw 0 0\n"
              "/dev/sdc1 swap swap sw 0 0\n"
              "LABEL=x\t/srv/tab\\011name\txfs defaults\n"
              "server:/share /net/share nfs defaults\n"
              "bad-line\n");
    EXPECT_THAT(ReadFstabMountPoints(dir / "fstab"),
                ElementsAre("/", "/mnt/My Disk", "/srv/tab\tname", "/net/share"));
    EXPECT_TRUE(ReadFstabMountPoints(dir / "missing").empty());
}

TEST(MountTablesTest, MountInfoGivesTheFifthField) {
    TempDir dir;
    WriteFile(dir / "mountinfo",
              "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
              "40 22 8:17 / /media/ann/USB\\040Stick rw - vfat /dev/sdb1 rw\n"
              "41 22 8:18 /sub /back\\134slash rw - ext4 /dev/sdb2 rw\n"
              "42 22 8:19 / /media/ann/Ends\\040 rw - vfat /dev/sdc1 rw\n");
    Result<std::vector<std::string>> mounted = ReadMountInfoMountPoints(dir / "mountinfo");
    ASSERT_TRUE(mounted.ok());
    EXPECT_THAT(mounted.value(),
                ElementsAre("/", "/media/ann/USB Stick", "/back\\slash", "/media/ann/Ends "));
    EXPECT_EQ(ReadMountInfoMountPoints(dir / "missing").status().code(), ENOENT);
    mounted = ReadMountInfoMountPoints("/proc/self/mountinfo");
    ASSERT_TRUE(mounted.ok());
    EXPECT_NE(std::find(mounted.value().begin(), mounted.value().end(), "/"),
              mounted.value().end());
}

TEST(WriteFileAtomicallyTest, ReplacesContentAndLinksWholeLeavingNothingBehind) {
    TempDir dir;
    WriteFile(dir / "file", "old and longer");
    ASSERT_EQ(chmod((dir / "file").c_str(), 0604), 0);
    ASSERT_TRUE(WriteFileAtomically(dir / "file", "new").ok());
    EXPECT_EQ(ReadFile(dir / "file"), "new");
    EXPECT_EQ(StatPath(dir / "file", false).value().mode, 0604u);
    ASSERT_TRUE(WriteFileAtomically(dir / "fresh", "").ok());
    EXPECT_EQ(std::filesystem::file_size(dir / "fresh"), 0u);

    // A link is replaced, not written through.
    WriteFile(dir / "elsewhere", "untouched");
    ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "link").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(dir / "link", "new").ok());
    EXPECT_EQ(StatPath(dir / "link", false).value().kind, FileKind::Regular);
    EXPECT_EQ(ReadFile(dir / "elsewhere"), "untouched");

    WriteFile(dir / "folder/inside", "x");
    EXPECT_FALSE(WriteFileAtomically(dir / "folder", "bytes").ok());
    EXPECT_EQ(WriteFileAtomically(dir / "missing/file", "bytes").code(), ENOENT);
    EXPECT_EQ(FolderNames(dir.Path()),
              (std::vector<std::string>{"elsewhere", "file", "folder", "fresh", "link"}))
        << "no temporary file is left";
}

// The modes, owners and sizes a private file is judged by, each refusal with its reason.
TEST(ReadPrivateFileTest, OnlyTheCallersOwnFileThatNoOneElseMayWrite) {
    TempDir dir;
    const std::string file = dir / "plan";
    WriteFile(file, "0123456789");
    // Each mode, and the error it gives (0: read).
    const std::pair<unsigned, int> cases[] = {{0600, 0},     {0644, 0},     {0400, 0},    {0755, 0},
                                              {0620, EPERM}, {0602, EPERM}, {0666, EPERM}};
    for (const auto& [mode, code] : cases) {
        ASSERT_EQ(chmod(file.c_str(), mode), 0);
        Result<std::string> read = ReadPrivateFile(file, 100);
        EXPECT_EQ(read.status().code(), code) << std::oct << mode;
        EXPECT_EQ(read.value(), code == 0 ? "0123456789" : "") << std::oct << mode;
    }
    ASSERT_EQ(chmod(file.c_str(), 0664), 0);
    EXPECT_EQ(ReadPrivateFile(file, 100).status().message(),
              "users other than its owner may write to the file (mode 0664)");

    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    EXPECT_EQ(ReadPrivateFile(file, 10).value(), "0123456789") << "exactly at the limit";
    EXPECT_EQ(ReadPrivateFile(file, 9).status().code(), EFBIG);
    EXPECT_EQ(ReadPrivateFile(file, 9).status().message(), "the file is larger than 9 bytes");
    // Judged by its size before a byte is read: a sparse file of 64 GiB costs nothing.
    std::filesystem::resize_file(file, uint64_t{64} << 30);
    EXPECT_EQ(ReadPrivateFile(file, uint64_t{4} << 30).status().code(), EFBIG);

    // A link is followed to the file it names, which is the one judged.
    WriteFile(dir / "real", "r");
    ASSERT_EQ(symlink((dir / "real").c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(ReadPrivateFile(dir / "link", 100).value(), "r");
    ASSERT_EQ(chmod((dir / "real").c_str(), 0646), 0);
    EXPECT_EQ(ReadPrivateFile(dir / "link", 100).status().code(), EPERM);
    EXPECT_EQ(ReadPrivateFile(dir.Path(), 100).status().message(), "Not a regular file");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ReadPrivateFile(dir / "fifo", 100).status().message(), "Not a regular file");
}

TEST(ReadPrivateFileTest, AFileOfAnotherUserIsRefusedEvenToRoot) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    TempDir dir;
    WriteFile(dir / "plan", "p");
    ASSERT_EQ(chmod((dir / "plan").c_str(), 0600), 0);
    ASSERT_EQ(chown((dir / "plan").c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    const Result<std::string> read = ReadPrivateFile(dir / "plan", 100);
    EXPECT_EQ(read.status().code(), EPERM);
    EXPECT_EQ(read.status().message(),
              "the file belongs to another user (uid " + std::to_string(kUnprivilegedId) + ")");
}

TEST(WritePrivateFileAtomicallyTest, WritesOwnerOnlyAndRefusesLinksAndOtherUsersFiles) {
    TempDir dir;
    const mode_t umaskBefore = umask(0);
    ASSERT_TRUE(WritePrivateFileAtomically(dir / "fresh", "new").ok());
    umask(umaskBefore);
    EXPECT_EQ(ReadFile(dir / "fresh"), "new");
    EXPECT_EQ(StatPath(dir / "fresh", false).value().mode, 0600u);
    // A file of the caller's own is replaced, and private afterwards whatever it was.
    WriteFile(dir / "own", "old and longer");
    ASSERT_EQ(chmod((dir / "own").c_str(), 0666), 0);
    ASSERT_TRUE(WritePrivateFileAtomically(dir / "own", "new").ok());
    EXPECT_EQ(ReadFile(dir / "own"), "new");
    EXPECT_EQ(StatPath(dir / "own", false).value().mode, 0600u);

    WriteFile(dir / "elsewhere", "untouched");
    ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "link").c_str()), 0);
    const Status linked = WritePrivateFileAtomically(dir / "link", "new");
    EXPECT_EQ(linked.code(), ELOOP);
    EXPECT_EQ(linked.message(), "a symbolic link stands there; it is not followed");
    EXPECT_EQ(StatPath(dir / "link", false).value().kind, FileKind::SymbolicLink);
    EXPECT_EQ(ReadFile(dir / "elsewhere"), "untouched");
    EXPECT_EQ(FolderNames(dir.Path()),
              (std::vector<std::string>{"elsewhere", "fresh", "link", "own"}))
        << "no temporary file is left";

    if (!RunningAsRoot()) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    WriteFile(dir / "theirs", "theirs");
    ASSERT_EQ(chown((dir / "theirs").c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    const Status theirs = WritePrivateFileAtomically(dir / "theirs", "new");
    EXPECT_EQ(theirs.code(), EPERM);
    EXPECT_EQ(theirs.message(), "the file there belongs to another user (uid " +
                                    std::to_string(kUnprivilegedId) + "); it is not replaced");
    EXPECT_EQ(ReadFile(dir / "theirs"), "theirs");
}

}  // namespace
}  // namespace duvanto::test
