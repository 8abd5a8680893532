// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A desktop notification through the freedesktop notification service on the session bus.
// Where the desktop has none (or no session bus), nothing is shown.

#include <QString>

namespace duvanto {

// True when the notification service took the message.
bool NotifyDesktop(const QString& summary, const QString& body);

}  // namespace duvanto
