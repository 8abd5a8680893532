#pragma once
// An application wired to a temporary program folder, a clock the tests set, a recording
// prompt and a window that records every effect of a run.

#include <gtest/gtest.h>

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

double At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// A task that has nothing but its name.
inline cCloneTask Named(const std::string& name) {
    cCloneTask task;
    task.TaskName = name;
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

class TasksFixture : public ::testing::Test {
protected:
    TasksFixture();

    std::string Short(const std::string& text) const {
        return ReplaceString(text, temp.Path(), "~/");
    }
    // The log file's lines without their timestamps, paths shortened.
    std::vector<std::string> LogLines() const;
    // A task over folders below the temporary folder; targets joined with "<:>".
    cCloneTask Task(const std::string& name, const std::string& source,
                    const std::vector<std::string>& targets) const;

    TempDir temp;
    RecordingPrompt prompt;
    FixedClock clock{kThursday};
    PosixFileSystem fileSystem{TrashInside(temp.Path())};
    std::string appPath;
    Application app;
    RecordingWindow window;
};

}  // namespace duvanto::test
