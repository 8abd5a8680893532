// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the desktop is told when a run ends with errors that nobody saw end: a run the scheduler
// started, or one the user started and then hid the window from. A task that keeps failing
// (every five minutes, say) is told once, and again only after a run of it has succeeded.

#include <functional>
#include <optional>
#include <set>
#include <string>

#include "tasks/TaskRun.h"

namespace duvanto {

struct RunNotice {
    std::string Summary;
    std::string Body;
};

class RunNotices {
public:
    // A run's outcome has been applied. `windowHidden`: the main window was in the tray or
    // minimized as the run ended. A cancelled run is nobody's news and changes nothing.
    std::optional<RunNotice> RunEnded(const TaskRunOutcome& outcome, bool scheduled,
                                      bool windowHidden);

private:
    // The tasks told of, whose runs have failed ever since.
    std::set<std::string> m_told;
};

// Shows the notice through the desktop's notification service, else as the tray icon's
// balloon; each answers whether it could. False when neither could.
bool DeliverRunNotice(const RunNotice& notice, const std::function<bool(const RunNotice&)>& desktop,
                      const std::function<bool(const RunNotice&)>& balloon);

}  // namespace duvanto
