// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The restore window: the task's first Target as a check-box tree, read one folder at a time,
// "&Restore", "Cancel" and "&Help". The restore runs on the window's run bridge; the window
// shows its progress and stays responsive, Escape (in the window or its tree) or the close box
// asks the run to stop, and the window closes when the run has told its outcome.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <memory>

#include "app/restore/RestoreController.h"
#include "app/runs/QtRunBridge.h"
#include "app/taskedit/QtSelectionTreeModel.h"
#include "app/taskedit/QtSelectionTreeView.h"

namespace duvanto {

class RestoreRunHost;

class frmRestore : public QDialog {
    Q_OBJECT
public:
    // The controller outlives the window. The run strikes out nothing when the options ask to
    // confirm.
    explicit frmRestore(RestoreController& controller, QWidget* parent = nullptr);
    ~frmRestore() override;

    SelectionTreeModel& Model() { return m_model; }
    // The restore's status, for the main window to show as well.
    QtRunBridge& Bridge() { return m_bridge; }

    SelectionTreeView* tvwFolderContents;
    QLabel* lblStatus;
    QLabel* lblProgress;
    QProgressBar* prgProgress;
    QPushButton* cmdRestore;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

public slots:
    void reject() override;

private:
    void Restore();
    void ShowProgress(const RunStatusUpdate& update);
    void Finished(RestoreOutcome outcome);

    RestoreController& m_controller;
    SelectionTreeModel m_model;
    QString m_panel1, m_panel2;  // the run's latest status texts
    std::unique_ptr<RestoreRunHost> m_run;
    // Last: it waits for the run, which uses the members above, before they go.
    QtRunBridge m_bridge;
};

}  // namespace duvanto
