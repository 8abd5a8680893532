// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtTaskListModel.h"

#include <utility>

#include "app/common/QtPictures.h"

namespace duvanto {

namespace {

const char* const kHeaders[kTaskColumnCount] = {
    "Task Name",         "Source", "Target", "Next Run", "Last Run", "Next Run Formatted",
    "Last Run Formatted"};

}  // namespace

TaskListModel::TaskListModel(const TaskListService& tasks, QObject* parent)
    : QAbstractTableModel(parent), m_tasks(tasks) {}

int TaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TaskListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kTaskColumnCount;
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const TaskRowView& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(row.columns[static_cast<std::size_t>(index.column())]);
        case Qt::DecorationRole:
            return index.column() == 0 ? QVariant(TaskRowIcon(row.icon)) : QVariant();
        case Qt::CheckStateRole:
            if (index.column() != 0) {
                return {};
            }
            return m_checked.contains(QString::fromStdString(row.Name())) ? Qt::Checked
                                                                          : Qt::Unchecked;
        default:
            return {};
    }
}

bool TaskListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0) {
        return false;
    }
    if (role == Qt::EditRole && m_rename) {
        // The rename refreshes every row, which must wait until the editor has gone.
        QMetaObject::invokeMethod(
            this, [this, typed = value.toString()] { m_rename(typed); }, Qt::QueuedConnection);
        return true;
    }
    if (role != Qt::CheckStateRole) {
        return false;
    }
    const QString name = TaskName(index.row());
    if (value.toInt() == Qt::Checked) {
        m_checked.insert(name);
    } else {
        m_checked.remove(name);
    }
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TaskListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0) {
        flags |= Qt::ItemIsUserCheckable;
        if (m_rename) {
            flags |= Qt::ItemIsEditable;
        }
    }
    return flags;
}

QVariant TaskListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kTaskColumnCount) {
        return QString::fromLatin1(kHeaders[section]);
    }
    return {};
}

void TaskListModel::Refresh() {
    beginResetModel();
    m_rows = TaskRowsOf(m_tasks.List(),
                        [this](const cCloneTask& task) { return m_tasks.WaitingFor(task); });
    SortTaskRows(m_rows, m_sort);
    // A task that went takes its check mark with it.
    QSet<QString> names;
    for (const TaskRowView& row : m_rows) {
        names.insert(QString::fromStdString(row.Name()));
    }
    m_checked.intersect(names);
    endResetModel();
}

void TaskListModel::HeaderClicked(int column) {
    m_sort.HeaderClicked(column);
    Refresh();
}

QString TaskListModel::TaskName(int row) const {
    return row >= 0 && row < rowCount()
               ? QString::fromStdString(m_rows[static_cast<std::size_t>(row)].Name())
               : QString();
}

int TaskListModel::RowOf(const QString& taskName) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (TaskName(row) == taskName) {
            return row;
        }
    }
    return -1;
}

int TaskListModel::RowIcon(int row) const {
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)].icon : 0;
}

QString TaskListModel::Text(int row, int column) const {
    return data(index(row, column), Qt::DisplayRole).toString();
}

void TaskListModel::SetRenameHandler(std::function<void(const QString& typed)> handler) {
    m_rename = std::move(handler);
}

QStringList TaskListModel::CheckedTaskNames() const {
    QStringList names;
    for (int row = 0; row < rowCount(); ++row) {
        if (m_checked.contains(TaskName(row))) {
            names << TaskName(row);
        }
    }
    return names;
}

}  // namespace duvanto
