// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tray reminder (frmSysTrayReminder), shown when the main window goes to the tray while the
// reminder option is on: how to leave the program, and a box that keeps or stops the reminder.

#include <string>

namespace duvanto {

class SysTrayReminderController {
public:
    static constexpr const char* kCaption = "Close Duvanto";
    static constexpr const char* kMessage =
        "To exit the program, right-click on the icon in the system tray and select 'Shut Down "
        "Duvanto' from the menu.";
    static constexpr const char* kRemindBox = "&Continue to remind me";

    // `sysTrayReminder` is the owner's option (the options' SysTrayReminder); it must outlive
    // the window. The box starts as the option stands.
    explicit SysTrayReminderController(bool& sysTrayReminder)
        : m_option(sysTrayReminder), m_remind(sysTrayReminder) {}

    bool RemindChecked() const { return m_remind; }
    void RemindClicked(bool checked) { m_remind = checked; }
    // However the window closes, the option becomes the box's state; the options file keeps it
    // when the options are saved.
    void Closed() { m_option = m_remind; }

private:
    bool& m_option;
    bool m_remind;
};

}  // namespace duvanto
