#include "support/AppTestSupport.h"

namespace duvanto::test {

QAbstractButton* FindButton(QWidget* root, const QString& text) {
    const auto buttons = root->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

QAction* FindMenuAction(QMenu* menu, const QString& text) {
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        if (action->text() == text) {
            return action;
        }
        if (action->menu() != nullptr) {
            if (QAction* found = FindMenuAction(action->menu(), text)) {
                return found;
            }
        }
    }
    return nullptr;
}

}  // namespace duvanto::test
