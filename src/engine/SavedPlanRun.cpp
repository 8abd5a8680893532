// SPDX-License-Identifier: GPL-3.0-or-later
// Performing a plan made earlier: no walk, the operations as the plan holds them, each one
// checked against what the walk read of its entries right before it is done.

#include "engine/Clone.h"
#include "engine/PlanText.h"
#include "log/CloneLog.h"
#include "util/ErrorReporter.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

constexpr char kChanged[] = "Changed since the plan was made";

std::string WithoutSlash(const std::string& folder) {
    return folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
}

// Whether the entry at path is still the one recorded. A folder's own time changes with what
// it holds, so a folder is judged by its kind alone. "not-read" records that the walk could
// not read the entry: where the operation may lose something (strict), it holds only while
// the entry still cannot be read, so that a plan cannot wave an entry through unseen.
bool StillHolds(IFileOperations& fs, StampKind kind, uint64_t size, int64_t modified,
                const std::string& path, bool strict) {
    if (kind == StampKind::NotRead && !strict) {
        return true;
    }
    Result<DirEntry> now = fs.GetEntry(path);
    if (!now.ok()) {
        return now.status().IsNotFound() ? kind == StampKind::Absent : kind == StampKind::NotRead;
    }
    const StampKind nowKind = StampOf(&now.value());
    if (nowKind != kind) {
        return false;
    }
    return (kind != StampKind::File && kind != StampKind::Link) ||
           (now.value().size == size && now.value().modified == modified);
}

}  // namespace

bool cClone::StillAsPlanned(const FileOp& op) {
    if (op.Operation == RefuseName) {
        return true;  // nothing is done: performing it logs the refusal again
    }
    // A deletion's Source counterpart lies at the same place below the Source root.
    std::string sourcePath;
    std::string targetPath;
    switch (op.Operation) {
        case CopyFile:
            sourcePath = op.SourceFileSpec();
            targetPath = op.TargetFileSpec();
            break;
        case DeleteFile:
            targetPath = op.TargetFileSpec();
            sourcePath = m_plan.Source + targetPath.substr(m_plan.Target.size());
            break;
        case CreateFolder:
            sourcePath = WithoutSlash(op.SourceFolder);
            targetPath = WithoutSlash(op.TargetFolder);
            break;
        case RenameEntry:
            sourcePath = op.SourceFolder + op.OtherName;
            targetPath = op.TargetFolder + op.FileName;
            break;
        default:
            targetPath = WithoutSlash(op.TargetFolder);
            sourcePath = m_plan.Source + targetPath.substr(m_plan.Target.size());
            break;
    }
    // What may be lost: a Target file deleted or written over, a Target folder removed. A
    // folder is removed only when empty, and the walk never reads the Source side of one.
    const bool losesTarget = op.Operation == DeleteFile || op.Operation == DeleteFolder ||
                             (op.Operation == CopyFile && op.TargetKind != StampKind::Absent);
    const bool losesBySource = losesTarget && op.Operation != DeleteFolder;
    if (StillHolds(Files(), op.SourceKind, op.Bytes, op.SourceTime, sourcePath, losesBySource) &&
        StillHolds(Files(), op.TargetKind, op.TargetSize, op.TargetTime, targetPath, losesTarget)) {
        return true;
    }
    // The entry of the operation's own failure, with the reason in place of an error text.
    LogEntry entry{
        .Type = DeleteDirError, .TargetFolder = op.TargetFolder, .ErrorDescription = kChanged};
    switch (op.Operation) {
        case CopyFile:
            entry.Type = CopyError;
            entry.FileName = op.FileName;
            entry.SourceFolder = op.SourceFolder;
            break;
        case DeleteFile:
            entry.Type = DeleteError;
            entry.FileName = op.FileName;
            break;
        case CreateFolder:
            entry.Type = CreateDirError;
            break;
        case RenameEntry:
            entry.Type = RenameError;
            entry.FileName = op.FileName;
            entry.NewName = op.OtherName;
            break;
        default:
            break;
    }
    m_log.Add(entry);
    return false;
}

StepResult cClone::PerformSavedPlan(IStatusHost& host, const ClonePlan& plan,
                                    const std::vector<bool>& struck) {
    try {
        ResetRun();
        m_plan = plan;
        if (!HoldRoots(m_plan.Source, m_plan.Target)) {
            EraseRun();
            return StepResult::Failed;
        }
        m_struck = struck;
        m_checkStamps = true;
        const StepResult result = PerformFileOperations(host, m_plan.Source);
        m_struck.clear();
        m_checkStamps = false;
        EraseRun();
        host.Pump();
        return result;
    } catch (...) {
        m_struck.clear();
        m_checkStamps = false;
        EraseRun();
        m_reporter.ReportCurrentException("cClone.PerformSavedPlan");
        return StepResult::Failed;
    }
}

}  // namespace duvanto
