#include "app/mainwindow/TaskServiceAdapter.h"

#include "platform/SettingsFileWrite.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

bool TaskServiceAdapter::Contains(const std::string& name) const {
    return m_app.CloneTasks.Item(name) != nullptr;
}

std::optional<cCloneTask> TaskServiceAdapter::Copy(const std::string& name) const {
    const cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        return std::nullopt;
    }
    return *task;
}

bool TaskServiceAdapter::StoreProperties(const cCloneTask& edited) {
    cCloneTask* task = m_app.CloneTasks.Item(edited.TaskName);
    if (task == nullptr) {
        return false;
    }
    const std::string name = task->TaskName;
    cCloneTasks::CopyTaskPropertiesFromObj1ToObj2(edited, *task);
    task->TaskName = name;
    m_app.CloneTasks.TaskChanged(name);
    m_app.CloneTasks.SetNextScheduledTask();
    return Save();
}

bool TaskServiceAdapter::Save() {
    return m_service.Save();
}

std::string TaskServiceAdapter::ListFileFor(const std::string& name) const {
    std::string file = m_app.AppPath;
    file += name;
    file += ".dvt";
    return file;
}

bool TaskServiceAdapter::CreateEmptyListFile(const std::string& fileSpec) {
    return !FileExists(fileSpec) && WriteNewFile(fileSpec, "").ok();
}

bool TaskServiceAdapter::SwitchTo(const std::string& fileSpec) {
    cCloneTasks& tasks = m_app.CloneTasks;
    Save();
    while (tasks.Count() > 0) {
        tasks.Remove(*tasks.Item(1));
    }
    tasks.TaskNameContainedIllegalChar(false);
    tasks.TaskListFileSpec(fileSpec);
    const bool read = tasks.ReadAllTasksFromFile(fileSpec);
    tasks.SetNextScheduledTask();
    return read;
}

bool TaskServiceAdapter::SaveAs(const std::string& fileSpec) {
    cCloneTasks& tasks = m_app.CloneTasks;
    if (fileSpec == tasks.TaskListFileSpec()) {
        return Save();
    }
    if (tasks.Count() == 0) {
        return tasks.EmptyTaskListFile(fileSpec);
    }
    if (!tasks.SaveAllTasksToFile(fileSpec)) {
        return false;
    }
    // The save wrote the include lists into the current list's support folder; the copy
    // reads its own.
    const std::string folder = SupportFolderOf(m_app.AppPath, fileSpec);
    if (folder == tasks.SupportFolder()) {
        return true;
    }
    bool whole = true;
    for (int32_t i = 1; i <= tasks.Count(); ++i) {
        cCloneTask& task = *tasks.Item(i);
        if (task.AllFilesAndFolders() && task.ExcludeFileSpecs.empty()) {
            continue;
        }
        if (!CreateFolderPath(folder).ok()) {
            return false;
        }
        if (!task.AllFilesAndFolders() &&
            !task.SaveIncludeFileSpecs(folder, m_app.Prompt, m_app.Reporter)) {
            return false;
        }
        if (!task.ExcludeFileSpecs.empty()) {
            whole = WriteStringToFile(SupportFileSpec(folder, task.TaskName, kExcludeListExtension),
                                      task.ExcludeFileSpecs, false, m_app.Prompt) &&
                    whole;
        }
    }
    return whole;
}

}  // namespace duvanto
