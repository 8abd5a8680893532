// The order-tasks window by keyboard and the tray reminder, on the offscreen platform.

#include <QtTest>

#include "app/widgets/frmOrderTasks.h"
#include "app/widgets/frmSysTrayReminder.h"
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

struct Reporting {
    test::FakeAppPrompt prompt;
    test::FixedClock clock;
    ErrorReporter reporter{"/nonexistent/", prompt, clock};
};

}  // namespace

class SmallDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void TheOrderIsSetByKeyboardAndOKHandsItBack() {
        Reporting world;
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
        Reporting world;
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
};

}  // namespace duvanto

QTEST_MAIN(duvanto::SmallDialogsTest)
#include "SmallDialogsTest.moc"
