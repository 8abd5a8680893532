// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystemQueries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <sstream>

#include "platform/PosixFile.h"

namespace duvanto {

namespace {

std::vector<std::string> SplitFields(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> fields;
    for (std::string field; stream >> field;) {
        fields.push_back(std::move(field));
    }
    return fields;
}

}  // namespace

std::string DecodeMountName(std::string_view field) {
    std::string name;
    name.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        auto isOctal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) &&
            isOctal(i + 3)) {
            name += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            name += field[i];
        }
    }
    return name;
}

Result<PathInfo> StatPath(const std::string& path, bool followLinks) {
    struct stat info {};
    int result = followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (result != 0) {
        return Status::FromErrno(errno);
    }
    PathInfo pathInfo;
    if (S_ISREG(info.st_mode)) {
        pathInfo.kind = FileKind::Regular;
    } else if (S_ISDIR(info.st_mode)) {
        pathInfo.kind = FileKind::Directory;
    } else if (S_ISLNK(info.st_mode)) {
        pathInfo.kind = FileKind::SymbolicLink;
    }
    pathInfo.size = static_cast<uint64_t>(info.st_size);
    pathInfo.mode = info.st_mode & 07777;
    return pathInfo;
}

Status ProbeFolderListing(const std::string& folderPath) {
    DIR* folder = ::opendir(folderPath.c_str());
    if (folder == nullptr) {
        return Status::FromErrno(errno);
    }
    errno = 0;
    bool failed = ::readdir(folder) == nullptr && errno != 0;
    int readError = errno;
    ::closedir(folder);
    return failed ? Status::FromErrno(readError) : Status::Ok();
}

std::vector<std::string> ReadFstabMountPoints(const std::string& fstabPath) {
    std::vector<std::string> mountPoints;
    Result<std::string> table = ReadWholeFile(fstabPath);
    if (!table.ok()) {
        return mountPoints;
    }
    std::istringstream lines(table.value());
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields = SplitFields(line);
        if (fields.size() < 2 || fields[0].starts_with('#')) {
            continue;
        }
        std::string mountPoint = DecodeMountName(fields[1]);
        bool isSwap = fields.size() > 2 && fields[2] == "swap";
        if (!isSwap && mountPoint.starts_with('/')) {
            mountPoints.push_back(std::move(mountPoint));
        }
    }
    return mountPoints;
}

Result<std::vector<std::string>> ReadMountInfoMountPoints(const std::string& mountInfoPath) {
    Result<std::string> table = ReadWholeFile(mountInfoPath);
    if (!table.ok()) {
        return table.status();
    }
    std::vector<std::string> mountPoints;
    std::istringstream lines(table.value());
    for (std::string line; std::getline(lines, line);) {
        // mount ID, parent ID, major:minor, root, mount point, ...
        std::vector<std::string> fields = SplitFields(line);
        if (fields.size() > 4) {
            mountPoints.push_back(DecodeMountName(fields[4]));
        }
    }
    return mountPoints;
}

Status MakeDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

Status MakeDirectoryLike(const std::string& path, const std::string& like, bool withOwner) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const std::size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos || slash + 1 == trimmed.size()) {
        return Status::FromErrno(EINVAL);
    }
    struct stat likeInfo {};
    if (::stat(like.c_str(), &likeInfo) != 0 || !S_ISDIR(likeInfo.st_mode)) {
        likeInfo.st_mode = S_IFDIR | S_IRWXU;
        likeInfo.st_uid = ::geteuid();
        likeInfo.st_gid = ::getegid();
    }
    UniqueFd parent(
        ::open(trimmed.substr(0, slash + 1).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid()) {
        return Status::FromErrno(errno);
    }
    // Its final bits at once: a run fills a read-only folder the way it fills any other.
    return MakeFolderLikeAt(parent.get(), trimmed.substr(slash + 1), likeInfo,
                            withOwner && ::geteuid() == 0, true)
        .status();
}

Result<std::string> CreateUniqueFile(const std::string& folder, std::string_view prefix,
                                     std::string_view suffix, unsigned mode) {
    std::string createdPath;
    Result<UniqueFd> created = CreateExclusiveFile(folder, prefix, suffix, mode, createdPath);
    if (!created.ok()) {
        return created.status();
    }
    Status closed = created.value().Close();
    if (!closed.ok()) {
        ::unlink(createdPath.c_str());
        return closed;
    }
    return createdPath;
}

namespace {

// Writes bytes to a new temporary file beside path, created with createMode (before the umask)
// and given finalMode when one is named, syncs it, and renames it over path. On failure path
// is untouched and the temporary file gone.
Status ReplaceThroughTemporaryFile(const std::string& path, std::string_view bytes,
                                   unsigned createMode, std::optional<mode_t> finalMode) {
    std::string tempPath;
    Result<UniqueFd> created =
        CreateExclusiveFile(ContainingFolder(path), kWriteTempPrefix, ".tmp", createMode, tempPath);
    if (!created.ok()) {
        return created.status();
    }
    UniqueFd& fd = created.value();
    Status status = WriteFully(fd.get(), bytes.data(), bytes.size());
    if (status.ok() && finalMode && ::fchmod(fd.get(), *finalMode) != 0) {
        status = Status::FromErrno(errno);
    }
    if (status.ok() && ::fsync(fd.get()) != 0) {
        status = Status::FromErrno(errno);
    }
    Status closed = fd.Close();
    if (status.ok()) {
        status = closed;
    }
    if (status.ok() && ::rename(tempPath.c_str(), path.c_str()) != 0) {
        status = Status::FromErrno(errno);
    }
    if (!status.ok()) {
        ::unlink(tempPath.c_str());
    }
    return status;
}

// The content of an open regular file, read to its end (files under /proc report size 0 yet
// have content; the size only sizes the buffer), never more than maxBytes.
Result<std::string> ReadToEnd(int fd, const struct stat& info, uint64_t maxBytes) {
    const Status tooLarge =
        Status::Failure(EFBIG, "the file is larger than " + std::to_string(maxBytes) + " bytes");
    if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        return tooLarge;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size) + 1);
    char block[64 * 1024];
    for (;;) {
        long count = ReadFully(fd, block, sizeof block);
        if (count < 0) {
            return Status::FromErrno(errno);
        }
        // It may have grown since: never more than the limit is held.
        if (static_cast<uint64_t>(count) > maxBytes - content.size()) {
            return tooLarge;
        }
        content.append(block, static_cast<std::size_t>(count));
        if (static_cast<std::size_t>(count) < sizeof block) {
            return content;
        }
    }
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
    struct stat existing {};
    const bool keepMode = ::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    return ReplaceThroughTemporaryFile(
        path, bytes, 0666,
        keepMode ? std::optional<mode_t>(existing.st_mode & 07777) : std::nullopt);
}

Result<std::string> ReadWholeFile(const std::string& path) {
    struct stat info {};
    Result<UniqueFd> fd = OpenRegularFileForReading(AT_FDCWD, path, true, &info);
    if (!fd.ok()) {
        return fd.status();
    }
    return ReadToEnd(fd.value().get(), info, std::numeric_limits<uint64_t>::max());
}

Status WritePrivateFileAtomically(const std::string& path, std::string_view bytes) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        if (S_ISLNK(existing.st_mode)) {
            return Status::Failure(ELOOP, "a symbolic link stands there; it is not followed");
        }
        if (existing.st_uid != ::geteuid()) {
            return Status::Failure(EPERM, "the file there belongs to another user (uid " +
                                              std::to_string(existing.st_uid) +
                                              "); it is not replaced");
        }
    } else if (errno != ENOENT) {
        return Status::FromErrno(errno);
    }
    // Private from its first byte: no moment with looser bits.
    return ReplaceThroughTemporaryFile(path, bytes, 0600, 0600);
}

Result<std::string> ReadPrivateFile(const std::string& path, uint64_t maxBytes) {
    struct stat info {};
    Result<UniqueFd> fd = OpenRegularFileForReading(AT_FDCWD, path, true, &info);
    if (!fd.ok()) {
        return fd.status();
    }
    if (info.st_uid != ::geteuid()) {
        return Status::Failure(
            EPERM, "the file belongs to another user (uid " + std::to_string(info.st_uid) + ")");
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return Status::Failure(
            EPERM,
            std::string("users other than its owner may write to the file (mode ") + mode + ")");
    }
    return ReadToEnd(fd.value().get(), info, maxBytes);
}

Status RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

Status RenameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

std::string PrivateTempFolder() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (value == nullptr || *value != '/') {
        return SystemTempFolder();
    }
    std::string folder = value;
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return folder;
}

std::string SystemTempFolder() {
    const char* value = std::getenv("TMPDIR");
    std::string folder = value != nullptr && *value != '\0' ? value : "/tmp";
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return folder;
}

}  // namespace duvanto
