// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Options and Log menus: every item of their table goes to OptionsMenuController, which
// decides and says what each does.

#include "app/mainwindow/MainCommands.h"
#include "app/options/OptionsMenuController.h"

namespace duvanto {

void RegisterOptionsCommands(CommandRegistry& registry, OptionsMenuController& controller);

}  // namespace duvanto
