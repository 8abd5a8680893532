#include "app/logic/RunLauncher.h"

#include "tasks/CloneTasks.h"

namespace duvanto {

std::optional<TaskRunRequest> RunLauncher::Reserve(const std::string& taskName, bool scheduled) {
    const cCloneTask* task = m_app.CloneTasks.Item(taskName);
    if (task == nullptr) {
        return std::nullopt;
    }
    m_app.Flags.CloneInProgress = true;
    m_app.RunningScheduledTask = scheduled;
    return MakeTaskRunRequest(m_app, *task);
}

TaskRunOutcome RunLauncher::Run(const TaskRunRequest& request, IRunHost& host) {
    return ExecuteTaskRun(m_app, request, host);
}

bool RunLauncher::Apply(const TaskRunOutcome& outcome) {
    ApplyTaskRunOutcome(m_app.CloneTasks, outcome);
    cCloneTasks& tasks = m_app.CloneTasks;
    return tasks.SaveAllTasksToFile(tasks.TaskListFileSpec());
}

}  // namespace duvanto
