// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run commands of the main window without the window: Run Selected Task, Run Tasks with
// Checkmarks, Run All Tasks, the toolbar's run button and its run-choice menu. Two or more
// tasks are put in order by the user first and then run one after another, one run at a time:
// the next starts when the window has applied the outcome of the one before, and the session's
// run queue keeps the order and its rule for Escape.

#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "app/mainwindow/MainCommands.h"
#include "app/runs/OrderTasksController.h"
#include "session/RunQueue.h"

namespace duvanto {

class IRunCommandsView {
public:
    virtual ~IRunCommandsView() = default;
    // "" when no row is selected.
    virtual std::string SelectedTaskName() const = 0;
    // The rows top to bottom with their check marks.
    virtual std::vector<TaskRowChoice> TaskRows() const = 0;
    // The order-tasks window over these names: the names in the chosen order, or none.
    virtual std::vector<std::string> AskOrder(std::vector<std::string> names) = 0;
    // Starts the task's run on a thread of its own; false when it could not start.
    virtual bool StartRun(const std::string& name) = 0;
    // The run-choice menu at the pointer.
    virtual void PopupRunChoice() = 0;
};

class RunCommandsController {
public:
    RunCommandsController(IAppPrompt& prompt, RunQueue& queue, IRunCommandsView& view)
        : m_prompt(prompt), m_queue(queue), m_view(view) {}

    void RunSelected();
    void RunChecked();
    void RunAll();
    // With a check mark anywhere, the run-choice menu; otherwise Run Selected Task.
    void ToolbarRun();

    // The window applied a run's outcome: the next task of the order starts, unless that run
    // stopped the order.
    void RunEnded();
    // The program is ending: no further task of the order starts.
    void StopOrder() { m_queue.StopOrder(); }

private:
    void RunInOrder(OrderWhat what);
    void StartNext();

    IAppPrompt& m_prompt;
    RunQueue& m_queue;
    IRunCommandsView& m_view;
};

// Run Selected Task, Run Tasks with Checkmarks and Run All Tasks in the File menu, the
// run-choice menu's two items and the toolbar's run button. All of them beep while a run lasts.
void RegisterRunCommands(CommandRegistry& registry, RunCommandsController& runs);

}  // namespace duvanto
