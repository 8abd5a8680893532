// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace duvanto {

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

InstanceLock::~InstanceLock() {
    Release();
}

void InstanceLock::Release() {
    if (m_fd >= 0) {
        // Closing the descriptor drops the flock with it.
        ::close(m_fd);
        m_fd = -1;
    }
}

Result<InstanceLock> InstanceLock::Acquire(const std::string& appPath) {
    const std::string path = appPath + kLockFileName;
    // The file is never removed: unlinking it while another process waits on the old inode
    // would let two holders each lock a different file.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return Status::FromErrno(errno);
    }
    // flock belongs to the open file description: a second open in the same process
    // conflicts as another process would, which the tests rely on.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        const int error = errno == EAGAIN ? EWOULDBLOCK : errno;
        ::close(fd);
        return Status::FromErrno(error);
    }
    return InstanceLock(fd);
}

}  // namespace duvanto
