// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tells when a file system is mounted or unmounted: the mount table wakes poll() with POLLPRI
// on every change of the process's mounts, so nothing polls the table in a loop.

#include <string>

namespace duvanto {

class MountWatch {
public:
    explicit MountWatch(const std::string& mountInfo = "/proc/self/mountinfo");
    ~MountWatch();
    MountWatch(const MountWatch&) = delete;
    MountWatch& operator=(const MountWatch&) = delete;

    // Whether the table could be opened; without it no change is ever told.
    bool Valid() const { return m_fd >= 0; }
    // For an event loop that waits on it for an exception condition (POLLPRI); after each
    // wake-up the next change must happen before it wakes again.
    int Descriptor() const { return m_fd; }
    // Waits up to timeoutMs milliseconds for a change. True when one came; false at the end of
    // the time, and at once when a signal came meanwhile.
    bool Wait(int timeoutMs);

private:
    int m_fd = -1;
};

}  // namespace duvanto
