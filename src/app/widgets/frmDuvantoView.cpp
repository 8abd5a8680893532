// The main window's side of its controller: what it shows, and the runs on their threads.

#include "app/widgets/QtTaskRun.h"
#include "app/widgets/SystemTray.h"
#include "app/widgets/TaskListModel.h"
#include "app/widgets/TaskListView.h"
#include "app/widgets/frmDuvanto.h"
#include "app/widgets/frmLog.h"
#include "app/widgets/frmSysTrayReminder.h"

namespace duvanto {

void frmDuvanto::Load() {
    m_controller.Load();
    m_scheduler.Start();
    tmrCloneScheduler.start();
}

void frmDuvanto::SchedulerTick() {
    m_scheduler.Tick();
}

bool frmDuvanto::StartRun(const std::string& taskName, bool scheduled) {
    // While the restore window is open (it holds RestoreInProgress) no run starts.
    if (m_launcher.Busy() || m_runThread != nullptr || m_controller.Unloading() ||
        m_app.RestoreInProgress) {
        return false;
    }
    std::optional<TaskRunRequest> request = m_launcher.Reserve(taskName, scheduled);
    if (!request) {
        return false;
    }
    m_runEffects = std::make_unique<QtTaskRunEffects>();
    ConnectRunEffects(*m_runEffects);
    m_runThread = new TaskRunThread(m_launcher, std::move(*request), *m_runEffects, this);
    connect(m_runThread, &QThread::finished, this, &frmDuvanto::RunFinished);
    m_runThread->start();
    return true;
}

void frmDuvanto::ConnectRunEffects(QtTaskRunEffects& effects) {
    connect(&effects, &QtTaskRunEffects::StatusText, this,
            [this](int panel, const QString& text) { SetStatusText(panel, text.toStdString()); });
    connect(&effects, &QtTaskRunEffects::Animation, m_tray, &SystemTray::SetAnimation);
    connect(&effects, &QtTaskRunEffects::Caption, this, &QWidget::setWindowTitle);
    connect(&effects, &QtTaskRunEffects::TrayTooltip, m_tray, &SystemTray::SetToolTip);
    connect(&effects, &QtTaskRunEffects::MenusEnabled, this, &frmDuvanto::SetTopLevelMenusEnabled);
}

frmLog* frmDuvanto::LogViewer() const {
    return m_logViewer;
}

void frmDuvanto::RunFinished() {
    if (m_runThread == nullptr) {
        return;
    }
    const TaskRunOutcome outcome = m_runThread->Outcome();
    m_runThread->deleteLater();
    m_runThread = nullptr;
    if (m_controller.Unloading()) {
        return;  // the unload saved the list with the run's outcome
    }
    m_launcher.Apply(outcome);
    m_controller.RunEnded();
    // The run's entries reached the log file as it ended: an open viewer shows them now.
    if (m_logViewer != nullptr) {
        m_logViewer->RefreshFromLog();
    }
}

bool frmDuvanto::WaitForRun(int milliseconds) {
    return m_runThread == nullptr || m_runThread->wait(milliseconds);
}

void frmDuvanto::SessionEnd() {
    m_controller.SessionEnd([this] { return WaitForRun(10000); });
}

bool frmDuvanto::IsShown() const {
    return isVisible();
}

bool frmDuvanto::IsMinimized() const {
    return isMinimized();
}

bool frmDuvanto::IsMaximized() const {
    return isMaximized();
}

bool frmDuvanto::TrayAvailable() const {
    return m_trayAvailable;
}

void frmDuvanto::RestoreMainWindow() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
}

void frmDuvanto::HideMainWindow() {
    hide();
}

void frmDuvanto::MinimizeMainWindow() {
    showMinimized();
}

void frmDuvanto::SetStatusText(int panel, const std::string& text) {
    (panel == 2 ? sbrPanel2 : sbrPanel1)->setText(QString::fromStdString(text));
}

void frmDuvanto::SetTaskListName(const std::string& name) {
    lblTaskListName->setText(QString::fromStdString(name));
}

void frmDuvanto::RefreshTaskRows() {
    const QString selected = QString::fromStdString(SelectedTaskName());
    m_model->Refresh();
    const int row = m_model->RowOf(selected);
    if (row >= 0) {
        lvwTasks->setCurrentIndex(m_model->index(row, 0));
    }
}

std::string frmDuvanto::SelectedTaskName() const {
    const QModelIndexList rows = lvwTasks->selectionModel()->selectedRows();
    return rows.isEmpty() ? std::string() : m_model->TaskName(rows.front().row()).toStdString();
}

void frmDuvanto::SetTrayIcon(TrayState icon) {
    m_tray->SetIcon(icon);
}

void frmDuvanto::SetPaused(bool paused) {
    lvwTasks->SetPaused(paused);
}

void frmDuvanto::ShowTrayReminder() {
    auto* reminder = new frmSysTrayReminder(m_options.SysTrayReminder);
    reminder->setAttribute(Qt::WA_DeleteOnClose);
    reminder->show();
}

void frmDuvanto::ShowHelp(int context) {
    m_help->ShowHelp(context);
}

void frmDuvanto::EndProgram() {
    m_ended = true;
    m_help->close();
    close();
    emit ProgramEnded();
}

}  // namespace duvanto
