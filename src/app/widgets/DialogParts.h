#pragma once
// Pieces every dialog of the task windows has: controls named as documented, and the row of
// OK, Cancel and Help buttons at the bottom right with F1 for Help.

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>
#include <functional>

namespace duvanto {

// Gives the control its documented name as its object name, so that tests find it.
template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

struct DialogButtons {
    QPushButton* ok = nullptr;  // the default button
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr;
    QHBoxLayout* row = nullptr;
};

// The three buttons, named okName, cancelName and "cmdHelp"; Help and F1 call `help`.
DialogButtons MakeDialogButtons(QWidget* dialog, const char* okName, const char* cancelName,
                                std::function<void()> help);

}  // namespace duvanto
