// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way between work done off the GUI thread and the windows. A bridge owns one worker
// thread, on which the work handed to it runs one piece after another: task runs, a restore,
// the report of differences, the reading of a folder for a check-box tree. What the work
// reports reaches the window by signals: its status taken a few times a second, whatever the
// rate it is written at, and its last state always; what it asks is carried to the GUI thread
// and the answer back, the worker waiting, the GUI thread never. Decisions are not made here:
// the controllers make them, the bridge only moves things between the threads.

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "app/runs/RunStatusHost.h"
#include "app/runs/RunWorker.h"

namespace duvanto {

class QtRunBridge : public QObject, public IRunWorker {
    Q_OBJECT
public:
    explicit QtRunBridge(QObject* parent = nullptr);
    // The window closes: a question the work waits on gets its fallback answer, and so does
    // every later one; work not begun is dropped, the work underway is waited for (it stops at
    // its next cancel check when its owner said so), and nothing of it reaches a window any
    // more.
    ~QtRunBridge() override;

    // On the GUI thread: `work` runs on the worker once the work handed in before it has ended;
    // then, back on the GUI thread, the last of `status` is emitted and `done` runs. While the
    // work runs, `status` (when given; it must outlive the work) is taken at most twenty times
    // a second and what changed is emitted as Status.
    void Run(std::function<void()> work, std::function<void()> done = {},
             CoalescingRunHost* status = nullptr) override;
    // Work handed in whose `done` has not run yet.
    bool Busy() const override { return !m_pending.empty(); }
    // On the GUI thread: waits up to `milliseconds` for the worker to have no work left,
    // answering the window's events meanwhile (the work's questions among them) and calling
    // `meanwhile` between them; true when no work is left.
    bool Wait(int milliseconds, const std::function<void()>& meanwhile = {});
    // The question the work waits on now, and every one it asks until it ends, gets its
    // fallback answer.
    void Abandon();

    // From any thread: `question` runs on the GUI thread (at once when asked there) and its
    // answer comes back, the asker waiting for it. A worker's question waits on its bridge:
    // abandoned, it gets `fallback`. The question may outlive the asker's wait, so it must hold
    // copies of what it uses, never references to the asker's data.
    template <typename Answer>
    static Answer Ask(std::function<Answer()> question, Answer fallback) {
        auto answer = std::make_shared<std::optional<Answer>>();
        if (!Carry([question = std::move(question), answer] { *answer = question(); })) {
            return fallback;
        }
        return std::move(**answer);
    }

    // From the worker: `told` runs on the GUI thread later; the worker goes on at once. Dropped
    // when the bridge goes first.
    void Tell(std::function<void()> told);

    // Whether the caller runs on the GUI thread.
    static bool OnGuiThread();

signals:
    // On the GUI thread: what changed in the running work's status since the last signal.
    void Status(const RunStatusUpdate& update);

private:
    struct Worker;
    struct Pending {
        std::function<void()> done;
        CoalescingRunHost* status = nullptr;
    };

    // Runs `question` on the GUI thread for the asking thread; false when it was not answered
    // (abandoned, or its bridge went first).
    static bool Carry(std::function<void()> question);
    void TakeStatus();
    void WorkEnded();

    std::unique_ptr<Worker> m_worker;
    std::deque<Pending> m_pending;  // GUI thread only: the front one's work runs now
    QTimer m_statusTimer;
};

}  // namespace duvanto
