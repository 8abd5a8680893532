// SPDX-License-Identifier: GPL-3.0-or-later
// The main window notices a task list that another program changed, with no command of the
// user's: its file watcher. What a reload decides is the controller's test.

#include <QtTest>

#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/TaskListReload.h"
#include "app/support/AppTestSupport.h"

namespace duvanto {

class TaskListReloadTest : public QObject {
    Q_OBJECT

private slots:
    // Replaced whole, as an editor saves, then written in place: both are seen.
    void AListChangedOnDiskIsShownWithoutACommand() {
        test::MainWindowWorld world;
        world.SaveTasks({test::MakeTask("Photos")});
        test::MainWindowUnderTest w(world);
        w.window.Load();
        QCOMPARE(w.window.Model().rowCount(), 1);

        world.SaveTasks({test::MakeTask("Photos"), test::MakeTask("Mail")});
        QTRY_COMPARE_WITH_TIMEOUT(w.window.Model().rowCount(), 2, 5000);
        QCOMPARE(w.window.sbrPanel2->text(), QString::fromLatin1(kTaskListReloaded));

        const std::string list = DefaultTaskListFileSpec(world.home.Path());
        const std::string text = test::ReadFile(list);
        test::WriteFile(list, text.substr(0, text.find("\r\n") + 2));
        QTRY_COMPARE_WITH_TIMEOUT(w.window.Model().rowCount(), 1, 5000);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::TaskListReloadTest)
#include "TaskListReloadTest.moc"
