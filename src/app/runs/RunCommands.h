#pragma once
// The run commands of the main window without the window: Run Selected Task, Run Tasks with
// Checkmarks, Run All Tasks, the toolbar's run button and its run-choice menu. Two or more
// tasks are put in order by the user first and then run one after another, one run at a time:
// the next starts when the window has applied the outcome of the one before.

#include <deque>
#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "app/mainwindow/MainCommands.h"
#include "app/runs/OrderTasksController.h"
#include "tasks/TaskService.h"

namespace duvanto {

class IRunCommandsView {
public:
    virtual ~IRunCommandsView() = default;
    // "" when no row is selected.
    virtual std::string SelectedTaskName() const = 0;
    // The rows top to bottom with their check marks.
    virtual std::vector<TaskRowChoice> TaskRows() const = 0;
    virtual bool TaskExists(const std::string& name) const = 0;
    // The order-tasks window over these names: the names in the chosen order, or none.
    virtual std::vector<std::string> AskOrder(std::vector<std::string> names) = 0;
    // Starts the task's run on a thread of its own; false when it could not start.
    virtual bool StartRun(const std::string& name) = 0;
    // The run-choice menu at the pointer.
    virtual void PopupRunChoice() = 0;
};

class RunCommandsController {
public:
    RunCommandsController(IAppPrompt& prompt, IRunCommandsView& view)
        : m_prompt(prompt), m_view(view) {}

    void RunSelected();
    void RunChecked();
    void RunAll();
    // With a check mark anywhere, the run-choice menu; otherwise Run Selected Task.
    void ToolbarRun();

    // The window applied a run's outcome: the next task in order starts, skipping names that
    // are no longer in the list.
    void RunEnded();
    // The program is ending: no further task of the order starts.
    void StopOrder() { m_order.Stop(); }
    // The tasks still to run after the current one.
    const std::deque<std::string>& Order() const { return m_order.Remaining(); }

private:
    void RunInOrder(OrderWhat what);
    void StartNext();

    IAppPrompt& m_prompt;
    IRunCommandsView& m_view;
    TaskRunOrder m_order;
};

// Run Selected Task, Run Tasks with Checkmarks and Run All Tasks in the File menu, the
// run-choice menu's two items and the toolbar's run button. All of them beep while a run lasts.
void RegisterRunCommands(CommandRegistry& registry, RunCommandsController& runs);

}  // namespace duvanto
