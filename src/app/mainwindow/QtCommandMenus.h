// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds Qt menus from the command table: each action carries its command's id as objectName,
// forwards a click to the registry, and takes its enabled and checked states from it whenever
// its menu opens.

#include <QMenu>
#include <QString>

#include "app/mainwindow/MainCommands.h"

namespace duvanto {

// Adds the entry's children to `menu` (sub-menus included).
void FillMenu(QMenu* menu, const CommandEntry& entry, CommandRegistry& registry);
// The states of every command action below `menu`, from the registry.
void UpdateMenuStates(QMenu* menu, const CommandRegistry& registry);
// The action of that id below `menu`; nullptr when none.
QAction* FindCommandAction(QMenu* menu, const QString& id);

}  // namespace duvanto
