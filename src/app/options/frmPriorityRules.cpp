// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/frmPriorityRules.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/options/frmPriorityRule.h"

namespace duvanto {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

frmPriorityRules::frmPriorityRules(cPriorityRules& rules, IAppPrompt& prompt, IHelpViewer* help,
                                   QWidget* parent, PriorityRuleEditor editor)
    : QDialog(parent), m_controller(rules, prompt, help), m_editor(std::move(editor)) {
    setObjectName(QStringLiteral("frmPriorityRules"));
    setWindowTitle(QStringLiteral("Priority Rules"));
    setModal(true);
    if (!m_editor) {
        m_editor = [this](const std::optional<cPriorityRule>& rule) {
            return frmPriorityRule::Ask(rule, this);
        };
    }

    lstPriorityRules = new QListWidget(this);
    lstPriorityRules->setObjectName(QStringLiteral("lstPriorityRules"));
    lstPriorityRules->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdNewPriorityRule = Button(this, "cmdNewPriorityRule", "&New...");
    cmdEditPriorityRule = Button(this, "cmdEditPriorityRule", "&Edit...");
    cmdRemovePriorityRule = Button(this, "cmdRemovePriorityRule", "&Remove");
    cmdOK = Button(this, "cmdOK", "OK");
    cmdOK->setDefault(true);
    cmdHelp = Button(this, "cmdHelp", "&Help");

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdNewPriorityRule);
    buttons->addWidget(cmdEditPriorityRule);
    buttons->addWidget(cmdRemovePriorityRule);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdHelp);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lstPriorityRules, 1);
    layout->addLayout(buttons);

    connect(cmdNewPriorityRule, &QPushButton::clicked, this, [this] {
        const int selected = SelectedRow();
        if (m_controller.New(m_editor)) {
            ShowLines(selected);
        }
    });
    const auto edit = [this] {
        const int selected = SelectedRow();
        if (m_controller.Edit(selected, m_editor)) {
            ShowLines(selected);
        }
    };
    connect(cmdEditPriorityRule, &QPushButton::clicked, this, edit);
    connect(lstPriorityRules, &QListWidget::itemDoubleClicked, this, edit);
    connect(cmdRemovePriorityRule, &QPushButton::clicked, this, &frmPriorityRules::Remove);
    lstPriorityRules->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { m_controller.Help(); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { m_controller.Help(); });

    m_controller.Open();
    ShowLines(-1);
    resize(520, 260);
}

void frmPriorityRules::Remove() {
    if (m_controller.Remove(SelectedRow())) {
        ShowLines(-1);
    }
}

bool frmPriorityRules::eventFilter(QObject* watched, QEvent* event) {
    // Delete in the list removes the selected rule, as the Remove button does.
    if (watched == lstPriorityRules && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Delete)) {
        Remove();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int frmPriorityRules::SelectedRow() const {
    const QList<QListWidgetItem*> selected = lstPriorityRules->selectedItems();
    return selected.isEmpty() ? -1 : lstPriorityRules->row(selected.first());
}

void frmPriorityRules::ShowLines(int selected) {
    lstPriorityRules->clear();
    for (const std::string& line : m_controller.Lines()) {
        lstPriorityRules->addItem(QString::fromStdString(line));
    }
    if (selected >= 0 && selected < lstPriorityRules->count()) {
        lstPriorityRules->setCurrentRow(selected);
    }
}

}  // namespace duvanto
