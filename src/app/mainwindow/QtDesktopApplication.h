// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop program's application object. Every event the program's windows handle passes
// through it, so it is the last boundary for unexpected failures: whatever escapes a window's
// handler (a button, a key, a timer) is reported under a label made of the window's and the
// control's names, as every command of the main window is under its own, and the event loop
// goes on. Nothing reaches Qt's loop, which would end the program.

#include <QApplication>
#include <string>

#include "util/ErrorReporter.h"

namespace duvanto {

class DesktopApplication : public QApplication {
    Q_OBJECT
public:
    DesktopApplication(int& argc, char** argv);

    // The reporter that failures go to once the program folder is known; before that they are
    // written to the standard error stream.
    void SetReporter(ErrorReporter* reporter) { m_reporter = reporter; }

    bool notify(QObject* receiver, QEvent* event) override;

    // "frmLog.cmdPrint_Click": the window, the control (or "Form" for the window itself) and
    // what the event was to it.
    static std::string EventLabel(const QObject* receiver, const QEvent* event);

private:
    ErrorReporter* m_reporter = nullptr;
};

}  // namespace duvanto
