// SPDX-License-Identifier: GPL-3.0-or-later
// Runs from the main window on real temporary folders: the File menu's commands, the order
// window, the window's state while a run lasts, the confirmation window for the run's worker,
// Escape, the end of the session under a run blocked in a question, and the scheduler's runs.
// The window's work beside its runs: a deleted file restored through the restore window while
// other runs wait, the restore window started by keyboard and stopped by Escape, the report made
// on its worker and opened in the (recording) browser, and a log viewer that shows a run ended
// while it was open.

#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <semaphore>
#include <thread>

#include "app/log/frmLog.h"
#include "app/mainwindow/QtCommandMenus.h"
#include "app/mainwindow/QtSystemTray.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/mainwindow/TaskColumns.h"
#include "app/mainwindow/frmDuvanto.h"
#include "app/restore/frmRestore.h"
#include "app/runs/QtFileMenuJobs.h"
#include "app/runs/QtMainWindowRuns.h"
#include "app/runs/frmConfirmChanges.h"
#include "app/runs/frmOrderTasks.h"
#include "app/support/AppTestSupport.h"
#include "app/support/RestoreWorld.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

using test::kOneMinute;
using test::kWorldNow;
using test::MainWindowWorld;
using test::MakeTask;

const std::vector<std::string> kSixFiles = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"};

// The names in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (std::filesystem::exists(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct RunWindow {
    // Tasks named as given, each with a Source of six files and an empty Target of its own.
    explicit RunWindow(const std::vector<std::string>& names, bool confirm = false,
                       int32_t interval = IntervalManual) {
        std::vector<cCloneTask> tasks;
        for (const std::string& name : names) {
            for (const std::string& file : kSixFiles) {
                test::WriteFile(Source(name) + file, name + " " + file);
            }
            QVERIFY(CreateFolderPath(world.fileSystem, Target(name)).ok());
            cCloneTask task = MakeTask(name, interval, kWorldNow - kOneMinute);
            task.SourceFolderSpec = Source(name);
            task.TargetFolderSpec = Target(name);
            tasks.push_back(task);
        }
        world.SaveTasks(tasks);
        world.App().Settings.ConfirmSyncActions = confirm;
        window = &ui.emplace(world).window;
        window->Load();
        QObject::connect(&Runs(), &MainWindowRuns::RunApplied,
                         [this](const QString& name) { applied << name; });
        QObject::connect(&Runs().Confirmation(), &QtConfirmChanges::Opening,
                         [this](frmConfirmChanges* opened) {
                             ++openings;
                             // Inside the window's own loop, once it is shown.
                             QTimer::singleShot(0, opened, [this, opened] {
                                 if (onConfirm) {
                                     onConfirm(*opened);
                                 }
                             });
                         });
    }

    std::string Source(const std::string& name) { return world.home / ("src-" + name + "/"); }
    std::string Target(const std::string& name) { return world.home / ("dst-" + name + "/"); }
    MainWindowRuns& Runs() { return window->Runs(); }
    int Row(const std::string& name) { return window->Model().RowOf(QString::fromStdString(name)); }
    void Select(const std::string& name) {
        window->lvwTasks->setCurrentIndex(window->Model().index(Row(name), 0));
    }
    void Check(const std::string& name) {
        window->Model().setData(window->Model().index(Row(name), 0), Qt::Checked,
                                Qt::CheckStateRole);
    }
    std::string Log() { return test::ReadFile(world.home / "clone.log"); }

    MainWindowWorld world;
    std::optional<test::MainWindowUnderTest> ui;
    frmDuvanto* window = nullptr;
    QStringList applied;
    int openings = 0;
    std::function<void(frmConfirmChanges&)> onConfirm;
};

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

class MainWindowRunsTest : public QObject {
    Q_OBJECT

private slots:
    void RunSelectedFromTheFileMenuClonesAndUpdatesTheRow() {
        RunWindow w({"Photos", "Mail"});
        const QString lastRunBefore = w.window->Model().Text(w.Row("Photos"), kLastRunColumn);
        w.Select("Photos");
        emit w.window->mnuFile->aboutToShow();
        FindCommandAction(w.window->mnuFile, QStringLiteral("mnuFileRunSelected"))->trigger();
        QTRY_COMPARE(w.applied, QStringList{QStringLiteral("Photos")});
        QCOMPARE(w.window->sbrPanel1->text(), QStringLiteral("Clone Complete - Photos"));
        QCOMPARE(w.window->sbrPanel2->text(), QString());
        QCOMPARE(FilesIn(w.Target("Photos")), kSixFiles);
        // The row shows the run: its Last Run moved on, its icon is the normal one.
        QVERIFY(w.window->Model().Text(w.Row("Photos"), kLastRunColumn) != lastRunBefore);
        QCOMPARE(w.window->Model().RowIcon(w.Row("Photos")), int(ImageSheepFolder));
        QVERIFY(w.window->mnuFile->menuAction()->isEnabled());
        QVERIFY(w.Runs().ProgressBar()->isHidden());
        QVERIFY(w.world.prompt.messages.shown.empty());
    }

    void TheEscapeHintStaysWholeBesideTheProgressBar() {
        RunWindow w({"Photos"});
        w.window->RestoreMainWindow();
        w.window->resize(640, 400);
        const QString text = QStringLiteral(
            "Cloning folder \"/home/someone/Pictures/2026/Holidays in the mountains/Day 3/\".  "
            "Press ESC to Cancel...");
        w.window->SetStatusText(1, text.toStdString());
        w.Runs().ProgressBar()->show();
        QApplication::processEvents();

        StatusPanel* panel = w.window->sbrPanel1;
        QCOMPARE(panel->text(), text);
        const QString shown = panel->ShownText();
        QVERIFY2(shown.endsWith(QStringLiteral("\".  Press ESC to Cancel...")), qPrintable(shown));
        // The folder loses its middle, not the phase.
        QVERIFY2(shown.startsWith(QStringLiteral("Cloning ")), qPrintable(shown));
        QVERIFY(panel->fontMetrics().horizontalAdvance(shown) <= panel->contentsRect().width());
        QVERIFY(panel->geometry().right() < w.Runs().ProgressBar()->geometry().left());
    }

    // Escape cancels a run from anywhere in the window, not only from the task list.
    void EscapeAnywhereInTheWindowCancelsTheRun() {
        RunWindow w({"Photos"});
        w.window->RestoreMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window));
        w.window->sbrPanel1->setFocus();
        RunFlags& flags = w.world.App().Flags;
        QTest::keyClick(w.window->sbrPanel1, Qt::Key_Escape);
        QVERIFY(!flags.EscPressed);  // no run to cancel
        flags.CloneInProgress = true;
        QTest::keyClick(w.window->sbrPanel1, Qt::Key_Escape);
        QVERIFY(flags.EscPressed);
        flags.CloneInProgress = false;
        flags.EscPressed = false;
    }

    void TheOrderWindowDecidesWhichTasksRunAndInWhatOrder() {
        RunWindow w({"Mail", "Music", "Photos"});
        for (const char* name : {"Mail", "Music", "Photos"}) {
            w.Check(name);
        }
        QTimer::singleShot(0, [&] {
            auto* order = qobject_cast<frmOrderTasks*>(QApplication::activeModalWidget());
            QVERIFY(order != nullptr);
            order->lstTasks->setCurrentRow(1);  // Music out
            QTest::mouseClick(order->cmdRemove, Qt::LeftButton);
            order->lstTasks->setCurrentRow(1);  // Photos before Mail
            QTest::mouseClick(order->cmdMoveUp, Qt::LeftButton);
            QTest::mouseClick(order->OKButton, Qt::LeftButton);
        });
        w.window->Commands().Invoke("mnuFileRunChecked");
        QTRY_COMPARE(w.applied, (QStringList{QStringLiteral("Photos"), QStringLiteral("Mail")}));
    }

    void TheToolbarsRunButtonAsksWhichRunOnlyWhenARowIsChecked() {
        RunWindow w({"Mail", "Photos"});
        w.window->RestoreMainWindow();
        w.Select("Photos");
        w.Check("Mail");
        QTest::mouseClick(w.window->imgToolbar[2], Qt::LeftButton);
        QMenu* choice = w.Runs().RunChoiceMenu();
        QTRY_VERIFY(choice->isVisible());
        QAction* checked = choice->findChild<QAction*>(QStringLiteral("mnuRunChoiceChecked"));
        QVERIFY(checked != nullptr);
        checked->trigger();
        choice->hide();
        QTRY_COMPARE(w.applied, QStringList{QStringLiteral("Mail")});
    }

    // Which row stands for which operation is the confirmation window's test; here a struck-out
    // copy is not performed, and the box unchecked spares the second Target the question.
    void TheConfirmationReachesTheRunWhileTheWindowShowsIt() {
        RunWindow w({"Photos"}, true);
        const std::string second = w.world.home / "second/";
        QVERIFY(CreateFolderPath(w.world.fileSystem, second).ok());
        w.world.App().CloneTasks.Item("Photos")->TargetFolderSpec =
            w.Target("Photos") + "<:>" + second;
        std::vector<std::string> expected = kSixFiles;
        w.onConfirm = [&](frmConfirmChanges& confirm) {
            // The window while the run waits: menus off but Help, the caption, the progress bar.
            QTRY_VERIFY(!w.window->mnuFile->menuAction()->isEnabled());
            QVERIFY(w.window->mnuHelp->menuAction()->isEnabled());
            QCOMPARE(w.window->windowTitle(), QStringLiteral("Duvanto running task: Photos"));
            QVERIFY(!w.Runs().ProgressBar()->isHidden());

            const QString line = confirm.Model().index(1, 0).data().toString();
            std::erase_if(expected, [&line](const std::string& file) {
                return line.contains(QString::fromStdString("\"" + file + "\""));
            });
            confirm.lvwFileOps->setCurrentIndex(confirm.Model().index(1, 0));
            QTest::mouseClick(confirm.cmdRemove, Qt::LeftButton);
            QTest::mouseClick(confirm.chkConfirmSyncActions, Qt::LeftButton);
            QTest::mouseClick(confirm.cmdPerform, Qt::LeftButton);
        };
        w.Select("Photos");
        w.window->Commands().Invoke("mnuFileRunSelected");
        // While the window waits for the run, it answers the events that show the run's question.
        QVERIFY(w.window->WaitForRun(20000));
        QTRY_COMPARE(w.applied.size(), 1);
        QCOMPARE(w.openings, 1);
        QCOMPARE(expected.size(), std::size_t(5));
        QCOMPARE(FilesIn(w.Target("Photos")), expected);
        QCOMPARE(FilesIn(second), kSixFiles);
        QVERIFY(!w.world.App().Settings.ConfirmSyncActions);
    }

    // Escape, reaching the task list while the run waits, and the confirmation's Cancel each
    // stop the run: nothing performed, the log's one line for it, the row and the tray showing
    // the error.
    void EscapeOrCancelInTheConfirmationCancelsTheRun() {
        RunWindow w({"Photos"}, true);
        w.Select("Photos");
        const std::function<void(frmConfirmChanges&)> ways[] = {
            [&w](frmConfirmChanges& confirm) {
                QTest::keyClick(w.window->lvwTasks, Qt::Key_Escape);
                QVERIFY(w.world.App().Flags.EscPressed);
                QTest::mouseClick(confirm.cmdPerform, Qt::LeftButton);
            },
            [](frmConfirmChanges& confirm) {
                QTest::mouseClick(confirm.cmdCancel, Qt::LeftButton);
            }};
        int runs = 0;
        for (const auto& way : ways) {
            w.onConfirm = way;
            w.window->Commands().Invoke("mnuFileRunSelected");
            ++runs;
            QTRY_COMPARE(w.applied.size(), runs);
            QCOMPARE(w.openings, runs);
            QVERIFY(FilesIn(w.Target("Photos")).empty());
            QCOMPARE(w.window->sbrPanel1->text(),
                     QStringLiteral("Clone Cancelled By User - Photos"));
            QCOMPARE(w.window->Model().RowIcon(w.Row("Photos")), int(ImageSheepFolderError));
            QCOMPARE(w.window->Tray().Icon(), TrayState::Error);
        }
        QCOMPARE(QString::fromStdString(w.Log()).count(QStringLiteral("User Cancelled")), 2);
        QVERIFY(w.world.prompt.messages.shown.empty());
    }

    void TheSessionEndsUnderARunWaitingForItsConfirmation() {
        RunWindow w({"Photos"}, true);
        w.onConfirm = [&](frmConfirmChanges&) { w.window->SessionEnd(); };
        w.Select("Photos");
        w.window->Commands().Invoke("mnuFileRunSelected");
        QTRY_VERIFY_WITH_TIMEOUT(w.window->Ended(), 15000);
        QVERIFY(w.window->WaitForRun(0));
        // Nothing was performed, and the log tells of the aborted task once.
        QVERIFY(FilesIn(w.Target("Photos")).empty());
        QCOMPARE(QString::fromStdString(w.Log()).count(QStringLiteral("Unknown Task Name")), 1);
        QVERIFY(!w.Runs().Commands().Start("Photos", false));
    }

    // The scheduler's timer: while the window is open a due task waits; once it is minimized
    // the task runs. A failed run nobody watched (the user's with the window hidden, as the
    // scheduler's) is told to the desktop (how often is RunNoticesTest's), and the tray's
    // tooltip tells it.
    void TheSchedulerRunsADueTaskAndAFailureNobodyWatchedIsTold() {
        RunWindow w({"Photos"}, false, IntervalMinutes);
        std::vector<std::string> notices;
        w.Runs().SetNotifier([&](const std::string& summary, const std::string& body) {
            notices.push_back(summary + "|" + body);
        });
        w.window->RestoreMainWindow();
        QCOMPARE(w.window->tmrCloneScheduler.interval(), 60000);
        QVERIFY(w.window->tmrCloneScheduler.isActive());
        w.window->SchedulerTick();
        QCOMPARE(w.world.Titles(), std::vector<std::string>{"Scheduled Task Not Run"});
        QVERIFY(!w.Runs().Running());

        w.window->MinimizeMainWindow();
        w.window->SchedulerTick();
        QTRY_COMPARE(w.applied.size(), 1);
        QCOMPARE(FilesIn(w.Target("Photos")), kSixFiles);
        QVERIFY(notices.empty());

        // Brought back, then closed to the tray: hidden, not minimized.
        std::filesystem::remove_all(w.Source("Photos"));
        w.window->RestoreMainWindow();
        w.window->HideMainWindow();
        w.Select("Photos");
        w.window->Commands().Invoke("mnuFileRunSelected");
        QTRY_COMPARE(w.applied.size(), 2);
        QCOMPARE(notices.size(), std::size_t(1));
        QVERIFY(notices[0].rfind("Duvanto|Clone Complete with Errors - Photos", 0) == 0);
        QVERIFY(w.window->Tray().ToolTip().contains(QStringLiteral(", with errors")));
    }

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
            QVERIFY(!w.window.Runs().Commands().Start("Photos", false));
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
        QVERIFY(finished.wait(20000) || finished.count() == 1);
        QVERIFY(!w.window.FileJobs().ReportRunning());
        const QString page = finished.at(0).at(0).toString();
        QVERIFY(page.endsWith(QStringLiteral(".html")));
        QCOMPARE(w.opened, QList<QUrl>{QUrl::fromLocalFile(page)});
        // The report is made by then: whatever the browser does, the bar no longer says so.
        QCOMPARE(w.statusWhenOpened, QStringList{QString()});
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

        QVERIFY(w.window.Runs().Commands().Start("Photos", false));
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
        QVERIFY(!fs::exists(open.source + "notes.txt"));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::MainWindowRunsTest)
#include "MainWindowRunsTest.moc"
