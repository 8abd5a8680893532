#pragma once
// What the runner's commands share: the exit codes, the process-wide objects of one command,
// and the turning of command-line paths into the forms the core stores.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/TerminalPrompt.h"
#include "platform/InstanceLock.h"
#include "platform/PosixFileSystem.h"
#include "platform/Priority.h"
#include "settings/ProgramOptions.h"
#include "tasks/Application.h"
#include "util/Clock.h"

namespace duvanto {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRunError = 1;
inline constexpr int kExitUsage = 2;

// The process-wide objects one command works with, built in their start-up order.
struct Session {
    Session(const std::string& appPath, CliStreams streams)
        : prompt(streams.in, streams.out, streams.err, streams.interactive),
          app(appPath, clock, prompt, fileSystem) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Reads duvanto.ini into the application's objects (a first run's values when there is no
    // file; nothing is written) and lets every task run apply the priority rules to its thread.
    void ReadProgramOptions();
    // After ReadProgramOptions: true when the file was read to its end. Otherwise names the
    // file, line and key where the reading stopped; with refuse, says that nothing is done,
    // since the options after that key kept their first-run values (a Trash or keep setting
    // among them) and a run would act on those.
    bool OptionsReadWhole(std::ostream& err, bool refuse) const;

    SystemClock clock;
    TerminalPrompt prompt;
    PosixFileSystem fileSystem;
    Application app;
    std::optional<ProgramOptions> options;
    ThreadPriority priority;
};

// The program folder --home names (made when create is set), or nothing with the reason on err.
std::optional<std::string> ProgramFolder(const std::string& home, bool create, std::ostream& err);
// The program folder's one-instance lock, or nothing with the reason on err: a command that
// fills Targets or writes the task list must not run beside another instance of the program.
std::optional<InstanceLock> LockProgramFolder(const std::string& appPath, std::ostream& err);

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
