// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run commands of the main window without the window: Run Selected Task, Run Tasks with
// Checkmarks, Run All Tasks, the toolbar's run button and its run-choice menu, and the start of
// a scheduled run. Two or more tasks are put in order by the user first and then run one after
// another, one run at a time: the next starts when the outcome of the one before is in the
// list, and the session's run queue keeps the order and its rule for Escape. A run is prepared
// by the session and carried out on the window's worker.

#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "app/mainwindow/MainCommands.h"
#include "app/runs/OrderTasksController.h"
#include "app/runs/RunStatusHost.h"
#include "app/runs/RunWorker.h"
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
    // The run-choice menu at the pointer.
    virtual void PopupRunChoice() = 0;
    // The window is closing: no run starts, and the outcome of one that ends goes into the
    // list with the window's unload.
    virtual bool Closing() const = 0;
    // A run is about to start: the window shows it going and gives the host that carries its
    // status and its questions to the window.
    virtual CoalescingRunHost& RunStarting(const TaskRunRequest& request) = 0;
    // The run's work has ended: the list is brought up to date with its file on the disk, so
    // that the outcome goes into the list as it is there.
    virtual void RunEnding() = 0;
    // The outcome is in the list and saved: the rows, the tray and the notice of an unattended
    // run.
    virtual void OutcomeApplied(const TaskRunOutcome& outcome, bool scheduled) = 0;
};

class RunCommandsController {
public:
    RunCommandsController(IAppPrompt& prompt, RunQueue& queue, IRunCommandsView& view,
                          IRunWorker& worker)
        : m_prompt(prompt), m_queue(queue), m_view(view), m_worker(worker) {}

    void RunSelected();
    void RunChecked();
    void RunAll();
    // With a check mark anywhere, the run-choice menu; otherwise Run Selected Task.
    void ToolbarRun();

    // The task's run, by the user or by the scheduler: prepared by the session and handed to
    // the worker. false when it cannot start (a run or the restore under way, the window or the
    // session ending, the task no longer listed).
    bool Start(const std::string& name, bool scheduled);
    // The program is ending: no further task of the order starts.
    void StopOrder() { m_queue.StopOrder(); }

private:
    void RunInOrder(OrderWhat what);
    void StartNext();
    // On the GUI thread once the run's work has ended: the outcome goes into the list, then
    // the next task of the order starts, unless that run stopped the order.
    void Finished(const TaskRunOutcome& outcome, bool scheduled);

    IAppPrompt& m_prompt;
    RunQueue& m_queue;
    IRunCommandsView& m_view;
    IRunWorker& m_worker;
};

// Run Selected Task, Run Tasks with Checkmarks and Run All Tasks in the File menu, the
// run-choice menu's two items and the toolbar's run button. All of them beep while a run lasts.
void RegisterRunCommands(CommandRegistry& registry, RunCommandsController& runs);

}  // namespace duvanto
