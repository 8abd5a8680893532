#pragma once
// The window's one way into the core for changing the task list: adding, duplicating, removing,
// renaming a task, storing edited properties, and switching, creating and copying task-list
// files. Each change is saved at once. The command-line runner shares the name checks; when the
// core offers these changes as a service of its own, this file is where the window re-points.

#include <optional>
#include <string>

#include "tasks/Application.h"
#include "tasks/TaskProperties.h"

namespace duvanto {

class TaskServiceAdapter {
public:
    explicit TaskServiceAdapter(Application& app) : m_app(app) {}

    // A new task's name (trimmed by the caller): forbidden characters, then a name taken.
    std::optional<TaskMessage> CheckNewName(const std::string& name) const;
    // A rename of `oldName` to `newName`: forbidden characters, then a name another task has
    // (letter case aside), which is refused with "Duplicate task name". The task's own name in
    // other letter case is no other task's.
    std::optional<TaskMessage> CheckRename(const std::string& oldName,
                                           const std::string& newName) const;

    bool Contains(const std::string& name) const;
    // A copy of the task of that name; nothing when there is none.
    std::optional<cCloneTask> Copy(const std::string& name) const;

    // Appends the task and saves the list.
    bool Add(const cCloneTask& task);
    // "Copy of " + name, or "Copy of " + name + " (n)" for the first n from 2 that is free.
    std::string DuplicateName(const std::string& name) const;
    // Appends a copy of the task under the new name, with its exclude list, and saves.
    bool Duplicate(const std::string& name, const std::string& newName);
    // Removes the task, saves the list (emptying the file when it was the last task), and
    // deletes the task's include and exclude lists: in the support folder, and the include
    // list in the program's folder, where older versions kept it.
    bool Remove(const std::string& name);
    // Gives the task its new name in its place in the list, moves its exclude list along, and
    // saves (which writes the include list under the new name; the old one is deleted).
    bool Rename(const std::string& oldName, const std::string& newName);
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
    bool SaveList(bool emptyWhenNoTask);

    Application& m_app;
};

}  // namespace duvanto
