// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program is and where it keeps its files.

#include <string>

#include "platform/Status.h"

namespace duvanto {

// The folder with every link resolved, ending in "/"; "" when it cannot be resolved.
std::string ResolvedFolderPath(const std::string& folder);

// The working folder, ending in "/".
std::string CurrentWorkingFolder();

// The folder of the running executable, ending in "/"; "" when unknown.
std::string ExecutableFolder();

// The running executable's absolute path; "" when unknown.
std::string ExecutablePath();

// The program folder: homeOption when given, else $DUVANTO_HOME, else the executable's folder
// when it holds "duvanto.ini" (a portable install), else $XDG_CONFIG_HOME/duvanto/ (default
// ~/.config/duvanto/). Made absolute and ending in "/"; created when missing if `create`.
Result<std::string> ResolveAppPath(const std::string& homeOption, bool create = true);

// The folder a program started at login must be told with --home: appPath, unless it is the
// folder that a start without --home and without $DUVANTO_HOME finds by itself (links
// resolved), when it is "".
std::string LoginHomeArgument(const std::string& appPath);

}  // namespace duvanto
