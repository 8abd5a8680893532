// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the offscreen platform, where no tray exists unless a test makes one come.
// The controllers' tests hold the decisions; these check that the window shows them and that a
// user reaches them: the load on an empty and on an existing program folder, menus, list and
// keys, the columns, the Options menu's marks and choices, the close rules without a tray and
// with one that comes late, the ways out, a task list changed on disk, the list's in-place rename
// and a new task list shown. Runs are MainWindowRunsTest's.

#include <QHeaderView>
#include <QMenuBar>
#include <QtTest>

#include "app/common/QtAppPrompt.h"
#include "app/help/HelpTopics.h"
#include "app/mainwindow/QtCommandMenus.h"
#include "app/mainwindow/QtSystemTray.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/mainwindow/TaskListReload.h"
#include "app/support/AppTestSupport.h"
#include "app/taskedit/frmTaskProperties.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

using test::kWorldNow;
using test::MainWindowUnderTest;
using test::MainWindowWorld;
using test::MakeTask;
using test::OpenedMainWindow;

bool Holds(const std::string& file, const char* text) {
    return test::ReadFile(file).find(text) != std::string::npos;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Without a tray a later start shows the window, the keyboard in the task list at its first
    // row: the arrows move, Enter opens the task as a double-click does.
    void AnExistingFolderStartsShownWithoutTrayTheKeyboardInTheList() {
        OpenedMainWindow w({MakeTask("Photos"), MakeTask("Mail", IntervalDays, kWorldNow + 1, true),
                            MakeTask("Music", IntervalHours, kWorldNow + 0.5)},
                           "", false);
        w.window.Load();

        // The rows as the controller made them; the date keys the list sorts by stay hidden.
        TaskListModel& model = w.window.Model();
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(w.window.lvwTasks->isColumnHidden(kNextRunFormattedColumn));
        QVERIFY(w.window.lvwTasks->isColumnHidden(kLastRunFormattedColumn));
        QVERIFY(!w.window.lvwTasks->isColumnHidden(kLastRunColumn));

        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QCOMPARE(QApplication::focusWidget(), w.window.lvwTasks);
        QCOMPARE(w.window.SelectedTaskName(), std::string("Photos"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(w.window.SelectedTaskName(), std::string("Mail"));
        QString opened;
        bool done = false;
        test::WhenModal<frmTaskProperties>(&w.window, done, [&opened](frmTaskProperties& dialog) {
            opened = dialog.windowTitle();
            dialog.reject();
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(done);
        QVERIFY2(opened.contains(QStringLiteral("Mail")), qPrintable(opened));
    }

    // A first run shows the window and the quick start. Alt and a menu's key opens the menu (the
    // keys are MainCommandsTest's); an item's key then chooses the item.
    void AFirstRunShowsTheQuickStartAndMenusOpenByTheirAccessKeys() {
        MainWindowWorld world(false);
        MainWindowUnderTest w(world);
        w.window.Load();
        QVERIFY(w.window.isVisible() && !w.window.isMinimized());
        QVERIFY(w.window.Help().isVisible());
        QCOMPARE(w.window.Help().brwHelp->source(), HelpWindow::PageUrl(HelpQuickStart));
        w.window.Help().close();
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
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

    // A task due while its Target drive is unplugged waits for it, and its Next Run says so.
    void ATaskWaitingForItsDriveSaysSoInTheList() {
        OpenedMainWindow w({MakeTask("Stick", IntervalHours, kWorldNow - 0.5),
                            MakeTask("Later", IntervalHours, kWorldNow + 1)},
                           "", false);
        Application& app = w.world.App();
        app.Drives.fstab = w.world.home / "fstab";
        app.Drives.mountInfo = w.world.home / "mountinfo";
        app.Drives.mediaRoots = {w.world.home / "media/"};
        test::WriteFile(app.Drives.fstab, "/dev/sdz1 /backup vfat noauto,user 0 0\n");
        test::WriteFile(app.Drives.mountInfo, "1 0 8:1 / / rw - ext4 /dev/root rw\n");
        w.window.Load();
        TaskListModel& model = w.window.Model();
        QCOMPARE(model.index(0, kNextRunColumn).data().toString(),
                 QStringLiteral("Waiting for /backup"));
        QVERIFY(!model.index(1, kNextRunColumn).data().toString().startsWith("Waiting"));
    }

    void AHeaderClickSortsAndTheRightClickMenuHasItsDefault() {
        OpenedMainWindow w({MakeTask("b", IntervalDays, kWorldNow + 5),
                            MakeTask("a", IntervalDays, kWorldNow - 24), MakeTask("C")});
        // How the rows sort is the controller's test; the click reaches it and the list follows.
        TaskListModel& model = w.window.Model();
        QCOMPARE(model.TaskName(0), QStringLiteral("b"));
        emit w.window.lvwTasks->header()->sectionClicked(kNextRunColumn);
        QCOMPARE(model.TaskName(0), QStringLiteral("C"));

        emit w.window.lvwTasks->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(w.window.mnuFile->defaultAction() != nullptr);
        QCOMPARE(w.window.mnuFile->defaultAction()->text(), QStringLiteral("Run Selected Tas&k"));
        w.window.mnuFile->hide();
        QCOMPARE(w.window.mnuFile->defaultAction(), nullptr);
    }

    // The Delete key asks and deletes the selected task, and only beeps while a run has the
    // menus off; the pause and the toolbar commands reach the list and the window.
    void TheDeleteKeyThePauseAndTheToolbar() {
        OpenedMainWindow w({MakeTask("Photos"), MakeTask("Mail")});
        w.window.Commands().Invoke("mnuFilePause");
        QVERIFY(w.window.lvwTasks->Paused());
        w.window.Commands().Invoke("mnuTrayPause");
        QVERIFY(!w.window.lvwTasks->Paused());
        w.window.Commands().Invoke("mnuOptionsToolbarHide");
        QVERIFY(w.window.picToolbar->isHidden());
        w.window.Commands().Invoke("mnuOptionsToolbarShow");
        QVERIFY(!w.window.picToolbar->isHidden());

        w.window.lvwTasks->setCurrentIndex(w.window.Model().index(0, 0));
        w.window.SetTopLevelMenusEnabled(false);
        QTest::keyClick(w.window.lvwTasks, Qt::Key_Delete);
        QCOMPARE(w.world.prompt.messages.beeps, 1);
        QVERIFY(!w.window.mnuFile->menuAction()->isEnabled());
        QCOMPARE(w.window.Model().rowCount(), 2);
        w.window.SetTopLevelMenusEnabled(true);
        QVERIFY(w.world.prompt.messages.shown.empty());
        QTest::keyClick(w.window.lvwTasks, Qt::Key_Delete);
        QCOMPARE(w.world.Titles(), std::vector<std::string>{"Confirm Task Delete"});
        QCOMPARE(w.window.Model().rowCount(), 1);
        QCOMPARE(w.window.Model().TaskName(0), QStringLiteral("Mail"));
    }

    // The Options menu shows the controller's marks as it opens and hands each choice to it:
    // toggles, radio items, and run at login into the autostart folder the window was given.
    // What each choice writes to the options file is the controller's test.
    void TheOptionsMenuShowsTheMarksAndTakesTheChoices() {
        OpenedMainWindow w({},
                           "[Miscellaneous]\r\nShowToolbar=Show\r\nDeleteMethod=0\r\n"
                           "[Comparison]\r\nIgnoreHiddenFolders=False\r\n");
        const auto item = [&w](const char* id) {
            UpdateMenuStates(w.window.mnuOptions, w.window.Commands());
            return FindCommandAction(w.window.mnuOptions, QString::fromLatin1(id));
        };
        QVERIFY(item("mnuOptionsDeleteMethod_0")->isChecked());
        QVERIFY(!item("mnuOptionsIgnoreHiddenFolders")->isChecked());
        item("mnuOptionsIgnoreHiddenFolders")->trigger();
        QVERIFY(item("mnuOptionsIgnoreHiddenFolders")->isChecked());

        item("mnuOptionsDeleteMethod_1")->trigger();
        QVERIFY(item("mnuOptionsDeleteMethod_1")->isChecked());
        QVERIFY(!item("mnuOptionsDeleteMethod_0")->isChecked());

        item("mnuOptionsRunOnWindowsStartupCurrentUser")->trigger();
        QVERIFY(Holds(w.world.home / "autostart/duvanto.desktop", "\nExec=/opt/duvanto/duvanto\n"));
    }

    void CloseWithoutTrayMinimizesAndShutDownSavesTheSize() {
        OpenedMainWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.resize(700, 420);
        QTRY_COMPARE(w.window.width(), 700);
        QVERIFY(!w.window.close());
        QVERIFY(w.window.isMinimized());
        QVERIFY(w.window.isVisible());

        QSignalSpy ended(&w.window, &frmDuvanto::ProgramEnded);
        w.window.Commands().Invoke("mnuTrayShutDown");
        QCOMPARE(ended.count(), 1);
        QVERIFY(Holds(w.world.home / kIniFileName, "Width=0000010500"));
        QVERIFY(Holds(w.world.home / kIniFileName, "Height=0000006300"));
    }

    // Where there is no tray Ctrl+Q is the way out (the item's place and access key are the
    // table's, MainCommandsTest's). That a run refuses it is the controller's test.
    void CtrlQShutsDownWithoutATray() {
        OpenedMainWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QSignalSpy ended(&w.window, &frmDuvanto::ProgramEnded);
        QTest::keyClick(&w.window, Qt::Key_Q, Qt::ControlModifier);
        QTRY_COMPARE(ended.count(), 1);
        QVERIFY(w.window.Ended());
    }

    // While a run lasts the right-click menu, which is the File menu, is refused as the toolbar
    // is: a beep (that its items, a menu left open, only beep is the registry's test).
    void TheRightClickMenuIsRefusedDuringARun() {
        OpenedMainWindow w({MakeTask("Photos")});
        w.world.App().Flags.CloneInProgress = true;
        w.window.SetTopLevelMenusEnabled(false);
        emit w.window.lvwTasks->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(!w.window.mnuFile->isVisible());
        QCOMPARE(w.world.prompt.messages.beeps, 1);

        w.world.App().Flags.CloneInProgress = false;
        w.window.SetTopLevelMenusEnabled(true);
        emit w.window.lvwTasks->customContextMenuRequested(QPoint(5, 5));
        QTRY_VERIFY(w.window.mnuFile->isVisible());
        w.window.mnuFile->hide();
        QCOMPARE(w.world.prompt.messages.beeps, 1);
    }

    // A tray that appears after the start (a panel started later) is found, and the window then
    // hides in it; when it goes away the window comes back on screen.
    void ATrayThatComesOrGoesIsFoundAndTheWindowFollows() {
        OpenedMainWindow w(
            {}, "[Miscellaneous]\r\nShowToolbar=Show\r\n[Reminders]\r\nSysTray=False\r\n", false);
        w.window.Load();
        QVERIFY(!w.window.Tray().Available());
        QVERIFY(w.window.tmrTrayWatch.isActive());
        QVERIFY(w.window.tmrTrayWatch.interval() <= 5000);

        w.tray = true;
        w.window.CheckTray();
        QVERIFY(w.window.Tray().Available());
        QVERIFY(!w.window.close());
        QVERIFY(!w.window.isVisible());

        w.tray = false;
        w.window.CheckTray();
        QVERIFY(!w.window.Tray().Available());
        QVERIFY(w.window.isVisible());
    }

    // The last column reaches the view's edge, however wide the window; the date columns show
    // their dates whole; a width the user sets is kept across a restart, and the stretch of the
    // last column is not taken for one.
    void TheColumnsFillTheViewAndKeepTheWidthsTheUserSets() {
        MainWindowWorld world;
        cCloneTask photos = MakeTask("Photos", IntervalDays, kWorldNow + 1);
        photos.SourceFolderSpec = "/home/anna/Pictures/Holidays/2023/Summer/Portugal/";
        world.SaveTasks({photos, MakeTask("Mail", IntervalHours, kWorldNow + 0.5)});
        const auto widths = [](TaskListView* list) {
            int sum = 0;
            for (int column = 0; column < kVisibleTaskColumns; ++column) {
                sum += list->header()->sectionSize(column);
            }
            return sum;
        };
        // The width of the column's longest text.
        const auto text = [](QAbstractItemView* list, int column) {
            return list->sizeHintForColumn(column);
        };
        {
            MainWindowUnderTest w(world);
            w.Open();
            QVERIFY(QTest::qWaitForWindowExposed(&w.window));
            TaskListView* list = w.window.lvwTasks;
            for (const int column : {kNextRunColumn, kLastRunColumn}) {
                QVERIFY2(list->header()->sectionSize(column) >= text(list, column),
                         qPrintable(QString::number(column)));
            }
            w.window.resize(1000, 500);
            QTRY_COMPARE(widths(list), list->viewport()->width());

            list->header()->resizeSection(2, 260);  // as a drag of its edge does
            QCOMPARE(list->header()->sectionSize(2), 260);
            QTRY_COMPARE(widths(list), list->viewport()->width());
            w.window.Commands().Invoke("mnuTrayShutDown");
        }
        QVERIFY(Holds(world.home / kIniFileName, "ColumnThree=0000000260"));
        QVERIFY(Holds(world.home / kIniFileName, "ColumnFive=0000000125"));
        MainWindowUnderTest again(world);
        again.Open();
        QCOMPARE(again.window.lvwTasks->header()->sectionSize(2), 260);
    }

    void TrayMenuFollowsTheWindowAndTheIconTheTasks() {
        OpenedMainWindow w({MakeTask("Photos", IntervalManual, 0, true)}, "", false);
        w.window.Load();
        QCOMPARE(w.window.Tray().Icon(), TrayState::Error);
        QMenu* menu = w.window.Tray().Menu();
        const auto item = [menu](const char* id) {
            return menu->findChild<QAction*>(QString::fromLatin1(id));
        };

        w.window.HideMainWindow();
        w.window.Tray().PrepareMenu();
        QCOMPARE(menu->defaultAction(), item("mnuTrayShow"));
        item("mnuTrayShow")->trigger();
        QVERIFY(w.window.Controller().IsMainWindowVisible());

        item("mnuTrayResetError")->trigger();
        QCOMPARE(w.window.Tray().Icon(), TrayState::Normal);
        QCOMPARE(w.window.Model().RowIcon(0), int(ImageSheepFolder));
    }
    // A list another program changed is shown without a command of the user's (its file
    // watcher): replaced whole, as an editor saves, then written in place. What a reload decides
    // is the controller's test.
    void AListChangedOnDiskIsShownWithoutACommand() {
        OpenedMainWindow w({MakeTask("Photos")}, "", false);
        w.window.Load();
        QCOMPARE(w.window.Model().rowCount(), 1);

        w.world.SaveTasks({MakeTask("Photos"), MakeTask("Mail")});
        QTRY_COMPARE_WITH_TIMEOUT(w.window.Model().rowCount(), 2, 5000);
        QCOMPARE(w.window.sbrPanel2->text(), QString::fromLatin1(kTaskListReloaded));

        const std::string list = DefaultTaskListFileSpec(w.world.home.Path());
        const std::string text = test::ReadFile(list);
        test::WriteFile(list, text.substr(0, text.find("\r\n") + 2));
        QTRY_COMPARE_WITH_TIMEOUT(w.window.Model().rowCount(), 1, 5000);
    }

    void RenameEditsTheNameInTheList() {
        OpenedMainWindow w({MakeTask("Photos"), MakeTask("Mail")});
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        TaskListModel& model = w.window.Model();
        w.window.lvwTasks->setCurrentIndex(model.index(1, 0));
        // The editor opens on the selected row's name; the new name is typed over it.
        const auto rename = [&w, &model](const QString& name) {
            w.window.Commands().Invoke("mnuFileRenameTask");
            auto* editor = w.window.lvwTasks->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor != nullptr);
            QCOMPARE(editor->text(), model.TaskName(1));
            editor->selectAll();
            QTest::keyClicks(editor, name);
            QTest::keyClick(editor, Qt::Key_Return);
        };
        rename(QStringLiteral("photos"));  // taken: refused, and the row keeps its name
        QTRY_COMPARE(w.world.Titles(), std::vector<std::string>{"Rename Task"});
        QCOMPARE(model.TaskName(1), QStringLiteral("Mail"));
        rename(QStringLiteral("MAIL"));
        QTRY_COMPARE(model.TaskName(1), QStringLiteral("MAIL"));
        QCOMPARE(ToQt(w.window.SelectedTaskName()), QStringLiteral("MAIL"));
        // A double-click opens the properties; the editor does not open on it.
        bool opened = false;
        QString caption;
        test::WhenModal<frmTaskProperties>(this, opened, [&caption](frmTaskProperties& dialog) {
            caption = dialog.windowTitle();
            dialog.reject();
        });
        const QRect row = w.window.lvwTasks->visualRect(model.index(1, 1));
        QWidget* viewport = w.window.lvwTasks->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, row.center());
        QTRY_VERIFY(opened);
        QCOMPARE(caption, QStringLiteral("Task Properties - MAIL"));
        QVERIFY(w.window.lvwTasks->viewport()->findChild<QLineEdit*>() == nullptr ||
                !w.window.lvwTasks->viewport()->findChild<QLineEdit*>()->isVisible());
    }

    // Which list becomes current is the controller's test; the window shows its name and rows.
    void ANewTaskListIsShown() {
        OpenedMainWindow w({MakeTask("Photos")});
        w.world.prompt.answers = {"Holiday"};
        w.window.Commands().Invoke("mnuFileNewTaskList");
        QCOMPARE(w.window.lblTaskListName->text(), QStringLiteral("Holiday"));
        QCOMPARE(w.window.Model().rowCount(), 0);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::MainWindowTest)
#include "MainWindowTest.moc"
