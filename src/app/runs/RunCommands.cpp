// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/RunCommands.h"

namespace duvanto {

void RunCommandsController::RunSelected() {
    const std::string name = m_view.SelectedTaskName();
    if (name.empty()) {
        m_prompt.ShowMessage("Run Selected Task", "Please select a task to run",
                             MessageIcon::Information, MessageButtons::OK);
        return;
    }
    m_view.StartRun(name);
}

void RunCommandsController::RunChecked() {
    const std::vector<std::string> checked =
        TasksToOrder(m_view.TaskRows(), OrderWhat::CheckedTasks);
    if (checked.empty()) {
        m_prompt.ShowMessage("No Checked Tasks", "No tasks have been checked off.",
                             MessageIcon::Information, MessageButtons::OK);
        return;
    }
    if (checked.size() == 1) {
        m_view.StartRun(checked.front());
        return;
    }
    RunInOrder(OrderWhat::CheckedTasks);
}

void RunCommandsController::RunAll() {
    const std::vector<std::string> all = TasksToOrder(m_view.TaskRows(), OrderWhat::AllTasks);
    if (all.size() == 1) {
        m_view.StartRun(all.front());
    } else if (all.size() > 1) {
        RunInOrder(OrderWhat::AllTasks);
    }
}

void RunCommandsController::ToolbarRun() {
    for (const TaskRowChoice& row : m_view.TaskRows()) {
        if (row.Checked) {
            m_view.PopupRunChoice();
            return;
        }
    }
    RunSelected();
}

void RunCommandsController::RunInOrder(OrderWhat what) {
    // An order left over from an earlier command never runs: a window closed without OK
    // leaves the order empty.
    m_queue.StopOrder();
    m_queue.Enqueue(m_view.AskOrder(TasksToOrder(m_view.TaskRows(), what)));
    StartNext();
}

void RunCommandsController::RunEnded() {
    StartNext();
}

void RunCommandsController::StartNext() {
    const std::optional<std::string> name = m_queue.NextInOrder();
    if (name && !m_view.StartRun(*name)) {
        m_queue.StopOrder();  // the window is ending
    }
}

void RegisterRunCommands(CommandRegistry& registry, RunCommandsController& runs) {
    const auto selected = [&runs] { runs.RunSelected(); };
    const auto checked = [&runs] { runs.RunChecked(); };
    registry.Register("mnuFileRunSelected", {selected, {}});
    registry.Register("mnuFileRunChecked", {checked, {}});
    registry.Register("mnuFileRunAll", {[&runs] { runs.RunAll(); }, {}});
    registry.Register("mnuRunChoiceSelected", {selected, {}});
    registry.Register("mnuRunChoiceChecked", {checked, {}});
    registry.Register(kToolbarRun, {[&runs] { runs.ToolbarRun(); }, {}});
}

}  // namespace duvanto
