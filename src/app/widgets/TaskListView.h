#pragma once
// The task list view (lvwTasks): the paused picture behind the rows while the scheduler is
// paused, and the keys the list handles itself: Delete, Escape and Enter.

#include <QTreeView>

namespace duvanto {

class TaskListView : public QTreeView {
    Q_OBJECT
public:
    explicit TaskListView(QWidget* parent = nullptr);

    void SetPaused(bool paused);
    bool Paused() const { return m_paused; }

signals:
    void DeletePressed();
    void EscapePressed();
    // Enter on the current row: what a double-click on it does.
    void ActivatePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_paused = false;
};

}  // namespace duvanto
