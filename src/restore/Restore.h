// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Restore: chosen files and folders of a task's first Target copied back into its Source, by an
// ordinary run of a temporary task with the two folders swapped, which deletes nothing and
// copies whichever side is newer.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tasks/Application.h"
#include "tasks/CloneTask.h"

namespace duvanto {

// What the main window hands the restore window about the chosen task.
struct cRestore {
    bool IncludeSubFolders = true;
    std::string TaskName;
    std::string SourceFolderSpec;  // restored to
    std::string TargetFolderSpec;  // restored from: the task's first Target
    std::vector<std::string> IncludeFileSpecs;
    std::string IncludeFileMasks;
};

// The restore window's own controls that a run changes.
class IRestoreWindow {
public:
    virtual ~IRestoreWindow() = default;
    virtual void SetButtonsEnabled(bool enabled) = 0;
    virtual void SetStatusLabel(const std::string& text) = 0;
};

enum class RestoreOutcome { Refused, Completed, CompletedWithErrors, Cancelled };

// The command's checks: a Target to restore from that can be read. Fills `restore` and returns
// true, or tells the user why not (title "Restore Source") and returns false.
bool PrepareRestore(Application& app, const cCloneTask& task, cRestore& restore);

// What the desktop program adds to a restore so that no newer work is lost unseen.
struct RestoreSafeguards {
    // Asked before anything is copied, with the number of Source files that are newer than
    // the Target copies that would replace them, when there are any; false does nothing.
    std::function<bool(int64_t newerSourceFiles)> ReplaceNewer;
    // Every Source file the restore replaces goes to the trash first (Safe Copy).
    bool ReplacedToTrash = false;
};

// The "&Restore" button: recreates a missing Source with its parents, runs the temporary task
// over the selected items (full paths in the Target, folders ending in "/"; the Target path
// alone for all of it) and tells the outcome. The engine's delete and newer-only settings are
// put back whatever happened.
RestoreOutcome RunRestore(Application& app, const cRestore& restore,
                          const std::vector<std::string>& selectedItems, IRunHost& runWindow,
                          IRestoreWindow& restoreWindow, const RestoreSafeguards& safeguards = {});

// The Source files that the restore of these items would replace with an older Target copy
// (a walk that changes nothing and logs nothing); -1 when the walk did not end (cancelled).
int64_t CountNewerSourceFiles(Application& app, const cRestore& restore,
                              const std::vector<std::string>& selectedItems, IStatusHost& host);

}  // namespace duvanto
