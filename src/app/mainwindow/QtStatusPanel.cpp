// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtStatusPanel.h"

#include <QPainter>
#include <QStyle>

namespace duvanto {

namespace {

const QString kEscapeHint = QStringLiteral("Press ESC to Cancel...");

}  // namespace

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

QString StatusPanel::ShownText() const {
    const QString full = text();
    const QFontMetrics metrics = fontMetrics();
    const int width = contentsRect().width() - 2 * margin();
    if (metrics.horizontalAdvance(full) <= width) {
        return full;
    }
    const qsizetype hint = full.lastIndexOf(kEscapeHint);
    if (hint < 0) {
        return metrics.elidedText(full, Qt::ElideRight, width);
    }
    // The folder's name loses its middle, where a path says least.
    const QString tail = full.mid(hint);
    const int room = width - metrics.horizontalAdvance(tail);
    return (room > 0 ? metrics.elidedText(full.left(hint), Qt::ElideMiddle, room) : QString()) +
           tail;
}

QSize StatusPanel::minimumSizeHint() const {
    // Room for the hint, so that the bar beside the panel never covers it; any other text
    // may shrink to nothing.
    QSize size = QLabel::minimumSizeHint();
    const int margins = contentsMargins().left() + contentsMargins().right() + 2 * margin();
    const int hint =
        text().contains(kEscapeHint) ? fontMetrics().horizontalAdvance(kEscapeHint) : 0;
    size.setWidth(hint + margins);
    return size;
}

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), ShownText(), foregroundRole());
}

}  // namespace duvanto
