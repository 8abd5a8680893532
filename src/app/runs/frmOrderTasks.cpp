// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/frmOrderTasks.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtDialogParts.h"
#include "app/common/QtPictures.h"

namespace duvanto {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = Named(new QPushButton(QString::fromLatin1(caption), parent), name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

frmOrderTasks::frmOrderTasks(std::vector<std::string> names, IAppPrompt& prompt,
                             ErrorReporter& reporter, QWidget* parent)
    : QDialog(parent), m_controller(std::move(names), prompt, reporter) {
    setObjectName(QStringLiteral("frmOrderTasks"));
    setWindowTitle(QString::fromLatin1(OrderTasksController::kCaption));
    setWindowIcon(ApplicationIcon());
    setModal(true);

    auto* explanation = new QLabel(QString::fromLatin1(OrderTasksController::kExplanation), this);
    explanation->setWordWrap(true);
    lstTasks = Named(new QListWidget(this), "lstTasks");
    lstTasks->setSelectionMode(QAbstractItemView::SingleSelection);
    lstTasks->installEventFilter(this);

    cmdMoveUp = Button(this, "cmdMoveUp", "Move &Up");
    cmdMoveDown = Button(this, "cmdMoveDown", "Move &Down");
    cmdRemove = Button(this, "cmdRemove", "&Remove");
    OKButton = Named(new QPushButton(tr("OK"), this), "OKButton");
    OKButton->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdMoveUp);
    buttons->addWidget(cmdMoveDown);
    buttons->addWidget(cmdRemove);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    auto* list = new QHBoxLayout;
    list->addWidget(lstTasks, 1);
    list->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(list, 1);
    resize(440, 300);

    connect(cmdMoveUp, &QPushButton::clicked, this,
            [this] { ShowNames(m_controller.MoveUp(SelectedRow())); });
    connect(cmdMoveDown, &QPushButton::clicked, this,
            [this] { ShowNames(m_controller.MoveDown(SelectedRow())); });
    connect(cmdRemove, &QPushButton::clicked, this,
            [this] { ShowNames(m_controller.Remove(SelectedRow())); });
    connect(OKButton, &QPushButton::clicked, this, [this] {
        m_orderOfTasks = m_controller.OK();
        accept();
    });

    ShowNames(m_controller.FirstSelection());
    lstTasks->setFocus();
}

std::vector<std::string> frmOrderTasks::Ask(std::vector<std::string> names, IAppPrompt& prompt,
                                            ErrorReporter& reporter, QWidget* parent) {
    frmOrderTasks window(std::move(names), prompt, reporter, parent);
    window.exec();
    return window.OrderOfTasks();
}

int32_t frmOrderTasks::SelectedRow() const {
    const QList<QListWidgetItem*> selected = lstTasks->selectedItems();
    return selected.isEmpty() ? -1 : lstTasks->row(selected.first());
}

void frmOrderTasks::ShowNames(int32_t selected) {
    lstTasks->clear();
    for (const std::string& name : m_controller.Names()) {
        lstTasks->addItem(ToQt(name));
    }
    if (selected >= 0 && selected < lstTasks->count()) {
        lstTasks->setCurrentRow(selected);
    }
    // The keys go on working the list after a button's access key took the focus.
    lstTasks->setFocus();
}

bool frmOrderTasks::eventFilter(QObject* watched, QEvent* event) {
    // Delete in the list takes the selected task out, as Remove does.
    if (watched == lstTasks && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        ShowNames(m_controller.Remove(SelectedRow()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace duvanto
