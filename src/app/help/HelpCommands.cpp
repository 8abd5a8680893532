// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/HelpCommands.h"

namespace duvanto {

void RegisterHelpCommands(CommandRegistry& registry, HelpCommandTargets targets) {
    IHelpViewer& help = targets.help;
    const auto page = [&help](int context) {
        return CommandHandler{[&help, context] { help.ShowHelp(context); }, {}};
    };
    registry.Register("mnuHelpContents", page(HelpContents));
    registry.Register("mnuHelpIconLegend", page(HelpIconLegend));
    registry.Register("mnuHelpTroubleshooting", page(HelpTroubleshooting));
    const auto web = [open = targets.openWebItem](HelpWebItem item) {
        return CommandHandler{[open, item] { open(item); }, {}};
    };
    if (targets.openWebItem) {
        registry.Register("mnuHelpWebSite", web(HelpWebItem::WebSite));
        registry.Register("mnuHelpContactUs", web(HelpWebItem::ContactUs));
    }
    if (targets.openAbout) {
        registry.Register("mnuHelpAbout", {targets.openAbout, {}});
    }
}

}  // namespace duvanto
