#pragma once
// The restore window: the task's first Target as a check-box tree, read one folder at a time,
// "&Restore", "Cancel" and "&Help". The restore runs on a thread of its own; the window shows
// its progress and stays responsive, Escape (in the window or its tree) or the close box asks
// the run to stop, and the window closes when the run has told its outcome.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

#include "app/restore/RestoreController.h"
#include "app/taskedit/QtSelectionTreeModel.h"
#include "app/taskedit/QtSelectionTreeView.h"

namespace duvanto {

class QtConfirmChanges;

class frmRestore : public QDialog {
    Q_OBJECT
public:
    // The controller outlives the window. `mainWindow` (the main window's run effects,
    // callable from a run's thread) and `confirm` are optional; without them the run shows
    // itself only in this window and strikes out nothing when the options ask to confirm.
    explicit frmRestore(RestoreController& controller, IRunHost* mainWindow = nullptr,
                        QtConfirmChanges* confirm = nullptr, QWidget* parent = nullptr);

    SelectionTreeModel& Model() { return m_model; }

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
    void ShowProgress(const QString& panel1, const QString& panel2);
    void Finished(RestoreOutcome outcome);

    RestoreController& m_controller;
    IRunHost* m_mainWindow;
    QtConfirmChanges* m_confirm;
    SelectionTreeModel m_model;
};

}  // namespace duvanto
