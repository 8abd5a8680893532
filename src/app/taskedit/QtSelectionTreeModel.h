// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check-box tree of the selected-files window over its controller's nodes. A folder is read
// only when the view opens it (canFetchMore/fetchMore), on the model's run bridge, one folder at
// a time, so that the window stays responsive while a folder of a hundred thousand entries is
// read; its rows arrive in one insertion when the reading is done.

#include <QAbstractItemModel>
#include <QIcon>
#include <unordered_set>

#include "app/runs/QtRunBridge.h"
#include "app/taskedit/SelectFilesController.h"

namespace duvanto {

class SelectionTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit SelectionTreeModel(SelectFilesController& controller, QObject* parent = nullptr);
    // The reading underway is waited for (it uses the controller); those not begun are
    // dropped.
    ~SelectionTreeModel() override = default;

    // The first showing: the root alone, whose reading starts now.
    void Activate();
    QModelIndex IndexOf(const SelectionNode* node) const;
    // Whether a folder is being read.
    bool Reading() const { return !m_reading.empty(); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A reading began (true) or the last one ended (false).
    void ReadingChanged(bool reading);
    // Folders that a reading opened at once because they hold items selected before.
    void FoldersOpened(const QModelIndexList& folders);

private:
    SelectionNode* Node(const QModelIndex& index) const;
    // The rows the view has been told of: none until the folder's rows were inserted.
    int Shown(const SelectionNode* node) const;
    void Read(SelectionNode* folder);
    void Show(SelectionNode* folder, FolderContents contents);
    void NotifyChecksBelow(const SelectionNode* node);

    SelectFilesController& m_controller;
    std::unordered_set<const SelectionNode*> m_shown;
    std::unordered_set<const SelectionNode*> m_reading;
    QIcon m_folderIcon;
    QIcon m_fileIcon;
    // Last: it waits for the reading underway before the members above go.
    QtRunBridge m_readers;
};

}  // namespace duvanto
