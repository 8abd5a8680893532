// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of its controller: what it shows, and its runs.

#include "app/common/QtDialogParts.h"
#include "app/log/frmLog.h"
#include "app/mainwindow/QtSystemTray.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/mainwindow/QtTaskListWatcher.h"
#include "app/mainwindow/frmDuvanto.h"
#include "app/mainwindow/frmSysTrayReminder.h"
#include "app/runs/QtFileMenuJobs.h"
#include "app/runs/QtMainWindowRuns.h"

namespace duvanto {

void frmDuvanto::Load() {
    m_controller.Load();
    // The keyboard works from the start: Home, the arrows, Enter and the menus' keys.
    if (m_model->rowCount() > 0 && !lvwTasks->currentIndex().isValid()) {
        lvwTasks->setCurrentIndex(m_model->index(0, 0));
    }
    lvwTasks->setFocus(Qt::OtherFocusReason);
    m_controller.StartScheduler();
    tmrCloneScheduler.start();
    m_wake.Look(ReadClocks());
    tmrWakeWatch.start();
    tmrTrayWatch.start();
}

void frmDuvanto::CheckTray() {
    const bool available = m_probeTray();
    if (available == m_trayAvailable) {
        return;
    }
    m_trayAvailable = available;
    m_tray->SetAvailable(available);
    m_controller.TrayAvailabilityChanged();
}

void frmDuvanto::SchedulerTick() {
    m_controller.SchedulerTick(m_fileJobs != nullptr && m_fileJobs->ReportRunning());
}

frmLog* frmDuvanto::LogViewer() const {
    return m_logViewer;
}

bool frmDuvanto::WaitForRun(int milliseconds) {
    return m_runs->Wait(milliseconds);
}

void frmDuvanto::SessionEnd() {
    m_runs->SessionEnd();
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
    // Every load and switch of the list names it here.
    m_listWatcher->Watch(QString::fromStdString(m_session.Tasks().FileSpec()));
}

void frmDuvanto::RefreshTaskRows() {
    const QString selected = QString::fromStdString(SelectedTaskName());
    m_model->Refresh();
    const int row = m_model->RowOf(selected);
    if (row >= 0) {
        lvwTasks->setCurrentIndex(m_model->index(row, 0));
    }
    // Every change of the list reaches here: a task's next run may have moved.
    m_controller.RefreshTrayToolTip();
}

std::string frmDuvanto::SelectedTaskName() const {
    const QModelIndexList rows = lvwTasks->selectionModel()->selectedRows();
    return rows.isEmpty() ? std::string() : m_model->TaskName(rows.front().row()).toStdString();
}

void frmDuvanto::SetTrayIcon(TrayState icon) {
    m_tray->SetIcon(icon);
}

void frmDuvanto::SetTrayToolTip(const std::string& text) {
    m_tray->SetToolTip(QString::fromStdString(text));
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
