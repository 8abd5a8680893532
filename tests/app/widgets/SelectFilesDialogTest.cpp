// The selected-files and file-mask windows on the offscreen platform, over a real folder: the
// check box as a user works it (the controller's test holds the rules), folders read only when
// opened, the items selected before, and the masks.

#include <QtTest>
#include <memory>

#include "app/support/TaskEditWorld.h"
#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/frmFileMask.h"
#include "app/widgets/frmSelectFiles.h"

namespace duvanto {

namespace {

struct OpenDialog {
    explicit OpenDialog(const std::string& specs = "", const std::string& masks = "",
                        int manyFiles = 0) {
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
        tree = dialog->findChild<QTreeView*>(QStringLiteral("tvwFolderContents"));
        // A view lays out, and so reads the folders it opens, only while it is shown.
        dialog->show();
        exposed = QTest::qWaitForWindowExposed(dialog.get());
        // The Source is read on a thread of its own; its rows arrive when that is done.
        filled = QTest::qWaitFor([this] { return !dialog->Model().Reading(); });
    }
    // "~/" stands for the Source in the specs of a test.
    std::string Resolve(const std::string& specs) const {
        return ReplaceString(specs, "~/", source);
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

    test::TaskEditWorld world;
    std::string source;
    std::unique_ptr<SelectFilesController> controller;
    std::unique_ptr<frmSelectFiles> dialog;
    QTreeView* tree = nullptr;
    bool exposed = false;
    bool filled = false;
};

}  // namespace

class SelectFilesDialogTest : public QObject {
    Q_OBJECT

private slots:
    void ChecksAreMadeByKeyAndReachTheChoice() {
        OpenDialog open;
        SelectionTreeModel& model = open.dialog->Model();
        QVERIFY(open.tree != nullptr);
        QVERIFY(open.filled);
        QCOMPARE(open.Root().data().toString(), ToQt(open.source));
        QVERIFY(open.tree->isExpanded(open.Root()));
        QTest::keyClick(open.dialog.get(), Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(open.world.help.shown, std::vector<int>{HelpSelectFiles});
        QCOMPARE(model.rowCount(open.Root()), 3);
        const QModelIndex docs = open.Index(QStringLiteral("docs"), open.Root());
        QVERIFY(model.hasChildren(docs));
        QCOMPARE(model.rowCount(docs), 0);
        open.tree->expand(docs);
        QTRY_COMPARE(model.rowCount(docs), 2);
        const QModelIndex a = open.Index(QStringLiteral("a.txt"), docs);

        // Space on the current row toggles its box, as a click on it does; the rules between
        // the boxes are the controller's test.
        open.tree->setCurrentIndex(a);
        QTest::keyClick(open.tree, Qt::Key_Space);
        QVERIFY(open.Checked(a));
        QVERIFY(model.setData(open.Index(QStringLiteral("top.txt"), open.Root()), Qt::Checked,
                              Qt::CheckStateRole));

        QTest::mouseClick(open.dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
        QCOMPARE(open.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(open.dialog->Chosen().IncludeFileSpecs,
                 open.source + "top.txt<:>" + open.source + "docs/a.txt");
        QVERIFY(!open.dialog->Chosen().AllFilesAndFolders);
    }

    void ItemsSelectedBeforeAreShownChecked() {
        OpenDialog open("~/docs/deep/b.txt<:>~/music/");
        QVERIFY(open.filled);
        const QModelIndex docs = open.Index(QStringLiteral("docs"), open.Root());
        const QModelIndex deep = open.Index(QStringLiteral("deep"), docs);
        QTRY_VERIFY(open.tree->isExpanded(docs));
        QTRY_VERIFY(open.tree->isExpanded(deep));
        QVERIFY(open.Checked(open.Index(QStringLiteral("b.txt"), deep)));
        const QModelIndex music = open.Index(QStringLiteral("music"), open.Root());
        QVERIFY(open.Checked(music));
        QVERIFY(!open.tree->isExpanded(music));
        // A closed folder is not read.
        QCOMPARE(open.dialog->Model().rowCount(music), 0);
    }

    void AFolderOpenedLaterOpensTheFoldersHoldingSelectedItems() {
        // A checked folder stays closed; opened by hand, its selected items show at once.
        OpenDialog open("~/docs/<:>~/docs/deep/b.txt");
        QVERIFY(open.filled);
        const QModelIndex docs = open.Index(QStringLiteral("docs"), open.Root());
        QVERIFY(!open.tree->isExpanded(docs));
        open.tree->expand(docs);
        QTRY_VERIFY(open.Index(QStringLiteral("deep"), docs).isValid());
        const QModelIndex deep = open.Index(QStringLiteral("deep"), docs);
        QTRY_VERIFY(open.tree->isExpanded(deep));
        QVERIFY(open.Checked(open.Index(QStringLiteral("b.txt"), deep)));
    }

    void ALargeFolderIsReadWhenTheViewOpensIt() {
        OpenDialog open("", "", 2500);
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

    void MasksAreAddedThroughTheMaskWindowAndRemoved() {
        OpenDialog open("", "*.txt");
        auto* masks = open.dialog->findChild<QTreeWidget*>(QStringLiteral("lstFileMasks"));
        QVERIFY(masks != nullptr);
        QCOMPARE(masks->topLevelItemCount(), 1);
        QCOMPARE(masks->topLevelItem(0)->text(1), QStringLiteral("plain text document"));

        QTimer::singleShot(0, this, [] {
            auto* window = qobject_cast<frmFileMask*>(QApplication::activeModalWidget());
            if (window == nullptr) {
                return;
            }
            QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("txtCustomMask")),
                             QStringLiteral("*.jpg"));
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("OKButton")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(open.dialog->findChild<QPushButton*>(QStringLiteral("cmdAddNew")),
                          Qt::LeftButton);
        QCOMPARE(masks->topLevelItemCount(), 2);
        QCOMPARE(masks->topLevelItem(1)->text(0), QStringLiteral("*.jpg"));
        QCOMPARE(masks->topLevelItem(1)->text(1), QStringLiteral("JPEG image"));

        masks->clearSelection();
        QTest::mouseClick(open.dialog->findChild<QPushButton*>(QStringLiteral("cmdRemove")),
                          Qt::LeftButton);
        QCOMPARE(open.world.Titles(), std::vector<std::string>{"Remove File Mask"});
        masks->setCurrentItem(masks->topLevelItem(0));
        QTest::keyClick(masks, Qt::Key_Delete);
        QCOMPARE(masks->topLevelItemCount(), 1);

        QTest::mouseClick(open.dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
        QCOMPARE(open.dialog->Chosen().IncludeFileMasks, std::string("*.jpg"));
        QCOMPARE(open.dialog->Chosen().IncludeFileSpecs, std::string());
    }

    void TheMaskWindowJumpsByLetterAndTakesADoubleClick() {
        test::TaskEditWorld world;
        FileMaskController controller(world.Services());
        frmFileMask window(controller);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* types = window.findChild<QTreeWidget*>(QStringLiteral("lstFileTypes"));
        QVERIFY(types != nullptr);
        QCOMPARE(types->topLevelItemCount(), 5);
        QTest::keyClick(types, Qt::Key_T);
        QCOMPARE(types->currentItem()->text(0), QStringLiteral(".tar.gz"));
        QTest::keyClick(types, Qt::Key_J);
        QCOMPARE(types->currentItem()->text(0), QStringLiteral(".jpg"));
        QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(world.help.shown, std::vector<int>{HelpSelectFiles});

        const QRect row = types->visualItemRect(types->currentItem());
        QTest::mousePress(types->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseRelease(types->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseDClick(types->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(controller.FileMask(), std::string("*.jpg"));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::SelectFilesDialogTest)
#include "SelectFilesDialogTest.moc"
