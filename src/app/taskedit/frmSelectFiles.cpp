// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/frmSelectFiles.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtDialogParts.h"
#include "app/taskedit/QtSelectionTreeView.h"
#include "app/taskedit/frmFileMask.h"

namespace duvanto {

frmSelectFiles::frmSelectFiles(SelectFilesController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller), m_model(controller) {
    setObjectName(QStringLiteral("frmSelectFiles"));
    setWindowTitle(tr("Selected Files and Folders"));

    auto* treeLabel = new QLabel(tr("&Check the files and folders to clone:"), this);
    tvwFolderContents = Named(new SelectionTreeView(this), "tvwFolderContents");
    tvwFolderContents->setHeaderHidden(true);
    tvwFolderContents->setUniformRowHeights(true);
    tvwFolderContents->setModel(&m_model);
    treeLabel->setBuddy(tvwFolderContents);

    auto* masksLabel =
        new QLabel(tr("Also include files matching these File &Masks - (Optional)"), this);
    lstFileMasks = Named(new QTreeWidget(this), "lstFileMasks");
    lstFileMasks->setColumnCount(2);
    lstFileMasks->setHeaderHidden(true);
    lstFileMasks->setRootIsDecorated(false);
    lstFileMasks->setMaximumHeight(110);
    // The type names line up like a list box's tab stops.
    lstFileMasks->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    lstFileMasks->header()->resizeSection(0, 140);
    masksLabel->setBuddy(lstFileMasks);
    cmdAddNew = Named(new QPushButton(tr("Add &New..."), this), "cmdAddNew");
    cmdRemove = Named(new QPushButton(tr("&Remove"), this), "cmdRemove");

    const DialogButtons buttons =
        MakeDialogButtons(this, "cmdOK", "cmdCancel", [this] { m_controller.Help(); });
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;
    cmdHelp = buttons.help;

    auto* maskButtons = new QVBoxLayout;
    maskButtons->addWidget(cmdAddNew);
    maskButtons->addWidget(cmdRemove);
    maskButtons->addStretch(1);
    auto* masks = new QHBoxLayout;
    masks->addWidget(lstFileMasks, 1);
    masks->addLayout(maskButtons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treeLabel);
    layout->addWidget(tvwFolderContents, 1);
    layout->addWidget(masksLabel);
    layout->addLayout(masks);
    layout->addLayout(buttons.row);
    resize(560, 520);

    connect(&m_model, &SelectionTreeModel::FoldersOpened, this, &frmSelectFiles::Expand,
            Qt::QueuedConnection);
    connect(cmdAddNew, &QPushButton::clicked, this, &frmSelectFiles::AddNewMask);
    connect(cmdRemove, &QPushButton::clicked, this, &frmSelectFiles::RemoveSelectedMask);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        m_chosen = m_controller.OK();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &frmSelectFiles::reject);
    lstFileMasks->installEventFilter(this);

    // The pointer says when a folder is being read; the window stays usable meanwhile.
    connect(&m_model, &SelectionTreeModel::ReadingChanged, this, [this](bool reading) {
        if (reading) {
            tvwFolderContents->setCursor(Qt::BusyCursor);
        } else {
            tvwFolderContents->unsetCursor();
        }
    });
    m_model.Activate();
    tvwFolderContents->expand(m_model.index(0, 0));
    tvwFolderContents->setCurrentIndex(m_model.index(0, 0));
    ShowMasks();
}

void frmSelectFiles::Expand(const QModelIndexList& folders) {
    for (const QModelIndex& folder : folders) {
        tvwFolderContents->expand(folder);
    }
}

void frmSelectFiles::ShowMasks() {
    lstFileMasks->clear();
    for (const FileMaskEntry& entry : m_controller.Masks()) {
        lstFileMasks->addTopLevelItem(
            new QTreeWidgetItem(QStringList{ToQt(entry.Mask), ToQt(entry.TypeName)}));
    }
}

void frmSelectFiles::AddNewMask() {
    FileMaskController mask(m_controller.Services());
    frmFileMask dialog(mask, this);
    if (dialog.exec() == QDialog::Accepted && !mask.FileMask().empty()) {
        m_controller.AddMask(mask.FileMask());
        ShowMasks();
        lstFileMasks->setCurrentItem(
            lstFileMasks->topLevelItem(lstFileMasks->topLevelItemCount() - 1));
    }
}

void frmSelectFiles::RemoveSelectedMask() {
    QTreeWidgetItem* item = lstFileMasks->currentItem();
    const bool selected = item != nullptr && item->isSelected();
    m_controller.RemoveMask(selected ? lstFileMasks->indexOfTopLevelItem(item) : -1);
    ShowMasks();
}

bool frmSelectFiles::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstFileMasks && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveSelectedMask();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace duvanto
