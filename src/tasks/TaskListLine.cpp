// SPDX-License-Identifier: GPL-3.0-or-later
// One task as one line of the list file, and back: the fields in their order, and what a line
// that is not as this version writes it becomes.

#include <strings.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "tasks/CloneTasks.h"
#include "tasks/FieldText.h"
#include "tasks/TaskDates.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"
#include "util/Prompt.h"
#include "util/StringAppend.h"

namespace duvanto {

namespace {

constexpr char kIllegalNameCharacters[] = "\\/:*?\"<>|";

const char* const kFieldNames[] = {
    "TaskName",          "SourceFolderSpec", "TargetFolderSpec",   "IncludeSubFolders",
    "StartTime",         "IntervalType",     "IntervalIncrement",  "LastCloneDateTime",
    "NextCloneDateTime", "ErrorOnLastClone", "AllFilesAndFolders", "DaysOfWeek",
    "IncludeFileMasks",  "ExcludeFileMasks",
};

std::string BooleanText(bool value) {
    return value ? "True" : "False";
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    const std::string_view separator = kFieldSeparator;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = line.find(separator, start);
        fields.push_back(line.substr(start, at == std::string::npos ? at : at - start));
        if (at == std::string::npos) {
            return fields;
        }
        start = at + separator.size();
    }
}

}  // namespace

std::unique_ptr<cCloneTask> cCloneTasks::CreateCloneTasksObjFromString(const std::string& line,
                                                                       int32_t lineNumber) {
    auto task = std::make_unique<cCloneTask>();
    const std::string support = SupportFolder();
    const std::vector<std::string> fields = SplitFields(line);
    if (fields.size() < 10) {
        Problem(lineNumber, "the line has " + std::to_string(fields.size()) +
                                (fields.size() == 1 ? " field" : " fields") +
                                " where a task has at least 10; it was skipped");
        return nullptr;
    }

    auto field = [&](std::size_t index) -> std::string {
        return "field " + std::to_string(index) + " (" + kFieldNames[index] + ") \"" +
               fields[index] + "\"";
    };
    auto readLong = [&](std::size_t index, int32_t& target) {
        const NumberText number = ReadNumberText(fields[index]);
        const double value = std::nearbyint(number.value);
        if (!(value >= std::numeric_limits<int32_t>::min() &&
              value <= std::numeric_limits<int32_t>::max())) {
            Problem(lineNumber, field(index) + " is out of range; it was read as 0");
            target = 0;
            return;
        }
        target = static_cast<int32_t>(value);
        // "30 minutes" is 30, as the list has always read it; only text without a leading
        // number loses what it says.
        if (!number.found) {
            Problem(lineNumber,
                    field(index) + " is not a number; it was read as " + std::to_string(target));
        }
    };
    auto readBoolean = [&](std::size_t index, bool fallback) {
        const std::string text = Trim(fields[index]);
        if (strcasecmp(text.c_str(), "True") == 0) {
            return true;
        }
        if (strcasecmp(text.c_str(), "False") == 0) {
            return false;
        }
        const NumberText number = ReadNumberText(text);
        if (number.whole) {
            return number.value != 0.0;
        }
        Problem(lineNumber, field(index) + " is neither True nor False; it was read as " +
                                BooleanText(fallback));
        return fallback;
    };
    auto readDate = [&](std::size_t index) {
        std::optional<double> value = ParseGeneralDateText(fields[index]);
        if (!value) {
            Problem(lineNumber, field(index) + " is not a date; the task was read as never run");
        }
        return value;
    };

    std::string name = fields[0];
    if (StringContainsIllegalFileNameCharacter(name)) {
        name = ReplaceMultipleChars(name, kIllegalNameCharacters, " ");
        m_taskNameContainedIllegalChar = true;
    }
    if (Trim(name).empty()) {
        Problem(lineNumber, "the line names no task; it was skipped");
        return nullptr;
    }
    task->TaskName = name;
    task->SourceFolderSpec = fields[1];
    task->TargetFolderSpec = fields[2];
    task->IncludeSubFolders = readBoolean(3, true);
    if (std::optional<double> start = ParseGeneralDateText(fields[4])) {
        task->StartTime = *start;
    } else {
        Problem(lineNumber,
                field(4) + " is not a time; it was read as " + GeneralDateText(task->StartTime));
    }
    readLong(5, task->IntervalType);
    // Most likely a schedule of a later version: kept as it stands, so that a save writes it
    // back, and never run on a guess of what it meant.
    if (!IsKnownIntervalType(task->IntervalType)) {
        Problem(lineNumber,
                field(5) +
                    " is a schedule this version cannot read; the task is kept as it "
                    "is and never run by the scheduler",
                false);
    }
    readLong(6, task->IntervalIncrement);
    const std::optional<double> last = readDate(7);
    const std::optional<double> next = readDate(8);
    // Without both run times the task is taken as one that never ran: a due time kept without
    // its last run, or the reverse, would be a guess.
    if (last && next) {
        task->LastCloneDateTime = *last;
        task->NextCloneDateTime = *next;
    }
    task->ErrorOnLastClone = readBoolean(9, false);

    if (fields.size() >= 11) {
        task->AllFilesAndFolders(readBoolean(10, true));
        if (!task->AllFilesAndFolders()) {
            task->LoadIncludeFileSpecs(support, SupportFolderExists(), m_appPath, m_fs, m_reporter);
            task->LoadExcludeFileSpecs(support, m_fs, m_reporter);
        }
    }
    if (fields.size() >= 12) {
        readLong(11, task->DaysOfWeek);
        const double now = m_clock.Now();
        // An overdue task of selected days waits for its next day, unless today is one.
        if (task->IntervalType == IntervalSelectedDays &&
            SecondBoundaries(task->NextCloneDateTime, now) > 0 &&
            !task->RunOnThisDayOfWeek(ConvertToDVDayOfWeek(WeekdayOf(now)))) {
            task->NextCloneDateTime = DetermineNextCloneDateTime(
                now, IntervalSelectedDays, 0, task->StartTime, task->DaysOfWeek, now);
        }
    }
    if (fields.size() >= 13) {
        task->IncludeFileMasks = fields[12];
    }
    if (fields.size() >= 14) {
        task->ExcludeFileMasks = fields[13];
    }

    if (IsTimedInterval(task->IntervalType) &&
        !IsSchedulable(task->IntervalType, task->IntervalIncrement, task->DaysOfWeek)) {
        Problem(lineNumber,
                "the task \"" + task->TaskName + "\" " +
                    (task->IntervalType == IntervalSelectedDays
                         ? "runs on selected days but has no day selected"
                         : "has an interval below 1") +
                    "; it is never scheduled",
                false);
    }
    return task;
}

std::string cCloneTasks::TaskLine(const cCloneTask& task) {
    const std::string fields[] = {
        task.TaskName,
        task.SourceFolderSpec,
        task.TargetFolderSpec,
        BooleanText(task.IncludeSubFolders),
        GeneralDateText(task.StartTime),
        std::to_string(task.IntervalType),
        std::to_string(task.IntervalIncrement),
        GeneralDateText(task.LastCloneDateTime),
        GeneralDateText(task.NextCloneDateTime),
        BooleanText(task.ErrorOnLastClone),
        BooleanText(task.AllFilesAndFolders()),
        std::to_string(task.DaysOfWeek),
        task.IncludeFileMasks,
    };
    clsStringAppend line;
    line.InitialBufferSize(10000);
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        // A field that held the separator or a line end would read back as other fields or
        // another task.
        if (fields[i].find(kFieldSeparator) != std::string::npos ||
            fields[i].find_first_of("\r\n") != std::string::npos) {
            throw RuntimeError(5, "The task \"" + task.TaskName + "\" cannot be saved: its " +
                                      kFieldNames[i] +
                                      " holds a line break or the separator ~!@#.");
        }
        if (i > 0) {
            line.Append(kFieldSeparator);
        }
        line.Append(fields[i]);
    }
    return line.CurrentString();
}

}  // namespace duvanto
