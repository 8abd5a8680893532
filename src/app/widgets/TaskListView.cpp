#include "app/widgets/TaskListView.h"

#include <QKeyEvent>
#include <QPainter>

#include "app/widgets/Pictures.h"

namespace duvanto {

TaskListView::TaskListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TaskListView::SetPaused(bool paused) {
    m_paused = paused;
    viewport()->update();
}

void TaskListView::paintEvent(QPaintEvent* event) {
    if (m_paused) {
        // Drawn on every paint, so a resized view shows it centred again.
        QPainter painter(viewport());
        const QPixmap picture = PausedBackground(devicePixelRatioF());
        const QSizeF size = picture.deviceIndependentSize();
        const QPointF corner((viewport()->width() - size.width()) / 2,
                             (viewport()->height() - size.height()) / 2);
        painter.drawPixmap(corner, picture);
    }
    QTreeView::paintEvent(event);
}

void TaskListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit DeletePressed();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit EscapePressed();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != QAbstractItemView::EditingState) {
        if (currentIndex().isValid()) {
            emit ActivatePressed();
        }
        return;
    }
    QTreeView::keyPressEvent(event);
}

}  // namespace duvanto
