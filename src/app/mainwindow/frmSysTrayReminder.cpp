// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/frmSysTrayReminder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "app/common/QtDialogParts.h"
#include "app/common/QtPictures.h"

namespace duvanto {

frmSysTrayReminder::frmSysTrayReminder(bool& sysTrayReminder, QWidget* parent)
    : QDialog(parent), m_controller(sysTrayReminder) {
    setObjectName(QStringLiteral("frmSysTrayReminder"));
    setWindowTitle(QString::fromLatin1(SysTrayReminderController::kCaption));
    setWindowIcon(ApplicationIcon());
    setModal(true);

    auto* picture = Named(new QLabel(this), "picInformation");
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    picture->setPixmap(style()
                           ->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this)
                           .pixmap(QSize(side, side), devicePixelRatioF()));
    picture->setAlignment(Qt::AlignTop);
    lblMessage = Named(new QLabel(QString::fromLatin1(SysTrayReminderController::kMessage), this),
                       "lblMessage");
    lblMessage->setWordWrap(true);
    lblMessage->setMinimumWidth(320);
    chkRemind =
        Named(new QCheckBox(QString::fromLatin1(SysTrayReminderController::kRemindBox), this),
              "chkRemind");
    chkRemind->setChecked(m_controller.RemindChecked());
    OKButton = Named(new QPushButton(tr("OK"), this), "OKButton");
    OKButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkRemind, 1);
    buttons->addWidget(OKButton);
    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(picture, 0, 0);
    layout->addWidget(lblMessage, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate();

    connect(chkRemind, &QCheckBox::toggled, this,
            [this](bool checked) { m_controller.RemindClicked(checked); });
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    OKButton->setFocus();
}

void frmSysTrayReminder::done(int result) {
    // OK, Escape and the close box all end here.
    m_controller.Closed();
    QDialog::done(result);
}

}  // namespace duvanto
