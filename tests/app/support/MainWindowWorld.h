// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A program folder for the main window's tests: the process-wide objects over a temporary
// folder, a prompt answered in advance, a clock that stands still, and the options read from
// the folder's duvanto.ini (a first run when the test wrote none).

#include <optional>
#include <string>
#include <vector>

#include "app/support/FakeAppPrompt.h"
#include "platform/PosixFileSystem.h"
#include "session/Session.h"
#include "support/TestSupport.h"

namespace duvanto::test {

// Thursday 4 December 2003, 16:38:16.
inline constexpr double kWorldNow = 37959.6932407407;
inline constexpr double kOneMinute = 1.0 / 1440;

inline cCloneTask MakeTask(const std::string& name, int32_t intervalType = IntervalManual,
                           double next = 0.0, bool error = false) {
    cCloneTask task;
    task.TaskName = name;
    task.SourceFolderSpec = "/data/" + name + "/";
    task.TargetFolderSpec = "/backup/" + name + "/<:>/mirror/" + name + "/";
    task.IntervalType = intervalType;
    task.NextCloneDateTime = next;
    task.LastCloneDateTime = next == 0.0 ? 0.0 : next - 1;
    task.ErrorOnLastClone = error;
    return task;
}

struct MainWindowWorld {
    // An options file makes the start a later one; none makes it the first.
    explicit MainWindowWorld(bool existingOptions = true) {
        if (existingOptions) {
            WriteFile(home / kIniFileName, "[Miscellaneous]\r\nShowToolbar=Show\r\n");
        }
    }

    // Writes the default task list of the program folder.
    void SaveTasks(const std::vector<cCloneTask>& tasks) {
        FixedClock writerClock{kWorldNow};
        RecordingPrompt writerPrompt;
        ErrorReporter writerReporter(home.Path(), writerPrompt, writerClock, fileSystem);
        cCloneTasks list(home.Path(), writerClock, writerReporter, writerPrompt, fileSystem);
        // The list's name places the include lists in its support folder.
        list.TaskListFileSpec(DefaultTaskListFileSpec(home.Path()));
        for (const cCloneTask& task : tasks) {
            list.Add(task);
        }
        list.SaveAllTasksToFile(DefaultTaskListFileSpec(home.Path()));
    }

    // The program's session with its options read, as the program starts.
    Session& Started() {
        if (!session) {
            session.emplace(home.Path(), prompt, Session::Parts{&clock, &fileSystem});
            session->ReadOptions();
        }
        return *session;
    }
    Application& App() { return Started().App(); }
    ProgramOptions& Options() { return Started().Options(); }
    // The default task list read, as the window reads it at its load.
    TaskListService& LoadedTasks() {
        Started().Tasks().Open(DefaultTaskListFileSpec(home.Path()));
        return session->Tasks();
    }

    std::vector<std::string> Titles() const { return prompt.Titles(); }

    TempDir home;
    FakeAppPrompt prompt;
    FixedClock clock{kWorldNow};
    PosixFileSystem fileSystem;
    std::optional<Session> session;
};

}  // namespace duvanto::test
