// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/frmPriorityRule.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/taskedit/QtTimeFields.h"

namespace duvanto {

namespace {

QTimeEdit* TimePicker(QWidget* parent, const char* name, int hour, int minute) {
    auto* picker = new QTimeEdit(QTime(hour, minute), parent);
    picker->setObjectName(QLatin1String(name));
    UseLocaleTimeForm(picker);
    picker->setWrapping(true);
    return picker;
}

}  // namespace

frmPriorityRule::frmPriorityRule(const std::optional<cPriorityRule>& rule, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmPriorityRule"));
    setWindowTitle(QString::fromUtf8(PriorityRuleController::kCaption));
    setModal(true);

    const PriorityRuleFields shown = PriorityRuleController::Shown(rule);
    dtpStartTime = TimePicker(this, "dtpStartTime", shown.startHour, shown.startMinute);
    dtpEndTime = TimePicker(this, "dtpEndTime", shown.endHour, shown.endMinute);
    cboPriority = new QComboBox(this);
    cboPriority->setObjectName(QStringLiteral("cboPriority"));
    for (const char* choice : PriorityRuleController::kPriorityClassChoices) {
        cboPriority->addItem(QString::fromUtf8(choice));
    }
    cboPriority->setCurrentIndex(shown.classIndex);

    auto* fields = new QFormLayout;
    fields->addRow(tr("&Start Time:"), dtpStartTime);
    fields->addRow(tr("&End Time:"), dtpEndTime);
    fields->addRow(tr("&Priority:"), cboPriority);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmPriorityRule::PushPriorityRuleToRulesForm);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        m_rule.reset();
        reject();
    });
    dtpStartTime->setFocus();
}

void frmPriorityRule::PushPriorityRuleToRulesForm() {
    m_rule = PriorityRuleController::Built(
        {dtpStartTime->time().hour(), dtpStartTime->time().minute(), dtpEndTime->time().hour(),
         dtpEndTime->time().minute(), cboPriority->currentIndex()});
    accept();
}

std::optional<cPriorityRule> frmPriorityRule::Ask(const std::optional<cPriorityRule>& rule,
                                                  QWidget* parent) {
    frmPriorityRule editor(rule, parent);
    editor.exec();
    return editor.PriorityRule();
}

}  // namespace duvanto
