// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TaskCommands.h"

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <sstream>

#include "cli/CliSession.h"
#include "engine/Masks.h"
#include "platform/Clocks.h"
#include "platform/MountWatch.h"
#include "platform/Terminal.h"
#include "report/Report.h"
#include "restore/Restore.h"
#include "tasks/TaskDates.h"
#include "tasks/TaskProperties.h"
#include "util/EscapedText.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"
#include "util/WakeWatch.h"

namespace duvanto {

namespace {

// Texts on a terminal end their lines with a bare LF, and carry no control character that
// would drive it.
std::string ForTerminal(const std::string& text) {
    return EscapeForTerminal(ReplaceString(text, "\r\n", "\n"));
}

// One task command's session: the program folder, its lock for a command that changes files,
// the options file and the task list read. A command that changes files creates the program
// folder and a missing list, and refuses when the options file was read only in part: the
// list it names and the settings of a run may then be the wrong ones. kExitOk when the list
// is ready; otherwise the exit status of the refusal, already told.
int OpenTaskList(std::optional<CliSession>& session, const std::string& home,
                 const TaskCommandArgs& args, CliStreams streams, bool changesFiles) {
    const std::optional<std::string> appPath = ProgramFolder(home, changesFiles, streams.err);
    if (!appPath) {
        return kExitUsage;
    }
    session.emplace(*appPath, streams);
    if ((changesFiles && !session->Lock()) || !session->ReadOptions(changesFiles) ||
        !session->OpenTaskList(args.taskList, changesFiles)) {
        return kExitUsage;
    }
    return kExitOk;
}

int RunList(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    std::optional<CliSession> session;
    if (const int status = OpenTaskList(session, home, args, streams, false); status != kExitOk) {
        return status;
    }
    const cCloneTasks& tasks = session->session.Tasks().List();
    const Application& app = session->session.App();
    // Written in pieces: a list of a hundred thousand tasks would otherwise be held twice.
    std::string text;
    for (int32_t position = 1; position <= tasks.Count(); ++position) {
        const cCloneTask& task = *tasks.Item(position);
        const std::vector<std::string> items = task.ListviewSubItems(task.WaitingForDrive(app));
        // A hand-edited list may hold anything: a tab would split a field, an escape sequence
        // would drive the terminal.
        text.append(EscapeControlCharacters(task.TaskName)).append("\t");
        for (std::size_t i = 0; i < 4; ++i) {
            text.append(EscapeControlCharacters(items[i])).append("\t");
        }
        text.append(task.ErrorOnLastClone ? "error" : "ok").append("\n");
        if (text.size() >= 64 * 1024 || position == tasks.Count()) {
            streams.out << text;
            text.clear();
        }
    }
    streams.out << std::flush;
    return tasks.ProblemsLoseData() ? kExitRunError : kExitOk;
}

int RunRun(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    if (args.all == !args.tasks.empty()) {
        streams.err << "duvanto-cli: run: name the tasks to run, or --all\n"
                    << "Run 'duvanto-cli --help' for usage.\n";
        return kExitUsage;
    }
    std::optional<CliSession> session;
    if (const int status = OpenTaskList(session, home, args, streams, true); status != kExitOk) {
        return status;
    }
    const cCloneTasks& tasks = session->session.Tasks().List();
    std::vector<std::string> order;
    if (args.all) {
        for (int32_t position = 1; position <= tasks.Count(); ++position) {
            order.push_back(tasks.Item(position)->TaskName);
        }
    }
    for (const std::string& name : args.tasks) {
        if (session->FindTask(name) == nullptr) {
            return kExitUsage;
        }
        order.push_back(name);
    }
    TerminalRunFront front = session->RunFront(args.quiet);
    front.AllowMassDelete(args.allowMassDelete);
    const TasksRunResult result = session->session.Runs().RunInOrder(order, front);
    return result.AnyFailed || !result.Saved || session->app.Flags.SessionEnding ? kExitRunError
                                                                                 : kExitOk;
}

int RunDue(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    std::optional<CliSession> session;
    if (const int status = OpenTaskList(session, home, args, streams, true); status != kExitOk) {
        return status;
    }
    TerminalRunFront front = session->RunFront(args.quiet);
    const TasksRunResult result = session->session.Runs().RunDue(front);
    if (result.Ran == 0) {
        streams.out << "nothing due\n";
        return kExitOk;
    }
    const bool failed = result.AnyFailed || session->app.Flags.SessionEnding;
    return failed || !result.Saved ? kExitRunError : kExitOk;
}

// One look of `watch` at the list: every task due now runs, one after the other, in its own
// session, so that the lock is held only while tasks run and `add` or the desktop program can
// have it in between. What the session says goes to the error stream only when it differs from
// the last look's (a desktop program that holds the lock is told once, not every minute).
// False when the runner is to end. Outside the runs (which take the signals over, so that a run
// stops as `due`'s does), a signal sets `stop`.
bool WatchLook(const std::string& home, const TaskCommandArgs& args, CliStreams streams,
               std::string& lastSaid, std::atomic<bool>& stop) {
    std::ostringstream said;
    CliStreams held{streams.in, streams.out, said, streams.fileSystem, false};
    std::optional<CliSession> session;
    bool goOn = true;
    if (OpenTaskList(session, home, args, held, true) == kExitOk) {
        TerminalRunFront front = session->RunFront(args.quiet);
        front.SignalsBetweenRuns(&stop);
        while (!stop) {
            const TasksRunResult result = session->session.Runs().RunDue(front);
            if (session->app.Flags.SessionEnding || stop) {
                goOn = false;
            }
            if (result.Ran == 0 || result.Stopped || !goOn) {
                break;
            }
        }
        streams.err << said.str() << std::flush;
        lastSaid.clear();
        return goOn;
    }
    if (said.str() != lastSaid) {
        lastSaid = said.str();
        streams.err << lastSaid << std::flush;
    }
    return goOn;
}

// `watch`: a look at the list at the start of every minute, a few seconds after each mount or
// unmount, and after the machine woke or its clock was set, until SIGTERM, SIGHUP or Ctrl-C.
int RunWatch(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    std::atomic<bool> stop{false};
    MountWatch mounts;
    streams.out << "watching the scheduled tasks and the drives"
                << (mounts.Valid() ? "" : " (mounts cannot be watched here: once a minute only)")
                << "\n"
                << std::flush;
    std::string lastSaid;
    WakeWatch wake;
    wake.Look(ReadClocks());
    InterruptSetsFlag(&stop, &stop);
    while (!stop) {
        if (!WatchLook(home, args, streams, lastSaid, stop) || stop) {
            break;
        }
        // Until the next minute of the wall clock, a mount, or a wake: a task whose time went
        // by while the machine slept runs within seconds of its waking.
        while (!stop) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            const auto intoMinute = std::chrono::duration_cast<std::chrono::milliseconds>(now) %
                                    std::chrono::minutes(1);
            const int toNextMinute =
                static_cast<int>((std::chrono::minutes(1) - intoMinute).count()) + 50;
            const int slice = std::min(toNextMinute, kWakeLookMs);
            if (mounts.Wait(slice)) {
                // A drive mounts in steps (the media folder, then the mount): let them settle,
                // but look within 3 s of the first change however many follow, so that a
                // machine busy mounting other things does not hold back a drive's task.
                const auto latest = std::chrono::steady_clock::now() + std::chrono::seconds(2);
                while (!stop && std::chrono::steady_clock::now() < latest && mounts.Wait(1000)) {
                }
                break;
            }
            if (wake.Look(ReadClocks()) || slice == toNextMinute) {
                break;
            }
        }
    }
    InterruptSetsFlag(nullptr);
    streams.out << "watching ended\n" << std::flush;
    return kExitOk;
}

// "HH:MM" as a time of day.
std::optional<double> ClockTime(const std::string& text) {
    if (text.size() != 5 || text[2] != ':') {
        return std::nullopt;
    }
    for (std::size_t i : {0u, 1u, 3u, 4u}) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
    }
    const int hour = (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[3] - '0') * 10 + (text[4] - '0');
    if (hour > 23 || minute > 59) {
        return std::nullopt;
    }
    return OleFromSeconds(hour * 3600 + minute * 60);
}

// Reads --schedule into the frequency controls; false (told) when it is no schedule at all.
// Values that are a schedule but an invalid one are left for the dialog's own checks.
bool ReadSchedule(const std::string& text, TaskPropertiesInput& input, std::ostream& err) {
    auto refuse = [&] {
        err << "duvanto-cli: --schedule: \"" << text
            << "\" is not manual, minutes:N, hours:N, days:N@HH:MM, weekdays:DAY,...@HH:MM "
               "or on-connect\n";
        return false;
    };
    if (text == "manual") {
        input.FrequencyIndex = IntervalManual;
        return true;
    }
    if (text == "on-connect") {
        input.FrequencyIndex = IntervalOnConnect;
        return true;
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        return refuse();
    }
    const std::string kind = text.substr(0, colon);
    std::string value = text.substr(colon + 1);
    const std::size_t at = value.find('@');
    if (at != std::string::npos) {
        if (kind != "days" && kind != "weekdays") {
            return refuse();
        }
        std::optional<double> start = ClockTime(value.substr(at + 1));
        if (!start) {
            return refuse();
        }
        input.StartTime = *start;
        value = value.substr(0, at);
    }
    if (kind == "minutes" || kind == "hours" || kind == "days") {
        input.FrequencyIndex =
            kind == "minutes" ? IntervalMinutes : (kind == "hours" ? IntervalHours : IntervalDays);
        input.IncrementText = value;
        return true;
    }
    if (kind != "weekdays") {
        return refuse();
    }
    static const char* const kDays[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    input.FrequencyIndex = IntervalSelectedDays;
    input.DaysOfWeek = 0;
    std::vector<std::string> names;
    FillColWithParsedStringElems(names, value, ",");
    for (const std::string& name : names) {
        if (name.empty()) {
            continue;
        }
        int32_t index = -1;
        for (int32_t day = 0; day < 7; ++day) {
            if (strcasecmp(name.c_str(), kDays[day]) == 0) {
                index = day;
            }
        }
        if (index < 0) {
            return refuse();
        }
        input.DaysOfWeek |= 1 << index;
    }
    return true;
}

bool HoldsLineBreaker(const std::string& text) {
    return text.find(kFieldSeparator) != std::string::npos ||
           text.find(kListSeparator) != std::string::npos ||
           text.find_first_of("\r\n") != std::string::npos;
}

int RunAdd(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    TaskPropertiesInput input;
    if (!ReadSchedule(args.schedule, input, streams.err)) {
        return kExitUsage;
    }
    // Selected items are not among them: the include list holds any name as it is.
    std::vector<std::string> entries = args.targets;
    entries.push_back(args.source);
    entries.insert(entries.end(), args.masks.begin(), args.masks.end());
    for (const std::string& entry : entries) {
        if (HoldsLineBreaker(entry)) {
            streams.err << "duvanto-cli: \"" << ForTerminal(entry)
                        << "\": a folder or mask of a task cannot hold \"~!@#\", "
                           "\"<:>\" or a line break\n";
            return kExitUsage;
        }
    }
    const std::string name = Trim(args.name);
    if (name.empty()) {
        streams.err << "duvanto-cli: add: the task name is empty\n";
        return kExitUsage;
    }
    // Before the list is read: a name the list cannot hold is refused whatever the list holds.
    if (std::optional<TaskMessage> refused = CheckTaskNameCharacters(name)) {
        streams.err << refused->Title << "\n" << ForTerminal(refused->Text) << "\n";
        return kExitUsage;
    }

    std::optional<CliSession> session;
    if (const int status = OpenTaskList(session, home, args, streams, true); status != kExitOk) {
        return status;
    }
    if (!Trim(args.source).empty()) {
        input.SourceText = AbsoluteFolder(Trim(args.source));
    }
    for (const std::string& target : args.targets) {
        if (!Trim(target).empty()) {
            input.Targets.push_back(AbsoluteFolder(Trim(target)));
        }
    }
    input.IncludeSubFolders = !args.noSubfolders;
    input.AllFilesAndFolders = args.selected.empty() && args.masks.empty();
    if (!input.AllFilesAndFolders) {
        input.IncludeFileSpecs = SelectedSpecs(args.selected, input.SourceText);
        input.IncludeFileMasks = Join(args.masks, ",");
    }
    const TaskEditResult added = session->session.Tasks().Add(name, input);
    session->Show(added.Messages);
    switch (added.Status) {
        case TaskEditStatus::Done:
            streams.out << "'" << name << "' has been created successfully.\n";
            return kExitOk;
        case TaskEditStatus::Failed:
            return kExitRunError;
        default:
            return kExitUsage;
    }
}

int RunRemove(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    std::optional<CliSession> session;
    if (const int status = OpenTaskList(session, home, args, streams, true); status != kExitOk) {
        return status;
    }
    const TaskEditResult removed = session->session.Tasks().Remove(args.name);
    if (removed.Status == TaskEditStatus::NoSuchTask) {
        streams.err << session->NoSuchTask(args.name);
        return kExitUsage;
    }
    return removed.Status == TaskEditStatus::Done ? kExitOk : kExitRunError;
}

// The command-line runner has no browser to open: the page's path is its answer.
class PrintPathBrowser : public IBrowserHost {
public:
    OpenResult OpenFile(const std::string&) override { return OpenResult::Opened; }
};

int RunReport(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    std::optional<CliSession> session;
    if (const int status = OpenTaskList(session, home, args, streams, false); status != kExitOk) {
        return status;
    }
    const cCloneTask* task = session->FindTask(args.name);
    if (task == nullptr) {
        return kExitUsage;
    }
    Application& app = session->app;
    // A task with several Targets is reported against its first, as restore uses it.
    const FolderReportRequest request = MakeFolderReportRequest(app, *task);
    SilentStatusHost host;
    PrintPathBrowser browser;
    ReportServices services{session->session.FileSystem(),
                            request.Compare,
                            host,
                            app.Reporter,
                            app.Prompt,
                            app.Clock,
                            browser,
                            app.AppPath};
    const std::string page = ReportFolderDifferences(
        services, request.SourceFolder, request.TargetFolder, request.IncludeSubFolders,
        args.out.empty() ? "" : AbsolutePath(args.out), request.PathTables);
    if (page.empty()) {
        return kExitUsage;
    }
    streams.out << page << "\n" << std::flush;
    return kExitOk;
}

// Restore items as the engine reads them: full paths in the Target; "." is the Target itself.
std::vector<std::string> RestoreItems(const std::vector<std::string>& items,
                                      const std::string& target) {
    std::vector<std::string> named;
    for (const std::string& item : items) {
        named.push_back(item == "." || item == "./" ? target : item);
    }
    return SelectedSpecs(named, target);
}

class QuietRestoreWindow : public IRestoreWindow {
public:
    void SetButtonsEnabled(bool) override {}
    void SetStatusLabel(const std::string&) override {}
};

int RunRestoreCommand(const std::string& home, const TaskCommandArgs& args, CliStreams streams) {
    std::optional<CliSession> session;
    if (const int status = OpenTaskList(session, home, args, streams, true); status != kExitOk) {
        return status;
    }
    const cCloneTask* task = session->FindTask(args.name);
    if (task == nullptr) {
        return kExitUsage;
    }
    Application& app = session->app;
    cRestore restore;
    if (!PrepareRestore(app, *task, restore)) {
        return kExitUsage;
    }
    const std::vector<std::string> items =
        RestoreItems(args.items, NormalizeFolderPath(restore.TargetFolderSpec));
    RestoreOutcome outcome = RestoreOutcome::Refused;
    QuietRestoreWindow restoreWindow;
    session->prompt.NoticesAreAnswers(true);  // the outcome message is the answer
    TerminalRunFront front = session->RunFront(true, false);
    RunOnItsOwnThread(front, [&](IRunHost& window) {
        outcome = RunRestore(app, restore, items, window, restoreWindow);
    });
    switch (outcome) {
        case RestoreOutcome::Completed:
            return kExitOk;
        case RestoreOutcome::Refused:
            return kExitUsage;
        default:
            return kExitRunError;
    }
}

}  // namespace

TaskCommands AddTaskCommands(CLI::App& app, TaskCommandArgs& args) {
    TaskCommands commands;
    auto taskListOption = [&args](CLI::App* command) {
        command->add_option("--task-list", args.taskList,
                            "this task-list file instead of the one the options name");
    };

    commands.list = app.add_subcommand(
        "list", "one line per task: name, Source, Targets, next run, last run, error or ok");
    taskListOption(commands.list);

    commands.run = app.add_subcommand(
        "run",
        "run the named tasks in the order given (or all, in list order), then save the list");
    taskListOption(commands.run);
    CLI::Option* all = commands.run->add_flag("--all", args.all, "every task, in list order");
    commands.run->add_option("TASK", args.tasks, "a task name")->excludes(all);
    commands.run->add_flag("--quiet", args.quiet, "no progress line");
    commands.run->add_flag("--allow-mass-delete", args.allowMassDelete,
                           "run even when a run would delete most of its Target");

    commands.due = app.add_subcommand(
        "due", "run the next scheduled task if it is due, then save the list (for cron)");
    taskListOption(commands.due);
    commands.due->add_flag("--quiet", args.quiet, "no progress line");

    commands.watch = app.add_subcommand(
        "watch",
        "stay running: run each scheduled task when it is due, and a task that waits for its "
        "drive within seconds of the drive's mount (for a machine without the desktop program)");
    taskListOption(commands.watch);
    commands.watch->add_flag("--quiet", args.quiet, "no progress line");

    commands.add =
        app.add_subcommand("add", "add a task with the checks of the task properties dialog");
    commands.add->add_option("NAME", args.name, "the task name")->required();
    commands.add->add_option("--source", args.source, "the Source folder");
    commands.add->add_option("--target", args.targets, "a Target folder; repeatable, in order")
        ->allow_extra_args(false);
    commands.add->add_option("--schedule", args.schedule,
                             "manual, minutes:N, hours:N, days:N@HH:MM, "
                             "weekdays:mon,wed,...@HH:MM, or on-connect: whenever the first "
                             "Target's drive is mounted (default manual)");
    commands.add->add_flag("--no-subfolders", args.noSubfolders, "leave subfolders out");
    commands.add
        ->add_option("--select", args.selected,
                     "a file or folder (ending in '/') under the Source; repeatable")
        ->allow_extra_args(false);
    commands.add->add_option("--mask", args.masks, "a file mask to include; repeatable")
        ->allow_extra_args(false);
    taskListOption(commands.add);

    commands.remove = app.add_subcommand("remove", "delete a task from the list");
    commands.remove->add_option("NAME", args.name, "the task name")->required();
    taskListOption(commands.remove);

    commands.report = app.add_subcommand(
        "report", "write an HTML page of the differences between a task's Source and Target");
    commands.report->add_option("TASK", args.name, "the task name")->required();
    commands.report->add_option("--out", args.out,
                                "write the page here instead of a new temporary file");
    taskListOption(commands.report);

    commands.restore =
        app.add_subcommand("restore", "copy items of a task's first Target back into its Source");
    commands.restore->add_option("TASK", args.name, "the task name")->required();
    commands.restore
        ->add_option("ITEM", args.items,
                     "a file or folder (ending in '/') in the first Target, absolute or relative "
                     "to it; '.' is the whole Target")
        ->required();
    taskListOption(commands.restore);
    return commands;
}

int RunTaskCommand(const TaskCommands& commands, const std::string& home,
                   const TaskCommandArgs& args, CliStreams streams) {
    if (commands.list->parsed()) {
        return RunList(home, args, streams);
    }
    if (commands.run->parsed()) {
        return RunRun(home, args, streams);
    }
    if (commands.due->parsed()) {
        return RunDue(home, args, streams);
    }
    if (commands.watch->parsed()) {
        return RunWatch(home, args, streams);
    }
    if (commands.add->parsed()) {
        return RunAdd(home, args, streams);
    }
    if (commands.remove->parsed()) {
        return RunRemove(home, args, streams);
    }
    if (commands.report->parsed()) {
        return RunReport(home, args, streams);
    }
    if (commands.restore->parsed()) {
        return RunRestoreCommand(home, args, streams);
    }
    return -1;
}

}  // namespace duvanto
