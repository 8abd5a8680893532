// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pieces every dialog of the task windows has: controls named as documented, and the row of
// OK, Cancel and Help buttons at the bottom right with F1 for Help.

#include <QHBoxLayout>
#include <QLabel>
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

// A one-line label for a name of any length (a task's or a task list's): it asks for no more
// width than a name of ordinary length needs, and a name wider than the label is shown with
// its middle elided, whole in the tooltip. text() stays the whole name.
class ElidingLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString Shown() const;
};

// A window caption or tray tooltip with at most kCaptionCharacters characters: a longer one
// keeps its start and end around "…", so that a window manager or tray never gets a caption
// the width of several screens.
inline constexpr int kCaptionCharacters = 120;
QString ElidedCaption(const QString& caption);

}  // namespace duvanto
