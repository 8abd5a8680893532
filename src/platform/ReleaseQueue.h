// SPDX-License-Identifier: GPL-3.0-or-later
// Where the last references to removed files are dropped: on helper threads, so that a run
// does not wait while the file system frees their blocks.

#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/PosixFile.h"

namespace duvanto {

// The blocks of a removed or replaced file are freed when its last reference goes, in the
// call that drops it. On a file system mounted with `discard` that call waits for the device
// to trim each extent, a tenth of a millisecond or more per file: the run holds the file open
// across its removal and hands the descriptor here, where helpers close it meanwhile.
//
// The room those files take comes back a little later than it would have; whoever finds the
// disk full calls Drain and tries again.
class ReleaseQueue {
public:
    // At most `most` descriptors wait at once: Release blocks while that many do.
    explicit ReleaseQueue(std::size_t threads = 2, std::size_t most = 64);
    // Closes whatever is still waiting.
    ~ReleaseQueue();
    ReleaseQueue(const ReleaseQueue&) = delete;
    ReleaseQueue& operator=(const ReleaseQueue&) = delete;

    // Takes the descriptor over; an invalid one is ignored.
    void Release(UniqueFd fd);
    // How many descriptors handed over are not closed yet.
    std::size_t Pending();
    // Returns once every descriptor handed over is closed.
    void Drain();

private:
    void Loop();

    const std::size_t m_threadCount;
    const std::size_t m_most;
    std::mutex m_mutex;
    std::condition_variable m_work;  // a descriptor waits, or the queue stops
    std::condition_variable m_room;  // a descriptor was closed
    std::deque<UniqueFd> m_waiting;
    std::size_t m_closing = 0;  // taken by a helper, not yet closed
    bool m_stop = false;
    std::vector<std::thread> m_threads;  // started with the first descriptor
};

}  // namespace duvanto
