#pragma once
// A session over a temporary program folder: a clock the tests set, a recording prompt, a
// window that records every effect of a run, and mount tables of the test's own.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/PosixFileSystem.h"
#include "session/Session.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusHost.h"
#include "support/TestSupport.h"
#include "tasks/Trees.h"
#include "util/PathStrings.h"

namespace duvanto::test {

// Thursday 4 December 2003, 16:38:16.
inline constexpr double kThursday = 37959.6932407407;

class SessionFixture : public ::testing::Test {
protected:
    SessionFixture() {
        std::filesystem::create_directories(appPath);
        std::filesystem::create_directories(temp / "S");
        // No mount of the machine may decide a test: the tables are the test's own.
        app.Drives.fstab = temp / "fstab";
        app.Drives.mountInfo = temp / "mountinfo";
        app.Drives.mediaRoots = {temp / "media/"};
        app.Drives.sysRoot = temp / "sys/";
        WriteFile(app.Drives.fstab, "");
        WriteFile(app.Drives.mountInfo, "1 0 8:1 / / rw - ext4 /dev/root rw\n");
        app.Settings.DeleteMethod = DeleteMethodType::RegularDelete;
        window.flags = &app.Flags;
        app.CloneTasks.TaskListFileSpec(listFile);
    }

    // A task over folders below the temporary folder.
    cCloneTask Task(const std::string& name, const std::vector<std::string>& targets = {"T/"},
                    const std::string& source = "S/") const {
        cCloneTask task;
        task.TaskName = name;
        task.SourceFolderSpec = temp / source;
        for (std::size_t i = 0; i < targets.size(); ++i) {
            task.TargetFolderSpec += (i == 0 ? "" : "<:>") + temp / targets[i];
        }
        return task;
    }
    // The names in the list, in its order.
    static std::vector<std::string> Names(const cCloneTasks& list) {
        std::vector<std::string> names;
        for (int32_t position = 1; position <= list.Count(); ++position) {
            names.push_back(list.Item(position)->TaskName);
        }
        return names;
    }
    // The names as a fresh read of the saved file gives them.
    std::vector<std::string> SavedNames() {
        cCloneTasks saved(appPath, clock, app.Reporter, prompt);
        saved.TaskListFileSpec(listFile);
        EXPECT_TRUE(saved.ReadAllTasksFromFile(listFile, false));
        return Names(saved);
    }
    // The log file's lines without their timestamps, paths shortened.
    std::vector<std::string> LogLines() const {
        return LogTails(ReplaceString(ReadFile(appPath + "clone.log"), temp.Path(), "~/"));
    }

    TempDir temp;
    RecordingPrompt prompt;
    FixedClock clock{kThursday};
    PosixFileSystem fileSystem{TrashInside(temp.Path())};
    std::string appPath = temp / "home/";
    std::string listFile = appPath + "Default Task List.dvt";
    Session session{appPath, prompt, {&clock, &fileSystem}};
    Application& app = session.App();
    TaskListService& tasks = session.Tasks();
    RunQueue& runs = session.Runs();
    RecordingWindow window;
};

}  // namespace duvanto::test
