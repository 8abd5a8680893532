// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A saved plan: the plan of one folder pair as a JSON file that a person can read and a later
// call can carry out exactly. The format is a contract (README, "Saved plans"); a file of
// another version, or one that does not hold what the format says, is refused whole.

#include <cstdint>
#include <string>

#include "engine/ClonePlan.h"
#include "engine/CloneSettings.h"
#include "platform/Status.h"

namespace duvanto {

inline constexpr int kPlanFormatVersion = 1;

// Limits far above any real plan, so that a hostile file is refused rather than exhausting
// memory or stack: a plan of a million operations takes about 700 MB and nests four levels.
inline constexpr uint64_t kMaxPlanFileBytes = uint64_t{4} << 30;  // 4 GiB
inline constexpr int kMaxPlanDepth = 100;

struct SavedPlan {
    ClonePlan Plan;
    CloneSettings Settings;
};

// The file's text (UTF-8; a name that is no UTF-8 is written as its bytes in hex).
std::string SavedPlanText(const ClonePlan& plan, const CloneSettings& settings);

// Reads a plan file's text (the caller bounds its size by kMaxPlanFileBytes). Fails, with a
// message for a person that never repeats a large piece of the file, when the text is no plan
// of this version, nests deeper than kMaxPlanDepth, gives a key twice or holds one the format
// lacks, or when anything in it lies outside its roots or is not as the format says.
Result<SavedPlan> ReadSavedPlan(const std::string& text);

}  // namespace duvanto
