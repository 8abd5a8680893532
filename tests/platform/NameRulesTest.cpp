// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NameRules.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

TEST(NameRulesTest, TheMountTableNamesTheTypeOfTheDevice) {
    const std::string table =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "45 22 7:0 / /media/ann/USB\\040STICK rw,nosuid - fuseblk /dev/loop0 rw,user_id=0\n"
        "46 22 0:50 / /mnt/share rw - cifs //server/share rw\n"
        "47 22 0:51 / /mnt/ssh rw master:3 shared:9 - fuse.sshfs ann@host:/ rw\n";
    std::string source;
    EXPECT_EQ(MountTypeOf(table, 7, 0, &source), "fuseblk");
    EXPECT_EQ(source, "/dev/loop0");
    EXPECT_EQ(MountTypeOf(table, 0, 50), "cifs");
    EXPECT_EQ(MountTypeOf(table, 0, 51, &source), "sshfs");
    EXPECT_EQ(source, "ann@host:/");
    EXPECT_EQ(MountTypeOf(table, 7, 1), "");
    EXPECT_EQ(MountTypeOf("garbage\n\n1 2 7:0 / /x\n", 7, 0), "");
}

TEST(NameRulesTest, ABootSectorNamesTheFileSystemItStarts) {
    std::string sector(512, '\0');
    EXPECT_EQ(TypeOfBootSector(sector), "");
    EXPECT_EQ(TypeOfBootSector("short"), "");
    sector.replace(3, 8, "EXFAT   ");
    EXPECT_EQ(TypeOfBootSector(sector), "exfat");
    sector.replace(3, 8, "NTFS    ");
    EXPECT_EQ(TypeOfBootSector(sector), "ntfs");
    sector.replace(3, 8, "MSDOS5.0");
    sector.replace(82, 5, "FAT32");
    EXPECT_EQ(TypeOfBootSector(sector), "vfat");
}

TEST(NameRulesTest, WindowsFileSystemsBringTheirRulesAndLinuxOnesNone) {
    EXPECT_TRUE(RulesOfType("ext4").Plain());
    EXPECT_TRUE(RulesOfType("").Plain());
    const TargetNameRules fat = RulesOfType("vfat");
    EXPECT_TRUE(fat.foldsCase && fat.windowsCharacters && fat.noTrailingDotOrBlank);
    EXPECT_FALSE(fat.windowsDeviceNames);
    EXPECT_EQ(fat.maxNameLength, 255u);
    EXPECT_TRUE(fat.lengthInUtf16);
    const TargetNameRules exfat = RulesOfType("exfat");
    EXPECT_TRUE(exfat.foldsCase && exfat.windowsCharacters);
    EXPECT_FALSE(exfat.noTrailingDotOrBlank);
    EXPECT_EQ(RulesOfType("fuseblk").windowsCharacters, true);
    EXPECT_TRUE(RulesOfType("cifs").windowsDeviceNames);
    EXPECT_TRUE(RulesOfType("ntfs3").noTrailingDotOrBlank);
}

TEST(NameRulesTest, ALinuxFolderIsPlainAndTheProbeLeavesNothingBehind) {
    TempDir dir;
    const int fd = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const TargetNameRules rules = ProbeNameRules(fd);
    close(fd);
    // Whatever holds the test folder (ext4, tmpfs, overlay, xfs), it keeps case apart.
    EXPECT_FALSE(rules.foldsCase) << rules.fileSystem;
    EXPECT_TRUE(FolderNames(dir.Path()).empty());
}

}  // namespace
}  // namespace duvanto::test
