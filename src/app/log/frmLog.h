// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log viewer: the clone log with its errors in red and its task begin and end entries in
// blue, Find, Clear, Save As, Print, Help and Close. Modal; the main window opens it with
// exec(). Every decision is LogViewerController's.

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <string>

#include "app/log/LogViewerController.h"
#include "app/log/QtLogTextView.h"

class QPrinter;

namespace duvanto {

class frmLog : public QDialog {
    Q_OBJECT
public:
    // Reads the log file at once, as the window loads.
    frmLog(cCloneLog& log, IAppPrompt& prompt, ErrorReporter& reporter, IHelpViewer* help,
           const RunFlags& flags, QWidget* parent = nullptr);

    // Entries that reached the log file while the window is open (on the GUI thread); they are
    // shown and coloured without reading the file again.
    void AppendLines(const std::string& lines);
    // Shows what reached the log file since it was read (a run ended while the window was
    // open); a log made anew meanwhile replaces what is shown.
    void RefreshFromLog();
    // Prints as the Print button does after its dialog: the selection, else the whole log,
    // with a progress window that can cancel; false when cancelled or failed.
    bool PrintTo(QPrinter& printer);

    LogViewerController& Controller() { return m_controller; }

    LogTextView* rtfLogEntries;
    QStatusBar* StatusBar1;
    QLabel* lblLogSize;  // panel 1
    QLabel* lblLogMode;  // panel 2
    QGroupBox* fraFind;
    QLineEdit* txtFind;
    QCheckBox* chkWholeWord;
    QCheckBox* chkMatchCase;
    QPushButton* cmdFind;
    QPushButton* cmdClear;
    QPushButton* cmdSaveAs;
    QPushButton* cmdPrint;
    QPushButton* cmdHelp;
    QPushButton* cmdCancel;

private:
    void Load();
    void ShowStatus();
    void cmdFind_Click();
    void cmdClear_Click();
    void cmdPrint_Click();

    ErrorReporter& m_reporter;
    LogViewerController m_controller;
};

}  // namespace duvanto
