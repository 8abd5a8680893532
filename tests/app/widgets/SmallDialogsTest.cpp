// SPDX-License-Identifier: GPL-3.0-or-later
// The small windows on the offscreen platform: the order of tasks set by keyboard, the tray
// reminder, the About box with its system information, and the priority rules window with the
// rule editor, and the confirmation window (the strike-outs by button and Delete key, the totals,
// performing and cancelling, a plan of a hundred thousand operations). The controllers' tests
// hold the checks and their messages; here the windows are worked as a user works them.

#include <QElapsedTimer>
#include <QHeaderView>
#include <QtTest>

#include "app/help/AppInfo.h"
#include "app/help/HelpTopics.h"
#include "app/help/frmAbout.h"
#include "app/mainwindow/frmSysTrayReminder.h"
#include "app/options/frmPriorityRule.h"
#include "app/options/frmPriorityRules.h"
#include "app/runs/frmConfirmChanges.h"
#include "app/runs/frmOrderTasks.h"
#include "settings/TimeText.h"
#include "support/AppTestSupport.h"
#include "support/FakeAppPrompt.h"
#include "support/RecordingHelpViewer.h"
#include "support/ScopedLocale.h"

namespace duvanto {

namespace {

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines << list->item(i)->text();
    }
    return lines;
}

struct Rules : test::PromptAndReporter {
    cPriorityRules rules{reporter};
    test::RecordingHelpViewer help;
};

cPriorityRule Rule(int startHour, int endHour, int32_t priorityClass) {
    return {TimeOfDayFromClock(startHour, 0), TimeOfDayFromClock(endHour, 0), priorityClass, ""};
}

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

// The window over a plan, shown; what the user set the option to and how often the run was
// cancelled.
struct Shown {
    explicit Shown(ConfirmChangesRequest request)
        : controller(
              std::move(request), prompt, [this](bool on) { optionTold.push_back(on); },
              [this] { ++cancels; }),
          window(controller) {
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    test::FakeAppPrompt prompt;
    std::vector<bool> optionTold;
    int cancels = 0;
    ConfirmChangesController controller;
    frmConfirmChanges window;
    bool exposed = false;
};
}  // namespace

class SmallDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void TheOrderIsSetByKeyboardAndOKHandsItBack() {
        test::PromptAndReporter world;
        frmOrderTasks window({"Mail", "Photos", "Music", "Papers"}, world.prompt, world.reporter);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Order of Tasks"));
        QCOMPARE(window.lstTasks->currentRow(), 0);
        QVERIFY(window.lstTasks->hasFocus());

        // Down to Photos, Alt+D moves it below Music; Delete takes Mail out.
        QTest::keyClick(window.lstTasks, Qt::Key_Down);
        QTest::keyClick(&window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(Lines(window.lstTasks), (QStringList{"Mail", "Music", "Photos", "Papers"}));
        QCOMPARE(window.lstTasks->currentRow(), 2);
        QTest::keyClick(&window, Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(window.lstTasks->currentRow(), 1);
        QVERIFY(window.lstTasks->hasFocus());
        QTest::keyClick(window.lstTasks, Qt::Key_Home);
        QTest::keyClick(window.lstTasks, Qt::Key_Delete);
        QCOMPARE(Lines(window.lstTasks), (QStringList{"Photos", "Music", "Papers"}));
        QCOMPARE(window.lstTasks->currentRow(), 0);
        QVERIFY(world.prompt.messages.shown.empty());

        QTest::keyClick(window.lstTasks, Qt::Key_Return);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.OrderOfTasks(), (std::vector<std::string>{"Photos", "Music", "Papers"}));
    }

    void ClosedWithoutOKNothingRuns() {
        test::PromptAndReporter world;
        frmOrderTasks window({"Mail", "Photos"}, world.prompt, world.reporter);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(window.lstTasks, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QVERIFY(window.OrderOfTasks().empty());
    }

    void TheReminderSetsTheOptionHoweverItCloses() {
        bool option = true;
        {
            frmSysTrayReminder window(option);
            QCOMPARE(window.windowTitle(), QStringLiteral("Close Duvanto"));
            QCOMPARE(window.lblMessage->text(),
                     QStringLiteral("To exit the program, right-click on the icon in the system "
                                    "tray and select 'Shut Down Duvanto' from the menu."));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(window.chkRemind->isChecked());
            QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
            QTRY_VERIFY(!window.chkRemind->isChecked());
            QVERIFY(option);  // only closing sets it, Escape as well as OK
            QTest::keyClick(&window, Qt::Key_Escape);
            QVERIFY(!window.isVisible());
        }
        QVERIFY(!option);
        frmSysTrayReminder again(option);
        QVERIFY(!again.chkRemind->isChecked());
    }

    void TheAboutBoxShowsTheVersionAndTellsTheSystem() {
        test::FakeAppPrompt prompt;
        frmAbout about("/tmp/home/", prompt);
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Duvanto"));
        QCOMPARE(about.lblTitle->text(),
                 QStringLiteral("Duvanto v") + QString::fromStdString(ProgramVersion()));
        QVERIFY(about.lblDisclaimer->text().contains(QStringLiteral("Do Not Delete")));
        QVERIFY(!about.picIcon->pixmap().isNull());
        QCOMPARE(test::FindButton(&about, QStringLiteral("&System Info...")), about.cmdSysInfo);
        QCOMPARE(test::FindButton(&about, QStringLiteral("OK")), about.cmdOK);
        QVERIFY(about.cmdOK->isDefault());

        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(prompt.Titles(), std::vector<std::string>{"System Information"});
        const QString text = QString::fromStdString(prompt.messages.shown[0].text);
        // What the message says is the controller's test; the window tells it its Qt and folder.
        QVERIFY2(text.contains(QStringLiteral("Qt: %1 (offscreen)").arg(qVersion())),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Program folder: /tmp/home/")), qPrintable(text));

        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
        about.show();
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        QCOMPARE(prompt.messages.shown.size(), std::size_t{1});
    }

    // The editor shows a rule's class (its times, their locale's form and what OK builds are
    // the next test's and TaskPropertiesDialogTest's); Cancel gives nothing.
    void TheEditorShowsTheClassAndCancelGivesNothing() {
        frmPriorityRule editor(Rule(9, 17, HIGH_PRIORITY_CLASS));
        QCOMPARE(editor.windowTitle(), QStringLiteral("Priority Rule"));
        QCOMPARE(editor.cboPriority->currentText(), QStringLiteral("High"));
        editor.cmdCancel->click();
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QVERIFY(!editor.PriorityRule().has_value());
    }

    // Which rules the window refuses is the controller's test; here the real editor is worked
    // from the window: a rule edited by double-click and a new one built from the fields.
    void TheRealEditorEditsByDoubleClickAndAddsANewRule() {
        test::ScopedTimeLocale locale("C");
        Rules r;
        frmPriorityRules form(r.rules, r.prompt, &r.help);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Priority Rules"));
        QCOMPARE(Lines(form.lstPriorityRules),
                 QStringList{QStringLiteral("12:00 AM to 11:59 PM - LOW PRIORITY")});

        bool edited[2] = {};
        // Narrowing the all-day rule makes room for a high one in the evening.
        test::WhenModal<frmPriorityRule>(&form, edited[0], [](frmPriorityRule& editor) {
            QCOMPARE(editor.dtpEndTime->text(), QStringLiteral("11:59 PM"));
            editor.dtpEndTime->setTime(QTime(17, 59));
            editor.cmdOK->click();
        });
        const QPoint row =
            form.lstPriorityRules->visualItemRect(form.lstPriorityRules->item(0)).center();
        QTest::mouseClick(form.lstPriorityRules->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(form.lstPriorityRules->viewport(), Qt::LeftButton, {}, row);
        QTRY_VERIFY(edited[0]);
        test::WhenModal<frmPriorityRule>(&form, edited[1], [](frmPriorityRule& editor) {
            editor.dtpStartTime->setTime(QTime(18, 0));
            editor.cboPriority->setCurrentIndex(2);
            editor.cmdOK->click();
        });
        form.cmdNewPriorityRule->click();
        QVERIFY(edited[1]);
        QCOMPARE(Lines(form.lstPriorityRules),
                 (QStringList{QStringLiteral("12:00 AM to 05:59 PM - LOW PRIORITY"),
                              QStringLiteral("06:00 PM to 11:59 PM - HIGH PRIORITY")}));
        QVERIFY(r.prompt.messages.shown.empty());
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(r.help.shown, std::vector<int>{HelpPriorityRules});
    }

    void EditAndRemoveNeedASelectionAndCancelChangesNothing() {
        Rules r;
        QVERIFY(r.rules.Add(Rule(8, 12, NORMAL_PRIORITY_CLASS)));
        QVERIFY(r.rules.Add(Rule(13, 17, HIGH_PRIORITY_CLASS)));
        int opened = 0;
        frmPriorityRules form(r.rules, r.prompt, &r.help, nullptr,
                              [&](const std::optional<cPriorityRule>&) {
                                  ++opened;
                                  return std::optional<cPriorityRule>();
                              });
        QCOMPARE(form.lstPriorityRules->count(), 2);
        form.cmdEditPriorityRule->click();
        form.cmdRemovePriorityRule->click();
        QCOMPARE(opened, 0);
        QCOMPARE(r.prompt.Titles(),
                 (std::vector<std::string>{"Edit/View Priority Rule", "Remove Priority Rule"}));

        form.lstPriorityRules->setCurrentRow(1);
        form.cmdEditPriorityRule->click();
        QCOMPARE(opened, 1);
        QTest::keyClick(form.lstPriorityRules, Qt::Key_Delete);
        QCOMPARE(Lines(form.lstPriorityRules),
                 QStringList{QStringLiteral("08:00 AM to 12:00 PM - NORMAL PRIORITY")});
        QCOMPARE(r.rules.Count(), 1);
    }

    // A run's thread waiting for the window is MainWindowRunsTest's; here what a user sees of a
    // plan of six, the strike-outs of operations 2 and 5, and the box unchecked.
    void TheWindowShowsThePlanAndStrikesOutByKeyAndButton() {
        Shown shown({"Photos to USB disk", Plan(4), true});
        QVERIFY(shown.exposed);
        frmConfirmChanges& window = shown.window;
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
        QVERIFY(shown.prompt.messages.shown.empty());
        QVERIFY(window.chkConfirmSyncActions->isChecked());
        QTest::mouseClick(window.chkConfirmSyncActions, Qt::LeftButton);

        QTest::keyClick(window.lvwFileOps, Qt::Key_Return);  // Enter performs
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(!shown.controller.Cancelled());
        QCOMPARE(shown.optionTold, std::vector<bool>{false});
    }

    void AHundredThousandOperationsOpenAtOnceAndStrikeOutAtOnce() {
        std::vector<PlannedOperation> plan = Plan(99998);  // with the folder and the orphan
        QElapsedTimer timer;
        timer.start();
        Shown shown({"Photos", std::move(plan), true});
        QVERIFY(shown.exposed);
        frmConfirmChanges& window = shown.window;
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
        const std::vector<bool>& flags = shown.controller.SkipFlags();
        QVERIFY(!flags[49999] && flags[50000] && flags[99999]);
        QCOMPARE(std::count(flags.begin(), flags.end(), true), 50000);

        // Nothing selected: told so, and the list stays. "Perform Actions" performs the rest.
        window.lvwFileOps->clearSelection();
        QTest::mouseClick(window.cmdRemove, Qt::LeftButton);
        QCOMPARE(shown.prompt.messages.shown.size(), std::size_t{1});
        QCOMPARE(window.Model().rowCount(), 50000);
        QTest::mouseClick(window.cmdPerform, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(std::count(flags.begin(), flags.end(), true), 50000);
        qInfo(
            "100,000 operations: window open and painted in %lld ms; 50,000 struck out in "
            "%lld ms",
            opened, struck);
    }

    // A window's close box never means "do it": Escape and the close box each cancel the run
    // once (the Cancel button is MainWindowRunsTest's; that a cancel strikes out everything is
    // the controller's test).
    void EscapeAndTheCloseBoxCancelTheRun_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close box") << false;
    }

    void EscapeAndTheCloseBoxCancelTheRun() {
        QFETCH(bool, escape);
        Shown shown({"Photos", Plan(2), true});
        QVERIFY(shown.exposed);
        frmConfirmChanges& window = shown.window;
        QCOMPARE(window.cmdCancel->text(), QStringLiteral("Cancel"));
        if (escape) {
            QTest::keyClick(window.lvwFileOps, Qt::Key_Escape);
        } else {
            QVERIFY(window.close());
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(shown.cancels, 1);
    }

    // A task name of 300 characters: the window keeps a width a screen holds, the name is shown
    // with its middle elided, and the label still gives it whole.
    void ALongTaskNameLeavesTheWindowOnScreen() {
        const std::string name = "Start " + std::string(288, 'n') + " the end";
        Shown shown({name, Plan(2), true});
        QVERIFY(shown.exposed);
        frmConfirmChanges& window = shown.window;
        QVERIFY2(window.minimumSizeHint().width() <= 860,
                 qPrintable(QString::number(window.minimumSizeHint().width())));
        QCOMPARE(window.width(), 860);
        QVERIFY(window.cmdPerform->geometry().right() < window.width());
        QCOMPARE(window.lblTaskName->text(), QString::fromStdString(name));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::SmallDialogsTest)
#include "SmallDialogsTest.moc"
