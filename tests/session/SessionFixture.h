// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A session over a temporary program folder: a clock the tests set, a recording prompt, a
// window that records every effect of a run, and mount tables of the test's own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/Session.h"
#include "tasks/TasksFixture.h"

namespace duvanto::test {

class SessionFixture : public ::testing::Test {
protected:
    SessionFixture() {
        std::filesystem::create_directories(appPath);
        std::filesystem::create_directories(temp / "S");
        IsolateFromTheMachine(app, temp);
        window.flags = &app.Flags;
        app.CloneTasks.TaskListFileSpec(listFile);
    }

    cCloneTask Task(const std::string& name, const std::vector<std::string>& targets = {"T/"},
                    const std::string& source = "S/") const {
        return TaskOver(temp, name, source, targets);
    }
    // The names as a fresh read of the saved file gives them.
    std::vector<std::string> SavedNames() {
        cCloneTasks saved(appPath, clock, app.Reporter, prompt, fileSystem);
        saved.TaskListFileSpec(listFile);
        EXPECT_TRUE(saved.ReadAllTasksFromFile(listFile, false));
        return TaskNames(saved);
    }
    // The log file's lines without their timestamps, paths shortened.
    std::vector<std::string> LogLines() const {
        return LogTails(ReplaceString(ReadFile(appPath + "clone.log"), temp.Path(), "~/"));
    }

    TempDir temp;
    RecordingPrompt prompt;
    FixedClock clock{kThursday};
    FaultyFileSystem fileSystem{TrashInside(temp.Path())};
    std::string appPath = temp / "home/";
    std::string listFile = appPath + "Default Task List.dvt";
    Session session{appPath, prompt, {&clock, &fileSystem}};
    Application& app = session.App();
    TaskListService& tasks = session.Tasks();
    RunQueue& runs = session.Runs();
    RecordingWindow window;
};

}  // namespace duvanto::test
