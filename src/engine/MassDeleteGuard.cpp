// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MassDeleteGuard.h"

namespace duvanto {

std::string MassDeleteCheck::Why(int32_t maxDeletePercent) const {
    const std::string counts = std::to_string(Deletions) + " of " + std::to_string(TargetFiles) +
                               " Target files would be deleted";
    if (SourceEmpty) {
        return "The Source folder is empty and " + counts;
    }
    return counts + ", more than the " + std::to_string(maxDeletePercent) + "% allowed";
}

int32_t StricterDeleteLimit(int32_t a, int32_t b) {
    if (a <= 0 || b <= 0) {
        return a <= 0 ? b : a;
    }
    return a < b ? a : b;
}

MassDeleteCheck CheckMassDelete(const ClonePlan& plan, int32_t maxDeletePercent,
                                const std::vector<bool>& skip) {
    MassDeleteCheck check;
    check.TargetFiles = plan.TargetFilesSeen;
    if (maxDeletePercent <= 0) {
        return check;
    }
    for (std::size_t i = 0; i < plan.Ops.size(); ++i) {
        if (plan.Ops[i].Operation == DeleteFile && !(i < skip.size() && skip[i])) {
            ++check.Deletions;
        }
    }
    check.SourceEmpty = plan.SourceRootEmpty && check.Deletions > 0;
    // In whole numbers: deletions / files > percent / 100, exactly at the threshold allowed.
    const bool share = check.Deletions > kMassDeleteFloor &&
                       check.Deletions * 100 > int64_t{maxDeletePercent} * check.TargetFiles;
    check.Tripped = check.SourceEmpty || share;
    return check;
}

}  // namespace duvanto
