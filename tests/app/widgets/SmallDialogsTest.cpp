// The small windows on the offscreen platform: the order of tasks set by keyboard, the tray
// reminder, and the About box with its system information.

#include <QtTest>

#include "app/logic/AppInfo.h"
#include "app/widgets/frmAbout.h"
#include "app/widgets/frmOrderTasks.h"
#include "app/widgets/frmSysTrayReminder.h"
#include "support/AppTestSupport.h"
#include "support/FakeAppPrompt.h"

namespace duvanto {

namespace {

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines << list->item(i)->text();
    }
    return lines;
}

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
        for (const QString& fact : {QStringLiteral("Qt: %1 (offscreen)").arg(qVersion()),
                                    QStringLiteral("Kernel: Linux "), QStringLiteral("Program: /"),
                                    QStringLiteral("Program folder: /tmp/home/")}) {
            QVERIFY2(text.contains(fact), qPrintable(text));
        }
        QVERIFY(about.isVisible());

        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
        about.show();
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        QCOMPARE(prompt.messages.shown.size(), std::size_t{1});
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::SmallDialogsTest)
#include "SmallDialogsTest.moc"
