#include "TasksFixture.h"

#include <filesystem>

namespace duvanto::test {

double At(int year, int month, int day, int hour, int minute, int second) {
    return OleDateFromLocal({year, month, day, hour, minute, second});
}

TasksFixture::TasksFixture() : appPath(temp / "home/"), app(appPath, clock, prompt, fileSystem) {
    std::filesystem::create_directories(appPath);
    // No mount of the machine may decide a test: the tables are the test's own.
    app.Drives.fstab = temp / "fstab";
    app.Drives.mountInfo = temp / "mountinfo";
    app.Drives.mediaRoots = {temp / "media/"};
    app.Drives.sysRoot = temp / "sys/";
    WriteFile(app.Drives.fstab, "");
    WriteFile(app.Drives.mountInfo, "1 0 8:1 / / rw - ext4 /dev/root rw\n");
    app.Settings.DeleteMethod = DeleteMethodType::RegularDelete;
    window.flags = &app.Flags;
    app.CloneTasks.TaskListFileSpec(appPath + "Default Task List.dvt");
}

std::vector<std::string> TasksFixture::LogLines() const {
    return LogTails(Short(ReadFile(appPath + "clone.log")));
}

cCloneTask TasksFixture::Task(const std::string& name, const std::string& source,
                              const std::vector<std::string>& targets) const {
    cCloneTask task;
    task.TaskName = name;
    task.SourceFolderSpec = temp / source;
    std::string joined;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        joined += (i == 0 ? "" : "<:>") + temp / targets[i];
    }
    task.TargetFolderSpec = joined;
    return task;
}

}  // namespace duvanto::test
