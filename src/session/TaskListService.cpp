// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/TaskListService.h"

#include <utility>

#include "engine/FolderCheck.h"
#include "platform/FileSystem.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

constexpr char kTaskListExtension[] = ".dvt";

}  // namespace

std::string TaskListService::SupportFile(const std::string& name, const char* extension) const {
    return SupportFileSpec(m_app.CloneTasks.SupportFolder(), name, extension);
}

void TaskListService::Delete(const std::string& file) {
    if (FileExists(file)) {
        WriteStringToFile(m_app.FileSystem, file, "", false, m_app.Prompt);  // empty text deletes
    }
}

bool TaskListService::Open(const std::string& fileSpec, bool createWhenMissing) {
    cCloneTasks& tasks = m_app.CloneTasks;
    while (tasks.Count() > 0) {
        tasks.Remove(*tasks.Item(1));
    }
    tasks.TaskNameContainedIllegalChar(false);
    tasks.TaskListFileSpec(fileSpec);
    const bool read = tasks.ReadAllTasksFromFile(fileSpec, createWhenMissing);
    tasks.SetNextScheduledTask();
    return read;
}

bool TaskListService::Reload() {
    return Open(FileSpec(), false);
}

bool TaskListService::SwitchTo(const std::string& fileSpec) {
    Save();
    return Open(fileSpec);
}

std::string TaskListService::ListFileFor(const std::string& name) const {
    return m_app.AppPath + name + kTaskListExtension;
}

bool TaskListService::CreateEmptyListFile(const std::string& fileSpec) {
    return !FileExists(fileSpec) && m_app.FileSystem.WriteNewFile(fileSpec, "").ok();
}

bool TaskListService::SaveAs(const std::string& fileSpec) {
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
        if (!CreateFolderPath(m_app.FileSystem, folder).ok()) {
            return false;
        }
        if (!task.AllFilesAndFolders() &&
            !task.SaveIncludeFileSpecs(folder, m_app.FileSystem, m_app.Prompt, m_app.Reporter)) {
            return false;
        }
        if (!task.ExcludeFileSpecs.empty()) {
            whole = WriteStringToFile(m_app.FileSystem,
                                      SupportFileSpec(folder, task.TaskName, kExcludeListExtension),
                                      task.ExcludeFileSpecs, false, m_app.Prompt) &&
                    whole;
        }
    }
    return whole;
}

bool TaskListService::Save(bool emptyWhenNoTask) {
    cCloneTasks& tasks = m_app.CloneTasks;
    const std::string& file = tasks.TaskListFileSpec();
    const bool saved = tasks.Count() == 0 && emptyWhenNoTask ? tasks.EmptyTaskListFile(file)
                                                             : tasks.SaveAllTasksToFile(file);
    if (m_saved) {
        m_saved();
    }
    return saved;
}

std::optional<cCloneTask> TaskListService::Copy(const std::string& name) const {
    const cCloneTask* task = Find(name);
    if (task == nullptr) {
        return std::nullopt;
    }
    return *task;
}

std::optional<TaskMessage> TaskListService::CheckNewName(const std::string& name) const {
    return CheckNewTaskName(name, m_app.CloneTasks);
}

TaskEditResult TaskListService::AddTask(const cCloneTask& task) {
    TaskEditResult result;
    result.Name = task.TaskName;
    if (std::optional<TaskMessage> refused = CheckNewName(task.TaskName)) {
        result.Messages.push_back(*refused);
        result.Status = TaskEditStatus::Refused;
    } else if (!m_app.CloneTasks.Add(task) || !Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

TaskEditResult TaskListService::Add(const std::string& name, const TaskPropertiesInput& input) {
    TaskEditResult result;
    result.Name = Trim(name);
    auto refuse = [&result](TaskMessage message) {
        result.Messages.push_back(std::move(message));
        result.Status = TaskEditStatus::Refused;
        return result;
    };
    if (result.Name.empty()) {
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    if (std::optional<TaskMessage> refused = CheckNewName(result.Name)) {
        return refuse(*refused);
    }
    if (std::optional<TaskMessage> refused = ValidateTaskProperties(input)) {
        return refuse(*refused);
    }
    std::vector<std::pair<std::string, std::string>> folders;
    for (const std::string& target : input.Targets) {
        folders.emplace_back("Problems with Target Folder", target);
    }
    folders.emplace_back("Problems with Source Folder", input.SourceText);
    for (const auto& [title, folder] : folders) {
        int32_t errorCode = 0;
        const PathStatus status = GetPathStatus(folder, errorCode, m_app.PathTables());
        if (status != PathOk) {
            result.Messages.push_back({title, GetInvalidPathErrorMsg(status, folder, errorCode),
                                       MessageIcon::Exclamation});
        }
    }
    for (const std::string& target : input.Targets) {
        const std::string apart = CheckTargetApartFromSource(input.SourceText, target);
        if (!apart.empty()) {
            return refuse({"Invalid Target Folder", apart, MessageIcon::Exclamation});
        }
    }

    cCloneTask task;
    task.TaskName = result.Name;
    SaveTaskProperties(input, task, m_app.Clock.Now());
    if (!m_app.CloneTasks.Add(task) || !Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

TaskEditResult TaskListService::Remove(const std::string& name) {
    TaskEditResult result;
    const cCloneTask* task = Find(name);
    if (task == nullptr) {
        result.Status = TaskEditStatus::NoSuchTask;
        return result;
    }
    result.Name = task->TaskName;
    if (!m_app.CloneTasks.Remove(*task)) {
        result.Status = TaskEditStatus::Failed;
        return result;
    }
    if (!Save(true)) {
        result.Status = TaskEditStatus::Failed;
    }
    // Left behind, the lists would go to the next task given this name.
    Delete(SupportFile(result.Name, kIncludeListExtension));
    Delete(SupportFile(result.Name, kExcludeListExtension));
    Delete(SupportFileSpec(m_app.AppPath, result.Name, kIncludeListExtension));
    return result;
}

TaskEditResult TaskListService::Rename(const std::string& name, const std::string& newName) {
    TaskEditResult result;
    cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        result.Status = TaskEditStatus::NoSuchTask;
        return result;
    }
    result.Name = task->TaskName;
    const std::string trimmed = Trim(newName);
    if (trimmed.empty()) {
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    if (std::optional<TaskMessage> refused = CheckTaskNameCharacters(trimmed)) {
        result.Messages.push_back(*refused);
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    // The task itself answers to a name that differs from its own in letter case alone.
    const cCloneTask* holder = Find(trimmed);
    if (holder != nullptr && holder != task) {
        result.Messages.push_back({"Rename Task", "Duplicate task name", MessageIcon::Exclamation});
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    if (trimmed == task->TaskName) {
        return result;
    }
    // The lists move to the new name: read, deleted under the old name, then written under
    // the new one (the save writes the include list), so that a change of letter case alone
    // works on a file system that ignores letter case too.
    const std::string exclude =
        ReadStringFromFile(m_app.FileSystem, SupportFile(task->TaskName, kExcludeListExtension));
    Delete(SupportFile(task->TaskName, kIncludeListExtension));
    Delete(SupportFile(task->TaskName, kExcludeListExtension));
    // Renamed where it stands: the list keeps its order and the next-task mark.
    task->TaskName = trimmed;
    result.Name = trimmed;
    if (!exclude.empty()) {
        WriteStringToFile(m_app.FileSystem, SupportFile(trimmed, kExcludeListExtension), exclude,
                          false, m_app.Prompt);
    }
    if (!Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

TaskEditResult TaskListService::Duplicate(const std::string& name) {
    TaskEditResult result;
    const cCloneTask* task = Find(name);
    if (task == nullptr) {
        result.Status = TaskEditStatus::NoSuchTask;
        return result;
    }
    const std::string base = std::string("Copy of ").append(task->TaskName);
    result.Name = base;
    for (int32_t n = 2; Find(result.Name) != nullptr; ++n) {
        result.Name = base;
        result.Name.append(" (").append(std::to_string(n)).append(")");
    }
    cCloneTask copy;
    cCloneTasks::CopyTaskPropertiesFromObj1ToObj2(*task, copy);
    copy.TaskName = result.Name;
    if (!m_app.CloneTasks.Add(copy)) {
        result.Status = TaskEditStatus::Failed;
        return result;
    }
    // The exclude list is only ever read from its file: the copy needs a file of its own.
    if (!copy.ExcludeFileSpecs.empty() &&
        CreateFolderPath(m_app.FileSystem, m_app.CloneTasks.SupportFolder()).ok()) {
        WriteStringToFile(m_app.FileSystem, SupportFile(result.Name, kExcludeListExtension),
                          copy.ExcludeFileSpecs, false, m_app.Prompt);
    }
    if (!Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

bool TaskListService::StoreProperties(const cCloneTask& edited) {
    cCloneTask* task = m_app.CloneTasks.Item(edited.TaskName);
    if (task == nullptr) {
        return false;
    }
    const std::string name = task->TaskName;
    cCloneTasks::CopyTaskPropertiesFromObj1ToObj2(edited, *task);
    task->TaskName = name;
    m_app.CloneTasks.SetNextScheduledTask();
    return Save();
}

bool TaskListService::ResetError(const std::string& name) {
    cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        return false;
    }
    task->ErrorOnLastClone = false;
    return true;
}

void TaskListService::ResetAllErrors() {
    for (int32_t i = 1; i <= m_app.CloneTasks.Count(); ++i) {
        m_app.CloneTasks.Item(i)->ErrorOnLastClone = false;
    }
}

bool TaskListService::ApplyRunOutcome(const TaskRunOutcome& outcome) {
    ApplyTaskRunOutcome(m_app.CloneTasks, outcome);
    return Save();
}

TaskMessage TaskCreatedMessage(const std::string& name) {
    std::string text = "'";
    text.append(name).append("' has been created successfully.\r\n\r\n");
    text.append("To run this task, click on the toolbar button with the two sheep on it.");
    return {"New Task", text, MessageIcon::Information};
}

TaskMessage TaskDuplicatedMessage(const std::string& name) {
    std::string text = "'";
    text.append(name).append("' has been created successfully.");
    return {"Duplicate Task", text, MessageIcon::Information};
}

}  // namespace duvanto
