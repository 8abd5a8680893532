#include "tasks/CloneTask.h"

#include "engine/FolderCheck.h"
#include "engine/Masks.h"
#include "platform/RemovableDrive.h"
#include "tasks/Application.h"
#include "tasks/IncludeList.h"
#include "tasks/TaskDates.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"
#include "util/Prompt.h"
#include "util/Wildcard.h"

namespace duvanto {

namespace {

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

TaskImage TaskRowImage(const cCloneTask& task) {
    if (task.IsNextScheduledTask) {
        return task.ErrorOnLastClone ? ImageSheepFolderErrorNext : ImageSheepFolderNext;
    }
    return task.ErrorOnLastClone ? ImageSheepFolderError : ImageSheepFolder;
}

std::string CloneOutcomeText(const cCloneTask& task, bool escPressed) {
    if (task.ErrorOnLastClone) {
        return (escPressed ? "Clone Cancelled By User - " : "Clone Complete with Errors - ") +
               task.TaskName;
    }
    return "Clone Complete - " + task.TaskName;
}

int32_t cCloneTask::ValidateFolder(Application& app, const std::string& folderSpec,
                                   const std::string& folderKind, bool silent, std::string& reason,
                                   bool promptForRemovable, bool scheduled) const {
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
            if (status == PathDriveNotReady && promptForRemovable &&
                IsRemovableDrive(folderSpec, driveName, app.Drives)) {
                const MessageAnswer answer = app.Prompt.ShowMessage(
                    "Problem Accessing " + folderKind + " Folder",
                    "Drive \"" + driveName +
                        "\" is not ready.\r\nPlease insert/connect the Removable drive.",
                    MessageIcon::Exclamation, MessageButtons::RetryCancel);
                if (answer == MessageAnswer::Retry) {
                    continue;
                }
                // The user was asked already; the reason only tells the log why.
                if (!scheduled) {
                    reason = GetInvalidPathErrorMsg(status, folderSpec, errorCode);
                }
                return PathDriveNotReady;
            }
            if (!scheduled) {
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

void cCloneTask::LoadIncludeFileSpecs(const std::string& folder, bool folderExists,
                                      const std::string& appPath, ErrorReporter& reporter) {
    try {
        std::string file = folder + TaskName + ".dvi";
        if (!folderExists || !FileExists(file)) {
            file = appPath + TaskName + ".dvi";
        }
        const std::string text = ReadStringFromFile(file);
        IncludeFileSpecs = DecodeIncludeList(WithoutByteOrderMark(text));
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
        WriteStringToFile(folder + TaskName + ".dvi", EncodeIncludeList(IncludeFileSpecs), false,
                          prompt);
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
