// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison of one folder pair: each file-like entry weighed against its counterpart in
// the other side's listing, the copies and deletions that follow, a folder that exists on one
// side only, and the logging of a folder whose listing failed.

#include <cerrno>

#include "engine/Clone.h"
#include "log/CloneLog.h"
#include "platform/FilePrimitives.h"
#include "util/ErrorReporter.h"

namespace duvanto {

namespace {

constexpr int32_t kPermissionDenied = 70;
constexpr int32_t kPathNotFound = 76;

bool IsMissing(const Status& status) {
    return status.IsNotFound() || status.IsLinkInTheWay();
}

}  // namespace

bool cClone::IsStrayTempFile(const DirEntry& entry, const std::string& folder) {
    if (!entry.IsFileLike() || !IsOwnTemporaryName(entry.name)) {
        return false;
    }
    m_plan.StrayTempFiles.emplace_back(folder, entry.name);
    return true;
}

void cClone::LogKindConflict(const std::string& name, const std::string& source,
                             const std::string& target) {
    // What the copy would meet: a folder where the file must go.
    m_log.Add({.Type = CopyError,
               .FileName = name,
               .SourceFolder = source,
               .TargetFolder = target,
               .ErrorNumber = EISDIR,
               .ErrorDescription = GetSystemErrorText(EISDIR)});
}

void cClone::CountScanned(IStatusHost& host) {
    ++m_plan.FilesScanned;
    if (m_plan.FilesScanned % 25 == 0) {
        host.SetStatusText(2, std::to_string(m_plan.FilesScanned) + " files");
        host.Progress({m_plan.FilesScanned, -1, 0, -1});
    }
}

void cClone::LogFolderFailure(const std::string& folder, const Status& failure) {
    if (failure.IsAccessDenied()) {
        m_log.Add({.Type = GetSubFoldersError,
                   .FileName = folder,
                   .ErrorNumber = kPermissionDenied,
                   .ErrorDescription = "Permission is Denied"});
    } else if (IsMissing(failure)) {
        m_log.Add({.Type = GetSubFoldersError,
                   .FileName = folder,
                   .ErrorNumber = kPathNotFound,
                   .ErrorDescription = "Path Not Found/Permission is Denied"});
    } else {
        m_log.Add({.Type = GetSubFoldersError,
                   .FileName = folder,
                   .ErrorNumber = failure.code(),
                   .ErrorDescription = failure.message()});
    }
}

bool cClone::FolderPresent(const std::string& path) {
    Result<DirEntry> entry = Files().GetEntry(path);
    return entry.ok() && entry.value().kind == EntryKind::Folder;
}

bool cClone::AreSame(IStatusHost& host, const DirEntry& source, const DirEntry& target,
                     const std::string& sourceFolder, const std::string& targetFolder, int& r,
                     bool& contentError, OpReason& why, uint64_t& detail) {
    const bool twoSec = Settings.IgnoreFAT_NTFS_TwoSecDiff;
    const bool dst = Settings.IgnoreFAT_NTFS_DaylightSavings;
    r = CompareFilesUsingTimestamp(source, target, twoSec, dst);
    why = r > 0 ? OpReason::SourceNewer : OpReason::TargetNewer;
    if (source.kind != target.kind) {
        why = OpReason::KindDiffers;
        return false;
    }
    if (source.kind == EntryKind::Link) {
        // A link is its text; its own time counts only where times decide.
        if (source.linkTarget != target.linkTarget) {
            why = OpReason::LinkTextDiffers;
            return false;
        }
        return Settings.CompareMethod != CompareMethodType::DateTime || r == 0;
    }
    // A file of another size is never up to date, whatever the method: a copy that a power cut
    // left short carries the Source's time. Nothing needs reading to tell.
    if (source.kind == EntryKind::File && !AreFilesSameUsingSize(source, target)) {
        if (Settings.CompareMethod != CompareMethodType::DateTime || r == 0) {
            why = OpReason::SizeDiffers;
        }
        return false;
    }
    bool same = false;
    switch (Settings.CompareMethod) {
        case CompareMethodType::Size:
            why = OpReason::SizeDiffers;
            return AreFilesSameUsingSize(source, target);
        case CompareMethodType::Contents: {
            ContentTestContext context{Files(), m_log, BlockPump(host)};
            same = AreFilesSameUsingContents(context, sourceFolder, targetFolder, source.name,
                                             contentError, &detail);
            why = source.size != target.size ? OpReason::SizeDiffers : OpReason::ContentsDiffer;
            break;
        }
        case CompareMethodType::CRC32: {
            ContentTestContext context{Files(), m_log, BlockPump(host)};
            same = AreFilesSameUsingCRC32(context, sourceFolder, targetFolder, source.name,
                                          contentError, &detail);
            why = OpReason::CrcDiffers;
            break;
        }
        default:
            return r == 0;
    }
    if (contentError) {
        why = OpReason::CompareFailed;
    }
    return same;
}

StepResult cClone::CompareListings(IStatusHost& host, const std::string& source,
                                   const Listing& sourceList, const std::string& target,
                                   const Listing& targetList, bool targetFoldersGo) {
    bool error = false;
    // Where the Target folds case, a Target name stands for the Source name that folds like it.
    PositionalLookup sourceIndex(sourceList, m_nameRules.foldsCase);

    for (std::size_t at = 0; at < targetList.size(); ++at) {
        const DirEntry& targetEntry = targetList[at];
        CountScanned(host);
        host.Pump();
        if (targetEntry.IsFileLike() && !IsStrayTempFile(targetEntry, target)) {
            ++m_plan.TargetFilesSeen;
            const DirEntry* sourceEntry = sourceIndex.Find(targetEntry.name, at);
            if (sourceEntry == nullptr || !sourceEntry->IsFileLike()) {
                if (Settings.DeleteMethod != DeleteMethodType::DoNotDelete) {
                    const bool folder =
                        sourceEntry != nullptr && sourceEntry->kind == EntryKind::Folder;
                    AppendDeleteFile(target, targetEntry, sourceEntry,
                                     folder ? OpReason::FolderInSource : OpReason::Orphan);
                }
            } else {
                CountScanned(host);
                if (sourceEntry->name != targetEntry.name) {
                    // Renamed in place, whatever the contents: a copy follows where they differ.
                    AppendRename(source, target, *sourceEntry, targetEntry);
                }
                int r = 0;
                bool contentError = false;
                OpReason why = OpReason::SourceNewer;
                uint64_t detail = 0;
                bool same = AreSame(host, *sourceEntry, targetEntry, source, target, r,
                                    contentError, why, detail);
                if (contentError) {
                    error = true;
                }
                if (!same && Settings.CopyOnlyIfNewer && CopyOnlyIfNewerKeeps(r, why)) {
                    same = true;
                }
                if (!same) {
                    AppendCopy(source, target, *sourceEntry, &targetEntry, why, detail);
                }
            }
        }
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
    }

    PositionalLookup targetIndex(targetList, m_nameRules.foldsCase);
    for (std::size_t at = 0; at < sourceList.size(); ++at) {
        const DirEntry& sourceEntry = sourceList[at];
        CountScanned(host);
        host.Pump();
        if (sourceEntry.IsFileLike() && !IsOwnTemporaryName(sourceEntry.name)) {
            // A special file in the Target is no counterpart: the copy's rename replaces it.
            const DirEntry* targetEntry = targetIndex.Find(sourceEntry.name, at);
            if (targetEntry == nullptr) {
                AppendCopy(source, target, sourceEntry, nullptr, OpReason::NewInSource);
            } else if (targetEntry->kind == EntryKind::Special) {
                AppendCopy(source, target, sourceEntry, targetEntry, OpReason::KindDiffers);
            } else if (targetEntry->kind == EntryKind::Folder) {
                // The folder goes as an orphan (its Source counterpart is no folder), and the
                // copy takes its name afterwards; where it stays, the conflict is an error.
                if (targetFoldersGo && !IsFolderIgnored(sourceEntry.name)) {
                    // Once the folder is gone the copy expects nothing in its place.
                    if (FileOp* copy = AppendCopy(source, target, sourceEntry, nullptr,
                                                  OpReason::FolderInTarget)) {
                        copy->AfterFolderRemoval = true;
                    }
                    m_foldersGivingWay.insert(target + targetEntry->name + "/");
                } else {
                    LogKindConflict(sourceEntry.name, source, target);
                    error = true;
                }
            }
        }
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
    }
    return error ? StepResult::Failed : StepResult::Ok;
}

StepResult cClone::CompareFilesAndReturnResults(IStatusHost& host, const std::string& source,
                                                const std::string& target) {
    try {
        Result<Listing> targetList = Files().ListFolder(target, true);
        Result<Listing> sourceList = Files().ListFolder(source, true);
        bool error = false;
        for (auto* side : {&sourceList, &targetList}) {
            if (side->ok()) {
                continue;
            }
            const std::string& folder = side == &sourceList ? source : target;
            error = true;
            // An unreadable folder is not an empty one, and neither is a Source that vanished
            // after its check: planning on would delete or overwrite what we cannot see.
            if (!IsMissing(side->status())) {
                LogFolderFailure(folder, side->status());
                return StepResult::Failed;
            }
            m_log.Add({.Type = GetSubFoldersError,
                       .FileName = folder,
                       .ErrorNumber = kPathNotFound,
                       .ErrorDescription = "Path Not Found"});
            if (side == &sourceList) {
                return StepResult::Failed;
            }
        }
        static const Listing kEmpty;
        if (source == m_plan.Source) {
            m_plan.SourceRootEmpty = sourceList.value().empty();
        }
        Listing kept;
        const Listing& admissible =
            Admissible(source, target, sourceList.value(), true, false, kept);
        // Without subfolders no Target folder is ever removed.
        return Worse(CompareListings(host, source, admissible, target,
                                     targetList.ok() ? targetList.value() : kEmpty, false),
                     error ? StepResult::Failed : StepResult::Ok);
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CompareFilesAndReturnResults");
        return StepResult::Failed;
    }
}

StepResult cClone::PlanSourceFolderCreation(IStatusHost& host, const std::string& source,
                                            const Listing& sourceList, const std::string& target) {
    for (const DirEntry& entry : sourceList) {
        CountScanned(host);
        host.Pump();
        if (entry.IsFileLike() && !IsOwnTemporaryName(entry.name)) {
            AppendCopy(source, target, entry, nullptr, OpReason::NewInSource);
        }
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
    }
    return StepResult::Ok;
}

StepResult cClone::AddSourceSubfolderAndFilesToFileOpsArray(IStatusHost& host,
                                                            const std::string& source,
                                                            const std::string& target) {
    Result<Listing> sourceList = Files().ListFolder(source, StampAllEntries);
    if (!sourceList.ok()) {
        LogFolderFailure(source, sourceList.status());
        return StepResult::Failed;
    }
    AppendFolderOp(CreateFolder, target, source);
    Listing kept;
    return PlanSourceFolderCreation(
        host, source, Admissible(source, target, sourceList.value(), true, false, kept), target);
}

StepResult cClone::PlanTargetFolderRemoval(IStatusHost& host, const std::string& target,
                                           const Listing& targetList) {
    for (const DirEntry& entry : targetList) {
        CountScanned(host);
        host.Pump();
        if (entry.IsFileLike() && !IsStrayTempFile(entry, target)) {
            ++m_plan.TargetFilesSeen;
            if (FileOp* deletion = AppendDeleteFile(target, entry, nullptr, OpReason::Orphan)) {
                deletion->SourceKind = StampKind::Absent;
            }
        }
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
    }
    AppendFolderOp(DeleteFolder, target);
    return StepResult::Ok;
}

StepResult cClone::AddTargetSubfolderAndFilesToFileOpsArray(IStatusHost& host,
                                                            const std::string& target) {
    Result<Listing> targetList = Files().ListFolder(target, StampAllEntries);
    if (!targetList.ok()) {
        return StepResult::Ok;  // nothing can be planned for a folder that cannot be listed
    }
    return PlanTargetFolderRemoval(host, target, targetList.value());
}

}  // namespace duvanto
