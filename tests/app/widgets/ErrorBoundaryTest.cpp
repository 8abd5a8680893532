// SPDX-License-Identifier: GPL-3.0-or-later
// Unexpected failures in the windows' commands never reach Qt's event loop: the main window's
// commands are reported under their own labels, every other window's handlers under the
// window's and the control's names, each with the "Unexpected Error" box and ERR_DETAIL.TXT,
// and the program goes on. Runs under the program's own application object.

#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "app/help/frmAbout.h"
#include "app/mainwindow/QtCommandMenus.h"
#include "app/mainwindow/QtDesktopApplication.h"
#include "app/support/AppTestSupport.h"

namespace duvanto {

namespace {

using test::MainWindowUnderTest;
using test::MainWindowWorld;

bool Holds(const std::string& file, const std::string& text) {
    return test::ReadFile(file).find(text) != std::string::npos;
}

}  // namespace

class ErrorBoundaryTest : public QObject {
    Q_OBJECT

private slots:
    void AMainWindowCommandThatFailsIsReportedUnderItsLabel() {
        MainWindowWorld world;
        MainWindowUnderTest w(world);
        w.Open();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.window.Commands().Register("mnuFileReport",
                                     {[] { throw std::length_error("report too long"); }, {}});
        QTest::keyClick(&w.window, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(w.window.mnuFile->isVisible());
        QTest::keyClick(w.window.mnuFile, Qt::Key_E);  // Cr&eate a Report of Folder Differences

        QCOMPARE(world.Titles(),
                 std::vector<std::string>{"Unexpected Error in frmDuvanto.mnuFileReport_Click"});
        QVERIFY(Holds(world.home / "ERR_DETAIL.TXT", "std::length_error: report too long"));
        // The window goes on: its menus still answer.
        QTest::keyClick(&w.window, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(w.window.mnuFile->isVisible());
        w.window.mnuFile->hide();
    }

    // Any other window: here the About box's OK button, given a handler that fails.
    void AnotherWindowsHandlerThatFailsIsReportedUnderTheWindowAndTheControl() {
        MainWindowWorld world;
        auto* application = static_cast<DesktopApplication*>(QCoreApplication::instance());
        application->SetReporter(&world.App().Reporter);
        frmAbout about(world.home.Path(), world.prompt);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QObject::connect(about.cmdOK, &QPushButton::clicked,
                         [] { throw std::runtime_error("the box fell over"); });
        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        application->SetReporter(nullptr);

        QCOMPARE(world.Titles(),
                 std::vector<std::string>{"Unexpected Error in frmAbout.cmdOK_Click"});
        QVERIFY(world.prompt.messages.shown[0].text.rfind(
                    "Error: the box fell over\r\nSource: frmAbout.cmdOK_Click\r\nNo: 5\r\n", 0) ==
                0);
        QVERIFY(Holds(world.home / "ERR_DETAIL.TXT", "std::runtime_error: the box fell over"));
    }
};

}  // namespace duvanto

int main(int argc, char** argv) {
    duvanto::DesktopApplication application(argc, argv);
    duvanto::ErrorBoundaryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ErrorBoundaryTest.moc"
