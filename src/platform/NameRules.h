// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a Target's file system makes of names: whether it folds letter case, and which names
// it cannot hold. Disks made for Windows (FAT, exFAT, NTFS) and Windows shares differ from
// Linux file systems in both; a run learns the rules of its Target once, before planning.

#include <cstdint>
#include <string>

namespace duvanto {

struct TargetNameRules {
    // The file system as the mount table names it ("exfat", "vfat", "cifs", ...); "" when
    // nothing was learnt.
    std::string fileSystem;
    // Names that differ only in letter case name one entry.
    bool foldsCase = false;
    // \ : * ? " < > | and the control characters are refused.
    bool windowsCharacters = false;
    // A name may not end in a dot or a blank (FAT and NTFS drop or refuse them).
    bool noTrailingDotOrBlank = false;
    // CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, with or without an extension, name
    // devices on a Windows server.
    bool windowsDeviceNames = false;
    // The longest name, in UTF-16 units when lengthInUtf16, else in bytes; 0 for no limit.
    uint32_t maxNameLength = 0;
    bool lengthInUtf16 = false;

    // Whether names need no look at all: every name a Linux folder holds can be held as it is.
    bool Plain() const {
        return !foldsCase && !windowsCharacters && !noTrailingDotOrBlank && !windowsDeviceNames &&
               maxNameLength == 0;
    }
    bool operator==(const TargetNameRules&) const = default;
};

// The rules of the file system that holds the open folder: from its type (statfs, and the
// mount table for FUSE file systems), and where the type leaves case folding open, from a
// probe: an empty file of the copies' temporary form made in the folder, looked up under its
// name in the other case, and removed at once. Nothing is made where the type decides.
TargetNameRules ProbeNameRules(int folderFd);

// The rules a file system type brings before any probe; foldsCase as that type mostly has it.
TargetNameRules RulesOfType(const std::string& type);
// The type of the mount of device major:minor in a table of /proc/self/mountinfo's form ("" when
// it is not there), "fuse." left off a FUSE subtype; source receives the mount's source.
std::string MountTypeOf(const std::string& mountInfo, unsigned major, unsigned minor,
                        std::string* source = nullptr);
// What a boot sector says it formats: "exfat", "ntfs", "vfat", or "".
std::string TypeOfBootSector(const std::string& sector);

}  // namespace duvanto
