// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a run's planning found: the operations in the order they were planned, and what the
// walk noticed beside them. A value, so that it can be shown, confirmed, saved and performed
// apart from the walk that made it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileOp.h"

namespace duvanto {

struct ClonePlan {
    // The roots the plan was made for, each ending in "/".
    std::string Source;
    std::string Target;
    std::vector<FileOp> Ops;
    // Temporary files (folder, name) that an interrupted run left in the Target; removed and
    // logged when performing.
    std::vector<std::pair<std::string, std::string>> StrayTempFiles;
    int32_t FilesScanned = 0;
    // What the guard against mass deletion weighs the deletions against: the Target files the
    // walk saw (strays of ours left out), and whether the Source root held nothing at all.
    int64_t TargetFilesSeen = 0;
    bool SourceRootEmpty = false;
    // Whether the planning ran to its end, so that the plan may be performed.
    bool Complete = false;
};

}  // namespace duvanto
