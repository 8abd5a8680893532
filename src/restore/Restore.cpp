// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/Restore.h"

#include "engine/Clone.h"
#include "log/CloneLog.h"
#include "tasks/TaskRun.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

constexpr const char* kTitle = "Restore Source";

// Holds a flag for the length of a command, whatever way it ends.
class FlagScope {
public:
    explicit FlagScope(std::atomic<bool>& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    std::atomic<bool>& m_flag;
};

std::string EngineFolder(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

// The temporary task that a restore runs: the Target cloned into the Source.
cCloneTask RestoreTask(const cRestore& restore, const std::vector<std::string>& selectedItems) {
    cCloneTask restoreTask;
    restoreTask.TaskName = "RESTORE SOURCE: " + restore.TaskName;
    restoreTask.SourceFolderSpec = restore.TargetFolderSpec;
    restoreTask.TargetFolderSpec = restore.SourceFolderSpec;
    restoreTask.IncludeSubFolders = restore.IncludeSubFolders;
    restoreTask.AllFilesAndFolders(false);
    restoreTask.IncludeFileSpecs = selectedItems;
    return restoreTask;
}

// A restore deletes nothing in the Source and brings every selected file back; the options
// themselves stay as they are.
TaskRunRequest RestoreRequest(Application& app, const cRestore& restore,
                              const std::vector<std::string>& selectedItems) {
    TaskRunRequest request = MakeTaskRunRequest(app, RestoreTask(restore, selectedItems));
    request.Targets = {restore.SourceFolderSpec};
    request.Settings.DeleteMethod = DeleteMethodType::DoNotDelete;
    request.Settings.CopyOnlyIfNewer = false;
    return request;
}

}  // namespace

int64_t CountNewerSourceFiles(Application& app, const cRestore& restore,
                              const std::vector<std::string>& selectedItems, IStatusHost& host) {
    const TaskRunRequest request = RestoreRequest(app, restore, selectedItems);
    // Planning logs only what it could not read, which the run itself logs again.
    cCloneLog quiet(app.AppPath, app.Clock, app.Reporter, app.Prompt, app.FileSystem);
    quiet.SetEntrySink([](const std::string&) {});
    cClone clone(request.Settings, quiet, app.FileSystem, app.Flags, app.Reporter);
    clone.StampAllEntries = true;
    const StepResult planned = clone.PlanSelected(
        host, EngineFolder(restore.TargetFolderSpec), EngineFolder(restore.SourceFolderSpec),
        restore.IncludeSubFolders, selectedItems, request.Task.IncludeFileMasks);
    if (planned == StepResult::Cancelled || !clone.Plan().Complete) {
        return -1;
    }
    int64_t newer = 0;
    for (const FileOp& op : clone.Plan().Ops) {
        // The engine's Target is the restore's Source.
        if (op.Operation == CopyFile && op.TargetKind == StampKind::File &&
            op.TargetTime > op.SourceTime) {
            ++newer;
        }
    }
    return newer;
}

bool PrepareRestore(Application& app, const cCloneTask& task, cRestore& restore) {
    std::vector<std::string> targets = task.TargetFolders();
    if (targets.empty() || targets.front().empty()) {
        app.Prompt.ShowMessage(kTitle, "Problems determining the Target Folder.",
                               MessageIcon::Exclamation, MessageButtons::OK);
        return false;
    }
    int32_t errorCode = 0;
    if (GetPathStatus(targets.front(), errorCode, app.PathTables()) != PathOk) {
        app.Prompt.ShowMessage(
            kTitle,
            "Make sure that the Target folder exists and that you have permission to access it.",
            MessageIcon::Exclamation, MessageButtons::OK);
        return false;
    }
    restore.TaskName = task.TaskName;
    restore.SourceFolderSpec = task.SourceFolderSpec;
    restore.TargetFolderSpec = targets.front();
    restore.IncludeSubFolders = task.IncludeSubFolders;
    restore.IncludeFileSpecs = task.IncludeFileSpecs;
    restore.IncludeFileMasks = task.IncludeFileMasks;
    return true;
}

RestoreOutcome RunRestore(Application& app, const cRestore& restore,
                          const std::vector<std::string>& selectedItems, IRunHost& runWindow,
                          IRestoreWindow& restoreWindow, const RestoreSafeguards& safeguards) {
    FlagScope restoring(app.RestoreInProgress);
    const std::string& source = restore.SourceFolderSpec;
    if (source.empty() || !FolderExists(source)) {
        // With the Target's bits, as every folder a run creates gets its counterpart's; the
        // folder check below tells the user what failed.
        (void)CreateFolderPath(app.FileSystem, source, restore.TargetFolderSpec);
    }
    int32_t errorCode = 0;
    if (GetPathStatus(source, errorCode, app.PathTables()) != PathOk) {
        app.Prompt.ShowMessage(kTitle,
                               "Unable to create the missing source folder.\r\nMake sure that the "
                               "drive is available and that you have permission to access "
                               "it.\r\n\r\n" +
                                   source,
                               MessageIcon::Exclamation, MessageButtons::OK);
        return RestoreOutcome::Refused;
    }
    if (selectedItems.empty()) {
        app.Prompt.ShowMessage(kTitle, "No files or folders have been selected to be Restored.",
                               MessageIcon::Exclamation, MessageButtons::OK);
        return RestoreOutcome::Refused;
    }

    restoreWindow.SetButtonsEnabled(false);
    restoreWindow.SetStatusLabel("Restore in Progress. Press ESC to Cancel...");
    if (safeguards.ReplaceNewer) {
        app.Flags.EscPressed = false;
        app.Flags.CloneCancelled = false;
        const int64_t newer = CountNewerSourceFiles(app, restore, selectedItems, runWindow);
        runWindow.SetStatusText(1, "");
        runWindow.SetStatusText(2, "");
        if (newer < 0) {
            // Escape while the Source was compared: nothing was done.
            restoreWindow.SetStatusLabel("");
            app.Prompt.ShowMessage(kTitle, "Restore cancelled by user", MessageIcon::Information,
                                   MessageButtons::OK);
            restoreWindow.SetButtonsEnabled(true);
            return RestoreOutcome::Cancelled;
        }
        if (newer > 0 && !safeguards.ReplaceNewer(newer)) {
            restoreWindow.SetStatusLabel("");
            restoreWindow.SetButtonsEnabled(true);
            return RestoreOutcome::Refused;
        }
    }

    RestoreOutcome outcome;
    {
        TaskRunRequest request = RestoreRequest(app, restore, selectedItems);
        if (safeguards.ReplacedToTrash) {
            request.Settings.CopyMethod = CopyMethodType::SafeCopyMethod;
        }
        const TaskRunOutcome run = ExecuteTaskRun(app, request, runWindow);

        restoreWindow.SetStatusLabel("");
        std::string message = "Restore successfully completed.";
        outcome = RestoreOutcome::Completed;
        if (run.ErrorOnLastClone || run.Cancelled) {
            if (app.Flags.EscPressed) {
                message = "Restore cancelled by user";
                outcome = RestoreOutcome::Cancelled;
            } else {
                message = "Restore complete with errors.  See Log for details.";
                outcome = RestoreOutcome::CompletedWithErrors;
            }
        }
        app.Prompt.ShowMessage(kTitle, message, MessageIcon::Information, MessageButtons::OK);
    }
    restoreWindow.SetButtonsEnabled(true);
    return outcome;
}

}  // namespace duvanto
