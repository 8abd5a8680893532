// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/PriorityRulesController.h"

#include <algorithm>

namespace duvanto {

namespace {

void Refuse(IAppPrompt& prompt, const char* title, const char* text) {
    prompt.ShowMessage(title, text, MessageIcon::Exclamation, MessageButtons::OK);
}

}  // namespace

PriorityRulesController::PriorityRulesController(cPriorityRules& rules, IAppPrompt& prompt,
                                                 IHelpViewer* help)
    : m_rules(rules), m_prompt(prompt), m_help(help) {}

void PriorityRulesController::Open() {
    if (m_rules.Count() == 0) {
        m_rules.Add(DefaultPriorityRule());
    }
    m_lines.clear();
    for (const cPriorityRule& rule : m_rules.PriorityRules()) {
        m_lines.push_back(rule.Key);
    }
}

bool PriorityRulesController::New(const PriorityRuleEditor& editor) {
    const std::optional<cPriorityRule> rule = editor(std::nullopt);
    if (!rule) {
        return false;
    }
    if (m_rules.DoesRuleConflictWithOtherRules(*rule, "")) {
        Refuse(m_prompt, "Add Failed",
               "The Priority Rule could not be added because it conflicts with an existing rule.");
        return false;
    }
    // A duplicate always overlaps its twin, so it is refused above; Add still guards the key.
    if (!m_rules.Add(*rule)) {
        Refuse(m_prompt, "Add Failed",
               "The Priority Rule could not be added.  Make sure that it is unique.");
        return false;
    }
    m_lines.push_back(m_rules.PriorityRules().back().Key);
    return true;
}

const cPriorityRule* PriorityRulesController::Selected(int selected, const char* title) {
    const auto& rules = m_rules.PriorityRules();
    if (selected >= 0 && selected < static_cast<int>(m_lines.size())) {
        const std::string& key = m_lines[static_cast<std::size_t>(selected)];
        const auto found = std::find_if(rules.begin(), rules.end(),
                                        [&](const cPriorityRule& rule) { return rule.Key == key; });
        if (found != rules.end()) {
            return &*found;
        }
    }
    m_prompt.ShowMessage(title, "Please select a Priority Rule", MessageIcon::Information,
                         MessageButtons::OK);
    return nullptr;
}

bool PriorityRulesController::Edit(int selected, const PriorityRuleEditor& editor) {
    const cPriorityRule* old = Selected(selected, "Edit/View Priority Rule");
    if (old == nullptr) {
        return false;
    }
    const cPriorityRule oldRule = *old;
    const std::string& oldKey = oldRule.Key;
    const std::optional<cPriorityRule> rule = editor(oldRule);
    if (!rule) {
        return false;
    }
    if (m_rules.DoesThisRuleExist(PriorityRuleText(*rule))) {
        Refuse(m_prompt, "Edit Failed",
               "The Priority Rule could not be changed.  Make sure that it is unique.");
        return false;
    }
    if (m_rules.DoesRuleConflictWithOtherRules(*rule, oldKey)) {
        Refuse(m_prompt, "Edit Failed", "The changes conflict with an existing rule.");
        return false;
    }
    m_rules.Remove(oldKey);
    if (!m_rules.Add(*rule)) {
        m_rules.Add(oldRule);  // the failure is reported; the user keeps the rule they had
        return false;
    }
    m_lines[static_cast<std::size_t>(selected)] = m_rules.PriorityRules().back().Key;
    return true;
}

bool PriorityRulesController::Remove(int selected) {
    const cPriorityRule* rule = Selected(selected, "Remove Priority Rule");
    if (rule == nullptr) {
        return false;
    }
    m_rules.Remove(rule->Key);
    m_lines.erase(m_lines.begin() + selected);
    return true;
}

void PriorityRulesController::Help() {
    if (m_help != nullptr) {
        m_help->ShowHelp(HelpPriorityRules);
    }
}

}  // namespace duvanto
