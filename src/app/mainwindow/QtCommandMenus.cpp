// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtCommandMenus.h"

#include <QKeySequence>

namespace duvanto {

void FillMenu(QMenu* menu, const CommandEntry& entry, CommandRegistry& registry) {
    for (const CommandEntry& child : entry.children) {
        switch (child.kind) {
            case CommandKind::Separator:
                menu->addSeparator();
                break;
            case CommandKind::Submenu: {
                QMenu* sub = menu->addMenu(QString::fromStdString(child.caption));
                sub->setObjectName(QString::fromStdString(child.id));
                sub->menuAction()->setObjectName(QString::fromStdString(child.id));
                FillMenu(sub, child, registry);
                break;
            }
            default: {
                QAction* action = menu->addAction(QString::fromStdString(child.caption));
                action->setObjectName(QString::fromStdString(child.id));
                action->setCheckable(child.kind != CommandKind::Command);
                if (!child.shortcut.empty()) {
                    action->setShortcut(QKeySequence(QString::fromStdString(child.shortcut)));
                }
                const std::string id = child.id;
                // The registry decides the check mark; Qt's own flip is undone by the refresh.
                QObject::connect(action, &QAction::triggered, menu, [&registry, id, menu] {
                    registry.Invoke(id);
                    UpdateMenuStates(menu, registry);
                });
                break;
            }
        }
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [menu, &registry] { UpdateMenuStates(menu, registry); });
    UpdateMenuStates(menu, registry);
}

void UpdateMenuStates(QMenu* menu, const CommandRegistry& registry) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        if (QMenu* sub = action->menu()) {
            UpdateMenuStates(sub, registry);
            continue;
        }
        const CommandState state = registry.State(action->objectName().toStdString());
        action->setEnabled(state.enabled);
        if (action->isCheckable()) {
            action->setChecked(state.checked);
        }
    }
}

QAction* FindCommandAction(QMenu* menu, const QString& id) {
    for (QAction* action : menu->actions()) {
        if (action->objectName() == id && action->menu() == nullptr) {
            return action;
        }
        if (QMenu* sub = action->menu()) {
            if (QAction* found = FindCommandAction(sub, id)) {
                return found;
            }
        }
    }
    return nullptr;
}

}  // namespace duvanto
