// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A task list that another program changed (an editor, a synchronised folder) is read again
// before the program saves over it: the window's file watcher reports the change, and the
// list is reloaded at once, or, while a run holds the list, when that run ends and before its
// outcome is applied and saved.

#include <functional>

#include "app/mainwindow/MainWindowController.h"
#include "session/TaskListService.h"

namespace duvanto {

inline constexpr char kTaskListReloaded[] = "Task list read again: another program changed it.";

class TaskListReload {
public:
    // loaded: after a reload, what a load shows besides the rows (lines it could not take,
    // the tray icon).
    TaskListReload(TaskListService& tasks, IMainWindowView& view, std::function<void()> loaded)
        : m_tasks(tasks), m_view(view), m_loaded(std::move(loaded)) {}

    // The list's file, or the folder that holds it, changed on disk. Our own saves change
    // nothing the list does not already hold, and are passed over.
    void FileChanged(bool runHoldsList);
    // A run's thread has ended, its outcome not yet applied: a change seen meanwhile is read
    // now, so that the outcome goes into the list as it is on disk.
    void RunEnded();
    bool Pending() const { return m_pending; }

private:
    void ReloadIfChanged();

    TaskListService& m_tasks;
    IMainWindowView& m_view;
    std::function<void()> m_loaded;
    bool m_pending = false;
};

}  // namespace duvanto
