// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The confirmation window: the planned operations of one Target folder and their totals, which
// the user may strike out before the run performs the rest. It stays above every other window.
// "Perform Actions" (and Enter) performs what is left; Cancel, Escape and the close box cancel
// the run.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include "app/runs/ConfirmChangesController.h"
#include "app/runs/QtFileOperationListModel.h"

namespace duvanto {

class frmConfirmChanges : public QDialog {
    Q_OBJECT
public:
    explicit frmConfirmChanges(ConfirmChangesController& controller, QWidget* parent = nullptr);

    FileOperationListModel& Model() { return m_model; }

    QLabel* lblIntroduction;
    QLabel* lblTaskName;
    QLabel* lblTotals;
    QTreeView* lvwFileOps;
    QLabel* lblRemovalHint;
    QCheckBox* chkConfirmSyncActions;
    QPushButton* cmdRemove;
    QPushButton* cmdPerform;
    QPushButton* cmdCancel;

    // Cancel, Escape and the close box all come here.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RemoveSelected();
    // The column is as wide as the lines (as far as the view measures them) and never narrower
    // than the list, so that a long path can be scrolled to.
    void FitColumn();

    ConfirmChangesController& m_controller;
    FileOperationListModel m_model;
    int m_contentWidth = -1;
};

}  // namespace duvanto
