// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The task list view (lvwTasks): the paused picture behind the rows while the scheduler is
// paused, the keys the list handles itself (Delete, Escape, Enter), and the widths of its
// columns: the ones the user chose are kept, the others fit their text, and the last column
// fills the rest of the view.

#include <QTreeView>
#include <array>
#include <cstdint>

#include "app/mainwindow/TaskColumns.h"

namespace duvanto {

class TaskListView : public QTreeView {
    Q_OBJECT
public:
    explicit TaskListView(QWidget* parent = nullptr);

    void SetPaused(bool paused);
    bool Paused() const { return m_paused; }

    // The widths the user chose, as the options keep them; the view lays its columns out anew.
    // Call once the model is set.
    void SetChosenColumnWidths(const std::array<int32_t, kVisibleTaskColumns>& chosen);
    const std::array<int32_t, kVisibleTaskColumns>& ChosenColumnWidths() const { return m_chosen; }

signals:
    void DeletePressed();
    void EscapePressed();
    // Enter on the current row: what a double-click on it does.
    void ActivatePressed();
    // The user set the column's width (by dragging its edge or double-clicking it).
    void ColumnWidthChosen(int column, int width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void LayOutColumns();
    void SectionResized(int column, int width);

    bool m_paused = false;
    std::array<int32_t, kVisibleTaskColumns> m_chosen{};
    bool m_layingOut = false;
};

}  // namespace duvanto
