// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of the window itself and of the tray: Close, Send to Tray, Show Main Window,
// Shut Down (File menu and tray), Pause Scheduler (File menu and tray), the tray's Reset Error
// Indicator and its Cancel This Menu.

#include "app/mainwindow/MainCommands.h"
#include "app/mainwindow/MainWindowController.h"

namespace duvanto {

void RegisterWindowCommands(CommandRegistry& registry, MainWindowController& window);

}  // namespace duvanto
