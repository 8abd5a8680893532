// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderPlace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>
#include <sstream>

#include "platform/FileSystemQueries.h"
#include "platform/PosixFile.h"

namespace duvanto {

namespace {

// "a/b" joined below "/x" as "/x/a/b"; "" below "/x" as "/x".
std::string Below(const std::string& root, const std::string& relative) {
    if (relative.empty()) {
        return root;
    }
    return (root.ends_with('/') ? root : root + "/") + relative;
}

// The folder's place in its file system from its mount's entry; "" when it cannot be told.
void FillFileSystemPlace(int fd, FolderPlace& place) {
    struct statx info {};
    if (statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &info) != 0 ||
        (info.stx_mask & STATX_MNT_ID) == 0) {
        return;
    }
    char path[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(self.c_str(), path, sizeof path - 1);
    if (length <= 0 || path[0] != '/') {
        return;
    }
    const std::string real(path, static_cast<std::size_t>(length));
    std::string fileSystem, root, mountPoint;
    if (!FindMountById("/proc/self/mountinfo", info.stx_mnt_id, fileSystem, root, mountPoint)) {
        return;
    }
    std::string relative;
    if (mountPoint != "/") {
        if (real != mountPoint && !real.starts_with(mountPoint + "/")) {
            return;
        }
        relative = real.substr(std::min(real.size(), mountPoint.size() + 1));
    } else {
        relative = real.substr(1);
    }
    place.fileSystem = fileSystem;
    place.pathInFileSystem = Below(root, relative);
}

}  // namespace

bool FindMountById(const std::string& mountInfoPath, unsigned long long mountId,
                   std::string& fileSystem, std::string& root, std::string& mountPoint) {
    std::ifstream table(mountInfoPath);
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        unsigned long long id = 0, parent = 0;
        std::string device, rootField, pointField;
        if (!(fields >> id >> parent >> device >> rootField >> pointField) || id != mountId) {
            continue;
        }
        fileSystem = device;
        root = DecodeMountName(rootField);
        mountPoint = DecodeMountName(pointField);
        return true;
    }
    return false;
}

Result<FolderPlace> LocateFolder(const std::string& folder) {
    UniqueFd current(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!current.valid()) {
        return Status::FromErrno(errno);
    }
    FolderPlace place;
    FillFileSystemPlace(current.get(), place);
    // "/" is its own "..": the walk ends there. The bound keeps a broken file system from
    // walking for ever.
    for (int depth = 0; depth < 4096; ++depth) {
        struct stat info {};
        if (fstat(current.get(), &info) != 0) {
            return Status::FromErrno(errno);
        }
        const FileIdentity identity{info.st_dev, info.st_ino};
        if (!place.lineage.empty() && place.lineage.back() == identity) {
            break;
        }
        place.lineage.push_back(identity);
        UniqueFd parent(openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!parent.valid()) {
            return Status::FromErrno(errno);
        }
        current = std::move(parent);
    }
    return place;
}

}  // namespace duvanto
