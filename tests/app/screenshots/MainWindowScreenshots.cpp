// The main window with three tasks (one whose last run failed, one next to run) and the tray
// menu as it opens while the window is in the tray.

#include <QHeaderView>

#include "app/support/MainWindowWorld.h"
#include "app/widgets/CommandMenus.h"
#include "app/widgets/MainWindowRuns.h"
#include "app/widgets/TaskListModel.h"
#include "app/widgets/TaskListView.h"
#include "app/widgets/frmDuvanto.h"
#include "screenshots/Screenshots.h"

namespace duvanto::screenshots {

namespace {

// Thursday 4 December 2003 in the afternoon, as in the other pictures.
constexpr double kNow = 37959.6932407407;

struct Shot {
    explicit Shot(const std::string& home) : world(false) {
        test::WriteFile(world.home / kIniFileName,
                        "[Form Dimensions]\r\nHeight=6600\r\nWidth=13200\r\n"
                        "[ColumnWidths]\r\nColumnOne=150\r\nColumnTwo=170\r\nColumnThree=200\r\n"
                        "ColumnFour=150\r\nColumnFive=150\r\n");
        (void)home;
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
        world.SaveTasks({documents, photos, music});
        world.clock.now = kNow;
    }

    test::MainWindowWorld world;
};

frmDuvanto* MakeWindow(Context& context) {
    auto* shot = new Shot(context.home);
    auto* window =
        new frmDuvanto({shot->world.App(), shot->world.Options(), shot->world.prompt, false,
                        RunAtLoginSetup{{context.scratch + "autostart/", context.scratch + "xdg/"},
                                        "/usr/bin/duvanto"},
                        [](const QUrl&) {}});
    QObject::connect(window, &QObject::destroyed, [shot] { delete shot; });
    window->Load();
    return window;
}

}  // namespace

DUVANTO_SCREENSHOT("main-window", [](Context& context) -> QWidget* {
    frmDuvanto* window = MakeWindow(context);
    window->RestoreMainWindow();
    window->lvwTasks->setCurrentIndex(window->Model().index(0, 0));
    window->Model().setData(window->Model().index(2, 0), Qt::Checked, Qt::CheckStateRole);
    window->SetStatusText(1, "Clone Complete - Documents");
    window->move(60, 60);
    return window;
});

DUVANTO_SCREENSHOT("tray-menu", [](Context& context) -> QWidget* {
    frmDuvanto* window = MakeWindow(context);
    window->HideMainWindow();
    // The tray's own menu belongs to the tray; the picture shows a copy made the same way.
    auto* menu = new QMenu;
    FillMenu(menu, TrayMenu(), window->Commands());
    const TrayMenuState state = window->Controller().TrayMenu();
    menu->setDefaultAction(FindCommandAction(menu, QString::fromStdString(state.defaultItem)));
    QObject::connect(menu, &QObject::destroyed, [window] { delete window; });
    menu->popup(QPoint(900, 500));
    return menu;
});

}  // namespace duvanto::screenshots

namespace duvanto::screenshots {

QWidget* RunInProgress(Context& context) {
    frmDuvanto* window = MakeWindow(context);
    window->RestoreMainWindow();
    window->lvwTasks->setCurrentIndex(window->Model().index(1, 0));
    // What a run of Photos reports half-way through its first Target.
    RunStatusUpdate update;
    update.MenusEnabled = false;
    update.Caption = "Duvanto running task: Photos";
    update.TrayTooltip = update.Caption;
    update.Animation = true;
    update.Panel1 = "Cloning folder \"/home/anna/Pictures/\".  Press ESC to Cancel...";
    update.Panel2 = "42%";
    update.Progress = RunProgress{1218, 2904, 1288490189, 3071000000};
    window->Runs().ShowUpdate(update);
    window->move(60, 60);
    return window;
}

DUVANTO_SCREENSHOT("run-in-progress", RunInProgress);

}  // namespace duvanto::screenshots
