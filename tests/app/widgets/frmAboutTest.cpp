// The About box shows the build's version and our texts, and System Info tells the system.

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/logic/AppInfo.h"
#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/frmAbout.h"
#include "support/AppTestSupport.h"
#include "support/FakeAppPrompt.h"

namespace duvanto {

class frmAboutTest : public QObject {
    Q_OBJECT

private slots:
    void ShowsTheCaptionTheVersionAndTheLegalText() {
        test::FakeAppPrompt prompt;
        frmAbout about("/tmp/home/", prompt);
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Duvanto"));
        QCOMPARE(about.lblTitle->text(),
                 QStringLiteral("Duvanto v") + QString::fromStdString(ProgramVersion()));
        QVERIFY(QRegularExpression(QStringLiteral("^Duvanto v\\d+\\.\\d+\\.\\d+$"))
                    .match(about.lblTitle->text())
                    .hasMatch());
        QVERIFY(about.lblDisclaimer->text().contains(QStringLiteral("Do Not Delete")));
        QVERIFY(!about.picIcon->pixmap().isNull());
        QCOMPARE(test::FindButton(&about, QStringLiteral("&System Info...")), about.cmdSysInfo);
        QCOMPARE(test::FindButton(&about, QStringLiteral("OK")), about.cmdOK);
        QVERIFY(about.cmdOK->isDefault());
    }

    void SystemInfoNamesTheSystemQtAndTheProgramFolder() {
        test::FakeAppPrompt prompt;
        frmAbout about("/tmp/home/", prompt);
        about.show();
        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(prompt.messages.shown.size(), std::size_t{1});
        const auto& shown = prompt.messages.shown[0];
        QCOMPARE(shown.title, std::string("System Information"));
        const QString text = QString::fromStdString(shown.text);
        QVERIFY2(text.contains(QStringLiteral("Qt: %1 (offscreen)").arg(qVersion())),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Kernel: Linux ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Program folder: /tmp/home/")), qPrintable(text));
        QVERIFY(about.isVisible());
    }

    void OkAndEscapeCloseIt() {
        test::FakeAppPrompt prompt;
        frmAbout about("/tmp/home/", prompt);
        about.show();
        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());

        about.show();
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        QVERIFY(prompt.messages.shown.empty());
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::frmAboutTest)
#include "frmAboutTest.moc"
