// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A panel of the main window's status bar. Its text() stays what the program set; what it shows
// is elided to fit, and a running phase's "Press ESC to Cancel..." is always shown whole: the
// progress bar beside it takes room, and the hint is what a user needs most of that line.

#include <QLabel>
#include <QString>

namespace duvanto {

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    // The text as painted at the panel's present width.
    QString ShownText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace duvanto
