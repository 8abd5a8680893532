// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/QtFileOperationListModel.h"

#include "app/common/QtAppPrompt.h"
#include "app/common/QtPictures.h"

namespace duvanto {

FileOperationListModel::FileOperationListModel(ConfirmChangesController& controller,
                                               QObject* parent)
    : QAbstractListModel(parent), m_controller(controller) {
    // Made once: the view asks for a row's picture each time it paints the row.
    for (int kind = 0; kind < static_cast<int>(m_icons.size()); ++kind) {
        m_icons[static_cast<std::size_t>(kind)] = FileOperationIcon(kind);
    }
}

bool FileOperationListModel::RemoveRows(const std::vector<int32_t>& rows) {
    if (rows.empty()) {
        // The message, with the view left as it is.
        return m_controller.RemoveSelected(rows);
    }
    // One reset rather than a removal per selected range: a scattered selection of thousands
    // of rows would otherwise update the view thousands of times.
    beginResetModel();
    const bool removed = m_controller.RemoveSelected(rows);
    endResetModel();
    return removed;
}

int FileOperationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_controller.Count();
}

QVariant FileOperationListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_controller.Count()) {
        return {};
    }
    const PlannedOperation& entry = m_controller.Entry(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return ToQt(entry.Description);
        case Qt::ToolTipRole:
            // The line may be cut off by the window's width; its reason is not shown elsewhere.
            return entry.Reason.empty() ? ToQt(entry.Description)
                                        : ToQt(entry.Description + "\nbecause: " + entry.Reason);
        case Qt::DecorationRole: {
            const auto kind = static_cast<std::size_t>(entry.Kind);
            return kind < m_icons.size() ? m_icons[kind] : QIcon();
        }
        default:
            return {};
    }
}

QVariant FileOperationListModel::headerData(int section, Qt::Orientation orientation,
                                            int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QString::fromLatin1(ConfirmChangesController::kListHeading);
    }
    return {};
}

}  // namespace duvanto
