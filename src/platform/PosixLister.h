// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The listings a run announces ahead, made on one helper thread while the walk goes on.

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/PosixFileSystem.h"

namespace duvanto {

// Listings announced ahead and the thread that makes them. The caller takes them in their
// order; each is made once, by the helper or by the caller, whichever comes to it first.
class PosixHeldRoots::Lister {
public:
    explicit Lister(const PosixHeldRoots& roots) : m_roots(roots) {}

    ~Lister() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            m_jobs.clear();
        }
        m_work.notify_one();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    Lister(const Lister&) = delete;
    Lister& operator=(const Lister&) = delete;

    void Announce(const std::string& folderPath, bool withStatus, bool next) {
        auto job = std::make_shared<Job>();
        job->path = folderPath;
        job->withStatus = withStatus;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { Loop(); });
        }
        if (next) {
            m_jobs.push_front(std::move(job));
        } else {
            m_jobs.push_back(std::move(job));
        }
        if (m_helperIdle) {
            m_work.notify_one();
        }
    }

    // Whether the next two listings asked for are these, in this order.
    bool AreNext(const std::string& first, const std::string& second, bool withStatus) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_jobs.size() >= 2 && m_jobs[0]->Is(first, withStatus) &&
               m_jobs[1]->Is(second, withStatus);
    }

    void Drop() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.clear();  // a job under way finishes into nothing
    }

    // The announced listing of the folder; nullopt when it was not announced near the front.
    std::optional<Result<std::vector<DirEntry>>> Take(const std::string& folderPath,
                                                      bool withStatus) {
        std::unique_lock<std::mutex> lock(m_mutex);
        // The walk asks in the order it announced, less the folders it decided to skip.
        constexpr std::size_t kSearched = 8;
        std::size_t found = 0;
        while (found < m_jobs.size() && found < kSearched &&
               !m_jobs[found]->Is(folderPath, withStatus)) {
            ++found;
        }
        if (found == m_jobs.size() || found == kSearched) {
            return std::nullopt;
        }
        std::shared_ptr<Job> job = m_jobs[found];
        m_jobs.erase(m_jobs.begin(), m_jobs.begin() + static_cast<std::ptrdiff_t>(found) + 1);
        if (m_helperIdle) {
            m_work.notify_one();  // room ahead again
        }
        for (;;) {
            if (job->state == State::Done) {
                return std::move(job->listing);
            }
            if (job->state == State::Waiting) {
                job->state = State::Claimed;
                lock.unlock();
                return List(*job);
            }
            // The helper is at it: list one further on meanwhile rather than wait.
            if (std::shared_ptr<Job> other = ClaimNext()) {
                lock.unlock();
                Result<std::vector<DirEntry>> listing = List(*other);
                lock.lock();
                Finish(*other, std::move(listing));
                continue;
            }
            m_callerWaiting = true;
            m_done.wait(lock, [&] { return job->state == State::Done; });
            m_callerWaiting = false;
        }
    }

private:
    enum class State { Waiting, Claimed, Done };
    struct Job {
        std::string path;
        bool withStatus = false;
        State state = State::Waiting;
        Result<std::vector<DirEntry>> listing{std::vector<DirEntry>{}};
        bool Is(const std::string& folderPath, bool status) const {
            return withStatus == status && path == folderPath;
        }
    };

    // Listings made ahead wait in memory for the caller: so many at most.
    static constexpr std::size_t kAhead = 64;

    std::shared_ptr<Job> ClaimNext() {
        const std::size_t end = std::min(m_jobs.size(), kAhead);
        for (std::size_t i = 0; i < end; ++i) {
            if (m_jobs[i]->state == State::Waiting) {
                m_jobs[i]->state = State::Claimed;
                return m_jobs[i];
            }
        }
        return nullptr;
    }

    Result<std::vector<DirEntry>> List(const Job& job) {
        try {
            return m_roots.ListFolderNow(job.path, job.withStatus);
        } catch (const std::bad_alloc&) {
            return Status::FromErrno(ENOMEM);
        }
    }

    void Finish(Job& job, Result<std::vector<DirEntry>> listing) {
        job.listing = std::move(listing);
        job.state = State::Done;
        if (m_callerWaiting) {
            m_done.notify_one();
        }
    }

    void Loop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            std::shared_ptr<Job> job;
            while (!m_stop && !(job = ClaimNext())) {
                m_helperIdle = true;
                m_work.wait(lock);
                m_helperIdle = false;
            }
            if (m_stop) {
                return;
            }
            lock.unlock();
            Result<std::vector<DirEntry>> listing = List(*job);
            lock.lock();
            Finish(*job, std::move(listing));
        }
    }

    const PosixHeldRoots& m_roots;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    std::deque<std::shared_ptr<Job>> m_jobs;  // announced, in the order they will be asked for
    bool m_helperIdle = false;
    bool m_callerWaiting = false;
    bool m_stop = false;
};

}  // namespace duvanto
