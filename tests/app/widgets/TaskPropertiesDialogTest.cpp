// The task properties window on the offscreen platform: the controls a frequency enables, the
// Source path completion on a real folder, folders dropped from a file manager, and the keys
// and buttons of the Targets list. A task made here and listed by the runner is in
// TaskEditWindowTest, which makes it from the main window.

#include <QtTest>
#include <memory>

#include "app/support/TaskEditWorld.h"
#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/frmTaskProperties.h"

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
    // The controller decides what each frequency enables; the window follows it, each control
    // both ways.
    void EachFrequencyEnablesItsControls() {
        OpenDialog open;
        auto* frequency = open.Find<QComboBox>("cboFrequency");
        auto* increment = open.Find<QLineEdit>("txtIntervalIncrement");
        auto* unit = open.Find<QLabel>("lblFrequencyType");
        auto* startTime = open.Find<QTimeEdit>("dtpStartTime");
        auto* startLabel = open.Find<QLabel>("lblStartTime");
        QVERIFY(frequency && increment && unit && startTime && startLabel);
        QCOMPARE(frequency->itemText(4), QStringLiteral("Only on Selected Days"));
        QCOMPARE(open.dialog->windowTitle(), QStringLiteral("Task Properties - Nightly"));

        struct Row {
            int index;
            bool increment, start, days;
            const char* unit;
        };
        for (const Row& row : {Row{IntervalSelectedDays, false, true, true, "Days:"},
                               Row{IntervalMinutes, true, false, false, "Minutes:"}}) {
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

    // What completes when is the controller's test; here the keys reach it and the window
    // shows the proposal selected, so that typing on replaces it.
    void TheSourcePathCompletesAsItIsTyped() {
        OpenDialog open;
        const std::string tree = open.world.Folder("tree");
        open.world.Folder("tree/alpha");
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
        QCOMPARE(source->text(), alpha);

        // Backspace takes the proposal away and never completes.
        QTest::keyClick(source, Qt::Key_Backspace);
        QTest::qWait(20);
        QCOMPARE(source->text(), ToQt(tree + "alp"));
        QCOMPARE(open.controller->SourceText(), FromQt(source->text()));
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

        open.dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(open.dialog.get()));
        QTest::keyClick(open.dialog.get(), Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(open.world.help.shown, std::vector<int>{HelpTaskProperties});
        QTest::keyClick(open.dialog.get(), Qt::Key_Escape);
        QVERIFY(open.controller->Cancelled());
        QCOMPARE(open.dialog->result(), int(QDialog::Rejected));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::TaskPropertiesDialogTest)
#include "TaskPropertiesDialogTest.moc"
