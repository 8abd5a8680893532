#pragma once
// The main window's runs: the run commands, each task run on a thread of its own (one at a
// time, in the order the user chose), the run's texts and progress taken a few times a second,
// the confirmation window and the prompts answered for the run's thread, Escape, the outcome
// applied when the thread has ended, and the bounded wait when the session ends under a run.

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/logic/ConfirmChangesController.h"
#include "app/logic/RunCommands.h"
#include "app/logic/RunNotices.h"
#include "app/logic/RunStatusHost.h"
#include "app/widgets/RunQuestion.h"
#include "session/Session.h"

namespace duvanto {

class frmDuvanto;
class QtConfirmChanges;
class RunThread;

class MainWindowRuns : public QObject, public IRunCommandsView {
    Q_OBJECT
public:
    using OrderAsker = std::function<std::vector<std::string>(std::vector<std::string>)>;
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
    bool Running() const { return m_thread != nullptr; }

    // Starts the task's run; false while another run lasts, while the window unloads, or when
    // the list has no such task.
    bool Start(const std::string& taskName, bool scheduled);
    // Waits up to `milliseconds` for the run's thread, letting the window answer what the run
    // asks meanwhile; true when no run is left.
    bool Wait(int milliseconds);
    // The session ends: the order stops, a question the run waits on is closed, then the
    // window's controller ends the program after a bounded wait for the run.
    void SessionEnd();

    // Shows what a run reported: texts, caption, tray, menus, progress.
    void ShowUpdate(const RunStatusUpdate& update);

    // Tests put their own in: the order window and the notice of a failed run (the desktop's
    // notification, else the tray's balloon).
    void SetOrderAsker(OrderAsker asker) { m_askOrder = std::move(asker); }
    void SetNotifier(Notifier notifier) { m_notify = std::move(notifier); }

    // IRunCommandsView
    std::string SelectedTaskName() const override;
    std::vector<TaskRowChoice> TaskRows() const override;
    std::vector<std::string> AskOrder(std::vector<std::string> names) override;
    bool StartRun(const std::string& name) override { return Start(name, false); }
    void PopupRunChoice() override;

signals:
    // A run's outcome was applied to the list (after its thread ended).
    void RunApplied(const QString& taskName);

private:
    void Finished();
    void TakeStatus();
    void ShowProgress(const RunProgress& progress);
    std::vector<bool> Confirm(const std::vector<FileOp>& operations);
    bool AllowMassDelete(const std::string& why);
    bool CloseOpenQuestion();

    frmDuvanto& m_window;
    Application& m_app;
    IAppPrompt& m_prompt;
    RunQueue& m_queue;
    RunCommandsController m_commands;
    std::unique_ptr<QtConfirmChanges> m_confirm;
    std::unique_ptr<CoalescingRunHost> m_host;
    RunThread* m_thread = nullptr;
    RunQuestion<ConfirmChangesRequest, std::vector<bool>> m_confirmQuestion;
    RunQuestion<std::string, bool> m_massDeleteQuestion;
    // Set on the window's thread before the run's thread starts; read by the run's thread.
    std::string m_taskName;
    bool m_scheduled = false;
    // The confirmation still wanted by this run: the window's box turns it off for the run's
    // later Targets as well as for later runs.
    std::atomic<bool> m_confirmWanted{false};
    QTimer m_statusTimer;
    QProgressBar* m_progress = nullptr;
    QMenu* m_runChoice = nullptr;
    OrderAsker m_askOrder;
    RunNotices m_notices;
    Notifier m_notify;
    bool m_ending = false;
    int m_endRetries = 0;
};

}  // namespace duvanto
