// The main window on the offscreen platform, where no tray exists. The controllers' tests hold
// the decisions; these check that the window shows them and that a user reaches them: the load
// on an empty and on an existing program folder, menus, list and keys, the Options menu's marks
// and choices, the close rules without a tray, and a scheduled run on its own thread.

#include <QHeaderView>
#include <QMenuBar>
#include <QtTest>

#include "app/logic/HelpTopics.h"
#include "app/support/AppTestSupport.h"
#include "app/widgets/CommandMenus.h"
#include "app/widgets/SystemTray.h"
#include "app/widgets/TaskListModel.h"
#include "app/widgets/TaskListView.h"
#include "tasks/TaskDates.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

using test::kOneMinute;
using test::kWorldNow;
using test::MainWindowUnderTest;
using test::MainWindowWorld;
using test::MakeTask;

bool Holds(const std::string& file, const char* text) {
    return test::ReadFile(file).find(text) != std::string::npos;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void AnEmptyFolderStartsWithWindowQuickStartAndWarning() {
        MainWindowWorld world(false);
        MainWindowUnderTest w(world);
        w.window.Load();
        QVERIFY(w.window.isVisible() && !w.window.isMinimized());
        QVERIFY(w.window.Help().isVisible());
        QCOMPARE(w.window.Help().brwHelp->source(), HelpWindow::PageUrl(HelpQuickStart));
        QCOMPARE(world.Titles(), std::vector<std::string>{"IMPORTANT - PLEASE READ!"});
        QCOMPARE(w.window.lblTaskListName->text(), QStringLiteral("Default Task List"));
        w.window.Help().close();
    }

    void AnExistingFolderShowsItsTasksAndStartsMinimizedWithoutTray() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos"), MakeTask("Mail", IntervalDays, kWorldNow + 1, true),
                         MakeTask("Music", IntervalHours, kWorldNow + 0.5)});
        MainWindowUnderTest w(world);
        w.window.Load();
        QVERIFY(w.window.isMinimized());
        QVERIFY(world.prompt.messages.shown.empty());

        // The rows as the controller made them; the date keys the list sorts by stay hidden.
        TaskListModel& model = w.window.Model();
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(w.window.lvwTasks->isColumnHidden(kNextRunFormattedColumn));
        QVERIFY(w.window.lvwTasks->isColumnHidden(kLastRunFormattedColumn));
        QVERIFY(!w.window.lvwTasks->isColumnHidden(kLastRunColumn));
        QCOMPARE(model.Text(0, 2), QStringLiteral("/backup/Photos/, /mirror/Photos/"));
        QCOMPARE(model.Text(0, kNextRunColumn), QStringLiteral("Manual"));
        QCOMPARE(model.RowIcon(1), int(ImageSheepFolderError));
        QCOMPARE(model.RowIcon(2), int(ImageSheepFolderNext));
        QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    // Alt and a menu's key opens it; an item's key then chooses the item.
    void MenusAndItemsOpenByTheirAccessKeys() {
        MainWindowWorld world;
        MainWindowUnderTest w(world);
        w.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        const std::pair<QMenu*, Qt::Key> menus[] = {{w.window.mnuFile, Qt::Key_F},
                                                    {w.window.mnuOptions, Qt::Key_O},
                                                    {w.window.mnuLog, Qt::Key_L},
                                                    {w.window.mnuHelp, Qt::Key_H}};
        for (const auto& [menu, key] : menus) {
            QTest::keyClick(&w.window, key, Qt::AltModifier);
            QTRY_VERIFY2(menu->isVisible(), qPrintable(menu->title()));
            menu->hide();
        }
        QCOMPARE(FindCommandAction(w.window.mnuFile, QStringLiteral("mnuFileNewTask"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+N")));
        QTest::keyClick(&w.window, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(w.window.mnuHelp->isVisible());
        QTest::keyClick(w.window.mnuHelp, Qt::Key_I);
        QTRY_VERIFY(w.window.Help().isVisible());
        QCOMPARE(w.window.Help().brwHelp->source(), HelpWindow::PageUrl(HelpIconLegend));
        w.window.Help().close();

        QTest::keyClick(&w.window, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(w.window.mnuFile->isVisible());
        QTest::keyClick(w.window.mnuFile, Qt::Key_L);  // C&lose
        QTRY_VERIFY(w.window.isMinimized());
    }

    void AHeaderClickSortsAndTheRightClickMenuHasItsDefault() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("b", IntervalDays, kWorldNow + 5),
                         MakeTask("a", IntervalDays, kWorldNow - 24), MakeTask("C")});
        MainWindowUnderTest w(world);
        w.Open();
        TaskListModel& model = w.window.Model();
        const auto names = [&model] {
            QStringList list;
            for (int row = 0; row < model.rowCount(); ++row) {
                list << model.TaskName(row);
            }
            return list.join(QLatin1Char(','));
        };
        QCOMPARE(names(), QStringLiteral("b,a,C"));
        emit w.window.lvwTasks->header()->sectionClicked(kNextRunColumn);
        QCOMPARE(names(), QStringLiteral("C,a,b"));

        emit w.window.lvwTasks->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(w.window.mnuFile->defaultAction() != nullptr);
        QCOMPARE(w.window.mnuFile->defaultAction()->text(), QStringLiteral("Run Selected Tas&k"));
        w.window.mnuFile->hide();
        QCOMPARE(w.window.mnuFile->defaultAction(), nullptr);
    }

    void KeysOfTheListAndThePause() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos", IntervalManual, 0, true)});
        MainWindowUnderTest w(world);
        w.Open();
        w.window.lvwTasks->setFocus();
        QTest::keyClick(w.window.lvwTasks, Qt::Key_Escape);
        QVERIFY(world.App().Flags.EscPressed);
        w.window.SetTopLevelMenusEnabled(false);
        QTest::keyClick(w.window.lvwTasks, Qt::Key_Delete);
        QCOMPARE(world.prompt.messages.beeps, 1);
        QVERIFY(!w.window.mnuFile->menuAction()->isEnabled());
        w.window.SetTopLevelMenusEnabled(true);

        w.window.Commands().Invoke("mnuFilePause");
        QVERIFY(w.window.lvwTasks->Paused());
        QVERIFY(w.window.Commands().State("mnuTrayPause").checked);
        w.window.Commands().Invoke("mnuTrayPause");
        QVERIFY(!w.window.lvwTasks->Paused());

        w.window.Commands().Invoke("mnuOptionsToolbarHide");
        QVERIFY(w.window.picToolbar->isHidden());
        w.window.Commands().Invoke("mnuOptionsToolbarShow");
        QVERIFY(!w.window.picToolbar->isHidden());

        w.window.lvwTasks->setCurrentIndex(w.window.Model().index(0, 0));
        w.window.Commands().Invoke("mnuOptionsResetErrorSelected");
        QCOMPARE(w.window.Model().RowIcon(0), int(ImageSheepFolder));
        QVERIFY(world.prompt.messages.shown.empty());
    }

    // The Options menu shows the controller's marks as it opens and hands each choice to it:
    // toggles, radio items, and run at login into the autostart folder the window was given.
    void TheOptionsMenuShowsTheMarksAndTakesTheChoices() {
        MainWindowWorld world;
        const std::string ini = world.home / kIniFileName;
        test::WriteFile(ini,
                        "[Miscellaneous]\r\nShowToolbar=Show\r\nDeleteMethod=0\r\n"
                        "[Comparison]\r\nIgnoreHiddenFolders=False\r\n");
        MainWindowUnderTest w(world);
        w.Open();
        const auto item = [&w](const char* id) {
            UpdateMenuStates(w.window.mnuOptions, w.window.Commands());
            return FindCommandAction(w.window.mnuOptions, QString::fromLatin1(id));
        };
        QVERIFY(item("mnuOptionsDeleteMethod_0")->isChecked());
        QVERIFY(!item("mnuOptionsIgnoreHiddenFolders")->isChecked());
        QVERIFY(item("mnuOptionsIgnoreSystemFolders")->isChecked());
        item("mnuOptionsIgnoreHiddenFolders")->trigger();
        QVERIFY(item("mnuOptionsIgnoreHiddenFolders")->isChecked());
        QVERIFY(Holds(ini, "IgnoreHiddenFolders=True"));

        item("mnuOptionsDeleteMethod_1")->trigger();
        QCOMPARE(world.Titles(), std::vector<std::string>{"Send To Trash"});
        QVERIFY(item("mnuOptionsDeleteMethod_1")->isChecked());
        QVERIFY(!item("mnuOptionsDeleteMethod_0")->isChecked());
        QVERIFY(Holds(ini, "DeleteMethod=1"));

        item("mnuOptionsRunOnWindowsStartupCurrentUser")->trigger();
        QVERIFY(Holds(world.home / "autostart/duvanto.desktop", "\nExec=/opt/duvanto/duvanto\n"));
        QVERIFY(item("mnuOptionsRunOnWindowsStartupCurrentUser")->isChecked());
        QVERIFY(!item("mnuOptionsRunOnWindowsStartupNoRun")->isChecked());
    }

    void CloseWithoutTrayMinimizesAndShutDownSavesTheSize() {
        MainWindowWorld world;
        MainWindowUnderTest w(world);
        w.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.resize(700, 420);
        QTRY_COMPARE(w.window.width(), 700);
        QVERIFY(!w.window.close());
        QVERIFY(w.window.isMinimized());
        QVERIFY(w.window.isVisible());
        // With the window minimized the tray's Show Main Window is the default.
        QCOMPARE(w.window.Controller().TrayMenu().defaultItem, std::string("mnuTrayShow"));

        QSignalSpy ended(&w.window, &frmDuvanto::ProgramEnded);
        w.window.Commands().Invoke("mnuTrayShutDown");
        QCOMPARE(ended.count(), 1);
        QVERIFY(Holds(world.home / kIniFileName, "Width=0000010500"));
        QVERIFY(Holds(world.home / kIniFileName, "Height=0000006300"));
    }

    void TrayMenuFollowsTheWindowAndTheIconTheTasks() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos", IntervalManual, 0, true)});
        MainWindowUnderTest w(world);
        w.window.Load();
        QVERIFY(!w.window.Tray().Available());
        QCOMPARE(w.window.Tray().Icon(), TrayState::Error);
        QMenu* menu = w.window.Tray().Menu();
        const auto item = [menu](const char* id) {
            return menu->findChild<QAction*>(QString::fromLatin1(id));
        };

        w.window.HideMainWindow();
        w.window.Tray().PrepareMenu();
        QCOMPARE(menu->defaultAction(), item("mnuTrayShow"));
        QVERIFY(!item("mnuTraySendToTray")->isEnabled());
        item("mnuTrayShow")->trigger();
        QVERIFY(w.window.Controller().IsMainWindowVisible());
        w.window.Tray().PrepareMenu();
        QCOMPARE(menu->defaultAction(), item("mnuTraySendToTray"));

        item("mnuTrayPause")->trigger();
        QCOMPARE(w.window.Tray().Icon(), TrayState::Paused);
        QVERIFY(item("mnuTrayPause")->isChecked());
        item("mnuTrayPause")->trigger();
        item("mnuTrayResetError")->trigger();
        QCOMPARE(w.window.Tray().Icon(), TrayState::Normal);
        QCOMPARE(w.window.Model().RowIcon(0), int(ImageSheepFolder));
    }

    // The scheduler's timer: while the window is open a due task waits and the panel says why;
    // once it is minimized the task runs on a thread of its own and the list keeps the outcome.
    void TheSchedulerWaitsForTheWindowThenRunsTheDueTaskOnItsOwnThread() {
        MainWindowWorld world;
        const std::string source = world.home / "Source/";
        const std::string target = world.home / "Target/";
        test::WriteFile(source + "notes/todo.txt", "shopping list");
        QVERIFY(CreateFolderPath(target).ok());
        cCloneTask task = MakeTask("Photos", IntervalMinutes, kWorldNow - kOneMinute);
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = target;
        world.SaveTasks({task});
        MainWindowUnderTest w(world);
        w.Open();
        QCOMPARE(w.window.tmrCloneScheduler.interval(), 60000);
        QVERIFY(w.window.tmrCloneScheduler.isActive());
        w.window.SchedulerTick();
        w.window.SchedulerTick();
        QCOMPARE(world.Titles(), std::vector<std::string>{"Scheduled Task Not Run"});
        QCOMPARE(w.window.sbrPanel1->text(),
                 QStringLiteral("Scheduled tasks are not run while the main Duvanto window is "
                                "open."));
        QVERIFY(!FileExists(target + "notes/todo.txt"));

        w.window.MinimizeMainWindow();
        QVERIFY(!w.window.Controller().IsMainWindowVisible());
        w.window.SchedulerTick();
        QVERIFY(w.window.WaitForRun(20000));
        QTRY_COMPARE(w.window.sbrPanel1->text(), QStringLiteral("Clone Complete - Photos"));
        QCOMPARE(test::ReadFile(target + "notes/todo.txt"), std::string("shopping list"));
        QVERIFY(!world.App().Flags.CloneInProgress);
        QVERIFY(w.window.mnuFile->menuAction()->isEnabled());
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Duvanto"));
        // The run's outcome is in the saved list: it ran now and is due again in a minute.
        cCloneTask* listed = world.App().CloneTasks.Item("Photos");
        QVERIFY(listed != nullptr);
        QCOMPARE(listed->LastCloneDateTime, WholeSecond(kWorldNow));
        QVERIFY(Holds(DefaultTaskListFileSpec(world.home.Path()),
                      cCloneTasks::TaskLine(*listed).c_str()));
        QVERIFY(Holds(world.home / "clone.log", "Photos"));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::MainWindowTest)
#include "MainWindowTest.moc"
