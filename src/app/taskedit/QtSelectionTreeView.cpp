// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/QtSelectionTreeView.h"

#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace duvanto {

// The view's own delegate, which lets the view lay a row out as the delegate draws it.
class CheckBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void Describe(QStyleOptionViewItem& option, const QModelIndex& index) const {
        initStyleOption(&option, index);
    }
};

SelectionTreeView::SelectionTreeView(QWidget* parent)
    : QTreeView(parent), m_delegate(new CheckBoxDelegate(this)) {
    setItemDelegate(m_delegate);
    // The click that begins a double click has opened or closed the folder already.
    setExpandsOnDoubleClick(false);
    connect(this, &QAbstractItemView::clicked, this, &SelectionTreeView::RowClicked);
}

QRect SelectionTreeView::CheckBoxRect(const QModelIndex& index) const {
    // Laid out as the delegate lays out the row when a click reaches it.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    m_delegate->Describe(option, index);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void SelectionTreeView::mouseReleaseEvent(QMouseEvent* event) {
    m_releasedAt = event->position().toPoint();
    QTreeView::mouseReleaseEvent(event);
}

void SelectionTreeView::RowClicked(const QModelIndex& index) {
    if (model() == nullptr || !model()->hasChildren(index) ||
        CheckBoxRect(index).contains(m_releasedAt)) {
        return;
    }
    setExpanded(index, !isExpanded(index));
}

}  // namespace duvanto
