// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order-tasks window: the names of the tasks about to run, which the user moves up and down
// or takes out before they run one after another. OK hands back the names in the order shown;
// closing it otherwise (close box, Escape) hands back none, and nothing runs.

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/runs/OrderTasksController.h"

namespace duvanto {

class frmOrderTasks : public QDialog {
    Q_OBJECT
public:
    frmOrderTasks(std::vector<std::string> names, IAppPrompt& prompt, ErrorReporter& reporter,
                  QWidget* parent = nullptr);

    // Shows the window modally; the main window's OrderOfTasks.
    static std::vector<std::string> Ask(std::vector<std::string> names, IAppPrompt& prompt,
                                        ErrorReporter& reporter, QWidget* parent = nullptr);

    // Empty unless the window was closed by OK.
    const std::vector<std::string>& OrderOfTasks() const { return m_orderOfTasks; }

    QListWidget* lstTasks;
    QPushButton* cmdMoveUp;
    QPushButton* cmdMoveDown;
    QPushButton* cmdRemove;
    QPushButton* OKButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int32_t SelectedRow() const;
    // Shows the controller's names with `selected` selected (-1: none).
    void ShowNames(int32_t selected);

    OrderTasksController m_controller;
    std::vector<std::string> m_orderOfTasks;
};

}  // namespace duvanto
