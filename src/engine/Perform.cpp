// SPDX-License-Identifier: GPL-3.0-or-later
// Performing the planned list: every success and failure becomes one clone-log line, no
// failure stops the run, and folder removals wait until the end, deepest first.

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "engine/Clone.h"
#include "engine/MassDeleteGuard.h"
#include "engine/PlanText.h"
#include "log/CloneLog.h"
#include "platform/FilePrimitives.h"
#include "util/ErrorReporter.h"

namespace duvanto {

namespace {

// The folder whose entry a path is: for a file its folder, for a folder ("/" at the end) the
// folder above it.
std::string HoldingFolder(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') {
        --end;
    }
    const std::size_t slash = path.rfind('/', end - 1);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void cClone::ShowProgress(IStatusHost& host) {
    RunProgress shown = m_progress.passed;
    // Copies written ahead are done as far as the user can tell; the list takes them over,
    // with the same bytes, when it comes to them.
    const int64_t ahead = m_progress.fileDone + static_cast<int64_t>(m_stagedBytes);
    shown.BytesDone = std::min(shown.BytesDone + ahead, shown.BytesTotal);
    // The text first: a host that shows both sees them agree when the figures arrive.
    const int percent = ProgressPercent(shown);
    if (percent != m_progress.shownPercent) {
        m_progress.shownPercent = percent;
        host.SetStatusText(2, std::to_string(percent) + "%");
    }
    host.Progress(shown);
}

bool cClone::IsReadOnlyFolder(const std::string& folder) {
    Result<DirEntry> entry = Files().GetEntry(folder);
    return entry.ok() && entry.value().kind == EntryKind::Folder &&
           (entry.value().mode & (S_IWUSR | S_IXUSR)) != (S_IWUSR | S_IXUSR);
}

Status cClone::WithReadOnlyRetry(IStatusHost& host, const std::string& path,
                                 const std::function<Status()>& operation) {
    return RetryInReadOnlyFolder(host, path, operation(), operation);
}

Status cClone::RetryInReadOnlyFolder(IStatusHost& host, const std::string& path, Status status,
                                     const std::function<Status()>& operation) {
    if (status.ok() || !status.IsAccessDenied()) {
        return status;
    }
    const std::string folder = HoldingFolder(path);
    if (!IsReadOnlyFolder(folder)) {
        return status;
    }
    Result<uint32_t> before = Files().MakeWritable(folder);
    if (!before.ok()) {
        return status;
    }
    host.Pump();
    status = operation();
    // The operation's own result is what the log tells; a folder left writable harms nothing.
    (void)Files().SetFolderMode(folder, before.value());
    return status;
}

StepResult cClone::RemoveStrayTempFiles() {
    StepResult result = StepResult::Ok;
    for (const auto& [folder, name] : m_plan.StrayTempFiles) {
        // Ours beyond doubt (their form is reserved), so they go whatever the delete method;
        // the log still says so.
        Status removed = Files().RemoveFile(folder + name);
        if (removed.ok() || removed.IsNotFound()) {
            m_log.Add({.Type = Deleted, .FileName = name, .TargetFolder = folder});
        } else {
            m_log.Add({.Type = DeleteError,
                       .FileName = name,
                       .TargetFolder = folder,
                       .ErrorNumber = removed.code(),
                       .ErrorDescription = removed.message()});
            result = StepResult::Failed;
        }
    }
    m_plan.StrayTempFiles.clear();
    return result;
}

StepResult cClone::ApplyFolderModes() {
    StepResult result = StepResult::Ok;
    for (auto it = m_folderModes.rbegin(); it != m_folderModes.rend(); ++it) {
        if (Status set = Files().SetFolderMode(it->first, it->second); !set.ok()) {
            m_log.Add({.Type = CreateDirError,
                       .TargetFolder = it->first,
                       .ErrorNumber = set.code(),
                       .ErrorDescription = set.message()});
            result = StepResult::Failed;
        }
    }
    m_folderModes.clear();
    return result;
}

bool cClone::MassDeleteAllowed(IStatusHost& host, const std::vector<bool>& skip) {
    const MassDeleteCheck check = CheckMassDelete(m_plan, Settings.MaxDeletePercent, skip);
    if (!check.Tripped) {
        return true;
    }
    const std::string why = check.Why(Settings.MaxDeletePercent);
    host.SetAnimation(false);
    const bool allowed = host.AllowMassDelete(why);
    host.SetAnimation(true);
    if (!allowed) {
        const std::string text = why + "; nothing was done";
        m_log.Add(
            {.Type = MassDeleteError, .TargetFolder = m_plan.Target, .ErrorDescription = text});
    }
    return allowed;
}

bool cClone::SourceStillHeld() {
    if (m_sourceChecked) {
        return true;
    }
    Status held = m_roots ? m_roots->CheckRootHeld(m_plan.Source) : Status::FromErrno(ENOENT);
    if (!held.ok()) {
        LogFolderFailure(m_plan.Source, held);
        return false;
    }
    m_sourceChecked = true;
    return true;
}

StepResult cClone::PerformFileOperations(IStatusHost& host, const std::string& source) {
    try {
        m_sourceChecked = false;
        const int64_t n = static_cast<int64_t>(m_plan.Ops.size());
        std::vector<bool> skip = m_struck;
        skip.resize(static_cast<std::size_t>(n), false);
        if (!MassDeleteAllowed(host, skip)) {
            return StepResult::Failed;
        }
        StepResult result = RemoveStrayTempFiles();
        if (n > 0 && Settings.ConfirmSyncActions) {
            host.SetAnimation(false);
            std::vector<bool> chosen = host.ConfirmOperations(m_plan.Ops);
            host.SetAnimation(true);
            for (std::size_t i = 0; i < chosen.size() && i < skip.size(); ++i) {
                skip[i] = skip[i] || chosen[i];
            }
            // Cancelled (or the session ended) while the list was shown: nothing is done.
            if (IsCloneCancelled()) {
                return StepResult::Cancelled;
            }
        }
        host.SetStatusText(1, "Cloning folder \"" + source + "\".  Press ESC to Cancel...");
        host.SetStatusText(2, "0%");
        m_progress = PerformProgress{};
        RunProgress& progress = m_progress.passed;
        progress = {0, 0, 0, 0, 0, n};
        for (const FileOp& op : m_plan.Ops) {
            if (op.Operation == CopyFile || op.Operation == DeleteFile) {
                ++progress.FilesTotal;
            }
            progress.BytesTotal += op.Operation == CopyFile ? static_cast<int64_t>(op.Bytes) : 0;
        }
        host.Progress(progress);

        std::vector<const FileOp*> foldersToRemove;
        std::vector<const FileOp*> afterRemovals;
        // Folders renamed last, so that every path planned below them still leads there.
        std::vector<const FileOp*> foldersToRename;
        for (int64_t i = 1; i <= n; ++i) {
            host.Pump();
            const FileOp& op = m_plan.Ops[static_cast<std::size_t>(i - 1)];
            const bool deferred = op.Operation == DeleteFolder || op.AfterFolderRemoval ||
                                  (op.Operation == RenameEntry && op.OfFolder());
            if (skip[static_cast<std::size_t>(i - 1)]) {
                // Struck out: nothing to do.
            } else if (m_checkStamps && !deferred && !StillAsPlanned(op)) {
                result = Worse(StepResult::Failed, result);
            } else {
                switch (op.Operation) {
                    case CopyFile:
                        if (op.AfterFolderRemoval) {
                            afterRemovals.push_back(&op);
                            break;
                        }
                        result = Worse(
                            CopyOrTakeStaged(host, static_cast<std::size_t>(i - 1), skip), result);
                        break;
                    case DeleteFile:
                        // Orphans are judged against the Source: gone meanwhile, it has
                        // judged nothing, and what the Target holds may be the only copy now.
                        if (!SourceStillHeld()) {
                            DiscardStagedCopies();
                            (void)ApplyFolderModes();
                            return StepResult::Failed;
                        }
                        result = Worse(DeleteFileAndLogResults(
                                           host, op.FileName, op.TargetFileSpec(), op.TargetFolder),
                                       result);
                        break;
                    case CreateFolder:
                        result = Worse(CreateFolderAndLogResults(op.TargetFolder, op.SourceFolder),
                                       result);
                        break;
                    case DeleteFolder:
                        foldersToRemove.push_back(&op);
                        break;
                    case RenameEntry:
                        if (op.OfFolder()) {
                            foldersToRename.push_back(&op);
                        } else {
                            result = Worse(RenameAndLogResults(host, op), result);
                        }
                        break;
                    case RefuseName:
                        result = Worse(LogRefusal(op), result);
                        break;
                    default:
                        break;
                }
            }
            // Skipped or done, the operation is behind the run.
            ++progress.OperationsDone;
            if (op.Operation == CopyFile || op.Operation == DeleteFile) {
                ++progress.FilesDone;
                progress.BytesDone += op.Operation == CopyFile ? static_cast<int64_t>(op.Bytes) : 0;
            }
            ShowProgress(host);
            if (IsCloneCancelled()) {
                DiscardStagedCopies();
                (void)ApplyFolderModes();  // a folder left unfilled still gets its own bits
                return StepResult::Cancelled;
            }
        }
        DiscardStagedCopies();  // only those of operations refused at their turn are left
        if (!foldersToRemove.empty() && !SourceStillHeld()) {
            (void)ApplyFolderModes();
            return StepResult::Failed;
        }
        // Planned parent first; removed child first.
        for (auto it = foldersToRemove.rbegin(); it != foldersToRemove.rend(); ++it) {
            const bool changed = m_checkStamps && !StillAsPlanned(**it);
            result = Worse(
                changed ? StepResult::Failed : RemoveFolderAndLogResults(host, (*it)->TargetFolder),
                result);
        }
        // Files that take the name of a folder just removed.
        for (const FileOp* op : afterRemovals) {
            host.Pump();
            if (IsCloneCancelled()) {
                break;
            }
            if (m_checkStamps && !StillAsPlanned(*op)) {
                result = Worse(StepResult::Failed, result);
                continue;
            }
            result = Worse(
                CopyFileAndLogResults(host, op->FileName, op->SourceFileSpec(), op->SourceFolder,
                                      op->TargetFileSpec(), op->TargetFolder),
                result);
        }
        // Deepest first: a folder's path holds its parent's old name until the parent's turn.
        for (auto it = foldersToRename.rbegin(); it != foldersToRename.rend(); ++it) {
            if (IsCloneCancelled()) {
                break;
            }
            const bool changed = m_checkStamps && !StillAsPlanned(**it);
            result = Worse(changed ? StepResult::Failed : RenameAndLogResults(host, **it), result);
        }
        result = Worse(ApplyFolderModes(), result);
        if (result != StepResult::Ok) {
            return result;
        }
        return IsCloneCancelled() ? StepResult::Cancelled : StepResult::Ok;
    } catch (...) {
        DiscardStagedCopies();
        m_reporter.ReportCurrentException("cClone.PerformFileOperations");
        return StepResult::Failed;
    }
}

StepResult cClone::DeleteFileAndLogResults(IStatusHost& host, const std::string& fileName,
                                           const std::string& targetFile,
                                           const std::string& targetFolder) {
    try {
        Status status = WithReadOnlyRetry(host, targetFile, [&] {
            switch (Settings.DeleteMethod) {
                case DeleteMethodType::SendToRecycleBin:
                    return Files().MoveToTrash(targetFile);
                case DeleteMethodType::SecureDelete:
                    return Files().WipeFile(targetFile);
                default:
                    return Files().RemoveFile(targetFile);
            }
        });
        if (!status.ok()) {
            const std::string text = Settings.DeleteMethod == DeleteMethodType::SecureDelete
                                         ? "Dx - " + status.message()
                                         : status.message();
            m_log.Add({.Type = DeleteError,
                       .FileName = fileName,
                       .TargetFolder = targetFolder,
                       .ErrorNumber = status.code(),
                       .ErrorDescription = text});
            return StepResult::Failed;
        }
        m_log.Add({.Type = Deleted, .FileName = fileName, .TargetFolder = targetFolder});
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.DeleteFileAndLogResults");
        return StepResult::Failed;
    }
}

StepResult cClone::CreateFolderAndLogResults(const std::string& targetFolder,
                                             const std::string& sourceFolder) {
    try {
        // A missing parent copies the Source folder at its place: the two paths end alike.
        auto make = [&](const std::string& folder) -> Status {
            const std::size_t tail = targetFolder.size() - folder.size();
            if (sourceFolder.size() <= tail ||
                sourceFolder.compare(sourceFolder.size() - tail, tail, targetFolder, folder.size(),
                                     tail) != 0) {
                return Files().MakeFolder(folder);
            }
            Result<uint32_t> made =
                Files().MakeFolderLike(folder, sourceFolder.substr(0, sourceFolder.size() - tail));
            // Bits that would keep the run out wait until it is done with the folder.
            if (made.ok() && (made.value() & S_IRWXU) != S_IRWXU) {
                m_folderModes.emplace_back(folder, made.value());
            }
            return made.status();
        };
        Status status = make(targetFolder);
        if (!status.ok()) {
            // Missing parents are made too, and a folder that already exists counts as
            // created; but only below the Target root: above it lie other people's folders,
            // reached by paths that are not the run's to follow.
            std::vector<std::string> levels;
            const std::string& root = m_plan.Target;
            if (!root.empty() && targetFolder.size() > root.size() &&
                targetFolder.compare(0, root.size(), root) == 0) {
                for (std::size_t at = targetFolder.find('/', root.size()); at != std::string::npos;
                     at = targetFolder.find('/', at + 1)) {
                    levels.push_back(targetFolder.substr(0, at + 1));
                }
            }
            for (const std::string& level : levels) {
                if (!FolderPresent(level)) {
                    (void)make(level);  // whether the folder is there at last decides below
                }
            }
            if (!FolderPresent(targetFolder)) {
                m_log.Add({.Type = CreateDirError,
                           .TargetFolder = targetFolder,
                           .ErrorNumber = status.code(),
                           .ErrorDescription = status.message()});
                return StepResult::Failed;
            }
        }
        m_log.Add({.Type = CreatedFolder, .TargetFolder = targetFolder});
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CreateFolderAndLogResults");
        return StepResult::Failed;
    }
}

StepResult cClone::RemoveFolderAndLogResults(IStatusHost& host, const std::string& targetFolder) {
    try {
        Status status = WithReadOnlyRetry(host, targetFolder,
                                          [&] { return Files().RemoveFolder(targetFolder); });
        if (!status.ok()) {
            m_log.Add({.Type = DeleteDirError,
                       .TargetFolder = targetFolder,
                       .ErrorNumber = status.code(),
                       .ErrorDescription = status.message()});
            return StepResult::Failed;
        }
        m_log.Add({.Type = DeletedFolder, .TargetFolder = targetFolder});
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.RemoveFolderAndLogResults");
        return StepResult::Failed;
    }
}

StepResult cClone::RenameAndLogResults(IStatusHost& host, const FileOp& op) {
    try {
        const std::string from = op.TargetFolder + op.FileName;
        const std::string to = op.TargetFolder + op.OtherName;
        const auto tookName = [&] {
            Result<Listing> names = Files().ListFolder(op.TargetFolder, false);
            return names.ok() &&
                   std::any_of(names.value().begin(), names.value().end(),
                               [&](const DirEntry& e) { return e.name == op.OtherName; });
        };
        Status status = WithReadOnlyRetry(host, from, [&] {
            Status renamed = Files().Rename(from, to);
            if (!renamed.ok() || tookName()) {
                return renamed;
            }
            // Linux does nothing when both names lead to one entry (ext4's case-folding
            // folders): the entry goes through a name of our temporary form, which a later run
            // would clear up should the second step never come.
            const std::string between = op.TargetFolder + NewCopyTempName();
            renamed = Files().Rename(from, between);
            if (!renamed.ok()) {
                return renamed;
            }
            renamed = Files().Rename(between, to);
            if (!renamed.ok()) {
                (void)Files().Rename(between, from);
            }
            return renamed;
        });
        if (!status.ok()) {
            m_log.Add({.Type = RenameError,
                       .FileName = op.FileName,
                       .TargetFolder = op.TargetFolder,
                       .ErrorNumber = status.code(),
                       .ErrorDescription = status.message(),
                       .NewName = op.OtherName});
            return StepResult::Failed;
        }
        m_log.Add({.Type = Renamed,
                   .FileName = op.FileName,
                   .TargetFolder = op.TargetFolder,
                   .NewName = op.OtherName});
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.RenameAndLogResults");
        return StepResult::Failed;
    }
}

StepResult cClone::LogRefusal(const FileOp& op) {
    const std::string why = OpReasonText(op);
    m_log.Add({.Type = TargetNameError,
               .FileName = op.FileName,
               .SourceFolder = op.SourceFolder,
               .TargetFolder = op.TargetFolder,
               .ErrorDescription = why});
    return StepResult::Failed;
}

StepResult cClone::CloneAll(IStatusHost& host, const std::string& source, const std::string& target,
                            bool includeSubfolders) {
    try {
        StepResult result = PlanAll(host, source, target, includeSubfolders);
        if (m_plan.Complete && !IsCloneCancelled()) {
            result = Worse(PerformFileOperations(host, source), result);
        }
        EraseRun();
        host.Pump();
        return result;
    } catch (...) {
        EraseRun();
        m_reporter.ReportCurrentException("cClone.CloneAll");
        return StepResult::Failed;
    }
}

StepResult cClone::CloneSelected(IStatusHost& host, const std::string& source,
                                 const std::string& target, bool includeSubfolders,
                                 const std::vector<std::string>& selectedItems,
                                 const std::string& includeMasks) {
    try {
        StepResult result =
            PlanSelected(host, source, target, includeSubfolders, selectedItems, includeMasks);
        if (m_plan.Complete && !IsCloneCancelled()) {
            result = Worse(PerformFileOperations(host, source), result);
        }
        EraseRun();
        return result;
    } catch (...) {
        EraseRun();
        m_reporter.ReportCurrentException("cClone.CloneSelected");
        return StepResult::Failed;
    }
}

}  // namespace duvanto
