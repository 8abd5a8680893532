#include "platform/FileSystemQueries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "support/TestSupport.h"

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
              "41 22 8:18 /sub /back\\134slash rw - ext4 /dev/sdb2 rw\n");
    Result<std::vector<std::string>> mounted = ReadMountInfoMountPoints(dir / "mountinfo");
    ASSERT_TRUE(mounted.ok());
    EXPECT_THAT(mounted.value(), ElementsAre("/", "/media/ann/USB Stick", "/back\\slash"));
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

}  // namespace
}  // namespace duvanto::test
