// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scheduler's tick as a decision: given the flags, the tick counts, the present time and
// whether the main window shows, it says what to do. The desktop program calls it from its
// one-minute timer, the command-line runner once per `due`; both then act on the answer.

#include <cstdint>
#include <functional>
#include <string>

#include "tasks/CloneTasks.h"

namespace duvanto {

struct SchedulerState {
    // Program options.
    int32_t DelayBeforeFirstTask = 0;  // minutes after start-up without scheduled runs
    bool ScheduledSyncsMsg = true;     // the not-run message is still to be shown once

    bool FirstTaskDelayElapsed = true;
    uint32_t SchedulerStartTick = 0;

    // At the main window's load: the delay starts counting now when it is above 0.
    void Start(int32_t delayBeforeFirstTask, uint32_t tickCount);
};

struct SchedulerConditions {
    bool CloneInProgress = false;
    bool RestoreInProgress = false;
    bool SchedulerPaused = false;
    bool MainWindowClosing = false;
    // Visible in its normal state: neither hidden in the tray, minimized nor maximized.
    bool MainWindowVisible = false;
    // Whether a due task waits for a drive that is away (empty: none waits). A waiting task is
    // passed over, not run and not failed, and the next due task that does not wait runs.
    std::function<bool(const cCloneTask&)> WaitsForDrive;
    // Whether the drive of a task of IntervalOnConnect holds a mounting the task has not run
    // for (empty: none does). Asked of those tasks only, in list order; the first one runs
    // before any task that falls due by the clock, as its drive may go again soon.
    std::function<bool(const cCloneTask&)> NewlyConnected;
};

enum class SchedulerAction {
    Nothing,
    RunTask,            // set RunningScheduledTask and execute Task
    ShowNotRunMessage,  // show Title and Text with the information icon
    SetStatusText,      // put Text in status panel 1
};

struct SchedulerDecision {
    SchedulerAction Action = SchedulerAction::Nothing;
    cCloneTask* Task = nullptr;
    std::string Title;
    std::string Text;
};

// One tick. Clears state.ScheduledSyncsMsg when it decides to show the message and marks the
// start-up delay as over once it has passed.
SchedulerDecision SchedulerTick(SchedulerState& state, const SchedulerConditions& conditions,
                                const cCloneTasks& tasks, uint32_t tickCount, double now);

}  // namespace duvanto
