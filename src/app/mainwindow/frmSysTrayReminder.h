// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tray reminder: shown when the main window goes to the tray while the reminder option is
// on. However it is closed, the option becomes the state of "&Continue to remind me".

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "app/mainwindow/SysTrayReminderController.h"

namespace duvanto {

class frmSysTrayReminder : public QDialog {
    Q_OBJECT
public:
    // `sysTrayReminder` is the owner's option; it must outlive the window.
    explicit frmSysTrayReminder(bool& sysTrayReminder, QWidget* parent = nullptr);

    QLabel* lblMessage;
    QCheckBox* chkRemind;
    QPushButton* OKButton;

protected:
    void done(int result) override;

private:
    SysTrayReminderController m_controller;
};

}  // namespace duvanto
