// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the desktop looks for programs to start when a user logs on (the XDG autostart
// folders): the stand-in for the two Run keys of the registry.

#include <string>

namespace duvanto {

struct AutostartFolders {
    std::string currentUser;  // each ends in "/"; "" when unknown
    std::string allUsers;
};

// $XDG_CONFIG_HOME/autostart/ (when absolute; else ~/.config/autostart/) and
// /etc/xdg/autostart/.
AutostartFolders SystemAutostartFolders();

}  // namespace duvanto
