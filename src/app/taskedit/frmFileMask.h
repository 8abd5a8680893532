// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file-mask window: a file type from the desktop's list, or a custom mask. Opened modally
// by the selected-files window; the controller's FileMask() holds the result.

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/taskedit/FileMaskController.h"

namespace duvanto {

class frmFileMask : public QDialog {
    Q_OBJECT
public:
    explicit frmFileMask(FileMaskController& controller, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnOK();

    FileMaskController& m_controller;

    QRadioButton* optFileType = nullptr;
    QTreeWidget* lstFileTypes = nullptr;
    QRadioButton* optCustomMask = nullptr;
    QLineEdit* txtCustomMask = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* cmdHelp = nullptr;
};

}  // namespace duvanto
