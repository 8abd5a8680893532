// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/RunNotices.h"

#include "app/help/AppInfo.h"

namespace duvanto {

std::optional<RunNotice> RunNotices::RunEnded(const TaskRunOutcome& outcome, bool scheduled,
                                              bool windowHidden) {
    if (outcome.Cancelled) {
        return std::nullopt;
    }
    if (!outcome.ErrorOnLastClone) {
        m_told.erase(outcome.TaskName);
        return std::nullopt;
    }
    // A failure the user watched end needs no telling, and does not count as told.
    if ((!scheduled && !windowHidden) || !m_told.insert(outcome.TaskName).second) {
        return std::nullopt;
    }
    return RunNotice{kApplicationTitle, outcome.StatusText + "\nThe Clone Log has the details."};
}

bool DeliverRunNotice(const RunNotice& notice, const std::function<bool(const RunNotice&)>& desktop,
                      const std::function<bool(const RunNotice&)>& balloon) {
    return (desktop && desktop(notice)) || (balloon && balloon(notice));
}

}  // namespace duvanto
