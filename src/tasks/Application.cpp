// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/Application.h"

#include <utility>

namespace duvanto {

Application::Application(std::string appPath, const IClock& clock, IPrompt& prompt,
                         IFileSystem& fileSystem)
    : AppPath(std::move(appPath)),
      Clock(clock),
      Prompt(prompt),
      Reporter(AppPath, prompt, clock, fileSystem),
      FileSystem(fileSystem),
      CloneTasks(AppPath, clock, Reporter, prompt, fileSystem),
      CloneLog(AppPath, clock, Reporter, prompt, fileSystem),
      PriorityRules(Reporter) {}

MountTables Application::PathTables() const {
    MountTables tables;
    tables.fstab = Drives.fstab;
    tables.mountInfo = Drives.mountInfo;
    tables.mediaRoots = Drives.mediaRoots;
    return tables;
}

TrayIcon Application::TrayIconChoice() const {
    if (SchedulerPaused) {
        return TrayIcon::Paused;
    }
    return CloneTasks.AnyErrorTasks() ? TrayIcon::Error : TrayIcon::Normal;
}

std::string DefaultTaskListFileSpec(const std::string& appPath) {
    return appPath + kDefaultTaskListName;
}

}  // namespace duvanto
