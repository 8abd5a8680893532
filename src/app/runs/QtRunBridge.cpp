// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/QtRunBridge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace duvanto {

namespace {

// At most about twenty updates a second reach the window, however fast the work reports.
constexpr int kStatusIntervalMs = 50;

// One question on its way to the GUI thread and back. Everything is handed over under the
// standard library's mutex, which a thread checker sees, as it does not see Qt's own.
struct HandOver {
    std::mutex posting;  // held while the question is posted, taken first where it is answered
    std::mutex mutex;
    std::condition_variable changed;
    bool answered = false;
    bool released = false;  // abandoned, or dropped unanswered: the asker goes on

    void Release() {
        {
            const std::lock_guard lock(mutex);
            released = true;
        }
        changed.notify_all();
    }
};

// What a worker's questions wait on, seen from the asking thread.
struct WorkerState {
    QtRunBridge* bridge = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> queue;
    bool working = false;
    bool stopping = false;   // the bridge goes: no work any more, every question abandoned
    bool abandoned = false;  // until the work underway ends
    std::vector<std::shared_ptr<HandOver>> questions;

    // Under the mutex.
    bool Idle() const { return !working && queue.empty(); }
    void AbandonQuestions() {
        for (const std::shared_ptr<HandOver>& question : questions) {
            question->Release();
        }
    }
};

// The bridge whose worker the calling thread is, if any.
thread_local WorkerState* t_worker = nullptr;

}  // namespace

struct QtRunBridge::Worker : WorkerState {
    std::thread thread;  // started with the first work

    void Loop() {
        t_worker = this;
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping) {
                return;
            }
            std::function<void()> work = std::move(queue.front());
            queue.pop_front();
            working = true;
            abandoned = false;
            lock.unlock();
            work();
            work = nullptr;
            lock.lock();
            working = false;
            changed.notify_all();
            // Posted under the mutex, which the GUI thread takes first: what the work wrote is
            // seen there.
            QMetaObject::invokeMethod(
                bridge, [target = bridge] { target->WorkEnded(); }, Qt::QueuedConnection);
        }
    }
};

QtRunBridge::QtRunBridge(QObject* parent) : QObject(parent), m_worker(std::make_unique<Worker>()) {
    m_worker->bridge = this;
    m_statusTimer.setInterval(kStatusIntervalMs);
    connect(&m_statusTimer, &QTimer::timeout, this, &QtRunBridge::TakeStatus);
}

QtRunBridge::~QtRunBridge() {
    m_statusTimer.stop();
    {
        const std::lock_guard lock(m_worker->mutex);
        m_worker->stopping = true;
        m_worker->abandoned = true;
        m_worker->queue.clear();
        m_worker->AbandonQuestions();
    }
    m_worker->changed.notify_all();
    if (m_worker->thread.joinable()) {
        m_worker->thread.join();
    }
}

void QtRunBridge::Run(std::function<void()> work, std::function<void()> done,
                      CoalescingRunHost* status) {
    m_pending.push_back({std::move(done), status});
    if (status != nullptr && !m_statusTimer.isActive()) {
        m_statusTimer.start();
    }
    {
        const std::lock_guard lock(m_worker->mutex);
        m_worker->queue.push_back(std::move(work));
        if (!m_worker->thread.joinable()) {
            m_worker->thread = std::thread([worker = m_worker.get()] { worker->Loop(); });
        }
    }
    m_worker->changed.notify_all();
}

bool QtRunBridge::Wait(int milliseconds, const std::function<void()>& meanwhile) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        {
            const std::lock_guard lock(m_worker->mutex);
            if (m_worker->Idle()) {
                return true;
            }
        }
        if (meanwhile) {
            meanwhile();
        }
        if (clock.elapsed() >= milliseconds) {
            return false;
        }
        // The work may be waiting for the window to show a question: answer the events.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::unique_lock lock(m_worker->mutex);
        m_worker->changed.wait_for(lock, std::chrono::milliseconds(10),
                                   [this] { return m_worker->Idle(); });
    }
}

void QtRunBridge::Abandon() {
    const std::lock_guard lock(m_worker->mutex);
    if (m_worker->working) {
        m_worker->abandoned = true;
    }
    m_worker->AbandonQuestions();
}

bool QtRunBridge::Carry(std::function<void()> question) {
    if (OnGuiThread()) {
        question();
        return true;
    }
    WorkerState* worker = t_worker;
    QObject* context =
        worker != nullptr ? static_cast<QObject*>(worker->bridge) : QCoreApplication::instance();
    if (context == nullptr) {
        return false;
    }
    auto handOver = std::make_shared<HandOver>();
    if (worker != nullptr) {
        const std::lock_guard lock(worker->mutex);
        if (worker->abandoned || worker->stopping) {
            return false;
        }
        worker->questions.push_back(handOver);
    }
    // Lets the asker go once the call has been made, or dropped unmade with its receiver.
    struct Release {
        explicit Release(std::shared_ptr<HandOver> given) : handOver(std::move(given)) {}
        Release(const Release&) = delete;
        Release& operator=(const Release&) = delete;
        ~Release() { handOver->Release(); }
        std::shared_ptr<HandOver> handOver;
    };
    auto release = std::make_shared<Release>(handOver);
    QtRunBridge* const bridge = worker != nullptr ? worker->bridge : nullptr;
    {
        // Held across the posting and taken first on the GUI thread: the question is seen
        // there whole.
        const std::lock_guard lock(handOver->posting);
        QMetaObject::invokeMethod(
            context,
            [question = std::move(question), handOver, release, bridge] {
                { const std::lock_guard seen(handOver->posting); }
                {
                    const std::lock_guard taken(handOver->mutex);
                    if (handOver->released) {
                        return;  // abandoned before the window came to it
                    }
                }
                // The window shows what the work reported before it asked.
                if (bridge != nullptr) {
                    bridge->TakeStatus();
                }
                question();
                {
                    const std::lock_guard answered(handOver->mutex);
                    handOver->answered = true;
                }
                handOver->changed.notify_all();
            },
            Qt::QueuedConnection);
    }
    release.reset();
    bool answered = false;
    {
        std::unique_lock lock(handOver->mutex);
        handOver->changed.wait(lock, [&] { return handOver->answered || handOver->released; });
        answered = handOver->answered;
    }
    if (worker != nullptr) {
        const std::lock_guard lock(worker->mutex);
        std::erase(worker->questions, handOver);
    }
    return answered;
}

void QtRunBridge::Tell(std::function<void()> told) {
    // Posted under the worker's mutex and taken there first, as the work's end is.
    const std::lock_guard lock(m_worker->mutex);
    QMetaObject::invokeMethod(
        this,
        [this, told = std::move(told)] {
            { const std::lock_guard seen(m_worker->mutex); }
            told();
        },
        Qt::QueuedConnection);
}

bool QtRunBridge::OnGuiThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application == nullptr || QThread::currentThread() == application->thread();
}

void QtRunBridge::TakeStatus() {
    if (m_pending.empty()) {
        m_statusTimer.stop();
        return;
    }
    if (CoalescingRunHost* status = m_pending.front().status) {
        const RunStatusUpdate update = status->Take();
        if (!update.Empty()) {
            emit Status(update);
        }
    }
}

void QtRunBridge::WorkEnded() {
    { const std::lock_guard seen(m_worker->mutex); }
    if (m_pending.empty()) {
        return;
    }
    // The work's last texts first: its outcome, the emptied panels.
    TakeStatus();
    Pending ended = std::move(m_pending.front());
    m_pending.pop_front();
    if (std::none_of(m_pending.begin(), m_pending.end(),
                     [](const Pending& pending) { return pending.status != nullptr; })) {
        m_statusTimer.stop();
    }
    // Last: `done` may hand in the next work.
    if (ended.done) {
        ended.done();
    }
}

}  // namespace duvanto
