// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace duvanto {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        // An assignment has nobody to tell of a late write error; Close() is for those who care.
        (void)Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    (void)Close();  // destructors never throw and have nobody to tell: see Close()
}

Status UniqueFd::Close() {
    if (m_fd < 0) {
        return Status::Ok();
    }
    // Linux releases the descriptor even when close fails, so it is never retried.
    int result = ::close(std::exchange(m_fd, -1));
    return result == 0 ? Status::Ok() : Status::FromErrno(errno);
}

int RenameNoReplace(int fromFd, const std::string& from, int toFd, const std::string& to) {
    if (::renameat2(fromFd, from.c_str(), toFd, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    struct stat existing {};
    if (::fstatat(toFd, to.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    return ::renameat(fromFd, from.c_str(), toFd, to.c_str()) == 0 ? 0 : errno;
}

Status NotRegularFile() {
    return Status::Failure(EINVAL, "Not a regular file");
}

Result<UniqueFd> OpenRegularFileForReading(int folderFd, const std::string& name, bool followLink,
                                           struct stat* info) {
    UniqueFd fd(
        ::openat(folderFd, name.c_str(),
                 O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW)));
    if (!fd.valid()) {
        return Status::FromErrno(errno);
    }
    struct stat own {};
    struct stat& status = info != nullptr ? *info : own;
    // The descriptor's own status: the file judged is the file read.
    if (::fstat(fd.get(), &status) != 0) {
        return Status::FromErrno(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return NotRegularFile();
    }
    return fd;
}

long ReadFully(int fd, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t count = ::read(fd, buffer + done, size - done);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (count == 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    return static_cast<long>(done);
}

Status WriteFully(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t count = ::write(fd, data, size);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Status::FromErrno(errno);
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return Status::Ok();
}

std::string RandomHex() {
    uint32_t value = 0;
    // getrandom on a small buffer never returns short once the pool is ready; a failure
    // still yields a usable name because creation is exclusive and retried.
    if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) {
        value = static_cast<uint32_t>(::getpid()) ^ static_cast<uint32_t>(::clock());
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

Result<UniqueFd> CreateExclusiveFile(const std::string& folder, std::string_view prefix,
                                     std::string_view suffix, unsigned mode,
                                     std::string& createdPath) {
    constexpr int kAttempts = 100;
    int lastError = EEXIST;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string candidate = folder;
        candidate.append(prefix).append(RandomHex()).append(suffix);
        UniqueFd fd(
            ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd.valid()) {
            createdPath = std::move(candidate);
            return fd;
        }
        lastError = errno;
        if (lastError != EEXIST) {
            break;
        }
    }
    return Status::FromErrno(lastError);
}

std::string ContainingFolder(const std::string& filePath) {
    std::size_t slash = filePath.rfind('/');
    return slash == std::string::npos ? std::string() : filePath.substr(0, slash + 1);
}

unsigned CarriedMode(unsigned sourceMode, bool ownerCarried) {
    return sourceMode & (ownerCarried ? 07777u : 01777u);
}

Result<uint32_t> MakeFolderLikeAt(int dirFd, const std::string& name, const struct stat& like,
                                  bool setsOwners, bool finalNow) {
    // Private until its owner and bits are set, so nobody else meets it half made.
    if (::mkdirat(dirFd, name.c_str(), S_IRWXU) != 0) {
        return Status::FromErrno(errno);
    }
    UniqueFd folder(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid()) {
        return Status::FromErrno(errno);
    }
    // Only root may give a folder away; anybody else's attempt would fail, so it is not made.
    const bool ownerCarried = setsOwners && ::fchown(folder.get(), like.st_uid, like.st_gid) == 0;
    const uint32_t final = CarriedMode(like.st_mode, ownerCarried);
    if (::fchmod(folder.get(), finalNow ? final : final | S_IRWXU) != 0) {
        return Status::FromErrno(errno);
    }
    return final;
}

}  // namespace duvanto
