// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/MainWindowController.h"

#include "app/help/AppInfo.h"
#include "app/help/HelpTopics.h"
#include "app/mainwindow/ErrorBoundary.h"
#include "tasks/TaskProperties.h"
#include "util/FileUtilities.h"
#include "util/OleDate.h"

namespace duvanto {

MainWindowController::MainWindowController(Session& session, IAppPrompt& prompt,
                                           IMainWindowView& view)
    : m_app(session.App()),
      m_options(session.Options()),
      m_tasks(session.Tasks()),
      m_runs(session.Runs()),
      m_prompt(prompt),
      m_view(view) {}

namespace {

constexpr char kLoadLabel[] = "frmDuvanto.Form_Load";
constexpr char kUnloadLabel[] = "frmDuvanto.Form_Unload";
constexpr char kSchedulerLabel[] = "frmDuvanto.tmrCloneScheduler_Timer";

}  // namespace

void MainWindowController::Load() {
    if (!Guarded(m_app.Reporter, kLoadLabel, [this] { LoadListAndWindow(); })) {
        // Whatever the load got to, the window must be there to be shut down.
        m_view.RestoreMainWindow();
    }
}

void MainWindowController::LoadListAndWindow() {
    const std::string listFile = m_options.TaskListFileSpec.empty()
                                     ? DefaultTaskListFileSpec(m_app.AppPath)
                                     : m_options.TaskListFileSpec;
    m_tasks.Open(listFile);
    m_view.SetTaskListName(m_tasks.ListName());
    m_view.RefreshTaskRows();
    RefreshTrayIcon();
    ShowLoadProblems();
    if (m_options.FirstRun) {
        m_view.RestoreMainWindow();
        m_view.ShowHelp(HelpQuickStart);
        // "When Any User is Logged On" is already the checked item on a first run, so choosing
        // it would write nothing; no autostart entry is made behind the user's back.
        m_prompt.ShowMessage(kImportantTitle, kImportantText, MessageIcon::Information,
                             MessageButtons::OK);
    } else if (m_view.TrayAvailable()) {
        m_view.HideMainWindow();
    } else {
        m_view.RestoreMainWindow();
    }
}

void MainWindowController::ShowLoadProblems() {
    ShowUnreadLines();
    if (m_tasks.IllegalNamesRepaired()) {
        const TaskMessage message = IllegalTaskNamesRepairedMessage();
        m_prompt.ShowMessage(message.Title, message.Text, message.Icon, MessageButtons::OK);
    }
}

void MainWindowController::ShowUnreadLines() {
    const std::vector<TaskListProblem>& problems = m_tasks.Problems();
    if (problems.empty()) {
        return;
    }
    std::string text = "Some lines of " + m_tasks.FileSpec() + " could not be read as they stand:";
    for (const TaskListProblem& problem : problems) {
        text += "\r\n";
        if (problem.LineNumber > 0) {
            text += "line " + std::to_string(problem.LineNumber) + ": ";
        }
        text += problem.Description;
    }
    text +=
        "\r\n\r\nEvery other task was loaded. Before the list is next saved, the file as it is "
        "now is kept beside it as a \".bak\" file.";
    m_prompt.ShowMessage("Task List", text, MessageIcon::Exclamation, MessageButtons::OK);
}

bool MainWindowController::CloseRequested() {
    if (m_unloading) {
        return true;
    }
    if (!m_view.TrayAvailable()) {
        // The window must never become unreachable: without a tray it only minimizes, and the
        // reminder, which points at the tray, has nothing to point at.
        m_view.MinimizeMainWindow();
        return false;
    }
    m_view.HideMainWindow();
    if (m_options.SysTrayReminder) {
        m_view.ShowTrayReminder();
    }
    return false;
}

bool MainWindowController::ShutDown() {
    if (m_app.Flags.CloneInProgress) {
        m_prompt.Beep();
        return false;
    }
    Unload();
    m_view.EndProgram();
    return true;
}

void MainWindowController::SessionEnd(const std::function<bool()>& waitForRun) {
    if (m_unloading) {
        return;
    }
    if (m_app.Flags.CloneInProgress) {
        m_app.Flags.SessionEnding = true;
        const bool ended = waitForRun && waitForRun();
        if (!ended && !m_app.Flags.CloneCancelled.exchange(true)) {
            m_app.CloneLog.Add({.Type = ApplicationShutdownError});
            m_app.CloneLog.Add({.Type = End, .TaskName = "Unknown Task Name"});
        }
    }
    Unload();
    m_view.EndProgram();
}

void MainWindowController::Unload() {
    m_unloading = true;
    Guarded(m_app.Reporter, kUnloadLabel, [this] {
        const Status saved = m_options.SaveProgramOptionsToIniFile();
        if (!saved.ok()) {
            const RuntimeError failure = FileRuntimeError(saved);
            m_app.Reporter.ReportUnexpectedError(
                "modIniFile.SaveProgramOptionsToIniFile",
                {failure.Number(), failure.what(), failure.SystemErrorCode()});
        }
    });
    Guarded(m_app.Reporter, kUnloadLabel, [this] { m_tasks.Save(); });
    Guarded(m_app.Reporter, kUnloadLabel, [this] {
        m_app.CloneLog.AppendInMemoryStringToLogFile();
        m_app.CloneLog.ResetInMemoryLog();
    });
}

bool MainWindowController::IsMainWindowVisible() const {
    return m_view.IsShown() && !m_view.IsMinimized() && !m_view.IsMaximized();
}

TrayMenuState MainWindowController::TrayMenu() const {
    TrayMenuState state;
    state.pauseChecked = m_app.SchedulerPaused;
    if (m_view.IsShown() && !m_view.IsMinimized()) {
        state.sendToTrayEnabled = true;
        state.defaultItem = "mnuTraySendToTray";
    } else if (m_view.IsShown()) {
        state.sendToTrayEnabled = true;
        state.showEnabled = true;
        state.defaultItem = "mnuTrayShow";
    } else {
        state.showEnabled = true;
        state.defaultItem = "mnuTrayShow";
    }
    return state;
}

void MainWindowController::TrayAvailabilityChanged() {
    if (!m_view.TrayAvailable() && !m_view.IsShown()) {
        m_view.RestoreMainWindow();
    }
}

std::string MainWindowController::TrayToolTip() const {
    const cCloneTask* last = nullptr;
    const cCloneTask* next = nullptr;
    for (int32_t i = 1; i <= m_app.CloneTasks.Count(); ++i) {
        const cCloneTask* task = m_app.CloneTasks.Item(i);
        if (task->LastCloneDateTime > 0 &&
            (last == nullptr || task->LastCloneDateTime > last->LastCloneDateTime)) {
            last = task;
        }
        if (task->IsNextScheduledTask) {
            next = task;
        }
    }
    std::string text = kApplicationTitle;
    if (last != nullptr) {
        text += "\nLast run: " + last->TaskName + ", " + GeneralDateText(last->LastCloneDateTime);
        if (last->ErrorOnLastClone) {
            text += ", with errors";
        }
    }
    if (m_app.SchedulerPaused) {
        text += "\nScheduler paused";
    } else if (next != nullptr) {
        const std::string waiting = m_tasks.WaitingFor(*next);
        text +=
            "\nNext run: " + next->TaskName + ", " +
            (waiting.empty() ? GeneralDateText(next->NextCloneDateTime) : "Waiting for " + waiting);
    } else {
        text += "\nNo task scheduled";
    }
    return text;
}

void MainWindowController::RefreshTrayToolTip() {
    // A run's tooltip names the running task until the run has ended.
    if (!m_app.Flags.CloneInProgress) {
        m_view.SetTrayToolTip(TrayToolTip());
    }
}

void MainWindowController::TogglePause() {
    m_app.SchedulerPaused = !m_app.SchedulerPaused;
    m_view.SetPaused(m_app.SchedulerPaused);
    RefreshTrayIcon();
}

void MainWindowController::ResetErrorSelected() {
    const std::string name = m_view.SelectedTaskName();
    if (name.empty()) {
        m_prompt.ShowMessage("Reset Error Flag", "Please select a task first.",
                             MessageIcon::Information, MessageButtons::OK);
        return;
    }
    if (!m_tasks.ResetError(name)) {
        m_prompt.ShowMessage("Unexpected Error - Reset Error Flag",
                             "Unable to locate the Task object in the collection.",
                             MessageIcon::Exclamation, MessageButtons::OK);
        return;
    }
    m_view.RefreshTaskRows();
    RefreshTrayIcon();
}

void MainWindowController::ResetErrorAll() {
    m_tasks.ResetAllErrors();
    m_view.RefreshTaskRows();
    RefreshTrayIcon();
}

void MainWindowController::RefreshTrayIcon() {
    m_view.SetTrayIcon(m_tasks.TrayIconChoice());
    RefreshTrayToolTip();
}

void MainWindowController::RunEnded() {
    m_view.RefreshTaskRows();
    RefreshTrayIcon();
}

void MainWindowController::StartScheduler() {
    m_runs.StartScheduler(m_options.DelayBeforeFirstTask);
}

void MainWindowController::SchedulerTick(bool holdOff) {
    Guarded(m_app.Reporter, kSchedulerLabel, [&] {
        SchedulerConditions conditions;
        conditions.RestoreInProgress = holdOff;
        conditions.MainWindowClosing = m_unloading;
        conditions.MainWindowVisible = IsMainWindowVisible();
        // The option is the one place the "shown once" mark lives: the options file keeps it.
        const SchedulerDecision decision = m_runs.Tick(conditions, m_options.ScheduledSyncsMsg);
        // A drive that went or came changes what the list and the tray say of waiting tasks.
        std::string waiting;
        for (int32_t i = 1; i <= m_app.CloneTasks.Count(); ++i) {
            const cCloneTask& task = *m_app.CloneTasks.Item(i);
            waiting += task.TaskName + '\n' + m_tasks.WaitingFor(task) + '\n';
        }
        if (waiting != m_waiting) {
            m_waiting = std::move(waiting);
            m_view.RefreshTaskRows();
            RefreshTrayToolTip();
        }
        switch (decision.Action) {
            case SchedulerAction::RunTask:
                if (m_startScheduled) {
                    m_startScheduled(decision.Task->TaskName);
                }
                break;
            case SchedulerAction::ShowNotRunMessage:
                m_prompt.ShowMessage(decision.Title, decision.Text, MessageIcon::Information,
                                     MessageButtons::OK);
                break;
            case SchedulerAction::SetStatusText:
                m_view.SetStatusText(1, decision.Text);
                break;
            case SchedulerAction::Nothing:
                break;
        }
    });
}

}  // namespace duvanto
