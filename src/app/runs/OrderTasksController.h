// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order-tasks window (frmOrderTasks) without its widgets: before two or more tasks run one
// after another, the user puts their names in order and may leave some out. OK hands back the
// names in the order shown; a window closed any other way hands back none, and nothing runs.

#include <cstdint>
#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "util/ErrorReporter.h"

namespace duvanto {

// Which tasks the window offers (the main window's OrderWhat).
enum class OrderWhat { CheckedTasks = 0, AllTasks = 1 };

// A row of the main window's task list as the window needs it.
struct TaskRowChoice {
    std::string Name;
    bool Checked = false;
};

// The names to offer, from the rows top to bottom: every row, or the checked ones.
std::vector<std::string> TasksToOrder(const std::vector<TaskRowChoice>& rows, OrderWhat what);

class OrderTasksController {
public:
    static constexpr const char* kCaption = "Order of Tasks";
    static constexpr const char* kExplanation =
        "The tasks run one after another, from the top of the list down.";

    OrderTasksController(std::vector<std::string> names, IAppPrompt& prompt,
                         ErrorReporter& reporter);

    const std::vector<std::string>& Names() const { return m_names; }
    // The entry selected when the window opens: the first, or none (-1) in an empty list.
    int32_t FirstSelection() const { return m_names.empty() ? -1 : 0; }

    // Each command gets the selected row (-1 for none) and returns the row to select after it.
    // A move keeps the entry selected and stops at either end; with nothing selected it tells
    // the user to select a task first.
    int32_t MoveUp(int32_t selected);
    int32_t MoveDown(int32_t selected);
    // Takes the entry out of the list (the task itself is untouched); the entry that took its
    // place, or the new last one, is selected next.
    int32_t Remove(int32_t selected);

    // The names in the order shown, for the run.
    std::vector<std::string> OK();

private:
    int32_t Move(int32_t selected, int32_t step);
    bool IsRow(int32_t row) const { return row >= 0 && row < static_cast<int32_t>(m_names.size()); }

    std::vector<std::string> m_names;
    IAppPrompt& m_prompt;
    ErrorReporter& m_reporter;
};

}  // namespace duvanto
