// The restore window on the offscreen platform over real folders: a checked tree restored on
// the restore's own thread, and Escape stopping a restore while it runs.

#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "app/support/TaskEditWorld.h"
#include "app/widgets/frmRestore.h"

namespace duvanto {

namespace {

namespace fs = std::filesystem;

// The main window as a run's thread sees it. Its Pump can hold the run until the test lets it
// go, so that the test acts while the restore is surely running.
class HeldMainWindow : public ITaskRunEffects {
public:
    void SetStatusText(int, const std::string&) override {}
    void Pump() override {
        std::unique_lock<std::mutex> lock(m_mutex);
        pumped = true;
        m_released.wait(lock, [this] { return !hold; });
    }
    int32_t RowCount() override { return 0; }
    std::string RowText(int32_t) override { return ""; }
    int32_t RowIcon(int32_t) override { return 0; }
    void SetRowIcon(int32_t, int32_t) override {}
    void SetRowItems(int32_t, const std::string&, const std::vector<std::string>&) override {}
    void SetCaption(const std::string& caption) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        captions.push_back(caption);
    }
    void SetTrayTooltip(const std::string&) override {}
    void SetTopLevelMenusEnabled(bool) override {}
    void SetTrayIcon(TrayIcon) override {}

    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        hold = false;
        m_released.notify_all();
    }

    bool hold = false;  // guarded by m_mutex once the run started
    std::atomic<bool> pumped{false};
    std::vector<std::string> captions;

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
};

struct OpenRestore {
    OpenRestore() : app(world.Folder("home"), world.clock, world.prompt, runFileSystem) {
        target = world.Folder("Backup/Photos");
        source = world.temp / "gone/Photos/";
        for (const char* file :
             {"2023/beach.jpg", "2023/harbour.jpg", "2024/snow.jpg", "notes.txt"}) {
            test::WriteFile(target + file, file);
        }
        cCloneTask task;
        task.TaskName = "Photos";
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = target + "<:>" + world.Folder("Elsewhere");
        std::optional<cRestore> restore = RestoreController::Prepare(app, &task);
        controller = std::make_unique<RestoreController>(app, *restore, world.Services());
        window = std::make_unique<frmRestore>(*controller, &mainWindow);
        window->show();
        exposed = QTest::qWaitForWindowExposed(window.get());
        filled = QTest::qWaitFor([this] { return !window->Model().Reading(); });
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

    test::TaskEditWorld world;
    PosixFileSystem runFileSystem;
    Application app;
    HeldMainWindow mainWindow;
    std::string target, source;
    std::unique_ptr<RestoreController> controller;
    std::unique_ptr<frmRestore> window;
    bool exposed = false;
    bool filled = false;
};

}  // namespace

class frmRestoreTest : public QObject {
    Q_OBJECT

private slots:
    void ACheckedTreeIsRestoredOnItsOwnThread() {
        OpenRestore open;
        QVERIFY(open.exposed && open.filled);
        frmRestore& window = *open.window;
        QCOMPARE(window.windowTitle(), QStringLiteral("RESTORE SOURCE: Photos"));
        QCOMPARE(open.Root().data().toString(), QString::fromStdString(open.target));
        QVERIFY(window.tvwFolderContents->isExpanded(open.Root()));

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
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(test::ReadFile(open.source + "2023/beach.jpg"), std::string("2023/beach.jpg"));
        QCOMPARE(test::ReadFile(open.source + "notes.txt"), std::string("notes.txt"));
        QVERIFY(!fs::exists(open.source + "2023/harbour.jpg"));
        QVERIFY(!fs::exists(open.source + "2024"));
        QCOMPARE(open.world.Titles(), std::vector<std::string>{"Restore Source"});
        QCOMPARE(open.world.prompt.messages.shown[0].text,
                 std::string("Restore successfully completed."));
        QCOMPARE(open.mainWindow.captions.front(),
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
        QCOMPARE(open.world.prompt.messages.shown.back().text,
                 std::string("Restore cancelled by user"));
        QVERIFY(!fs::exists(open.source + "notes.txt"));
        QVERIFY(open.app.RestoreInProgress);
        open.window.reset();
        open.controller.reset();
        QVERIFY(!open.app.RestoreInProgress);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::frmRestoreTest)
#include "frmRestoreTest.moc"
