// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's work beside its runs, on the offscreen platform: a deleted file restored
// through the restore window while other runs wait, the restore window started by keyboard and
// stopped by Escape, the report made on its worker and opened in the (recording) browser, and a
// log viewer that shows a run ended while it was open.

#include <QtTest>
#include <atomic>
#include <filesystem>
#include <semaphore>
#include <thread>

#include "app/log/frmLog.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/mainwindow/frmDuvanto.h"
#include "app/restore/frmRestore.h"
#include "app/runs/QtFileMenuJobs.h"
#include "app/support/AppTestSupport.h"
#include "app/support/RestoreWorld.h"

namespace duvanto {

namespace {

using test::MainWindowWorld;

cCloneTask Photos(MainWindowWorld& world) {
    cCloneTask task = test::MakeTask("Photos");
    task.SourceFolderSpec = world.home / "Pictures/";
    task.TargetFolderSpec = world.home / "Backup/<:>" + world.home / "Mirror/";
    test::WriteFile(world.home / "Pictures/kept.jpg", "kept");
    test::WriteFile(world.home / "Backup/kept.jpg", "kept");
    test::WriteFile(world.home / "Backup/lost.jpg", "the only copy");
    test::WriteFile(world.home / "Mirror/lost.jpg", "from the second Target");
    return task;
}

// The main window over the Photos task, its row selected.
struct ShownWindow : test::MainWindowUnderTest {
    ShownWindow(MainWindowWorld& world, const cCloneTask& task) : MainWindowUnderTest(world) {
        world.SaveTasks({task});
        Open();
        window.lvwTasks->setCurrentIndex(window.Model().index(0, 0));
    }
};

namespace fs = std::filesystem;

struct OpenRestore : test::RestoreWorld {
    OpenRestore() : controller(Open()) {
        window = std::make_unique<frmRestore>(*controller);
        window->show();
        filled = QTest::qWaitForWindowExposed(window.get()) &&
                 QTest::qWaitFor([this] { return !window->Model().Reading(); });
    }
    QModelIndex Root() const { return window->Model().index(0, 0); }
    // The run's first log entry waits until the test lets it go, so that the test acts while
    // the restore surely runs.
    void HoldRun() { app.CloneLog.SetObserver(&holder); }

    struct Holder : ICloneLogObserver {
        void EntryAdded(const std::string&, LogLineKind) override {
            if (!held.exchange(true)) {
                release.acquire();
            }
        }
        std::atomic<bool> held{false};
        std::binary_semaphore release{0};
    } holder;
    std::unique_ptr<RestoreController> controller;
    std::unique_ptr<frmRestore> window;
    bool filled = false;
};

}  // namespace

class MainWindowJobsTest : public QObject {
    Q_OBJECT

private slots:
    // What is restored, and how, is the restore controller's test, and the window's keys the
    // next test's. Here the command opens the window, which holds other runs while open.
    void RestoreOpensTheWindowThatHoldsOtherRunsWhileOpen() {
        MainWindowWorld world;
        ShownWindow w(world, Photos(world));
        bool opened = false;
        connect(&w.window.FileJobs(), &FileMenuJobs::RestoreOpened, this, [&](QWidget* shown) {
            opened = true;
            auto* restore = qobject_cast<frmRestore*>(shown);
            QVERIFY(restore != nullptr);
            QCOMPARE(restore->windowTitle(), QStringLiteral("RESTORE SOURCE: Photos"));
            QVERIFY(world.App().RestoreInProgress);
            QVERIFY(!w.window.StartRun("Photos", false));
            QTRY_VERIFY(!restore->Model().Reading());
            QVERIFY(restore->Model().setData(restore->Model().index(0, 0), Qt::Checked,
                                             Qt::CheckStateRole));
            QTest::mouseClick(restore->cmdRestore, Qt::LeftButton);
        });
        w.window.Commands().Invoke("mnuFileRestore");
        QVERIFY(opened);
        QCOMPARE(test::ReadFile(world.home / "Pictures/lost.jpg"), std::string("the only copy"));
        QVERIFY(!world.App().RestoreInProgress);
        QVERIFY(w.window.mnuFile->menuAction()->isEnabled());
    }

    void TheReportIsMadeOnItsOwnThreadAndOpensInTheBrowser() {
        MainWindowWorld world;
        ShownWindow w(world, Photos(world));
        QSignalSpy finished(&w.window.FileJobs(), &FileMenuJobs::ReportFinished);
        w.window.Commands().Invoke("mnuFileReport");
        QVERIFY(w.window.FileJobs().ReportRunning() || finished.count() == 1);
        QVERIFY(finished.wait(20000) || finished.count() == 1);
        QVERIFY(!w.window.FileJobs().ReportRunning());
        const QString page = finished.at(0).at(0).toString();
        QVERIFY(page.endsWith(QStringLiteral(".html")));
        QCOMPARE(w.opened, QList<QUrl>{QUrl::fromLocalFile(page)});
        // The report is made by then: whatever the browser does, the bar no longer says so.
        QCOMPARE(w.statusWhenOpened, QStringList{QString()});
        QVERIFY(test::ReadFile(page.toStdString()).find(world.home / "Pictures/lost.jpg") !=
                std::string::npos);
        QCOMPARE(w.window.sbrPanel1->text(), QString());
        std::filesystem::remove(page.toStdString());
    }

    // The window closing while a report is made waits for it, and opens no page any more.
    void AReportStillBeingMadeWhenTheWindowGoesOpensNothing() {
        MainWindowWorld world;
        world.SaveTasks({Photos(world)});
        QList<QUrl> opened;
        auto window = std::make_unique<frmDuvanto>(MainWindowSetup{
            world.Started(), world.prompt, false,
            RunAtLoginSetup{{world.home / "autostart/", world.home / "xdg/"}, "/opt/duvanto", ""},
            [&opened](const QUrl& url) { opened << url; }, [] { return false; }});
        window->Load();
        window->RestoreMainWindow();
        window->lvwTasks->setCurrentIndex(window->Model().index(0, 0));
        window->Commands().Invoke("mnuFileReport");
        QVERIFY(window->FileJobs().ReportRunning());
        window.reset();
        QVERIFY(opened.isEmpty());
        QVERIFY(world.prompt.messages.shown.empty());
    }

    // Entries written on another thread show before they reach the file; a run that ends while
    // the viewer is open shows its entries once, fed as it wrote them and read from the file.
    void AnOpenLogViewerFollowsOtherThreadsAndARunThatEnded() {
        MainWindowWorld world;
        cCloneTask task = Photos(world);
        task.TargetFolderSpec = world.home / "Mirror/";
        ShownWindow w(world, task);
        w.window.Commands().Invoke("mnuLogView");
        QPointer<frmLog> viewer = w.window.LogViewer();
        QVERIFY(viewer != nullptr);
        cCloneLog& log = world.App().CloneLog;
        std::thread writer([&log] { log.Add({.Type = Begin, .TaskName = "Live"}); });
        writer.join();
        QVERIFY(log.GetLogEntriesFromFile().find("Live") == std::string::npos);
        QTRY_VERIFY(viewer->rtfLogEntries->toPlainText().contains(QStringLiteral("<Begin: Live>")));

        QVERIFY(w.window.StartRun("Photos", false));
        QVERIFY(w.window.WaitForRun(20000));
        QTRY_VERIFY(viewer->rtfLogEntries->toPlainText().contains(QStringLiteral("<End: Photos>")));
        const QString shown = viewer->rtfLogEntries->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("kept.jpg")));
        QCOMPARE(shown.count(QStringLiteral("<Begin: Live>")), 1);
        QCOMPARE(shown.count(QStringLiteral("<End: Photos>")), 1);
        viewer->close();
        QTRY_VERIFY(viewer.isNull());
        QVERIFY(w.window.LogViewer() == nullptr);
        log.Add({.Type = Begin, .TaskName = "After the viewer"});  // nobody listens: no crash
    }

    void ARestoreStartedByKeyboardStopsOnEscapeAndTheWindowWaitsForIt() {
        OpenRestore open;
        QVERIFY(open.filled);
        frmRestore& window = *open.window;
        QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(open.world.help.shown, std::vector<int>{HelpRestore});
        open.HoldRun();
        // The whole Target checked by Space, and Alt+R.
        window.tvwFolderContents->setCurrentIndex(open.Root());
        QTest::keyClick(window.tvwFolderContents, Qt::Key_Space);
        QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(open.holder.held);
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
        open.holder.release.release();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 20000);
        QCOMPARE(open.LastMessage(), std::string("Restore Source|Restore cancelled by user"));
        QVERIFY(!fs::exists(open.source + "notes.txt"));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::MainWindowJobsTest)
#include "MainWindowJobsTest.moc"
