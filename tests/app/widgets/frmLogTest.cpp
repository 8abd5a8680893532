// SPDX-License-Identifier: GPL-3.0-or-later
// The log viewer on the offscreen platform: the colours it shows, the size limit, Find, the
// live feed, Clear and printing to a PDF file.

#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/help/HelpTopics.h"
#include "app/log/frmLog.h"
#include "support/FakeAppPrompt.h"
#include "support/RecordingHelpViewer.h"
#include "support/ScopedLocale.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

// A run with an error, a file whose name is not ASCII (one UTF-16 unit, two bytes) before it,
// and its begin and end entries.
const std::string kLog =
    "12/4/2003 4:38:16 PM<Begin: Nightly>\r\n"
    "12/4/2003 4:38:16 PM - Copied: B\xC3\xA4ume.txt from /s/ to /t/\r\n"
    "12/4/2003 4:38:17 PM *Copy Error: 13 Permission denied b.txt from /s/ to /t/\r\n"
    "12/4/2003 4:38:18 PM<End: Nightly> {All Activity Logged}\r\n\r\n";

// The objects the viewer works with, around a log file.
struct Viewer {
    explicit Viewer(const std::string& text, int32_t maxSize = cCloneLog::kDefaultMaxLogFileSize) {
        log.MaxLogFileSize(maxSize);
        test::WriteFile(log.LogFileSpec(), text);
        form = std::make_unique<frmLog>(log, prompt, reporter, &help, flags);
        form->show();
        exposed = QTest::qWaitForWindowExposed(form.get());
    }

    QString Shown() const { return form->rtfLogEntries->toPlainText(); }
    // The colour of every character of `what` (found in the shown text), or invalid when they
    // differ.
    QColor ColourOf(const QString& what, int from = 0) const {
        const int at = Shown().indexOf(what, from);
        if (at < 0) {
            return QColor(Qt::green);
        }
        const QColor first = form->rtfLogEntries->ColourAt(at);
        for (int i = at; i < at + what.size(); ++i) {
            if (form->rtfLogEntries->ColourAt(i) != first) {
                return QColor(Qt::yellow);
            }
        }
        return first;
    }

    test::ScopedTimeLocale locale{"C"};
    test::TempDir dir;
    test::FakeAppPrompt prompt;
    test::FixedClock clock{37959.6932407407};
    PosixFileSystem fileSystem;
    ErrorReporter reporter{dir.Path(), prompt, clock, fileSystem};
    cCloneLog log{dir.Path(), clock, reporter, prompt, fileSystem};
    RunFlags flags;
    test::RecordingHelpViewer help;
    std::unique_ptr<frmLog> form;
    bool exposed = false;
};

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kPlain;

// A log too large to go into the box at once (some 1.2 MB, several pieces of older lines):
// numbered copies, two failed copies in every hundred (one near the top, one near the end), one
// run's begin first and another's end last.
std::string LargeLog() {
    std::string text = "12/4/2003 4:38:16 PM<Begin: First>\r\n";
    for (int i = 0; i < 20000; ++i) {
        const std::string file = "file-" + std::to_string(i) + ".txt";
        text += i % 100 == 1 || i % 100 == 98
                    ? "12/4/2003 4:38:17 PM *Copy Error: 13 Permission denied " + file +
                          " from /s/ to /t/\r\n"
                    : "12/4/2003 4:38:17 PM - Copied: " + file + " from /s/ to /t/\r\n";
    }
    return text + "12/4/2003 4:38:18 PM<End: Last> {All Activity Logged}\r\n\r\n";
}

QString WithoutCarriageReturns(const std::string& text) {
    return QString::fromStdString(text).remove(QLatin1Char('\r'));
}

// A printer that writes a PDF file.
std::unique_ptr<QPrinter> PdfPrinter(const std::string& file) {
    auto printer = std::make_unique<QPrinter>();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(file));
    return printer;
}

QString SizeText(std::size_t bytes) {
    return QStringLiteral("Current log size = %1 bytes").arg(bytes);
}

// Pages of a PDF file written by Qt: one page object each.
int PdfPages(const QString& file) {
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray bytes = pdf.readAll();
    if (!bytes.startsWith("%PDF-")) {
        return -1;
    }
    return static_cast<int>(bytes.count("/Type /Page\n"));
}

}  // namespace

class frmLogTest : public QObject {
    Q_OBJECT

private slots:
    void ErrorNamesAreRedAndTaskEntriesBlue() {
        Viewer v(kLog);
        QVERIFY(v.exposed);
        QCOMPARE(v.form->windowTitle(), QStringLiteral("Clone Log"));
        QVERIFY(v.prompt.messages.shown.empty());
        QCOMPARE(v.form->lblLogMode->text(), QStringLiteral("Log All Activity"));
        QCOMPARE(v.ColourOf(QStringLiteral("<Begin: Nightly>")), kBlue);
        QCOMPARE(v.ColourOf(QStringLiteral("*Copy Error:")), kRed);
        for (const QString& plain :
             {QStringLiteral("12/4/2003 4:38:16 PM"), QStringLiteral(" - Copied: B\u00e4ume.txt"),
              QStringLiteral(" 13 Permission denied"), QStringLiteral(" {All Activity Logged}")}) {
            QCOMPARE(v.ColourOf(plain), kPlain);
        }
        // The caret waits at the end, with the newest entries in view.
        QCOMPARE(v.form->rtfLogEntries->textCursor().position(), v.Shown().size());
        QCOMPARE(v.form->txtFind->text(), QStringLiteral("Error"));
    }

    // Where colouring stops, and what the user is told, is the controller's test.
    void ALogAtTheResetSizeIsShownUncoloured() {
        Viewer at(kLog, static_cast<int32_t>(kLog.size()));
        QCOMPARE(at.ColourOf(QStringLiteral("*Copy Error:")), kPlain);
        QCOMPARE(at.ColourOf(QStringLiteral("<Begin: Nightly>")), kPlain);
        QCOMPARE(at.Shown(), WithoutCarriageReturns(kLog));
    }

    void FindSelectsTheMatchAfterAskingToStartOver() {
        Viewer v(kLog);
        v.form->txtFind->setText(QStringLiteral("copy error"));
        v.prompt.messages.answers = {MessageAnswer::Yes};
        QTest::keyClick(v.form->txtFind, Qt::Key_Return);  // Enter finds
        QCOMPARE(v.form->rtfLogEntries->textCursor().selectedText(), QStringLiteral("Copy Error"));

        v.form->chkMatchCase->setChecked(true);
        v.form->txtFind->setText(QStringLiteral("Nightly"));
        v.form->cmdFind->click();  // from just after "Copy Error": the End entry's name
        QCOMPARE(v.form->rtfLogEntries->textCursor().selectionStart(),
                 v.Shown().indexOf(QStringLiteral("<End: Nightly>")) + 6);
        v.form->chkWholeWord->setChecked(true);
        v.form->txtFind->setText(QStringLiteral("Nightl"));
        v.prompt.messages.answers = {MessageAnswer::Yes};
        v.form->cmdFind->click();
        QCOMPARE(v.prompt.messages.shown.back().text, std::string("No match found."));
    }

    void LinesFedWhileOpenAreShownAndColouredWithoutReloading() {
        Viewer v(kLog);
        test::WriteFile(v.log.LogFileSpec(), "");  // the view must not read the file again
        const std::string first =
            "12/4/2003 4:39:00 PM<Begin: Weekly>\r\n12/4/2003 4:39:01 PM *Delete Err";
        const std::string second = "or: 2 gone x from /t/\r\n";
        v.form->AppendLines(first);
        QCOMPARE(v.ColourOf(QStringLiteral("<Begin: Weekly>")), kBlue);
        QCOMPARE(v.ColourOf(QStringLiteral("*Delete Err")), kPlain);  // not closed yet
        v.form->AppendLines(second);
        QCOMPARE(v.ColourOf(QStringLiteral("*Delete Error:")), kRed);
        QCOMPARE(v.ColourOf(QStringLiteral("*Copy Error:")), kRed);
        QVERIFY(v.Shown().startsWith(QStringLiteral("12/4/2003 4:38:16 PM<Begin: Nightly>\n")));
        QCOMPARE(v.form->lblLogSize->text(), SizeText(kLog.size() + first.size() + second.size()));
        QVERIFY(v.form->rtfLogEntries->textCursor().atEnd());
    }

    void ARunEndedWhileOpenIsReadFromTheFileAndANewLogReplacesTheShownOne() {
        Viewer v(kLog);
        v.form->RefreshFromLog();  // nothing new: nothing changes
        QCOMPARE(v.Shown().count(QStringLiteral("<Begin: Nightly>")), 1);

        const std::string run =
            "12/4/2003 4:40:00 PM<Begin: Weekly>\r\n"
            "12/4/2003 4:40:01 PM *Delete Error: 2 gone x from /t/\r\n";
        test::WriteFile(v.log.LogFileSpec(), kLog + run);
        v.form->RefreshFromLog();
        QVERIFY(v.Shown().startsWith(QStringLiteral("12/4/2003 4:38:16 PM<Begin: Nightly>\n")));
        QCOMPARE(v.Shown().count(QStringLiteral("<Begin: Nightly>")), 1);
        QCOMPARE(v.ColourOf(QStringLiteral("*Delete Error:")), kRed);
        QCOMPARE(v.form->lblLogSize->text(), SizeText(kLog.size() + run.size()));

        // Reset for its size and written again, longer than before: not taken for an append.
        const std::string fresh(kLog.size() + run.size() + 10, 'x');
        test::WriteFile(v.log.LogFileSpec(), fresh + "\r\n");
        v.form->RefreshFromLog();
        QVERIFY(!v.Shown().contains(QStringLiteral("Nightly")));
        QVERIFY(v.Shown().startsWith(QStringLiteral("xxxx")));
        QCOMPARE(v.form->lblLogSize->text(), SizeText(fresh.size() + 2));
        // Cleared from outside: the box empties.
        test::WriteFile(v.log.LogFileSpec(), "");
        v.form->RefreshFromLog();
        QCOMPARE(v.Shown(), QString());
        QVERIFY(v.prompt.messages.shown.empty());
    }

    void ClearEmptiesTheFileAndTheBoxUnlessACloneRuns() {
        Viewer v(kLog);
        v.flags.CloneInProgress = true;
        v.form->cmdClear->click();
        QVERIFY(!v.Shown().isEmpty());

        v.flags.CloneInProgress = false;
        v.form->cmdClear->click();
        QVERIFY(v.Shown().isEmpty());
        QCOMPARE(v.form->lblLogSize->text(), SizeText(0));
        v.form->AppendLines("12/4/2003 4:40:00 PM *Copy Error: 5 x\r\n");  // the next run
        QCOMPARE(v.ColourOf(QStringLiteral("*Copy Error:")), kRed);
        QTest::keyClick(v.form.get(), Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(v.help.shown, std::vector<int>{HelpLogViewer});
    }

    void ALargeLogOpensOnItsNewestLinesAndTakesInTheOlderOnesAfter() {
        const std::string log = LargeLog();
        Viewer v(log, 20000000);
        LogTextView* box = v.form->rtfLogEntries;
        QVERIFY(box->Loading());
        const QString whole = WithoutCarriageReturns(log);
        QVERIFY(v.Shown().size() < whole.size());
        QVERIFY(whole.endsWith(v.Shown()) && v.Shown().startsWith(QStringLiteral("12/4/2003")));
        QCOMPARE(v.ColourOf(QStringLiteral("<End: Last>")), kBlue);
        const QString top = box->cursorForPosition(QPoint(2, 2)).block().text();

        QTRY_VERIFY_WITH_TIMEOUT(!box->Loading(), 20000);
        QCOMPARE(v.Shown(), whole);
        // The same lines stay in view, the caret at the end, while the older lines come in.
        QCOMPARE(box->cursorForPosition(QPoint(2, 2)).block().text(), top);
        QVERIFY(box->textCursor().atEnd());
        // Coloured where they are in the whole text, not where they were in the first part.
        const int last = v.Shown().lastIndexOf(QStringLiteral("*Copy Error:"));
        QCOMPARE(v.ColourOf(QStringLiteral("*Copy Error:"), last), kRed);
        QCOMPARE(v.ColourOf(QStringLiteral(" 13 Permission denied"), last), kPlain);
        box->verticalScrollBar()->setValue(0);
        QCOMPARE(v.ColourOf(QStringLiteral("<Begin: First>")), kBlue);
        QCOMPARE(v.ColourOf(QStringLiteral("*Copy Error:")), kRed);
        QCOMPARE(v.ColourOf(QStringLiteral(" - Copied: file-0.txt")), kPlain);
    }

    void FindAndNewEntriesWhileTheOlderLinesAreStillComingIn() {
        const std::string log = LargeLog();
        Viewer v(log, 20000000);
        QVERIFY(v.form->rtfLogEntries->Loading());
        const std::string entry = "12/4/2003 4:39:00 PM *Delete Error: 2 gone x from /t/\r\n";
        v.form->AppendLines(entry);
        QCOMPARE(v.ColourOf(QStringLiteral("*Delete Error:")), kRed);

        // Only the older lines name the first run: Find takes them in and selects it there.
        v.form->txtFind->setText(QStringLiteral("First"));
        v.prompt.messages.answers = {MessageAnswer::Yes};
        v.form->cmdFind->click();
        QVERIFY(!v.form->rtfLogEntries->Loading());
        QCOMPARE(v.prompt.messages.shown.size(), std::size_t{1});  // asked to start over
        QCOMPARE(v.Shown(), WithoutCarriageReturns(log + entry));
        QCOMPARE(v.form->rtfLogEntries->textCursor().selectionStart(),
                 v.Shown().indexOf(QStringLiteral("First")));
        QCOMPARE(v.ColourOf(QStringLiteral("*Delete Error:")), kRed);
    }

    void PrintsTheLogOrTheSelectionToAPdfFile() {
        std::string longLog;
        for (int i = 0; i < 150; ++i) {
            longLog += kLog;
        }
        Viewer v(longLog, 10000000);
        // Only what comes into view is coloured; the top is reached by scrolling.
        QCOMPARE(v.ColourOf(QStringLiteral("<End: Nightly>"), v.Shown().size() - 100), kBlue);
        QCOMPARE(v.form->rtfLogEntries->ColourAt(21), kPlain);
        v.form->rtfLogEntries->verticalScrollBar()->setValue(0);
        QCOMPARE(v.ColourOf(QStringLiteral("<Begin: Nightly>")), kBlue);

        const auto print = [&v](const char* name) {
            v.form->PrintTo(*PdfPrinter(v.dir / name));
            return QString::fromStdString(v.dir / name);
        };
        const QString whole = print("whole.pdf");
        QVERIFY2(PdfPages(whole) > 5, qPrintable(QString::number(PdfPages(whole))));

        v.form->txtFind->setText(QStringLiteral("Permission"));
        v.prompt.messages.answers = {MessageAnswer::Yes};
        v.form->cmdFind->click();
        const QString selection = print("selection.pdf");
        QCOMPARE(PdfPages(selection), 1);
        QVERIFY(QFileInfo(selection).size() < QFileInfo(whole).size());
        QVERIFY(v.prompt.messages.shown.size() == 1);  // the wrap question, no failure
    }

    // Printing a large log takes a while: the program answers meanwhile (a timer, as the
    // scheduler's, goes on ticking), a progress window shows how far it is, and its Cancel
    // stops the printing.
    void PrintingALargeLogAnswersEventsAndCanBeCancelled() {
        std::string log = LargeLog();
        log += log;
        Viewer v(log, 100000000);
        const auto progress = [&v] {
            return v.form->findChild<QProgressDialog*>(QStringLiteral("frmPrintProgress"));
        };

        int ticks = 0;
        bool progressShown = false;
        QTimer scheduler;
        scheduler.setInterval(10);
        QObject::connect(&scheduler, &QTimer::timeout, [&] {
            ++ticks;
            progressShown = progressShown || (progress() != nullptr && progress()->isVisible());
        });
        scheduler.start();
        QVERIFY(v.form->PrintTo(*PdfPrinter(v.dir / "whole.pdf")));
        scheduler.stop();
        QVERIFY2(ticks >= 2, qPrintable(QString::number(ticks)));
        QVERIFY(progressShown);
        QVERIFY(progress() == nullptr);  // gone with its job
        const int pages = PdfPages(QString::fromStdString(v.dir / "whole.pdf"));
        QVERIFY2(pages > 100, qPrintable(QString::number(pages)));

        // Cancel as soon as the window shows.
        QTimer canceller;
        canceller.setInterval(0);
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            if (progress() != nullptr && progress()->isVisible()) {
                auto* cancel = progress()->findChild<QPushButton*>();
                QVERIFY(cancel != nullptr);
                QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
                cancel->click();
            }
        });
        canceller.start();
        QVERIFY(!v.form->PrintTo(*PdfPrinter(v.dir / "cancelled.pdf")));
        canceller.stop();
        QVERIFY(PdfPages(QString::fromStdString(v.dir / "cancelled.pdf")) < pages);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::frmLogTest)
#include "frmLogTest.moc"
