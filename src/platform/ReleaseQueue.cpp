// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/ReleaseQueue.h"

#include <system_error>

namespace duvanto {

ReleaseQueue::ReleaseQueue(std::size_t threads, std::size_t most)
    : m_threadCount(threads == 0 ? 1 : threads), m_most(most == 0 ? 1 : most) {}

ReleaseQueue::~ReleaseQueue() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_all();
    for (std::thread& thread : m_threads) {
        thread.join();
    }
}

void ReleaseQueue::Release(UniqueFd fd) {
    if (!fd.valid()) {
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_threads.empty()) {
        try {
            for (std::size_t i = 0; i < m_threadCount; ++i) {
                m_threads.emplace_back([this] { Loop(); });
            }
        } catch (const std::system_error&) {
            // Out of threads: whatever started serves, and with none the caller closes.
        }
        if (m_threads.empty()) {
            lock.unlock();
            (void)fd.Close();
            return;
        }
    }
    m_room.wait(lock, [this] { return m_waiting.size() + m_closing < m_most; });
    m_waiting.push_back(std::move(fd));
    m_work.notify_one();
}

std::size_t ReleaseQueue::Pending() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waiting.size() + m_closing;
}

void ReleaseQueue::Drain() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_room.wait(lock, [this] { return m_waiting.empty() && m_closing == 0; });
}

void ReleaseQueue::Loop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // Stopping still closes what waits: the destructor's callers expect the room back.
        m_work.wait(lock, [this] { return m_stop || !m_waiting.empty(); });
        if (m_waiting.empty()) {
            return;
        }
        UniqueFd fd = std::move(m_waiting.front());
        m_waiting.pop_front();
        ++m_closing;
        lock.unlock();
        // The removal was the operation, and it was reported; freeing the blocks reports
        // nothing to anybody, in this close or in the removal's own.
        (void)fd.Close();
        lock.lock();
        --m_closing;
        m_room.notify_all();
    }
}

}  // namespace duvanto
