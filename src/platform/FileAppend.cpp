// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileAppend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace duvanto {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    // A late write error (NFS, quota) shows up only here, so it must be seen.
    Status Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? Status::Ok() : Status::FromErrno(errno);
    }

private:
    int m_fd;
};

Status WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Status::FromErrno(errno);
        }
        if (written == 0) {
            return Status::FromErrno(EIO);  // no progress: never spin
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return Status::Ok();
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

Status AppendToFile(const std::string& path, std::string_view bytes) {
    Descriptor file(OpenRetrying(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644));
    if (file.get() < 0) {
        return Status::FromErrno(errno);
    }
    Status status = WriteAll(file.get(), bytes);
    Status closed = file.Close();
    return status.ok() ? closed : status;
}

Status CopyFileOver(const std::string& sourcePath, const std::string& targetPath) {
    Descriptor source(OpenRetrying(sourcePath.c_str(), O_RDONLY));
    if (source.get() < 0) {
        return Status::FromErrno(errno);
    }
    // Not O_TRUNC: the target may be the source under another name, checked before it is cut.
    Descriptor target(OpenRetrying(targetPath.c_str(), O_WRONLY | O_CREAT, 0644));
    if (target.get() < 0) {
        return Status::FromErrno(errno);
    }
    struct stat sourceInfo {};
    struct stat targetInfo {};
    if (::fstat(source.get(), &sourceInfo) != 0 || ::fstat(target.get(), &targetInfo) != 0) {
        return Status::FromErrno(errno);
    }
    if (sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino) {
        return Status::Failure(EINVAL, "source and target are the same file");
    }
    if (::ftruncate(target.get(), 0) != 0) {
        return Status::FromErrno(errno);
    }
    std::vector<char> block(1 << 16);
    for (;;) {
        const ssize_t count = ::read(source.get(), block.data(), block.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Status::FromErrno(errno);
        }
        if (count == 0) {
            break;
        }
        Status written =
            WriteAll(target.get(), std::string_view(block.data(), static_cast<std::size_t>(count)));
        if (!written.ok()) {
            return written;
        }
    }
    return target.Close();
}

}  // namespace duvanto
