// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/CloneTask.h"

#include <cstdio>

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

// The mount point of the drive that holds the folder, as the user reads it: without its "/"
// at the end, except for "/" itself.
std::string DriveOf(const std::string& folder, const RemovableDriveTables& drives) {
    std::string drive;
    IsRemovableDrive(folder, drive, drives);
    while (drive.size() > 1 && drive.back() == '/') {
        drive.pop_back();
    }
    return drive;
}

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

std::string SupportFileName(std::string_view taskName, std::string_view extension) {
    std::string name(taskName);
    if (name.size() + extension.size() <= kMaxFileNameBytes) {
        return name.append(extension);
    }
    uint64_t hash = 14695981039346656037u;  // FNV-1a, a hash that never changes between builds
    for (const char c : taskName) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    std::size_t keep = kMaxFileNameBytes - extension.size() - 1 - 16;
    // Not inside a character of several bytes: the name stays readable as UTF-8.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    name.resize(keep);
    return name.append("~").append(digits).append(extension);
}

std::string SupportFileSpec(const std::string& folder, std::string_view taskName,
                            std::string_view extension) {
    return folder + SupportFileName(taskName, extension);
}

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

std::string cCloneTask::DriveAway(const Application& app) const {
    std::vector<std::string> folders = TargetFolders();
    folders.insert(folders.begin(), SourceFolderSpec);
    const MountTables tables = app.PathTables();
    for (const std::string& folder : folders) {
        int32_t errorCode = 0;
        if (GetPathStatus(folder, errorCode, tables) != PathDriveNotReady) {
            continue;
        }
        const std::string drive = DriveOf(folder, app.Drives);
        return drive.empty() ? folder : drive;
    }
    return {};
}

std::string cCloneTask::ConnectDrive(const Application& app) const {
    const std::vector<std::string> targets = TargetFolders();
    if (targets.empty()) {
        return {};
    }
    return DriveOf(targets.front(), app.Drives);
}

std::string cCloneTask::ConnectedMount(const Application& app) const {
    const std::vector<std::string> targets = TargetFolders();
    return targets.empty() ? std::string() : DriveMountIdentity(targets.front(), app.Drives);
}

std::string cCloneTask::WaitingForDrive(const Application& app) const {
    if (IntervalType == IntervalOnConnect) {
        return ConnectDrive(app);
    }
    if (!app.WaitForDrives || IntervalType == IntervalManual ||
        !IsSchedulable(IntervalType, IntervalIncrement, DaysOfWeek) ||
        MinuteBoundaries(NextCloneDateTime, app.Clock.Now()) < 0) {
        return {};
    }
    return DriveAway(app);
}

std::vector<std::string> cCloneTask::ListviewSubItems(const std::string& waitingFor) const {
    std::string nextRun;
    if (IntervalType == IntervalManual) {
        nextRun = "Manual";
    } else if (IntervalType == IntervalOnConnect) {
        nextRun = waitingFor.empty() ? "When the Drive Is Connected"
                                     : "When " + waitingFor + " is connected";
    } else if (!IsKnownIntervalType(IntervalType)) {
        nextRun = "Unknown schedule";
    } else if (!waitingFor.empty()) {
        nextRun = "Waiting for " + waitingFor;
    } else {
        nextRun = GeneralDateText(NextCloneDateTime);
    }
    return {SourceFolderSpec,
            Joined(TargetFolders(), ", "),
            std::move(nextRun),
            GeneralDateText(LastCloneDateTime),
            IsTimedInterval(IntervalType) ? SortKeyText(NextCloneDateTime) : "",
            SortKeyText(LastCloneDateTime)};
}

void cCloneTask::LoadIncludeFileSpecs(const std::string& folder, bool folderExists,
                                      const std::string& appPath, IFileSystem& fs,
                                      ErrorReporter& reporter) {
    try {
        std::string file = SupportFileSpec(folder, TaskName, kIncludeListExtension);
        if (!folderExists || !FileExists(file)) {
            file = SupportFileSpec(appPath, TaskName, kIncludeListExtension);
        }
        const std::string text = ReadStringFromFile(fs, file);
        IncludeFileSpecs = DecodeIncludeList(WithoutByteOrderMark(text));
    } catch (...) {
        reporter.ReportCurrentException("cCloneTask.LoadIncludeFileSpecs");
    }
}

void cCloneTask::LoadExcludeFileSpecs(const std::string& folder, IFileSystem& fs,
                                      ErrorReporter& reporter) {
    try {
        const std::string text =
            ReadStringFromFile(fs, SupportFileSpec(folder, TaskName, kExcludeListExtension));
        ExcludeFileSpecs = WithoutByteOrderMark(text);
    } catch (...) {
        reporter.ReportCurrentException("cCloneTask.LoadExcludeFileSpecs");
    }
}

bool cCloneTask::SaveIncludeFileSpecs(const std::string& folder, IFileSystem& fs, IPrompt& prompt,
                                      ErrorReporter& reporter) {
    try {
        const std::string file = SupportFileSpec(folder, TaskName, kIncludeListExtension);
        const std::string text = EncodeIncludeList(IncludeFileSpecs);
        if (text.empty()) {
            WriteStringToFile(fs, file, text, false, prompt);  // deletes, or says why it could not
            return true;
        }
        const Status written = fs.WriteFileThroughLinks(file, text);
        if (!written.ok()) {
            const RuntimeError failure = FileRuntimeError(written);
            throw RuntimeError(failure.Number(),
                               "The selected files and folders of the task could not be saved "
                               "in " +
                                   file + ": " + written.message(),
                               failure.SystemErrorCode());
        }
        return true;
    } catch (...) {
        reporter.ReportCurrentException("cCloneTask.SaveIncludeFileSpecs");
        return false;
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
