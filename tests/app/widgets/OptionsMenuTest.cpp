// The main window's Options menu on the offscreen platform: its marks follow the options file,
// each choice is in the file at once, the trash warning comes once, and run at login writes its
// autostart entry into the folder it was given.

#include <QtTest>

#include "app/support/MainWindowWorld.h"
#include "app/widgets/CommandMenus.h"
#include "app/widgets/frmDuvanto.h"

namespace duvanto {

namespace {

using test::MainWindowWorld;

struct Window {
    explicit Window(MainWindowWorld& world)
        : window({world.App(), world.Options(), world.prompt, false,
                  RunAtLoginSetup{{world.home / "autostart/", world.home / "xdg/"},
                                  "/opt/duvanto/duvanto"},
                  [](const QUrl&) {}}) {
        window.Load();
        window.RestoreMainWindow();
    }
    // The item as the menu shows it when it opens.
    QAction* Item(const char* id) {
        UpdateMenuStates(window.mnuOptions, window.Commands());
        return FindCommandAction(window.mnuOptions, QString::fromLatin1(id));
    }
    frmDuvanto window;
};

}  // namespace

class OptionsMenuTest : public QObject {
    Q_OBJECT

private slots:
    void MarksFollowTheFileAndEveryChoiceIsSavedAtOnce() {
        MainWindowWorld world;
        test::WriteFile(world.home / kIniFileName,
                        "[Miscellaneous]\r\nShowToolbar=Show\r\nDeleteMethod=0\r\n"
                        "[Comparison]\r\nIgnoreHiddenFolders=False\r\n");
        Window w(world);
        const std::string ini = world.home / kIniFileName;
        QVERIFY(w.Item("mnuOptionsDeleteMethod_0")->isChecked());
        QVERIFY(!w.Item("mnuOptionsDeleteMethod_1")->isChecked());
        QVERIFY(!w.Item("mnuOptionsIgnoreHiddenFolders")->isChecked());
        QVERIFY(w.Item("mnuOptionsIgnoreSystemFolders")->isChecked());

        w.Item("mnuOptionsIgnoreHiddenFolders")->trigger();
        QVERIFY(w.Item("mnuOptionsIgnoreHiddenFolders")->isChecked());
        QVERIFY(test::ReadFile(ini).find("IgnoreHiddenFolders=True") != std::string::npos);

        // The warning the first time "Send To Trash" is chosen, and never again.
        w.Item("mnuOptionsDeleteMethod_1")->trigger();
        QCOMPARE(world.Titles(), std::vector<std::string>{"Send To Trash"});
        QVERIFY(w.Item("mnuOptionsDeleteMethod_1")->isChecked());
        QVERIFY(!w.Item("mnuOptionsDeleteMethod_0")->isChecked());
        QVERIFY(test::ReadFile(ini).find("DeleteMethod=1") != std::string::npos);
        QVERIFY(test::ReadFile(ini).find("SendToRecycleBinMsg=False") != std::string::npos);
        w.Item("mnuOptionsDeleteMethod_0")->trigger();
        w.Item("mnuOptionsDeleteMethod_1")->trigger();
        QCOMPARE(world.Titles().size(), std::size_t{1});
        QCOMPARE(world.App().Settings.DeleteMethod, DeleteMethodType::SendToRecycleBin);
    }

    void RunAtLoginWritesTheEntryOfTheCurrentUser() {
        MainWindowWorld world;
        Window w(world);
        w.Item("mnuOptionsRunOnWindowsStartupCurrentUser")->trigger();
        const std::string entry = test::ReadFile(world.home / "autostart/duvanto.desktop");
        QVERIFY(entry.find("Exec=") != std::string::npos);
        QVERIFY(entry.find("/opt/duvanto/duvanto") != std::string::npos);
        QVERIFY(w.Item("mnuOptionsRunOnWindowsStartupCurrentUser")->isChecked());
        QVERIFY(!w.Item("mnuOptionsRunOnWindowsStartupNoRun")->isChecked());
        w.Item("mnuOptionsRunOnWindowsStartupNoRun")->trigger();
        QVERIFY(!QFile::exists(QString::fromStdString(world.home / "autostart/duvanto.desktop")));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::OptionsMenuTest)
#include "OptionsMenuTest.moc"
