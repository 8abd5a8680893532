// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/frmAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtPictures.h"
#include "app/help/AppInfo.h"

namespace duvanto {

frmAbout::frmAbout(const std::string& programFolder, IAppPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_controller(prompt, ProgramVersion()), m_programFolder(programFolder) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(ToQt(m_controller.Caption()));
    setWindowIcon(ApplicationIcon());

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(ApplicationIcon().pixmap(QSize(64, 64), devicePixelRatioF()));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(ToQt(m_controller.TitleLine()), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblTitle->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lblDisclaimer = new QLabel(ToQt(m_controller.LegalText()), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setMinimumWidth(360);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addSpacing(8);
    text->addWidget(lblDisclaimer);
    text->addStretch();

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(picIcon, 0, 0);
    layout->addLayout(text, 0, 1);
    layout->addWidget(rule, 1, 0, 1, 2);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The box takes its final size before it is first shown, so that the window manager
    // never sees it change.
    layout->activate();

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] {
        SystemInfoFacts facts = GatherSystemInfo(m_programFolder);
        facts.qtVersion = qVersion();
        facts.displayPlatform = FromQt(QGuiApplication::platformName());
        m_controller.ShowSystemInfo(facts);
    });
    cmdOK->setFocus();
}

}  // namespace duvanto
