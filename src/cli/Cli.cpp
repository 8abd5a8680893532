// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cerrno>
#include <map>
#include <optional>

#include "cli/CliSession.h"
#include "cli/PlanCommands.h"
#include "cli/TaskCommands.h"
#include "cli/TerminalPrompt.h"
#include "cli/TerminalStatusHost.h"
#include "cli/TerminalTaskRun.h"
#include "engine/Clone.h"
#include "engine/EngineOptions.h"
#include "engine/FolderCheck.h"
#include "log/CloneLog.h"
#include "platform/FileSystem.h"
#include "platform/FileSystemQueries.h"
#include "platform/PosixFileSystem.h"
#include "platform/Terminal.h"
#include "session/RunQueue.h"
#include "tasks/TaskProperties.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

// Engine options given on the command line; each overrides the program option for one call.
struct EngineOptions {
    // By the place of the option in kEngineOptions: the value its flag gave.
    std::array<std::optional<int32_t>, std::size(kEngineOptions)> given;
    bool noSubfolders = false;
    std::vector<std::string> selected;
    std::vector<std::string> masks;

    bool SelectedItemsRun() const { return !selected.empty() || !masks.empty(); }
};

void AddSwitch(CLI::App* command, const EngineOption& option, std::optional<int32_t>& target) {
    const std::string name = option.flag.name;
    command->add_flag_callback(
        "--" + name, [&target] { target = 1; }, option.flag.help);
    command->add_flag_callback("--no-" + name, [&target] { target = 0; });
}

void AddChoice(CLI::App* command, const EngineOption& option, std::optional<int32_t>& target) {
    std::map<std::string, int32_t> choices;
    for (const EngineOptionChoice& choice : option.choices) {
        choices.emplace(choice.word, choice.value);
    }
    std::string names;
    for (const auto& choice : choices) {
        names += (names.empty() ? "" : "|") + choice.first;
    }
    command
        ->add_option_function<std::string>(
            std::string("--") + option.flag.name,
            [&target, choices](const std::string& value) { target = choices.at(value); },
            std::string(option.flag.help) + " (" + names + ")")
        ->check(CLI::IsMember(choices));
}

void AddEngineOptions(CLI::App* command, EngineOptions& options) {
    for (const EngineOption& option : kEngineOptions) {
        std::optional<int32_t>& target = options.given[static_cast<std::size_t>(option.id)];
        if (option.flag.name == nullptr) {
            continue;
        }
        if (option.kind == EngineOptionKind::Switch) {
            AddSwitch(command, option, target);
        } else {
            AddChoice(command, option, target);
        }
    }
    command->add_flag("--no-subfolders", options.noSubfolders, "leave subfolders out");
    // One value per occurrence, so that a PATH is never taken for SOURCE or TARGET.
    command
        ->add_option("--select", options.selected,
                     "a file or folder (ending in '/') under SOURCE to clone; repeatable")
        ->allow_extra_args(false);
    command->add_option("--mask", options.masks, "a file mask to include; repeatable")
        ->allow_extra_args(false);
}

void ApplyEngineOptions(const EngineOptions& options, CloneSettings& settings) {
    for (const EngineOption& option : kEngineOptions) {
        if (const std::optional<int32_t>& given =
                options.given[static_cast<std::size_t>(option.id)]) {
            SetEngineOptionValue(settings, option.id, *given);
        }
    }
}

// Checks one folder argument; prints the reason and returns false when it is not usable.
bool CheckFolder(const std::string& folder, std::ostream& err) {
    int32_t errorCode = 0;
    PathStatus status = GetPathStatus(folder, errorCode);
    if (status == PathOk) {
        return true;
    }
    std::string message = GetInvalidPathErrorMsg(status, folder, errorCode);
    err << ReplaceString(message, "\r\n", "\n") << "\n";
    return false;
}

struct FolderPairArgs {
    std::string source;
    std::string target;
};

struct CloneArgs {
    std::string name = "Command Line Clone";
    bool confirm = false;
    bool quiet = false;
    bool allowMassDelete = false;
};

struct PlanArgs {
    bool explain = false;
    std::string save;  // the plan file to write; empty for none
};

// A Target that does not exist yet is made, as rsync makes it, when its parent folder is there
// and it lies apart from the Source; a path on a drive that is not mounted (status 3) is never
// made, or an unplugged disk's mount point would fill up the disk under it. False when it was
// to be made and could not be (told).
bool MakeMissingTarget(IFileSystem& fs, const std::string& source, const std::string& target,
                       bool quiet, std::ostream& err) {
    int32_t errorCode = 0;
    if (GetPathStatus(target, errorCode) != PathFolderMissing ||
        GetPathStatus(FolderPartOf(target.substr(0, target.size() - 1)), errorCode) != PathOk) {
        return true;  // the folder check tells what is wrong
    }
    if (std::string apart = CheckTargetApartFromSource(source, target); !apart.empty()) {
        err << apart << "\n";
        return false;
    }
    // As any folder a run creates: the Source's bits (and owner, as root), so that a private
    // Source does not get a copy every user can read.
    Status made = fs.MakeDirectoryLike(target, source, true);
    if (!made.ok() && !FolderExists(target)) {
        err << "duvanto-cli: " << target << ": " << made.message() << "\n";
        return false;
    }
    if (!quiet) {
        err << "duvanto-cli: created the Target folder " << target << "\n";
    }
    return true;
}

// The two folders made absolute and checked (for clone, a missing Target made first). Nothing
// is touched when they fail.
bool PrepareFolders(IFileSystem& fs, const FolderPairArgs& pair, const CloneArgs* clone,
                    std::string& source, std::string& target, std::ostream& err) {
    source = AbsoluteFolder(pair.source);
    target = AbsoluteFolder(pair.target);
    if (!CheckFolder(source, err) ||
        (clone != nullptr && !MakeMissingTarget(fs, source, target, clone->quiet, err)) ||
        !CheckFolder(target, err)) {
        return false;
    }
    if (std::string apart = CheckSourceTargetApart(source, target); !apart.empty()) {
        err << apart << "\n";
        return false;
    }
    return true;
}

// The session of plan and clone (clone given): the program folder (created for clone), the
// options file read whole and the lock taken (for clone), the two folders checked and the
// command's engine options laid over the options. Nothing when any of that fails, told on the
// error stream.
bool OpenFolderPairSession(const std::string& home, const CloneArgs* clone,
                           const FolderPairArgs& pair, const EngineOptions& options,
                           CliStreams streams, std::optional<CliSession>& session,
                           std::string& source, std::string& target) {
    const std::optional<std::string> appPath = ProgramFolder(home, clone != nullptr, streams.err);
    if (!appPath) {
        return false;
    }
    session.emplace(*appPath, streams);
    // Like `run`, one instance at a time fills a program folder's Targets, or one would take the
    // other's temporary files for strays. The lock comes before a missing Target is made, so that
    // a clone refused for another instance leaves no new folder behind.
    if (!session->ReadOptions(clone != nullptr) || (clone != nullptr && !session->Lock()) ||
        !PrepareFolders(session->app.FileSystem, pair, clone, source, target, streams.err)) {
        session.reset();
        return false;
    }
    ApplyEngineOptions(options, session->app.Settings);
    return true;
}

// Plans the operations that would make one Target identical to its Source.
StepResult PlanEngine(cClone& clone, IStatusHost& host, const std::string& source,
                      const std::string& target, const EngineOptions& options) {
    const bool subfolders = !options.noSubfolders;
    if (!options.SelectedItemsRun()) {
        return clone.PlanAll(host, source, target, subfolders);
    }
    return clone.PlanSelected(host, source, target, subfolders,
                              SelectedSpecs(options.selected, source), Join(options.masks, ","));
}

// What plan and clone both take: the two folders and the engine options.
void AddFolderPairArguments(CLI::App* command, FolderPairArgs& pair, EngineOptions& options) {
    command->add_option("SOURCE", pair.source, "the Source folder")->required();
    command->add_option("TARGET", pair.target, "the Target folder")->required();
    AddEngineOptions(command, options);
}

int RunPlan(const std::string& home, const FolderPairArgs& pair, const EngineOptions& options,
            const PlanArgs& args, CliStreams streams) {
    std::string source, target;
    std::optional<CliSession> opened;
    if (!OpenFolderPairSession(home, nullptr, pair, options, streams, opened, source, target)) {
        return kExitUsage;
    }
    CliSession& session = *opened;
    // A dry run keeps no log: its entries go to the error stream as they are made.
    session.app.CloneLog.SetEntrySink([&streams](const std::string& line) { streams.err << line; });
    SilentStatusHost host;
    Application& app = session.app;
    cClone clone(app.Settings, app.CloneLog, app.FileSystem, app.Flags, app.Reporter);
    clone.StampAllEntries = !args.save.empty();
    const StepResult planned = PlanEngine(clone, host, source, target, options);
    streams.out << PlanListing(clone.Plan(), args.explain) << std::flush;
    if (!args.save.empty() &&
        !SavePlanFile(app.FileSystem, args.save, clone.Plan(), app.Settings, streams.err)) {
        return kExitRunError;
    }
    return planned == StepResult::Ok ? kExitOk : kExitRunError;
}

int RunClone(const std::string& home, const FolderPairArgs& pair, const EngineOptions& options,
             const CloneArgs& args, CliStreams streams) {
    std::string source, target;
    std::optional<CliSession> opened;
    if (!OpenFolderPairSession(home, &args, pair, options, streams, opened, source, target)) {
        return kExitUsage;
    }
    Application& app = opened->app;
    app.Settings.ConfirmSyncActions = args.confirm;

    // The two folders as an unsaved task of the given name.
    cCloneTask task;
    task.TaskName = args.name;
    task.SourceFolderSpec = source;
    task.TargetFolderSpec = target;
    task.IncludeSubFolders = !options.noSubfolders;
    if (options.SelectedItemsRun()) {
        task.AllFilesAndFolders(false);
        task.IncludeFileSpecs = SelectedSpecs(options.selected, source);
        task.IncludeFileMasks = Join(options.masks, ",");
    }

    // The task is listed nowhere: its outcome goes to no list.
    TerminalRunFront front(streams, app.Flags, args.quiet, false);
    front.AllowMassDelete(args.allowMassDelete);
    const BlockingRun run = opened->session.Runs().RunUnlisted(task, front);
    // An unexpected failure (a log that could not be written, say) fails the run as well.
    return run.Failed || app.Flags.SessionEnding ? kExitRunError : kExitOk;
}

int RunOptions(const std::string& home, CliStreams streams) {
    const std::optional<std::string> appPath = ProgramFolder(home, false, streams.err);
    if (!appPath) {
        return kExitUsage;
    }
    CliSession session(*appPath, streams);
    session.ReadOptions(false);
    streams.out << ReplaceString(session.session.Options().RenderSavedText(), "\r\n", "\n")
                << std::flush;
    return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliStreams streams) {
    CLI::App app{"Duvanto keeps folders identical.", "duvanto-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("duvanto-cli ") + DUVANTO_VERSION);
    std::string home;
    CLI::Option* homeOption =
        app.add_option("--home", home, "the program folder (options, task lists, clone.log)");

    FolderPairArgs pair;
    EngineOptions engineOptions;
    CLI::App* plan = app.add_subcommand(
        "plan", "print the operations that would make TARGET identical to SOURCE; change nothing");
    AddFolderPairArguments(plan, pair, engineOptions);
    PlanArgs planArgs;
    plan->add_flag("--explain", planArgs.explain, "say under each operation why it is planned");
    plan->add_option("--save", planArgs.save,
                     "also write the plan to FILE, for 'apply' to carry out later");

    CloneArgs cloneArgs;
    CLI::App* clone = app.add_subcommand(
        "clone", "make TARGET identical to SOURCE and write the run to clone.log");
    AddFolderPairArguments(clone, pair, engineOptions);
    clone->add_option("--name", cloneArgs.name, "the task name in the log");
    clone->add_flag("--confirm", cloneArgs.confirm,
                    "list the operations and ask which to strike out first");
    clone->add_flag("--quiet", cloneArgs.quiet, "no progress line");
    clone->add_flag("--allow-mass-delete", cloneArgs.allowMassDelete,
                    "clone even when the run would delete most of the Target");

    ApplyArgs applyArgs;
    CLI::App* apply = AddApplyCommand(app, applyArgs);

    CLI::App* options = app.add_subcommand(
        "options", "print the program options as duvanto.ini would hold them after a save");

    TaskCommandArgs taskArgs;
    const TaskCommands taskCommands = AddTaskCommands(app, taskArgs);

    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        streams.out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        streams.out << e.what() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        std::string message = e.what();
        streams.err << "duvanto-cli: " << message << "\n"
                    << "Run 'duvanto-cli --help' for usage.\n";
        return kExitUsage;
    }

    // An empty --home is a mistake (an unset variable in a script), not a wish for the default.
    if (homeOption->count() > 0 && Trim(home).empty()) {
        streams.err << "duvanto-cli: --home: the program folder is empty\n";
        return kExitUsage;
    }
    if (plan->parsed()) {
        return RunPlan(home, pair, engineOptions, planArgs, streams);
    }
    if (clone->parsed()) {
        return RunClone(home, pair, engineOptions, cloneArgs, streams);
    }
    if (options->parsed()) {
        return RunOptions(home, streams);
    }
    if (apply->parsed()) {
        return RunApply(home, applyArgs, streams);
    }
    const int status = RunTaskCommand(taskCommands, home, taskArgs, streams);
    return status < 0 ? kExitUsage : status;
}

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args(argv, argv + argc);
    bool interactive = IsTerminal(StandardStream::Input) && IsTerminal(StandardStream::Output);
    PosixFileSystem fileSystem;
    return RunCli(args, CliStreams{std::cin, out, err, fileSystem, interactive});
}

}  // namespace duvanto
