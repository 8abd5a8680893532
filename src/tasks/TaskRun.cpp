// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/TaskRun.h"

#include "engine/Clone.h"
#include "tasks/Application.h"
#include "tasks/CloneTasks.h"
#include "tasks/TaskDates.h"

namespace duvanto {

namespace {

// The engine joins folder paths and names, so every folder it is given ends in "/", even
// one that a hand-edited task list wrote without.
std::string EngineFolder(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

// One run: its own copy of the task, its own engine, its own error flag.
class TaskRun {
public:
    TaskRun(Application& app, const TaskRunRequest& request, IRunHost& host)
        : m_app(app),
          m_request(request),
          m_task(request.Task),
          m_host(host),
          m_clone(request.Settings, app.CloneLog, app.FileSystem, app.Flags, app.Reporter) {}

    TaskRunOutcome Execute();

private:
    void RunTargets();
    void SetFormStateAtCloneBegin();
    void SetFormStateAtCloneEnd();
    bool FolderUsable(const std::string& folder, const std::string& kind, const char* problem);

    Application& m_app;
    const TaskRunRequest& m_request;
    cCloneTask m_task;
    IRunHost& m_host;
    cClone m_clone;
};

TaskRunOutcome TaskRun::Execute() {
    TaskRunOutcome outcome;
    outcome.TaskName = m_task.TaskName;
    RunFlags& flags = m_app.Flags;
    cCloneLog& log = m_app.CloneLog;
    try {
        flags.CloneInProgress = true;
        m_task.ErrorOnLastClone = false;
        flags.EscPressed = false;
        flags.CloneCancelled = false;

        if (m_request.SetPriority) {
            m_request.SetPriority();
        }
        SetFormStateAtCloneBegin();

        log.DeleteLogFileIfMaxSizeIsExceeded();
        log.Add({.Type = Begin, .TaskName = m_task.TaskName});
        if (FolderUsable(m_task.SourceFolderSpec, "Source",
                         "Problems processing the Source folder.")) {
            RunTargets();
        }

        if (flags.SessionEnding) {
            // The session ends under the run: its entry (once, however far the run got) and
            // the End line of an aborted task, as the window writes them at session end.
            if (!flags.CloneCancelled.exchange(true)) {
                log.Add({.Type = ApplicationShutdownError});
            }
            log.Add({.Type = End, .TaskName = "Unknown Task Name"});
        } else {
            log.Add({.Type = End, .TaskName = m_task.TaskName});
        }
        m_host.SetStatusText(1, "Cleaning up... ");
        log.AppendInMemoryStringToLogFile();
        log.ResetInMemoryLog();

        m_task.LastCloneDateTime = WholeSecond(m_app.Clock.Now());
        if (IsTimedInterval(m_task.IntervalType)) {
            m_task.NextCloneDateTime = DetermineNextCloneDateTime(
                m_task.LastCloneDateTime, m_task.IntervalType, m_task.IntervalIncrement,
                m_task.StartTime, m_task.DaysOfWeek, m_app.Clock.Now());
            outcome.NextChanged = true;
        }
        flags.CloneInProgress = false;
        SetFormStateAtCloneEnd();
    } catch (...) {
        m_app.Reporter.ReportCurrentException("cCloneTask.Execute");
        m_task.ErrorOnLastClone = true;
        // The window must not stay locked in its running state after a failed run.
        flags.CloneInProgress = false;
        try {
            SetFormStateAtCloneEnd();
        } catch (...) {
            // Reported above; the window shows what it can.
        }
    }
    m_app.RunningScheduledTask = false;
    outcome.LastCloneDateTime = m_task.LastCloneDateTime;
    outcome.NextCloneDateTime = m_task.NextCloneDateTime;
    outcome.ErrorOnLastClone = m_task.ErrorOnLastClone;
    outcome.Cancelled = flags.CloneCancelled;
    outcome.StatusText = CloneOutcomeText(m_task, flags.EscPressed);
    return outcome;
}

bool TaskRun::FolderUsable(const std::string& folder, const std::string& kind,
                           const char* problem) {
    std::string reason;
    if (m_task.ValidateFolder(m_app, folder, kind, true, reason,
                              m_request.PromptToInsertRemovableDrive,
                              m_request.Scheduled) == PathOk) {
        return true;
    }
    m_task.ErrorOnLastClone = true;
    m_app.CloneLog.Add(
        {.Type = FolderPathError, .FileName = folder, .ErrorDescription = problem + reason});
    return false;
}

void TaskRun::RunTargets() {
    const std::string source = EngineFolder(m_task.SourceFolderSpec);
    const std::vector<std::string> targets =
        m_request.Targets.empty() ? m_task.TargetFolders() : m_request.Targets;
    for (const std::string& target : targets) {
        m_host.Pump();
        if (m_clone.IsCloneCancelled()) {
            m_task.ErrorOnLastClone = true;
            break;
        }
        if (m_app.Flags.CloneCancelled) {
            break;
        }
        if (!FolderUsable(target, "Target", "Problems processing the Target folder.")) {
            continue;
        }
        const StepResult result =
            m_task.AllFilesAndFolders()
                ? m_clone.CloneAll(m_host, source, EngineFolder(target), m_task.IncludeSubFolders)
                : m_clone.CloneSelected(m_host, source, EngineFolder(target),
                                        m_task.IncludeSubFolders, m_task.IncludeFileSpecs,
                                        m_task.IncludeFileMasks);
        if (result != StepResult::Ok) {
            m_task.ErrorOnLastClone = true;
        }
    }
}

void TaskRun::SetFormStateAtCloneBegin() {
    m_host.RunStarted(m_task.TaskName);
    m_host.SetAnimation(true);
    m_host.SetStatusText(1, "Clone in Progress. Press ESC to Cancel...");
}

void TaskRun::SetFormStateAtCloneEnd() {
    m_host.RunEnded();
    m_host.SetAnimation(false);
    m_host.SetStatusText(1, CloneOutcomeText(m_task, m_app.Flags.EscPressed));
    m_host.SetStatusText(2, "");
}

}  // namespace

TaskRunRequest MakeTaskRunRequest(const Application& app, const cCloneTask& task) {
    TaskRunRequest request;
    request.Task = task;
    request.Settings = app.Settings;
    request.PromptToInsertRemovableDrive = app.PromptToInsertRemovableDrive;
    request.Scheduled = app.RunningScheduledTask;
    request.SetPriority = app.SetPriorityBasedOnRules;
    return request;
}

TaskRunOutcome ExecuteTaskRun(Application& app, const TaskRunRequest& request, IRunHost& host) {
    TaskRun run(app, request, host);
    return run.Execute();
}

bool ApplyTaskRunOutcome(cCloneTasks& tasks, const TaskRunOutcome& outcome) {
    cCloneTask* listed = tasks.Item(outcome.TaskName);
    if (listed == nullptr) {
        return false;
    }
    listed->LastCloneDateTime = outcome.LastCloneDateTime;
    listed->ErrorOnLastClone = outcome.ErrorOnLastClone;
    if (outcome.NextChanged) {
        listed->NextCloneDateTime = outcome.NextCloneDateTime;
        tasks.SetNextScheduledTask();
    }
    return true;
}

FolderReportRequest MakeFolderReportRequest(const Application& app, const cCloneTask& task) {
    FolderReportRequest request;
    request.SourceFolder = task.SourceFolderSpec;
    const std::vector<std::string> targets = task.TargetFolders();
    request.TargetFolder = targets.empty() ? std::string() : targets.front();
    request.IncludeSubFolders = task.IncludeSubFolders;
    request.Compare = app.Settings;
    request.PathTables = app.PathTables();
    return request;
}

}  // namespace duvanto
