// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/QtMainWindowRuns.h"

#include <QApplication>
#include <QCursor>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <memory>

#include "app/common/QtDialogParts.h"
#include "app/mainwindow/QtCommandMenus.h"
#include "app/mainwindow/QtDesktopNotification.h"
#include "app/mainwindow/QtSystemTray.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/frmDuvanto.h"
#include "app/runs/ConfirmChangesController.h"
#include "app/runs/frmConfirmChanges.h"
#include "app/runs/frmOrderTasks.h"

namespace duvanto {

namespace {

// How long the end of the session waits for a run to reach its next cancel check.
constexpr int kSessionEndWaitMs = 10000;
// How often the end of the session waits for a question window to close before it goes on.
constexpr int kSessionEndRetries = 20;
// How long the end of the session lets a question window's own loop end before it looks again.
constexpr int kSessionEndRetryMs = 50;

}  // namespace

MainWindowRuns::MainWindowRuns(frmDuvanto& window, Session& session, IAppPrompt& prompt)
    : m_window(window),
      m_app(session.App()),
      m_prompt(prompt),
      m_commands(prompt, session.Runs(), *this, m_bridge),
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
    connect(&m_bridge, &QtRunBridge::Status, this, &MainWindowRuns::ShowUpdate);
}

MainWindowRuns::~MainWindowRuns() {
    // A run still going at this point belongs to a program being torn down: let it stop (the
    // bridge, which goes first, waits for it).
    if (Running()) {
        m_app.Flags.SessionEnding = true;
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

bool MainWindowRuns::Closing() const {
    return m_window.Controller().Unloading();
}

CoalescingRunHost& MainWindowRuns::RunStarting(const TaskRunRequest& request) {
    m_taskName = request.Task.TaskName;
    m_scheduled = request.Scheduled;
    m_confirmWanted = request.Settings.ConfirmSyncActions;
    m_host = std::make_unique<CoalescingRunHost>(
        [this](const std::vector<FileOp>& operations) { return Confirm(operations); },
        [this](const std::string& why) { return AllowMassDelete(why); });
    if (m_progress != nullptr) {
        m_progress->setRange(0, 0);
        m_progress->setFormat(QString());
        m_progress->show();
    }
    return *m_host;
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
    return QtRunBridge::Ask<std::vector<bool>>(
        [this, request = std::move(request)] { return m_confirm->Confirm(request); }, {});
}

bool MainWindowRuns::AllowMassDelete(const std::string& why) {
    // On the run's thread; a run being stopped is refused without a question.
    if (m_app.Flags.SessionEnding || m_app.Flags.EscPressed) {
        return false;
    }
    return QtRunBridge::Ask<bool>(
        [this, scheduled = m_scheduled, why] { return AskMassDelete(m_prompt, scheduled, why); },
        false);
}

void MainWindowRuns::RunEnding() {
    if (m_progress != nullptr) {
        m_progress->hide();
    }
    m_window.ListReload().RunEnded();
}

void MainWindowRuns::OutcomeApplied(const TaskRunOutcome& outcome, bool scheduled) {
    m_window.Controller().RunEnded();
    const bool hidden = !m_window.IsShown() || m_window.IsMinimized();
    if (const std::optional<RunNotice> notice = m_notices.RunEnded(outcome, scheduled, hidden)) {
        m_notify(notice->Summary, notice->Body);
    }
    emit RunApplied(QString::fromStdString(outcome.TaskName));
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
    return m_bridge.Wait(milliseconds, [this] {
        if (m_app.Flags.SessionEnding) {
            // Stopping, the run performs nothing it was still to confirm.
            m_bridge.Abandon();
            CloseOpenQuestion();
        }
    });
}

void MainWindowRuns::SessionEnd() {
    if (m_ending) {
        return;
    }
    m_commands.StopOrder();
    if (Running()) {
        m_app.Flags.SessionEnding = true;
        // Called from inside a question's own event loop, the wait below could not let that
        // question return: close it and come back once its loop has ended.
        if (m_endRetries < kSessionEndRetries && CloseOpenQuestion()) {
            ++m_endRetries;
            QTimer::singleShot(kSessionEndRetryMs, this, &MainWindowRuns::SessionEnd);
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
    return frmOrderTasks::Ask(std::move(names), m_prompt, m_app.Reporter, &m_window);
}

void MainWindowRuns::PopupRunChoice() {
    UpdateMenuStates(m_runChoice, m_window.Commands());
    m_runChoice->popup(QCursor::pos());
}

}  // namespace duvanto
