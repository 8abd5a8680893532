// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/QtHelpWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "app/common/QtPictures.h"
#include "app/help/AppInfo.h"

namespace duvanto {

namespace {

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent, ExternalOpener openExternal)
    : QWidget(parent, Qt::Window), m_openExternal(std::move(openExternal)) {
    if (!m_openExternal) {
        m_openExternal = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    }
    setObjectName(QStringLiteral("frmHelp"));
    setWindowIcon(ApplicationIcon());
    resize(780, 620);

    brwHelp = new QTextBrowser(this);
    brwHelp->setObjectName(QStringLiteral("brwHelp"));
    // Every link comes to FollowLink, which decides whether it stays in the window.
    brwHelp->setOpenLinks(false);
    cmdContents = MakeButton("cmdContents", tr("&Contents"), this);
    cmdBack = MakeButton("cmdBack", tr("&Back"), this);
    cmdForward = MakeButton("cmdForward", tr("&Forward"), this);
    cmdClose = MakeButton("cmdClose", tr("C&lose"), this);
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    cmdBack->setToolTip(QKeySequence(QKeySequence::Back).toString(QKeySequence::NativeText));
    cmdForward->setToolTip(QKeySequence(QKeySequence::Forward).toString(QKeySequence::NativeText));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(brwHelp);

    connect(brwHelp, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
    connect(brwHelp, &QTextBrowser::sourceChanged, this, &HelpWindow::ShowTitle);
    connect(brwHelp, &QTextBrowser::backwardAvailable, cmdBack, &QWidget::setEnabled);
    connect(brwHelp, &QTextBrowser::forwardAvailable, cmdForward, &QWidget::setEnabled);
    connect(cmdBack, &QPushButton::clicked, brwHelp, &QTextBrowser::backward);
    connect(cmdForward, &QPushButton::clicked, brwHelp, &QTextBrowser::forward);
    connect(cmdContents, &QPushButton::clicked, this,
            [this] { brwHelp->setSource(PageUrl(HelpContents)); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, brwHelp, &QTextBrowser::backward);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, brwHelp, &QTextBrowser::forward);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    ShowTitle();
}

QUrl HelpWindow::PageUrl(int context) {
    return QUrl(QStringLiteral("qrc:/docs/help/") +
                QString::fromStdString(HelpPageForContext(context)));
}

void HelpWindow::ShowHelp(int context) {
    brwHelp->setSource(PageUrl(context));
    brwHelp->setFocus();
    JoinModalDialog();
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    KeepOnScreen();
    raise();
    activateWindow();
}

void HelpWindow::JoinModalDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == this || modal->windowHandle() == nullptr) {
        return;
    }
    // A modal dialog blocks every window but those it is transient parent of; the window
    // manager keeps such a window above the dialog, too. The dialog's window going, the link
    // goes with it.
    winId();
    windowHandle()->setTransientParent(modal->windowHandle());
}

void HelpWindow::KeepOnScreen() {
    QWidget* over = QApplication::activeModalWidget();
    QScreen* screen = over != nullptr && over != this ? over->screen() : this->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize frameExtra = frameGeometry().size() - size();
    const QSize fitted = size().boundedTo(area.size() - frameExtra);
    if (fitted != size()) {
        resize(fitted);
    }
    const QRect frame = frameGeometry();
    const QPoint topLeft(std::clamp(frame.left(), area.left(), area.right() - frame.width() + 1),
                         std::clamp(frame.top(), area.top(), area.bottom() - frame.height() + 1));
    if (topLeft != frame.topLeft()) {
        move(topLeft);
    }
}

void HelpWindow::OpenWebItem(HelpWebItem item) {
    OpenWebItem(item, HomepageUrl(), ContactUrl());
}

void HelpWindow::OpenWebItem(HelpWebItem item, const std::string& homepageUrl,
                             const std::string& contactUrl) {
    const HelpWebTarget target = WebItemTarget(item, homepageUrl, contactUrl);
    if (target.external) {
        m_openExternal(QUrl(QString::fromStdString(target.address)));
    } else {
        ShowHelp(target.context);
    }
}

void HelpWindow::FollowLink(const QUrl& link) {
    const QUrl target = brwHelp->source().resolved(link);
    if (target.scheme() == QLatin1String("qrc")) {
        brwHelp->setSource(target);
    } else {
        m_openExternal(target);
    }
}

void HelpWindow::ShowTitle() {
    const QString title = brwHelp->documentTitle();
    setWindowTitle(title.isEmpty() ? tr("Duvanto Help") : tr("Duvanto Help - %1").arg(title));
}

}  // namespace duvanto
