// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's decisions without the window: what loading does and in which order, the
// close rules (hide to the tray, minimize where there is none, the tray reminder), a tray that
// comes or goes, shut down and session end, the unload order, the tray icon, its tooltip and
// its menu's states, pause and the error indicators. The window implements IMainWindowView and
// forwards to this.

#include <functional>
#include <string>

#include "app/common/AppPrompt.h"
#include "session/Session.h"

namespace duvanto {

// How often the scheduler timer ticks.
inline constexpr int kSchedulerIntervalMs = 60000;
// After a mount or unmount, the scheduler looks again this much later: a desktop mounts a drive
// in steps (its media folder, then the mount).
inline constexpr int kMountSettleMs = 1500;
// However many changes follow one another, the scheduler looks at most this long after the first.
inline constexpr int kMountSettleMostMs = 3000;

// The core's tray icon choice under a name that the widgets' pictures (TrayIcon()) leave free.
using TrayState = TrayIcon;

class IMainWindowView {
public:
    virtual ~IMainWindowView() = default;
    virtual bool IsShown() const = 0;  // not hidden to the tray (it may be minimized)
    virtual bool IsMinimized() const = 0;
    virtual bool IsMaximized() const = 0;
    // The desktop shows a tray; without one the window is never hidden, only minimized.
    virtual bool TrayAvailable() const = 0;
    virtual void RestoreMainWindow() = 0;  // normal state, visible, in front
    virtual void HideMainWindow() = 0;     // to the tray
    virtual void MinimizeMainWindow() = 0;
    virtual void SetStatusText(int panel, const std::string& text) = 0;
    virtual void SetTaskListName(const std::string& name) = 0;
    // Re-reads every row from the task list.
    virtual void RefreshTaskRows() = 0;
    // "" when no row is selected.
    virtual std::string SelectedTaskName() const = 0;
    virtual void SetTrayIcon(TrayIcon icon) = 0;
    virtual void SetTrayToolTip(const std::string& text) = 0;
    // The paused picture behind the list, and the pause items' check marks.
    virtual void SetPaused(bool paused) = 0;
    virtual void ShowTrayReminder() = 0;
    virtual void ShowHelp(int context) = 0;
    // Leaves the event loop; called once, after the unload.
    virtual void EndProgram() = 0;
};

// Which items of the tray menu are enabled, which one is the default (bold) item, and the
// check mark of its pause item.
struct TrayMenuState {
    bool showEnabled = false;
    bool sendToTrayEnabled = false;
    std::string defaultItem;
    bool pauseChecked = false;
};

inline constexpr char kImportantTitle[] = "IMPORTANT - PLEASE READ!";
inline constexpr char kImportantText[] =
    "Duvanto's purpose is to make a Target folder\r\n"
    "identical to a Source folder. In order to do this, all orphan\r\n"
    "files and folders in the Target folder will be DELETED.\r\n"
    "\r\n"
    "If you do not want orphans to be deleted, select\r\n"
    "'Do Not Delete' from the Delete Methods menu.";

class MainWindowController {
public:
    // The session's options are read.
    MainWindowController(Session& session, IAppPrompt& prompt, IMainWindowView& view);

    // After the options were read: the task list, its label and rows, the tray icon, the
    // repaired-names message, then the first run's window, help and warning, or a start
    // hidden in the tray (shown where there is no tray: a minimized window may be nowhere to
    // see). An unexpected failure is reported as the load's, and the window is then shown.
    void Load();

    // The close box and the commands that raise the same request: the window goes to the
    // tray (or is minimized) and the reminder may show. Once unloading, the close goes ahead:
    // the answer is whether the window may close.
    bool CloseRequested();
    // "&Shut Down Duvanto": refused with a beep while a clone runs; otherwise unloads and ends.
    bool ShutDown();
    // The session ends (the session manager, SIGTERM or SIGHUP). A run is told to stop;
    // `waitForRun` waits a bounded time for its thread and says whether it ended, which writes
    // the run's shutdown entry and End line; when it did not, they are written here. Then the
    // unload, and the end. Never refused.
    void SessionEnd(const std::function<bool()>& waitForRun);
    // Options, task list, then the log's buffer, each whatever became of the one before: an
    // unexpected failure of one is reported as the unload's and the next is still done.
    void Unload();
    bool Unloading() const { return m_unloading; }

    // Visible and in its normal state: scheduled tasks wait while this holds.
    bool IsMainWindowVisible() const;
    void ShowMainWindow() { m_view.RestoreMainWindow(); }
    TrayMenuState TrayMenu() const;
    // The desktop's tray came or went (the view already answers TrayAvailable() anew). A window
    // hidden in a tray that went away is shown: it would be out of reach.
    void TrayAvailabilityChanged();
    // "Duvanto", the last run (its task, when, whether it had errors) and the next one.
    std::string TrayToolTip() const;
    // The tooltip anew, unless a run shows its own.
    void RefreshTrayToolTip();

    bool Paused() const { return m_app.SchedulerPaused; }
    void TogglePause();
    void ResetErrorSelected();
    void ResetErrorAll();
    // Paused, else error when a task's last run failed, else normal; and the tooltip.
    void RefreshTrayIcon();
    // After a run's outcome was applied: its row and the tray show it.
    void RunEnded();
    // After a task list was read: the lines it could not take, then the names it repaired.
    void ShowLoadProblems();

    // At the window's load: the scheduler's start-up delay counts from now.
    void StartScheduler();
    // One tick of the scheduler timer: a due task is run when the window is hidden; while the
    // window is open the "Scheduled Task Not Run" message is shown once, then only the status
    // text. holdOff: work of the window's own that a scheduled run waits for, as it waits for
    // a restore (the folder-differences report). An unexpected failure is reported under the
    // timer's label.
    void SchedulerTick(bool holdOff);
    // Who starts the task's run as one the scheduler started: the run commands.
    void StartScheduledRunsWith(std::function<void(const std::string& name)> start) {
        m_startScheduled = std::move(start);
    }

private:
    void LoadListAndWindow();
    void ShowUnreadLines();

    Application& m_app;
    ProgramOptions& m_options;
    TaskListService& m_tasks;
    RunQueue& m_runs;
    IAppPrompt& m_prompt;
    IMainWindowView& m_view;
    std::function<void(const std::string& name)> m_startScheduled;
    bool m_unloading = false;
    // Each task's name and the drive it waits for, as the list and the tray last showed them.
    std::string m_waiting;
};

}  // namespace duvanto
