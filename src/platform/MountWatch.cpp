// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MountWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace duvanto {

MountWatch::MountWatch(const std::string& mountInfo)
    : m_fd(::open(mountInfo.c_str(), O_RDONLY | O_CLOEXEC)) {}

MountWatch::~MountWatch() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool MountWatch::Wait(int timeoutMs) {
    if (m_fd < 0) {
        if (timeoutMs > 0) {
            ::poll(nullptr, 0, timeoutMs);
        }
        return false;
    }
    // The kernel reports each change once per open table: the poll that sees it takes it.
    pollfd watched{m_fd, POLLPRI, 0};
    return ::poll(&watched, 1, timeoutMs) > 0 && (watched.revents & (POLLPRI | POLLERR)) != 0;
}

}  // namespace duvanto
