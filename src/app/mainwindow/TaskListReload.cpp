// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/TaskListReload.h"

namespace duvanto {

void TaskListReload::FileChanged(bool runHoldsList) {
    if (runHoldsList) {
        m_pending = true;
        return;
    }
    ReloadIfChanged();
}

void TaskListReload::RunEnded() {
    if (m_pending) {
        m_pending = false;
        ReloadIfChanged();
    }
}

void TaskListReload::ReloadIfChanged() {
    if (!m_tasks.ChangedElsewhere()) {
        return;
    }
    m_tasks.Reload();
    m_view.RefreshTaskRows();
    m_view.SetStatusText(2, kTaskListReloaded);  // panel 1 keeps the last run's outcome
    if (m_loaded) {
        m_loaded();
    }
}

}  // namespace duvanto
