// SPDX-License-Identifier: GPL-3.0-or-later
// The task properties window and the windows it opens, on the offscreen platform: the controls
// a frequency enables, the Source path completion on a real folder, folders dropped from a file
// manager, the keys and buttons of the Targets list; the selected-files window over a real
// folder (the check box as a user works it, folders read only when opened, the items selected
// before, the masks) and the file-mask window. Then a task made from the main window by keyboard
// through the properties, selected-files and mask windows.

#include <QLineEdit>
#include <QMenuBar>
#include <QTreeWidget>
#include <QtTest>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "app/common/QtAppPrompt.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/support/AppTestSupport.h"
#include "app/support/TaskEditWorld.h"
#include "app/taskedit/QtSelectionTreeModel.h"
#include "app/taskedit/frmFileMask.h"
#include "app/taskedit/frmSelectFiles.h"
#include "app/taskedit/frmTaskProperties.h"
#include "support/ScopedLocale.h"
#include "tasks/TaskDates.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

struct OpenDialog {
    explicit OpenDialog(const std::string& name = "Nightly",
                        const std::function<void(cCloneTask&)>& setUp = {}) {
        task.TaskName = name;
        if (setUp) {
            setUp(task);
        }
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

struct OpenSelectFiles {
    explicit OpenSelectFiles(const std::vector<std::string>& specs = {},
                             const std::string& masks = "", int manyFiles = 0) {
        source = world.Folder("src");
        for (const char* file : {"docs/a.txt", "docs/deep/b.txt", "music/c.ogg", "top.txt"}) {
            test::WriteFile(source + file, "x");
        }
        for (int i = 0; i < manyFiles; ++i) {
            test::WriteFile(source + "many/" + std::to_string(10000 + i), "");
        }
        controller = std::make_unique<SelectFilesController>(
            SelectFilesRequest{source, true, Resolve(specs), masks}, world.Services());
        dialog = std::make_unique<frmSelectFiles>(*controller);
        tree = test::Child<QTreeView>(*dialog, "tvwFolderContents");
        // A view lays out, and so reads the folders it opens, only while it is shown.
        dialog->show();
        exposed = QTest::qWaitForWindowExposed(dialog.get());
        // The Source is read on the tree's worker; its rows arrive when that is done.
        filled = QTest::qWaitFor([this] { return !dialog->Model().Reading(); });
    }
    // "~/" stands for the Source in the specs of a test.
    std::vector<std::string> Resolve(const std::vector<std::string>& specs) const {
        std::vector<std::string> resolved;
        for (const std::string& item : specs) {
            resolved.push_back(ReplaceString(item, "~/", source));
        }
        return resolved;
    }
    QModelIndex Index(const QString& text, const QModelIndex& parent) const {
        SelectionTreeModel& model = dialog->Model();
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex index = model.index(row, 0, parent);
            if (index.data().toString() == text) {
                return index;
            }
        }
        return {};
    }
    bool Checked(const QModelIndex& index) const {
        return index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    QModelIndex Root() const { return dialog->Model().index(0, 0); }
    void Click(const char* button) const {
        QTest::mouseClick(test::Child<QPushButton>(*dialog, button), Qt::LeftButton);
    }

    test::TaskEditWorld world;
    std::string source;
    std::unique_ptr<SelectFilesController> controller;
    std::unique_ptr<frmSelectFiles> dialog;
    QTreeView* tree = nullptr;
    bool exposed = false;
    bool filled = false;
};

// The real file system, whose listings of one folder wait until the test lets them go: a
// Source on a slow disk, still being read.
class HeldFileSystem : public PosixFileSystem {
public:
    explicit HeldFileSystem(std::string held) : m_held(std::move(held)) {}
    Result<std::vector<DirEntry>> ListFolder(const std::string& folder, bool withStatus) override {
        if (folder == m_held) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_released.wait(lock, [this] { return m_open; });
        }
        return PosixFileSystem::ListFolder(folder, withStatus);
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_released.notify_all();
    }

private:
    std::string m_held;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_open = false;
};

using test::Child;
using test::MainWindowWorld;
using test::OpenedMainWindow;
using test::WhenModal;
}  // namespace

class TaskPropertiesDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The start time is shown and typed as the user's locale writes a time: a 24-hour locale
    // gets a 24-hour field. The C locale's dates are US English, and so is its field.
    void TheStartTimeIsInTheLocalesForm() {
        struct Case {
            const char* locale;
            const char* shown;
            const char* typed;  // the keys; a minute section, once full, moves on by itself
            const char* after;
        };
        for (const Case& c : {Case{"C", "2:30 PM", "9:45PM", "9:45 PM"},
                              Case{"de_DE.UTF-8", "14:30", "21:45", "21:45"}}) {
            test::ScopedTimeLocale locale(c.locale);
            if (!locale.ok()) {
                QSKIP(qPrintable(QStringLiteral("the locale %1 is not installed (the bootstrap "
                                                "generates it)")
                                     .arg(QLatin1String(c.locale))));
            }
            OpenDialog open("Nightly", [](cCloneTask& task) {
                task.IntervalType = IntervalDays;
                task.StartTime = 14.5 / 24;
            });
            auto* startTime = open.Find<QTimeEdit>("dtpStartTime");
            QVERIFY(startTime);
            QCOMPARE(startTime->text(), QString::fromUtf8(c.shown));

            // Typed from the hour on, as a user who clicked into the hours types.
            startTime->setFocus();
            startTime->setSelectedSection(QDateTimeEdit::HourSection);
            QTest::keyClicks(startTime, QString::fromUtf8(c.typed));
            QCOMPARE(startTime->text(), QString::fromUtf8(c.after));
            QCOMPARE(open.controller->StartTimeSeconds(), (21 * 60 + 45) * 60);
        }
    }

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

        // Backspace takes the proposal away and never completes.
        QTest::keyClick(source, Qt::Key_Backspace);
        QTest::qWait(20);
        QCOMPARE(source->text(), ToQt(tree + "al"));
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

    void ChecksAreMadeByKeyAndReachTheChoice() {
        OpenSelectFiles open;
        QVERIFY(open.tree != nullptr && open.filled);
        QCOMPARE(open.Root().data().toString(), ToQt(open.source));
        QCOMPARE(open.dialog->Model().rowCount(open.Root()), 3);
        QTest::keyClick(open.dialog.get(), Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(open.world.help.shown, std::vector<int>{HelpSelectFiles});

        // Space on the current row toggles its box, as a click on it does; the rules between
        // the boxes are the controller's test.
        const QModelIndex top = open.Index(QStringLiteral("top.txt"), open.Root());
        open.tree->setCurrentIndex(top);
        QTest::keyClick(open.tree, Qt::Key_Space);
        QVERIFY(open.Checked(top));
        open.Click("cmdOK");
        QCOMPARE(open.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(open.dialog->Chosen().IncludeFileSpecs,
                 std::vector<std::string>{open.source + "top.txt"});
        QVERIFY(!open.dialog->Chosen().AllFilesAndFolders);
    }

    // A click on a folder's row opens it (reading it then) and a second one closes it, as the
    // help promises; a click on its check box only checks it. A double click opens it once.
    void AClickOnAFoldersRowOpensOrClosesIt() {
        OpenSelectFiles open;
        QVERIFY(open.exposed && open.filled);
        auto* tree = qobject_cast<SelectionTreeView*>(open.tree);
        QVERIFY(tree != nullptr);
        const auto click = [tree](const QPoint& at) {
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        };
        const QModelIndex docs = open.Index(QStringLiteral("docs"), open.Root());
        click(tree->visualRect(docs).center());
        QVERIFY(tree->isExpanded(docs));
        QTRY_COMPARE(open.dialog->Model().rowCount(docs), 2);
        QVERIFY(!open.Checked(docs));
        click(tree->visualRect(docs).center());
        QVERIFY(!tree->isExpanded(docs));

        click(tree->CheckBoxRect(docs).center());
        QVERIFY(open.Checked(docs));
        QVERIFY(!tree->isExpanded(docs));

        // A double click as the system delivers it: a click, then a press that is the double
        // click, and its release.
        const QModelIndex music = open.Index(QStringLiteral("music"), open.Root());
        const QPoint onMusic = tree->visualRect(music).center();
        click(onMusic);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, onMusic);
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, onMusic);
        QVERIFY(tree->isExpanded(music));

        click(tree->visualRect(open.Root()).center());
        QVERIFY(!tree->isExpanded(open.Root()));
    }

    // The folders holding items selected before are opened; a checked folder stays closed and
    // unread, and opened by hand, shows its selected items at once.
    void ItemsSelectedBeforeAreShownChecked() {
        OpenSelectFiles open({"~/music/c.ogg", "~/docs/", "~/docs/deep/b.txt"});
        QVERIFY(open.filled);
        const QModelIndex music = open.Index(QStringLiteral("music"), open.Root());
        QTRY_VERIFY(open.tree->isExpanded(music));
        QVERIFY(open.Checked(open.Index(QStringLiteral("c.ogg"), music)));
        const QModelIndex docs = open.Index(QStringLiteral("docs"), open.Root());
        QVERIFY(open.Checked(docs));
        QVERIFY(!open.tree->isExpanded(docs));
        QCOMPARE(open.dialog->Model().rowCount(docs), 0);
        open.tree->expand(docs);
        QTRY_VERIFY(open.Index(QStringLiteral("deep"), docs).isValid());
        const QModelIndex deep = open.Index(QStringLiteral("deep"), docs);
        QTRY_VERIFY(open.tree->isExpanded(deep));
        QVERIFY(open.Checked(open.Index(QStringLiteral("b.txt"), deep)));
    }

    // OK pressed while the Source is still being read: the task keeps what it selected, through
    // the selected-files window and the task properties window's own OK.
    void OKBeforeTheSourceIsReadKeepsTheTasksSelection() {
        test::TaskEditWorld world;
        const std::string source = world.Folder("src");
        test::WriteFile(source + "docs/a.txt", "a");
        test::WriteFile(source + "top.txt", "t");
        cCloneTask task;
        task.TaskName = "Nightly";
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = world.Folder("dst");
        task.AllFilesAndFolders(false);
        task.IncludeFileSpecs = {source + "docs/a.txt", source + "top.txt"};
        HeldFileSystem held(source);
        TaskPropertiesController controller(
            task, TaskEditServices{world.prompt, &world.help, world.reporter, held, world.clock,
                                   world.tables, world.fileTypes});
        frmTaskProperties dialog(controller);
        bool files = false;
        bool unread = false;
        test::WhenModal<frmSelectFiles>(this, files, [&](frmSelectFiles& window) {
            unread = window.Model().Reading() &&
                     window.Model().rowCount(window.Model().index(0, 0)) == 0;
            QTest::mouseClick(test::Child<QPushButton>(window, "cmdOK"), Qt::LeftButton);
            // Let go, so that the window, closing, need not wait for its reading.
            held.Release();
        });
        QTest::mouseClick(test::Child<QPushButton>(dialog, "cmdSelect"), Qt::LeftButton);
        QVERIFY(files);
        QVERIFY(unread);
        QTest::mouseClick(test::Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!controller.Task().AllFilesAndFolders());
        QCOMPARE(controller.Task().IncludeFileSpecs, task.IncludeFileSpecs);
    }

    // A caption of 300 characters and more is cut in its middle: its start and end stay.
    void ALongTaskNameIsElidedInTheCaption() {
        OpenDialog open("Start " + std::string(288, 'n') + " the end");
        const QString caption = open.dialog->windowTitle();
        QCOMPARE(caption.size(), 120);
        QVERIFY(caption.startsWith(QStringLiteral("Task Properties - Start nnn")));
        QVERIFY(caption.endsWith(QStringLiteral("nnn the end")));
        QVERIFY(caption.contains(QChar(0x2026)));
    }

    void ALargeFolderIsReadWhenTheViewOpensIt() {
        OpenSelectFiles open({}, "", 2500);
        QVERIFY(open.exposed && open.filled);
        SelectionTreeModel& model = open.dialog->Model();
        const QModelIndex many = open.Index(QStringLiteral("many"), open.Root());
        QVERIFY(model.canFetchMore(many));
        QVERIFY(!open.controller->Root().Children[1]->Listed);
        open.tree->expand(many);
        QTRY_COMPARE(model.rowCount(many), 2500);
        QVERIFY(!model.canFetchMore(many));
        QCOMPARE(model.index(2499, 0, many).data().toString(), QStringLiteral("12499"));
        // The last row read stands for its own file.
        QVERIFY(model.setData(model.index(2499, 0, many), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(open.controller->IsChecked(*open.controller->Root().Children[1]->Children[2499]));
    }

    // A mask added through the mask window is ANewTaskIsMadeFromTheKeyboard's; here the masks are
    // shown with their types and removed.
    void MasksAreShownWithTheirTypesAndRemoved() {
        OpenSelectFiles open({}, "*.txt,*.jpg");
        auto* masks = test::Child<QTreeWidget>(*open.dialog, "lstFileMasks");
        QVERIFY(masks != nullptr);
        QCOMPARE(masks->topLevelItemCount(), 2);
        QCOMPARE(masks->topLevelItem(0)->text(1), QStringLiteral("plain text document"));
        QCOMPARE(masks->topLevelItem(1)->text(0), QStringLiteral("*.jpg"));

        masks->clearSelection();
        open.Click("cmdRemove");
        QCOMPARE(open.world.Titles(), std::vector<std::string>{"Remove File Mask"});
        masks->setCurrentItem(masks->topLevelItem(0));
        QTest::keyClick(masks, Qt::Key_Delete);
        QCOMPARE(masks->topLevelItemCount(), 1);

        open.Click("cmdOK");
        QCOMPARE(open.dialog->Chosen().IncludeFileMasks, std::string("*.jpg"));
        QVERIFY(open.dialog->Chosen().IncludeFileSpecs.empty());
    }

    void TheMaskWindowJumpsByLetterAndTakesADoubleClick() {
        test::TaskEditWorld world;
        FileMaskController controller(world.Services());
        frmFileMask window(controller);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* types = test::Child<QTreeWidget>(window, "lstFileTypes");
        QVERIFY(types != nullptr);
        QCOMPARE(types->topLevelItemCount(), 5);
        QTest::keyClick(types, Qt::Key_T);
        QCOMPARE(types->currentItem()->text(0), QStringLiteral(".tar.gz"));
        QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(world.help.shown, std::vector<int>{HelpSelectFiles});

        const QRect row = types->visualItemRect(types->currentItem());
        QTest::mousePress(types->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseRelease(types->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseDClick(types->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(controller.FileMask(), std::string("*.tar.gz"));
    }

    void ANewTaskIsMadeFromTheKeyboard() {
        OpenedMainWindow w;
        MainWindowWorld& world = w.world;
        const std::string source = world.home / "Pictures/";
        const std::string target = world.home / "Backup/";
        QVERIFY(CreateFolderPath(world.fileSystem, source + "2023/").ok());
        QVERIFY(CreateFolderPath(world.fileSystem, target).ok());
        test::WriteFile(source + "notes.txt", "x");
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
        QCOMPARE(ToQt(w.window.SelectedTaskName()), QStringLiteral("Photos"));
        const cCloneTask* made = world.App().CloneTasks.Item("Photos");
        QVERIFY(made != nullptr);
        QCOMPARE(made->IncludeFileSpecs, std::vector<std::string>{source + "2023/"});
        QCOMPARE(made->IncludeFileMasks, std::string("*.txt"));
        QCOMPARE(made->TargetFolderSpec, target);
        QCOMPARE(made->NextCloneDateTime, made->LastCloneDateTime + 2.0 / 24);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::TaskPropertiesDialogTest)
#include "TaskPropertiesDialogTest.moc"
