// The Options menu of the main window with the marks of a user's options: orphans sent to the
// trash, the toolbar shown.

#include "app/logic/MainCommands.h"
#include "app/support/MainWindowWorld.h"
#include "app/widgets/CommandMenus.h"
#include "app/widgets/frmDuvanto.h"
#include "screenshots/Screenshots.h"

namespace duvanto::screenshots {

DUVANTO_SCREENSHOT("options-menu", [](Context& context) -> QWidget* {
    auto* world = new test::MainWindowWorld(false);
    test::WriteFile(world->home / kIniFileName,
                    "[Miscellaneous]\r\nShowToolbar=Show\r\nDeleteMethod=1\r\n");
    auto* window =
        new frmDuvanto({world->App(), world->Options(), world->prompt, false,
                        RunAtLoginSetup{{context.scratch + "autostart/", context.scratch + "xdg/"},
                                        "/usr/bin/duvanto"},
                        [](const QUrl&) {}});
    QObject::connect(window, &QObject::destroyed, [world] { delete world; });
    // A menu made as the menu bar makes it, from the same commands and their states; the tool
    // deletes it, and the window with it.
    auto* menu = new QMenu;
    menu->setObjectName(QStringLiteral("mnuOptions"));
    for (const CommandEntry& entry : MainMenuBar()) {
        if (entry.id == "mnuOptions") {
            FillMenu(menu, entry, window->Commands());
        }
    }
    QObject::connect(menu, &QObject::destroyed, [window] { delete window; });
    menu->popup(QPoint(120, 60));
    return menu;
});

}  // namespace duvanto::screenshots
