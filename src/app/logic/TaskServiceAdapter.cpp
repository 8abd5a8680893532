#include "app/logic/TaskServiceAdapter.h"

#include "platform/SettingsFileWrite.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

constexpr char kIncludeExtension[] = ".dvi";
constexpr char kExcludeExtension[] = ".dve";

// The support folder of a list file, wherever that file is: as cCloneTasks names its own.
std::string SupportFolderOf(const std::string& appPath, const std::string& listFile) {
    std::string folder = appPath;
    folder += RemoveFilenameExtension(GetLastItemInPath(listFile));
    folder += " support files/";
    return folder;
}

std::string FileOf(const std::string& folder, const std::string& name, const char* extension) {
    std::string file = folder;
    file += name;
    file += extension;
    return file;
}

}  // namespace

std::optional<TaskMessage> TaskServiceAdapter::CheckNewName(const std::string& name) const {
    return CheckNewTaskName(name, m_app.CloneTasks);
}

std::optional<TaskMessage> TaskServiceAdapter::CheckRename(const std::string& oldName,
                                                           const std::string& newName) const {
    if (std::optional<TaskMessage> refused = CheckTaskNameCharacters(newName)) {
        return refused;
    }
    const cCloneTask* holder = m_app.CloneTasks.Item(newName);
    if (holder != nullptr && holder != m_app.CloneTasks.Item(oldName)) {
        return TaskMessage{"Rename Task", "Duplicate task name", MessageIcon::Exclamation};
    }
    return std::nullopt;
}

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

bool TaskServiceAdapter::Add(const cCloneTask& task) {
    return m_app.CloneTasks.Add(task) && SaveList(false);
}

std::string TaskServiceAdapter::DuplicateName(const std::string& name) const {
    std::string base = "Copy of ";
    base += name;
    std::string candidate = base;
    for (int n = 2; m_app.CloneTasks.Item(candidate) != nullptr; ++n) {
        candidate = base;
        candidate += " (";
        candidate += std::to_string(n);
        candidate += ")";
    }
    return candidate;
}

bool TaskServiceAdapter::Duplicate(const std::string& name, const std::string& newName) {
    const cCloneTask* original = m_app.CloneTasks.Item(name);
    if (original == nullptr) {
        return false;
    }
    cCloneTask copy;
    cCloneTasks::CopyTaskPropertiesFromObj1ToObj2(*original, copy);
    copy.TaskName = newName;
    if (!m_app.CloneTasks.Add(copy)) {
        return false;
    }
    // The exclude list is only ever read from its file: the copy needs a file of its own.
    if (!copy.ExcludeFileSpecs.empty()) {
        const std::string folder = m_app.CloneTasks.SupportFolder();
        if (CreateFolderPath(folder).ok()) {
            WriteStringToFile(FileOf(folder, newName, kExcludeExtension), copy.ExcludeFileSpecs,
                              false, m_app.Prompt);
        }
    }
    return SaveList(false);
}

bool TaskServiceAdapter::Remove(const std::string& name) {
    const cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        return false;
    }
    const std::string removed = task->TaskName;
    if (!m_app.CloneTasks.Remove(*task)) {
        return false;
    }
    const bool saved = SaveList(true);
    const std::string folder = m_app.CloneTasks.SupportFolder();
    for (const std::string& file :
         {FileOf(folder, removed, kIncludeExtension), FileOf(folder, removed, kExcludeExtension),
          FileOf(m_app.AppPath, removed, kIncludeExtension)}) {
        if (FileExists(file)) {
            WriteStringToFile(file, "", false, m_app.Prompt);  // empty text deletes
        }
    }
    return saved;
}

bool TaskServiceAdapter::Rename(const std::string& oldName, const std::string& newName) {
    cCloneTask* task = m_app.CloneTasks.Item(oldName);
    if (task == nullptr || CheckRename(oldName, newName)) {
        return false;
    }
    const std::string previous = task->TaskName;
    // The lists move to the new name: read, deleted under the old name, then written under
    // the new one (the save writes the include list), so that a change of letter case alone
    // works on a file system that ignores letter case too.
    const std::string folder = m_app.CloneTasks.SupportFolder();
    const std::string exclude = ReadStringFromFile(FileOf(folder, previous, kExcludeExtension));
    for (const char* extension : {kIncludeExtension, kExcludeExtension}) {
        const std::string file = FileOf(folder, previous, extension);
        if (FileExists(file)) {
            WriteStringToFile(file, "", false, m_app.Prompt);  // empty text deletes
        }
    }
    // The task keeps its place in the list: its name is its key, looked up at each use.
    task->TaskName = newName;
    m_app.CloneTasks.TaskChanged(newName);
    if (!exclude.empty()) {
        WriteStringToFile(FileOf(folder, newName, kExcludeExtension), exclude, false, m_app.Prompt);
    }
    return SaveList(false);
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
    return SaveList(false);
}

bool TaskServiceAdapter::Save() {
    return SaveList(false);
}

bool TaskServiceAdapter::SaveList(bool emptyWhenNoTask) {
    cCloneTasks& tasks = m_app.CloneTasks;
    // Saving an empty list leaves its file alone, which would bring a removed last task back
    // with the next read.
    if (tasks.Count() == 0) {
        return !emptyWhenNoTask || tasks.EmptyTaskListFile(tasks.TaskListFileSpec());
    }
    return tasks.SaveAllTasksToFile(tasks.TaskListFileSpec());
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
    SaveList(false);
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
        return SaveList(false);
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
        if (!task.AllFilesAndFolders()) {
            task.SaveIncludeFileSpecs(folder, m_app.Prompt, m_app.Reporter);
        }
        if (!task.ExcludeFileSpecs.empty()) {
            whole = WriteStringToFile(FileOf(folder, task.TaskName, kExcludeExtension),
                                      task.ExcludeFileSpecs, false, m_app.Prompt) &&
                    whole;
        }
    }
    return whole;
}

}  // namespace duvanto
