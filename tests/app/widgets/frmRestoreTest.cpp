// The restore window on the offscreen platform over real folders: a restore started by keyboard
// and stopped by Escape while it runs. A restore that completes is MainWindowJobsTest's.

#include <QtTest>
#include <atomic>
#include <filesystem>
#include <semaphore>

#include "app/support/RestoreWorld.h"
#include "app/widgets/frmRestore.h"

namespace duvanto {

namespace {

namespace fs = std::filesystem;

// The main window as a run's thread sees it. Held, its first Pump stops the run until the test
// lets it go, so that the test acts while the restore surely runs.
class HeldMainWindow : public test::QuietRunEffects {
public:
    void Pump() override {
        if (hold.exchange(false)) {
            pumped = true;
            m_release.acquire();
        }
    }
    void Release() { m_release.release(); }

    std::atomic<bool> hold{false};
    std::atomic<bool> pumped{false};

private:
    std::binary_semaphore m_release{0};
};

struct OpenRestore : test::RestoreWorld {
    OpenRestore() : controller(Open()) {
        window = std::make_unique<frmRestore>(*controller, &mainWindow);
        window->show();
        filled = QTest::qWaitForWindowExposed(window.get()) &&
                 QTest::qWaitFor([this] { return !window->Model().Reading(); });
    }
    QModelIndex Root() const { return window->Model().index(0, 0); }

    HeldMainWindow mainWindow;
    std::unique_ptr<RestoreController> controller;
    std::unique_ptr<frmRestore> window;
    bool filled = false;
};

}  // namespace

class frmRestoreTest : public QObject {
    Q_OBJECT

private slots:
    void ARestoreStartedByKeyboardStopsOnEscapeAndTheWindowWaitsForIt() {
        OpenRestore open;
        QVERIFY(open.filled);
        frmRestore& window = *open.window;
        QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(open.world.help.shown, std::vector<int>{HelpRestore});
        open.mainWindow.hold = true;
        // The whole Target checked by Space, and Alt+R.
        window.tvwFolderContents->setCurrentIndex(open.Root());
        QTest::keyClick(window.tvwFolderContents, Qt::Key_Space);
        QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(open.mainWindow.pumped);
        QTRY_VERIFY(!window.cmdRestore->isEnabled());
        QVERIFY(!window.cmdCancel->isEnabled() && !window.cmdHelp->isEnabled());
        QCOMPARE(window.lblStatus->text(),
                 QStringLiteral("Restore in Progress. Press ESC to Cancel..."));
        QTRY_VERIFY(window.prgProgress->isVisible());

        // The close box and Escape in the tree ask the run to stop; the window stays.
        QVERIFY(!window.close());
        QTest::keyClick(window.tvwFolderContents, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(open.app.Flags.EscPressed);
        open.mainWindow.Release();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 20000);
        QCOMPARE(open.LastMessage(), std::string("Restore Source|Restore cancelled by user"));
        QVERIFY(!fs::exists(open.source + "notes.txt"));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::frmRestoreTest)
#include "frmRestoreTest.moc"
