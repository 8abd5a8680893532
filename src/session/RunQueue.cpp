// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/RunQueue.h"

#include <map>
#include <thread>
#include <utility>

namespace duvanto {

void RunOnItsOwnThread(IBlockingRunFront& front, const std::function<void(IRunHost&)>& work) {
    IRunHost& host = front.RunStarting();
    std::thread thread([&] { work(host); });
    thread.join();
    front.RunEnded(nullptr);
}

bool RunStopsTheOrder(const RunFlags& flags) {
    return flags.EscPressed || flags.SessionEnding;
}

void RunQueue::Enqueue(const std::vector<std::string>& names) {
    m_order.assign(names.begin(), names.end());
}

std::optional<std::string> RunQueue::NextInOrder() {
    while (!m_order.empty()) {
        std::string name = std::move(m_order.front());
        m_order.pop_front();
        if (m_tasks.Find(name) != nullptr) {
            return name;
        }
    }
    return std::nullopt;
}

std::optional<TaskRunRequest> RunQueue::Prepare(const std::string& name, bool scheduled) {
    // One run at a time, none while a restore works in the Targets, none once the session ends.
    if (Busy() || m_app.RestoreInProgress || m_app.Flags.SessionEnding) {
        return std::nullopt;
    }
    const cCloneTask* task = m_tasks.Find(name);
    if (task == nullptr) {
        return std::nullopt;
    }
    m_app.Flags.CloneInProgress = true;
    m_app.RunningScheduledTask = scheduled;
    return MakeTaskRunRequest(m_app, *task);
}

TaskRunOutcome RunQueue::Execute(const TaskRunRequest& request, IRunHost& host) {
    return ExecuteTaskRun(m_app, request, host);
}

bool RunQueue::Finish(const TaskRunOutcome& outcome) {
    if (RunStopsTheOrder(m_app.Flags)) {
        StopOrder();
    }
    return m_tasks.ApplyRunOutcome(outcome);
}

void RunQueue::StartScheduler(int32_t delayBeforeFirstTask) {
    m_scheduler.Start(delayBeforeFirstTask, m_app.Clock.TickCount());
}

SchedulerDecision RunQueue::Decide(SchedulerState& state, SchedulerConditions conditions) {
    conditions.CloneInProgress = conditions.CloneInProgress || m_app.Flags.CloneInProgress;
    conditions.RestoreInProgress = conditions.RestoreInProgress || m_app.RestoreInProgress;
    conditions.SchedulerPaused = conditions.SchedulerPaused || m_app.SchedulerPaused;
    if (m_app.WaitForDrives && !conditions.WaitsForDrive) {
        conditions.WaitsForDrive = [this](const cCloneTask& task) {
            return !task.DriveAway(m_app).empty();
        };
    }
    const std::string& list = m_app.CloneTasks.TaskListFileSpec();
    // Each mounting seen in this tick, so that the one recorded is the one that was judged new.
    std::map<const cCloneTask*, std::string> mounts;
    if (!conditions.NewlyConnected) {
        conditions.NewlyConnected = [&](const cCloneTask& task) {
            const std::string& mount = mounts[&task] = task.ConnectedMount(m_app);
            if (mount.empty()) {
                m_connected.Record(list, task.TaskName, {});
                return false;
            }
            return m_connected.RanFor(list, task.TaskName) != mount;
        };
    }
    SchedulerDecision decision = SchedulerTick(state, conditions, m_app.CloneTasks,
                                               m_app.Clock.TickCount(), m_app.Clock.Now());
    if (decision.Action == SchedulerAction::RunTask &&
        decision.Task->IntervalType == IntervalOnConnect) {
        const auto seen = mounts.find(decision.Task);
        m_connected.Record(
            list, decision.Task->TaskName,
            seen != mounts.end() ? seen->second : decision.Task->ConnectedMount(m_app));
    }
    return decision;
}

SchedulerDecision RunQueue::Tick(const SchedulerConditions& conditions, bool& notRunMessage) {
    m_scheduler.ScheduledSyncsMsg = notRunMessage;
    const SchedulerDecision decision = Decide(m_scheduler, conditions);
    notRunMessage = m_scheduler.ScheduledSyncsMsg;
    return decision;
}

BlockingRun RunQueue::RunBlocking(const cCloneTask& task, IBlockingRunFront& front, bool listed) {
    const int reported = m_app.Reporter.ReportCount();
    const TaskRunRequest request = MakeTaskRunRequest(m_app, task);
    BlockingRun run;
    IRunHost& host = front.RunStarting();
    std::thread thread([&] { run.Outcome = Execute(request, host); });
    thread.join();
    if (listed) {
        ApplyTaskRunOutcome(m_app.CloneTasks, run.Outcome);
    }
    front.RunEnded(&run.Outcome);
    run.Failed = run.Outcome.ErrorOnLastClone || m_app.Reporter.ReportCount() != reported;
    return run;
}

BlockingRun RunQueue::Run(const cCloneTask& task, IBlockingRunFront& front) {
    return RunBlocking(task, front, true);
}

BlockingRun RunQueue::RunUnlisted(const cCloneTask& task, IBlockingRunFront& front) {
    return RunBlocking(task, front, false);
}

TasksRunResult RunQueue::RunInOrder(const std::vector<std::string>& names,
                                    IBlockingRunFront& front) {
    TasksRunResult result;
    Enqueue(names);
    while (const std::optional<std::string> name = NextInOrder()) {
        ++result.Ran;
        result.AnyFailed = Run(*m_tasks.Find(*name), front).Failed || result.AnyFailed;
        if (RunStopsTheOrder(m_app.Flags)) {
            StopOrder();
            result.Stopped = true;
        }
    }
    result.Saved = m_tasks.Save();
    return result;
}

TasksRunResult RunQueue::RunDue(IBlockingRunFront& front) {
    TasksRunResult result;
    // From a timer the window is never open, and the start-up delay is long over.
    SchedulerState state;
    const SchedulerDecision decision = Decide(state, {});
    if (decision.Action != SchedulerAction::RunTask) {
        return result;
    }
    m_app.RunningScheduledTask = true;
    result.Ran = 1;
    result.AnyFailed = Run(*decision.Task, front).Failed;
    result.Stopped = RunStopsTheOrder(m_app.Flags);
    result.Saved = m_tasks.Save();
    return result;
}

}  // namespace duvanto
