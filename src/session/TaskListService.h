// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way into the task list, for the window and the runner alike: reading a list file,
// switching to another, a new list, a copy under another name, saving; adding, removing,
// renaming and duplicating a task, storing its edited properties, resetting error flags. Each
// change is saved at once. All that is known of list files (.dvt), include lists (.dvi),
// exclude lists (.dve) and the list's support folder is known here. It decides and words; it
// shows nothing: refusals and warnings come back as messages in the order they are to be
// shown. Everything here runs on the owner's thread.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tasks/Application.h"
#include "tasks/TaskProperties.h"
#include "tasks/TaskRun.h"

namespace duvanto {

enum class TaskEditStatus {
    Done,        // the list changed and was saved (or there was nothing to change)
    Refused,     // bad input: nothing changed; the last message says why (none: dropped quietly)
    NoSuchTask,  // no task of that name in the list
    Failed,      // the list could not be changed or saved (already reported)
};

struct TaskEditResult {
    TaskEditStatus Status = TaskEditStatus::Done;
    // Warnings that did not stop the change, and then the refusal, if any.
    std::vector<TaskMessage> Messages;
    std::string Name;  // the task's name after the change
};

class TaskListService {
public:
    explicit TaskListService(Application& app) : m_app(app) {}
    TaskListService(const TaskListService&) = delete;
    TaskListService& operator=(const TaskListService&) = delete;

    // Called after every save, done or not (the runner tells there where a list that lost
    // lines was kept).
    void OnSaved(std::function<void()> saved) { m_saved = std::move(saved); }

    // The list file: it becomes the list's file, the list is emptied and the file read into
    // it (a missing file is created when createWhenMissing is set), and the next scheduled
    // task is marked. False when the file could not be read at all.
    bool Open(const std::string& fileSpec, bool createWhenMissing = true);
    // The list's own file read again, as another program left it (a missing one is not made).
    bool Reload();
    // Saves the current list to its own file, then opens the other.
    bool SwitchTo(const std::string& fileSpec);
    // The file of a list named `name` in the program folder.
    std::string ListFileFor(const std::string& name) const;
    // Creates the file empty; false when it exists or could not be made.
    bool CreateEmptyListFile(const std::string& fileSpec);
    // Writes the current list to another file, with the include and exclude lists in that
    // list's support folder, so that the copy loads whole; the current file stays current.
    bool SaveAs(const std::string& fileSpec);
    // Saves the list to its file; emptyWhenNoTask: the file of an empty list is emptied.
    bool Save(bool emptyWhenNoTask = false);

    const cCloneTasks& List() const { return m_app.CloneTasks; }
    // The task of that name, letter case aside; nullptr when there is none.
    const cCloneTask* Find(const std::string& name) const { return m_app.CloneTasks.Item(name); }
    // A copy of the task of that name; nothing when there is none.
    std::optional<cCloneTask> Copy(const std::string& name) const;
    const std::string& FileSpec() const { return m_app.CloneTasks.TaskListFileSpec(); }
    std::string ListName() const { return m_app.CloneTasks.TaskListName(); }
    // Whether another program changed the list's file since the list read or saved it.
    bool ChangedElsewhere() const { return m_app.CloneTasks.FileChangedElsewhere(); }
    // What the last read could not take as it stands.
    const std::vector<TaskListProblem>& Problems() const { return m_app.CloneTasks.Problems(); }
    bool IllegalNamesRepaired() const { return m_app.CloneTasks.TaskNameContainedIllegalChar(); }
    TrayIcon TrayIconChoice() const { return m_app.TrayIconChoice(); }
    // The drive a due task waits for, "" for none (cCloneTask::WaitingForDrive).
    std::string WaitingFor(const cCloneTask& task) const { return task.WaitingForDrive(m_app); }

    // A new task's name: forbidden characters, then a name taken (letter case aside).
    std::optional<TaskMessage> CheckNewName(const std::string& name) const;
    // A task whose properties were set in the properties window: the name checks again (the
    // list may have changed while the window was open), then added and saved.
    TaskEditResult AddTask(const cCloneTask& task);
    // A new task from the properties dialog's values: the name checks, the dialog's checks,
    // a warning for each folder that is not usable now (a Target may be a drive plugged in
    // later), then each Target apart from the Source. The name is trimmed.
    TaskEditResult Add(const std::string& name, const TaskPropertiesInput& input);
    // The task, its include and exclude lists in the support folder, and the older place of
    // its include list (AppPath + name + ".dvi"). The file of a list left empty is emptied: a
    // save would leave it alone and the task would come back.
    TaskEditResult Remove(const std::string& name);
    // The new name trimmed: empty drops the rename quietly; a name the list cannot hold, or
    // another task's name (letter case aside), refuses it. A change of letter case alone is a
    // rename. The task keeps its place in the list; its include and exclude lists move to
    // the new name.
    TaskEditResult Rename(const std::string& name, const std::string& newName);
    // A copy of every property under the first free name of "Copy of X", "Copy of X (2)", ...,
    // appended to the list, with an exclude list of its own.
    TaskEditResult Duplicate(const std::string& name);
    // Copies the edited properties into the task of the edited task's name, marks the next
    // scheduled task anew and saves.
    bool StoreProperties(const cCloneTask& edited);
    // Clears the task's error flag; false when the list has no such task. Not saved: the
    // flag goes into the file with the next save.
    bool ResetError(const std::string& name);
    void ResetAllErrors();

    // The task of the outcome's name takes its times and error flag (a task no longer listed
    // takes nothing), and the list is saved. False when the save failed.
    bool ApplyRunOutcome(const TaskRunOutcome& outcome);

private:
    // The task's include or exclude list in the support folder.
    std::string SupportFile(const std::string& name, const char* extension) const;
    // Deletes the file if it is there.
    void Delete(const std::string& file);

    Application& m_app;
    std::function<void()> m_saved;
};

// "'NAME' has been created successfully." and the hint of the new-task command.
TaskMessage TaskCreatedMessage(const std::string& name);
// "'NAME' has been created successfully." of the duplicate command.
TaskMessage TaskDuplicatedMessage(const std::string& name);

}  // namespace duvanto
