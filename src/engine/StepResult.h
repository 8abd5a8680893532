// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a step or driver of the clone engine came to. One meaning for every step: whether a
// failure was logged or the run was cancelled is never read from a bare boolean again.

namespace duvanto {

// The order is the rank: a cancel outranks a failure, a failure outranks success.
enum class [[nodiscard]] StepResult{Ok, Failed, Cancelled};

// The outcome of two steps taken together.
constexpr StepResult Worse(StepResult a, StepResult b) {
    return a < b ? b : a;
}

}  // namespace duvanto
