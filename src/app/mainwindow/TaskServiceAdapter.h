#pragma once
// The window's one way into the core for changing the task list: adding, duplicating, removing,
// renaming a task (the core's tasks service, which the command-line runner uses too), storing
// edited properties, and switching, creating and copying task-list files. Each change is saved
// at once, to the list's own file.

#include <optional>
#include <string>

#include "tasks/Application.h"
#include "tasks/TaskProperties.h"
#include "tasks/TaskService.h"

namespace duvanto {

class TaskServiceAdapter {
public:
    explicit TaskServiceAdapter(Application& app) : m_app(app), m_service(app, "") {}

    // A new task's name (trimmed by the caller): forbidden characters, then a name taken.
    std::optional<TaskMessage> CheckNewName(const std::string& name) const {
        return m_service.CheckNewName(name);
    }

    bool Contains(const std::string& name) const;
    // A copy of the task of that name; nothing when there is none.
    std::optional<cCloneTask> Copy(const std::string& name) const;

    // The changes of TaskService of these names.
    TaskEditResult Add(const cCloneTask& task) { return m_service.AddTask(task); }
    TaskEditResult Duplicate(const std::string& name) { return m_service.Duplicate(name); }
    TaskEditResult Remove(const std::string& name) { return m_service.Remove(name); }
    TaskEditResult Rename(const std::string& oldName, const std::string& newName) {
        return m_service.Rename(oldName, newName);
    }
    // Copies the edited properties into the task of the edited task's name, marks the next
    // scheduled task anew and saves.
    bool StoreProperties(const cCloneTask& edited);
    bool Save();

    // Task-list files. The file of a list named `name` in the program's folder.
    std::string ListFileFor(const std::string& name) const;
    // Creates the file empty; false when it could not be made.
    bool CreateEmptyListFile(const std::string& fileSpec);
    // Saves the current list to its own file, then reads the other file into an emptied list
    // (a missing file is created empty) and marks its next scheduled task.
    bool SwitchTo(const std::string& fileSpec);
    // Writes the current list to another file, with the include and exclude lists in that
    // list's support folder, so that the copy loads whole; the current file stays current.
    bool SaveAs(const std::string& fileSpec);

private:
    Application& m_app;
    TaskService m_service;
};

}  // namespace duvanto
