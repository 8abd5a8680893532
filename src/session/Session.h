// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One program's start-up, the same for the window and the runner: the program folder, its
// one-instance lock, the options read into the objects that use them, the clock, the one file
// system, the priority rules applied to each run's thread and the removable-drive prompt the
// runs read; then the one way into the task list and the one queue of runs over them. The
// front end words whatever goes wrong: nothing here shows anything.

#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/InstanceLock.h"
#include "platform/PosixFileSystem.h"
#include "platform/Priority.h"
#include "platform/Status.h"
#include "session/RunQueue.h"
#include "session/TaskListService.h"
#include "settings/ProgramOptions.h"
#include "tasks/Application.h"
#include "util/Clock.h"
#include "util/Prompt.h"

namespace duvanto {

// What tests hand in instead of the system's own clock and file system.
struct SessionParts {
    const IClock* clock = nullptr;
    IFileSystem* fileSystem = nullptr;
};

class Session {
public:
    using Parts = SessionParts;

    // The program folder that --home names (empty: the default one), ending in "/"; made when
    // create is set.
    static Result<std::string> ProgramFolder(const std::string& home, bool create);

    // appPath ends in "/"; the prompt outlives the session.
    Session(std::string appPath, IPrompt& prompt, Parts parts = {});
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Takes the program folder's one-instance lock for as long as the session lasts: a program
    // that fills Targets or writes the task list must not run beside another. IsBusy() while
    // another instance holds it.
    Status Lock();

    // Reads duvanto.ini into the objects that use it (first-run values when there is no file;
    // nothing is written) and lets every run apply the priority rules to its own thread.
    void ReadOptions();
    // After ReadOptions.
    ProgramOptions& Options() { return *m_options; }
    const ProgramOptions& Options() const { return *m_options; }
    // Where the reading of duvanto.ini stopped, if it did.
    const std::optional<OptionsReadFailure>& OptionsFailure() const;

    Application& App() { return m_app; }
    IFileSystem& FileSystem() { return m_app.FileSystem; }
    TaskListService& Tasks() { return m_tasks; }
    RunQueue& Runs() { return m_runs; }

private:
    SystemClock m_systemClock;
    PosixFileSystem m_systemFileSystem;
    ThreadPriority m_priority;
    InstanceLock m_lock;
    Application m_app;
    std::optional<ProgramOptions> m_options;
    TaskListService m_tasks;
    RunQueue m_runs;
};

}  // namespace duvanto
