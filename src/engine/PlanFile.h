#pragma once
// A saved plan: the plan of one folder pair as a JSON file that a person can read and a later
// call can carry out exactly. The format is a contract (README, "Saved plans"); a file of
// another version, or one that does not hold what the format says, is refused whole.

#include <string>

#include "engine/ClonePlan.h"
#include "engine/CloneSettings.h"
#include "platform/Status.h"

namespace duvanto {

inline constexpr int kPlanFormatVersion = 1;

struct SavedPlan {
    ClonePlan Plan;
    CloneSettings Settings;
};

// The file's text (UTF-8; a name that is no UTF-8 is written as its bytes in hex).
std::string SavedPlanText(const ClonePlan& plan, const CloneSettings& settings);

// Reads a plan file's text. Fails, with a message for a person, when the text is no plan of
// this version, or when anything in it lies outside its roots or is not as the format says.
Result<SavedPlan> ReadSavedPlan(const std::string& text);

}  // namespace duvanto
