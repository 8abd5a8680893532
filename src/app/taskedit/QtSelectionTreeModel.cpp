// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/QtSelectionTreeModel.h"

#include <QApplication>
#include <QStyle>

#include "app/common/QtAppPrompt.h"

namespace duvanto {

SelectionTreeModel::SelectionTreeModel(SelectFilesController& controller, QObject* parent)
    : QAbstractItemModel(parent), m_controller(controller) {
    QStyle* style = QApplication::style();
    // The open picture for an expanded folder: the view draws an expanded row's icon "on".
    m_folderIcon.addPixmap(style->standardIcon(QStyle::SP_DirClosedIcon).pixmap(16), QIcon::Normal,
                           QIcon::Off);
    m_folderIcon.addPixmap(style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(16), QIcon::Normal,
                           QIcon::On);
    m_fileIcon = style->standardIcon(QStyle::SP_FileIcon);
}

void SelectionTreeModel::Activate() {
    beginResetModel();
    m_shown.clear();
    m_controller.Activate();
    endResetModel();
    fetchMore(index(0, 0));
}

QModelIndex SelectionTreeModel::IndexOf(const SelectionNode* node) const {
    if (node == nullptr) {
        return {};
    }
    return createIndex(node->Parent == nullptr ? 0 : node->Row, 0,
                       const_cast<SelectionNode*>(node));
}

SelectionNode* SelectionTreeModel::Node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<SelectionNode*>(index.internalPointer()) : nullptr;
}

int SelectionTreeModel::Shown(const SelectionNode* node) const {
    return m_shown.count(node) > 0 ? static_cast<int>(node->Children.size()) : 0;
}

QModelIndex SelectionTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return {};
    }
    if (!parent.isValid()) {
        return row == 0 ? IndexOf(&m_controller.Root()) : QModelIndex{};
    }
    const SelectionNode* folder = Node(parent);
    if (row >= Shown(folder)) {
        return {};
    }
    return createIndex(row, 0, folder->Children[row].get());
}

QModelIndex SelectionTreeModel::parent(const QModelIndex& child) const {
    const SelectionNode* node = Node(child);
    return node == nullptr ? QModelIndex{} : IndexOf(node->Parent);
}

int SelectionTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return 1;
    }
    return parent.column() == 0 ? Shown(Node(parent)) : 0;
}

int SelectionTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool SelectionTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return true;
    }
    const SelectionNode* node = Node(parent);
    return node->IsFolder && (!node->Listed || !node->Children.empty());
}

bool SelectionTreeModel::canFetchMore(const QModelIndex& parent) const {
    const SelectionNode* node = Node(parent);
    return node != nullptr && node->IsFolder && m_shown.count(node) == 0 &&
           m_reading.count(node) == 0;
}

void SelectionTreeModel::fetchMore(const QModelIndex& parent) {
    SelectionNode* folder = Node(parent);
    if (folder != nullptr && folder->IsFolder && m_shown.count(folder) == 0 &&
        m_reading.count(folder) == 0) {
        Read(folder);
    }
}

void SelectionTreeModel::Read(SelectionNode* folder) {
    m_reading.insert(folder);
    if (m_reading.size() == 1) {
        emit ReadingChanged(true);
    }
    const SelectFilesController* controller = &m_controller;
    auto contents = std::make_shared<FolderContents>();
    auto failure = std::make_shared<std::exception_ptr>();
    m_readers.Run(
        [controller, contents, failure, path = controller->FolderPath(*folder)] {
            try {
                *contents = controller->ReadFolder(path);
            } catch (...) {
                *failure = std::current_exception();
            }
        },
        [this, folder, contents, failure] {
            if (*failure) {
                m_controller.ReadFailed(*failure);
            }
            Show(folder, std::move(*contents));
        });
}

void SelectionTreeModel::Show(SelectionNode* folder, FolderContents contents) {
    m_reading.erase(folder);
    // The controller takes the folder and the folders below it that open at once; the view
    // learns of all of them in one insertion.
    const std::vector<SelectionNode*> opened = m_controller.AddFolder(*folder, std::move(contents));
    if (!folder->Children.empty()) {
        beginInsertRows(IndexOf(folder), 0, static_cast<int>(folder->Children.size()) - 1);
    }
    m_shown.insert(folder);
    m_shown.insert(opened.begin(), opened.end());
    if (!folder->Children.empty()) {
        endInsertRows();
    }
    if (!opened.empty()) {
        QModelIndexList folders;
        for (const SelectionNode* node : opened) {
            folders << IndexOf(node);
        }
        emit FoldersOpened(folders);
    }
    if (m_reading.empty()) {
        emit ReadingChanged(false);
    }
}

QVariant SelectionTreeModel::data(const QModelIndex& index, int role) const {
    const SelectionNode* node = Node(index);
    if (node == nullptr) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return ToQt(node->Text);
        case Qt::DecorationRole:
            return node->IsFolder ? m_folderIcon : m_fileIcon;
        case Qt::CheckStateRole:
            return m_controller.IsChecked(*node) ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

bool SelectionTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const SelectionNode* node = Node(index);
    if (node == nullptr || role != Qt::CheckStateRole) {
        return false;
    }
    m_controller.SetChecked(*node, value.toInt() == Qt::Checked);
    // A check may have cleared the folders above the node and anything below it.
    for (const SelectionNode* up = node; up != nullptr; up = up->Parent) {
        const QModelIndex shown = IndexOf(up);
        emit dataChanged(shown, shown, {Qt::CheckStateRole});
    }
    NotifyChecksBelow(node);
    return true;
}

void SelectionTreeModel::NotifyChecksBelow(const SelectionNode* node) {
    const int shown = Shown(node);
    if (shown == 0) {
        return;
    }
    const QModelIndex parent = IndexOf(node);
    emit dataChanged(index(0, 0, parent), index(shown - 1, 0, parent), {Qt::CheckStateRole});
    for (int row = 0; row < shown; ++row) {
        if (node->Children[row]->IsFolder) {
            NotifyChecksBelow(node->Children[row].get());
        }
    }
}

Qt::ItemFlags SelectionTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

}  // namespace duvanto
