#include "app/logic/ConfirmChangesController.h"

#include <algorithm>
#include <numeric>

#include "app/logic/AppInfo.h"
#include "engine/PlanText.h"

namespace duvanto {

PlannedOperation PlannedOperationFromFileOp(const FileOp& op) {
    return {static_cast<FileOpType>(op.Operation),
            op.FileName,
            op.SourceFolder,
            op.TargetFolder,
            cClone::DescribeFileOp(op),
            OpReasonText(op)};
}

ConfirmChangesController::ConfirmChangesController(ConfirmChangesRequest request,
                                                   IAppPrompt& prompt,
                                                   std::function<void(bool)> setConfirmSyncActions)
    : m_request(std::move(request)),
      m_prompt(prompt),
      m_setConfirmSyncActions(std::move(setConfirmSyncActions)),
      m_remaining(m_request.Operations.size()),
      m_skip(m_request.Operations.size(), false),
      m_confirmChecked(m_request.ConfirmSyncActions) {
    std::iota(m_remaining.begin(), m_remaining.end(), 0);
}

const PlannedOperation& ConfirmChangesController::Entry(int32_t row) const {
    return m_request
        .Operations[static_cast<std::size_t>(m_remaining[static_cast<std::size_t>(row)])];
}

std::string ConfirmChangesController::Key(int32_t row) const {
    // Appended rather than "K" + std::string: GCC 12 at -O3 misreads that operator+ as an
    // overlapping copy and stops the Release build.
    std::string key = "K";
    key += std::to_string(m_remaining[static_cast<std::size_t>(row)] + 1);
    return key;
}

bool ConfirmChangesController::RemoveSelected(const std::vector<int32_t>& rows) {
    // One pass over the list whatever the selection: striking out most of a list of a hundred
    // thousand entries must not take one pass per entry.
    std::vector<bool> selected(m_remaining.size(), false);
    bool any = false;
    for (int32_t row : rows) {
        if (row >= 0 && row < Count()) {
            selected[static_cast<std::size_t>(row)] = true;
            any = true;
        }
    }
    if (!any) {
        m_prompt.ShowMessage(kApplicationTitle,
                             "Please select a file operation to remove from the list.",
                             MessageIcon::Exclamation, MessageButtons::OK);
        return false;
    }
    std::size_t kept = 0;
    for (std::size_t row = 0; row < m_remaining.size(); ++row) {
        const int32_t place = m_remaining[row];
        if (selected[row]) {
            m_skip[static_cast<std::size_t>(place)] = true;
        } else {
            m_remaining[kept++] = place;
        }
    }
    m_remaining.resize(kept);
    return true;
}

void ConfirmChangesController::ConfirmClicked(bool checked) {
    m_confirmChecked = checked;
    if (m_setConfirmSyncActions) {
        m_setConfirmSyncActions(checked);
    }
}

}  // namespace duvanto
