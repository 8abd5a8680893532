#include "tasks/CloneTask.h"

#include "engine/FolderCheck.h"
#include "engine/Masks.h"
#include "platform/RemovableDrive.h"
#include "tasks/Application.h"
#include "tasks/TaskDates.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"
#include "util/Prompt.h"
#include "util/Wildcard.h"

namespace duvanto {

namespace {

constexpr char kCaption[] = "Duvanto";

// The engine joins folder paths and names, so every folder it is given ends in "/", even
// one that a hand-edited task list wrote without.
std::string EngineFolder(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

std::string Joined(const std::vector<std::string>& pieces, const std::string& separator) {
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        joined += (i == 0 ? "" : separator) + pieces[i];
    }
    return joined;
}

}  // namespace

bool cCloneTask::RunOnThisDayOfWeek(int32_t dayIndex) const {
    return dayIndex >= 0 && dayIndex < 31 && (DaysOfWeek & (int32_t{1} << dayIndex)) != 0;
}

void cCloneTask::AllFilesAndFolders(bool value) {
    m_allFilesAndFolders = value;
    if (value) {
        IncludeFileSpecs.clear();
        IncludeFileMasks.clear();
    }
}

std::vector<std::string> cCloneTask::TargetFolders() const {
    std::vector<std::string> targets;
    FillColWithParsedStringElems(targets, TargetFolderSpec, kListSeparator);
    return targets;
}

std::string CloneOutcomeText(const cCloneTask& task, bool escPressed) {
    if (task.ErrorOnLastClone) {
        return (escPressed ? "Clone Cancelled By User - " : "Clone Complete with Errors - ") +
               task.TaskName;
    }
    return "Clone Complete - " + task.TaskName;
}

bool cCloneTask::Execute(Application& app, ITaskRunEffects& window) {
    try {
        app.Flags.CloneInProgress = true;
        app.CurrentTaskName = TaskName;
        ErrorOnLastClone = false;
        app.Flags.EscPressed = false;
        app.Flags.CloneCancelled = false;

        const int32_t row = FindTaskRow(window, TaskName);
        if (app.SetPriorityBasedOnRules) {
            app.SetPriorityBasedOnRules();
        }
        SetFormStateAtCloneBegin(window);

        app.CloneLog.DeleteLogFileIfMaxSizeIsExceeded();
        app.CloneLog.Add(Begin, TaskName, "", "", "", 0, "", "");

        std::string reason;
        if (ValidateFolder(app, SourceFolderSpec, "Source", true, reason) != PathOk) {
            ErrorOnLastClone = true;
            app.CloneLog.Add(FolderPathError, "", SourceFolderSpec, "", "", 0,
                             "Problems processing the Source folder." + reason, "");
        } else {
            RunTargets(app, window);
        }

        if (row >= 0) {
            window.SetRowIcon(row, ErrorOnLastClone ? ImageSheepFolderError : ImageSheepFolder);
        }
        if (app.Flags.SessionEnding) {
            // The session ends under the run: its entry (once, however far the run got) and
            // the End line of an aborted task, as the window writes them at session end.
            if (!app.Flags.CloneCancelled.exchange(true)) {
                app.CloneLog.Add(ApplicationShutdownError, "", "", "", "", 0, "", "");
            }
            app.CloneLog.Add(End, "Unknown Task Name", "", "", "", 0, "", "");
        } else {
            app.CloneLog.Add(End, TaskName, "", "", "", 0, "", "");
        }
        window.SetStatusText(1, "Cleaning up... ");
        app.CloneLog.AppendInMemoryStringToLogFile();
        app.CloneLog.ResetInMemoryLog();

        LastCloneDateTime = WholeSecond(app.Clock.Now());
        cCloneTask* listed = app.CloneTasks.Item(TaskName);
        if (IntervalType != IntervalManual) {
            NextCloneDateTime =
                DetermineNextCloneDateTime(LastCloneDateTime, IntervalType, IntervalIncrement,
                                           StartTime, DaysOfWeek, app.Clock.Now());
            if (listed != nullptr) {
                listed->LastCloneDateTime = LastCloneDateTime;
                listed->NextCloneDateTime = NextCloneDateTime;
                listed->ErrorOnLastClone = ErrorOnLastClone;
            }
            app.CloneTasks.SetNextScheduledTask();
        } else if (listed != nullptr) {
            listed->LastCloneDateTime = LastCloneDateTime;
        }
        ModifyTaskInListview(window, row);

        app.Flags.CloneInProgress = false;
        SetFormStateAtCloneEnd(app, window);
        window.SetTrayIcon(app.TrayIconChoice());
        app.RunningScheduledTask = false;
    } catch (...) {
        app.Reporter.ReportCurrentException("cCloneTask.Execute");
        ErrorOnLastClone = true;
        // The window must not stay locked in its running state after a failed run.
        app.Flags.CloneInProgress = false;
        app.RunningScheduledTask = false;
        try {
            SetFormStateAtCloneEnd(app, window);
        } catch (...) {
            // Reported above; the window shows what it can.
        }
    }
    return !ErrorOnLastClone;
}

void cCloneTask::RunTargets(Application& app, ITaskRunEffects& window) {
    const std::string source = EngineFolder(SourceFolderSpec);
    for (const std::string& target : TargetFolders()) {
        window.Pump();
        if (app.Clone.IsCloneCancelled()) {
            ErrorOnLastClone = true;
            break;
        }
        if (app.Flags.CloneCancelled) {
            break;
        }
        std::string reason;
        if (ValidateFolder(app, target, "Target", true, reason) != PathOk) {
            ErrorOnLastClone = true;
            app.CloneLog.Add(FolderPathError, "", target, "", "", 0,
                             "Problems processing the Target folder." + reason, "");
            continue;
        }
        const bool ok =
            AllFilesAndFolders()
                ? app.Clone.CloneAll(window, source, EngineFolder(target), IncludeSubFolders)
                : app.Clone.CloneSelected(window, source, EngineFolder(target), IncludeSubFolders,
                                          IncludeFileSpecs, IncludeFileMasks, ExcludeFileSpecs,
                                          ExcludeFileMasks);
        if (!ok) {
            ErrorOnLastClone = true;
        }
    }
}

void cCloneTask::SetFormStateAtCloneBegin(ITaskRunEffects& window) {
    window.SetTopLevelMenusEnabled(false);
    const std::string caption = "Duvanto running task: " + TaskName;
    window.SetCaption(caption);
    window.SetTrayTooltip(caption);
    window.SetAnimation(true);
    window.SetStatusText(1, "Clone in Progress. Press ESC to Cancel...");
}

void cCloneTask::SetFormStateAtCloneEnd(Application& app, ITaskRunEffects& window) {
    window.SetTopLevelMenusEnabled(true);
    window.SetCaption(kCaption);
    window.SetTrayTooltip(kCaption);
    window.SetAnimation(false);
    window.SetStatusText(1, CloneOutcomeText(*this, app.Flags.EscPressed));
    window.SetStatusText(2, "");
}

int32_t cCloneTask::ValidateFolder(Application& app, const std::string& folderSpec,
                                   const std::string& folderKind, bool silent,
                                   std::string& reason) {
    reason.clear();
    try {
        for (;;) {
            int32_t errorCode = 0;
            const PathStatus status = GetPathStatus(folderSpec, errorCode, app.PathTables());
            if (status == PathOk) {
                if (folderKind != "Target") {
                    return PathOk;
                }
                // Cloning a folder into itself would destroy it; the reason is given even on
                // a scheduled run, so that the log says why the Target was refused.
                reason = CheckSourceTargetApart(EngineFolder(SourceFolderSpec),
                                                EngineFolder(folderSpec));
                if (reason.empty()) {
                    return PathOk;
                }
                if (!silent) {
                    app.Prompt.ShowMessage("Invalid " + folderKind + " Folder", reason,
                                           MessageIcon::Exclamation, MessageButtons::OK);
                }
                return PathOtherError;
            }
            std::string driveName;
            if (status == PathDriveNotReady && app.PromptToInsertRemovableDrive &&
                IsRemovableDrive(folderSpec, driveName, app.Drives)) {
                const MessageAnswer answer = app.Prompt.ShowMessage(
                    "Problem Accessing " + folderKind + " Folder",
                    "Drive \"" + driveName +
                        "\" is not ready.\r\nPlease insert/connect the Removable drive.",
                    MessageIcon::Exclamation, MessageButtons::RetryCancel);
                if (answer == MessageAnswer::Retry) {
                    continue;
                }
                return PathDriveNotReady;
            }
            if (!app.RunningScheduledTask) {
                reason = GetInvalidPathErrorMsg(status, folderSpec, errorCode);
            }
            if (!silent) {
                app.Prompt.ShowMessage("Invalid " + folderKind + " Folder", reason,
                                       MessageIcon::Exclamation, MessageButtons::OK);
            }
            return status;
        }
    } catch (...) {
        app.Reporter.ReportCurrentException("cCloneTask.ValidateFolder");
        return PathOtherError;
    }
}

std::vector<std::string> cCloneTask::ListviewSubItems() const {
    const bool manual = IntervalType == IntervalManual;
    return {SourceFolderSpec,
            Joined(TargetFolders(), ", "),
            manual ? "Manual" : GeneralDateText(NextCloneDateTime),
            GeneralDateText(LastCloneDateTime),
            manual ? "" : SortKeyText(NextCloneDateTime),
            SortKeyText(LastCloneDateTime)};
}

void cCloneTask::ModifyTaskInListview(ITaskRows& rows, int32_t row) const {
    if (row >= 0) {
        rows.SetRowItems(row, TaskName, ListviewSubItems());
    }
}

void cCloneTask::LoadIncludeFileSpecs(const std::string& folder, bool folderExists,
                                      const std::string& appPath, ErrorReporter& reporter) {
    try {
        std::string file = folder + TaskName + ".dvi";
        if (!folderExists || !FileExists(file)) {
            file = appPath + TaskName + ".dvi";
        }
        const std::string text = ReadStringFromFile(file);
        IncludeFileSpecs = WithoutByteOrderMark(text);
    } catch (...) {
        reporter.ReportCurrentException("cCloneTask.LoadIncludeFileSpecs");
    }
}

void cCloneTask::LoadExcludeFileSpecs(const std::string& folder, ErrorReporter& reporter) {
    try {
        const std::string text = ReadStringFromFile(folder + TaskName + ".dve");
        ExcludeFileSpecs = WithoutByteOrderMark(text);
    } catch (...) {
        reporter.ReportCurrentException("cCloneTask.LoadExcludeFileSpecs");
    }
}

void cCloneTask::SaveIncludeFileSpecs(const std::string& folder, IPrompt& prompt,
                                      ErrorReporter& reporter) {
    try {
        WriteStringToFile(folder + TaskName + ".dvi", IncludeFileSpecs, false, prompt);
    } catch (...) {
        reporter.ReportCurrentException("cCloneTask.SaveIncludeFileSpecs");
    }
}

bool cCloneTask::FileMatchesPatternInCollection(std::string_view fileName,
                                                const std::vector<std::string>& patterns) const {
    if (fileName.empty()) {
        return false;
    }
    for (const std::string& pattern : patterns) {
        if (WildcardMatches(fileName, pattern, LetterCase::Matters)) {
            return true;
        }
    }
    return false;
}

}  // namespace duvanto
