// SPDX-License-Identifier: GPL-3.0-or-later
// Copying one file of the plan: the copy methods, each leaving the Target's file whole or
// untouched, and the copies that replace files written ahead in batches, made durable with
// one sync per batch.

#include "engine/Clone.h"
#include "log/CloneLog.h"
#include "platform/FilePrimitives.h"
#include "util/ErrorReporter.h"

namespace duvanto {

namespace {

// Copies that replace files are written ahead in batches and made durable with one sync of the
// file system per batch rather than one per file: a batch ends at this many copies or bytes,
// which also bounds the room the waiting temporary files take in the Target.
constexpr std::size_t kSyncBatchFiles = 1024;
constexpr uint64_t kSyncBatchBytes = 64u << 20;

}  // namespace

cClone::CopyProgress::CopyProgress(cClone& clone, uint64_t bytes) : m_clone(clone) {
    m_clone.m_progress.copying = true;
    m_clone.m_progress.fileBytes = static_cast<int64_t>(bytes);
    m_clone.m_progress.fileDone = 0;
}

cClone::CopyProgress::~CopyProgress() {
    m_clone.m_progress.copying = false;
    m_clone.m_progress.fileDone = 0;
}

bool cClone::WaitsForSync(const FileOp& op) const {
    // A new name has no old version to keep; Safe Copy syncs each of its own.
    return op.Operation == CopyFile && !op.AfterFolderRemoval &&
           op.TargetKind != StampKind::Absent &&
           (Settings.CopyMethod == CopyMethodType::RegularCopy ||
            Settings.CopyMethod == CopyMethodType::RetainCreateTimestamp);
}

StepResult cClone::CopyOrTakeStaged(IStatusHost& host, std::size_t index,
                                    const std::vector<bool>& skip) {
    const FileOp& op = m_plan.Ops[index];
    if (!WaitsForSync(op)) {
        const CopyProgress copying(*this, op.Bytes);
        return CopyFileAndLogResults(host, op.FileName, op.SourceFileSpec(), op.SourceFolder,
                                     op.TargetFileSpec(), op.TargetFolder);
    }
    const bool keepCreated = Settings.CopyMethod == CopyMethodType::RetainCreateTimestamp;
    try {
        // Copies written ahead for operations refused at their turn (a saved plan's changed
        // entries) never take their names.
        while (!m_staged.empty() && m_staged.front().index < index) {
            (void)Files().RemoveFile(m_staged.front().temporary);
            m_stagedBytes -= m_staged.front().bytes;
            m_staged.pop_front();
        }
        if (m_staged.empty() || m_staged.front().index != index) {
            DiscardStagedCopies();  // none is left by now but after an unexpected failure
            if (!StageCopies(host, index, skip)) {
                DiscardStagedCopies();
                return StepResult::Cancelled;
            }
        }
        StagedCopy staged = std::move(m_staged.front());
        m_stagedBytes -= staged.bytes;
        m_staged.pop_front();
        const std::string targetFile = op.TargetFileSpec();
        Status status = staged.status;
        if (!staged.temporary.empty()) {
            // Data that may not be on the disk never takes the name: the old version stays.
            if (status.ok()) {
                status = Files().Rename(staged.temporary, targetFile);
            }
            if (!status.ok()) {
                (void)Files().RemoveFile(staged.temporary);
            }
        } else {
            // Written ahead it could not be; a read-only Target folder is opened for one whole
            // copy, which syncs its own data.
            CopyOptions options;
            options.keepAccessTime = keepCreated;  // Linux keeps no settable birth time
            const CopyProgress copying(*this, op.Bytes);
            const ChunkPump pump = BlockPump(host);
            status = RetryInReadOnlyFolder(host, targetFile, status, [&] {
                return Files().CopyFile(op.SourceFileSpec(), targetFile, options, pump);
            });
        }
        if (status.ok()) {
            m_log.Add({.Type = Copied,
                       .FileName = op.FileName,
                       .SourceFolder = op.SourceFolder,
                       .TargetFolder = op.TargetFolder});
            return StepResult::Ok;
        }
        if (CancelledMidway(status)) {
            return StepResult::Cancelled;
        }
        LogCopyFailure(op.FileName, op.SourceFolder, op.TargetFolder, status, keepCreated);
        return StepResult::Failed;
    } catch (...) {
        m_reporter.ReportCurrentException(keepCreated ? "modDuvanto.CopyRetainCreateDateTime"
                                                      : "cClone.CopyFileAndLogResults");
        return StepResult::Failed;
    }
}

bool cClone::StageCopies(IStatusHost& host, std::size_t first, const std::vector<bool>& skip) {
    CopyOptions options;
    options.keepAccessTime = Settings.CopyMethod == CopyMethodType::RetainCreateTimestamp;
    const ChunkPump pump = BlockPump(host);
    std::vector<std::string> temporaries;
    std::vector<std::size_t> written;  // their places in m_staged
    uint64_t bytes = 0;
    for (std::size_t at = first;
         at < m_plan.Ops.size() && temporaries.size() < kSyncBatchFiles && bytes < kSyncBatchBytes;
         ++at) {
        const FileOp& op = m_plan.Ops[at];
        if ((at < skip.size() && skip[at]) || !WaitsForSync(op)) {
            continue;
        }
        if (at != first) {
            host.Pump();
            if (IsCloneCancelled()) {
                return false;
            }
        }
        Result<std::string> temporary = [&] {
            const CopyProgress copying(*this, op.Bytes);
            return Files().CopyToTemporary(op.SourceFileSpec(), op.TargetFileSpec(), options, pump);
        }();
        if (!temporary.ok() && CancelledMidway(temporary.status())) {
            return false;
        }
        // A failure waits for its operation's turn, to be logged in the plan's order.
        m_staged.push_back({at, temporary.ok() ? temporary.value() : std::string(),
                            temporary.status(), temporary.ok() ? op.Bytes : 0});
        m_stagedBytes += m_staged.back().bytes;
        if (temporary.ok()) {
            temporaries.push_back(temporary.value());
            written.push_back(m_staged.size() - 1);
            bytes += op.Bytes;
        }
    }
    const std::vector<Status> synced = Files().SyncFiles(temporaries);
    for (std::size_t i = 0; i < written.size(); ++i) {
        m_staged[written[i]].status = i < synced.size() ? synced[i] : Status::FromErrno(EIO);
    }
    return true;
}

void cClone::DiscardStagedCopies() {
    for (const StagedCopy& staged : m_staged) {
        if (!staged.temporary.empty()) {
            // One that cannot go has our temporary form: the next run removes it.
            (void)Files().RemoveFile(staged.temporary);
        }
    }
    m_staged.clear();
    m_stagedBytes = 0;
}

void cClone::LogCopyFailure(const std::string& fileName, const std::string& sourceFolder,
                            const std::string& targetFolder, const Status& failure,
                            bool keepCreated) {
    m_log.Add({.Type = CopyError,
               .FileName = fileName,
               .SourceFolder = sourceFolder,
               .TargetFolder = targetFolder,
               .ErrorNumber = failure.code(),
               .ErrorDescription = keepCreated ? "Dx - " + failure.message() : failure.message()});
}

StepResult cClone::CopyFileAndLogResults(IStatusHost& host, const std::string& fileName,
                                         const std::string& sourceFile,
                                         const std::string& sourceFolder,
                                         const std::string& targetFile,
                                         const std::string& targetFolder) {
    try {
        StepResult copied = StepResult::Ok;
        if (Settings.CopyMethod == CopyMethodType::SafeCopyMethod) {
            copied = SafeCopy(host, sourceFile, targetFile, targetFolder);
        } else if (Settings.CopyMethod == CopyMethodType::RetainCreateTimestamp) {
            copied = CopyRetainCreateDateTime(host, sourceFile, targetFile, sourceFolder,
                                              targetFolder, fileName);
        } else {
            const ChunkPump pump = BlockPump(host);
            Status status = WithReadOnlyRetry(host, targetFile, [&] {
                return Files().CopyFile(sourceFile, targetFile, CopyOptions{}, pump);
            });
            if (!status.ok()) {
                if (CancelledMidway(status)) {
                    return StepResult::Cancelled;
                }
                m_log.Add({.Type = CopyError,
                           .FileName = fileName,
                           .SourceFolder = sourceFolder,
                           .TargetFolder = targetFolder,
                           .ErrorNumber = status.code(),
                           .ErrorDescription = status.message()});
                return StepResult::Failed;
            }
        }
        if (copied == StepResult::Ok) {
            m_log.Add({.Type = Copied,
                       .FileName = fileName,
                       .SourceFolder = sourceFolder,
                       .TargetFolder = targetFolder});
        }
        return copied;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CopyFileAndLogResults");
        return StepResult::Failed;
    }
}

StepResult cClone::SafeCopy(IStatusHost& host, const std::string& sourceFile,
                            const std::string& targetFile, const std::string& targetFolder) {
    try {
        const ChunkPump pump = BlockPump(host);
        Result<DirEntry> existing = Files().GetEntry(targetFile);
        if (!existing.ok()) {
            Status status = Files().CopyFile(sourceFile, targetFile, CopyOptions{}, pump);
            if (!status.ok()) {
                if (CancelledMidway(status)) {
                    return StepResult::Cancelled;
                }
                m_log.Add({.Type = SafeCopyError,
                           .FileName = targetFile,
                           .ErrorNumber = status.code(),
                           .ErrorDescription = status.message(),
                           .SafeCopyStep = "(Copy Failed)"});
                return StepResult::Failed;
            }
            return StepResult::Ok;
        }
        Result<std::string> temp = Files().CreateTempFile(
            targetFolder, std::string(kSafeCopyTempPrefix), std::string(kTempExtension));
        if (!temp.ok()) {
            m_log.Add({.Type = SafeCopyError,
                       .FileName = sourceFile,
                       .ErrorNumber = temp.status().code(),
                       .ErrorDescription = temp.status().message(),
                       .SafeCopyStep = "(Unable to get temp file spec)"});
            return StepResult::Failed;
        }
        const std::string& tempFile = temp.value();
        // Every way out short of the rename takes the temporary file along, so that a failed
        // or cancelled copy leaves nothing behind for the next run to clear.
        const auto giveUp = [&](StepResult result) {
            if (Status removed = Files().RemoveFile(tempFile); !removed.ok()) {
                m_log.Add({.Type = SafeCopyError,
                           .FileName = tempFile,
                           .ErrorNumber = removed.code(),
                           .ErrorDescription = removed.message(),
                           .SafeCopyStep = "(Delete Failed)"});
            }
            return result;
        };
        host.Pump();
        if (IsCloneCancelled()) {
            return giveUp(StepResult::Cancelled);
        }
        if (Status status = Files().CopyFile(sourceFile, tempFile, CopyOptions{}, pump);
            !status.ok()) {
            if (CancelledMidway(status)) {
                return giveUp(StepResult::Cancelled);
            }
            m_log.Add({.Type = SafeCopyError,
                       .FileName = tempFile,
                       .ErrorNumber = status.code(),
                       .ErrorDescription = status.message(),
                       .SafeCopyStep = "(Copy Failed)"});
            return giveUp(StepResult::Failed);
        }
        host.Pump();
        if (IsCloneCancelled()) {
            return giveUp(StepResult::Cancelled);
        }
        // The old version goes to the trash as a second name, so that the real name holds it
        // until the rename puts the new one there: a crash between the steps loses nothing.
        if (Status status = Files().LinkToTrash(targetFile); !status.ok()) {
            m_log.Add({.Type = SafeCopyError,
                       .FileName = targetFile,
                       .ErrorNumber = status.code(),
                       .ErrorDescription = status.message(),
                       .SafeCopyStep = "(Delete Failed)"});
            return giveUp(StepResult::Failed);
        }
        host.Pump();
        if (IsCloneCancelled()) {
            return giveUp(StepResult::Cancelled);
        }
        if (Status renamed = Files().Rename(tempFile, targetFile); !renamed.ok()) {
            m_log.Add({.Type = SafeCopyError,
                       .FileName = targetFile,
                       .ErrorNumber = renamed.code(),
                       .ErrorDescription = renamed.message(),
                       .SafeCopyStep = "(Rename Failed)"});
            return giveUp(StepResult::Failed);
        }
        // Done: a cancel from now on is the next operation's to see, and this copy is logged.
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.SafeCopy");
        return StepResult::Failed;
    }
}

StepResult cClone::CopyRetainCreateDateTime(IStatusHost& host, const std::string& sourceFile,
                                            const std::string& targetFile,
                                            const std::string& sourceFolder,
                                            const std::string& targetFolder,
                                            const std::string& fileName) {
    try {
        // Linux keeps no settable birth time; the access time is carried over as well.
        CopyOptions options;
        options.keepAccessTime = true;
        const ChunkPump pump = BlockPump(host);
        Status status = WithReadOnlyRetry(host, targetFile, [&] {
            return Files().CopyFile(sourceFile, targetFile, options, pump);
        });
        if (!status.ok()) {
            if (CancelledMidway(status)) {
                return StepResult::Cancelled;
            }
            m_log.Add({.Type = CopyError,
                       .FileName = fileName,
                       .SourceFolder = sourceFolder,
                       .TargetFolder = targetFolder,
                       .ErrorNumber = status.code(),
                       .ErrorDescription = "Dx - " + status.message()});
            return StepResult::Failed;
        }
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.CopyRetainCreateDateTime");
        return StepResult::Failed;
    }
}

}  // namespace duvanto
