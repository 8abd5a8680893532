// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/TaskEditCommands.h"

#include <utility>

#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

TaskEditCommands::TaskEditCommands(TaskListService& service, ProgramOptions& options,
                                   IAppPrompt& prompt, const RunFlags& flags, std::string appPath,
                                   ITaskEditView& view)
    : m_service(service),
      m_options(options),
      m_prompt(prompt),
      m_flags(flags),
      m_appPath(std::move(appPath)),
      m_view(view) {}

void TaskEditCommands::Show(const std::string& title, const std::string& text, MessageIcon icon) {
    m_prompt.ShowMessage(title, text, icon, MessageButtons::OK);
}

void TaskEditCommands::NewTask() {
    const std::optional<std::string> answer =
        m_prompt.AskText("New Task", "Please enter a unique name for this task", "New Task Name");
    const std::string name = answer ? Trim(*answer) : std::string();
    if (name.empty()) {
        return;
    }
    if (const std::optional<TaskMessage> refused = m_service.CheckNewName(name)) {
        Show(refused->Title, refused->Text, refused->Icon);
        return;
    }
    cCloneTask task;
    task.TaskName = name;
    if (m_view.EditTaskProperties(task).cancelled) {
        return;
    }
    task.TaskName = name;
    const TaskEditResult added = m_service.AddTask(task);
    if (added.Status != TaskEditStatus::Done) {
        for (const TaskMessage& message : added.Messages) {
            Show(message);
        }
        m_view.RefreshTaskRows("");
        return;
    }
    m_view.RefreshTaskRows(name);
    Show(TaskCreatedMessage(name));
}

void TaskEditCommands::DuplicateTask() {
    const std::string name = m_view.SelectedTaskName();
    if (name.empty()) {
        Show("Duplicate Selected Task", "Please select a task first.");
        return;
    }
    const TaskEditResult copy = m_service.Duplicate(name);
    if (copy.Status != TaskEditStatus::Done) {
        m_view.RefreshTaskRows("");
        return;
    }
    m_view.RefreshTaskRows(copy.Name);
    Show(TaskDuplicatedMessage(copy.Name));
}

void TaskEditCommands::DeleteTask() {
    const std::string name = m_view.SelectedTaskName();
    if (name.empty()) {
        Show("Delete Task", "Please select a task to delete");
        return;
    }
    std::string question = "You are about to delete the following task: \r\n\"";
    question += name;
    question += "\"\r\n\r\nDo you wish to continue?";
    if (m_prompt.ShowMessage("Confirm Task Delete", question, MessageIcon::Question,
                             MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    m_service.Remove(name);
    m_view.RefreshTaskRows("");
    m_view.RefreshTrayIcon();
}

void TaskEditCommands::RenameTask() {
    const std::string name = m_view.SelectedTaskName();
    if (name.empty()) {
        Show("Rename Task", "Please select a task to rename.");
        return;
    }
    BeginRename(name);
    m_view.BeginRename(name);
}

bool TaskEditCommands::EndRename(const std::string& typed) {
    const std::string oldName = std::exchange(m_oldLabelText, std::string());
    // A run that began while the editor was open owns the task: its outcome finds it by name.
    if (m_flags.CloneInProgress) {
        m_prompt.Beep();
        return false;
    }
    const std::string name = Trim(typed);
    if (name.empty() || oldName.empty() || name == oldName) {
        return false;
    }
    const TaskEditResult renamed = m_service.Rename(oldName, name);
    switch (renamed.Status) {
        case TaskEditStatus::Done:
            m_view.RefreshTaskRows(renamed.Name);
            return true;
        case TaskEditStatus::Refused:
            if (!renamed.Messages.empty()) {
                Show(renamed.Messages.back());
            }
            return false;
        case TaskEditStatus::NoSuchTask:
        case TaskEditStatus::Failed:
            break;
    }
    // A failed save leaves the list renamed in memory: the rows show what the list holds.
    m_view.RefreshTaskRows(renamed.Name.empty() ? oldName : renamed.Name);
    return false;
}

void TaskEditCommands::TaskProperties() {
    const std::string name = m_view.SelectedTaskName();
    if (name.empty()) {
        Show("Task Properties", "Please select a task first.");
        return;
    }
    std::optional<cCloneTask> task = m_service.Copy(name);
    if (!task) {
        return;
    }
    const PropertiesEditResult result = m_view.EditTaskProperties(*task);
    if (result.cancelled) {
        return;
    }
    task->TaskName = name;
    if (result.changed) {
        m_service.StoreProperties(*task);
    } else {
        m_service.Save();
    }
    m_view.RefreshTaskRows(name);
}

void TaskEditCommands::NewTaskList() {
    if (m_flags.CloneInProgress) {
        m_prompt.Beep();
        return;
    }
    std::string file;
    for (;;) {
        const std::optional<std::string> answer = m_prompt.AskText(
            "New Task List", "Enter a name for the New Task List", "New Task List");
        const std::string name = answer ? Trim(*answer) : std::string();
        if (name.empty()) {
            return;
        }
        if (StringContainsIllegalFileNameCharacter(name)) {
            Show("Illegal Task List Name",
                 "Task list names cannot contain any of the following characters:\r\n"
                 "\\ / : * ? \" < > |",
                 MessageIcon::Critical);
            continue;
        }
        file = m_service.ListFileFor(name);
        if (FileExists(file)) {
            Show("Name Already Exists", "A task list with this name already exists.",
                 MessageIcon::Exclamation);
            continue;
        }
        break;
    }
    if (!m_service.CreateEmptyListFile(file)) {
        std::string text = "The task list file could not be created:\r\n";
        text += file;
        Show("New Task List", text, MessageIcon::Exclamation);
        return;
    }
    SwitchTo(file);
}

void TaskEditCommands::LoadTaskList() {
    if (m_flags.CloneInProgress) {
        m_prompt.Beep();
        return;
    }
    const std::optional<std::string> file =
        m_prompt.AskOpenFile("Load Task List", m_appPath, kTaskListFilter);
    if (file && !file->empty()) {
        SwitchTo(*file);
    }
}

void TaskEditCommands::SaveTaskListAs() {
    const std::optional<std::string> file =
        m_prompt.AskSaveFile("Save Task List As...", m_appPath, kTaskListFilter);
    if (file && !file->empty()) {
        m_service.SaveAs(*file);
    }
}

void TaskEditCommands::SwitchTo(const std::string& fileSpec) {
    m_service.SwitchTo(fileSpec);
    m_options.TaskListFileSpec = fileSpec;
    m_view.SetTaskListName(m_service.ListName());
    m_view.RefreshTaskRows("");
    m_view.RefreshTrayIcon();
    m_view.ShowLoadProblems();
}

void RegisterTaskEditCommands(CommandRegistry& registry, TaskEditCommands& commands) {
    const auto on = [&registry](const char* id, void (TaskEditCommands::*command)(),
                                TaskEditCommands& target) {
        registry.Register(id, {[&target, command] { (target.*command)(); }, {}});
    };
    on("mnuFileNewTask", &TaskEditCommands::NewTask, commands);
    on("mnuFileDuplicateTask", &TaskEditCommands::DuplicateTask, commands);
    on("mnuFileDeleteTask", &TaskEditCommands::DeleteTask, commands);
    on("mnuFileRenameTask", &TaskEditCommands::RenameTask, commands);
    on("mnuFileTaskProperties", &TaskEditCommands::TaskProperties, commands);
    on("mnuFileNewTaskList", &TaskEditCommands::NewTaskList, commands);
    on("mnuFileLoadTaskList", &TaskEditCommands::LoadTaskList, commands);
    on("mnuFileSaveTaskListAs", &TaskEditCommands::SaveTaskListAs, commands);
}

}  // namespace duvanto
