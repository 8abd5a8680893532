// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/QtDialogParts.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

namespace duvanto {

DialogButtons MakeDialogButtons(QWidget* dialog, const char* okName, const char* cancelName,
                                std::function<void()> help) {
    DialogButtons buttons;
    buttons.ok = Named(new QPushButton(QObject::tr("OK"), dialog), okName);
    buttons.ok->setDefault(true);
    buttons.cancel = Named(new QPushButton(QObject::tr("Cancel"), dialog), cancelName);
    buttons.help = Named(new QPushButton(QObject::tr("&Help"), dialog), "cmdHelp");
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch(1);
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    buttons.row->addWidget(buttons.help);
    QObject::connect(buttons.help, &QPushButton::clicked, dialog, help);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, dialog);
    QObject::connect(f1, &QShortcut::activated, dialog, std::move(help));
    return buttons;
}

namespace {

// The widest an eliding label asks to be, and the least it accepts, in average characters.
constexpr int kLabelPreferredCharacters = 60;
constexpr int kLabelLeastCharacters = 8;

}  // namespace

QSize ElidingLabel::sizeHint() const {
    QSize size = QLabel::sizeHint();
    size.setWidth(
        std::min(size.width(), fontMetrics().averageCharWidth() * kLabelPreferredCharacters));
    return size;
}

QSize ElidingLabel::minimumSizeHint() const {
    QSize size = QLabel::minimumSizeHint();
    size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * kLabelLeastCharacters));
    return size;
}

QString ElidingLabel::Shown() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

void ElidingLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                          isEnabled(), Shown(), foregroundRole());
}

bool ElidingLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (Shown() != text()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QLabel::event(event);
}

QString ElidedCaption(const QString& caption) {
    if (caption.size() <= kCaptionCharacters) {
        return caption;
    }
    qsizetype head = kCaptionCharacters * 2 / 3;
    qsizetype tail = kCaptionCharacters - head - 1;
    // Never between the halves of a character outside the Basic Multilingual Plane.
    if (caption.at(head).isLowSurrogate()) {
        --head;
    }
    if (caption.at(caption.size() - tail).isLowSurrogate()) {
        --tail;
    }
    return caption.left(head) + QChar(0x2026) + caption.right(tail);
}

}  // namespace duvanto
