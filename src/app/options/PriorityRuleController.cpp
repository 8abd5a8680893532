// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/PriorityRuleController.h"

#include "settings/TimeText.h"
#include "util/OleDate.h"

namespace duvanto {

namespace {

constexpr std::array<int32_t, 3> kClasses = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                                             HIGH_PRIORITY_CLASS};

}  // namespace

PriorityRuleFields PriorityRuleController::Shown(const std::optional<cPriorityRule>& rule) {
    PriorityRuleFields fields;
    if (!rule) {
        return fields;
    }
    const LocalDateTime start = LocalFromOleDate(rule->StartTime);
    const LocalDateTime end = LocalFromOleDate(rule->EndTime);
    fields = {start.hour, start.minute, end.hour, end.minute, 0};
    for (std::size_t i = 0; i < kClasses.size(); ++i) {
        if (kClasses[i] == rule->PriorityClass) {
            fields.classIndex = static_cast<int>(i);
        }
    }
    return fields;
}

cPriorityRule PriorityRuleController::Built(const PriorityRuleFields& fields) {
    const std::size_t index =
        fields.classIndex >= 0 && fields.classIndex < static_cast<int>(kClasses.size())
            ? static_cast<std::size_t>(fields.classIndex)
            : 0;
    return {TimeOfDayFromClock(fields.startHour, fields.startMinute),
            TimeOfDayFromClock(fields.endHour, fields.endMinute), kClasses[index], ""};
}

}  // namespace duvanto
