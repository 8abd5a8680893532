// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the task list of the current task list, its menus, toolbar, status bar and
// tray icon, and the scheduler timer. Menus, the right-click menu, the toolbar and the tray menu
// are built from the command table; each command's behaviour is registered by its area. Every
// decision is MainWindowController's; this class shows and forwards.

#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

#include "app/common/AppPrompt.h"
#include "app/help/QtHelpWindow.h"
#include "app/mainwindow/MainCommands.h"
#include "app/mainwindow/MainWindowController.h"
#include "app/mainwindow/QtStatusPanel.h"
#include "app/mainwindow/TaskListReload.h"
#include "app/options/OptionsMenuController.h"
#include "platform/MountWatch.h"
#include "util/WakeWatch.h"

namespace duvanto {

class SystemTray;
class TaskEditHost;
class TaskListModel;
class TaskListView;
class FileMenuJobs;
class frmLog;
class LiveLogFeed;
class MainWindowRuns;
class TaskListWatcher;

struct MainWindowSetup {
    Session& session;  // its options already read
    IAppPrompt& prompt;
    bool trayAvailable = false;
    RunAtLoginSetup runAtLogin;
    // Opens web and mail addresses; the desktop's own programs unless tests hand in another.
    HelpWindow::ExternalOpener openExternal;
    // Whether the desktop shows a tray now; Qt's own answer unless tests hand in another.
    std::function<bool()> probeTray;
};

class frmDuvanto : public QMainWindow, public IMainWindowView {
    Q_OBJECT
public:
    explicit frmDuvanto(MainWindowSetup setup);
    ~frmDuvanto() override;

    // The window's load: the task list, the first run or a hidden start, the scheduler.
    void Load();
    // One tick of the scheduler timer, as the timer gives it every minute.
    void SchedulerTick();
    // Waits up to `milliseconds` for a run; true when none is left.
    bool WaitForRun(int milliseconds);
    // The session ends: see MainWindowController::SessionEnd.
    void SessionEnd();
    // Looks whether the desktop's tray came or went, and moves between the tray and the
    // window that only minimizes.
    void CheckTray();
    // The toolbar and its labels shown or hidden.
    void ShowToolbar(bool show);
    void SetTopLevelMenusEnabled(bool enabled);
    bool Ended() const { return m_ended; }

    CommandRegistry& Commands() { return m_registry; }
    MainWindowController& Controller() { return m_controller; }
    SystemTray& Tray() { return *m_tray; }
    HelpWindow& Help() { return *m_help; }
    TaskListModel& Model() { return *m_model; }
    FileMenuJobs& FileJobs() { return *m_fileJobs; }
    frmLog* LogViewer() const;
    MainWindowRuns& Runs() { return *m_runs; }
    TaskListReload& ListReload() { return m_listReload; }

    // IMainWindowView
    bool IsShown() const override;
    bool IsMinimized() const override;
    bool IsMaximized() const override;
    bool TrayAvailable() const override;
    void RestoreMainWindow() override;
    void HideMainWindow() override;
    void MinimizeMainWindow() override;
    void SetStatusText(int panel, const std::string& text) override;
    void SetTaskListName(const std::string& name) override;
    void RefreshTaskRows() override;
    std::string SelectedTaskName() const override;
    void SetTrayIcon(TrayState icon) override;
    void SetTrayToolTip(const std::string& text) override;
    void SetPaused(bool paused) override;
    void ShowTrayReminder() override;
    void ShowHelp(int context) override;
    void EndProgram() override;

    QWidget* picToolbar;
    std::vector<QToolButton*> imgToolbar;
    QWidget* picLabels;  // the two task-list labels
    QLabel* lblCurrentTaskList;
    QLabel* lblTaskListName;
    TaskListView* lvwTasks;
    StatusPanel* sbrPanel1;
    QLabel* sbrPanel2;
    QMenu* mnuFile = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuLog = nullptr;
    QMenu* mnuHelp = nullptr;
    QTimer tmrCloneScheduler;
    // A mount or unmount: the scheduler looks again once the drive has settled, so that a task
    // waiting for its drive runs within seconds.
    QTimer tmrMountSettle;
    QElapsedTimer m_mountSettleStart;  // since the first change the settle timer waits for
    // A wake from sleep, or a clock set: the scheduler looks at once (WakeWatch).
    QTimer tmrWakeWatch;
    QTimer tmrTrayWatch;

signals:
    // The unload is done: the program may end.
    void ProgramEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildList();
    void RegisterCommands();
    void ToolbarClicked(const std::string& commandId);
    void ShowContextMenu(const QPoint& position);
    void OpenAbout();
    void OpenLogViewer();
    void OpenPriorityRules();

    Session& m_session;
    Application& m_app;
    ProgramOptions& m_options;
    IAppPrompt& m_prompt;
    bool m_trayAvailable;
    std::function<bool()> m_probeTray;
    bool m_menusEnabled = true;
    bool m_ended = false;
    std::unique_ptr<HelpWindow> m_help;
    CommandRegistry m_registry;
    MainWindowController m_controller;
    OptionsMenuController m_optionsMenu;
    TaskListReload m_listReload;
    TaskListWatcher* m_listWatcher = nullptr;
    TaskListModel* m_model = nullptr;
    SystemTray* m_tray = nullptr;
    MountWatch m_mounts;
    WakeWatch m_wake;
    QSocketNotifier* m_mountNotifier = nullptr;
    std::unique_ptr<TaskEditHost> m_taskEdit;
    FileMenuJobs* m_fileJobs = nullptr;
    QPointer<frmLog> m_logViewer;      // the log viewer while it is open
    LiveLogFeed* m_logFeed = nullptr;  // the log's new entries to that viewer
    // Last: the run is stopped before anything it reports to goes.
    std::unique_ptr<MainWindowRuns> m_runs;
};

}  // namespace duvanto
