// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/OptionsCommands.h"

namespace duvanto {

namespace {

void RegisterItems(CommandRegistry& registry, OptionsMenuController& controller,
                   const MenuEntry& entry) {
    if (entry.command != MenuCommand::None) {
        const MenuCommand command = entry.command;
        registry.Register(entry.name, {[&controller, command] { controller.Run(command); },
                                       [&controller, command] {
                                           const MenuItemState state = controller.State(command);
                                           return CommandState{state.enabled, state.checked};
                                       }});
    }
    for (const MenuEntry& child : entry.children) {
        RegisterItems(registry, controller, child);
    }
}

}  // namespace

void RegisterOptionsCommands(CommandRegistry& registry, OptionsMenuController& controller) {
    RegisterItems(registry, controller, OptionsMenuEntries());
    RegisterItems(registry, controller, LogMenuEntries());
}

}  // namespace duvanto
