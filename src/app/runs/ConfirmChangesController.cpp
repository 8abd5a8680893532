// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/ConfirmChangesController.h"

#include <algorithm>
#include <numeric>

#include "app/help/AppInfo.h"
#include "app/runs/RunStatusHost.h"
#include "engine/PlanText.h"

namespace duvanto {

namespace {

// "1 copy", "12 copies".
std::string Counted(int64_t count, const char* one, const char* many) {
    std::string text = std::to_string(count);
    text += ' ';
    text += count == 1 ? one : many;
    return text;
}

}  // namespace

PlannedOperation PlannedOperationFromFileOp(const FileOp& op) {
    const auto kind = static_cast<FileOpType>(op.Operation);
    return {kind,
            op.FileName,
            op.SourceFolder,
            op.TargetFolder,
            cClone::DescribeFileOp(op),
            OpReasonText(op),
            kind == CopyFile ? op.Bytes : 0};
}

void ConfirmChangesController::Totals::Count(const PlannedOperation& op, int sign) {
    switch (op.Kind) {
        case CopyFile:
            copies += sign;
            bytes = sign > 0 ? bytes + op.Bytes : bytes - op.Bytes;
            break;
        case CreateFolder:
            newFolders += sign;
            break;
        case DeleteFile:
        case DeleteFolder:
            deletions += sign;
            break;
        case RenameEntry:
            renames += sign;
            break;
        case RefuseName:
            refusals += sign;
            break;
        default:
            break;
    }
}

ConfirmChangesController::ConfirmChangesController(ConfirmChangesRequest request,
                                                   IAppPrompt& prompt,
                                                   std::function<void(bool)> setConfirmSyncActions,
                                                   std::function<void()> cancelRun)
    : m_request(std::move(request)),
      m_prompt(prompt),
      m_setConfirmSyncActions(std::move(setConfirmSyncActions)),
      m_cancelRun(std::move(cancelRun)),
      m_remaining(m_request.Operations.size()),
      m_skip(m_request.Operations.size(), false),
      m_confirmChecked(m_request.ConfirmSyncActions) {
    std::iota(m_remaining.begin(), m_remaining.end(), 0);
    for (const PlannedOperation& op : m_request.Operations) {
        m_totals.Count(op, 1);
    }
}

std::string ConfirmChangesController::TotalsText() const {
    std::string text = Counted(m_totals.copies, "copy", "copies");
    text += ", ";
    text += Counted(m_totals.newFolders, "new folder", "new folders");
    text += ", ";
    text += Counted(m_totals.deletions, "deletion", "deletions");
    // Only Targets that fold case or refuse names have these: elsewhere the line stays short.
    if (m_totals.renames != 0) {
        text += ", ";
        text += Counted(m_totals.renames, "rename", "renames");
    }
    if (m_totals.refusals != 0) {
        text += ", ";
        text += Counted(m_totals.refusals, "name the Target cannot hold",
                        "names the Target cannot hold");
    }
    text += "; ";
    text += FormatBytes(static_cast<int64_t>(m_totals.bytes));
    text += " to copy";
    return text;
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
            m_totals.Count(m_request.Operations[static_cast<std::size_t>(place)], -1);
        } else {
            m_remaining[kept++] = place;
        }
    }
    m_remaining.resize(kept);
    return true;
}

void ConfirmChangesController::Cancel() {
    if (m_cancelled) {
        return;
    }
    m_cancelled = true;
    // Nothing is performed, whatever the run makes of the answer.
    m_skip.assign(m_skip.size(), true);
    if (m_cancelRun) {
        m_cancelRun();
    }
}

void ConfirmChangesController::ConfirmClicked(bool checked) {
    m_confirmChecked = checked;
    if (m_setConfirmSyncActions) {
        m_setConfirmSyncActions(checked);
    }
}

}  // namespace duvanto
