// SPDX-License-Identifier: GPL-3.0-or-later
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

}  // namespace duvanto::test
