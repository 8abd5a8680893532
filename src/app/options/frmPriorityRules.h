// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The priority rules window: the rules by time of day, with New, Edit, Remove, OK and Help.
// A change reaches the rule collection at once; the options file keeps it when the options
// are saved.

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

#include "app/options/PriorityRulesController.h"

namespace duvanto {

class frmPriorityRules : public QDialog {
    Q_OBJECT
public:
    // Adds the default rule when there is none. `editor` opens the rule editor; by default
    // frmPriorityRule, modal over this window.
    frmPriorityRules(cPriorityRules& rules, IAppPrompt& prompt, IHelpViewer* help,
                     QWidget* parent = nullptr, PriorityRuleEditor editor = {});

    QListWidget* lstPriorityRules;
    QPushButton* cmdNewPriorityRule;
    QPushButton* cmdEditPriorityRule;
    QPushButton* cmdRemovePriorityRule;
    QPushButton* cmdOK;
    QPushButton* cmdHelp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Remove();
    int SelectedRow() const;
    // Shows the controller's lines, keeping the selected row.
    void ShowLines(int selected);

    PriorityRulesController m_controller;
    PriorityRuleEditor m_editor;
};

}  // namespace duvanto
