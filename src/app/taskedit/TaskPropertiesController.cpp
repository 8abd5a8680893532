// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/TaskPropertiesController.h"

#include <cmath>

#include "app/taskedit/FolderPathCompletion.h"
#include "engine/FolderCheck.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

constexpr int32_t kDaySeconds = 24 * 3600;
constexpr int32_t kNoon = 12 * 3600;

// The time of day of an OLE date in whole seconds.
int32_t TimeOfDaySeconds(double oleDate) {
    const double fraction = std::fabs(oleDate - std::trunc(oleDate));
    return static_cast<int32_t>(std::llround(fraction * kDaySeconds) % kDaySeconds);
}

// The unit beside the increment box; the manual choice leaves the label as it was.
std::string IncrementLabel(int32_t frequencyIndex, const std::string& previous) {
    switch (frequencyIndex) {
        case IntervalMinutes:
            return "Minutes:";
        case IntervalHours:
            return "Hours:";
        case IntervalDays:
        case IntervalSelectedDays:
            return "Days:";
        default:
            return previous;
    }
}

}  // namespace

TaskPropertiesController::TaskPropertiesController(const cCloneTask& task,
                                                   TaskEditServices services)
    : m_task(task), m_services(services) {
    m_sourceText = task.SourceFolderSpec;
    m_targets = task.TargetFolders();
    m_includeSubFolders = task.IncludeSubFolders;
    m_allFilesAndFolders = task.AllFilesAndFolders();
    m_includeFileSpecs = task.IncludeFileSpecs;
    m_includeFileMasks = task.IncludeFileMasks;
    m_frequencyIndex = IsKnownIntervalType(task.IntervalType) ? task.IntervalType : IntervalManual;
    m_incrementLabel = IncrementLabel(m_frequencyIndex, m_incrementLabel);
    m_incrementText = std::to_string(task.IntervalIncrement);
    // A start time of midnight is what an unset time looks like: it is offered as noon.
    m_startTimeSeconds = TimeOfDaySeconds(task.StartTime);
    if (m_startTimeSeconds == 0) {
        m_startTimeSeconds = kNoon;
    }
    m_daysOfWeek = task.DaysOfWeek & 127;
}

FrequencyControls TaskPropertiesController::Frequency() const {
    FrequencyControls controls;
    controls.IncrementLabel = m_incrementLabel;
    controls.IncrementEnabled = m_frequencyIndex == IntervalMinutes ||
                                m_frequencyIndex == IntervalHours ||
                                m_frequencyIndex == IntervalDays;
    controls.StartTimeEnabled =
        m_frequencyIndex == IntervalDays || m_frequencyIndex == IntervalSelectedDays;
    controls.DaysEnabled = m_frequencyIndex == IntervalSelectedDays;
    return controls;
}

void TaskPropertiesController::SetIncludeSubFolders(bool include) {
    m_includeSubFolders = include;
    MarkChanged();
}

void TaskPropertiesController::SetWhichFiles(int32_t index) {
    m_allFilesAndFolders = index == 0;
    MarkChanged();
}

void TaskPropertiesController::ChooseFrequency(int32_t index) {
    if (!IsKnownIntervalType(index)) {
        return;
    }
    m_frequencyIndex = index;
    m_incrementLabel = IncrementLabel(index, m_incrementLabel);
    if (m_task.IntervalIncrement == 0 && index != IntervalManual) {
        m_incrementText = index == IntervalMinutes ? "10" : "1";
    }
    MarkChanged();
}

void TaskPropertiesController::SetIncrementText(const std::string& text) {
    m_incrementText = text;
    MarkChanged();
}

void TaskPropertiesController::SetStartTimeSeconds(int32_t seconds) {
    m_startTimeSeconds = ((seconds % kDaySeconds) + kDaySeconds) % kDaySeconds;
    MarkChanged();
}

void TaskPropertiesController::SetDay(int32_t dayIndex, bool checked) {
    if (dayIndex < 0 || dayIndex > 6) {
        return;
    }
    if (checked) {
        m_daysOfWeek |= 1 << dayIndex;
    } else {
        m_daysOfWeek &= ~(1 << dayIndex);
    }
    MarkChanged();
}

void TaskPropertiesController::SourceKeyTyped(uint32_t characterCode) {
    // Backspace, Delete and the other editing keys never complete: the user is taking
    // characters away, and a completion would put them back.
    m_lastKeyPrintable = characterCode >= 32 && characterCode <= 122;
}

void TaskPropertiesController::SourceTextChanged(const std::string& text) {
    m_sourceText = text;
    MarkChanged();
    if (m_completionRunning) {
        m_sourceChangedDuringCompletion = true;
    }
}

std::string TaskPropertiesController::CompleteSourceText(const std::function<void()>& yield) {
    if (m_completionRunning) {
        return "";
    }
    m_completionRunning = true;
    std::string added;
    do {
        m_sourceChangedDuringCompletion = false;
        added.clear();
        if (m_sourceText.empty() || !m_lastKeyPrintable) {
            break;
        }
        m_lastKeyPrintable = false;
        added = CompleteFolderPath(m_sourceText, m_services.FileSystem, [&] {
            if (yield) {
                yield();
            }
            return !m_sourceChangedDuringCompletion;
        });
    } while (m_sourceChangedDuringCompletion);
    m_completionRunning = false;
    m_sourceText += added;
    return added;
}

void TaskPropertiesController::BrowseSource() {
    const std::string typed = Trim(m_sourceText);
    const std::string start =
        !typed.empty() && FolderExists(typed) ? NormalizeFolderEntry(typed) : m_desktopFolder;
    if (std::optional<std::string> folder =
            m_services.Prompt.AskFolder("Browse For Folder", "Specify the Source folder.", start)) {
        m_sourceText = NormalizeFolderEntry(*folder);
        MarkChanged();
    }
}

void TaskPropertiesController::BrowseTarget() {
    if (std::optional<std::string> folder = m_services.Prompt.AskFolder(
            "Browse For Folder", "Specify the Target folder.", m_desktopFolder)) {
        m_targets.push_back(NormalizeFolderEntry(*folder));
        MarkChanged();
    }
}

void TaskPropertiesController::EditTarget(int32_t row) {
    if (row < 0 || row >= static_cast<int32_t>(m_targets.size())) {
        return;
    }
    std::optional<std::string> edited = m_services.Prompt.AskText(
        "Edit Target Folder",
        "Make the desired edits to the target folder path then press the OK button.",
        m_targets[row]);
    if (edited && !Trim(*edited).empty()) {
        m_targets[row] = NormalizeFolderEntry(*edited);
        MarkChanged();
    }
}

void TaskPropertiesController::RemoveTarget(int32_t row) {
    if (row < 0 || row >= static_cast<int32_t>(m_targets.size())) {
        Show({"Remove Folder from List", "Select one of the folders from the list.",
              MessageIcon::Exclamation});
        return;
    }
    m_targets.erase(m_targets.begin() + row);
    MarkChanged();
}

void TaskPropertiesController::DropOnSource(const std::vector<std::string>& paths,
                                            const std::string& text) {
    Labelled(m_services.Reporter, "frmTaskProperties.txtSourceFolderPath_OLEDragDrop", [&] {
        std::string dropped;
        if (!paths.empty()) {
            dropped =
                FolderExists(paths.front()) ? NormalizeFolderEntry(paths.front()) : paths.front();
        } else {
            // A file manager also offers its files as text; plain text is taken when no file
            // came, and only its first line: a path never spans two.
            dropped = text.substr(0, text.find_first_of("\r\n"));
        }
        if (!dropped.empty()) {
            SourceTextChanged(dropped);
        }
    });
}

void TaskPropertiesController::DropOnTargets(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (FolderExists(path)) {
            m_targets.push_back(NormalizeFolderEntry(path));
            MarkChanged();
        }
    }
}

bool TaskPropertiesController::SelectFiles() {
    if (m_allFilesAndFolders) {
        m_allFilesAndFolders = false;
        MarkChanged();
    }
    const std::string source = Trim(m_sourceText);
    if (source.empty()) {
        Show(
            {"Select Files/Folders", "Please specify the Source Folder", MessageIcon::Exclamation});
        return false;
    }
    int32_t errorCode = 0;
    if (GetPathStatus(source, errorCode, m_services.PathTables) != PathOk) {
        Show({"Select Files/Folders",
              "Make sure that the Source folder exists and that you have permission to access "
              "it.",
              MessageIcon::Exclamation});
        return false;
    }
    return true;
}

SelectFilesRequest TaskPropertiesController::SelectFilesFor() const {
    return {NormalizeFolderEntry(m_sourceText), m_includeSubFolders, m_includeFileSpecs,
            m_includeFileMasks};
}

void TaskPropertiesController::SelectedFilesChosen(bool allFilesAndFolders,
                                                   const std::vector<std::string>& includeFileSpecs,
                                                   const std::string& includeFileMasks) {
    m_allFilesAndFolders = allFilesAndFolders;
    m_includeFileSpecs = includeFileSpecs;
    m_includeFileMasks = includeFileMasks;
    MarkChanged();
}

TaskPropertiesOutcome TaskPropertiesController::OK() {
    ErrorReporter& reporter = m_services.Reporter;
    if (!Labelled(reporter, "frmTaskProperties.ValidateFolders", false,
                  [&] { return ValidateFolders() && ValidateTargetsApart(); })) {
        return TaskPropertiesOutcome::Refused;
    }
    const TaskPropertiesInput input = Input();
    if (!Labelled(reporter, "frmTaskProperties.ValidateFrequency", false,
                  [&] { return Accepted(ValidateFrequency(input)); })) {
        return TaskPropertiesOutcome::RefusedIncrement;
    }
    if (!Labelled(reporter, "frmTaskProperties.ValidateDaysOfWeek", false,
                  [&] { return Accepted(ValidateDaysOfWeek(input)); })) {
        return TaskPropertiesOutcome::Refused;
    }
    return Labelled(reporter, "frmTaskProperties.SaveTaskProperties",
                    TaskPropertiesOutcome::Refused, [&] {
                        SaveTaskProperties(input, m_task, m_services.Clock.Now());
                        return TaskPropertiesOutcome::Saved;
                    });
}

void TaskPropertiesController::Help() {
    if (m_services.Help != nullptr) {
        m_services.Help->ShowHelp(HelpTaskProperties);
    }
}

bool TaskPropertiesController::ValidateFolders() {
    // The core's entry check gives both texts; the folder questions come between them.
    const std::optional<TaskMessage> missing = ValidateFolderEntries(Input());
    if (m_targets.empty()) {
        Show(*missing);
        return false;
    }
    for (const std::string& target : m_targets) {
        int32_t errorCode = 0;
        const PathStatus status = GetPathStatus(Trim(target), errorCode, m_services.PathTables);
        if (status != PathOk) {
            // Whatever the answer, the remaining folders are not looked at: the user who keeps
            // a missing Target (a drive plugged in later) is not asked about the rest.
            return DisregardFolderProblem("Problems with Target Folder", target, status, errorCode);
        }
    }
    if (missing) {
        Show(*missing);
        return false;
    }
    int32_t errorCode = 0;
    const PathStatus status = GetPathStatus(Trim(m_sourceText), errorCode, m_services.PathTables);
    return status == PathOk ||
           DisregardFolderProblem("Problems with Source Folder", m_sourceText, status, errorCode);
}

bool TaskPropertiesController::ValidateTargetsApart() {
    // The run refuses a Target that is its Source or nested with it; saying so now spares the
    // user a task that can never run. The command-line runner's add refuses it the same way.
    const std::string source = NormalizeFolderEntry(m_sourceText);
    if (source.empty()) {
        return true;
    }
    for (const std::string& target : m_targets) {
        const std::string reason = CheckTargetApartFromSource(source, NormalizeFolderEntry(target));
        if (!reason.empty()) {
            Show({"Invalid Target Folder", reason, MessageIcon::Exclamation});
            return false;
        }
    }
    return true;
}

bool TaskPropertiesController::DisregardFolderProblem(const std::string& title,
                                                      const std::string& folder, int32_t status,
                                                      int32_t errorCode) {
    const MessageAnswer answer = m_services.Prompt.ShowMessage(
        title,
        GetInvalidPathErrorMsg(status, folder, errorCode) +
            "\r\n\r\nPress OK to disregard this error or Cancel to correct the problem.",
        MessageIcon::Exclamation, MessageButtons::OKCancel);
    return answer == MessageAnswer::OK;
}

TaskPropertiesInput TaskPropertiesController::Input() const {
    TaskPropertiesInput input;
    input.SourceText = m_sourceText;
    input.Targets = m_targets;
    input.IncludeSubFolders = m_includeSubFolders;
    input.AllFilesAndFolders = m_allFilesAndFolders;
    input.IncludeFileSpecs = m_includeFileSpecs;
    input.IncludeFileMasks = m_includeFileMasks;
    input.FrequencyIndex = m_frequencyIndex;
    input.IncrementText = m_incrementText;
    input.StartTime = static_cast<double>(m_startTimeSeconds) / kDaySeconds;
    input.DaysOfWeek = m_daysOfWeek;
    return input;
}

bool TaskPropertiesController::Accepted(const std::optional<TaskMessage>& refusal) {
    if (refusal) {
        Show(*refusal);
    }
    return !refusal;
}

void TaskPropertiesController::Show(const TaskMessage& message) {
    m_services.Prompt.ShowMessage(message.Title, message.Text, message.Icon, MessageButtons::OK);
}

}  // namespace duvanto
