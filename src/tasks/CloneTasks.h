// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The task list: the ordered collection of tasks keyed by name, and its file. One line per
// task, fields separated by "~!@#"; each task's include and exclude lists live in files of
// their own in the list's support folder.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tasks/CloneTask.h"

namespace duvanto {

class ErrorReporter;
class IClock;
class IFileSystem;
class IPrompt;

inline constexpr char kFieldSeparator[] = "~!@#";
inline constexpr char kDefaultTaskListName[] = "Default Task List.dvt";

// A line of a task-list file that the reader could not take as it stands. The reader keeps
// every task it can and collects one problem per flaw; the caller shows them.
struct TaskListProblem {
    int32_t LineNumber = 0;  // counted from 1; 0 for the file as a whole
    std::string Description;
    // A save would not write back what the file holds: the line was skipped, or a value was
    // replaced by its default. The first save over the file keeps the original beside it.
    bool LosesData = true;
};

// The support folder of a list file: appPath + the list's name + " support files/", wherever
// the list file is; a name too long for a folder's name is shortened as SupportFileName does.
std::string SupportFolderOf(const std::string& appPath, const std::string& listFileSpec);

class cCloneTasks {
public:
    // Reading ignores lines longer than this; no task needs a fraction of it.
    static constexpr std::size_t kMaxLineLength = 1 << 20;
    // A file larger than this is not read at all.
    static constexpr std::size_t kMaxFileSize = 64u << 20;

    // appPath ends in "/". The list's files are read and written through fileSystem.
    cCloneTasks(std::string appPath, const IClock& clock, ErrorReporter& reporter, IPrompt& prompt,
                IFileSystem& fileSystem);
    cCloneTasks(const cCloneTasks&) = delete;
    cCloneTasks& operator=(const cCloneTasks&) = delete;
    ~cCloneTasks();

    bool TaskNameContainedIllegalChar() const { return m_taskNameContainedIllegalChar; }
    void TaskNameContainedIllegalChar(bool value) { m_taskNameContainedIllegalChar = value; }
    const std::string& TaskListFileSpec() const { return m_taskListFileSpec; }
    void TaskListFileSpec(const std::string& fileSpec);
    // The list file's name without its extension ("Default Task List").
    std::string TaskListName() const;
    // AppPath + TaskListName + " support files/", wherever the list file itself is
    // (SupportFolderOf).
    std::string SupportFolder() const;

    bool ATaskContainsError() const;
    int32_t Count() const { return static_cast<int32_t>(m_tasks.size()); }
    // The first task marked by SetNextScheduledTask; nullptr when none is.
    cCloneTask* NextScheduledTask() const;
    // The task SetNextScheduledTask would mark were the tasks that `passOver` names not there.
    cCloneTask* NextScheduledTask(const std::function<bool(const cCloneTask&)>& passOver) const;

    // Removes the task of that name; false (reported) when there is none.
    bool Remove(const cCloneTask& task);
    // Inserts the task under its name: position -1 (or 1 in a list of one) appends; else
    // after the task at position + 1 when there is one, otherwise after position - 1
    // (positions count from 1); a place outside the list appends. False (reported) for an
    // empty or taken name: names are unique regardless of letter case.
    bool Add(const cCloneTask& task, int32_t position = -1, bool dontSetNextScheduledTask = false);
    // By name (letter case ignored, blanks counting) or by position counted from 1; nullptr
    // when none.
    cCloneTask* Item(const std::string& key) const;
    cCloneTask* Item(int32_t position) const;

    // Appends the file's tasks to the list; a missing file gives none and, with
    // createWhenMissing, is created empty. A byte-order mark at the start is skipped.
    // Problems() lists what could not be taken as it stands. False when the file could not be
    // read at all.
    bool ReadAllTasksFromFile(const std::string& fileSpec, bool createWhenMissing = true);
    const std::vector<TaskListProblem>& Problems() const { return m_problems; }
    bool ProblemsLoseData() const;
    // Writes every task (an empty list leaves the file alone) and the include lists of the
    // tasks that clone selected items. The file is replaced whole or not at all; a link at
    // its path is written through. When the last read of this file lost lines or values, the
    // first save keeps the file as it was read in FILE.bak (FILE.1.bak, ... when taken), or
    // does not save at all.
    bool SaveAllTasksToFile(const std::string& fileSpec);
    // Empties the file after its last task went (a save leaves the file of an empty list
    // alone), keeping what was read first as a save does.
    bool EmptyTaskListFile(const std::string& fileSpec);
    // Where the last save kept the file as it was read; "" when none did.
    const std::string& BackupFileSpec() const { return m_backupFileSpec; }
    // Whether the list's file (TaskListFileSpec) now holds other text than this list last read
    // from it or wrote to it: another program changed it. A missing or unreadable file is no
    // such change: there is nothing to read, and the next save writes the list again.
    bool FileChangedElsewhere() const;

    bool AnyErrorTasks() const { return ATaskContainsError(); }
    // Marks the scheduled task that falls due first (ties: the earlier in the list); a view
    // shows the mark through TaskRowImage.
    void SetNextScheduledTask();

    static void CopyTaskPropertiesFromObj1ToObj2(const cCloneTask& source, cCloneTask& target);

    // The task as one line of the file, without the line end.
    static std::string TaskLine(const cCloneTask& task);

private:
    std::unique_ptr<cCloneTask> CreateCloneTasksObjFromString(const std::string& line,
                                                              int32_t lineNumber);
    void Problem(int32_t lineNumber, const std::string& description, bool losesData = true);
    bool SupportFolderExists();
    int32_t IndexOf(const std::string& key) const;
    // Before the first save over the file read last, when that read lost anything: the text as
    // read goes to a new backup file. Throws when it cannot be kept.
    void KeepUnreadOriginal(const std::string& fileSpec);
    // What the list's own file holds after this list read or wrote it.
    void Remember(const std::string& fileSpec, const std::string& text);

    std::string m_appPath;
    const IClock& m_clock;
    ErrorReporter& m_reporter;
    IPrompt& m_prompt;
    IFileSystem& m_fs;
    std::vector<std::unique_ptr<cCloneTask>> m_tasks;
    std::string m_taskListFileSpec;
    bool m_taskNameContainedIllegalChar = false;
    bool m_supportFolderChecked = false;
    bool m_supportFolderExists = false;
    std::vector<TaskListProblem> m_problems;
    // The text this list last read from or wrote to a file, and that file.
    std::string m_knownText;
    std::string m_knownFileSpec;
    // The text of the last read while it holds what a save would lose, and its file.
    std::string m_unreadOriginal;
    std::string m_readFileSpec;
    std::string m_backupFileSpec;
};

}  // namespace duvanto
