// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a path lies on removable media, and which mount is its "drive". A path's drive is
// the deepest mount point that holds it: one mounted now, one the fstab names (mounted or
// not, so that an unplugged disk still has a drive), or a media folder ROOT/USER/NAME/.

#include <string>
#include <vector>

namespace duvanto {

// Where the tables are read from; tests hand in their own copies.
struct RemovableDriveTables {
    std::string fstab = "/etc/fstab";
    std::string mountInfo = "/proc/self/mountinfo";
    // Folders under which removable media appear as ROOT/USER/NAME/; each ends in "/".
    std::vector<std::string> mediaRoots = {"/media/", "/run/media/"};
    std::string sysRoot = "/sys/";  // holds block/ and class/block/
    std::string devRoot = "/dev/";  // holds disk/by-uuid/ and its kin
    std::string bootId = "/proc/sys/kernel/random/boot_id";
};

// True when the drive of the absolute path is removable: it is a media folder (or lies in
// one), or its block device (for a partition, the disk holding it) reports removable in
// sysfs. driveName receives the drive's mount point, ending in "/"; "" for a relative path.
bool IsRemovableDrive(const std::string& path, std::string& driveName,
                      const RemovableDriveTables& tables = RemovableDriveTables{});

// Which mounting of the path's drive is there now: the boot's ID, the mount's ID and its device
// numbers ("BOOT/ID/MAJOR:MINOR"); "" when the drive's mount point is not mounted (the drive
// is away). The kernel hands a freed mount ID out again, so two mountings can share the text
// only when nobody looked in between: callers forget a drive they have seen away.
std::string DriveMountIdentity(const std::string& path,
                               const RemovableDriveTables& tables = RemovableDriveTables{});

}  // namespace duvanto
