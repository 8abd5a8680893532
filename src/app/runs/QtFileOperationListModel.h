// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The confirmation window's list over its controller: one row per planned operation left in
// it, with the kind's picture. The rows are the controller's own; nothing is copied per row, so
// a plan of a hundred thousand operations opens at once.

#include <QAbstractListModel>
#include <QIcon>
#include <array>
#include <vector>

#include "app/runs/ConfirmChangesController.h"

namespace duvanto {

class FileOperationListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FileOperationListModel(ConfirmChangesController& controller,
                                    QObject* parent = nullptr);

    // Strikes out the entries at the rows; the controller tells the user when none is given.
    bool RemoveRows(const std::vector<int32_t>& rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    ConfirmChangesController& m_controller;
    std::array<QIcon, 4> m_icons;  // by FileOpType
};

}  // namespace duvanto
