// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PriorityRules.h"

#include <strings.h>

#include <algorithm>

#include "settings/TimeText.h"
#include "settings/ValueText.h"
#include "util/OleDate.h"

namespace duvanto {

namespace {

// 23:59, the last minute a range over midnight covers before it wraps.
constexpr double kLastMinute = 1439.0 / 1440.0;

// One rule from its value: two times and a class, joined by commas.
void ReadPriorityRule(cPriorityRules& rules, const std::string& value) {
    std::vector<std::string> fields;
    for (std::size_t from = 0;;) {
        const std::size_t comma = value.find(',', from);
        fields.push_back(value.substr(from, comma - from));
        if (comma == std::string::npos) {
            break;
        }
        from = comma + 1;
    }
    if (fields.size() < 3) {
        throw RuntimeError(9, "Subscript out of range");
    }
    const std::optional<double> start = ParseGeneralDateText(fields[0]);
    const std::optional<double> end = ParseGeneralDateText(fields[1]);
    if (!start || !end) {
        throw RuntimeError(13, "Type mismatch");
    }
    // The range test compares times of day; a date part would put the rule out of reach.
    rules.Add({TimeOfDay(*start), TimeOfDay(*end), LongFromText(fields[2]), ""});
}

}  // namespace

std::string PriorityClassName(int32_t priorityClass) {
    switch (priorityClass) {
        case IDLE_PRIORITY_CLASS:
            return "LOW PRIORITY";
        case NORMAL_PRIORITY_CLASS:
            return "NORMAL PRIORITY";
        case HIGH_PRIORITY_CLASS:
            return "HIGH PRIORITY";
        default:
            return "";
    }
}

std::string PriorityRuleText(const cPriorityRule& rule) {
    return FormatHourMinuteAmPm(rule.StartTime) + " to " + FormatHourMinuteAmPm(rule.EndTime) +
           " - " + PriorityClassName(rule.PriorityClass);
}

cPriorityRule DefaultPriorityRule() {
    return {TimeOfDayFromClock(0, 0), TimeOfDayFromClock(23, 59), IDLE_PRIORITY_CLASS, ""};
}

int32_t cPriorityRules::GetPriorityRuleIndexBasedOnKey(const std::string& key) const {
    // Keys of a collection match without regard to case.
    const auto found = std::find_if(m_rules.begin(), m_rules.end(), [&](const cPriorityRule& r) {
        return r.Key.size() == key.size() && strcasecmp(r.Key.c_str(), key.c_str()) == 0;
    });
    return found == m_rules.end() ? -1 : static_cast<int32_t>(found - m_rules.begin()) + 1;
}

bool cPriorityRules::Add(cPriorityRule rule) {
    try {
        rule.Key = PriorityRuleText(rule);
        if (GetPriorityRuleIndexBasedOnKey(rule.Key) != -1) {
            throw RuntimeError(457,
                               "This key is already associated with an element of this "
                               "collection");
        }
        m_rules.push_back(std::move(rule));
        return true;
    } catch (...) {
        m_reporter.ReportCurrentException("cPriorityRules.Add");
        return false;
    }
}

bool cPriorityRules::Remove(const std::string& key) {
    try {
        const int32_t index = GetPriorityRuleIndexBasedOnKey(key);
        if (index == -1) {
            throw RuntimeError(5, "Invalid procedure call or argument");
        }
        m_rules.erase(m_rules.begin() + (index - 1));
        return true;
    } catch (...) {
        m_reporter.ReportCurrentException("cPriorityRules.Remove");
        return false;
    }
}

bool cPriorityRules::DoesThisRuleExist(const std::string& key) const {
    return GetPriorityRuleIndexBasedOnKey(key) != -1;
}

bool cPriorityRules::DoesRuleConflictWithOtherRules(const cPriorityRule& rule,
                                                    const std::string& exceptKey) {
    const double s = rule.StartTime;
    const double e = rule.EndTime;
    return std::any_of(m_rules.begin(), m_rules.end(), [&](const cPriorityRule& other) {
        if (!exceptKey.empty() && other.Key == exceptKey) {
            return false;
        }
        const double rs = other.StartTime;
        const double re = other.EndTime;
        return IsTimeInRange(s, rs, re) || IsTimeInRange(e, rs, re) || IsTimeInRange(rs, s, e) ||
               IsTimeInRange(re, s, e);
    });
}

int32_t cPriorityRules::GetApplicablePriorityClass(double time) {
    try {
        const LocalDateTime now = LocalFromOleDate(time);
        const double t = TimeOfDayFromClock(now.hour, now.minute);
        for (const cPriorityRule& rule : m_rules) {
            if (IsTimeInRange(t, rule.StartTime, rule.EndTime)) {
                return PriorityClassName(rule.PriorityClass).empty() ? IDLE_PRIORITY_CLASS
                                                                     : rule.PriorityClass;
            }
        }
        return IDLE_PRIORITY_CLASS;
    } catch (...) {
        m_reporter.ReportCurrentException("cPriorityRules.GetApplicablePriorityClass");
        return 0;
    }
}

bool cPriorityRules::IsTimeInRange(double time, double startTime, double endTime) {
    if (startTime <= endTime) {
        return startTime <= time && time <= endTime;
    }
    return (startTime <= time && time <= kLastMinute) || (0.0 <= time && time <= endTime);
}

std::string PriorityRuleValue(const cPriorityRule& rule) {
    return GeneralDateText(rule.StartTime) + "," + GeneralDateText(rule.EndTime) + "," +
           std::to_string(rule.PriorityClass);
}

void ReadPriorityRules(cPriorityRules& rules, const std::string& numRules,
                       const IniDocument& document) {
    const double count = NumberFromText(numRules);
    rules.Clear();
    if (count == 0) {
        rules.Add(DefaultPriorityRule());
        return;
    }
    // A key needs a line of its own, so no key lies beyond the document's line count; this
    // keeps a huge NumRules from spinning through keys that cannot exist.
    const double last = std::min(count, static_cast<double>(document.LineCount()));
    for (int32_t i = 1; i <= last; ++i) {
        const std::string key = "PriorityRule" + std::to_string(i);
        const std::string value = document.GetString(kPriorityRulesSection, key, "");
        if (value.empty()) {
            continue;
        }
        try {
            ReadPriorityRule(rules, value);
        } catch (const RuntimeError& error) {
            throw IniValueError(error, kPriorityRulesSection, key);
        }
    }
}

void WritePriorityRules(const cPriorityRules& rules, IniDocument& document) {
    document.Set(kPriorityRulesSection, "NumRules", std::to_string(rules.Count()));
    int32_t i = 0;
    for (const cPriorityRule& rule : rules.PriorityRules()) {
        document.Set(kPriorityRulesSection, "PriorityRule" + std::to_string(++i),
                     PriorityRuleValue(rule));
    }
}

bool ChangePriority(IThreadPriority& priority, int32_t priorityClass, ErrorReporter& reporter) {
    try {
        if (priority.CurrentClass() == priorityClass) {
            return true;
        }
        return priority.SetClass(priorityClass).ok();
    } catch (...) {
        reporter.ReportCurrentException("modChangePriority.ChangePriority");
        return false;
    }
}

void SetPriorityBasedOnRules(cPriorityRules& rules, const IClock& clock, IThreadPriority& priority,
                             ErrorReporter& reporter) {
    try {
        ChangePriority(priority, rules.GetApplicablePriorityClass(clock.Now()), reporter);
    } catch (...) {
        reporter.ReportCurrentException("modChangePriority.SetPriorityBasedOnRules()");
    }
}

}  // namespace duvanto
