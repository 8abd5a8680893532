#include "app/runs/ScheduledRuns.h"

#include <utility>

namespace duvanto {

ScheduledRuns::ScheduledRuns(Application& app, ProgramOptions& options, IAppPrompt& prompt,
                             ScheduledRunHooks hooks)
    : m_app(app),
      m_options(options),
      m_prompt(prompt),
      m_hooks(std::move(hooks)),
      m_service(app, "") {}

void ScheduledRuns::Start() {
    m_state.Start(m_options.DelayBeforeFirstTask, m_app.Clock.TickCount());
}

void ScheduledRuns::Tick() {
    try {
        SchedulerConditions conditions;
        conditions.RestoreInProgress = m_holdOff && m_holdOff();
        conditions.MainWindowClosing = m_hooks.closing && m_hooks.closing();
        conditions.MainWindowVisible = m_hooks.mainWindowVisible && m_hooks.mainWindowVisible();
        // The option is the one place the "shown once" mark lives: the options file keeps it.
        m_state.ScheduledSyncsMsg = m_options.ScheduledSyncsMsg;
        const SchedulerDecision decision = m_service.DueNow(m_state, conditions);
        m_options.ScheduledSyncsMsg = m_state.ScheduledSyncsMsg;
        switch (decision.Action) {
            case SchedulerAction::RunTask:
                if (m_hooks.runTask) {
                    m_hooks.runTask(decision.Task->TaskName);
                }
                break;
            case SchedulerAction::ShowNotRunMessage:
                m_prompt.ShowMessage(decision.Title, decision.Text, MessageIcon::Information,
                                     MessageButtons::OK);
                break;
            case SchedulerAction::SetStatusText:
                if (m_hooks.setStatusText) {
                    m_hooks.setStatusText(decision.Text);
                }
                break;
            case SchedulerAction::Nothing:
                break;
        }
    } catch (...) {
        m_app.Reporter.ReportCurrentException("frmDuvanto.tmrCloneScheduler_Timer");
    }
}

}  // namespace duvanto
