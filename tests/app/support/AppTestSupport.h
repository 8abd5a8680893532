#pragma once
// Helpers for widget tests: find controls the way a user finds them, by their captions.

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QString>
#include <QWidget>

namespace duvanto::test {

// The first button under root whose text is `text` (access-key "&" included, as the
// caption is stored); nullptr when none is.
QAbstractButton* FindButton(QWidget* root, const QString& text);

// The action of the menu whose text is `text` ("&" included), searched through sub-menus;
// nullptr when none is.
QAction* FindMenuAction(QMenu* menu, const QString& text);

}  // namespace duvanto::test
