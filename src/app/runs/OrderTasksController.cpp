// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/OrderTasksController.h"

#include <utility>

#include "app/taskedit/TaskEditServices.h"

namespace duvanto {

std::vector<std::string> TasksToOrder(const std::vector<TaskRowChoice>& rows, OrderWhat what) {
    std::vector<std::string> names;
    for (const TaskRowChoice& row : rows) {
        if (what == OrderWhat::AllTasks || row.Checked) {
            names.push_back(row.Name);
        }
    }
    return names;
}

OrderTasksController::OrderTasksController(std::vector<std::string> names, IAppPrompt& prompt,
                                           ErrorReporter& reporter)
    : m_prompt(prompt), m_reporter(reporter) {
    Labelled(m_reporter, "frmOrderTasks.Form_Load", [&] { m_names = std::move(names); });
}

int32_t OrderTasksController::MoveUp(int32_t selected) {
    return Move(selected, -1);
}

int32_t OrderTasksController::MoveDown(int32_t selected) {
    return Move(selected, 1);
}

int32_t OrderTasksController::Move(int32_t selected, int32_t step) {
    if (!IsRow(selected)) {
        m_prompt.ShowMessage("No Task Selected", "Please select a task first.",
                             MessageIcon::Information, MessageButtons::OK);
        return -1;
    }
    const int32_t to = selected + step;
    if (!IsRow(to)) {
        return selected;
    }
    std::swap(m_names[static_cast<std::size_t>(selected)], m_names[static_cast<std::size_t>(to)]);
    return to;
}

int32_t OrderTasksController::Remove(int32_t selected) {
    if (!IsRow(selected)) {
        m_prompt.ShowMessage("Remove Task", "No task is selected", MessageIcon::Exclamation,
                             MessageButtons::OK);
        return -1;
    }
    return Labelled(m_reporter, "frmOrderTasks.cmdRemove_Click", selected, [&] {
        m_names.erase(m_names.begin() + selected);
        const int32_t count = static_cast<int32_t>(m_names.size());
        return selected < count ? selected : count - 1;
    });
}

std::vector<std::string> OrderTasksController::OK() {
    return Labelled(m_reporter, "frmOrderTasks.OKButton_Click", std::vector<std::string>{},
                    [&] { return m_names; });
}

}  // namespace duvanto
