#include "app/logic/RunLauncher.h"

namespace duvanto {

void RunLauncher::Reserve(bool scheduled) {
    m_app.Flags.CloneInProgress = true;
    m_app.RunningScheduledTask = scheduled;
}

RunOutcome RunLauncher::Run(const std::string& taskName, ITaskRunEffects& effects) {
    RunOutcome outcome;
    outcome.TaskName = taskName;
    cCloneTask* task = m_app.CloneTasks.Item(taskName);
    if (task == nullptr) {
        m_app.Flags.CloneInProgress = false;
        m_app.RunningScheduledTask = false;
        return outcome;
    }
    outcome.Ran = true;
    outcome.Error = !task->Execute(m_app, effects);
    outcome.Cancelled = outcome.Error && (m_app.Flags.EscPressed || m_app.Flags.SessionEnding);
    outcome.StatusText = CloneOutcomeText(*task, m_app.Flags.EscPressed);
    return outcome;
}

bool RunLauncher::Apply(const RunOutcome& outcome) {
    if (!outcome.Ran) {
        return true;
    }
    cCloneTasks& tasks = m_app.CloneTasks;
    return tasks.SaveAllTasksToFile(tasks.TaskListFileSpec());
}

}  // namespace duvanto
