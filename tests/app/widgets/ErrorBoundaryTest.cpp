// SPDX-License-Identifier: GPL-3.0-or-later
// Unexpected failures in the windows' handlers never reach Qt's event loop: they are reported
// under the window's and the control's names, with the "Unexpected Error" box and
// ERR_DETAIL.TXT, and the program goes on (the main window's commands are reported by their
// registry, CommandRegistryTest). Runs under the program's own application object.

#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "app/help/frmAbout.h"
#include "app/mainwindow/QtDesktopApplication.h"
#include "app/support/AppTestSupport.h"

namespace duvanto {

namespace {

using test::MainWindowWorld;

bool Holds(const std::string& file, const std::string& text) {
    return test::ReadFile(file).find(text) != std::string::npos;
}

}  // namespace

class ErrorBoundaryTest : public QObject {
    Q_OBJECT

private slots:
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
