// The restore window on the offscreen platform over real folders: a checked tree restored on
// the restore's own thread, and Escape stopping a restore while it runs.

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
    void SetCaption(const std::string& caption) override {
        if (firstCaption.empty()) {
            firstCaption = caption;  // read once the run has ended
        }
    }
    void Release() { m_release.release(); }

    std::atomic<bool> hold{false};
    std::atomic<bool> pumped{false};
    std::string firstCaption;

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
    QModelIndex Index(const QString& text, const QModelIndex& parent) const {
        SelectionTreeModel& model = window->Model();
        for (int row = 0; row < model.rowCount(parent); ++row) {
            if (model.index(row, 0, parent).data().toString() == text) {
                return model.index(row, 0, parent);
            }
        }
        return {};
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
    void ACheckedTreeIsRestoredOnItsOwnThread() {
        OpenRestore open;
        QVERIFY(open.filled);
        frmRestore& window = *open.window;
        QCOMPARE(open.Root().data().toString(), QString::fromStdString(open.first));

        // A file inside a folder opened by hand, and a file at the top.
        const QModelIndex year = open.Index(QStringLiteral("2023"), open.Root());
        window.tvwFolderContents->expand(year);
        QTRY_COMPARE(window.Model().rowCount(year), 2);
        window.tvwFolderContents->setCurrentIndex(open.Index(QStringLiteral("beach.jpg"), year));
        QTest::keyClick(window.tvwFolderContents, Qt::Key_Space);
        QVERIFY(window.Model().setData(open.Index(QStringLiteral("notes.txt"), open.Root()),
                                       Qt::Checked, Qt::CheckStateRole));

        QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 20000);
        QCOMPARE(test::ReadFile(open.source + "2023/beach.jpg"), std::string("2023/beach.jpg"));
        QCOMPARE(test::ReadFile(open.source + "notes.txt"), std::string("notes.txt"));
        QVERIFY(!fs::exists(open.source + "2023/harbour.jpg"));
        QCOMPARE(open.LastMessage(), std::string("Restore Source|Restore successfully completed."));
        QCOMPARE(open.mainWindow.firstCaption,
                 std::string("Duvanto running task: RESTORE SOURCE: Photos"));
    }

    void EscapeStopsARunningRestoreAndTheWindowWaitsForIt() {
        OpenRestore open;
        QVERIFY(open.filled);
        frmRestore& window = *open.window;
        open.mainWindow.hold = true;
        QVERIFY(window.Model().setData(open.Root(), Qt::Checked, Qt::CheckStateRole));
        QTest::mouseClick(window.cmdRestore, Qt::LeftButton);
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
