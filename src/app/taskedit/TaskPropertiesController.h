// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The task properties window without its widgets: it edits a copy of one task, holds what the
// controls show, decides what each control enables, asks the user through the prompt and, on
// OK, checks the entries in their order and stores them into the copy.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/taskedit/TaskEditServices.h"
#include "tasks/CloneTask.h"
#include "tasks/TaskProperties.h"

namespace duvanto {

// The choices of the frequency box, in the order of the interval types.
inline constexpr std::array<const char*, 6> kFrequencyLabels = {
    "Manual Clone",   "Every Few Minutes",     "Every Few Hours",
    "Every Few Days", "Only on Selected Days", "When the Drive Is Connected"};

// What the frequency choice enables.
struct FrequencyControls {
    bool IncrementEnabled = false;  // the increment box and its label
    std::string IncrementLabel;     // "Minutes:", "Hours:" or "Days:"
    bool StartTimeEnabled = false;
    bool DaysEnabled = false;
};

// What the selected-files window is opened with.
struct SelectFilesRequest {
    std::string SourceFolder;  // normalised, ending in "/"
    bool IncludeSubFolders = true;
    std::vector<std::string> IncludeFileSpecs;
    std::string IncludeFileMasks;
};

// What OK led to: the task was stored (the window closes), or a check refused it and the
// window stays open, with the increment box to be focused and selected after a frequency
// refusal.
enum class TaskPropertiesOutcome { Saved, Refused, RefusedIncrement };

class TaskPropertiesController {
public:
    TaskPropertiesController(const cCloneTask& task, TaskEditServices services);

    const TaskEditServices& Services() const { return m_services; }
    // The task as it was handed in, or as OK stored it.
    const cCloneTask& Task() const { return m_task; }
    // The user changed something after the window was filled.
    bool Changed() const { return m_changed; }
    // The window was left with Cancel (Escape or the close box count as Cancel).
    bool Cancelled() const { return m_cancelled; }
    // Where folder browsing starts when the Source box names no folder; ends in "/".
    void SetDesktopFolder(const std::string& folder) { m_desktopFolder = folder; }

    std::string Caption() const { return "Task Properties - " + m_task.TaskName; }

    // What the controls show.
    const std::string& SourceText() const { return m_sourceText; }
    const std::vector<std::string>& Targets() const { return m_targets; }
    bool IncludeSubFolders() const { return m_includeSubFolders; }
    // 0: all files and folders; 1: selected files only.
    int32_t WhichFiles() const { return m_allFilesAndFolders ? 0 : 1; }
    int32_t FrequencyIndex() const { return m_frequencyIndex; }
    const std::string& IncrementText() const { return m_incrementText; }
    FrequencyControls Frequency() const;
    // The start time as seconds after midnight.
    int32_t StartTimeSeconds() const { return m_startTimeSeconds; }
    bool Day(int32_t dayIndex) const { return (m_daysOfWeek >> dayIndex & 1) != 0; }

    // The selection the selected-files window reads and changes.
    bool AllFilesAndFolders() const { return m_allFilesAndFolders; }
    const std::vector<std::string>& IncludeFileSpecs() const { return m_includeFileSpecs; }
    const std::string& IncludeFileMasks() const { return m_includeFileMasks; }

    // The user's changes, each marking the task as changed.
    void SetIncludeSubFolders(bool include);
    void SetWhichFiles(int32_t index);
    // Also presets the increment of a task that has none.
    void ChooseFrequency(int32_t index);
    void SetIncrementText(const std::string& text);
    void SetStartTimeSeconds(int32_t seconds);
    void SetDay(int32_t dayIndex, bool checked);

    // Path completion of the Source box. Each key typed into it is reported first (its
    // character code; 0 for keys without one); then each change of its text.
    void SourceKeyTyped(uint32_t characterCode);
    void SourceTextChanged(const std::string& text);
    // Completes the Source text when the last key typed was printable: returns the characters
    // added after it (also added to SourceText()), which the box selects. `yield` lets the
    // window handle input while a folder is read; a change of the text meanwhile starts the
    // completion again for the new text.
    std::string CompleteSourceText(const std::function<void()>& yield);

    // Commands.
    void BrowseSource();
    void BrowseTarget();
    void EditTarget(int32_t row);
    // row -1: none is selected, which is refused with a message.
    void RemoveTarget(int32_t row);
    // Drops: a folder or file dropped on the Source box replaces its text (the first when
    // several come), else dropped text does; folders dropped on the Targets are appended.
    void DropOnSource(const std::vector<std::string>& paths, const std::string& text);
    void DropOnTargets(const std::vector<std::string>& paths);
    // The Select button: chooses "selected files" and says whether the selected-files window
    // may open (false after a message about the Source).
    bool SelectFiles();
    SelectFilesRequest SelectFilesFor() const;
    // What the selected-files window chose with its OK.
    void SelectedFilesChosen(bool allFilesAndFolders,
                             const std::vector<std::string>& includeFileSpecs,
                             const std::string& includeFileMasks);

    TaskPropertiesOutcome OK();
    void Cancel() { m_cancelled = true; }
    void Help();

private:
    bool ValidateFolders();
    bool ValidateTargetsApart();
    TaskPropertiesInput Input() const;
    void Show(const TaskMessage& message);
    // Shows the refusal of a check, if any; true when there was none.
    bool Accepted(const std::optional<TaskMessage>& refusal);
    // The question for a folder that fails the shared check; true when the user disregards it.
    bool DisregardFolderProblem(const std::string& title, const std::string& folder, int32_t status,
                                int32_t errorCode);
    void MarkChanged() { m_changed = true; }

    cCloneTask m_task;
    TaskEditServices m_services;
    std::string m_desktopFolder;
    bool m_changed = false;
    bool m_cancelled = false;

    std::string m_sourceText;
    std::vector<std::string> m_targets;
    bool m_includeSubFolders = true;
    bool m_allFilesAndFolders = true;
    std::vector<std::string> m_includeFileSpecs;
    std::string m_includeFileMasks;
    int32_t m_frequencyIndex = IntervalManual;
    std::string m_incrementText;
    std::string m_incrementLabel = "Minutes:";
    int32_t m_startTimeSeconds = 12 * 3600;
    int32_t m_daysOfWeek = 127;

    bool m_lastKeyPrintable = false;
    bool m_completionRunning = false;
    bool m_sourceChangedDuringCompletion = false;
};

}  // namespace duvanto
