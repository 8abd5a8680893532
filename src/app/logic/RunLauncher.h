#pragma once
// How the desktop program runs a task: the core's run of one listed task, on whatever thread
// calls it (the window gives every run a thread of its own), and the outcome that the window
// applies on its own thread afterwards. The one place that calls into the core's runs.

#include <string>

#include "tasks/Application.h"
#include "tasks/TaskRunEffects.h"

namespace duvanto {

struct RunOutcome {
    std::string TaskName;
    bool Ran = false;  // false: the task was no longer in the list
    bool Error = false;
    bool Cancelled = false;
    std::string StatusText;  // status panel 1 as the run left it
};

class RunLauncher {
public:
    explicit RunLauncher(Application& app) : m_app(app) {}

    bool Busy() const { return m_app.Flags.CloneInProgress; }
    // On the GUI thread, before the run's thread starts: from here on the scheduler and the
    // busy commands hold off, so no second run can slip in before the first one begins.
    void Reserve(bool scheduled);
    // On the run's thread. While it lasts the run owns the task list; the window reads none of
    // it until the outcome is applied.
    RunOutcome Run(const std::string& taskName, ITaskRunEffects& effects);
    // On the GUI thread once the run's thread has ended: the list is saved with the run's
    // times and flags. False when the save failed (reported by the core).
    bool Apply(const RunOutcome& outcome);

private:
    Application& m_app;
};

}  // namespace duvanto
