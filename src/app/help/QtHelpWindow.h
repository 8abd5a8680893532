// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: the compiled-in pages of docs/help/ in a text browser, opened at the page of
// a context number. Links between pages stay in the window (with Back and Forward); links to
// the web and mail open in the desktop's own programs.

#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "app/help/HelpTopics.h"

class QPushButton;

namespace duvanto {

class HelpWindow : public QWidget, public IHelpViewer {
    Q_OBJECT
public:
    // Opens an address outside the program; QDesktopServices::openUrl unless tests hand in
    // another.
    using ExternalOpener = std::function<void(const QUrl&)>;

    explicit HelpWindow(QWidget* parent = nullptr, ExternalOpener openExternal = {});

    // Shows the window, in front and whole on the screen, at the page of the context. Asked
    // from a modal dialog (Task Properties, the log viewer), the window belongs to that dialog
    // while it is open, so that it stays above it and can be read, scrolled and closed.
    void ShowHelp(int context) override;

    // The Help menu's "&Web Site" and "&Contact Us": the build's address, or the help's page
    // about the program when the build set none.
    void OpenWebItem(HelpWebItem item);
    void OpenWebItem(HelpWebItem item, const std::string& homepageUrl,
                     const std::string& contactUrl);

    static QUrl PageUrl(int context);

    QTextBrowser* brwHelp;
    QPushButton* cmdContents;
    QPushButton* cmdBack;
    QPushButton* cmdForward;
    QPushButton* cmdClose;

private slots:
    void FollowLink(const QUrl& link);
    void ShowTitle();

private:
    void JoinModalDialog();
    void KeepOnScreen();

    ExternalOpener m_openExternal;
};

}  // namespace duvanto
