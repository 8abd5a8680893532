// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Time fields in the user's form: the locale whose dates the task list shows (the C library's
// LC_TIME) writes the hours and minutes, so a 24-hour locale gets 24-hour fields.

#include <QLocale>
#include <QTimeEdit>

namespace duvanto {

// The LC_TIME locale as Qt knows it; in the C and POSIX locales US English, whose form the
// lists show there too.
QLocale TimeFieldLocale();

// Shows and reads the field's hours and minutes in TimeFieldLocale's short time form.
void UseLocaleTimeForm(QTimeEdit* field);

}  // namespace duvanto
