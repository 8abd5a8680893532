// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The selected-files window: the check-box tree of the Source and the masks list. Opened
// modally by the task properties window; Chosen() holds what OK decided.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>

#include "app/taskedit/QtSelectionTreeModel.h"
#include "app/taskedit/QtSelectionTreeView.h"
#include "app/taskedit/SelectFilesController.h"

namespace duvanto {

class frmSelectFiles : public QDialog {
    Q_OBJECT
public:
    explicit frmSelectFiles(SelectFilesController& controller, QWidget* parent = nullptr);

    const SelectedFiles& Chosen() const { return m_chosen; }
    SelectionTreeModel& Model() { return m_model; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMasks();
    void AddNewMask();
    void RemoveSelectedMask();
    void Expand(const QModelIndexList& folders);

    SelectFilesController& m_controller;
    SelectionTreeModel m_model;
    SelectedFiles m_chosen;

    SelectionTreeView* tvwFolderContents = nullptr;
    QTreeWidget* lstFileMasks = nullptr;
    QPushButton* cmdAddNew = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
};

}  // namespace duvanto
