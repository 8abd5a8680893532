// The main window on the offscreen platform, where no tray exists: its load on an empty and on
// an existing program folder, its menus, list, sorting and keys, the close rules without a
// tray, the scheduler timer, a scheduled run on its own thread, and the unload.

#include <QHeaderView>
#include <QMenuBar>
#include <QtTest>

#include "app/logic/HelpTopics.h"
#include "app/logic/MainCommands.h"
#include "app/support/MainWindowWorld.h"
#include "app/widgets/SystemTray.h"
#include "app/widgets/TaskListModel.h"
#include "app/widgets/TaskListView.h"
#include "app/widgets/frmDuvanto.h"
#include "tasks/TaskDates.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

using test::kOneMinute;
using test::kWorldNow;
using test::MainWindowWorld;
using test::MakeTask;

struct Window {
    explicit Window(MainWindowWorld& world)
        : window({world.App(), world.Options(), world.prompt, false,
                  RunAtLoginSetup{{world.home / "autostart/", world.home / "xdg/"},
                                  "/opt/duvanto/duvanto"},
                  [this](const QUrl& url) { opened << url; }}) {}
    frmDuvanto window;
    QList<QUrl> opened;
};

QStringList ActionTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    return texts;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void AnEmptyFolderStartsWithWindowQuickStartAndWarning() {
        MainWindowWorld world(false);
        Window w(world);
        w.window.Load();
        QVERIFY(w.window.isVisible());
        QVERIFY(!w.window.isMinimized());
        QVERIFY(w.window.Help().isVisible());
        QCOMPARE(w.window.Help().brwHelp->source(), HelpWindow::PageUrl(HelpQuickStart));
        QCOMPARE(world.Titles(), std::vector<std::string>{"IMPORTANT - PLEASE READ!"});
        QCOMPARE(w.window.lblTaskListName->text(), QStringLiteral("Default Task List"));
        QCOMPARE(w.window.Model().rowCount(), 0);
        w.window.Help().close();
    }

    void AnExistingFolderShowsItsTasksAndStartsMinimizedWithoutTray() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos"), MakeTask("Mail", IntervalDays, kWorldNow + 1, true),
                         MakeTask("Music", IntervalHours, kWorldNow + 0.5)});
        Window w(world);
        w.window.Load();
        QVERIFY(w.window.isMinimized());
        QVERIFY(world.prompt.messages.shown.empty());

        TaskListModel& model = w.window.Model();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 7);
        QVERIFY(w.window.lvwTasks->isColumnHidden(kNextRunFormattedColumn));
        QVERIFY(w.window.lvwTasks->isColumnHidden(kLastRunFormattedColumn));
        QVERIFY(!w.window.lvwTasks->isColumnHidden(kLastRunColumn));
        QCOMPARE(model.Text(0, 2), QStringLiteral("/backup/Photos/, /mirror/Photos/"));
        QCOMPARE(model.Text(0, kNextRunColumn), QStringLiteral("Manual"));
        QCOMPARE(model.RowIcon(0), int(ImageSheepFolder));
        QCOMPARE(model.RowIcon(1), int(ImageSheepFolderError));
        QCOMPARE(model.RowIcon(2), int(ImageSheepFolderNext));
        QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(w.window.lvwTasks->header()->sectionSize(0), 150);
    }

    void MenusComeFromTheTableAndLaterCommandsAreOff() {
        MainWindowWorld world;
        Window w(world);
        const QList<QAction*> bar = w.window.menuBar()->actions();
        QCOMPARE(bar.size(), 4);
        QCOMPARE(bar[0]->text(), QStringLiteral("&File"));
        QCOMPARE(bar[3]->text(), QStringLiteral("&Help"));
        QStringList expected;
        for (const CommandEntry& item : MainMenuBar()[0].children) {
            if (item.kind != CommandKind::Separator) {
                expected << QString::fromStdString(item.caption);
            }
        }
        QCOMPARE(ActionTexts(w.window.mnuFile), expected);
        emit w.window.mnuFile->aboutToShow();
        const auto action = [&](const char* id) {
            return w.window.mnuFile->findChild<QAction*>(QString::fromLatin1(id));
        };
        QVERIFY(action("mnuFileNewTask")->isEnabled());
        QVERIFY(action("mnuFileRunAll")->isEnabled());
        QVERIFY(action("mnuFilePause")->isEnabled());
        QVERIFY(action("mnuFileClose")->isEnabled());
        QCOMPARE(action("mnuFileNewTask")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        // Every toolbar button works now.
        QVERIFY(w.window.imgToolbar[0]->isEnabled());
        QVERIFY(w.window.imgToolbar[2]->isEnabled());
        QVERIFY(w.window.imgToolbar[4]->isEnabled());
        QVERIFY(w.window.imgToolbar[5]->isEnabled());
    }

    // Alt and a menu's key opens it; an item's key then chooses the item.
    void MenusAndItemsOpenByTheirAccessKeys() {
        MainWindowWorld world;
        Window w(world);
        w.window.Load();
        w.window.RestoreMainWindow();
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

    void HeaderClicksSortAndTheRightClickMenuHasItsDefault() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("b", IntervalDays, kWorldNow + 5),
                         MakeTask("a", IntervalDays, kWorldNow - 24), MakeTask("C")});
        Window w(world);
        w.window.Load();
        TaskListModel& model = w.window.Model();
        const auto names = [&model] {
            QStringList list;
            for (int row = 0; row < model.rowCount(); ++row) {
                list << model.TaskName(row);
            }
            return list.join(QLatin1Char(','));
        };
        QCOMPARE(names(), QStringLiteral("b,a,C"));
        QHeaderView* header = w.window.lvwTasks->header();
        emit header->sectionClicked(kNextRunColumn);
        QCOMPARE(names(), QStringLiteral("C,a,b"));
        emit header->sectionClicked(kNextRunColumn);
        QCOMPARE(names(), QStringLiteral("b,a,C"));
        emit header->sectionClicked(0);
        QCOMPARE(names(), QStringLiteral("a,b,C"));

        w.window.RestoreMainWindow();
        emit w.window.lvwTasks->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(w.window.mnuFile->defaultAction() != nullptr);
        QCOMPARE(w.window.mnuFile->defaultAction()->text(), QStringLiteral("Run Selected Tas&k"));
        w.window.mnuFile->hide();
        QCOMPARE(w.window.mnuFile->defaultAction(), nullptr);
    }

    void KeysOfTheListAndThePause() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos", IntervalManual, 0, true)});
        Window w(world);
        w.window.Load();
        w.window.RestoreMainWindow();
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

        // The toolbar's option hides and shows it, and the options file keeps the choice.
        w.window.Commands().Invoke("mnuOptionsToolbarHide");
        QVERIFY(w.window.picToolbar->isHidden());
        QVERIFY(test::ReadFile(world.home / kIniFileName).find("ShowToolbar=Hide") !=
                std::string::npos);
        w.window.Commands().Invoke("mnuOptionsToolbarShow");
        QVERIFY(!w.window.picToolbar->isHidden());

        w.window.lvwTasks->setCurrentIndex(w.window.Model().index(0, 0));
        w.window.Commands().Invoke("mnuOptionsResetErrorSelected");
        QCOMPARE(w.window.Model().RowIcon(0), int(ImageSheepFolder));
        QVERIFY(world.prompt.messages.shown.empty());
    }

    void CloseWithoutTrayMinimizesAndShutDownSavesTheSize() {
        MainWindowWorld world;
        Window w(world);
        w.window.Load();
        w.window.RestoreMainWindow();
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
        const std::string ini = test::ReadFile(world.home / kIniFileName);
        QVERIFY(ini.find("Width=0000010500") != std::string::npos);
        QVERIFY(ini.find("Height=0000006300") != std::string::npos);
    }

    void TrayMenuFollowsTheWindowAndTheIconTheTasks() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos", IntervalManual, 0, true)});
        Window w(world);
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
        QVERIFY(item("mnuTrayShow")->isEnabled());
        QVERIFY(!item("mnuTraySendToTray")->isEnabled());

        item("mnuTrayShow")->trigger();
        QVERIFY(w.window.Controller().IsMainWindowVisible());
        w.window.Tray().PrepareMenu();
        QCOMPARE(menu->defaultAction(), item("mnuTraySendToTray"));
        QVERIFY(!item("mnuTrayShow")->isEnabled());

        item("mnuTrayPause")->trigger();
        QCOMPARE(w.window.Tray().Icon(), TrayState::Paused);
        QVERIFY(item("mnuTrayPause")->isChecked());
        item("mnuTrayPause")->trigger();
        item("mnuTrayResetError")->trigger();
        QCOMPARE(w.window.Tray().Icon(), TrayState::Normal);
        QCOMPARE(w.window.Model().RowIcon(0), int(ImageSheepFolder));
    }

    void SchedulerShowsItsMessageOnceThenThePanelText() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos", IntervalMinutes, kWorldNow - kOneMinute)});
        Window w(world);
        w.window.Load();
        w.window.RestoreMainWindow();
        w.window.SchedulerTick();
        w.window.SchedulerTick();
        QCOMPARE(world.Titles(), std::vector<std::string>{"Scheduled Task Not Run"});
        QCOMPARE(w.window.sbrPanel1->text(),
                 QStringLiteral("Scheduled tasks are not run while the main Duvanto window is "
                                "open."));
        QCOMPARE(w.window.tmrCloneScheduler.interval(), 60000);
        QVERIFY(w.window.tmrCloneScheduler.isActive());
    }

    void AHiddenWindowRunsTheDueTaskOnItsOwnThread() {
        MainWindowWorld world;
        const std::string source = world.home / "Source/";
        const std::string target = world.home / "Target/";
        test::WriteFile(source + "notes/todo.txt", "shopping list");
        QVERIFY(CreateFolderPath(target).ok());
        cCloneTask task = MakeTask("Photos", IntervalMinutes, kWorldNow - kOneMinute);
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = target;
        world.SaveTasks({task});
        Window w(world);
        w.window.Load();
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
        const std::string saved = test::ReadFile(DefaultTaskListFileSpec(world.home.Path()));
        QVERIFY(saved.find(cCloneTasks::TaskLine(*listed)) != std::string::npos);
        QVERIFY(test::ReadFile(world.home / "clone.log").find("Photos") != std::string::npos);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::MainWindowTest)
#include "MainWindowTest.moc"
