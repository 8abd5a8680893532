// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An application wired to a temporary program folder, a clock the tests set, a recording
// prompt and a window that records every effect of a run.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusHost.h"
#include "support/TestSupport.h"
#include "tasks/Application.h"
#include "tasks/Trees.h"
#include "util/OleDate.h"
#include "util/PathStrings.h"

namespace duvanto::test {

// Thursday 4 December 2003, 16:38:16.
inline constexpr double kThursday = 37959.6932407407;

inline double At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return OleDateFromLocal({year, month, day, hour, minute, second});
}

// A task that has nothing but its name.
inline cCloneTask Named(const std::string& name) {
    cCloneTask task;
    task.TaskName = name;
    return task;
}

// A task with nothing but its name and these items of its Source selected.
inline cCloneTask Selecting(const std::string& name, const std::vector<std::string>& items) {
    cCloneTask task = Named(name);
    task.AllFilesAndFolders(false);
    task.IncludeFileSpecs = items;
    return task;
}

// The names in a list, in its order.
inline std::vector<std::string> TaskNames(const cCloneTasks& list) {
    std::vector<std::string> names;
    for (int32_t position = 1; position <= list.Count(); ++position) {
        names.push_back(list.Item(position)->TaskName);
    }
    return names;
}

// The task with a schedule: its interval type and when it is next due.
inline cCloneTask Scheduled(cCloneTask task, int32_t type, double next) {
    task.IntervalType = type;
    task.NextCloneDateTime = next;
    return task;
}

// A task over folders below the temporary folder; targets joined with "<:>".
inline cCloneTask TaskOver(const TempDir& temp, const std::string& name, const std::string& source,
                           const std::vector<std::string>& targets) {
    cCloneTask task = Named(name);
    task.SourceFolderSpec = temp / source;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        task.TargetFolderSpec += (i == 0 ? "" : "<:>") + temp / targets[i];
    }
    return task;
}

// Gives the application mount tables of the test's own: no mount of the machine may decide a
// test. Deletes for good, so that no run's deletes go to the trash.
inline void IsolateFromTheMachine(Application& app, const TempDir& temp) {
    app.Drives.fstab = temp / "fstab";
    app.Drives.mountInfo = temp / "mountinfo";
    app.Drives.mediaRoots = {temp / "media/"};
    app.Drives.sysRoot = temp / "sys/";
    app.Drives.bootId = temp / "boot_id";
    WriteFile(app.Drives.bootId, "b00t\n");
    WriteFile(app.Drives.fstab, "");
    WriteFile(app.Drives.mountInfo, "1 0 8:1 / / rw - ext4 /dev/root rw\n");
    app.Settings.DeleteMethod = DeleteMethodType::RegularDelete;
}

class TasksFixture : public ::testing::Test {
protected:
    TasksFixture() : appPath(temp / "home/"), app(appPath, clock, prompt, fileSystem) {
        std::filesystem::create_directories(appPath);
        IsolateFromTheMachine(app, temp);
        window.flags = &app.Flags;
        app.CloneTasks.TaskListFileSpec(appPath + "Default Task List.dvt");
    }

    std::string Short(const std::string& text) const {
        return ReplaceString(text, temp.Path(), "~/");
    }
    // The log file's lines without their timestamps, paths shortened.
    std::vector<std::string> LogLines() const {
        return LogTails(Short(ReadFile(appPath + "clone.log")));
    }
    cCloneTask Task(const std::string& name, const std::string& source,
                    const std::vector<std::string>& targets) const {
        return TaskOver(temp, name, source, targets);
    }

    TempDir temp;
    RecordingPrompt prompt;
    FixedClock clock{kThursday};
    FaultyFileSystem fileSystem{TrashInside(temp.Path())};
    std::string appPath;
    Application app;
    RecordingWindow window;
};

}  // namespace duvanto::test
