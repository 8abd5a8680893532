// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the priority rules window (frmPriorityRules) decides: the default rule, and whether a
// new or changed rule is taken or refused, with the refusal texts. The list shows the rules'
// texts; an edited rule keeps its line but moves to the end of the collection.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "app/help/HelpTopics.h"
#include "settings/PriorityRules.h"

namespace duvanto {

// Opens the rule editor on a rule (nothing for a new one); gives the rule built by OK, or
// nothing when cancelled.
using PriorityRuleEditor =
    std::function<std::optional<cPriorityRule>(const std::optional<cPriorityRule>& shown)>;

class PriorityRulesController {
public:
    PriorityRulesController(cPriorityRules& rules, IAppPrompt& prompt, IHelpViewer* help);

    // Adds the all-day low rule when there is none; the lines are then the rules' texts in
    // collection order.
    void Open();
    const std::vector<std::string>& Lines() const { return m_lines; }

    // Each command gets the selected line (-1 for none) and tells whether the lines changed.
    // New appends the editor's rule unless it overlaps another.
    bool New(const PriorityRuleEditor& editor);
    // Replaces the selected rule by the editor's, unless the result is not unique (an unchanged
    // rule included) or overlaps another rule.
    bool Edit(int selected, const PriorityRuleEditor& editor);
    bool Remove(int selected);
    void Help();

private:
    // The selected line's rule, or a message with the command's title when none is selected.
    const cPriorityRule* Selected(int selected, const char* title);

    cPriorityRules& m_rules;
    IAppPrompt& m_prompt;
    IHelpViewer* m_help;
    std::vector<std::string> m_lines;  // the rules' keys in the list's order
};

}  // namespace duvanto
