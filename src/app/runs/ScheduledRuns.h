#pragma once
// The scheduler timer's work: once a minute the tasks service's tick decides, and this carries
// the decision out: a due task is run when the window is hidden; while the window is open the
// "Scheduled Task Not Run" message is shown once, then only the status text.

#include <functional>
#include <string>

#include "app/common/AppPrompt.h"
#include "settings/ProgramOptions.h"
#include "tasks/Application.h"
#include "tasks/Scheduler.h"
#include "tasks/TaskService.h"

namespace duvanto {

inline constexpr int kSchedulerIntervalMs = 60000;

struct ScheduledRunHooks {
    std::function<bool()> mainWindowVisible;                // visible in its normal state
    std::function<bool()> closing;                          // the window is unloading
    std::function<void(const std::string&)> setStatusText;  // panel 1
    std::function<void(const std::string& taskName)> runTask;
};

class ScheduledRuns {
public:
    ScheduledRuns(Application& app, ProgramOptions& options, IAppPrompt& prompt,
                  ScheduledRunHooks hooks);

    // Work of the window's own that a scheduled run waits for, as it waits for a restore (the
    // folder-differences report).
    void HoldOffWhile(std::function<bool()> busy) { m_holdOff = std::move(busy); }

    // At the window's load: the start-up delay counts from now.
    void Start();
    // One tick of the timer. An unexpected failure is reported under the timer's label.
    void Tick();

private:
    Application& m_app;
    ProgramOptions& m_options;
    IAppPrompt& m_prompt;
    ScheduledRunHooks m_hooks;
    std::function<bool()> m_holdOff;
    TaskService m_service;
    SchedulerState m_state;
};

}  // namespace duvanto
