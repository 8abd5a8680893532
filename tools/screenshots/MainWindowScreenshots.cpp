// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with five tasks (one whose last run failed, one next to run, one waiting for
// its memory card, one run whenever its disk is plugged in), the same during
// a run, as a later start shows it where the desktop has no tray, its File and Options menus and
// the tray menu as they open, the About box, and the help window at the quick-start page as a
// user first sees it.

#include "app/help/QtHelpWindow.h"
#include "app/help/frmAbout.h"
#include "app/mainwindow/MainCommands.h"
#include "app/mainwindow/QtCommandMenus.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/mainwindow/frmDuvanto.h"
#include "app/runs/QtMainWindowRuns.h"
#include "app/support/MainWindowWorld.h"
#include "screenshots/Screenshots.h"

namespace duvanto::screenshots {

namespace {

// Thursday 4 December 2003 in the afternoon, as in the other pictures.
constexpr double kNow = 37959.6932407407;

// A program folder with the options and tasks of the pictures; a first run until it has them.
struct DemoProgram : test::MainWindowWorld {
    DemoProgram() : MainWindowWorld(false) {
        test::WriteFile(home / kIniFileName,
                        "[Form Dimensions]\r\nHeight=6600\r\nWidth=13200\r\n"
                        "[ColumnWidths]\r\nColumnOne=150\r\nColumnTwo=140\r\nColumnThree=170\r\n"
                        "ColumnFour=255\r\nColumnFive=150\r\n");
        cCloneTask documents = test::MakeTask("Documents", IntervalDays, kNow + 0.7);
        documents.SourceFolderSpec = "/home/anna/Documents/";
        documents.TargetFolderSpec = "/media/anna/Backup/Documents/";
        documents.LastCloneDateTime = kNow - 0.3;
        cCloneTask photos = test::MakeTask("Photos", IntervalManual, 0, true);
        photos.SourceFolderSpec = "/home/anna/Pictures/";
        photos.TargetFolderSpec = "/media/anna/Backup/Pictures/<:>/srv/nas/anna/Pictures/";
        photos.LastCloneDateTime = kNow - 2.1;
        cCloneTask music = test::MakeTask("Music", IntervalSelectedDays, kNow + 2.6);
        music.SourceFolderSpec = "/home/anna/Music/";
        music.TargetFolderSpec = "/srv/nas/anna/Music/";
        music.LastCloneDateTime = kNow - 4.6;
        // Due since this morning, its memory card not in the reader: it waits.
        cCloneTask camera = test::MakeTask("Camera", IntervalHours, kNow - 0.2);
        camera.SourceFolderSpec = "/home/anna/Pictures/Camera/";
        camera.TargetFolderSpec = "/media/anna/SDCARD/Camera/";
        camera.LastCloneDateTime = kNow - 1.2;
        // Run each time the backup disk is plugged in.
        cCloneTask phone = test::MakeTask("Phone", IntervalOnConnect, 0);
        phone.SourceFolderSpec = "/home/anna/Phone/";
        phone.TargetFolderSpec = "/media/anna/BACKUP/Phone/";
        phone.LastCloneDateTime = kNow - 0.9;
        SaveTasks({documents, photos, music, camera, phone});
    }
};

frmDuvanto* MakeWindow(Context& context) {
    auto* program = new DemoProgram;
    auto* window = Owning(
        new frmDuvanto({program->Started(), program->prompt, false,
                        RunAtLoginSetup{{context.scratch + "autostart/", context.scratch + "xdg/"},
                                        "/usr/bin/duvanto",
                                        ""},
                        [](const QUrl&) {}, [] { return false; }}),
        program);
    window->Load();
    return window;
}

// A menu made as the window makes it, from the same commands and their states, popped up; the
// tool deletes it, and the window with it.
QMenu* PopUp(frmDuvanto* window, const CommandEntry& entry, const QPoint& place) {
    auto* menu = new QMenu;
    menu->setObjectName(QString::fromStdString(entry.id));
    FillMenu(menu, entry, window->Commands());
    QObject::connect(menu, &QObject::destroyed, [window] { delete window; });
    menu->popup(place);
    return menu;
}

QWidget* MainWindow(Context& context) {
    frmDuvanto* window = MakeWindow(context);
    window->RestoreMainWindow();
    window->lvwTasks->setCurrentIndex(window->Model().index(0, 0));
    window->Model().setData(window->Model().index(2, 0), Qt::Checked, Qt::CheckStateRole);
    window->SetStatusText(1, "Clone Complete - Documents");
    window->move(60, 60);
    return window;
}

QWidget* RunInProgress(Context& context) {
    frmDuvanto* window = MakeWindow(context);
    window->RestoreMainWindow();
    window->lvwTasks->setCurrentIndex(window->Model().index(1, 0));
    // What a run of Photos reports inside a 2 GB video, three small files copied before it.
    RunStatusUpdate update;
    update.MenusEnabled = false;
    update.Caption = "Duvanto running task: Photos";
    update.TrayTooltip = update.Caption;
    update.Animation = true;
    update.Panel1 =
        "Cloning folder \"/home/anna/Pictures/2026/Holidays in the mountains/\".  Press ESC to "
        "Cancel...";
    update.Panel2 = "60%";
    update.Progress = RunProgress{3, 4, 1288490189, 2147500000, 3, 5};
    window->Runs().ShowUpdate(update);
    window->move(60, 60);
    return window;
}

QWidget* TrayMenuShot(Context& context) {
    frmDuvanto* window = MakeWindow(context);
    window->HideMainWindow();
    // The tray's own menu belongs to the tray; the picture shows a copy made the same way.
    QMenu* menu = PopUp(window, TrayMenu(), QPoint(900, 500));
    const TrayMenuState state = window->Controller().TrayMenu();
    menu->setDefaultAction(FindCommandAction(menu, QString::fromStdString(state.defaultItem)));
    return menu;
}

// A later start on a desktop without a tray: the load itself shows the window, the keyboard in
// the list at its first task.
QWidget* NoTrayStart(Context& context) {
    frmDuvanto* window = MakeWindow(context);
    window->move(60, 60);
    window->activateWindow();
    return window;
}

// With Shut Down after Close, the way out where there is no tray.
QWidget* FileMenu(Context& context) {
    frmDuvanto* window = MakeWindow(context);
    window->HideMainWindow();
    for (const CommandEntry& entry : MainMenuBar()) {
        if (entry.id == "mnuFile") {
            return PopUp(window, entry, QPoint(60, 60));
        }
    }
    delete window;
    return nullptr;
}

// Orphans sent to the trash and the toolbar shown, as the demo options leave them.
QWidget* OptionsMenu(Context& context) {
    frmDuvanto* window = MakeWindow(context);
    window->HideMainWindow();
    for (const CommandEntry& entry : MainMenuBar()) {
        if (entry.id == "mnuOptions") {
            return PopUp(window, entry, QPoint(120, 60));
        }
    }
    delete window;
    return nullptr;
}

QWidget* About(Context& context) {
    auto* prompt = new QtAppPrompt;
    auto* about = Owning(new frmAbout(context.home, *prompt), prompt);
    about->show();
    return about;
}

QWidget* HelpQuickStartShot(Context&) {
    auto* help = new HelpWindow(nullptr, [](const QUrl&) {});
    help->ShowHelp(HelpQuickStart);
    return help;
}

}  // namespace

DUVANTO_SCREENSHOT("main-window", MainWindow);
DUVANTO_SCREENSHOT("run-in-progress", RunInProgress);
DUVANTO_SCREENSHOT("tray-menu", TrayMenuShot);
DUVANTO_SCREENSHOT("no-tray-start", NoTrayStart);
DUVANTO_SCREENSHOT("file-menu", FileMenu);
DUVANTO_SCREENSHOT("options-menu", OptionsMenu);
DUVANTO_SCREENSHOT("about", About);
DUVANTO_SCREENSHOT("help-quick-start", HelpQuickStartShot);

}  // namespace duvanto::screenshots
