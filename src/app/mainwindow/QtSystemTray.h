// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tray icon: its picture (paused, error, normal; blinking while a clone runs), its tooltip,
// its balloon, and its menu built from the command table, whose enabled and default items
// follow the window's state each time it opens. Where the desktop has no tray the icon is not
// shown and the window minimizes instead of hiding (the window's controller decides that); a
// tray that comes later shows it then.

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

#include "app/mainwindow/MainCommands.h"
#include "app/mainwindow/MainWindowController.h"

namespace duvanto {

class SystemTray : public QObject {
    Q_OBJECT
public:
    SystemTray(bool available, CommandRegistry& registry, std::function<TrayMenuState()> menuState,
               QObject* parent = nullptr);

    bool Available() const { return m_available; }
    // The desktop's tray came or went: the icon is shown or taken away with it.
    void SetAvailable(bool available);
    void SetIcon(TrayState icon);
    TrayState Icon() const { return m_icon; }
    // While on, the icon alternates with the animation picture about twice a second.
    void SetAnimation(bool on);
    void SetToolTip(const QString& text);
    QString ToolTip() const { return m_tray.toolTip(); }
    // A message beside the icon; false where there is no tray or it shows no messages.
    bool ShowBalloon(const QString& summary, const QString& body);
    QMenu* Menu() { return &m_menu; }
    // The states and the default item for the window as it is now.
    void PrepareMenu();

signals:
    // A double-click (or a click, where the desktop sends only that): restore the window.
    void Activated();

private:
    void ShowPicture();

    bool m_available;
    CommandRegistry& m_registry;
    std::function<TrayMenuState()> m_menuState;
    QSystemTrayIcon m_tray;
    QMenu m_menu;
    QTimer m_animation;
    bool m_animateShown = false;
    TrayState m_icon = TrayState::Normal;
};

}  // namespace duvanto
