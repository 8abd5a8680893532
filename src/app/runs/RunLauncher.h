#pragma once
// How the desktop program runs a task: the tasks service's request made on the GUI thread (a
// copy of the task and of the options in force), the core's run on whatever thread the window
// gives it, and the service applying the outcome on the GUI thread afterwards. The one place
// that calls into the core's runs.

#include <optional>
#include <string>

#include "tasks/Application.h"
#include "tasks/TaskRun.h"
#include "tasks/TaskService.h"

namespace duvanto {

class RunLauncher {
public:
    explicit RunLauncher(Application& app) : m_app(app), m_service(app, "") {}

    bool Busy() const { return m_app.Flags.CloneInProgress; }
    // On the GUI thread, before the run's thread starts: the run's own copy of the task and the
    // options. From here on the scheduler and the busy commands hold off, so no second run can
    // slip in before the first one begins. Nothing, and nothing reserved, when the list has no
    // such task.
    std::optional<TaskRunRequest> Reserve(const std::string& taskName, bool scheduled);
    // On the run's thread: touches the run flags and the clone log, never the task list.
    TaskRunOutcome Run(const TaskRunRequest& request, IRunHost& host);
    // On the GUI thread once the run's thread has ended: the listed task takes the run's times
    // and error flag, the list tells its observers and is saved. False when the save failed
    // (reported by the core).
    bool Apply(const TaskRunOutcome& outcome);

private:
    Application& m_app;
    TaskService m_service;
};

}  // namespace duvanto
