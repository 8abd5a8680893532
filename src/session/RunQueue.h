// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What runs next and what happens after a run, for the window and the runner alike: an order
// of tasks the user chose, the request of the run about to start, the outcome of a run applied
// to the list and saved, and the scheduler's tick with the program's conditions. The runner
// drives it on a plain thread and waits for each run (the blocking calls below); the window
// drives it from its event loop, running the request on a thread of its own and handing the
// outcome back (Prepare, then Finish).
//
// What Escape does to the rest of an order, the same in both programs: a run that ends with
// the user's cancel (Escape, Ctrl-C, Cancel in the confirmation) or with the session ending
// stops the order, and no further task of it runs. Whoever cancels a run wants the program to
// stop; the next task starting a moment later would undo that.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/ConnectedRuns.h"
#include "session/TaskListService.h"
#include "tasks/Application.h"
#include "tasks/Scheduler.h"
#include "tasks/TaskRun.h"

namespace duvanto {

// A caller that waits for each run: it gives each run its host and hears when the run's
// thread has ended. Both are called on the caller's thread.
class IBlockingRunFront {
public:
    virtual ~IBlockingRunFront() = default;
    // The host of the run about to start; it must last until RunEnded.
    virtual IRunHost& RunStarting() = 0;
    // The run's thread has ended and a listed task's outcome has been applied to the list.
    // Null for work that is no task run (a restore).
    virtual void RunEnded(const TaskRunOutcome* outcome) = 0;
};

// Runs `work` on a thread of its own, so that the priority rules change that thread alone,
// and waits for it.
void RunOnItsOwnThread(IBlockingRunFront& front, const std::function<void(IRunHost&)>& work);

// A blocking run's outcome and whether it failed: the error flag, or an unexpected failure
// (a log that could not be written) reported while it ran.
struct BlockingRun {
    TaskRunOutcome Outcome;
    bool Failed = false;
};

struct TasksRunResult {
    int32_t Ran = 0;
    bool AnyFailed = false;
    // The rest of the order was stopped (see above).
    bool Stopped = false;
    bool Saved = false;
};

// The rule for the rest of an order, read when a run has ended.
bool RunStopsTheOrder(const RunFlags& flags);

class RunQueue {
public:
    RunQueue(Application& app, TaskListService& tasks)
        : m_app(app),
          m_tasks(tasks),
          m_connected(app.AppPath + kConnectedRunsFile, app.FileSystem, app.Reporter) {}
    // In the program folder: which mounting each task run on connection last ran for.
    static constexpr char kConnectedRunsFile[] = "duvanto.connected";
    RunQueue(const RunQueue&) = delete;
    RunQueue& operator=(const RunQueue&) = delete;

    // The order: the names to run one after another, replacing any order left over.
    void Enqueue(const std::vector<std::string>& names);
    // The next name of the order still listed, taken off it (a name removed or renamed
    // meanwhile is passed over); nothing once none is left.
    std::optional<std::string> NextInOrder();
    // No further task of the order runs.
    void StopOrder() { m_order.clear(); }
    const std::deque<std::string>& Order() const { return m_order; }

    // A run in progress, from its request until its outcome is applied.
    bool Busy() const { return m_app.Flags.CloneInProgress; }
    // On the owner's thread: the listed task's request (scheduled: started by the scheduler).
    // From here on a run is in progress, so that no second run slips in before the run's
    // thread begins. Nothing, and nothing marked, when no task has that name, or while a run
    // or a restore is under way or the session ends.
    std::optional<TaskRunRequest> Prepare(const std::string& name, bool scheduled);
    // On the run's thread: touches the run flags and the clone log, never the task list.
    TaskRunOutcome Execute(const TaskRunRequest& request, IRunHost& host);
    // On the owner's thread once the run's thread has ended: the listed task takes the
    // outcome, the list is saved, and a cancelled run stops the order. False when the save
    // failed (reported by the core).
    bool Finish(const TaskRunOutcome& outcome);

    // At start-up: the scheduler's start-up delay counts from now.
    void StartScheduler(int32_t delayBeforeFirstTask);
    // One scheduler tick: what the scheduler decides about the list, given the front end's
    // own conditions (its window, work of its own that a run waits for) together with the
    // program's flags (a run or a restore in progress, the scheduler paused). notRunMessage:
    // the "not run" message is still to be shown once; cleared when this tick shows it.
    SchedulerDecision Tick(const SchedulerConditions& conditions, bool& notRunMessage);

    // The runner's blocking calls, each run on a thread of its own.
    // A task listed nowhere (the runner's folder pair): its outcome goes to no list.
    BlockingRun RunUnlisted(const cCloneTask& task, IBlockingRunFront& front);
    // The names one after another, then the list saved.
    TasksRunResult RunInOrder(const std::vector<std::string>& names, IBlockingRunFront& front);
    // One tick as a timer makes it with the window never open: the task that is due, if one
    // is, runs as a scheduled run; then the list is saved. Ran == 0: none was due.
    TasksRunResult RunDue(IBlockingRunFront& front);

private:
    // The listed task's run, its outcome applied to the list (not saved).
    BlockingRun Run(const cCloneTask& task, IBlockingRunFront& front);
    BlockingRun RunBlocking(const cCloneTask& task, IBlockingRunFront& front, bool listed);
    // The scheduler's decision; a task run on connection that it runs is recorded as run for
    // the mounting of its drive.
    SchedulerDecision Decide(SchedulerState& state, SchedulerConditions conditions);

    Application& m_app;
    TaskListService& m_tasks;
    std::deque<std::string> m_order;
    SchedulerState m_scheduler;
    ConnectedRuns m_connected;
};

}  // namespace duvanto
