// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restore/RestoreController.h"

#include <charconv>

namespace duvanto {

std::optional<cRestore> RestoreController::Prepare(Application& app, const cCloneTask* selected) {
    return Labelled(app.Reporter, "frmDuvanto.mnuFileRestoreSource_Click",
                    std::optional<cRestore>{}, [&]() -> std::optional<cRestore> {
                        app.RestoreInProgress = true;
                        // Cleared again when this returns; the window, if it opens, holds it.
                        struct Release {
                            std::atomic<bool>& flag;
                            ~Release() { flag = false; }
                        } release{app.RestoreInProgress};
                        if (app.Flags.CloneInProgress) {
                            app.Prompt.Beep();
                            return std::nullopt;
                        }
                        if (selected == nullptr) {
                            app.Prompt.ShowMessage(kTitle, "Please select a task first.",
                                                   MessageIcon::Information, MessageButtons::OK);
                            return std::nullopt;
                        }
                        cRestore restore;
                        if (!PrepareRestore(app, *selected, restore)) {
                            return std::nullopt;
                        }
                        return restore;
                    });
}

RestoreController::RestoreController(Application& app, cRestore restore, TaskEditServices services)
    : m_app(app),
      m_restore(std::move(restore)),
      m_services(services),
      m_tree(SelectFilesRequest{m_restore.TargetFolderSpec, m_restore.IncludeSubFolders, {}, ""},
             services) {
    m_app.RestoreInProgress = true;
}

RestoreController::~RestoreController() {
    m_app.RestoreInProgress = false;
}

std::string RestoreController::Caption() const {
    return "RESTORE SOURCE: " + m_restore.TaskName;
}

std::vector<std::string> RestoreController::SelectedItems() {
    // The tree's OK tells a task's whole Source and an empty choice apart only by the root.
    if (m_tree.IsChecked(m_tree.Root())) {
        return {m_tree.Root().Text};
    }
    const SelectedFiles chosen = m_tree.OK();
    return chosen.AllFilesAndFolders ? std::vector<std::string>{} : chosen.IncludeFileSpecs;
}

std::optional<RestoreJob> RestoreController::StartRestore() {
    if (m_running) {
        return std::nullopt;
    }
    m_running = true;
    return RestoreJob{m_restore, SelectedItems()};
}

RestoreOutcome RestoreController::Run(Application& app, const RestoreJob& job, IRunHost& runWindow,
                                      IRestoreWindow& restoreWindow) {
    // The run's own failures are reported by the task run; this catches what lies around it, so
    // that the restore's thread never ends the program.
    return Labelled(app.Reporter, "frmRestore.cmdRestore_Click", RestoreOutcome::Refused, [&] {
        RestoreSafeguards safeguards;
        safeguards.ReplaceNewer = [&app](int64_t newer) {
            return app.Prompt.ShowMessage(kTitle, NewerSourceQuestion(newer),
                                          MessageIcon::Exclamation,
                                          MessageButtons::YesNoDefaultNo) == MessageAnswer::Yes;
        };
        safeguards.ReplacedToTrash = true;
        return RunRestore(app, job.Restore, job.SelectedItems, runWindow, restoreWindow,
                          safeguards);
    });
}

std::string RestoreController::NewerSourceQuestion(int64_t count) {
    const std::string files =
        count == 1 ? "1 file in the Source is newer than the Target's copy that would replace it"
                   : std::to_string(count) +
                         " files in the Source are newer than the Target's copies that would "
                         "replace them";
    return files +
           ".\r\n\r\nEvery Source file that the restore replaces goes to the trash first."
           "\r\n\r\nRestore all the same?";
}

bool RestoreController::Finished(RestoreOutcome outcome) {
    m_running = false;
    // The run let go of the flag when it ended; the window is still open.
    m_app.RestoreInProgress = true;
    return outcome != RestoreOutcome::Refused;
}

bool RestoreController::Escape() {
    if (m_running) {
        m_app.Flags.EscPressed = true;
        return false;
    }
    return true;
}

void RestoreController::Help() {
    if (m_services.Help != nullptr) {
        m_services.Help->ShowHelp(HelpRestore);
    }
}

int32_t RestoreController::PercentDone(const std::string& statusText) {
    if (statusText.size() < 2 || statusText.back() != '%') {
        return -1;
    }
    int32_t percent = -1;
    const char* end = statusText.data() + statusText.size() - 1;
    const auto [stop, error] = std::from_chars(statusText.data(), end, percent);
    if (error != std::errc() || stop != end || percent < 0 || percent > 100) {
        return -1;
    }
    return percent;
}

}  // namespace duvanto
