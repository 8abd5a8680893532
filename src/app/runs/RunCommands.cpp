// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/RunCommands.h"

#include <memory>
#include <utility>

namespace duvanto {

void RunCommandsController::RunSelected() {
    const std::string name = m_view.SelectedTaskName();
    if (name.empty()) {
        m_prompt.ShowMessage("Run Selected Task", "Please select a task to run",
                             MessageIcon::Information, MessageButtons::OK);
        return;
    }
    Start(name, false);
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
        Start(checked.front(), false);
        return;
    }
    RunInOrder(OrderWhat::CheckedTasks);
}

void RunCommandsController::RunAll() {
    const std::vector<std::string> all = TasksToOrder(m_view.TaskRows(), OrderWhat::AllTasks);
    if (all.size() == 1) {
        Start(all.front(), false);
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

void RunCommandsController::StartNext() {
    const std::optional<std::string> name = m_queue.NextInOrder();
    if (name && !Start(*name, false)) {
        m_queue.StopOrder();  // the window or the session is ending
    }
}

bool RunCommandsController::Start(const std::string& name, bool scheduled) {
    if (m_worker.Busy() || m_view.Closing()) {
        return false;
    }
    std::optional<TaskRunRequest> request = m_queue.Prepare(name, scheduled);
    if (!request) {
        return false;
    }
    CoalescingRunHost& host = m_view.RunStarting(*request);
    auto outcome = std::make_shared<TaskRunOutcome>();
    m_worker.Run([this, outcome, &host,
                  request = std::move(*request)] { *outcome = m_queue.Execute(request, host); },
                 [this, outcome, scheduled] { Finished(*outcome, scheduled); }, &host);
    return true;
}

void RunCommandsController::Finished(const TaskRunOutcome& outcome, bool scheduled) {
    if (m_view.Closing()) {
        return;  // the unload saved the list with the run's outcome
    }
    m_view.RunEnding();
    m_queue.Finish(outcome);
    m_view.OutcomeApplied(outcome, scheduled);
    StartNext();
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
