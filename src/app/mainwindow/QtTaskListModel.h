// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The task list view's model: one row per task with seven columns (the last two, the date
// columns' sort keys, hidden by the view), the row icons and the check boxes. It holds the rows
// as the task list gave them at the last refresh, so that painting never reads the list while
// a run's thread owns it.

#include <QAbstractTableModel>
#include <QSet>
#include <functional>
#include <vector>

#include "app/mainwindow/TaskColumns.h"
#include "session/TaskListService.h"

namespace duvanto {

class TaskListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TaskListModel(const TaskListService& tasks, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Re-reads every row from the task list, in list order or sorted as the headers say.
    // Check marks stay with their task names.
    void Refresh();
    // A header click: sorting on, order flipped.
    void HeaderClicked(int column);
    const TaskSort& Sort() const { return m_sort; }

    QString TaskName(int row) const;
    int RowOf(const QString& taskName) const;
    int RowIcon(int row) const;
    QString Text(int row, int column) const;
    // The names of the rows with check marks, top to bottom.
    QStringList CheckedTaskNames() const;
    // Makes the task names editable: an edit's text goes to the handler once the editor has
    // closed, and the rows show the task list as the handler leaves it.
    void SetRenameHandler(std::function<void(const QString& typed)> handler);

private:
    const TaskListService& m_tasks;
    std::vector<TaskRowView> m_rows;
    QSet<QString> m_checked;
    TaskSort m_sort;
    std::function<void(const QString&)> m_rename;
};

}  // namespace duvanto
