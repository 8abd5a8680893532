// The task properties window on the offscreen platform: what each frequency enables, the
// Source path completion on a real folder, folders dropped from a file manager, and a task
// made here as the command-line runner lists it.

#include <QtTest>
#include <memory>

#include "app/support/TaskEditWorld.h"
#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/frmSelectFiles.h"
#include "app/widgets/frmTaskProperties.h"
#include "cli/CliRunner.h"
#include "tasks/CloneTasks.h"

namespace duvanto {

namespace {

struct OpenDialog {
    explicit OpenDialog(const std::string& name = "Nightly") {
        task.TaskName = name;
        controller = std::make_unique<TaskPropertiesController>(task, world.Services());
        dialog = std::make_unique<frmTaskProperties>(*controller);
    }
    template <typename Control>
    Control* Find(const char* name) const {
        return dialog->findChild<Control*>(QString::fromLatin1(name));
    }

    test::TaskEditWorld world;
    cCloneTask task;
    std::unique_ptr<TaskPropertiesController> controller;
    std::unique_ptr<frmTaskProperties> dialog;
};

// A drag that enters the widget and is dropped there, as a file manager's would; whether the
// widget took the drag.
bool Drop(QWidget* widget, QMimeData& data) {
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

}  // namespace

class TaskPropertiesDialogTest : public QObject {
    Q_OBJECT

private slots:
    void EachFrequencyEnablesItsControls() {
        OpenDialog open;
        auto* frequency = open.Find<QComboBox>("cboFrequency");
        auto* increment = open.Find<QLineEdit>("txtIntervalIncrement");
        auto* unit = open.Find<QLabel>("lblFrequencyType");
        auto* startTime = open.Find<QTimeEdit>("dtpStartTime");
        auto* startLabel = open.Find<QLabel>("lblStartTime");
        QVERIFY(frequency && increment && unit && startTime && startLabel);
        QCOMPARE(frequency->count(), 5);
        QCOMPARE(frequency->itemText(4), QStringLiteral("Only on Selected Days"));
        QCOMPARE(open.dialog->windowTitle(), QStringLiteral("Task Properties - Nightly"));

        struct Row {
            int index;
            bool increment, start, days;
            const char* unit;
        };
        const Row table[] = {{1, true, false, false, "Minutes:"},
                             {2, true, false, false, "Hours:"},
                             {3, true, true, false, "Days:"},
                             {4, false, true, true, "Days:"},
                             {0, false, false, false, "Days:"}};
        for (const Row& row : table) {
            frequency->setCurrentIndex(row.index);
            QCOMPARE(increment->isEnabled(), row.increment);
            QCOMPARE(unit->isEnabled(), row.increment);
            QCOMPARE(unit->text(), QString::fromLatin1(row.unit));
            QCOMPARE(startTime->isEnabled(), row.start);
            QCOMPARE(startLabel->isEnabled(), row.start);
            for (int day = 0; day < 7; ++day) {
                auto* box =
                    open.Find<QCheckBox>(qPrintable(QStringLiteral("chkDaysOfWeek%1").arg(day)));
                QVERIFY(box != nullptr);
                QCOMPARE(box->isEnabled(), row.days);
            }
        }
        QVERIFY(open.controller->Changed());
        // A disabled increment box shows the button face.
        QCOMPARE(increment->palette().color(QPalette::Disabled, QPalette::Base),
                 increment->palette().color(QPalette::Active, QPalette::Button));

        // A refused increment is focused and selected for retyping.
        frequency->setCurrentIndex(1);
        increment->selectAll();
        QTest::keyClicks(increment, QStringLiteral("4"));
        open.world.prompt.answers.push_back(open.world.Folder("dst"));
        QTest::mouseClick(open.Find<QPushButton>("cmdSelectTargetFolder"), Qt::LeftButton);
        open.controller->SourceTextChanged(open.world.Folder("src"));
        QTest::mouseClick(open.Find<QPushButton>("cmdOK"), Qt::LeftButton);
        QCOMPARE(open.world.Titles(), std::vector<std::string>{"Invalid Frequency"});
        QCOMPARE(increment->selectedText(), QStringLiteral("4"));
        QCOMPARE(open.dialog->result(), int(QDialog::Rejected));
    }

    void TheSourcePathCompletesAsItIsTyped() {
        OpenDialog open;
        const std::string tree = open.world.Folder("tree");
        open.world.Folder("tree/alpha/beta");
        open.world.Folder("tree/other");
        auto* source = open.Find<QLineEdit>("txtSourceFolderPath");
        source->setText(ToQt(tree));
        source->setCursorPosition(static_cast<int>(source->text().size()));
        const QString alpha = ToQt(tree + "alpha/");

        QTest::keyClicks(source, QStringLiteral("al"));
        QTRY_COMPARE(source->text(), alpha);
        QCOMPARE(source->selectedText(), QStringLiteral("pha/"));
        QTest::keyClicks(source, QStringLiteral("p"));
        QTRY_COMPARE(source->selectedText(), QStringLiteral("ha/"));
        // Typing on replaced the proposal and completed again.
        QCOMPARE(source->text(), alpha);

        QTest::keyClick(source, Qt::Key_End);
        QTest::keyClicks(source, QStringLiteral("b"));
        QTRY_COMPARE(source->text(), alpha + QStringLiteral("beta/"));
        QCOMPARE(source->selectedText(), QStringLiteral("eta/"));
        QTest::keyClick(source, Qt::Key_Backspace);
        QTest::qWait(20);
        // Backspace never completes.
        QCOMPARE(source->text(), alpha + QStringLiteral("b"));
        QCOMPARE(open.controller->SourceText(), FromQt(source->text()));

        QTest::keyClicks(source, QStringLiteral("x"));
        QTest::qWait(20);
        // Nothing matches.
        QCOMPARE(source->text(), alpha + QStringLiteral("bx"));
        QVERIFY(open.controller->Changed());
    }

    void FoldersDroppedFromAFileManager() {
        OpenDialog open;
        const std::string folder = open.world.Folder("Pictures");
        const std::string other = open.world.Folder("Backup");
        test::WriteFile(folder + "photo.jpg", "x");
        auto* source = open.Find<QLineEdit>("txtSourceFolderPath");
        auto* targets = open.Find<QListWidget>("lstTargetFolders");

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(ToQt(folder + "photo.jpg")),
                       QUrl::fromLocalFile(ToQt(other.substr(0, other.size() - 1)))});
        QVERIFY(Drop(targets->viewport(), files));
        QCOMPARE(targets->count(), 1);
        // The file is no Target.
        QCOMPARE(targets->item(0)->text(), ToQt(other));

        QMimeData folders;
        folders.setUrls({QUrl::fromLocalFile(ToQt(folder.substr(0, folder.size() - 1)))});
        folders.setText(QStringLiteral("file:///elsewhere"));
        QVERIFY(Drop(source, folders));
        QCOMPARE(source->text(), ToQt(folder));

        QMimeData text;
        text.setText(QStringLiteral("/typed/in/an/editor"));
        QVERIFY(Drop(source, text));
        QCOMPARE(source->text(), QStringLiteral("/typed/in/an/editor"));
        QCOMPARE(open.controller->SourceText(), std::string("/typed/in/an/editor"));
    }

    void TargetsAreRemovedByKeyOrButtonAndEscapeCancels() {
        OpenDialog open;
        open.world.prompt.answers = {std::string("/a/"), std::string("/b/")};
        auto* add = open.Find<QPushButton>("cmdSelectTargetFolder");
        auto* targets = open.Find<QListWidget>("lstTargetFolders");
        QTest::mouseClick(add, Qt::LeftButton);
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(targets->count(), 2);

        QTest::mouseClick(open.Find<QPushButton>("cmdRemoveFolder"), Qt::LeftButton);
        QCOMPARE(open.world.Titles(), std::vector<std::string>{"Remove Folder from List"});
        targets->setCurrentRow(0);
        QTest::keyClick(targets, Qt::Key_Delete);
        QCOMPARE(targets->count(), 1);
        QCOMPARE(targets->item(0)->text(), QStringLiteral("/b/"));
        QCOMPARE(open.controller->Targets(), std::vector<std::string>{"/b/"});

        QTest::keyClick(open.dialog.get(), Qt::Key_Escape);
        QVERIFY(open.controller->Cancelled());
        QCOMPARE(open.dialog->result(), int(QDialog::Rejected));
    }

    void ATaskMadeHereIsListedByTheRunner() {
        OpenDialog open("Photos");
        test::TaskEditWorld& world = open.world;
        const std::string source = world.Folder("Pictures");
        world.Folder("Pictures/2023");
        test::WriteFile(source + "cover.jpg", "x");
        const std::string target = world.Folder("Backup");
        const std::string home = world.Folder("home");

        QTest::keyClicks(open.Find<QLineEdit>("txtSourceFolderPath"), ToQt(source));
        world.prompt.answers.push_back(target);
        QTest::mouseClick(open.Find<QPushButton>("cmdSelectTargetFolder"), Qt::LeftButton);
        open.Find<QComboBox>("cboFrequency")->setCurrentIndex(IntervalHours);
        auto* increment = open.Find<QLineEdit>("txtIntervalIncrement");
        increment->selectAll();
        QTest::keyClicks(increment, QStringLiteral("2"));

        // The selected-files window opens on top; a folder is checked there.
        QString checked;
        QTimer::singleShot(0, this, [&checked] {
            auto* files = qobject_cast<frmSelectFiles*>(QApplication::activeModalWidget());
            if (files == nullptr) {
                return;
            }
            SelectionTreeModel& model = files->Model();
            const bool read = QTest::qWaitFor([&model] { return !model.Reading(); });
            const QModelIndex year = model.index(0, 0, model.index(0, 0));
            if (read && model.setData(year, Qt::Checked, Qt::CheckStateRole)) {
                checked = year.data().toString();
            }
            QTest::mouseClick(files->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(open.Find<QPushButton>("cmdSelect"), Qt::LeftButton);
        QCOMPARE(checked, QStringLiteral("2023"));
        QVERIFY(open.Find<QRadioButton>("optWhichFiles1")->isChecked());

        QTest::mouseClick(open.Find<QPushButton>("cmdOK"), Qt::LeftButton);
        QCOMPARE(open.dialog->result(), int(QDialog::Accepted));
        QVERIFY(world.prompt.messages.shown.empty());
        const cCloneTask& made = open.controller->Task();
        QCOMPARE(made.IncludeFileSpecs, source + "2023/");

        cCloneTasks tasks(home, world.clock, world.reporter, world.prompt);
        tasks.TaskListFileSpec(home + kDefaultTaskListName);
        QVERIFY(tasks.Add(made));
        QVERIFY(tasks.SaveAllTasksToFile(tasks.TaskListFileSpec()));

        test::CliRunner cli{home, "", "", ""};
        QCOMPARE(cli.Run({"list"}), 0);
        const std::vector<std::string> items = made.ListviewSubItems();
        QCOMPARE(cli.out, "Photos\t" + source + "\t" + target + "\t" + items[2] + "\t" + items[3] +
                              "\tok\n");
        QCOMPARE(items[2], GeneralDateText(made.LastCloneDateTime + 2.0 / 24));

        cCloneTasks reread(home, world.clock, world.reporter, world.prompt);
        reread.TaskListFileSpec(home + kDefaultTaskListName);
        QVERIFY(reread.ReadAllTasksFromFile(home + kDefaultTaskListName, false));
        const cCloneTask* back = reread.Item("Photos");
        QVERIFY(back != nullptr);
        QCOMPARE(back->IntervalType, int32_t(IntervalHours));
        QCOMPARE(back->IntervalIncrement, 2);
        QVERIFY(!back->AllFilesAndFolders());
        QCOMPARE(back->IncludeFileSpecs, source + "2023/");
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::TaskPropertiesDialogTest)
#include "TaskPropertiesDialogTest.moc"
