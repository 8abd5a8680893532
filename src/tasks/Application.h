// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process-wide objects and flags, created once at start-up in their defined order and
// handed to whoever needs them, so that nothing lives in a mutable global.

#include <atomic>
#include <functional>
#include <string>

#include "engine/Clone.h"
#include "engine/Compare.h"
#include "engine/StatusHost.h"
#include "log/CloneLog.h"
#include "platform/FileSystem.h"
#include "platform/RemovableDrive.h"
#include "settings/PriorityRules.h"
#include "tasks/CloneTasks.h"
#include "tasks/RunHost.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"
#include "util/Prompt.h"

namespace duvanto {

class Application {
public:
    // appPath ends in "/". The clock, the prompt and the file system belong to the front end
    // and outlive the application.
    Application(std::string appPath, const IClock& clock, IPrompt& prompt, IFileSystem& fileSystem);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const std::string AppPath;
    const IClock& Clock;
    IPrompt& Prompt;
    ErrorReporter Reporter;
    // Flags that a run's thread and the window both touch.
    RunFlags Flags;
    std::atomic<bool> RunningScheduledTask{false};
    std::atomic<bool> RestoreInProgress{false};
    std::atomic<bool> SchedulerPaused{false};

    // The process-wide objects in their start-up order; cRestore joins them before the rules.
    // Settings are the options in force: a run copies them when it starts.
    IFileSystem& FileSystem;
    CloneSettings Settings;
    cCloneTasks CloneTasks;
    cCloneLog CloneLog;
    cPriorityRules PriorityRules;

    // Program options that no object owns yet.
    bool PromptToInsertRemovableDrive = false;
    // A scheduled task whose drive is away when it falls due waits for it instead of failing.
    bool WaitForDrives = true;

    // Where drives and mounts are looked up; tests hand in their own tables.
    RemovableDriveTables Drives;
    MountTables PathTables() const;

    // Applies the priority rules for the present time on the thread that runs a task, just
    // before the run. Empty: the run keeps the thread's priority.
    std::function<void()> SetPriorityBasedOnRules;

    // Paused, else error when any task's last run failed, else normal.
    TrayIcon TrayIconChoice() const;
};

// AppPath + "Default Task List.dvt": the list used until the options name another.
std::string DefaultTaskListFileSpec(const std::string& appPath);

}  // namespace duvanto
