// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A task run in three steps, so that a front end may run it on a thread of its own: on the
// owner's thread the request copies what the run needs; the run executes on any thread and
// touches nothing shared but the clone log and the run flags; back on the owner's thread the
// outcome is applied to the task list, and the owner saves.

#include <functional>
#include <string>

#include "engine/CloneSettings.h"
#include "tasks/CloneTask.h"
#include "tasks/RunHost.h"
#include "util/FileUtilities.h"

namespace duvanto {

class Application;
class cCloneTasks;

struct TaskRunRequest {
    cCloneTask Task;  // a copy: the listed task is never touched by the run
    // The Targets when they are not the task's own list (a restore's one Target is a Source
    // folder, whose path may hold the three characters that join a task's Targets).
    std::vector<std::string> Targets;
    CloneSettings Settings;
    bool PromptToInsertRemovableDrive = false;
    // Started by the scheduler: the reason a folder was refused is not written.
    bool Scheduled = false;
    // The priority rules in force, applied on the run's thread just before the run; empty:
    // the run keeps the thread's priority.
    std::function<void()> SetPriority;
};

struct TaskRunOutcome {
    std::string TaskName;
    double LastCloneDateTime = 0.0;
    double NextCloneDateTime = 0.0;
    bool NextChanged = false;  // a scheduled task: its next run moved on
    bool ErrorOnLastClone = false;
    bool Cancelled = false;  // Escape, or the session ending
    // The status-bar text that ended the run (CloneOutcomeText).
    std::string StatusText;
};

// On the owner's thread: the task, the options in force and the scheduler's mark.
TaskRunRequest MakeTaskRunRequest(const Application& app, const cCloneTask& task);

// Runs the task once over all its Targets with the request's settings, on the calling
// thread. Never throws: an unexpected failure is reported and gives an outcome with an error.
TaskRunOutcome ExecuteTaskRun(Application& app, const TaskRunRequest& request, IRunHost& host);

// On the owner's thread: the listed task of the outcome's name takes its times and error flag
// (a task no longer listed takes nothing) and, when the next run moved, the next scheduled
// task is marked anew. False when no listed task has that name.
bool ApplyTaskRunOutcome(cCloneTasks& tasks, const TaskRunOutcome& outcome);

// A folder-differences report of a task, copied on the owner's thread so that it may be made
// on another: nothing it reads changes under it.
struct FolderReportRequest {
    std::string SourceFolder;
    std::string TargetFolder;  // the task's first Target, as restore takes it; "" when none
    bool IncludeSubFolders = true;
    CloneSettings Compare;  // the comparison method and its tolerances in force now
    MountTables PathTables;
};

FolderReportRequest MakeFolderReportRequest(const Application& app, const cCloneTask& task);

}  // namespace duvanto
