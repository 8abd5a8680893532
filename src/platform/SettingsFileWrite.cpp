// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/FileSystemQueries.h"
#include "platform/PosixFile.h"

namespace duvanto {

namespace {

// The kernel gives up on path resolution after 40 links; so do we.
constexpr int kMaxLinks = 40;

}  // namespace

Result<std::string> FollowFileLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            // Missing: the file to create (when a link named it, the one it points to).
            return errno == ENOENT ? Result<std::string>(current) : Status::FromErrno(errno);
        }
        if (!S_ISLNK(info.st_mode)) {
            return current;
        }
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof target - 1);
        if (length < 0) {
            return Status::FromErrno(errno);
        }
        std::string next(target, static_cast<std::size_t>(length));
        current = next.starts_with('/') ? next : ContainingFolder(current) + next;
    }
    return Status::FromErrno(ELOOP);
}

Status WriteFileThroughLinks(const std::string& path, std::string_view bytes) {
    Result<std::string> file = FollowFileLinks(path);
    if (!file.ok()) {
        return file.status();
    }
    return WriteFileAtomically(file.value(), bytes);
}

Status WriteNewFile(const std::string& path, std::string_view bytes) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.valid()) {
        return Status::FromErrno(errno);
    }
    Status status = WriteFully(fd.get(), bytes.data(), bytes.size());
    if (status.ok() && ::fsync(fd.get()) != 0) {
        status = Status::FromErrno(errno);
    }
    Status closed = fd.Close();
    if (status.ok()) {
        status = closed;
    }
    if (!status.ok()) {
        ::unlink(path.c_str());
    }
    return status;
}

}  // namespace duvanto
