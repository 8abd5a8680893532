// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Autostart.h"

#include <cerrno>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/FileSystem.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

// One argument under the quoting rule of the Exec key: quoted when it holds a reserved
// character, "%" doubled whatever the quoting.
std::string QuotedArgument(const std::string& argument) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quoted = argument.find_first_of(kReserved) != std::string::npos;
    std::string text = quoted ? "\"" : "";
    for (char c : argument) {
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            text += '\\';
        }
        text += c;
        if (c == '%') {
            text += '%';
        }
    }
    if (quoted) {
        text += '"';
    }
    return text;
}

// The string escapes apply before the quoting rule is read, so they are added last.
std::string EscapedString(const std::string& text) {
    std::string value;
    for (char c : text) {
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

// The value of `key` in the entry's main group; nothing when the key is not there.
std::optional<std::string> EntryValue(const std::string& entry, std::string_view key) {
    bool inMainGroup = false;
    std::size_t from = 0;
    while (from < entry.size()) {
        std::size_t end = entry.find('\n', from);
        if (end == std::string::npos) {
            end = entry.size();
        }
        std::string_view line(entry.data() + from, end - from);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        from = end + 1;
        if (line.starts_with('[')) {
            inMainGroup = line == "[Desktop Entry]";
        } else if (inMainGroup && line.starts_with(key) && line.size() > key.size() &&
                   line[key.size()] == '=') {
            return std::string(line.substr(key.size() + 1));
        }
    }
    return std::nullopt;
}

}  // namespace

std::string DesktopExecValue(const std::string& executablePath) {
    return EscapedString(QuotedArgument(executablePath));
}

std::string DesktopExecValue(const StartupCommand& command) {
    std::string arguments = QuotedArgument(command.executablePath);
    if (!command.programFolder.empty()) {
        arguments += " --home " + QuotedArgument(command.programFolder);
    }
    return EscapedString(arguments);
}

std::string DesktopEntryText(const StartupCommand& command) {
    return "[Desktop Entry]\nType=Application\nName=Duvanto\nExec=" + DesktopExecValue(command) +
           "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
}

RunOnStartupChoice ChoiceOf(const StartupState& state) {
    return state.currentUser ? RunOnStartupChoice::CurrentUser
           : state.allUsers  ? RunOnStartupChoice::AllUsers
                             : RunOnStartupChoice::NoRun;
}

cStartupEntries::cStartupEntries(AutostartFolders folders, ErrorReporter& reporter,
                                 IFileSystem& fileSystem)
    : m_folders(std::move(folders)), m_reporter(reporter), m_fs(fileSystem) {}

std::string cStartupEntries::EntryPath(int32_t scope) const {
    const std::string& folder = scope == AllUsersScope ? m_folders.allUsers : m_folders.currentUser;
    return folder.empty() ? std::string() : folder + kAutostartEntryName;
}

StartupState cStartupEntries::Current(const StartupCommand& command) const {
    const std::string exec = DesktopExecValue(command);
    const auto starts = [&](int32_t scope) {
        const std::string path = EntryPath(scope);
        if (path.empty()) {
            return false;
        }
        const Result<std::string> entry = m_fs.ReadWholeFile(path);
        return entry.ok() && EntryValue(entry.value(), "Exec") == exec &&
               EntryValue(entry.value(), "Hidden") != "true" &&
               EntryValue(entry.value(), "X-GNOME-Autostart-enabled") != "false";
    };
    return {starts(CurrentUserScope), starts(AllUsersScope)};
}

Status cStartupEntries::ShowatStartup(const StartupCommand& command, int32_t scope) {
    try {
        if ((scope != AllUsersScope && scope != CurrentUserScope) ||
            !command.executablePath.starts_with('/')) {
            throw RuntimeError(5, "Invalid procedure call or argument");
        }
        const std::string& folder =
            scope == AllUsersScope ? m_folders.allUsers : m_folders.currentUser;
        if (folder.empty()) {
            return Status::Failure(ENOENT, "No autostart folder is known (HOME is not set).");
        }
        if (Status made = CreateFolderPath(m_fs, folder); !made.ok()) {
            return made;
        }
        return m_fs.WriteFileAtomically(EntryPath(scope), DesktopEntryText(command));
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.ShowatStartup");
        return Status::Failure(EIO, "Unexpected error");
    }
}

Status cStartupEntries::DontShowAtStartup(int32_t scope) {
    try {
        const std::string path = EntryPath(scope);
        if (path.empty()) {
            return Status::Ok();
        }
        Status removed = m_fs.RemoveProgramFile(path);
        return removed.ok() || removed.IsNotFound() ? Status::Ok() : removed;
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.DontShowAtStartup");
        return Status::Failure(EIO, "Unexpected error");
    }
}

RunAtLoginChange ChooseRunOnStartup(RunOnStartupChoice chosen, cStartupEntries& entries,
                                    const StartupCommand& command) {
    RunAtLoginChange change;
    const StartupState now = entries.Current(command);
    const StartupState wanted{chosen == RunOnStartupChoice::CurrentUser,
                              chosen == RunOnStartupChoice::AllUsers};
    if (chosen == RunOnStartupChoice::None || now == wanted) {
        return change;
    }
    change.acted = true;
    for (const int32_t scope : {AllUsersScope, CurrentUserScope}) {
        if ((scope == AllUsersScope ? wanted.allUsers : wanted.currentUser)) {
            change.writeFailure = entries.ShowatStartup(command, scope);
            if (!change.writeFailure.ok()) {
                change.failedScope = scope;
                return change;
            }
        }
    }
    for (const int32_t scope : {AllUsersScope, CurrentUserScope}) {
        if (!(scope == AllUsersScope ? wanted.allUsers : wanted.currentUser)) {
            Status removed = entries.DontShowAtStartup(scope);
            if (!removed.ok() && change.keptScope < 0) {
                change.keptScope = scope;
                change.removeFailure = std::move(removed);
            }
        }
    }
    return change;
}

}  // namespace duvanto
