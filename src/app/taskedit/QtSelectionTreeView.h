// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check-box tree of the selected-files and restore windows. A click on a folder's row opens
// or closes the folder, as a click on its branch mark does; a click on its check box only
// checks it. A double click opens or closes once, like the single click it begins with.

#include <QPoint>
#include <QTreeView>

namespace duvanto {

class CheckBoxDelegate;

class SelectionTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit SelectionTreeView(QWidget* parent = nullptr);

    // Where the row's check box is drawn, in the viewport's coordinates.
    QRect CheckBoxRect(const QModelIndex& index) const;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RowClicked(const QModelIndex& index);

    CheckBoxDelegate* m_delegate;
    QPoint m_releasedAt;
};

}  // namespace duvanto
