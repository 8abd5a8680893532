// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Autostart.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace duvanto {

namespace {

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

// $HOME, or the password database's home when it is unset (as under some service managers).
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return WithSlash(home);
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/'
               ? WithSlash(entry->pw_dir)
               : std::string();
}

}  // namespace

AutostartFolders SystemAutostartFolders() {
    AutostartFolders folders;
    // The base directory rules say a relative XDG_CONFIG_HOME is to be ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        folders.currentUser = WithSlash(config) + "autostart/";
    } else if (std::string home = HomeFolder(); !home.empty()) {
        folders.currentUser = home + ".config/autostart/";
    }
    folders.allUsers = "/etc/xdg/autostart/";
    return folders;
}

}  // namespace duvanto
