// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtTaskListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include "app/common/QtPictures.h"
#include "settings/ProgramOptions.h"

namespace duvanto {

TaskListView::TaskListView(QWidget* parent) : QTreeView(parent), m_chosen(kDefaultColumnWidths) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The last column's stretch is ours: Qt's keeps the widest it ever gave, so a window made
    // smaller again would scroll sideways.
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { SectionResized(column, width); });
}

void TaskListView::SetPaused(bool paused) {
    m_paused = paused;
    viewport()->update();
}

void TaskListView::SetChosenColumnWidths(const std::array<int32_t, kVisibleTaskColumns>& chosen) {
    m_chosen = chosen;
    // The widths follow what the rows show.
    connect(model(), &QAbstractItemModel::modelReset, this, &TaskListView::LayOutColumns,
            Qt::UniqueConnection);
    connect(model(), &QAbstractItemModel::layoutChanged, this, &TaskListView::LayOutColumns,
            Qt::UniqueConnection);
    LayOutColumns();
}

void TaskListView::LayOutColumns() {
    if (model() == nullptr || m_layingOut) {
        return;
    }
    TaskColumnWidths content{};
    for (int column = 0; column < kVisibleTaskColumns; ++column) {
        content[static_cast<std::size_t>(column)] =
            std::max(sizeHintForColumn(column), header()->sectionSizeHint(column));
    }
    const TaskColumnWidths widths = LayOutTaskColumns(m_chosen, content, viewport()->width());
    m_layingOut = true;
    for (int column = 0; column < kVisibleTaskColumns; ++column) {
        header()->resizeSection(column, widths[static_cast<std::size_t>(column)]);
    }
    m_layingOut = false;
}

void TaskListView::SectionResized(int column, int width) {
    if (m_layingOut || column < 0 || column >= kVisibleTaskColumns) {
        return;
    }
    m_chosen[static_cast<std::size_t>(column)] = width;
    emit ColumnWidthChosen(column, width);
    LayOutColumns();
}

bool TaskListView::viewportEvent(QEvent* event) {
    const bool handled = QTreeView::viewportEvent(event);
    if (event->type() == QEvent::Resize) {
        LayOutColumns();
    }
    return handled;
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
