// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtDesktopNotification.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace duvanto {

namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr int kShowMilliseconds = 10000;

}  // namespace

bool NotifyDesktop(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(QString::fromLatin1(kService)).value()) {
        return false;
    }
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QStringLiteral("/org/freedesktop/Notifications"),
        QString::fromLatin1(kService), QStringLiteral("Notify"));
    // Application, replaces, icon, summary, body, actions, hints, timeout.
    notify << QStringLiteral("Duvanto") << 0U << QStringLiteral("dialog-warning") << summary << body
           << QStringList() << QVariantMap() << kShowMilliseconds;
    // Not waited for: a slow notification service must not hold the window up.
    return bus.send(notify);
}

}  // namespace duvanto
