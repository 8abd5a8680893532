// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running instance per program folder. The desktop program holds the lock for its whole
// life; the command-line runner holds it while a command changes files. The lock is an
// advisory flock on a file in the folder, so it is released by the kernel when its holder
// ends, however it ends: a crashed instance never leaves a stale lock behind.

#include <string>

#include "platform/Status.h"

namespace duvanto {

class InstanceLock {
public:
    static constexpr char kLockFileName[] = "duvanto.lock";

    InstanceLock() = default;
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // Takes the lock of the program folder (ending in "/") without waiting. While another
    // holder has it the failure is EWOULDBLOCK; any other failure (the folder cannot hold the
    // lock file) carries its errno.
    static Result<InstanceLock> Acquire(const std::string& appPath);

    void Release();

private:
    explicit InstanceLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

}  // namespace duvanto
