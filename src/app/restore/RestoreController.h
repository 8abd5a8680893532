// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The restore window (frmRestore) without its widgets: the command's checks before it opens,
// the check-box tree of the task's first Target (the selection tree of the selected-files
// window, read one folder at a time), and the restore itself, which runs on a thread of its own
// while the window shows its progress and Escape asks it to stop.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/taskedit/SelectFilesController.h"
#include "app/taskedit/TaskEditServices.h"
#include "restore/Restore.h"
#include "tasks/Application.h"

namespace duvanto {

// What a restore run takes to its thread: copies, so that it holds nothing of the window, which
// may be gone before the run has ended.
struct RestoreJob {
    cRestore Restore;
    std::vector<std::string> SelectedItems;  // full paths in the Target; the Target alone
};

class RestoreController {
public:
    static constexpr const char* kTitle = "Restore Source";

    // The command "Restore Source from Target" up to the window: a beep while a clone runs,
    // "Please select a task first." without a task (`selected` null), then the checks of the
    // task's first Target. What the window is to restore, or nothing when it must not open.
    // The scheduler starts no task while the command's messages are shown.
    static std::optional<cRestore> Prepare(Application& app, const cCloneTask* selected);

    // Holds RestoreInProgress, which keeps the scheduler from starting a task, for as long as
    // the controller lives; the window is modal, so that is as long as the command.
    RestoreController(Application& app, cRestore restore, TaskEditServices services);
    ~RestoreController();
    RestoreController(const RestoreController&) = delete;
    RestoreController& operator=(const RestoreController&) = delete;

    // "RESTORE SOURCE: " and the task's name.
    std::string Caption() const;
    const cRestore& Restore() const { return m_restore; }
    // What the restore's thread runs against.
    Application& App() { return m_app; }
    // The tree: its root shows the Target path; subfolders only when the task includes them.
    SelectFilesController& Tree() { return m_tree; }

    // The checked items as the run takes them: the Target path alone when the root is checked,
    // none when nothing is.
    std::vector<std::string> SelectedItems();

    // "&Restore": the job for the restore's thread, or nothing while a restore runs.
    std::optional<RestoreJob> StartRestore();
    // The question before a restore that would replace `count` Source files with older
    // versions.
    static std::string NewerSourceQuestion(int64_t count);
    // On the restore's thread: the checks of the button (a missing Source made again, nothing
    // checked), then, when Source files are newer than the copies that would replace them,
    // how many, Yes/No (No the default: nothing is done); the run, in which every Source file
    // replaced goes to the trash, and its closing message, all through the application's
    // prompt; the engine's delete and newer-only settings are put back whatever happens.
    static RestoreOutcome Run(Application& app, const RestoreJob& job, IRunHost& runWindow,
                              IRestoreWindow& restoreWindow);
    // Back on the window's thread: true when the window closes (after every run, not after a
    // refusal).
    bool Finished(RestoreOutcome outcome);
    bool Running() const { return m_running; }

    // Escape or the close box: during a restore, asks it to stop and keeps the window; otherwise
    // true, the window closes as Cancel closes it.
    bool Escape();
    void Help();

    // The whole-number percentage in the engine's second status text ("45%"), or -1 while it
    // counts files or says nothing.
    static int32_t PercentDone(const std::string& statusText);

private:
    Application& m_app;
    cRestore m_restore;
    TaskEditServices m_services;
    SelectFilesController m_tree;
    bool m_running = false;
};

}  // namespace duvanto
