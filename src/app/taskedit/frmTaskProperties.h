// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The task properties window: shows what its controller holds and forwards every change and
// command to it. Opened modally; afterwards the controller tells whether it was cancelled,
// whether anything changed, and holds the edited task.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <array>

#include "app/taskedit/TaskPropertiesController.h"

namespace duvanto {

class frmTaskProperties : public QDialog {
    Q_OBJECT
public:
    explicit frmTaskProperties(TaskPropertiesController& controller, QWidget* parent = nullptr);

public slots:
    // Escape and the close box as well as Cancel.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Connect();
    // Shows the controller's values; changes made here are not the user's.
    void Refresh();
    void ShowFrequency();
    void QueueCompletion();
    void RunCompletion();
    void OnOK();
    void OnSelect();
    void RemoveSelectedTarget();
    bool DropOnSource(QEvent* event);
    bool DropOnTargets(QEvent* event);

    TaskPropertiesController& m_controller;
    bool m_refreshing = false;
    bool m_completionQueued = false;

    QLineEdit* txtSourceFolderPath = nullptr;
    QPushButton* cmdSelectSourceFolder = nullptr;
    QListWidget* lstTargetFolders = nullptr;
    QPushButton* cmdSelectTargetFolder = nullptr;
    QPushButton* cmdRemoveFolder = nullptr;
    QCheckBox* chkIncludeSubFolders = nullptr;
    std::array<QRadioButton*, 2> optWhichFiles{};
    QPushButton* cmdSelect = nullptr;
    QComboBox* cboFrequency = nullptr;
    QLabel* lblFrequencyType = nullptr;
    QLineEdit* txtIntervalIncrement = nullptr;
    QLabel* lblStartTime = nullptr;
    QTimeEdit* dtpStartTime = nullptr;
    QLabel* lblDaysOfWeek = nullptr;
    std::array<QCheckBox*, 7> chkDaysOfWeek{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
};

}  // namespace duvanto
