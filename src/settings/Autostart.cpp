#include "settings/Autostart.h"

#include <cerrno>
#include <string_view>
#include <utility>

#include "platform/FileSystemQueries.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

// The registry's failure for an errno value. An access refusal carries no system code, so the
// reporter shows its registry text; other failures keep the errno so that the user sees why.
RuntimeError RegistryError(const Status& failure, const char* description) {
    if (failure.IsAccessDenied()) {
        return RuntimeError(kRegistryErrorNumber, "Access to Registry Denied.", 0);
    }
    if (failure.code() == ENOMEM) {
        return RuntimeError(kRegistryErrorNumber, "Out of memory.", failure.code());
    }
    return RuntimeError(kRegistryErrorNumber, description, failure.code());
}

}  // namespace

std::string DesktopExecValue(const std::string& executablePath) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quoted = executablePath.find_first_of(kReserved) != std::string::npos;
    std::string argument = quoted ? "\"" : "";
    for (char c : executablePath) {
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            argument += '\\';
        }
        argument += c;
        if (c == '%') {
            argument += '%';
        }
    }
    if (quoted) {
        argument += '"';
    }
    // The string escapes apply before the quoting rule is read, so they are added last.
    std::string value;
    for (char c : argument) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

std::string DesktopEntryText(const std::string& executablePath) {
    return "[Desktop Entry]\nType=Application\nName=Duvanto\nExec=" +
           DesktopExecValue(executablePath) + "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
}

cStartupEntries::cStartupEntries(AutostartFolders folders, ErrorReporter& reporter)
    : m_folders(std::move(folders)), m_reporter(reporter) {}

std::string cStartupEntries::EntryPath(int32_t scope) const {
    const std::string& folder = scope == AllUsersScope ? m_folders.allUsers : m_folders.currentUser;
    return folder.empty() ? std::string() : folder + kAutostartEntryName;
}

void cStartupEntries::ShowatStartup(const std::string& executablePath, int32_t scope) {
    try {
        if ((scope != AllUsersScope && scope != CurrentUserScope) || executablePath.empty() ||
            executablePath[0] != '/') {
            throw RuntimeError(5, "Invalid procedure call or argument");
        }
        const std::string& folder =
            scope == AllUsersScope ? m_folders.allUsers : m_folders.currentUser;
        if (folder.empty()) {
            throw RuntimeError(kRegistryErrorNumber, "Cannot Open Key.", ENOENT);
        }
        if (const Status made = CreateFolderPath(folder); !made.ok()) {
            throw RegistryError(made, "Cannot Open Key.");
        }
        if (const Status written =
                WriteFileAtomically(EntryPath(scope), DesktopEntryText(executablePath));
            !written.ok()) {
            throw RegistryError(written, "Cannot Write Key.");
        }
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.ShowatStartup");
    }
}

void cStartupEntries::DontShowAtStartup() {
    try {
        // Every file failure here is a registry error of the old accessor, and those are
        // never reported: a missing entry is the usual case.
        for (const int32_t scope : {AllUsersScope, CurrentUserScope}) {
            if (const std::string path = EntryPath(scope); !path.empty()) {
                (void)RemoveFile(path);
            }
        }
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.DontShowAtStartup");
    }
}

bool ChooseRunOnStartup(RunOnStartupChoice& current, RunOnStartupChoice chosen,
                        cStartupEntries& entries, const std::string& executablePath) {
    if (chosen == current || chosen == RunOnStartupChoice::None) {
        return false;
    }
    current = chosen;
    entries.DontShowAtStartup();
    if (chosen == RunOnStartupChoice::AllUsers) {
        entries.ShowatStartup(executablePath, AllUsersScope);
    } else if (chosen == RunOnStartupChoice::CurrentUser) {
        entries.ShowatStartup(executablePath, CurrentUserScope);
    }
    return true;
}

}  // namespace duvanto
