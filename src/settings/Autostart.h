// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Run at login: one desktop entry per scope in the XDG autostart folders, which stand in for
// the registry's two Run keys. What the menu shows is read from the entries themselves, never
// from a remembered choice: an entry that is not there, or that starts another program or
// program folder, does not start this one.

#include <cstdint>
#include <string>

#include "platform/Autostart.h"
#include "platform/Status.h"
#include "settings/ProgramOptions.h"
#include "util/ErrorReporter.h"

namespace duvanto {

inline constexpr char kAutostartEntryName[] = "duvanto.desktop";

enum StartupScope : int32_t { AllUsersScope = 0, CurrentUserScope = 1 };

// What an entry starts: the executable (an absolute path) and, when the program folder is not
// the one the program finds by itself, that folder, handed over as "--home FOLDER".
struct StartupCommand {
    std::string executablePath;
    std::string programFolder;  // "" for the default folder
};

// The program path as a desktop entry's Exec value: quoted when it holds a reserved character,
// with the escapes of the desktop-entry format ("%" doubled, backslashes for the quoting rule
// and again for the string rule).
std::string DesktopExecValue(const std::string& executablePath);
// The same for the whole command, "--home" and its folder quoted the same way.
std::string DesktopExecValue(const StartupCommand& command);
// The whole entry, LF-ended as the desktop-entry format expects.
std::string DesktopEntryText(const StartupCommand& command);

// Which scopes hold an entry that starts this program.
struct StartupState {
    bool currentUser = false;
    bool allUsers = false;

    bool operator==(const StartupState&) const = default;
};

// The options file's RunOnWindowsStartup value for what the entries do: the user's own entry
// first, since it is the one that runs for this user.
RunOnStartupChoice ChoiceOf(const StartupState& state);

class cStartupEntries {
public:
    // Folders end in "/"; tests hand in their own. The entries are read and written through
    // fileSystem.
    cStartupEntries(AutostartFolders folders, ErrorReporter& reporter, IFileSystem& fileSystem);

    std::string EntryPath(int32_t scope) const;

    // Which entries start the command now: each that exists, holds the Exec value the command
    // would be written with, and is neither hidden nor disabled.
    StartupState Current(const StartupCommand& command) const;

    // Writes the entry of the scope (0 all users, 1 current user) for the command, replacing
    // the old one only once the new one is whole; the folder is created when missing. The
    // Status says why it could not be written. An unexpected failure is reported under
    // "modDuvanto.ShowatStartup" and gives a failure too.
    Status ShowatStartup(const StartupCommand& command, int32_t scope);
    // Removes the entry of the scope; one that is not there is no failure. An unexpected
    // failure is reported under "modDuvanto.DontShowAtStartup".
    Status DontShowAtStartup(int32_t scope);

private:
    AutostartFolders m_folders;
    ErrorReporter& m_reporter;
    IFileSystem& m_fs;
};

// What a choice did.
struct RunAtLoginChange {
    bool acted = false;  // false: the entries already were as chosen, or the choice was None
    // The chosen scope's entry could not be written: nothing was changed.
    int32_t failedScope = -1;
    Status writeFailure;
    // An entry of the other scope stays because it could not be removed.
    int32_t keptScope = -1;
    Status removeFailure;
};

// The three "Run at Login" menu commands. Unless the entries already are as chosen, the entry
// of the chosen scope is written first and only then the other scope's is removed (NoRun
// removes both), so that a choice that cannot be written leaves the working entry in place.
RunAtLoginChange ChooseRunOnStartup(RunOnStartupChoice chosen, cStartupEntries& entries,
                                    const StartupCommand& command);

}  // namespace duvanto
