// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RemovableDrive.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/FileSystemQueries.h"

namespace duvanto {

namespace {

struct MountEntry {
    std::string mountPoint;  // ends in "/"
    std::string device;
    std::string mountId;       // mountinfo only
    std::string deviceNumber;  // mountinfo only: "MAJOR:MINOR"
};

std::string AsFolder(const std::string& path) {
    std::string folder = std::filesystem::path(path).lexically_normal().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

std::vector<MountEntry> ReadMountInfo(const std::string& path) {
    std::vector<MountEntry> entries;
    Result<std::string> table = ReadWholeFile(path);
    if (!table.ok()) {
        return entries;
    }
    std::istringstream lines(table.value());
    for (std::string line; std::getline(lines, line);) {
        // id parent major:minor root mount-point options [optional...] - type source options
        std::vector<std::string> words = Words(line);
        std::size_t separator = 6;
        while (separator < words.size() && words[separator] != "-") {
            ++separator;
        }
        if (words.size() > 4) {
            std::string device =
                separator + 2 < words.size() ? DecodeMountName(words[separator + 2]) : "";
            entries.push_back({AsFolder(DecodeMountName(words[4])), device, words[0], words[2]});
        }
    }
    return entries;
}

std::vector<MountEntry> ReadFstab(const std::string& path) {
    std::vector<MountEntry> entries;
    Result<std::string> table = ReadWholeFile(path);
    if (!table.ok()) {
        return entries;
    }
    std::istringstream lines(table.value());
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> words = Words(line);
        if (words.size() < 2 || words[0].starts_with('#')) {
            continue;
        }
        std::string mountPoint = DecodeMountName(words[1]);
        if (mountPoint.starts_with('/')) {
            entries.push_back({AsFolder(mountPoint), DecodeMountName(words[0]), {}, {}});
        }
    }
    return entries;
}

// "ROOT/USER/NAME/" for a folder at or below it; "" otherwise.
std::string MediaFolderOf(const std::string& folder, const std::vector<std::string>& mediaRoots) {
    for (const std::string& listedRoot : mediaRoots) {
        const std::string root = AsFolder(listedRoot);
        if (!folder.starts_with(root)) {
            continue;
        }
        const std::size_t userEnd = folder.find('/', root.size());
        if (userEnd == std::string::npos || userEnd == root.size()) {
            continue;
        }
        const std::size_t nameEnd = folder.find('/', userEnd + 1);
        if (nameEnd != std::string::npos && nameEnd > userEnd + 1) {
            return folder.substr(0, nameEnd + 1);
        }
    }
    return {};
}

std::string RealPathOr(const std::string& path, const std::string& fallback) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : fallback;
}

// The device node a table names, with UUID=, LABEL= and their kin looked up.
std::string DeviceNode(const std::string& device, const std::string& devRoot) {
    static const std::pair<const char*, const char*> kTags[] = {
        {"UUID=", "disk/by-uuid/"},
        {"LABEL=", "disk/by-label/"},
        {"PARTUUID=", "disk/by-partuuid/"},
        {"PARTLABEL=", "disk/by-partlabel/"},
    };
    std::string node = device;
    for (const auto& [tag, folder] : kTags) {
        if (device.starts_with(tag)) {
            node = AsFolder(devRoot) + folder + device.substr(std::string(tag).size());
        }
    }
    return RealPathOr(node, node);
}

bool ReadsOne(const std::string& path) {
    Result<std::string> text = ReadWholeFile(path);
    return text.ok() && text.value().starts_with('1');
}

bool BlockDeviceIsRemovable(const std::string& device, const RemovableDriveTables& tables) {
    const std::string node = DeviceNode(device, tables.devRoot);
    if (!node.starts_with('/')) {
        return false;  // "tmpfs", "none", a network share: no block device
    }
    const std::string name = node.substr(node.rfind('/') + 1);
    if (name.empty()) {
        return false;
    }
    const std::string sys = AsFolder(tables.sysRoot);
    if (ReadsOne(sys + "block/" + name + "/removable")) {
        return true;
    }
    // A partition has no flag of its own; its folder sits inside the disk's.
    const std::string partition = RealPathOr(sys + "class/block/" + name, "");
    if (partition.empty()) {
        return false;
    }
    return ReadsOne(std::filesystem::path(partition).parent_path().string() + "/removable");
}

}  // namespace

bool IsRemovableDrive(const std::string& path, std::string& driveName,
                      const RemovableDriveTables& tables) {
    driveName.clear();
    if (!path.starts_with('/')) {
        return false;
    }
    const std::string folder = AsFolder(path);
    const std::vector<MountEntry> mounted = ReadMountInfo(tables.mountInfo);
    const std::vector<MountEntry> listed = ReadFstab(tables.fstab);
    const std::string media = MediaFolderOf(folder, tables.mediaRoots);

    // The deepest mount point holding the folder; among equals, the one mounted now, and of
    // those the last listed, which hides any mounted under it at the same point.
    std::string drive = "/";
    const MountEntry* entry = nullptr;
    auto consider = [&](const MountEntry& candidate, bool isMounted) {
        if (!folder.starts_with(candidate.mountPoint)) {
            return;
        }
        const bool deeper = candidate.mountPoint.size() > drive.size();
        const bool same = candidate.mountPoint == drive;
        if (deeper || (same && (isMounted || entry == nullptr))) {
            drive = candidate.mountPoint;
            entry = &candidate;
        }
    };
    for (const MountEntry& candidate : listed) {
        consider(candidate, false);
    }
    for (const MountEntry& candidate : mounted) {
        consider(candidate, true);
    }
    // A drive mounted straight under the media root (/media/data of the fstab) holds folders,
    // not media: the media folder counts only below a user's folder that is no mount point.
    const std::string mediaParent =
        media.empty() ? "" : media.substr(0, media.rfind('/', media.size() - 2) + 1);
    if (media.size() > drive.size() && drive != mediaParent) {
        driveName = media;
        return true;
    }
    driveName = drive;
    if (!MediaFolderOf(drive, tables.mediaRoots).empty()) {
        return true;
    }
    return entry != nullptr && BlockDeviceIsRemovable(entry->device, tables);
}

std::string DriveMountIdentity(const std::string& path, const RemovableDriveTables& tables) {
    std::string drive;
    IsRemovableDrive(path, drive, tables);
    if (drive.empty()) {
        return {};
    }
    // The last mount at the point is the one in use: it hides those below it.
    const std::vector<MountEntry> mounted = ReadMountInfo(tables.mountInfo);
    const MountEntry* current = nullptr;
    for (const MountEntry& entry : mounted) {
        if (entry.mountPoint == drive) {
            current = &entry;
        }
    }
    if (current == nullptr) {
        return {};
    }
    Result<std::string> boot = ReadWholeFile(tables.bootId);
    std::string bootId = boot.ok() ? boot.value() : std::string();
    while (!bootId.empty() && (bootId.back() == '\n' || bootId.back() == ' ')) {
        bootId.pop_back();
    }
    return bootId + "/" + current->mountId + "/" + current->deviceNumber;
}

}  // namespace duvanto
