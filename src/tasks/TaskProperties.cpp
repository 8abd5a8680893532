// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/TaskProperties.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/FolderCheck.h"
#include "platform/ProcessPaths.h"
#include "tasks/FieldText.h"
#include "tasks/TaskDates.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

// The increment box is enabled for the three interval types that use it.
bool IncrementEnabled(int32_t frequencyIndex) {
    return frequencyIndex == IntervalMinutes || frequencyIndex == IntervalHours ||
           frequencyIndex == IntervalDays;
}

// The integer value of a numeric text, when a task can hold it.
std::optional<int32_t> IncrementValue(const std::string& text) {
    const NumberText number = ReadNumberText(Trim(text));
    if (!number.whole) {
        return std::nullopt;
    }
    const double value = std::floor(number.value);
    if (!(value >= std::numeric_limits<int32_t>::min() &&
          value <= std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

// The folder with its links resolved as far as it exists, the rest of its path as written.
std::string ResolvedAsFarAsItExists(const std::string& folder) {
    std::string existing = NormalizePath(folder);
    std::string rest;
    while (existing.size() > 1) {
        const std::string resolved = ResolvedFolderPath(existing);
        if (!resolved.empty()) {
            return resolved + rest;
        }
        const std::size_t cut = existing.rfind('/', existing.size() - 2);
        rest = existing.substr(cut + 1) + rest;
        existing = existing.substr(0, cut + 1);
    }
    return existing + rest;
}

}  // namespace

std::optional<TaskMessage> CheckTaskNameCharacters(const std::string& name) {
    if (StringContainsIllegalFileNameCharacter(name)) {
        return TaskMessage{"Illegal Task Name",
                           "Task names cannot contain any of the following characters:\r\n"
                           "\\ / : * ? \" < > |",
                           MessageIcon::Critical};
    }
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 || c == 127;
    });
    if (control || name.find(kFieldSeparator) != std::string::npos) {
        return TaskMessage{"Illegal Task Name",
                           "Task names cannot contain \"~!@#\", a line break or another control "
                           "character.",
                           MessageIcon::Critical};
    }
    return std::nullopt;
}

std::optional<TaskMessage> CheckNewTaskName(const std::string& name, const cCloneTasks& tasks) {
    if (std::optional<TaskMessage> refused = CheckTaskNameCharacters(name)) {
        return refused;
    }
    if (tasks.Item(name) != nullptr) {
        return TaskMessage{"Duplicate Task Name", "A task with this name already exists.",
                           MessageIcon::Exclamation};
    }
    return std::nullopt;
}

TaskMessage IllegalTaskNamesRepairedMessage() {
    return {"Illegal Task Name",
            "One or more tasks contained an illegal character in their name.\r\n"
            "All occurrences of the following characters have been replaced with a space:\r\n"
            "\\ / : * ? \" < > |\r\n"
            "\r\n"
            "Previous versions of Duvanto allowed these characters.  This\r\n"
            "resulted in some errors cropping up in the 'Only Selected Files' feature.\r\n"
            "\r\n"
            "Please check the properties of all of your tasks to ensure their correctness.\r\n"
            "You may need to reselect the files and folders in the Selected Files and Folders "
            "window.",
            MessageIcon::Critical};
}

std::optional<TaskMessage> ValidateFolderEntries(const TaskPropertiesInput& input) {
    if (input.Targets.empty()) {
        return TaskMessage{"Validate Folders", "No target folder has been entered.",
                           MessageIcon::Exclamation};
    }
    if (Trim(input.SourceText).empty()) {
        return TaskMessage{"Validate Folders", "No source folder has been entered.",
                           MessageIcon::Exclamation};
    }
    return std::nullopt;
}

std::optional<TaskMessage> ValidateFrequency(const TaskPropertiesInput& input) {
    if (!IncrementEnabled(input.FrequencyIndex)) {
        return std::nullopt;
    }
    const std::optional<int32_t> value = IncrementValue(input.IncrementText);
    const int32_t least = input.FrequencyIndex == IntervalMinutes ? 5 : 1;
    if (value && *value >= least) {
        return std::nullopt;
    }
    return TaskMessage{"Invalid Frequency",
                       "The frequency value is invalid.  Please check the following:\r\n\r\n"
                       "1) The frequency interval must be a positive number\r\n"
                       "2) The frequency cannot be greater than once every 5 minutes\r\n",
                       MessageIcon::Information};
}

std::optional<TaskMessage> ValidateDaysOfWeek(const TaskPropertiesInput& input) {
    if (input.FrequencyIndex == IntervalSelectedDays && (input.DaysOfWeek & 127) == 0) {
        return TaskMessage{"Invalid Days", "No days of the week are selected.",
                           MessageIcon::Information};
    }
    return std::nullopt;
}

std::optional<TaskMessage> ValidateTaskProperties(const TaskPropertiesInput& input) {
    if (auto refused = ValidateFolderEntries(input)) {
        return refused;
    }
    if (auto refused = ValidateFrequency(input)) {
        return refused;
    }
    return ValidateDaysOfWeek(input);
}

std::string CheckTargetApartFromSource(const std::string& source, const std::string& target) {
    std::string reason = CheckSourceTargetApart(source, target);
    if (!reason.empty()) {
        return reason;
    }
    const std::string realSource = ResolvedAsFarAsItExists(source);
    const std::string realTarget = ResolvedAsFarAsItExists(target);
    const char* relation = nullptr;
    if (realSource == realTarget) {
        relation = "\" is the Source folder \"";
    } else if (realTarget.starts_with(realSource)) {
        relation = "\" lies inside the Source folder \"";
    } else if (realSource.starts_with(realTarget)) {
        relation = "\" contains the Source folder \"";
    } else {
        return "";
    }
    return "The Target folder \"" + target + relation + source +
           "\". A folder cannot be cloned into itself.";
}

std::string NormalizeFolderEntry(const std::string& text) {
    const std::string trimmed = Trim(text);
    return trimmed.empty() ? trimmed : NormalizePath(trimmed);
}

void SaveTaskProperties(const TaskPropertiesInput& input, cCloneTask& task, double now) {
    task.SourceFolderSpec = NormalizeFolderEntry(input.SourceText);
    std::string targets;
    for (std::size_t i = 0; i < input.Targets.size(); ++i) {
        targets += (i == 0 ? "" : kListSeparator) + NormalizeFolderEntry(input.Targets[i]);
    }
    task.TargetFolderSpec = targets;
    task.IncludeSubFolders = input.IncludeSubFolders;
    task.AllFilesAndFolders(input.AllFilesAndFolders);
    task.IncludeFileSpecs = input.IncludeFileSpecs;
    task.IncludeFileMasks = input.IncludeFileMasks;
    task.IntervalType = input.FrequencyIndex;
    task.IntervalIncrement = IncrementValue(input.IncrementText).value_or(5);
    task.StartTime = input.StartTime;
    task.DaysOfWeek = input.DaysOfWeek & 127;
    if (task.LastCloneDateTime == 0.0) {
        task.LastCloneDateTime = WholeSecond(now);
    }
    if (IsTimedInterval(task.IntervalType)) {
        task.NextCloneDateTime = DetermineNextCloneDateTime(
            task.LastCloneDateTime, task.IntervalType, task.IntervalIncrement, task.StartTime,
            task.DaysOfWeek, now);
    }
}

}  // namespace duvanto
