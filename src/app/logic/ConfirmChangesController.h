#pragma once
// The confirmation window (frmConfirmChanges) without its widgets: the planned operations of one
// Target folder as a list the user may strike entries out of, the box that turns the
// confirmation off, and the skip flags that closing hands back to the run. Closing in any way
// performs what is left: the window has no way to abandon the run.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/logic/AppPrompt.h"
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

    // `setConfirmSyncActions` receives the box's state each time the user changes it (on the
    // window's thread); the owner sets the option and its menu check from it.
    ConfirmChangesController(ConfirmChangesRequest request, IAppPrompt& prompt,
                             std::function<void(bool)> setConfirmSyncActions);

    const std::string& TaskName() const { return m_request.TaskName; }
    int32_t OperationCount() const { return static_cast<int32_t>(m_request.Operations.size()); }

    // The entries left in the list, counted from 0.
    int32_t Count() const { return static_cast<int32_t>(m_remaining.size()); }
    const PlannedOperation& Entry(int32_t row) const;
    // The entry's key: "K" and its operation's place in the plan, counted from 1.
    std::string Key(int32_t row) const;

    // Strikes out the entries at the given rows (places in the list as it stands, in any order;
    // places outside it are ignored). With none given, tells the user to select one first.
    // True when the list changed.
    bool RemoveSelected(const std::vector<int32_t>& rows);

    bool ConfirmChecked() const { return m_confirmChecked; }
    void ConfirmClicked(bool checked);

    // One flag per planned operation, in plan order: true for an operation struck out.
    const std::vector<bool>& SkipFlags() const { return m_skip; }

private:
    ConfirmChangesRequest m_request;
    IAppPrompt& m_prompt;
    std::function<void(bool)> m_setConfirmSyncActions;
    std::vector<int32_t> m_remaining;  // plan places of the entries in list order
    std::vector<bool> m_skip;
    bool m_confirmChecked;
};

}  // namespace duvanto
