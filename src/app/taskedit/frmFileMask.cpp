// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/frmFileMask.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtDialogParts.h"

namespace duvanto {

frmFileMask::frmFileMask(FileMaskController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller) {
    setObjectName(QStringLiteral("frmFileMask"));
    setWindowTitle(tr("File Mask"));

    optFileType = Named(new QRadioButton(tr("File &Type:"), this), "optFileType");
    lstFileTypes = Named(new QTreeWidget(this), "lstFileTypes");
    lstFileTypes->setColumnCount(2);
    lstFileTypes->setHeaderHidden(true);
    lstFileTypes->setRootIsDecorated(false);
    lstFileTypes->setUniformRowHeights(true);
    lstFileTypes->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    lstFileTypes->header()->resizeSection(0, 110);
    QList<QTreeWidgetItem*> items;
    for (const FileTypeEntry& entry : m_controller.FileTypes()) {
        items << new QTreeWidgetItem(QStringList{ToQt(entry.Extension), ToQt(entry.TypeName)});
    }
    lstFileTypes->addTopLevelItems(items);
    optCustomMask = Named(new QRadioButton(tr("&Custom Mask:"), this), "optCustomMask");
    txtCustomMask = Named(new QLineEdit(this), "txtCustomMask");
    txtCustomMask->setPlaceholderText(QStringLiteral("*.txt"));
    optFileType->setChecked(true);

    const DialogButtons buttons =
        MakeDialogButtons(this, "OKButton", "CancelButton", [this] { m_controller.Help(); });
    OKButton = buttons.ok;
    CancelButton = buttons.cancel;
    cmdHelp = buttons.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(optFileType);
    layout->addWidget(lstFileTypes, 1);
    auto* custom = new QHBoxLayout;
    custom->addWidget(optCustomMask);
    custom->addWidget(txtCustomMask, 1);
    layout->addLayout(custom);
    layout->addLayout(buttons.row);
    resize(440, 420);

    connect(lstFileTypes, &QTreeWidget::currentItemChanged, this,
            [this] { optFileType->setChecked(true); });
    connect(lstFileTypes, &QTreeWidget::itemDoubleClicked, this, [this] {
        optFileType->setChecked(true);
        OnOK();
    });
    connect(txtCustomMask, &QLineEdit::textEdited, this,
            [this] { optCustomMask->setChecked(true); });
    connect(OKButton, &QPushButton::clicked, this, &frmFileMask::OnOK);
    connect(CancelButton, &QPushButton::clicked, this, &frmFileMask::reject);
    lstFileTypes->installEventFilter(this);
    lstFileTypes->setFocus();
}

void frmFileMask::OnOK() {
    QTreeWidgetItem* item = lstFileTypes->currentItem();
    const int32_t selected =
        item != nullptr && item->isSelected() ? lstFileTypes->indexOfTopLevelItem(item) : -1;
    switch (m_controller.OK(optCustomMask->isChecked(), selected, FromQt(txtCustomMask->text()))) {
        case FileMaskController::Focus::None:
            accept();
            break;
        case FileMaskController::Focus::FileTypes:
            lstFileTypes->setFocus();
            break;
        case FileMaskController::Focus::CustomMask:
            txtCustomMask->setFocus();
            break;
    }
}

bool frmFileMask::eventFilter(QObject* watched, QEvent* event) {
    // A letter jumps to the first extension that begins with it, whatever the dot before it.
    if (watched == lstFileTypes && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() == 1 && text.at(0).isLetterOrNumber() && text.at(0).unicode() < 128 &&
            (key->modifiers() & ~Qt::ShiftModifier) == 0) {
            const int32_t row =
                m_controller.FindTypeByLetter(static_cast<char>(text.at(0).unicode()));
            if (row >= 0) {
                lstFileTypes->setCurrentItem(lstFileTypes->topLevelItem(row));
                lstFileTypes->scrollToItem(lstFileTypes->currentItem());
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace duvanto
