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
};

// True when the drive of the absolute path is removable: it is a media folder (or lies in
// one), or its block device (for a partition, the disk holding it) reports removable in
// sysfs. driveName receives the drive's mount point, ending in "/"; "" for a relative path.
bool IsRemovableDrive(const std::string& path, std::string& driveName,
                      const RemovableDriveTables& tables = RemovableDriveTables{});

}  // namespace duvanto
