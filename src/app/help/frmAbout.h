// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the program's icon, title and version, a legal warning, "&System Info..."
// and OK. Every text and the System Info decision are the controller's.

#include <QDialog>
#include <string>

#include "app/help/AboutController.h"

class QLabel;
class QPushButton;

namespace duvanto {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // `programFolder` is AppPath, which System Info names.
    frmAbout(const std::string& programFolder, IAppPrompt& prompt, QWidget* parent = nullptr);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblDisclaimer;
    QPushButton* cmdSysInfo;
    QPushButton* cmdOK;

private:
    AboutController m_controller;
    std::string m_programFolder;
};

}  // namespace duvanto
