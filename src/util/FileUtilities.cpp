// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/FileUtilities.h"

#include <algorithm>
#include <cerrno>

#include "platform/FilePrimitives.h"
#include "platform/FileSystem.h"
#include "platform/FileSystemQueries.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

PathStatus FailureStatus(const Status& failure, PathStatus whenMissing, int32_t& errorCode) {
    if (failure.IsNotFound()) {
        return whenMissing;
    }
    if (failure.IsAccessDenied()) {
        return PathAccessDenied;
    }
    errorCode = failure.code();
    return PathOtherError;
}

// "/media/USER/NAME/" for a folder at or below it; "" for a folder outside the media roots.
std::string MediaMountOf(const std::string& folder, const std::vector<std::string>& mediaRoots) {
    for (const std::string& root : mediaRoots) {
        std::string rest = RemainingString(folder, NormalizeFolderPath(root));
        std::size_t userEnd = rest.find('/');
        if (rest.empty() || folder.size() == rest.size() || userEnd == std::string::npos) {
            continue;
        }
        std::size_t nameEnd = rest.find('/', userEnd + 1);
        if (nameEnd != std::string::npos && nameEnd > userEnd + 1) {
            return folder.substr(0, folder.size() - rest.size() + nameEnd + 1);
        }
    }
    return {};
}

// "/a/b/" for "/a/b/c/".
std::string ParentFolderOf(const std::string& folder) {
    const std::size_t slash = folder.rfind('/', folder.size() - 2);
    return folder.substr(0, slash + 1);
}

// True when the fstab lists the folder or it is mounted now.
bool IsKnownMountPoint(const std::string& folder, const MountTables& tables) {
    const auto isFolder = [&](const std::string& mountPoint) {
        return NormalizePath(mountPoint) == folder;
    };
    const std::vector<std::string> listed = ReadFstabMountPoints(tables.fstab);
    if (std::any_of(listed.begin(), listed.end(), isFolder)) {
        return true;
    }
    const Result<std::vector<std::string>> mounted = ReadMountInfoMountPoints(tables.mountInfo);
    return mounted.ok() && std::any_of(mounted.value().begin(), mounted.value().end(), isFolder);
}

// The status calls of the existence checks: the file system's where one is at hand, so that
// what a write decides on is what that file system sees.
auto StatOf(IFileSystem& fs) {
    return
        [&fs](const std::string& path, bool followLinks) { return fs.StatPath(path, followLinks); };
}

Result<PathInfo> FreeStat(const std::string& path, bool followLinks) {
    return StatPath(path, followLinks);
}

template <typename Stat>
bool FolderExistsBy(const std::string& path, Stat stat) {
    std::string trimmed = Trim(path);
    if (trimmed.empty()) {
        return false;
    }
    Result<PathInfo> info = stat(trimmed, true);
    return info.ok() && info.value().kind == FileKind::Directory;
}

template <typename Stat>
bool FileExistsBy(const std::string& path, Stat stat) {
    std::string trimmed = Trim(path);
    if (trimmed.empty() || trimmed.ends_with('/')) {
        return false;
    }
    Result<PathInfo> info = stat(trimmed, true);
    if (info.ok()) {
        return info.value().kind != FileKind::Directory;
    }
    // A link whose target is gone is still an entry that is not a folder.
    return stat(trimmed, false).ok();
}

}  // namespace

bool FolderExists(const std::string& path) {
    return FolderExistsBy(path, FreeStat);
}

bool FileExists(const std::string& path) {
    return FileExistsBy(path, FreeStat);
}

PathStatus GetPathStatus(const std::string& path, int32_t& errorCode, const MountTables& tables) {
    errorCode = 0;
    if (path.size() < 2) {
        return PathTooShort;
    }
    if (!path.starts_with('/')) {
        return PathBadDrive;
    }
    const std::string folder = NormalizePath(path);

    std::string mediaMount = MediaMountOf(folder, tables.mediaRoots);
    if (!mediaMount.empty() && IsKnownMountPoint(ParentFolderOf(mediaMount), tables)) {
        // A drive mounted straight under the media root (an fstab entry /media/data, pmount's
        // /media/sdb1): the level below it is a folder on that drive, not a drive of its own.
        mediaMount.clear();
    }
    if (!mediaMount.empty()) {
        Result<PathInfo> media = StatPath(mediaMount, true);
        // The desktop makes a removable drive's media folder when it mounts the drive and
        // removes it again when the drive goes: a missing one is a drive that is not there.
        if (!media.ok()) {
            return FailureStatus(media.status(), PathDriveNotReady, errorCode);
        }
        if (media.value().kind != FileKind::Directory) {
            errorCode = ENOTDIR;
            return PathBadDrive;
        }
    }

    // The deepest known mount point holding the folder is its drive. "/" is always mounted.
    std::string mountPoint = mediaMount;
    for (const std::string& listed : ReadFstabMountPoints(tables.fstab)) {
        std::string candidate = NormalizePath(listed);
        if (candidate != "/" && folder.starts_with(candidate) &&
            candidate.size() > mountPoint.size()) {
            mountPoint = std::move(candidate);
        }
    }
    if (!mountPoint.empty()) {
        Result<std::vector<std::string>> mounted = ReadMountInfoMountPoints(tables.mountInfo);
        if (!mounted.ok()) {
            errorCode = mounted.status().code();
            return PathOtherError;
        }
        bool isMounted = std::any_of(
            mounted.value().begin(), mounted.value().end(),
            [&](const std::string& current) { return NormalizePath(current) == mountPoint; });
        if (!isMounted) {
            return PathDriveNotReady;
        }
    }

    Result<PathInfo> info = StatPath(path, true);
    if (!info.ok()) {
        return FailureStatus(info.status(), PathFolderMissing, errorCode);
    }
    if (info.value().kind != FileKind::Directory) {
        return PathFolderMissing;
    }
    Status listed = ProbeFolderListing(path);
    return listed.ok() ? PathOk : FailureStatus(listed, PathFolderMissing, errorCode);
}

Status CreateFolderPath(IFileSystem& fs, const std::string& folderPath, const std::string& like) {
    if (!folderPath.starts_with('/')) {
        return Status::Failure(EINVAL, "Not an absolute folder path");
    }
    std::string built = "/";
    std::size_t from = 1;
    while (from < folderPath.size()) {
        std::size_t slash = folderPath.find('/', from);
        std::size_t end = slash == std::string::npos ? folderPath.size() : slash;
        if (end > from) {
            built.append(folderPath, from, end - from).append("/");
            const bool last = folderPath.find_first_not_of('/', end) == std::string::npos;
            Status made =
                like.empty() ? fs.MakeDirectory(built) : fs.MakeDirectoryLike(built, like, last);
            if (!made.ok() && !made.IsAlreadyExists()) {
                return made;
            }
            if (!made.ok() && !FolderExistsBy(built, StatOf(fs))) {
                return Status::FromErrno(ENOTDIR);
            }
        }
        from = end + 1;
    }
    return Status::Ok();
}

std::string GetTempFileSpec(IFileSystem& fs, const std::string& prefix,
                            const std::string& extension, const std::string& folder) {
    std::string where = folder.empty() ? SystemTempFolder() : NormalizeFolderPath(folder);
    Result<std::string> created =
        fs.CreateUniqueFile(where, prefix, "." + (extension.empty() ? "tmp" : extension), 0600);
    return created.ok() ? created.value() : std::string();
}

void QuickSortStringArray(std::vector<std::string>& items) {
    std::sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
        return CompareStringsOrdinal(a, b) < 0;
    });
}

bool WriteStringToFile(IFileSystem& fs, const std::string& path, const std::string& text,
                       bool keepExisting, IPrompt& prompt) {
    const bool exists = FileExistsBy(path, StatOf(fs));
    if (exists && keepExisting) {
        return false;
    }
    if (!text.empty()) {
        return fs.WriteFileThroughLinks(path, text).ok();
    }
    if (exists && !fs.RemoveProgramFile(path).ok()) {
        prompt.ShowMessage("Write String To File",
                           "Unable to delete " + path + "Please delete this file manually.",
                           MessageIcon::Exclamation, MessageButtons::OK);
    }
    return true;
}

std::string ReadStringFromFile(IFileSystem& fs, const std::string& path) {
    Result<std::string> content = fs.ReadWholeFile(path);
    return content.ok() ? std::move(content.value()) : std::string();
}

}  // namespace duvanto
