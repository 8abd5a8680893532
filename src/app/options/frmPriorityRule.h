// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rule editor: start and end time and the priority class of one priority rule. OK hands
// the rule back to the rules window; Cancel hands back nothing.

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTimeEdit>
#include <optional>

#include "app/options/PriorityRuleController.h"

namespace duvanto {

class frmPriorityRule : public QDialog {
    Q_OBJECT
public:
    // Shows the rule's times and class, or 12:00 AM to 11:59 PM at "Low" for a new rule.
    explicit frmPriorityRule(const std::optional<cPriorityRule>& rule, QWidget* parent = nullptr);

    // The rule built by OK; nothing before OK and after Cancel.
    const std::optional<cPriorityRule>& PriorityRule() const { return m_rule; }

    // Opens the editor modally and gives its answer.
    static std::optional<cPriorityRule> Ask(const std::optional<cPriorityRule>& rule,
                                            QWidget* parent);

    QTimeEdit* dtpStartTime;
    QTimeEdit* dtpEndTime;
    QComboBox* cboPriority;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    void PushPriorityRuleToRulesForm();

    std::optional<cPriorityRule> m_rule;
};

}  // namespace duvanto
