// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/frmLog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/common/QtAppPrompt.h"

namespace duvanto {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Hourglass while the text is read and placed, as long as the scope lasts.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

frmLog::frmLog(cCloneLog& log, IAppPrompt& prompt, ErrorReporter& reporter, IHelpViewer* help,
               const RunFlags& flags, QWidget* parent)
    : QDialog(parent), m_reporter(reporter), m_controller(log, prompt, reporter, help, flags) {
    setObjectName(QStringLiteral("frmLog"));
    setWindowTitle(QString::fromUtf8(LogViewerController::kCaption));
    setModal(true);
    setSizeGripEnabled(false);

    rtfLogEntries = Named(new LogTextView(this), "rtfLogEntries");

    fraFind = Named(new QGroupBox(tr("Find"), this), "fraFind");
    txtFind =
        Named(new QLineEdit(QString::fromUtf8(LogViewerController::kInitialFindText), fraFind),
              "txtFind");
    chkWholeWord = Named(new QCheckBox(QStringLiteral("Whole Word"), fraFind), "chkWholeWord");
    chkMatchCase = Named(new QCheckBox(QStringLiteral("Match Case"), fraFind), "chkMatchCase");
    cmdFind = Named(new QPushButton(QStringLiteral("&Find"), fraFind), "cmdFind");
    auto* findRow = new QHBoxLayout(fraFind);
    findRow->addWidget(txtFind, 1);
    findRow->addWidget(chkWholeWord);
    findRow->addWidget(chkMatchCase);
    findRow->addWidget(cmdFind);

    cmdClear = Named(new QPushButton(QStringLiteral("C&lear"), this), "cmdClear");
    cmdSaveAs = Named(new QPushButton(QStringLiteral("Save &As..."), this), "cmdSaveAs");
    cmdPrint = Named(new QPushButton(QStringLiteral("&Print..."), this), "cmdPrint");
    cmdHelp = Named(new QPushButton(QStringLiteral("&Help"), this), "cmdHelp");
    cmdCancel = Named(new QPushButton(QStringLiteral("&Close"), this), "cmdCancel");
    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdClear, 0, 0);
    buttons->addWidget(cmdSaveAs, 0, 1);
    buttons->addWidget(cmdPrint, 0, 2);
    buttons->addWidget(cmdHelp, 1, 1);
    buttons->addWidget(cmdCancel, 1, 2);

    auto* controls = new QHBoxLayout;
    controls->addWidget(fraFind, 1);
    controls->addLayout(buttons);

    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    lblLogSize = Named(new QLabel(StatusBar1), "lblLogSize");
    lblLogMode = Named(new QLabel(StatusBar1), "lblLogMode");
    for (QLabel* panel : {lblLogSize, lblLogMode}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(1);  // the stretch factors alone share the width out
    }
    StatusBar1->addWidget(lblLogSize, 4);  // 80%
    StatusBar1->addWidget(lblLogMode, 1);  // 20%

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addWidget(rtfLogEntries, 1);
    layout->addLayout(controls);
    layout->addWidget(StatusBar1);

    // Enter in the find box finds; Escape closes, as Close does.
    cmdFind->setDefault(true);
    for (QPushButton* button : {cmdClear, cmdSaveAs, cmdPrint, cmdHelp, cmdCancel}) {
        button->setAutoDefault(false);
    }
    connect(cmdFind, &QPushButton::clicked, this, &frmLog::cmdFind_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmLog::cmdClear_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, [this] { m_controller.SaveAs(); });
    connect(cmdPrint, &QPushButton::clicked, this, &frmLog::cmdPrint_Click);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { m_controller.Help(); });
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { m_controller.Help(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::close);

    resize(900, 540);
    txtFind->setFocus();
    Load();
}

void frmLog::Load() {
    try {
        WaitCursor hourglass;
        const std::string text = m_controller.Load();
        ShowStatus();
        rtfLogEntries->setUpdatesEnabled(false);
        rtfLogEntries->SetLog(text, m_controller.Colouring());
        rtfLogEntries->setUpdatesEnabled(true);
    } catch (...) {
        rtfLogEntries->setUpdatesEnabled(true);
        m_reporter.ReportCurrentException("frmLog.Form_Load");
    }
}

void frmLog::ShowStatus() {
    lblLogSize->setText(QString::fromStdString(m_controller.SizeText()));
    lblLogMode->setText(QString::fromStdString(m_controller.ModeText()));
}

void frmLog::AppendLines(const std::string& lines) {
    try {
        rtfLogEntries->AppendLog(lines);
        m_controller.Appended(lines);
        ShowStatus();
    } catch (...) {
        m_reporter.ReportCurrentException("frmLog.ColorCodeText");
    }
}

void frmLog::RefreshFromLog() {
    try {
        const LogViewerController::Refresh refresh = m_controller.ReadNewEntries();
        if (refresh.reload) {
            rtfLogEntries->setUpdatesEnabled(false);
            rtfLogEntries->SetLog(refresh.text, m_controller.Colouring());
            rtfLogEntries->setUpdatesEnabled(true);
        } else if (!refresh.text.empty()) {
            rtfLogEntries->AppendLog(refresh.text);
        }
        ShowStatus();
    } catch (...) {
        rtfLogEntries->setUpdatesEnabled(true);
        m_reporter.ReportCurrentException("frmLog.Form_Load");
    }
}

void frmLog::cmdFind_Click() {
    m_controller.Find(*rtfLogEntries, FromQt(txtFind->text()), chkWholeWord->isChecked(),
                      chkMatchCase->isChecked());
}

void frmLog::cmdClear_Click() {
    if (m_controller.Clear()) {
        rtfLogEntries->setUpdatesEnabled(false);
        rtfLogEntries->SetLog(std::string(), m_controller.Colouring());
        rtfLogEntries->setUpdatesEnabled(true);
        ShowStatus();
    }
}

bool frmLog::PrintTo(QPrinter& printer) {
    try {
        return rtfLogEntries->PrintTo(printer);
    } catch (...) {
        m_reporter.ReportCurrentException("frmLog.cmdPrint_Click");
        return false;
    }
}

void frmLog::cmdPrint_Click() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    // The whole log or what is selected, as the box holds it: no page ranges to choose.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() == QDialog::Accepted) {
        (void)PrintTo(printer);
    }
}

}  // namespace duvanto
