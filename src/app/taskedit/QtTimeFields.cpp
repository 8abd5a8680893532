// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/QtTimeFields.h"

#include <clocale>

namespace duvanto {

QLocale TimeFieldLocale() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    const QLocale locale(QString::fromLatin1(name != nullptr ? name : "C"));
    // Qt's C locale writes a 24-hour time with seconds, which is no one's form; the lists'
    // dates in the C locale are US English, and so are the fields.
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : locale;
}

void UseLocaleTimeForm(QTimeEdit* field) {
    const QLocale locale = TimeFieldLocale();
    field->setLocale(locale);
    field->setDisplayFormat(locale.timeFormat(QLocale::ShortFormat));
}

}  // namespace duvanto
