// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rule editor (frmPriorityRule): what its two time pickers and its class list show for a
// rule, and the rule that OK builds from them.

#include <array>
#include <optional>

#include "settings/PriorityRules.h"

namespace duvanto {

struct PriorityRuleFields {
    int startHour = 0;
    int startMinute = 0;
    int endHour = 23;
    int endMinute = 59;
    int classIndex = 0;  // in kPriorityClassChoices

    bool operator==(const PriorityRuleFields&) const = default;
};

class PriorityRuleController {
public:
    static constexpr char kCaption[] = "Priority Rule";
    // The class list, in its order.
    static constexpr std::array<const char*, 3> kPriorityClassChoices = {"Low", "Normal", "High"};

    // A rule's times (hour and minute) and class; for no rule 12:00 AM to 11:59 PM at "Low". A
    // class other than the three shows "Low", the class such a rule runs at.
    static PriorityRuleFields Shown(const std::optional<cPriorityRule>& rule);
    // The rule OK hands back: pure times of day and the chosen class.
    static cPriorityRule Built(const PriorityRuleFields& fields);
};

}  // namespace duvanto
