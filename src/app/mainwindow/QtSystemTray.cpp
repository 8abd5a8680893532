// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtSystemTray.h"

#include "app/common/QtPictures.h"
#include "app/mainwindow/QtCommandMenus.h"

namespace duvanto {

namespace {

TrayPicture PictureOf(TrayState icon) {
    switch (icon) {
        case TrayState::Paused:
            return TrayPicture::Paused;
        case TrayState::Error:
            return TrayPicture::Error;
        case TrayState::Normal:
            break;
    }
    return TrayPicture::Normal;
}

// As long as a desktop notification stays.
constexpr int kBalloonMs = 10000;

}  // namespace

SystemTray::SystemTray(bool available, CommandRegistry& registry,
                       std::function<TrayMenuState()> menuState, QObject* parent)
    : QObject(parent),
      m_available(available),
      m_registry(registry),
      m_menuState(std::move(menuState)) {
    m_menu.setObjectName(QStringLiteral("mnuTray"));
    FillMenu(&m_menu, TrayMenu(), registry);
    connect(&m_menu, &QMenu::aboutToShow, this, &SystemTray::PrepareMenu);
    m_tray.setContextMenu(&m_menu);
    m_tray.setToolTip(QStringLiteral("Duvanto"));
    connect(&m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) {
                    emit Activated();
                }
            });
    m_animation.setInterval(500);
    connect(&m_animation, &QTimer::timeout, this, [this] {
        m_animateShown = !m_animateShown;
        ShowPicture();
    });
    ShowPicture();
    if (m_available) {
        m_tray.show();
    }
}

void SystemTray::SetAvailable(bool available) {
    m_available = available;
    m_tray.setVisible(available);
}

bool SystemTray::ShowBalloon(const QString& summary, const QString& body) {
    if (!m_available || !QSystemTrayIcon::supportsMessages()) {
        return false;
    }
    m_tray.showMessage(summary, body, QSystemTrayIcon::Warning, kBalloonMs);
    return true;
}

void SystemTray::SetIcon(TrayState icon) {
    m_icon = icon;
    ShowPicture();
}

void SystemTray::SetAnimation(bool on) {
    m_animateShown = false;
    if (on) {
        m_animation.start();
    } else {
        m_animation.stop();
    }
    ShowPicture();
}

void SystemTray::SetToolTip(const QString& text) {
    m_tray.setToolTip(text);
}

void SystemTray::ShowPicture() {
    // The blink alternates with the normal picture, whatever the choice was before the run.
    m_tray.setIcon(m_animateShown           ? duvanto::TrayIcon(TrayPicture::Animate)
                   : m_animation.isActive() ? duvanto::TrayIcon(TrayPicture::Normal)
                                            : duvanto::TrayIcon(PictureOf(m_icon)));
}

void SystemTray::PrepareMenu() {
    UpdateMenuStates(&m_menu, m_registry);
    const TrayMenuState state = m_menuState ? m_menuState() : TrayMenuState{};
    m_menu.setDefaultAction(FindCommandAction(&m_menu, QString::fromStdString(state.defaultItem)));
}

}  // namespace duvanto
