// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/WindowCommands.h"

namespace duvanto {

void RegisterWindowCommands(CommandRegistry& registry, MainWindowController& window) {
    const auto paused = [&window] { return CommandState{true, window.Paused()}; };
    const auto close = [&window] { window.CloseRequested(); };
    registry.Register("mnuFileClose", {close, {}});
    registry.Register("mnuFilePause", {[&window] { window.TogglePause(); }, paused});
    registry.Register("mnuTrayPause", {[&window] { window.TogglePause(); }, paused});
    registry.Register("mnuTrayResetError", {[&window] { window.ResetErrorAll(); }, {}});
    registry.Register("mnuTrayCancel", {[] {}, {}});
    registry.Register("mnuTrayShow",
                      {[&window] { window.ShowMainWindow(); },
                       [&window] { return CommandState{window.TrayMenu().showEnabled}; }});
    registry.Register(
        "mnuTraySendToTray",
        {close, [&window] { return CommandState{window.TrayMenu().sendToTrayEnabled}; }});
    const auto shutDown = [&window] { window.ShutDown(); };
    registry.Register("mnuFileShutDown", {shutDown, {}});
    registry.Register("mnuTrayShutDown", {shutDown, {}});
}

}  // namespace duvanto
