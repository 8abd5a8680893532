#include "app/widgets/MainWindowRuns.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QShortcut>
#include <QStatusBar>
#include <QThread>
#include <mutex>

#include "app/logic/ConfirmChangesController.h"
#include "app/widgets/CommandMenus.h"
#include "app/widgets/DesktopNotification.h"
#include "app/widgets/DialogParts.h"
#include "app/widgets/QtConfirmChanges.h"
#include "app/widgets/SystemTray.h"
#include "app/widgets/TaskListModel.h"
#include "app/widgets/frmConfirmChanges.h"
#include "app/widgets/frmDuvanto.h"
#include "app/widgets/frmOrderTasks.h"

namespace duvanto {

namespace {

// At most about twenty updates a second reach the window, however fast the run reports.
constexpr int kStatusIntervalMs = 50;
// How long the end of the session waits for a run to reach its next cancel check.
constexpr int kSessionEndWaitMs = 10000;
// How often the end of the session waits for a question window to close before it goes on.
constexpr int kSessionEndRetries = 20;

}  // namespace

// A task run on a thread of its own. Its outcome is handed over under a mutex of the standard
// library, which a thread checker sees, as it does not see Qt's own.
class RunThread : public QThread {
public:
    RunThread(RunQueue& queue, TaskRunRequest request, IRunHost& host, QObject* parent)
        : QThread(parent), m_queue(queue), m_request(std::move(request)), m_host(host) {}

    TaskRunOutcome Outcome() {
        const std::lock_guard lock(m_mutex);
        return m_outcome;
    }

protected:
    void run() override {
        TaskRunOutcome outcome = m_queue.Execute(m_request, m_host);
        const std::lock_guard lock(m_mutex);
        m_outcome = std::move(outcome);
    }

private:
    RunQueue& m_queue;
    TaskRunRequest m_request;
    IRunHost& m_host;
    std::mutex m_mutex;
    TaskRunOutcome m_outcome;
};

MainWindowRuns::MainWindowRuns(frmDuvanto& window, Session& session, IAppPrompt& prompt)
    : m_window(window),
      m_app(session.App()),
      m_prompt(prompt),
      m_queue(session.Runs()),
      m_commands(prompt, session.Runs(), *this),
      m_confirm(std::make_unique<QtConfirmChanges>(
          prompt,
          [this](bool checked) {
              // The option, and with it the menu's check mark when it next opens.
              m_app.Settings.ConfirmSyncActions = checked;
              m_confirmWanted = checked;
          },
          [this] {
              // The user's cancel is Escape's; a window closed because the session ends
              // leaves the run to stop for that reason, and the log to say so.
              if (!m_app.Flags.SessionEnding) {
                  m_app.Flags.EscPressed = true;
              }
          })),
      m_askOrder([this](std::vector<std::string> names) {
          return frmOrderTasks::Ask(std::move(names), m_prompt, m_app.Reporter, &m_window);
      }),
      m_notify([this](const std::string& summary, const std::string& body) {
          DeliverRunNotice(
              {summary, body},
              [](const RunNotice& notice) {
                  return NotifyDesktop(QString::fromStdString(notice.Summary),
                                       QString::fromStdString(notice.Body));
              },
              [this](const RunNotice& notice) {
                  return m_window.Tray().ShowBalloon(QString::fromStdString(notice.Summary),
                                                     QString::fromStdString(notice.Body));
              });
      }) {
    m_confirm->SetParentWindow(&window);
    m_statusTimer.setInterval(kStatusIntervalMs);
    connect(&m_statusTimer, &QTimer::timeout, this, &MainWindowRuns::TakeStatus);
}

MainWindowRuns::~MainWindowRuns() {
    // A run still going at this point belongs to a program being torn down: let it stop.
    if (m_thread != nullptr) {
        m_app.Flags.SessionEnding = true;
        m_confirmQuestion.Abandon();
        m_massDeleteQuestion.Abandon();
        m_thread->wait();
    }
}

void MainWindowRuns::Install() {
    m_progress = new QProgressBar(&m_window);
    m_progress->setObjectName(QStringLiteral("prgRun"));
    m_progress->setMinimumWidth(280);
    m_progress->setTextVisible(true);
    m_progress->hide();
    m_window.statusBar()->addWidget(m_progress, 2);

    // Escape anywhere in the window, not only in the list, cancels the run.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &m_window);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_app.Flags.CloneInProgress) {
            m_app.Flags.EscPressed = true;
        }
    });

    m_runChoice = new QMenu(&m_window);
    m_runChoice->setObjectName(QStringLiteral("mnuRunChoice"));
    FillMenu(m_runChoice, duvanto::RunChoiceMenu(), m_window.Commands());
}

bool MainWindowRuns::Start(const std::string& taskName, bool scheduled) {
    if (m_thread != nullptr || m_queue.Busy() || m_app.Flags.SessionEnding ||
        m_window.Controller().Unloading()) {
        return false;
    }
    std::optional<TaskRunRequest> request = m_queue.Prepare(taskName, scheduled);
    if (!request) {
        return false;
    }
    m_taskName = taskName;
    m_scheduled = scheduled;
    m_confirmWanted = request->Settings.ConfirmSyncActions;
    m_host = std::make_unique<CoalescingRunHost>(
        [this](const std::vector<FileOp>& operations) { return Confirm(operations); },
        [this](const std::string& why) { return AllowMassDelete(why); });
    if (m_progress != nullptr) {
        m_progress->setRange(0, 0);
        m_progress->setFormat(QString());
        m_progress->show();
    }
    m_thread = new RunThread(m_queue, std::move(*request), *m_host, this);
    connect(m_thread, &QThread::finished, this, &MainWindowRuns::Finished);
    m_statusTimer.start();
    m_thread->start();
    return true;
}

void MainWindowRuns::TakeStatus() {
    if (!m_host) {
        return;
    }
    ShowUpdate(m_host->Take());
}

void MainWindowRuns::ShowUpdate(const RunStatusUpdate& update) {
    if (update.MenusEnabled) {
        m_window.SetTopLevelMenusEnabled(*update.MenusEnabled);
    }
    if (update.Caption) {
        m_window.setWindowTitle(ElidedCaption(QString::fromStdString(*update.Caption)));
    }
    if (update.TrayTooltip) {
        m_window.Tray().SetToolTip(ElidedCaption(QString::fromStdString(*update.TrayTooltip)));
    }
    if (update.Animation) {
        m_window.Tray().SetAnimation(*update.Animation);
    }
    if (update.Panel1) {
        m_window.SetStatusText(1, *update.Panel1);
    }
    if (update.Panel2) {
        m_window.SetStatusText(2, *update.Panel2);
    }
    if (update.Progress) {
        if (m_progress != nullptr) {
            m_progress->show();
        }
        ShowProgress(*update.Progress);
    }
}

void MainWindowRuns::ShowProgress(const RunProgress& progress) {
    if (m_progress == nullptr) {
        return;
    }
    const ProgressDisplay display = DescribeProgress(progress);
    if (display.Percent < 0) {
        m_progress->setRange(0, 0);
    } else {
        m_progress->setRange(0, 100);
        m_progress->setValue(display.Percent);
    }
    // The bar's format reads "%" as the start of a place holder.
    QString text = QString::fromStdString(display.Text);
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    m_progress->setFormat(text);
}

std::vector<bool> MainWindowRuns::Confirm(const std::vector<FileOp>& operations) {
    // On the run's thread. Turned off by the window's box during this run, or the run is
    // being stopped: nothing to show, nothing struck out.
    if (!m_confirmWanted || m_app.Flags.SessionEnding || m_app.Flags.EscPressed) {
        return {};
    }
    ConfirmChangesRequest request;
    request.TaskName = m_taskName;
    request.ConfirmSyncActions = true;
    request.Operations.reserve(operations.size());
    for (const FileOp& op : operations) {
        request.Operations.push_back(PlannedOperationFromFileOp(op));
    }
    return m_confirmQuestion.Ask(
        this, std::move(request),
        [this](ConfirmChangesRequest asked) { return m_confirm->Confirm(std::move(asked)); }, {});
}

bool MainWindowRuns::AllowMassDelete(const std::string& why) {
    // On the run's thread; a run being stopped is refused without a question.
    if (m_app.Flags.SessionEnding || m_app.Flags.EscPressed) {
        return false;
    }
    return m_massDeleteQuestion.Ask(
        this, why,
        [this](std::string asked) { return AskMassDelete(m_prompt, m_scheduled, asked); }, false);
}

void MainWindowRuns::Finished() {
    if (m_thread == nullptr) {
        return;
    }
    m_statusTimer.stop();
    TakeStatus();  // the run's last texts: its outcome and the emptied panel 2
    const TaskRunOutcome outcome = m_thread->Outcome();
    m_thread->deleteLater();
    m_thread = nullptr;
    if (m_progress != nullptr) {
        m_progress->hide();
    }
    if (m_window.Controller().Unloading()) {
        return;  // the unload saved the list with the run's outcome
    }
    // The outcome goes into the list as it is on disk, changed meanwhile or not.
    m_window.ListReload().RunEnded();
    m_queue.Finish(outcome);
    m_window.Controller().RunEnded();
    const bool hidden = !m_window.IsShown() || m_window.IsMinimized();
    if (const std::optional<RunNotice> notice = m_notices.RunEnded(outcome, m_scheduled, hidden)) {
        m_notify(notice->Summary, notice->Body);
    }
    emit RunApplied(QString::fromStdString(outcome.TaskName));
    m_commands.RunEnded();
}

bool MainWindowRuns::CloseOpenQuestion() {
    if (frmConfirmChanges* confirmation = m_confirm->OpenWindow()) {
        confirmation->close();
        return true;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        return true;
    }
    return false;
}

bool MainWindowRuns::Wait(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (m_thread != nullptr && !m_thread->isFinished()) {
        if (m_app.Flags.SessionEnding) {
            // Stopping, the run performs nothing it was still to confirm.
            m_confirmQuestion.Abandon();
            m_massDeleteQuestion.Abandon();
            CloseOpenQuestion();
        }
        if (clock.elapsed() >= milliseconds) {
            return false;
        }
        // The run may be waiting for the window to show a question: answer the events.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (m_thread != nullptr) {
            m_thread->wait(10);
        }
    }
    return true;
}

void MainWindowRuns::SessionEnd() {
    if (m_ending) {
        return;
    }
    m_commands.StopOrder();
    if (m_thread != nullptr) {
        m_app.Flags.SessionEnding = true;
        // Called from inside a question's own event loop, the wait below could not let that
        // question return: close it and come back once its loop has ended.
        if (m_endRetries < kSessionEndRetries && CloseOpenQuestion()) {
            ++m_endRetries;
            QTimer::singleShot(kStatusIntervalMs, this, &MainWindowRuns::SessionEnd);
            return;
        }
    }
    m_ending = true;
    m_window.Controller().SessionEnd([this] { return Wait(kSessionEndWaitMs); });
}

std::string MainWindowRuns::SelectedTaskName() const {
    return m_window.SelectedTaskName();
}

std::vector<TaskRowChoice> MainWindowRuns::TaskRows() const {
    TaskListModel& model = m_window.Model();
    const QStringList checked = model.CheckedTaskNames();
    std::vector<TaskRowChoice> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QString name = model.TaskName(row);
        rows.push_back({name.toStdString(), checked.contains(name)});
    }
    return rows;
}

std::vector<std::string> MainWindowRuns::AskOrder(std::vector<std::string> names) {
    return m_askOrder(std::move(names));
}

void MainWindowRuns::PopupRunChoice() {
    UpdateMenuStates(m_runChoice, m_window.Commands());
    m_runChoice->popup(QCursor::pos());
}

}  // namespace duvanto
