// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's runs: the run commands, each task run on the run bridge's worker (one at a
// time, in the order the user chose), the run's texts and progress as the bridge hands them
// over, the confirmation window and the mass-deletion question answered for the run, Escape,
// the outcome applied when the run has ended, and the bounded wait when the session ends under
// a run.

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/runs/ConfirmChangesController.h"
#include "app/runs/QtRunBridge.h"
#include "app/runs/RunCommands.h"
#include "app/runs/RunNotices.h"
#include "app/runs/RunStatusHost.h"
#include "session/Session.h"

namespace duvanto {

class frmDuvanto;
class QtConfirmChanges;

class MainWindowRuns : public QObject, public IRunCommandsView {
    Q_OBJECT
public:
    using Notifier = std::function<void(const std::string& summary, const std::string& body)>;

    MainWindowRuns(frmDuvanto& window, Session& session, IAppPrompt& prompt);
    ~MainWindowRuns() override;

    // Once the window's status bar and menus exist: the progress bar, Escape, the run-choice
    // menu.
    void Install();

    RunCommandsController& Commands() { return m_commands; }
    QtConfirmChanges& Confirmation() { return *m_confirm; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QMenu* RunChoiceMenu() const { return m_runChoice; }
    bool Running() const { return m_bridge.Busy(); }

    // Waits up to `milliseconds` for the run, letting the window answer what the run asks
    // meanwhile; true when no run is left.
    bool Wait(int milliseconds);
    // The session ends: the order stops, a question the run waits on is closed, then the
    // window's controller ends the program after a bounded wait for the run.
    void SessionEnd();

    // Shows what a run reported: texts, caption, tray, menus, progress.
    void ShowUpdate(const RunStatusUpdate& update);

    // Tests put their own in: the notice of a failed run (the desktop's notification, else the
    // tray's balloon).
    void SetNotifier(Notifier notifier) { m_notify = std::move(notifier); }

    // IRunCommandsView
    std::string SelectedTaskName() const override;
    std::vector<TaskRowChoice> TaskRows() const override;
    std::vector<std::string> AskOrder(std::vector<std::string> names) override;
    void PopupRunChoice() override;
    bool Closing() const override;
    CoalescingRunHost& RunStarting(const TaskRunRequest& request) override;
    void RunEnding() override;
    void OutcomeApplied(const TaskRunOutcome& outcome, bool scheduled) override;

signals:
    // A run's outcome was applied to the list (after the run ended).
    void RunApplied(const QString& taskName);

private:
    void ShowProgress(const RunProgress& progress);
    std::vector<bool> Confirm(const std::vector<FileOp>& operations);
    bool AllowMassDelete(const std::string& why);
    bool CloseOpenQuestion();

    frmDuvanto& m_window;
    Application& m_app;
    IAppPrompt& m_prompt;
    RunCommandsController m_commands;
    std::unique_ptr<QtConfirmChanges> m_confirm;
    std::unique_ptr<CoalescingRunHost> m_host;
    // Set on the window's thread before the run starts; read by the run's thread.
    std::string m_taskName;
    bool m_scheduled = false;
    // The confirmation still wanted by this run: the window's box turns it off for the run's
    // later Targets as well as for later runs.
    std::atomic<bool> m_confirmWanted{false};
    QProgressBar* m_progress = nullptr;
    QMenu* m_runChoice = nullptr;
    RunNotices m_notices;
    Notifier m_notify;
    bool m_ending = false;
    int m_endRetries = 0;
    // Last: it waits for the run, which uses the members above, before they go.
    QtRunBridge m_bridge;
};

}  // namespace duvanto
