// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The guard against mass deletion: one run must not silently empty a Target because its Source
// went missing, was unmounted or was emptied by mistake. The decision lives here; the host
// answers whether a run that trips it may go on.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ClonePlan.h"

namespace duvanto {

// Fewer deletions than this never trip the share rule: small Targets change wholesale often.
inline constexpr int64_t kMassDeleteFloor = 100;

struct MassDeleteCheck {
    int64_t Deletions = 0;    // files (and links) the plan deletes
    int64_t TargetFiles = 0;  // files (and links) the walk saw in the Target
    bool SourceEmpty = false;
    bool Tripped = false;
    // Why a tripped guard stops the run, with the counts.
    std::string Why(int32_t maxDeletePercent) const;
};

// Trips when the plan, less the skipped operations (one flag per operation; shorter skips
// nothing), deletes more than kMassDeleteFloor files and more than maxDeletePercent % of the
// Target files the walk saw, or deletes anything from a Target whose Source root was empty.
// maxDeletePercent 0 turns the guard off.
MassDeleteCheck CheckMassDelete(const ClonePlan& plan, int32_t maxDeletePercent,
                                const std::vector<bool>& skip = {});

// The stricter of two MaxDeletePercent limits, 0 being none: what a saved plan performs with,
// so that the plan's own limit can tighten the options' limit but never loosen or lift it.
int32_t StricterDeleteLimit(int32_t a, int32_t b);

}  // namespace duvanto
