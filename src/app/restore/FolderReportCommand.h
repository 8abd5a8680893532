// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The File menu's "Cr&eate a Report of Folder Differences": the checks on the GUI thread, the
// comparison and the page on a worker thread (the folders may be large; the window stays
// responsive), and the page handed to the browser host at the end. While a report is being
// made the scheduler starts no task and a second report only beeps.

#include <atomic>
#include <optional>
#include <string>

#include "app/common/AppPrompt.h"
#include "engine/CloneSettings.h"
#include "report/Report.h"
#include "tasks/Application.h"
#include "tasks/TaskRun.h"

namespace duvanto {

// What the worker thread takes: the core's copies of the task's folders and the settings.
using FolderReportJob = FolderReportRequest;

class FolderReportCommand {
public:
    static constexpr char kTitle[] = "Create a Report of Folder Differences";

    FolderReportCommand(Application& app, IAppPrompt& prompt) : m_app(app), m_prompt(prompt) {}

    // On the GUI thread: a beep while a clone runs or a report is being made, "Please select a
    // task first" without a task; else the job, and from here until Finished() the scheduler
    // waits.
    std::optional<FolderReportJob> Start(const cCloneTask* selected);
    // On the worker thread: the folder checks, the page and the browser, with "Creating
    // Report..." in status panel 1 meanwhile. The page's path, or "" when none was written
    // (the user was told why).
    std::string Run(const FolderReportJob& job, IFileSystem& fileSystem, IStatusHost& host,
                    IBrowserHost& browser);
    // Back on the GUI thread once the worker has ended.
    void Finished() { m_running = false; }

    // True from Start() to Finished(): what keeps the scheduler waiting.
    bool Running() const { return m_running; }

private:
    Application& m_app;
    IAppPrompt& m_prompt;
    std::atomic<bool> m_running{false};
};

}  // namespace duvanto
