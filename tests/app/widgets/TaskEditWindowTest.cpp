// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's task commands on the offscreen platform: a task made from the keyboard
// through the properties, selected-files and mask windows; the list's
// in-place rename; the properties by double-click; a new task list shown. Delete by key is
// MainWindowTest's.

#include <QLineEdit>
#include <QMenuBar>
#include <QTreeWidget>
#include <QtTest>

#include "app/common/QtAppPrompt.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/support/AppTestSupport.h"
#include "app/taskedit/QtSelectionTreeModel.h"
#include "app/taskedit/frmFileMask.h"
#include "app/taskedit/frmSelectFiles.h"
#include "app/taskedit/frmTaskProperties.h"
#include "tasks/TaskDates.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

using test::Child;
using test::MainWindowWorld;
using test::MakeTask;
using test::WhenModal;

// The main window, loaded and shown.
struct Window : test::MainWindowUnderTest {
    explicit Window(MainWindowWorld& world) : MainWindowUnderTest(world) { Open(); }
};

}  // namespace

class TaskEditWindowTest : public QObject {
    Q_OBJECT

private slots:
    void ANewTaskIsMadeFromTheKeyboard() {
        MainWindowWorld world;
        const std::string source = world.home / "Pictures/";
        const std::string target = world.home / "Backup/";
        QVERIFY(CreateFolderPath(world.fileSystem, source + "2023/").ok());
        QVERIFY(CreateFolderPath(world.fileSystem, target).ok());
        test::WriteFile(source + "notes.txt", "x");
        Window w(world);
        world.prompt.answers = {"Photos", target};

        bool properties = false;
        bool files = false;
        bool mask = false;
        WhenModal<frmFileMask>(this, mask, [](frmFileMask& window) {
            QTest::keyClicks(Child<QLineEdit>(window, "txtCustomMask"), QStringLiteral("*.txt"));
            QTest::mouseClick(Child<QPushButton>(window, "OKButton"), Qt::LeftButton);
        });
        bool folderChecked = false;
        WhenModal<frmSelectFiles>(this, files, [&folderChecked](frmSelectFiles& window) {
            SelectionTreeModel& model = window.Model();
            folderChecked = QTest::qWaitFor([&model] { return !model.Reading(); }) &&
                            model.setData(model.index(0, 0, model.index(0, 0)), Qt::Checked,
                                          Qt::CheckStateRole);
            QTest::mouseClick(Child<QPushButton>(window, "cmdAddNew"), Qt::LeftButton);
            QTest::mouseClick(Child<QPushButton>(window, "cmdOK"), Qt::LeftButton);
        });
        WhenModal<frmTaskProperties>(this, properties, [&](frmTaskProperties& dialog) {
            // The Source is typed: the completion proposes the rest of the folder's name.
            auto* path = Child<QLineEdit>(dialog, "txtSourceFolderPath");
            QTest::keyClicks(path, ToQt(world.home / "Pict"));
            QTRY_COMPARE(path->text(), ToQt(source));
            QTest::mouseClick(Child<QPushButton>(dialog, "cmdSelectTargetFolder"), Qt::LeftButton);
            Child<QComboBox>(dialog, "cboFrequency")->setCurrentIndex(IntervalHours);
            auto* increment = Child<QLineEdit>(dialog, "txtIntervalIncrement");
            increment->selectAll();
            QTest::keyClicks(increment, QStringLiteral("2"));
            QTest::mouseClick(Child<QPushButton>(dialog, "cmdSelect"), Qt::LeftButton);
            QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        });

        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QTest::keyClick(&w.window, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(w.window.mnuFile->isVisible());
        QTest::keyClick(w.window.mnuFile, Qt::Key_N);
        QTRY_VERIFY(properties);
        QVERIFY(files);
        QVERIFY(folderChecked);
        QVERIFY(mask);
        QTRY_COMPARE(w.window.Model().rowCount(), 1);

        QCOMPARE(world.prompt.asked.front().title, std::string("New Task"));
        QCOMPARE(world.Titles(), std::vector<std::string>{"New Task"});
        QCOMPARE(ToQt(w.window.SelectedTaskName()), QStringLiteral("Photos"));
        const cCloneTask* made = world.App().CloneTasks.Item("Photos");
        QVERIFY(made != nullptr);
        QCOMPARE(made->IncludeFileSpecs, std::vector<std::string>{source + "2023/"});
        QCOMPARE(made->IncludeFileMasks, std::string("*.txt"));
        QCOMPARE(made->TargetFolderSpec, target);
        QCOMPARE(made->NextCloneDateTime, made->LastCloneDateTime + 2.0 / 24);
    }

    void RenameEditsTheNameInTheList() {
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos"), MakeTask("Mail")});
        Window w(world);
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
        QTRY_COMPARE(world.Titles(), std::vector<std::string>{"Rename Task"});
        QCOMPARE(model.TaskName(1), QStringLiteral("Mail"));
        rename(QStringLiteral("MAIL"));
        QTRY_COMPARE(model.TaskName(1), QStringLiteral("MAIL"));
        QCOMPARE(ToQt(w.window.SelectedTaskName()), QStringLiteral("MAIL"));
        // A double-click opens the properties; the editor does not open on it.
        bool opened = false;
        QString caption;
        WhenModal<frmTaskProperties>(this, opened, [&caption](frmTaskProperties& dialog) {
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
        MainWindowWorld world;
        world.SaveTasks({MakeTask("Photos")});
        Window w(world);
        QCOMPARE(w.window.lblTaskListName->text(), QStringLiteral("Default Task List"));
        world.prompt.answers = {"Holiday"};
        w.window.Commands().Invoke("mnuFileNewTaskList");
        QCOMPARE(w.window.lblTaskListName->text(), QStringLiteral("Holiday"));
        QCOMPARE(w.window.Model().rowCount(), 0);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::TaskEditWindowTest)
#include "TaskEditWindowTest.moc"
