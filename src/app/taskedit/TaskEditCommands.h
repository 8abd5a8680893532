// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's commands that change tasks and task lists: New Clone Task, Duplicate,
// Delete, Rename (the list's in-place editor), Task Properties, New Task List, Load Task List
// and Save Task List As. Each holds its checks in order and its exact texts; every change is
// saved at once. The window shows the rows, the editor and the properties window.

#include <string>

#include "app/common/AppPrompt.h"
#include "app/mainwindow/MainCommands.h"
#include "session/TaskListService.h"
#include "settings/ProgramOptions.h"

namespace duvanto {

// How the task properties window was left.
struct PropertiesEditResult {
    bool cancelled = true;
    bool changed = false;
};

class ITaskEditView {
public:
    virtual ~ITaskEditView() = default;
    // "" when no row is selected.
    virtual std::string SelectedTaskName() const = 0;
    // Re-reads every row, then selects the task's row ("": the selection stays as it was).
    virtual void RefreshTaskRows(const std::string& select) = 0;
    // Opens the list's editor on the task's name.
    virtual void BeginRename(const std::string& name) = 0;
    // Shows the task properties window modally over the task; on OK the task holds what was
    // entered.
    virtual PropertiesEditResult EditTaskProperties(cCloneTask& task) = 0;
    virtual void SetTaskListName(const std::string& name) = 0;
    virtual void RefreshTrayIcon() = 0;
    // After another list was read: the lines it could not take, the names it repaired.
    virtual void ShowLoadProblems() = 0;
};

inline constexpr char kTaskListFilter[] = "Duvanto Task List (*.dvt)";

class TaskEditCommands {
public:
    TaskEditCommands(TaskListService& service, ProgramOptions& options, IAppPrompt& prompt,
                     const RunFlags& flags, std::string appPath, ITaskEditView& view);

    void NewTask();
    void DuplicateTask();
    void DeleteTask();
    // Starts the editor on the selected row; the edit ends in EndRename.
    void RenameTask();
    void BeginRename(const std::string& name) { m_oldLabelText = name; }
    // The editor was left with `typed`: trimmed, checked, and the task renamed. False when
    // the edit is cancelled (the row keeps its old name).
    bool EndRename(const std::string& typed);
    void TaskProperties();

    void NewTaskList();
    void LoadTaskList();
    void SaveTaskListAs();

private:
    void Show(const std::string& title, const std::string& text,
              MessageIcon icon = MessageIcon::Information);
    void Show(const TaskMessage& message) { Show(message.Title, message.Text, message.Icon); }
    // Saves the current list, reads the other, and shows it.
    void SwitchTo(const std::string& fileSpec);

    TaskListService& m_service;
    ProgramOptions& m_options;
    IAppPrompt& m_prompt;
    const RunFlags& m_flags;
    std::string m_appPath;
    ITaskEditView& m_view;
    std::string m_oldLabelText;
};

// Registers the commands under their menu items.
void RegisterTaskEditCommands(CommandRegistry& registry, TaskEditCommands& commands);

}  // namespace duvanto
