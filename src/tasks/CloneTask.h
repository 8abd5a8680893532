// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One clone task: a Source folder, its Target folders, what to take from the Source, a
// schedule and the outcome of the last run; and the run itself over all Targets.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/RunHost.h"
#include "tasks/Schedule.h"

namespace duvanto {

class Application;
class ErrorReporter;
class IFileSystem;
class IPrompt;

// The separator of the Target folders in TargetFolderSpec (and of the items of an include
// list file, tasks/IncludeList.h).
inline constexpr char kListSeparator[] = "<:>";

// The extensions of a task's include and exclude lists in its list's support folder.
inline constexpr char kIncludeListExtension[] = ".dvi";
inline constexpr char kExcludeListExtension[] = ".dve";
// The longest file name the file systems take, in bytes (NAME_MAX).
inline constexpr std::size_t kMaxFileNameBytes = 255;

// The file name of a task's include or exclude list: the task's name and the extension while
// that fits a file name, as every list has always named it. A longer name gives its first bytes
// (cut between characters), "~", the 64-bit FNV-1a hash of the whole name in 16 lower-case
// hexadecimal digits, and the extension: 255 bytes in all, so that every name a list accepts
// has a selection file of its own.
std::string SupportFileName(std::string_view taskName, std::string_view extension);
// folder + SupportFileName.
std::string SupportFileSpec(const std::string& folder, std::string_view taskName,
                            std::string_view extension);

class cCloneTask {
public:
    // Properties, with the values of a new task. Dates are OLE dates.
    int32_t DaysOfWeek = 127;  // bit i: day index i (Monday 0 .. Sunday 6)
    bool IsNextScheduledTask = false;
    double StartTime = 0.5;  // only its hour and minute count
    // The selected files and folders: full paths under the Source, folders ending in "/".
    std::vector<std::string> IncludeFileSpecs;
    std::string ExcludeFileSpecs;
    std::string IncludeFileMasks;
    std::string ExcludeFileMasks;
    double NextCloneDateTime = 0.0;
    double LastCloneDateTime = 0.0;  // 0: never ran
    int32_t IntervalIncrement = 1;
    int32_t IntervalType = IntervalManual;
    bool ErrorOnLastClone = false;
    bool IncludeSubFolders = true;
    std::string TaskName;
    std::string SourceFolderSpec;
    std::string TargetFolderSpec;  // Targets joined by "<:>", in run order

    bool RunOnThisDayOfWeek(int32_t dayIndex) const;

    // True clones the whole Source and empties both include lists; false changes nothing else.
    bool AllFilesAndFolders() const { return m_allFilesAndFolders; }
    void AllFilesAndFolders(bool value);

    // The Targets in stored order.
    std::vector<std::string> TargetFolders() const;

    // The task list row's sub-items 1 to 6: Source, Targets, next run, last run and their sort
    // keys. With waitingFor, a drive the task waits for (WaitingForDrive), the next run says
    // "Waiting for" it, or for a task run when its drive is connected, when that drive is.
    std::vector<std::string> ListviewSubItems(const std::string& waitingFor = {}) const;

    // The mount point, without its "/" at the end, of a drive that holds the Source or a
    // Target and is known but not mounted now (the fstab names it, or it is a media folder
    // under /media or /run/media: the removable-drive check's drives); "" when every folder's
    // drive is there.
    std::string DriveAway(const Application& app) const;
    // The drive a scheduled task that is due now waits for before it runs, when the option
    // to wait for drives is on; for a task run when its drive is connected, that drive
    // (ConnectDrive); "" for any other task.
    std::string WaitingForDrive(const Application& app) const;
    // The mount point, without its "/" at the end, of the drive of the first Target: the
    // drive whose connection runs a task of IntervalOnConnect. "" without a Target.
    std::string ConnectDrive(const Application& app) const;
    // Which mounting of that drive is there now (DriveMountIdentity); "" when it is away.
    std::string ConnectedMount(const Application& app) const;

    // The include list from the folder's ".dvi" file of the task (SupportFileSpec) when
    // folderExists and that file is there, else from appPath's.
    void LoadIncludeFileSpecs(const std::string& folder, bool folderExists,
                              const std::string& appPath, IFileSystem& fs, ErrorReporter& reporter);
    // The exclude list from the folder's ".dve" file of the task.
    void LoadExcludeFileSpecs(const std::string& folder, IFileSystem& fs, ErrorReporter& reporter);
    // IncludeFileSpecs to the folder's ".dvi" file of the task (tasks/IncludeList.h); an empty
    // list deletes that file. False, reported, when the file could not be written: the task's
    // selection is not saved, and a save of the list must not go on as if it were.
    bool SaveIncludeFileSpecs(const std::string& folder, IFileSystem& fs, IPrompt& prompt,
                              ErrorReporter& reporter);

    // Whether a non-empty fileName matches one of the wildcard patterns, letter case counting:
    // ? one character, * any run, # one digit, [list] one listed character ([a-z] ranges,
    // [!list] any other). Unlike the engine's file masks this test is case-sensitive.
    bool FileMatchesPatternInCollection(std::string_view fileName,
                                        const std::vector<std::string>& patterns) const;

    // Status 0 when the folder is usable; otherwise its status code, with the reason in
    // `reason`. A Target must also lie apart from the Source. Silent shows no message box;
    // the removable-drive question (promptForRemovable) is asked whatever Silent says, and
    // its Cancel gives the not-ready drive's reason. A scheduled run leaves the reason of a
    // missing folder unsaid.
    int32_t ValidateFolder(Application& app, const std::string& folderSpec,
                           const std::string& folderKind, bool silent, std::string& reason,
                           bool promptForRemovable, bool scheduled) const;

private:
    bool m_allFilesAndFolders = true;
};

// The row icon a view shows for the task: its error flag and the scheduler's mark.
TaskImage TaskRowImage(const cCloneTask& task);

// The status-bar text that ends a run: "Clone Complete - ", "Clone Complete with Errors - " or
// "Clone Cancelled By User - ", then the task name.
std::string CloneOutcomeText(const cCloneTask& task, bool escPressed);

}  // namespace duvanto
