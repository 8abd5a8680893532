// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <sstream>
#include <vector>

#include "platform/FilePrimitives.h"
#include "platform/FileSystemQueries.h"
#include "platform/NameRules.h"
#include "platform/PosixFile.h"

namespace duvanto {

namespace {

// statfs(2) magic numbers of the file systems whose names follow Linux rules, and of those
// that do not; anything else is looked up in the mount table.
constexpr std::array<long, 12> kLinuxMagics = {kExt4Magic,
                                               kXfsMagic,
                                               kBtrfsMagic,
                                               kTmpfsMagic,
                                               0x858458f6 /* ramfs */,
                                               kF2fsMagic,
                                               0x2FC12FC1 /* zfs */,
                                               0x3153464a /* jfs */,
                                               0x52654973 /* reiserfs */,
                                               0x3434 /* nilfs2 */,
                                               0xca451a4e /* bcachefs */,
                                               0x794c7630 /* overlay */};

std::string TypeOfMagic(long magic) {
    switch (magic) {
        case 0x4d44:
            return "vfat";
        case 0x2011BAB0:
            return "exfat";
        case 0x5346544e:
            return "ntfs";
        case 0x7366746e:
            return "ntfs3";
        case static_cast<long>(0xFF534D42):
            return "cifs";
        case static_cast<long>(0xFE534D42):
            return "smb3";
        default:
            return "";
    }
}

#ifndef FS_CASEFOLD_FL
#define FS_CASEFOLD_FL 0x40000000
#endif

bool HasCasefoldAttribute(int folderFd) {
    int flags = 0;
    return ::ioctl(folderFd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
}

std::string SwappedCase(const std::string& name) {
    std::string swapped = name;
    for (char& c : swapped) {
        const auto byte = static_cast<unsigned char>(c);
        c = static_cast<char>(std::islower(byte) ? std::toupper(byte) : std::tolower(byte));
    }
    return swapped;
}

// Whether the folder's file system finds a file under its name in the other case; unknown
// (false, decided false) when no probe file can be made there.
bool ProbeFolding(int folderFd, bool& decided) {
    const std::string name = NewCopyTempName();
    UniqueFd probe(::openat(folderFd, name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!probe.valid()) {
        decided = false;
        return false;
    }
    // The name is new and random: its other case exists only as the same entry. Inode numbers
    // cannot tell, as FUSE file systems may number each name they are asked for apart.
    struct stat other {};
    const bool folds =
        ::fstatat(folderFd, SwappedCase(name).c_str(), &other, AT_SYMLINK_NOFOLLOW) == 0;
    ::unlinkat(folderFd, name.c_str(), 0);
    decided = true;
    return folds;
}

std::string ReadBootSector(const std::string& device) {
    UniqueFd fd(::open(device.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        return {};
    }
    std::string sector(512, '\0');
    const ssize_t got = ::pread(fd.get(), sector.data(), sector.size(), 0);
    sector.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return sector;
}

}  // namespace

std::string TypeOfBootSector(const std::string& sector) {
    if (sector.size() < 90) {
        return {};
    }
    if (sector.compare(3, 8, "EXFAT   ") == 0) {
        return "exfat";
    }
    if (sector.compare(3, 8, "NTFS    ") == 0) {
        return "ntfs";
    }
    if (sector.compare(54, 3, "FAT") == 0 || sector.compare(82, 5, "FAT32") == 0) {
        return "vfat";
    }
    return {};
}

std::string MountTypeOf(const std::string& mountInfo, unsigned major, unsigned minor,
                        std::string* source) {
    const std::string device = std::to_string(major) + ":" + std::to_string(minor);
    std::istringstream lines(mountInfo);
    for (std::string line; std::getline(lines, line);) {
        // mount ID, parent ID, major:minor, root, mount point, options, optional fields,
        // "-", type, source, super options
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;) {
            words.push_back(word);
        }
        if (words.size() < 3 || words[2] != device) {
            continue;
        }
        for (std::size_t i = 6; i + 1 < words.size(); ++i) {
            if (words[i] == "-") {
                std::string type = words[i + 1];
                if (type.rfind("fuse.", 0) == 0) {
                    type.erase(0, 5);
                }
                if (source != nullptr) {
                    *source = i + 2 < words.size() ? DecodeMountName(words[i + 2]) : "";
                }
                return type;
            }
        }
    }
    return {};
}

TargetNameRules RulesOfType(const std::string& type) {
    TargetNameRules rules;
    rules.fileSystem = type;
    const auto windows = [&rules](bool trailing, bool devices) {
        rules.foldsCase = true;
        rules.windowsCharacters = true;
        rules.noTrailingDotOrBlank = trailing;
        rules.windowsDeviceNames = devices;
        rules.maxNameLength = 255;
        rules.lengthInUtf16 = true;
    };
    if (type == "vfat" || type == "msdos" || type == "fat") {
        windows(true, false);
    } else if (type == "exfat" || type == "fuseblk") {
        // A FUSE block file system whose disk could not be read is most likely one of the two
        // made for Windows: its rules are those both share.
        windows(false, false);
    } else if (type == "ntfs" || type == "ntfs3" || type == "ntfs-3g") {
        windows(true, false);
    } else if (type == "cifs" || type == "smb3" || type == "smbfs") {
        windows(true, true);
    }
    return rules;
}

TargetNameRules ProbeNameRules(int folderFd) {
    struct statfs info {};
    if (::fstatfs(folderFd, &info) != 0) {
        return {};
    }
    const long magic = static_cast<long>(info.f_type);
    for (long linuxMagic : kLinuxMagics) {
        if (magic == linuxMagic) {
            TargetNameRules rules;
            // ext4 and f2fs fold case in folders that carry the casefold attribute.
            if ((magic == kExt4Magic || magic == kF2fsMagic) && HasCasefoldAttribute(folderFd)) {
                rules.fileSystem = magic == kExt4Magic ? "ext4" : "f2fs";
                rules.foldsCase = true;
            }
            return rules;
        }
    }
    std::string type = TypeOfMagic(magic);
    if (type.empty()) {
        struct stat folder {};
        Result<std::string> table = ReadWholeFile("/proc/self/mountinfo");
        std::string source;
        if (::fstat(folderFd, &folder) == 0 && table.ok()) {
            type =
                MountTypeOf(table.value(), ::major(folder.st_dev), ::minor(folder.st_dev), &source);
        }
        if (type == "fuseblk" && !source.empty()) {
            const std::string known = TypeOfBootSector(ReadBootSector(source));
            type = known.empty() ? type : known;
        }
    }
    TargetNameRules rules = RulesOfType(type);
    // FAT and exFAT always fold, and are left untouched; elsewhere (NTFS drivers, shares, FUSE
    // file systems not known) whether names fold is what the probe finds, and where none can be
    // made, the type decides.
    if (type == "vfat" || type == "msdos" || type == "fat" || type == "exfat") {
        return rules;
    }
    bool decided = false;
    const bool folds = ProbeFolding(folderFd, decided);
    if (decided) {
        rules.foldsCase = folds;
    }
    return rules;
}

}  // namespace duvanto
