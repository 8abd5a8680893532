// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/frmConfirmChanges.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtDialogParts.h"
#include "app/common/QtPictures.h"

namespace duvanto {

namespace {

QLabel* WrappedLabel(QWidget* parent, const char* name, const char* text) {
    auto* label = Named(new QLabel(QString::fromLatin1(text), parent), name);
    label->setWordWrap(true);
    return label;
}

}  // namespace

frmConfirmChanges::frmConfirmChanges(ConfirmChangesController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller), m_model(controller) {
    setObjectName(QStringLiteral("frmConfirmChanges"));
    setWindowTitle(QString::fromLatin1(ConfirmChangesController::kCaption));
    setWindowIcon(ApplicationIcon());
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);

    lblIntroduction =
        WrappedLabel(this, "lblIntroduction", ConfirmChangesController::kIntroduction);
    auto* taskLabel = Named(
        new QLabel(QString::fromLatin1(ConfirmChangesController::kTaskLabel), this), "lblTask");
    lblTaskName = Named(new ElidingLabel(ToQt(m_controller.TaskName()), this), "lblTaskName");
    QFont bold = lblTaskName->font();
    bold.setBold(true);
    lblTaskName->setFont(bold);
    lblTotals = Named(new QLabel(ToQt(m_controller.TotalsText()), this), "lblTotals");

    lvwFileOps = Named(new QTreeView(this), "lvwFileOps");
    lvwFileOps->setRootIsDecorated(false);
    // Every row as high as the first: the view then never measures the rows one by one.
    lvwFileOps->setUniformRowHeights(true);
    lvwFileOps->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwFileOps->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    lvwFileOps->setTextElideMode(Qt::ElideNone);
    lvwFileOps->header()->setStretchLastSection(false);
    lvwFileOps->header()->setSectionsMovable(false);
    lvwFileOps->setModel(&m_model);
    lvwFileOps->installEventFilter(this);

    lblRemovalHint = WrappedLabel(this, "lblRemovalHint", ConfirmChangesController::kRemovalHint);
    chkConfirmSyncActions =
        Named(new QCheckBox(QString::fromLatin1(ConfirmChangesController::kConfirmBox), this),
              "chkConfirmSyncActions");
    chkConfirmSyncActions->setChecked(m_controller.ConfirmChecked());
    cmdRemove = Named(new QPushButton(QString::fromLatin1(ConfirmChangesController::kRemove), this),
                      "cmdRemove");
    cmdRemove->setAutoDefault(false);
    cmdPerform =
        Named(new QPushButton(QString::fromLatin1(ConfirmChangesController::kPerform), this),
              "cmdPerform");
    cmdPerform->setDefault(true);
    cmdCancel = Named(new QPushButton(QString::fromLatin1(ConfirmChangesController::kCancel), this),
                      "cmdCancel");
    cmdCancel->setAutoDefault(false);

    auto* task = new QHBoxLayout;
    task->addWidget(taskLabel);
    task->addWidget(lblTaskName, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkConfirmSyncActions, 1);
    buttons->addWidget(cmdRemove);
    buttons->addWidget(cmdPerform);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblIntroduction);
    layout->addLayout(task);
    layout->addWidget(lblTotals);
    layout->addWidget(lvwFileOps, 1);
    layout->addWidget(lblRemovalHint);
    layout->addLayout(buttons);
    resize(860, 560);

    connect(cmdRemove, &QPushButton::clicked, this, &frmConfirmChanges::RemoveSelected);
    connect(cmdPerform, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfirmChanges::reject);
    connect(chkConfirmSyncActions, &QCheckBox::clicked, this,
            [this](bool checked) { m_controller.ConfirmClicked(checked); });
    if (m_model.rowCount() > 0) {
        lvwFileOps->setCurrentIndex(m_model.index(0, 0));
    }
    lvwFileOps->setFocus();
}

void frmConfirmChanges::RemoveSelected() {
    const QModelIndexList selected = lvwFileOps->selectionModel()->selectedRows();
    std::vector<int32_t> rows;
    rows.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected) {
        rows.push_back(index.row());
    }
    if (rows.empty()) {
        m_model.RemoveRows(rows);
        return;
    }
    const int32_t first = *std::min_element(rows.begin(), rows.end());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model.RemoveRows(rows);
    QApplication::restoreOverrideCursor();
    lblTotals->setText(ToQt(m_controller.TotalsText()));
    // The entry that followed the first one struck out is selected next, where the user was.
    const int count = m_model.rowCount();
    if (count > 0) {
        const QModelIndex next = m_model.index(std::min(first, count - 1), 0);
        lvwFileOps->setCurrentIndex(next);
        lvwFileOps->scrollTo(next);
    }
}

bool frmConfirmChanges::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvwFileOps && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmConfirmChanges::reject() {
    m_controller.Cancel();
    QDialog::reject();
}

void frmConfirmChanges::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FitColumn();
}

void frmConfirmChanges::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FitColumn();
}

void frmConfirmChanges::FitColumn() {
    if (!isVisible()) {
        return;
    }
    if (m_contentWidth < 0) {
        // The view measures at most the header's precision of rows (a thousand), not all.
        lvwFileOps->resizeColumnToContents(0);
        m_contentWidth = m_model.rowCount() > 0 ? lvwFileOps->header()->sectionSize(0) : 0;
    }
    lvwFileOps->header()->resizeSection(0,
                                        std::max(m_contentWidth, lvwFileOps->viewport()->width()));
}

FileOperationListModel::FileOperationListModel(ConfirmChangesController& controller,
                                               QObject* parent)
    : QAbstractListModel(parent), m_controller(controller) {
    // Made once: the view asks for a row's picture each time it paints the row.
    for (int kind = 0; kind < static_cast<int>(m_icons.size()); ++kind) {
        m_icons[static_cast<std::size_t>(kind)] = FileOperationIcon(kind);
    }
}

bool FileOperationListModel::RemoveRows(const std::vector<int32_t>& rows) {
    if (rows.empty()) {
        // The message, with the view left as it is.
        return m_controller.RemoveSelected(rows);
    }
    // One reset rather than a removal per selected range: a scattered selection of thousands
    // of rows would otherwise update the view thousands of times.
    beginResetModel();
    const bool removed = m_controller.RemoveSelected(rows);
    endResetModel();
    return removed;
}

int FileOperationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_controller.Count();
}

QVariant FileOperationListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_controller.Count()) {
        return {};
    }
    const PlannedOperation& entry = m_controller.Entry(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return ToQt(entry.Description);
        case Qt::ToolTipRole:
            // The line may be cut off by the window's width; its reason is not shown elsewhere.
            return entry.Reason.empty() ? ToQt(entry.Description)
                                        : ToQt(entry.Description + "\nbecause: " + entry.Reason);
        case Qt::DecorationRole: {
            const auto kind = static_cast<std::size_t>(entry.Kind);
            return kind < m_icons.size() ? m_icons[kind] : QIcon();
        }
        default:
            return {};
    }
}

QVariant FileOperationListModel::headerData(int section, Qt::Orientation orientation,
                                            int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QString::fromLatin1(ConfirmChangesController::kListHeading);
    }
    return {};
}

QtConfirmChanges::QtConfirmChanges(IAppPrompt& prompt,
                                   std::function<void(bool)> setConfirmSyncActions,
                                   std::function<void()> cancelRun, QObject* parent)
    : QObject(parent),
      m_prompt(prompt),
      m_setConfirmSyncActions(std::move(setConfirmSyncActions)),
      m_cancelRun(std::move(cancelRun)) {}

std::vector<bool> QtConfirmChanges::Confirm(ConfirmChangesRequest request) {
    ConfirmChangesController controller(std::move(request), m_prompt, m_setConfirmSyncActions,
                                        m_cancelRun);
    frmConfirmChanges window(controller, m_parentWindow);
    m_open = &window;
    emit Opening(&window);
    window.exec();
    m_open = nullptr;
    return controller.SkipFlags();
}

}  // namespace duvanto
