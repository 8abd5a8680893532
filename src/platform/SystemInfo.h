// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the machine the program runs on is, as a user would quote it in a question for help.

#include <string>

namespace duvanto {

struct SystemDescription {
    std::string operatingSystem;  // "Debian GNU/Linux 12 (bookworm)"
    std::string kernel;           // "Linux 6.1.0-18-amd64"
    std::string architecture;     // "x86_64"
    std::string desktop;          // $XDG_CURRENT_DESKTOP ("GNOME", "KDE")
    std::string sessionType;      // $XDG_SESSION_TYPE ("x11", "wayland")
};

// Reads /etc/os-release (else /usr/lib/os-release), uname(2) and the session's environment.
// What cannot be read stays empty.
SystemDescription DescribeSystem();

// The name an os-release text gives the system: PRETTY_NAME, else NAME and VERSION; quotes and
// their backslash escapes undone. Empty when the text names none.
std::string OperatingSystemName(const std::string& osReleaseText);

}  // namespace duvanto
