// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Help menu: the help pages by context, the two web items and the About box.

#include <functional>

#include "app/help/HelpTopics.h"
#include "app/mainwindow/MainCommands.h"

namespace duvanto {

struct HelpCommandTargets {
    IHelpViewer& help;
    std::function<void(HelpWebItem)> openWebItem;
    std::function<void()> openAbout;
};

void RegisterHelpCommands(CommandRegistry& registry, HelpCommandTargets targets);

}  // namespace duvanto
