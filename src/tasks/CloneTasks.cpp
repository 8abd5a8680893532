// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/CloneTasks.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <unordered_set>

#include "platform/FileSystem.h"
#include "tasks/FieldText.h"
#include "tasks/TaskDates.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"
#include "util/Prompt.h"
#include "util/StringAppend.h"

namespace duvanto {

namespace {

// Keys match without regard to the case of ASCII letters, whatever the locale; other bytes,
// blanks included, must be equal.
char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Folded(x) == Folded(y);
           });
}

// A set of the names in the list, so that a name is looked up at once rather than by walking
// every task: a long list would otherwise take minutes to load. It refers to the tasks' own
// names, which stay where they are while the tasks live.
struct FoldedHash {
    std::size_t operator()(std::string_view key) const {
        std::size_t hash = 14695981039346656037u;  // FNV-1a
        for (const char c : key) {
            hash = (hash ^ static_cast<unsigned char>(Folded(c))) * 1099511628211u;
        }
        return hash;
    }
};
struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameKey(a, b); }
};
using NameSet = std::unordered_set<std::string_view, FoldedHash, FoldedEqual>;

}  // namespace

cCloneTasks::cCloneTasks(std::string appPath, const IClock& clock, ErrorReporter& reporter,
                         IPrompt& prompt, IFileSystem& fileSystem)
    : m_appPath(std::move(appPath)),
      m_clock(clock),
      m_reporter(reporter),
      m_prompt(prompt),
      m_fs(fileSystem) {}

cCloneTasks::~cCloneTasks() = default;

void cCloneTasks::TaskListFileSpec(const std::string& fileSpec) {
    if (fileSpec != m_taskListFileSpec) {
        // Another list has another support folder.
        m_supportFolderChecked = false;
    }
    m_taskListFileSpec = fileSpec;
}

std::string cCloneTasks::TaskListName() const {
    return RemoveFilenameExtension(GetLastItemInPath(m_taskListFileSpec));
}

std::string cCloneTasks::SupportFolder() const {
    return SupportFolderOf(m_appPath, m_taskListFileSpec);
}

std::string SupportFolderOf(const std::string& appPath, const std::string& listFileSpec) {
    // A list name that a file name holds may still be too long for its folder's name: that
    // gets the short form a long task name gets.
    return appPath +
           SupportFileName(RemoveFilenameExtension(GetLastItemInPath(listFileSpec)),
                           " support files") +
           "/";
}

bool cCloneTasks::SupportFolderExists() {
    if (!m_supportFolderChecked) {
        m_supportFolderExists = FolderExists(SupportFolder());
        m_supportFolderChecked = true;
    }
    return m_supportFolderExists;
}

bool cCloneTasks::ATaskContainsError() const {
    return std::any_of(m_tasks.begin(), m_tasks.end(),
                       [](const auto& task) { return task->ErrorOnLastClone; });
}

cCloneTask* cCloneTasks::NextScheduledTask() const {
    for (const auto& task : m_tasks) {
        if (task->IsNextScheduledTask) {
            return task.get();
        }
    }
    return nullptr;
}

int32_t cCloneTasks::IndexOf(const std::string& key) const {
    for (std::size_t i = 0; i < m_tasks.size(); ++i) {
        if (SameKey(m_tasks[i]->TaskName, key)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

cCloneTask* cCloneTasks::Item(const std::string& key) const {
    const int32_t index = IndexOf(key);
    return index < 0 ? nullptr : m_tasks[static_cast<std::size_t>(index)].get();
}

cCloneTask* cCloneTasks::Item(int32_t position) const {
    if (position < 1 || position > Count()) {
        return nullptr;
    }
    return m_tasks[static_cast<std::size_t>(position - 1)].get();
}

bool cCloneTasks::Remove(const cCloneTask& task) {
    // The task may be the list's own object: take its name before it goes.
    const std::string key = task.TaskName;
    const int32_t index = IndexOf(key);
    if (index < 0) {
        m_reporter.ReportUnexpectedError("cCloneTasks.Remove",
                                         {5, "Invalid procedure call or argument", 0});
        return false;
    }
    m_tasks.erase(m_tasks.begin() + index);
    SetNextScheduledTask();
    return true;
}

bool cCloneTasks::Add(const cCloneTask& task, int32_t position, bool dontSetNextScheduledTask) {
    if (Trim(task.TaskName).empty()) {
        m_reporter.ReportUnexpectedError("cCloneTasks.Add",
                                         {5, "Invalid procedure call or argument", 0});
        return false;
    }
    if (IndexOf(task.TaskName) >= 0) {
        m_reporter.ReportUnexpectedError("cCloneTasks.Add",
                                         {457,
                                          "This key is already associated with an element of this "
                                          "collection",
                                          0});
        return false;
    }
    auto added = std::make_unique<cCloneTask>(task);
    const int32_t count = Count();
    int32_t after = count;  // append
    if (position != -1 && !(position == 1 && count == 1)) {
        after = position + 1 <= count ? position + 1 : position - 1;
        if (after < 1 || after > count) {
            after = count;
        }
    }
    m_tasks.insert(m_tasks.begin() + after, std::move(added));
    if (!dontSetNextScheduledTask) {
        SetNextScheduledTask();
    }
    return true;
}

cCloneTask* cCloneTasks::NextScheduledTask(
    const std::function<bool(const cCloneTask&)>& passOver) const {
    cCloneTask* candidate = nullptr;
    for (const auto& task : m_tasks) {
        // A schedule that can never fall due must not hide the ones that can.
        if (task->IntervalType == IntervalManual ||
            !IsSchedulable(task->IntervalType, task->IntervalIncrement, task->DaysOfWeek)) {
            continue;
        }
        if ((candidate == nullptr ||
             SecondBoundaries(task->NextCloneDateTime, candidate->NextCloneDateTime) > 0) &&
            !(passOver && passOver(*task))) {
            candidate = task.get();
        }
    }
    return candidate;
}

void cCloneTasks::SetNextScheduledTask() {
    for (const auto& task : m_tasks) {
        task->IsNextScheduledTask = false;
    }
    if (cCloneTask* candidate = NextScheduledTask(nullptr)) {
        candidate->IsNextScheduledTask = true;
    }
}

void cCloneTasks::CopyTaskPropertiesFromObj1ToObj2(const cCloneTask& source, cCloneTask& target) {
    target.StartTime = source.StartTime;
    target.NextCloneDateTime = source.NextCloneDateTime;
    target.LastCloneDateTime = source.LastCloneDateTime;
    target.IntervalIncrement = source.IntervalIncrement;
    target.IntervalType = source.IntervalType;
    target.DaysOfWeek = source.DaysOfWeek;
    target.ErrorOnLastClone = source.ErrorOnLastClone;
    target.IncludeSubFolders = source.IncludeSubFolders;
    target.TaskName = source.TaskName;
    target.SourceFolderSpec = source.SourceFolderSpec;
    target.TargetFolderSpec = source.TargetFolderSpec;
    // Before the include lists: setting it True empties them.
    target.AllFilesAndFolders(source.AllFilesAndFolders());
    target.IncludeFileSpecs = source.IncludeFileSpecs;
    target.IncludeFileMasks = source.IncludeFileMasks;
    target.ExcludeFileSpecs = source.ExcludeFileSpecs;
    target.ExcludeFileMasks = source.ExcludeFileMasks;
    target.IsNextScheduledTask = source.IsNextScheduledTask;
}

void cCloneTasks::Problem(int32_t lineNumber, const std::string& description, bool losesData) {
    m_problems.push_back({lineNumber, description, losesData});
}

bool cCloneTasks::ProblemsLoseData() const {
    return std::any_of(m_problems.begin(), m_problems.end(),
                       [](const TaskListProblem& problem) { return problem.LosesData; });
}

bool cCloneTasks::ReadAllTasksFromFile(const std::string& fileSpec, bool createWhenMissing) {
    m_problems.clear();
    m_unreadOriginal.clear();
    m_readFileSpec = fileSpec;
    m_backupFileSpec.clear();
    try {
        Result<PathInfo> info = m_fs.StatPath(fileSpec, true);
        // Only a missing file is a list to begin: a file where a folder of the path should be
        // is a path that cannot be read.
        if (!info.ok() && info.status().code() == ENOENT) {
            if (createWhenMissing) {
                Status created = m_fs.WriteFileThroughLinks(fileSpec, "");
                if (!created.ok()) {
                    Problem(0, "the task list could not be created: " + created.message(), false);
                } else {
                    Remember(fileSpec, "");
                }
            }
            return true;
        }
        if (!info.ok()) {
            Problem(0, "the task list could not be read: " + info.status().message());
            return false;
        }
        if (info.value().kind != FileKind::Regular) {
            Problem(0, "the task list is not a file");
            return false;
        }
        if (info.value().size > kMaxFileSize) {
            Problem(0, "the task list is larger than " + std::to_string(kMaxFileSize) +
                           " bytes; it was not read");
            return false;
        }
        Result<std::string> content = m_fs.ReadWholeFile(fileSpec);
        if (!content.ok()) {
            Problem(0, "the task list could not be read: " + content.status().message());
            return false;
        }
        Remember(fileSpec, content.value());
        const std::string_view text = WithoutByteOrderMark(content.value());
        NameSet taken;
        taken.reserve(m_tasks.size() + text.size() / 64);
        for (const auto& task : m_tasks) {
            taken.insert(task->TaskName);
        }
        int32_t lineNumber = 0;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            std::string line(text.substr(start, end - start));
            start = end + 1;
            ++lineNumber;
            // CR LF ends a line, and so does a doubled CR an editor may leave.
            while (line.ends_with('\r')) {
                line.pop_back();
            }
            if (Trim(line).empty()) {
                continue;
            }
            if (line.size() > kMaxLineLength) {
                Problem(lineNumber, "the line is longer than " + std::to_string(kMaxLineLength) +
                                        " bytes; it was skipped");
                continue;
            }
            if (line.find('\0') != std::string::npos) {
                Problem(lineNumber, "the line holds binary data; it was skipped");
                continue;
            }
            // A task holding one could never be written back as one line: every later save
            // of the list would fail.
            if (line.find('\r') != std::string::npos) {
                Problem(lineNumber, "the line holds a carriage return; it was skipped");
                continue;
            }
            std::unique_ptr<cCloneTask> task = CreateCloneTasksObjFromString(line, lineNumber);
            if (task == nullptr) {
                continue;
            }
            if (taken.contains(task->TaskName)) {
                Problem(lineNumber, "a task named \"" + task->TaskName +
                                        "\" is already in the list; the line was skipped");
                continue;
            }
            taken.insert(task->TaskName);
            m_tasks.push_back(std::move(task));
        }
        if (ProblemsLoseData()) {
            m_unreadOriginal = std::move(content.value());
        }
        return true;
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneTasks.ReadAllTasksFromFile");
        Problem(0, "the task list could not be read to its end");
        return false;
    }
}

void cCloneTasks::KeepUnreadOriginal(const std::string& fileSpec) {
    if (m_unreadOriginal.empty() || fileSpec != m_readFileSpec) {
        return;
    }
    for (int copy = 0; copy < 1000; ++copy) {
        std::string backup = fileSpec;
        if (copy > 0) {
            backup.append(".").append(std::to_string(copy));
        }
        backup.append(".bak");
        Status kept = m_fs.WriteNewFile(backup, m_unreadOriginal);
        if (kept.ok()) {
            m_backupFileSpec = backup;
            m_unreadOriginal.clear();
            return;
        }
        if (!kept.IsAlreadyExists()) {
            throw FileRuntimeError(kept);
        }
    }
    throw FileRuntimeError(Status::FromErrno(EEXIST));
}

bool cCloneTasks::SaveAllTasksToFile(const std::string& fileSpec) {
    try {
        const std::string support = SupportFolder();
        if (m_tasks.empty()) {
            return true;
        }
        clsStringAppend content;
        content.InitialBufferSize(10000);
        for (const auto& task : m_tasks) {
            const std::string line = TaskLine(*task);
            if (!task->AllFilesAndFolders()) {
                if (!SupportFolderExists()) {
                    Status made = m_fs.MakeDirectory(support);
                    if (!made.ok() && !FolderExists(support)) {
                        throw RuntimeError(made.code(), "Create Directory Failed", made.code());
                    }
                    m_supportFolderExists = true;
                }
                // Saved without its selection, the task would clone nothing after the next
                // load and say it completed: the list keeps what it held instead.
                if (!task->SaveIncludeFileSpecs(support, m_fs, m_prompt, m_reporter)) {
                    return false;
                }
            }
            content.Append(line);
            content.Append("\r\n");
        }
        KeepUnreadOriginal(fileSpec);
        // Written whole: a failure leaves the earlier file as it was.
        Status written = m_fs.WriteFileThroughLinks(fileSpec, content.CurrentString());
        if (!written.ok()) {
            throw FileRuntimeError(written);
        }
        Remember(fileSpec, content.CurrentString());
        return true;
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneTasks.SaveAllTasksToFile");
        return false;
    }
}

bool cCloneTasks::EmptyTaskListFile(const std::string& fileSpec) {
    try {
        KeepUnreadOriginal(fileSpec);
        Status written = m_fs.WriteFileThroughLinks(fileSpec, "");
        if (!written.ok()) {
            throw FileRuntimeError(written);
        }
        Remember(fileSpec, "");
        return true;
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneTasks.SaveAllTasksToFile");
        return false;
    }
}

void cCloneTasks::Remember(const std::string& fileSpec, const std::string& text) {
    // A copy saved elsewhere (Save As) leaves what is known of the list's own file.
    if (fileSpec == m_taskListFileSpec) {
        m_knownFileSpec = fileSpec;
        m_knownText = text;
    }
}

bool cCloneTasks::FileChangedElsewhere() const {
    if (m_taskListFileSpec.empty() || m_taskListFileSpec != m_knownFileSpec) {
        return false;
    }
    Result<PathInfo> info = m_fs.StatPath(m_taskListFileSpec, true);
    if (!info.ok() || info.value().kind != FileKind::Regular || info.value().size > kMaxFileSize) {
        return false;
    }
    const Result<std::string> content = m_fs.ReadWholeFile(m_taskListFileSpec);
    return content.ok() && content.value() != m_knownText;
}

}  // namespace duvanto
