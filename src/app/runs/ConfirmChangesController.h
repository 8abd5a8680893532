// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The confirmation window (frmConfirmChanges) without its widgets: the planned operations of one
// Target folder as a list the user may strike entries out of, their totals, the box that turns
// the confirmation off, and the skip flags that closing hands back to the run. Only "Perform
// Actions" performs what is left; Cancel, Escape and the close box cancel the run as Escape in
// the main window does, so that no way of closing a window starts operations.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "engine/Clone.h"

namespace duvanto {

// One planned operation as the window lists it.
struct PlannedOperation {
    FileOpType Kind = CopyFile;
    std::string FileName;      // copies and file deletions
    std::string SourceFolder;  // copies
    std::string TargetFolder;  // for folder operations, the folder itself
    std::string Description;   // the line shown ("     COPY FILE     ...")
    std::string Reason;        // why it is planned ("the Source is newer: ...")
    uint64_t Bytes = 0;        // copies: the Source file's size as planned
};

// An operation of the engine's plan.
PlannedOperation PlannedOperationFromFileOp(const FileOp& op);

struct ConfirmChangesRequest {
    std::string TaskName;
    std::vector<PlannedOperation> Operations;  // in the order they are to be performed
    bool ConfirmSyncActions = true;            // the option as the run found it
};

class ConfirmChangesController {
public:
    static constexpr const char* kCaption = "Duvanto - Confirm Synchronization Actions";
    static constexpr const char* kIntroduction =
        "Duvanto has detected differences between the Source and Target folders.  The following "
        "file operations need to be performed to make the Target folder identical to the Source "
        "folder.  Press the Perform button to make the recommended changes.";
    static constexpr const char* kRemovalHint =
        "If you do not want Duvanto to perform some of these file operations, you should remove "
        "them from the list.  Select the file operations that you do not want to be performed "
        "and press the Remove button.";
    static constexpr const char* kTaskLabel = "Task Name:";
    static constexpr const char* kListHeading = "File Operations to be Performed";
    static constexpr const char* kConfirmBox =
        "Show this window before performing any file operation.";
    static constexpr const char* kPerform = "Perform Actions";
    static constexpr const char* kRemove = "Remove Selected";
    static constexpr const char* kCancel = "Cancel";

    // `setConfirmSyncActions` receives the box's state each time the user changes it (on the
    // window's thread); the owner sets the option and its menu check from it. `cancelRun` is
    // called once when the user cancels: the owner stops the run as Escape would.
    ConfirmChangesController(ConfirmChangesRequest request, IAppPrompt& prompt,
                             std::function<void(bool)> setConfirmSyncActions,
                             std::function<void()> cancelRun = {});

    const std::string& TaskName() const { return m_request.TaskName; }

    // The entries left in the list, counted from 0.
    int32_t Count() const { return static_cast<int32_t>(m_remaining.size()); }
    const PlannedOperation& Entry(int32_t row) const;
    // The entry's key: "K" and its operation's place in the plan, counted from 1.
    std::string Key(int32_t row) const;

    // Strikes out the entries at the given rows (places in the list as it stands, in any order;
    // places outside it are ignored). With none given, tells the user to select one first.
    // True when the list changed.
    bool RemoveSelected(const std::vector<int32_t>& rows);

    // What the entries left in the list come to: "12 copies, 1 new folder, 3 deletions;
    // 4.2 MB to copy". Deletions count files and folders alike.
    std::string TotalsText() const;

    bool ConfirmChecked() const { return m_confirmChecked; }
    void ConfirmClicked(bool checked);

    // Cancel, Escape or the close box: the run is cancelled and nothing of the list performed.
    void Cancel();
    bool Cancelled() const { return m_cancelled; }

    // One flag per planned operation, in plan order: true for an operation struck out (every
    // one once the window was cancelled).
    const std::vector<bool>& SkipFlags() const { return m_skip; }

private:
    struct Totals {
        int64_t copies = 0;
        int64_t newFolders = 0;
        int64_t deletions = 0;
        int64_t renames = 0;
        int64_t refusals = 0;  // names the Target cannot hold
        uint64_t bytes = 0;
        // Adds (sign 1) or takes away (sign -1) one operation.
        void Count(const PlannedOperation& op, int sign);
    };

    ConfirmChangesRequest m_request;
    IAppPrompt& m_prompt;
    std::function<void(bool)> m_setConfirmSyncActions;
    std::function<void()> m_cancelRun;
    std::vector<int32_t> m_remaining;  // plan places of the entries in list order
    std::vector<bool> m_skip;
    Totals m_totals;  // of the entries left
    bool m_confirmChecked;
    bool m_cancelled = false;
};

}  // namespace duvanto
