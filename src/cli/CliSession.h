// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the runner's commands share: the exit codes, one command's session (the program's
// start-up as both programs make it, with the runner's words for whatever fails), and the
// turning of command-line paths into the forms the core stores.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/TerminalPrompt.h"
#include "cli/TerminalTaskRun.h"
#include "session/Session.h"

namespace duvanto {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRunError = 1;
inline constexpr int kExitUsage = 2;

// One command's prompt on the terminal and the program's session behind it.
class CliSession {
public:
    CliSession(const std::string& appPath, CliStreams streams);
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // The program folder's one-instance lock, or false with the reason on the error stream: a
    // command that fills Targets or writes the task list must not run beside another instance
    // of the program.
    bool Lock();
    // Reads duvanto.ini. False when it was not read to its end and refuse is set: the options
    // after the key where the reading stopped kept their first-run values (a Trash or keep
    // setting among them) and a run would act on those. Either way a partial read is named
    // (file, line and key) on the error stream.
    bool ReadOptions(bool refuse);
    // The list that --task-list names (empty: the options' list) read, what it could not take
    // told; a missing file is created when createWhenMissing is set. False when the file could
    // not be read at all.
    bool OpenTaskList(const std::string& taskList, bool createWhenMissing);

    // The task of exactly that name (letter case aside), or nullptr after saying that the list
    // has none.
    const cCloneTask* FindTask(const std::string& name);
    std::string NoSuchTask(const std::string& name) const;
    // Shows the messages in their order.
    void Show(const std::vector<TaskMessage>& messages);
    // A front for blocking runs on this terminal; printOutcome: the status line after a task.
    TerminalRunFront RunFront(bool quiet, bool printOutcome = true);

    CliStreams streams;
    TerminalPrompt prompt;
    Session session;
    Application& app;

private:
    // After each save: names the backup of lines that could not be read, the first time one
    // is made.
    void TellBackup();

    bool m_backupTold = false;
};

// The program folder --home names (made when create is set), or nothing with the reason on err.
std::optional<std::string> ProgramFolder(const std::string& home, bool create, std::ostream& err);

// Made absolute against the working folder, normalised, ending in "/".
std::string AbsoluteFolder(const std::string& path);
// Made absolute against the working folder; a file path keeps its last component.
std::string AbsolutePath(const std::string& path);

std::string Join(const std::vector<std::string>& pieces, const std::string& separator);

// The selected items as the engine reads them: full paths under the Source, folders ending
// in "/" (a folder named without its "/" is taken as the folder it names). Each stays one item,
// whatever its name holds.
std::vector<std::string> SelectedSpecs(const std::vector<std::string>& selected,
                                       const std::string& source);

}  // namespace duvanto
