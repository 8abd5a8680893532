// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/QtTaskEditHost.h"

#include "app/help/QtHelpWindow.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/mainwindow/frmDuvanto.h"
#include "app/taskedit/frmTaskProperties.h"

namespace duvanto {

TaskEditHost::TaskEditHost(frmDuvanto& window, Session& session, IAppPrompt& prompt,
                           HelpWindow* help)
    : m_window(window),
      m_app(session.App()),
      m_prompt(prompt),
      m_help(help),
      m_commands(std::make_unique<TaskEditCommands>(session.Tasks(), session.Options(), prompt,
                                                    m_app.Flags, m_app.AppPath, *this)) {}

TaskEditHost::~TaskEditHost() = default;

void TaskEditHost::ConnectList() {
    m_window.Model().SetRenameHandler(
        [this](const QString& typed) { m_commands->EndRename(typed.toStdString()); });
}

std::string TaskEditHost::SelectedTaskName() const {
    return m_window.SelectedTaskName();
}

void TaskEditHost::RefreshTaskRows(const std::string& select) {
    m_window.RefreshTaskRows();
    if (select.empty()) {
        return;
    }
    const int row = m_window.Model().RowOf(QString::fromStdString(select));
    if (row >= 0) {
        m_window.lvwTasks->setCurrentIndex(m_window.Model().index(row, 0));
        m_window.lvwTasks->scrollTo(m_window.Model().index(row, 0));
    }
}

void TaskEditHost::BeginRename(const std::string& name) {
    const int row = m_window.Model().RowOf(QString::fromStdString(name));
    if (row < 0) {
        return;
    }
    const QModelIndex index = m_window.Model().index(row, 0);
    m_window.lvwTasks->setCurrentIndex(index);
    m_window.lvwTasks->setFocus();
    m_window.lvwTasks->edit(index);
}

PropertiesEditResult TaskEditHost::EditTaskProperties(cCloneTask& task) {
    TaskPropertiesController controller(task, {m_prompt, m_help, m_app.Reporter, m_app.FileSystem,
                                               m_app.Clock, m_app.PathTables(), m_fileTypes});
    frmTaskProperties dialog(controller, m_window.isVisible() ? &m_window : nullptr);
    const bool accepted = dialog.exec() == QDialog::Accepted && !controller.Cancelled();
    if (accepted) {
        task = controller.Task();
    }
    return {!accepted, controller.Changed()};
}

void TaskEditHost::SetTaskListName(const std::string& name) {
    m_window.SetTaskListName(name);
}

void TaskEditHost::RefreshTrayIcon() {
    m_window.Controller().RefreshTrayIcon();
}

void TaskEditHost::ShowLoadProblems() {
    m_window.Controller().ShowLoadProblems();
}

}  // namespace duvanto
