// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop program from start to end: the program folder (--home DIR, else DUVANTO_HOME,
// as the command-line runner finds it), one running instance per folder, the process-wide
// objects in their order, the options, the main window's load, the session's end (the session
// manager, SIGTERM, SIGHUP) and the unload.

namespace duvanto {

int RunDesktopProgram(int argc, char** argv);

}  // namespace duvanto
