// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlanCommands.h"

#include <cerrno>

#include "cli/CliSession.h"
#include "cli/TerminalTaskRun.h"
#include "engine/Clone.h"
#include "engine/FolderCheck.h"
#include "engine/MassDeleteGuard.h"
#include "engine/PlanFile.h"
#include "engine/PlanText.h"
#include "log/CloneLog.h"
#include "platform/FileSystem.h"
#include "session/RunQueue.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

bool FolderUsable(const std::string& folder, std::ostream& err) {
    int32_t errorCode = 0;
    const PathStatus status = GetPathStatus(folder, errorCode);
    if (status == PathOk) {
        return true;
    }
    err << ReplaceString(GetInvalidPathErrorMsg(status, folder, errorCode), "\r\n", "\n") << "\n";
    return false;
}

// The flags of the struck operations; false after saying which number is out of range.
bool StruckFlags(const std::vector<int64_t>& numbers, std::size_t count, std::vector<bool>& struck,
                 std::ostream& err) {
    struck.assign(count, false);
    for (int64_t number : numbers) {
        if (number < 1 || static_cast<std::size_t>(number) > count) {
            err << "duvanto-cli: --strike " << number << ": the plan holds operations 1 to "
                << count << "\n";
            return false;
        }
        struck[static_cast<std::size_t>(number - 1)] = true;
    }
    return true;
}

}  // namespace

std::string PlanListing(const ClonePlan& plan, bool explain) {
    std::string text;
    for (const FileOp& op : plan.Ops) {
        text += cClone::DescribeFileOp(op);
        text += '\n';
        if (explain) {
            text += "          because: ";
            text += OpReasonText(op);
            text += '\n';
        }
    }
    return text;
}

bool SavePlanFile(IFileSystem& fs, const std::string& file, const ClonePlan& plan,
                  const CloneSettings& settings, std::ostream& err) {
    if (!plan.Complete) {
        err << "duvanto-cli: " << file << ": the plan was not finished; nothing was saved\n";
        return false;
    }
    const std::string path = AbsolutePath(file);
    // Only its owner may read what it tells of the folders, or change what `apply` will do.
    if (Status written = fs.WritePrivateFileAtomically(path, SavedPlanText(plan, settings));
        !written.ok()) {
        err << "duvanto-cli: " << path << ": " << written.message() << "\n";
        return false;
    }
    return true;
}

CLI::App* AddApplyCommand(CLI::App& app, ApplyArgs& args) {
    CLI::App* apply = app.add_subcommand(
        "apply",
        "carry out a plan saved by 'plan --save': exactly its operations, each refused "
        "when its Source or Target entry changed since; write the run to clone.log");
    apply->add_option("FILE", args.file, "the plan file")->required();
    apply
        ->add_option("--strike", args.strike,
                     "leave out operation N (numbered as 'plan' lists them); repeatable")
        ->allow_extra_args(false);
    apply->add_option("--name", args.name, "the task name in the log");
    apply->add_flag("--quiet", args.quiet, "no progress line");
    apply->add_flag("--allow-mass-delete", args.allowMassDelete,
                    "perform the plan even when it would delete most of the Target");
    return apply;
}

int RunApply(const std::string& home, const ApplyArgs& args, CliStreams streams) {
    const std::string file = AbsolutePath(args.file);
    // A plan says what to delete and overwrite: it is taken only from a file that no one but
    // the caller can have written, as ssh takes its keys. Read before the session is made,
    // through the file system it will use: a plan refused leaves no program folder behind.
    Result<std::string> text = streams.fileSystem.ReadPrivateFile(file, kMaxPlanFileBytes);
    if (!text.ok()) {
        streams.err << "duvanto-cli: " << file << ": " << text.status().message();
        if (text.status().code() == EPERM) {
            streams.err << "; a plan is applied only from a file of your own that no one else "
                           "may write";
        }
        if (text.status().code() == EPERM || text.status().code() == EFBIG) {
            streams.err << "; nothing was done";
        }
        streams.err << "\n";
        return kExitUsage;
    }
    Result<SavedPlan> read = ReadSavedPlan(text.value());
    if (!read.ok()) {
        streams.err << "duvanto-cli: " << file << ": " << read.status().message()
                    << "; nothing was done\n";
        return kExitUsage;
    }
    SavedPlan& saved = read.value();
    std::vector<bool> struck;
    if (!StruckFlags(args.strike, saved.Plan.Ops.size(), struck, streams.err)) {
        return kExitUsage;
    }
    const std::optional<std::string> appPath = ProgramFolder(home, true, streams.err);
    if (!appPath) {
        return kExitUsage;
    }
    CliSession session(*appPath, streams);
    const std::string& source = saved.Plan.Source;
    const std::string& target = saved.Plan.Target;
    if (!session.ReadOptions(true) || !FolderUsable(source, streams.err) ||
        !FolderUsable(target, streams.err)) {
        return kExitUsage;
    }
    if (std::string apart = CheckSourceTargetApart(source, target); !apart.empty()) {
        streams.err << apart << "\n";
        return kExitUsage;
    }
    Application& app = session.app;
    if (!session.Lock()) {
        return kExitUsage;
    }
    // The plan was reviewed before it was saved: it is performed without a second question.
    saved.Settings.ConfirmSyncActions = false;
    saved.Settings.MaxDeletePercent =
        StricterDeleteLimit(saved.Settings.MaxDeletePercent, app.Settings.MaxDeletePercent);
    const int32_t reported = app.Reporter.ReportCount();
    bool ok = false;
    TerminalRunFront front(streams, app.Flags, args.quiet, false);
    front.AllowMassDelete(args.allowMassDelete);
    RunOnItsOwnThread(front, [&](IRunHost& host) {
        RunFlags& flags = app.Flags;
        flags.CloneInProgress = true;
        flags.EscPressed = false;
        flags.CloneCancelled = false;
        cCloneLog& log = app.CloneLog;
        log.DeleteLogFileIfMaxSizeIsExceeded();
        log.Add({.Type = Begin, .TaskName = args.name});
        cClone clone(saved.Settings, log, app.FileSystem, flags, app.Reporter);
        ok = clone.PerformSavedPlan(host, saved.Plan, struck) == StepResult::Ok;
        log.Add({.Type = End, .TaskName = args.name});
        log.AppendInMemoryStringToLogFile();
        log.ResetInMemoryLog();
        flags.CloneInProgress = false;
    });
    return ok && app.Reporter.ReportCount() == reported && !app.Flags.SessionEnding ? kExitOk
                                                                                    : kExitRunError;
}

}  // namespace duvanto
