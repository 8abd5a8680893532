// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/Scheduler.h"

#include "tasks/TaskDates.h"

namespace duvanto {

void SchedulerState::Start(int32_t delayBeforeFirstTask, uint32_t tickCount) {
    DelayBeforeFirstTask = delayBeforeFirstTask;
    FirstTaskDelayElapsed = delayBeforeFirstTask <= 0;
    if (!FirstTaskDelayElapsed) {
        SchedulerStartTick = tickCount;
    }
}

SchedulerDecision SchedulerTick(SchedulerState& state, const SchedulerConditions& conditions,
                                const cCloneTasks& tasks, uint32_t tickCount, double now) {
    SchedulerDecision decision;
    if (conditions.CloneInProgress || conditions.RestoreInProgress || conditions.SchedulerPaused ||
        conditions.MainWindowClosing) {
        return decision;
    }
    if (!state.FirstTaskDelayElapsed) {
        // The tick count wraps at 32 bits; the difference read as signed stays right across
        // the wrap.
        const auto elapsed = static_cast<int32_t>(tickCount - state.SchedulerStartTick);
        if (elapsed < int64_t{state.DelayBeforeFirstTask} * 60000) {
            return decision;
        }
        state.FirstTaskDelayElapsed = true;
    }
    const auto due = [now](const cCloneTask& task) {
        return MinuteBoundaries(task.NextCloneDateTime, now) >= 0;
    };
    cCloneTask* task = nullptr;
    if (conditions.NewlyConnected) {
        for (int32_t position = 1; position <= tasks.Count() && task == nullptr; ++position) {
            cCloneTask* candidate = tasks.Item(position);
            if (candidate->IntervalType == IntervalOnConnect &&
                conditions.NewlyConnected(*candidate)) {
                task = candidate;
            }
        }
    }
    if (task == nullptr) {
        // Only due tasks are asked whether they wait: the question reads the mount tables.
        task = conditions.WaitsForDrive ? tasks.NextScheduledTask([&](const cCloneTask& candidate) {
            return due(candidate) && conditions.WaitsForDrive(candidate);
        })
                                        : tasks.NextScheduledTask();
        if (task == nullptr || !due(*task)) {
            return decision;
        }
    }
    decision.Task = task;
    if (!conditions.MainWindowVisible) {
        decision.Action = SchedulerAction::RunTask;
        return decision;
    }
    if (state.ScheduledSyncsMsg) {
        decision.Action = SchedulerAction::ShowNotRunMessage;
        decision.Title = "Scheduled Task Not Run";
        decision.Text = "The following scheduled task was not run:\r\n" + task->TaskName +
                        "\r\n\r\nScheduled tasks are run only when the\r\napplication window is "
                        "closed or minimized.\r\n\r\nNote: This message will not appear again.";
        state.ScheduledSyncsMsg = false;
    } else {
        decision.Action = SchedulerAction::SetStatusText;
        decision.Text = "Scheduled tasks are not run while the main Duvanto window is open.";
    }
    return decision;
}

}  // namespace duvanto
