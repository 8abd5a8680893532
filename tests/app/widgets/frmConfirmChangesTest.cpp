// SPDX-License-Identifier: GPL-3.0-or-later
// The confirmation window on the offscreen platform: the strike-outs by button and Delete key,
// the totals, performing and cancelling, and a plan of a hundred thousand operations.

#include <QElapsedTimer>
#include <QHeaderView>
#include <QtTest>

#include "app/runs/frmConfirmChanges.h"
#include "support/FakeAppPrompt.h"

namespace duvanto {

namespace {

std::vector<PlannedOperation> Plan(int copies) {
    std::vector<PlannedOperation> plan;
    FileOp folder;
    folder.Operation = CreateFolder;
    folder.TargetFolder = "/media/anna/BACKUP/Photos/2024/";
    plan.push_back(PlannedOperationFromFileOp(folder));
    for (int i = 0; i < copies; ++i) {
        FileOp copy;
        copy.FileName = "IMG_" + std::to_string(100000 + i) + ".jpg";
        copy.SourceFolder = "/home/anna/Photos/2024/";
        copy.TargetFolder = folder.TargetFolder;
        copy.Bytes = 3 << 20;
        plan.push_back(PlannedOperationFromFileOp(copy));
    }
    FileOp orphan;
    orphan.Operation = DeleteFile;
    orphan.FileName = "old draft.xcf";
    orphan.TargetFolder = "/media/anna/BACKUP/Photos/2023/";
    plan.push_back(PlannedOperationFromFileOp(orphan));
    return plan;
}

void SelectRow(frmConfirmChanges& window, int row) {
    window.lvwFileOps->setCurrentIndex(window.Model().index(row, 0));
}

QString Line(frmConfirmChanges& window, int row) {
    return window.Model().index(row, 0).data().toString();
}

}  // namespace

class frmConfirmChangesTest : public QObject {
    Q_OBJECT

private slots:
    // A run's thread waiting for the window is MainWindowRunsTest's; here what a user sees of a
    // plan of six, the strike-outs of operations 2 and 5, and the box unchecked.
    void TheWindowShowsThePlanAndStrikesOutByKeyAndButton() {
        test::FakeAppPrompt prompt;
        std::vector<bool> optionTold;
        ConfirmChangesController controller({"Photos to USB disk", Plan(4), true}, prompt,
                                            [&](bool on) { optionTold.push_back(on); });
        frmConfirmChanges window(controller);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Duvanto - Confirm Synchronization Actions"));
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isModal());
        QCOMPARE(window.lblTaskName->text(), QStringLiteral("Photos to USB disk"));
        // The totals stand above the list.
        QCOMPARE(window.lblTotals->text(),
                 QStringLiteral("4 copies, 1 new folder, 1 deletion; 12.0 MB to copy"));
        QVERIFY(window.lblTotals->isVisible());
        QVERIFY(window.lblTotals->geometry().bottom() < window.lvwFileOps->geometry().top());
        QCOMPARE(window.Model().rowCount(), 6);
        QCOMPARE(Line(window, 1), QStringLiteral("     COPY FILE     \"IMG_100000.jpg\"  FROM  "
                                                 "/home/anna/Photos/2024/  TO  "
                                                 "/media/anna/BACKUP/Photos/2024/"));
        QVERIFY(!window.Model().index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());

        // Operation 2 by the Delete key, then operation 5, which now stands fourth.
        SelectRow(window, 1);
        QTest::keyClick(window.lvwFileOps, Qt::Key_Delete);
        QCOMPARE(window.Model().rowCount(), 5);
        QCOMPARE(window.lvwFileOps->currentIndex().row(), 1);
        SelectRow(window, 3);
        QTest::mouseClick(window.cmdRemove, Qt::LeftButton);
        QCOMPARE(window.Model().rowCount(), 4);
        QCOMPARE(window.lblTotals->text(),
                 QStringLiteral("2 copies, 1 new folder, 1 deletion; 6.0 MB to copy"));
        QVERIFY(prompt.messages.shown.empty());
        QVERIFY(window.chkConfirmSyncActions->isChecked());
        QTest::mouseClick(window.chkConfirmSyncActions, Qt::LeftButton);

        QTest::keyClick(window.lvwFileOps, Qt::Key_Return);  // Enter performs
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(!controller.Cancelled());
        QCOMPARE(optionTold, std::vector<bool>{false});
        QCOMPARE(controller.SkipFlags(),
                 (std::vector<bool>{false, true, false, false, true, false}));
    }

    void AHundredThousandOperationsOpenAtOnceAndStrikeOutAtOnce() {
        test::FakeAppPrompt prompt;
        std::vector<PlannedOperation> plan = Plan(99998);  // with the folder and the orphan

        QElapsedTimer timer;
        timer.start();
        ConfirmChangesController controller({"Photos", std::move(plan), true}, prompt, {});
        frmConfirmChanges window(controller);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Painted now, not when the event loop gets round to it.
        window.lvwFileOps->viewport()->repaint();
        const qint64 opened = timer.elapsed();
        QCOMPARE(window.Model().rowCount(), 100000);
        // The column fits the lines it measured and can be scrolled to their ends.
        QVERIFY(window.lvwFileOps->header()->sectionSize(0) >=
                window.lvwFileOps->viewport()->width());

        // The second half by keyboard: its first row, Shift+End, Delete.
        timer.restart();
        SelectRow(window, 50000);
        QTest::keyClick(window.lvwFileOps, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(window.lvwFileOps, Qt::Key_Delete);
        window.lvwFileOps->viewport()->repaint();
        const qint64 struck = timer.elapsed();
        QCOMPARE(window.Model().rowCount(), 50000);
        QVERIFY(Line(window, 49999).contains(QStringLiteral("IMG_149998.jpg")));
        QCOMPARE(window.lvwFileOps->currentIndex().row(), 49999);
        const std::vector<bool>& flags = controller.SkipFlags();
        QVERIFY(!flags[49999] && flags[50000] && flags[99999]);
        QCOMPARE(std::count(flags.begin(), flags.end(), true), 50000);

        // Nothing selected: told so, and the list stays. "Perform Actions" performs the rest.
        window.lvwFileOps->clearSelection();
        QTest::mouseClick(window.cmdRemove, Qt::LeftButton);
        QCOMPARE(prompt.messages.shown.size(), std::size_t{1});
        QCOMPARE(window.Model().rowCount(), 50000);
        QTest::mouseClick(window.cmdPerform, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(std::count(flags.begin(), flags.end(), true), 50000);
        qInfo(
            "100,000 operations: window open and painted in %lld ms; 50,000 struck out in "
            "%lld ms",
            opened, struck);
    }

    // A window's close box never means "do it": Cancel, Escape and the close box each cancel
    // the run once and strike out everything.
    void CancelEscapeAndTheCloseBoxCancelTheRun_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }

    void CancelEscapeAndTheCloseBoxCancelTheRun() {
        QFETCH(int, way);
        test::FakeAppPrompt prompt;
        int cancels = 0;
        ConfirmChangesController controller({"Photos", Plan(2), true}, prompt, {},
                                            [&cancels] { ++cancels; });
        frmConfirmChanges window(controller);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.cmdCancel->text(), QStringLiteral("Cancel"));
        switch (way) {
            case 0:
                QTest::mouseClick(window.cmdCancel, Qt::LeftButton);
                break;
            case 1:
                QTest::keyClick(window.lvwFileOps, Qt::Key_Escape);
                break;
            default:
                QVERIFY(window.close());
                break;
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(cancels, 1);
        QCOMPARE(controller.SkipFlags(), std::vector<bool>(4, true));
    }

    // A task name of 300 characters: the window keeps a width a screen holds, the name is shown
    // with its middle elided, and the label still gives it whole.
    void ALongTaskNameLeavesTheWindowOnScreen() {
        test::FakeAppPrompt prompt;
        const std::string name = "Start " + std::string(288, 'n') + " the end";
        ConfirmChangesController controller({name, Plan(2), true}, prompt, {});
        frmConfirmChanges window(controller);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(window.minimumSizeHint().width() <= 860,
                 qPrintable(QString::number(window.minimumSizeHint().width())));
        QCOMPARE(window.width(), 860);
        QVERIFY(window.cmdPerform->geometry().right() < window.width());
        QCOMPARE(window.lblTaskName->text(), QString::fromStdString(name));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::frmConfirmChangesTest)
#include "frmConfirmChangesTest.moc"
