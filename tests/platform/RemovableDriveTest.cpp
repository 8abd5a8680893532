// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RemovableDrive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

// Mount tables and a sysfs of the test's own.
class RemovableDriveTables : public ::testing::Test {
protected:
    RemovableDriveTables() {
        tables.fstab = temp / "fstab";
        tables.mountInfo = temp / "mountinfo";
        tables.mediaRoots = {temp / "media/"};
        tables.sysRoot = temp / "sys/";
        tables.devRoot = temp / "dev/";
        WriteFile(tables.fstab,
                  "# device mount-point type options\n"
                  "UUID=1234-ABCD /mnt/usb vfat noauto 0 0\n"
                  "/dev/sdb1 /mnt/data ext4 defaults 0 2\n"
                  "/dev/sdc /mnt/My\\040Disk ext4 defaults 0 2\n"
                  "/dev/sda2 none swap sw 0 0\n");
        WriteFile(tables.mountInfo,
                  "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                  "40 22 8:17 / /mnt/data rw shared:5 - ext4 /dev/sdb1 rw\n"
                  "41 40 0:45 / /mnt/data/tmp rw - tmpfs tmpfs rw\n");
        // sdb is a fixed disk; sdc and the disk of the UUID are removable.
        WriteFile(temp / "sys/block/sda/removable", "0\n");
        WriteFile(temp / "sys/block/sdb/removable", "0\n");
        WriteFile(temp / "sys/block/sdc/removable", "1\n");
        WriteFile(temp / "sys/devices/usb1/block/sdd/removable", "1\n");
        fs::create_directories(temp / "sys/devices/usb1/block/sdd/sdd1");
        fs::create_directories(temp / "sys/class/block");
        fs::create_symlink(temp / "sys/devices/usb1/block/sdd/sdd1", temp / "sys/class/block/sdd1");
        fs::create_directories(temp / "dev/disk/by-uuid");
        WriteFile(temp / "dev/sdd1", "");
        fs::create_symlink(temp / "dev/sdd1", temp / "dev/disk/by-uuid/1234-ABCD");
    }

    // The drive that holds the path: "removable " or "fixed " and its mount point.
    std::string Drive(const std::string& path) {
        const bool removable = IsRemovableDrive(path, drive, tables);
        return (removable ? "removable " : "fixed ") + drive;
    }

    TempDir temp;
    duvanto::RemovableDriveTables tables;
    std::string drive;
};

TEST_F(RemovableDriveTables, TheDriveIsTheDeepestMountHoldingThePath) {
    EXPECT_EQ(Drive("/mnt/data/projects/x/"), "fixed /mnt/data/");
    EXPECT_EQ(Drive("/mnt/data/tmp/scratch"), "fixed /mnt/data/tmp/");
    EXPECT_EQ(Drive("/home/anna/"), "fixed /");
    EXPECT_EQ(Drive("/mnt/database/"), "fixed /")
        << "a name that only begins like a mount point is not under it";
    EXPECT_EQ(Drive("relative/path"), "fixed ");

    // Unreadable tables leave only the root.
    tables.fstab = temp / "none";
    tables.mountInfo = temp / "none";
    EXPECT_EQ(Drive("/mnt/usb/backup/"), "fixed /");
}

TEST_F(RemovableDriveTables, UnpluggedDisksAndMediaFoldersAreRemovable) {
    // A tag looked up among the device links, then the partition's disk asked.
    EXPECT_EQ(Drive("/mnt/usb/backup/"), "removable /mnt/usb/");
    // The whole disk reports for itself; the mount point had an escaped blank.
    EXPECT_EQ(Drive("/mnt/My Disk/x"), "removable /mnt/My Disk/");

    // Media folders are removable.
    const std::string media = temp / "media/";
    EXPECT_EQ(Drive(media + "anna/STICK/photos/"), "removable " + media + "anna/STICK/");
    EXPECT_EQ(Drive(media + "anna/STICK"), "removable " + media + "anna/STICK/");
    EXPECT_EQ(Drive(media + "anna/"), "fixed /") << "a user's folder is no medium";
}

// A disk the fstab mounts straight under the media root is one drive, whatever lies in it;
// so is a removable one that pmount mounted there.
TEST_F(RemovableDriveTables, ADriveMountedStraightUnderTheMediaRootHoldsFolders) {
    const std::string media = temp / "media/";
    WriteFile(tables.fstab, "/dev/sdb1 " + media + "data ext4 defaults 0 2\n");
    WriteFile(tables.mountInfo, "40 22 8:17 / " + media + "data rw - ext4 /dev/sdb1 rw\n" +
                                    "41 22 8:49 / " + media + "sdd1 rw - vfat /dev/sdd1 rw\n");
    EXPECT_EQ(Drive(media + "data/Backup/new/"), "fixed " + media + "data/");
    EXPECT_EQ(Drive(media + "sdd1/Backup/"), "removable " + media + "sdd1/");
}

// What tells one mounting of a drive from the next: the mount's ID, its device and the boot.
TEST_F(RemovableDriveTables, EachMountingOfADriveHasItsOwnIdentity) {
    const std::string media = temp / "media/";
    tables.bootId = temp / "boot_id";
    WriteFile(tables.bootId, "b00t\n");
    const std::string stick = media + "anna/STICK/photos/";
    EXPECT_EQ(DriveMountIdentity(stick, tables), "") << "media folder not mounted: away";
    EXPECT_EQ(DriveMountIdentity("/mnt/usb/backup/", tables), "") << "fstab drive not mounted";
    EXPECT_EQ(DriveMountIdentity("/home/anna/", tables), "b00t/22/8:1") << "the root is there";

    WriteFile(tables.mountInfo,
              "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
              "52 22 8:49 / " +
                  media +
                  "anna/STICK rw - vfat /dev/sdd1 rw\n"
                  "60 22 8:17 / /mnt/usb rw - vfat /dev/sdd1 rw\n"
                  "61 60 0:50 / /mnt/usb rw - tmpfs tmpfs rw\n");
    EXPECT_EQ(DriveMountIdentity(stick, tables), "b00t/52/8:49");
    EXPECT_EQ(DriveMountIdentity("/mnt/usb/backup/", tables), "b00t/61/0:50")
        << "the mount on top hides the one below";

    // Mounted again: another ID, or the same ID on another device or in another boot.
    WriteFile(tables.mountInfo, "53 22 8:49 / " + media + "anna/STICK rw - vfat /dev/sdd1 rw\n");
    EXPECT_EQ(DriveMountIdentity(stick, tables), "b00t/53/8:49");
    WriteFile(tables.bootId, "later\n");
    EXPECT_EQ(DriveMountIdentity(stick, tables), "later/53/8:49");
}

}  // namespace
}  // namespace duvanto::test
