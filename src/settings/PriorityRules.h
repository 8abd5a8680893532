// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which priority class a task run gets, by time of day, and how the rules are kept in the
// options file's "Priority Rules" section.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Priority.h"
#include "settings/IniFile.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"

namespace duvanto {

// Times are OLE dates expected to hold a time of day only.
struct cPriorityRule {
    double StartTime = 0.0;
    double EndTime = 0.0;
    int32_t PriorityClass = IDLE_PRIORITY_CLASS;
    std::string Key;
};

// "LOW PRIORITY", "NORMAL PRIORITY", "HIGH PRIORITY", "" for any other class.
std::string PriorityClassName(int32_t priorityClass);
// "09:30 AM to 05:00 PM - NORMAL PRIORITY". Throws for a time outside the OLE range.
std::string PriorityRuleText(const cPriorityRule& rule);
// 00:00 to 23:59 at the low class.
cPriorityRule DefaultPriorityRule();

class cPriorityRules {
public:
    explicit cPriorityRules(ErrorReporter& reporter) : m_reporter(reporter) {}

    // In the order they were added; the first rule covering a time wins.
    const std::vector<cPriorityRule>& PriorityRules() const { return m_rules; }
    // Sets the rule's Key to its display text and appends it; false (reported) when a rule
    // with that key exists.
    bool Add(cPriorityRule rule);
    // False (reported) when no rule has the key.
    bool Remove(const std::string& key);
    int32_t Count() const { return static_cast<int32_t>(m_rules.size()); }
    bool DoesThisRuleExist(const std::string& key) const;
    // Whether the rule's range overlaps that of any rule but the one keyed exceptKey.
    bool DoesRuleConflictWithOtherRules(const cPriorityRule& rule, const std::string& exceptKey);
    // The class of the first rule covering the hour and minute of `time` (seconds dropped);
    // the low class when none does or the rule's class is not one of the three.
    int32_t GetApplicablePriorityClass(double time);
    // start <= time <= end; over midnight (start later than end) start <= time <= 23:59 or
    // 0 <= time <= end. Values are compared as they are.
    static bool IsTimeInRange(double time, double startTime, double endTime);

    void Clear() { m_rules.clear(); }

private:
    // Position counted from 1, or -1.
    int32_t GetPriorityRuleIndexBasedOnKey(const std::string& key) const;

    std::vector<cPriorityRule> m_rules;
    ErrorReporter& m_reporter;
};

inline constexpr char kPriorityRulesSection[] = "Priority Rules";

// Replaces the rules by NumRules (given as read, default already applied) and PriorityRule1
// to PriorityRuleN of the document; NumRules 0 gives the default rule alone. Rule times keep
// their time of day only. Throws IniValueError naming the first PriorityRule key that cannot be
// read, the rules before it staying added.
void ReadPriorityRules(cPriorityRules& rules, const std::string& numRules,
                       const IniDocument& document);
// NumRules and one PriorityRule<i> per rule, in collection order.
void WritePriorityRules(const cPriorityRules& rules, IniDocument& document);
// "11:59:00 PM,11:59:00 PM,64" as the options file holds a rule in the current locale.
std::string PriorityRuleValue(const cPriorityRule& rule);

// Sets the thread's class when it differs; a refusal leaves it as it was. True when the
// thread runs at the class afterwards.
bool ChangePriority(IThreadPriority& priority, int32_t priorityClass, ErrorReporter& reporter);
// The class the rules give for the clock's present time. To be called on the thread of a task
// run, before the run.
void SetPriorityBasedOnRules(cPriorityRules& rules, const IClock& clock, IThreadPriority& priority,
                             ErrorReporter& reporter);

}  // namespace duvanto
