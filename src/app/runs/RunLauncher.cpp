#include "app/runs/RunLauncher.h"

namespace duvanto {

std::optional<TaskRunRequest> RunLauncher::Reserve(const std::string& taskName, bool scheduled) {
    return m_service.PrepareRun(taskName, scheduled);
}

TaskRunOutcome RunLauncher::Run(const TaskRunRequest& request, IRunHost& host) {
    return ExecuteTaskRun(m_app, request, host);
}

bool RunLauncher::Apply(const TaskRunOutcome& outcome) {
    return m_service.ApplyRunOutcome(outcome);
}

}  // namespace duvanto
