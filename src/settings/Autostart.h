#pragma once
// Run at start-up: one desktop entry per scope in the XDG autostart folders, which stand in
// for the registry's two Run keys. Failures speak the registry accessor's language, so that a
// refused all-users folder reads "Access to Registry Denied." as it always has.

#include <cstdint>
#include <string>

#include "platform/Autostart.h"
#include "settings/ProgramOptions.h"
#include "util/ErrorReporter.h"

namespace duvanto {

inline constexpr char kAutostartEntryName[] = "duvanto.desktop";
// The error number of a failed registry call.
inline constexpr long kRegistryErrorNumber = -2147221248;  // 0x80040100

enum StartupScope : int32_t { AllUsersScope = 0, CurrentUserScope = 1 };

// The program path as a desktop entry's Exec value: quoted when it holds a reserved character,
// with the escapes of the desktop-entry format ("%" doubled, backslashes for the quoting rule
// and again for the string rule).
std::string DesktopExecValue(const std::string& executablePath);
// The whole entry, LF-ended as the desktop-entry format expects.
std::string DesktopEntryText(const std::string& executablePath);

class cStartupEntries {
public:
    // Folders end in "/"; tests hand in their own.
    cStartupEntries(AutostartFolders folders, ErrorReporter& reporter);

    std::string EntryPath(int32_t scope) const;

    // Writes the entry of the scope (0 all users, 1 current user) for the executable, which
    // must be an absolute path; the folder is created when missing. Any failure is reported
    // under "modDuvanto.ShowatStartup" and nothing is undone; a refused folder is the
    // registry's "Access to Registry Denied.".
    void ShowatStartup(const std::string& executablePath, int32_t scope);
    // Removes the entry of both scopes, all users first, each whatever became of the other.
    // A missing or refused entry is silent; only an unexpected failure is reported, under
    // "modDuvanto.DontShowAtStartup".
    void DontShowAtStartup();

private:
    AutostartFolders m_folders;
    ErrorReporter& m_reporter;
};

// The three "Run on Windows Startup" menu commands. When `chosen` is not already the current
// choice: it becomes the choice, every entry is removed, and the entry of the chosen scope is
// written (none for NoRun). False, with nothing done, when it was already chosen or is None.
bool ChooseRunOnStartup(RunOnStartupChoice& current, RunOnStartupChoice chosen,
                        cStartupEntries& entries, const std::string& executablePath);

}  // namespace duvanto
