// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the task properties dialog without the dialog: the checks its OK button makes,
// with their messages, and how the entered values are stored into a task. The desktop dialog
// and the command-line `add` share them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tasks/CloneTasks.h"
#include "util/Prompt.h"

namespace duvanto {

struct TaskMessage {
    std::string Title;
    std::string Text;
    MessageIcon Icon = MessageIcon::Exclamation;
};

// What the dialog's controls hold when OK is pressed.
struct TaskPropertiesInput {
    std::string SourceText;
    std::vector<std::string> Targets;
    bool IncludeSubFolders = true;
    bool AllFilesAndFolders = true;
    std::vector<std::string> IncludeFileSpecs;  // full paths under the Source
    std::string IncludeFileMasks;
    int32_t FrequencyIndex = IntervalManual;  // becomes IntervalType
    std::string IncrementText = "1";
    double StartTime = 0.5;
    int32_t DaysOfWeek = 127;  // the checked day boxes
};

// A new task's name, trimmed: forbidden characters, then a name already in the list.
std::optional<TaskMessage> CheckNewTaskName(const std::string& name, const cCloneTasks& tasks);
// The characters of a name alone: those a file name cannot hold, then the field separator
// "~!@#" and control characters (a line break among them), which the task list cannot hold.
std::optional<TaskMessage> CheckTaskNameCharacters(const std::string& name);

// Shown after a task list was read whose task names held forbidden characters.
TaskMessage IllegalTaskNamesRepairedMessage();

// The OK button's checks in their order, without the folder-status questions: no Target,
// no Source, the frequency, the days. The first refusal, or nothing.
std::optional<TaskMessage> ValidateFolderEntries(const TaskPropertiesInput& input);
std::optional<TaskMessage> ValidateFrequency(const TaskPropertiesInput& input);
std::optional<TaskMessage> ValidateDaysOfWeek(const TaskPropertiesInput& input);
std::optional<TaskMessage> ValidateTaskProperties(const TaskPropertiesInput& input);

// Why the Target may not be cloned from the Source (it is the Source, lies inside it or
// contains it), or "". Unlike the run's check it also judges a Target that does not exist yet,
// by the deepest of its folders that does.
std::string CheckTargetApartFromSource(const std::string& source, const std::string& target);

// The folder path as it is stored: trimmed, runs of "/" folded, "." and ".." resolved, ending
// in "/". The same normalisation wherever a folder is entered.
std::string NormalizeFolderEntry(const std::string& text);

// Stores the entered values into the task; a task that never ran counts as run now, and a
// scheduled task gets its next due time.
void SaveTaskProperties(const TaskPropertiesInput& input, cCloneTask& task, double now);

}  // namespace duvanto
