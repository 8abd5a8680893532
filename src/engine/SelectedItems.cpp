// SPDX-License-Identifier: GPL-3.0-or-later
// The walk of selected-items runs: the chosen files and folders, the files matching the include
// masks, and the orphans among the Target files that match the same masks.

#include <cerrno>

#include "engine/Clone.h"
#include "engine/Masks.h"
#include "log/CloneLog.h"
#include "platform/FilePrimitives.h"
#include "util/ErrorReporter.h"
#include "util/PathStrings.h"

namespace duvanto {

bool cClone::RelativeBelow(const std::string& root, const std::string& path,
                           std::string& relative) {
    if (path.size() < root.size() || path.compare(0, root.size(), root) != 0) {
        return false;
    }
    relative = path.substr(root.size());
    // "." and ".." (or an empty step) would let an item name a place outside the root.
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t slash = relative.find('/', start);
        std::size_t end = slash == std::string::npos ? relative.size() : slash;
        std::string_view part(relative.data() + start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

StepResult cClone::PopulateSelectedItemsArray(IStatusHost& host, const std::string& source,
                                              const std::vector<std::string>& selectedItems,
                                              const std::string& includeMasks,
                                              bool includeSubfolders,
                                              std::vector<std::string>& items,
                                              std::vector<std::string>& masks) {
    try {
        // The items come as a list: a name holding "<:>" or "," is one item.
        items = selectedItems;
        masks.clear();
        FillColWithParsedStringElems(masks, includeMasks, ",");
        return GetFilesMatchingMasks(host, NormalizeFolderPath(source), includeSubfolders, masks,
                                     items);
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.PopulateSelectedItemsArray");
        return StepResult::Failed;
    }
}

StepResult cClone::GetFilesMatchingMasks(IStatusHost& host, const std::string& folder,
                                         bool includeSubfolders,
                                         const std::vector<std::string>& masks,
                                         std::vector<std::string>& list) {
    if (masks.empty()) {
        return StepResult::Ok;
    }
    Result<std::vector<DirEntry>> listing = Files().ListFolder(folder, false);
    if (!listing.ok()) {
        // What it holds is neither cloned nor judged an orphan; the log says so.
        LogFolderFailure(folder, listing.status());
        return StepResult::Failed;
    }
    StepResult result = StepResult::Ok;
    for (const DirEntry& entry : listing.value()) {
        host.Pump();
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
        if (entry.IsFileLike()) {
            // Our own temporary files are nobody's selection, and no orphans either.
            if (!IsOwnTemporaryName(entry.name) &&
                FileMatchesPatternInCollection(entry.name, masks)) {
                list.push_back(folder + entry.name);
            }
        } else if (entry.kind == EntryKind::Folder && includeSubfolders && entry.name[0] != '.' &&
                   !IsFolderIgnored(entry.name)) {
            const StepResult below = GetFilesMatchingMasks(host, folder + entry.name + "/",
                                                           includeSubfolders, masks, list);
            if (below == StepResult::Cancelled) {
                return below;
            }
            result = Worse(result, below);
        }
    }
    return result;
}

StepResult cClone::CompareSelectedSourceObjects(IStatusHost& host, const std::string& source,
                                                const std::string& target, bool includeSubfolders,
                                                const std::vector<std::string>& items) {
    try {
        StepResult result = StepResult::Ok;
        for (const std::string& item : items) {
            if (item.empty()) {
                continue;  // names nothing
            }
            host.Pump();
            if (IsCloneCancelled()) {
                return StepResult::Cancelled;
            }
            std::string relative;
            bool below = RelativeBelow(source, item, relative);
            Result<DirEntry> entry =
                below ? Files().GetEntry(item) : Result<DirEntry>(Status::Failure(ENOENT, ""));
            if (item.back() == '/') {
                if (!entry.ok() || entry.value().kind != EntryKind::Folder) {
                    m_log.Add({.Type = IncludeFilterFolderError, .FileName = item});
                    result = Worse(result, StepResult::Failed);
                } else {
                    result = Worse(CompareSourceFolderAndReturnResults(host, source, target,
                                                                       includeSubfolders, item),
                                   result);
                }
            } else {
                if (!entry.ok() || !entry.value().IsFileLike()) {
                    m_log.Add({.Type = IncludeFilterFileError, .FileName = item});
                    result = Worse(result, StepResult::Failed);
                } else {
                    CountScanned(host);
                    result = Worse(CompareSourceFileAndReturnResults(host, source, target, item),
                                   result);
                }
            }
        }
        return result;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CompareSelectedSourceObjects");
        return StepResult::Failed;
    }
}

StepResult cClone::CompareSourceFolderAndReturnResults(IStatusHost& host, const std::string& source,
                                                       const std::string& target,
                                                       bool includeSubfolders,
                                                       const std::string& selectedFolder) {
    try {
        std::string relative;
        if (!RelativeBelow(source, selectedFolder, relative)) {
            m_log.Add({.Type = IncludeFilterFolderError, .FileName = selectedFolder});
            return StepResult::Failed;
        }
        const std::string targetFolder = target + relative;
        // A folder the Target cannot hold is refused whole, as the walk refuses it.
        if (!m_nameRules.Plain() && !relative.empty() &&
            RefusedOnTheWay(source, target, relative.substr(0, relative.size() - 1))) {
            return StepResult::Ok;
        }
        if (!FolderPresent(targetFolder)) {
            return AddSourceSubfolderAndContentsToFileOpsArray(host, selectedFolder, targetFolder,
                                                               includeSubfolders);
        }
        return CompareEntireSource(host, selectedFolder, targetFolder, includeSubfolders);
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CompareSourceFolderAndReturnResults");
        return StepResult::Failed;
    }
}

StepResult cClone::AddSourceSubfolderAndContentsToFileOpsArray(IStatusHost& host,
                                                               const std::string& source,
                                                               const std::string& target,
                                                               bool includeSubfolders) {
    AppendFolderOp(CreateFolder, target, source);
    Result<std::vector<DirEntry>> listing = Files().ListFolder(source, StampAllEntries);
    if (!listing.ok()) {
        LogFolderFailure(source, listing.status());
        return StepResult::Failed;
    }
    StepResult result = StepResult::Ok;
    std::vector<DirEntry> kept;
    for (const DirEntry& entry :
         Admissible(source, target, listing.value(), true, includeSubfolders, kept)) {
        CountScanned(host);
        host.Pump();
        if (entry.IsFileLike()) {
            if (!IsOwnTemporaryName(entry.name)) {
                AppendCopy(source, target, entry, nullptr, OpReason::NewInSource);
            }
        } else if (entry.kind == EntryKind::Folder && includeSubfolders && entry.name[0] != '.' &&
                   !IsFolderIgnored(entry.name)) {
            result = Worse(AddSourceSubfolderAndContentsToFileOpsArray(
                               host, NormalizeFolderPath(source + entry.name),
                               NormalizeFolderPath(target + entry.name), includeSubfolders),
                           result);
        }
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
    }
    return result;
}

StepResult cClone::CompareSourceFileAndReturnResults(IStatusHost& host, const std::string& source,
                                                     const std::string& target,
                                                     const std::string& selectedFile) {
    try {
        std::string relative;
        if (!RelativeBelow(source, selectedFile, relative)) {
            m_log.Add({.Type = IncludeFilterFileError, .FileName = selectedFile});
            return StepResult::Failed;
        }
        const std::string targetFile = target + relative;
        const std::string name = NamePartOf(selectedFile);
        const std::string sourceFolder = FolderPartOf(selectedFile);
        const std::string targetFolder = FolderPartOf(targetFile);
        // The Target's own spelling of the name where it folds case.
        std::string targetName = name;
        if (!m_nameRules.Plain()) {
            if (RefusedOnTheWay(source, target, relative)) {
                return StepResult::Ok;
            }
            if (m_nameRules.foldsCase) {
                const DirEntry* there = FolderNamesOf(targetFolder).lookup.Find(name);
                targetName = there != nullptr ? there->name : name;
            }
        }

        Result<DirEntry> targetEntry = Files().GetEntry(targetFolder + targetName);
        if (targetEntry.ok() && targetEntry.value().kind != EntryKind::Special) {
            CountScanned(host);
            Result<DirEntry> sourceEntry = Files().GetEntry(selectedFile);
            if (!sourceEntry.ok()) {
                m_log.Add({.Type = IncludeFilterFileError, .FileName = selectedFile});
                return StepResult::Failed;
            }
            if (targetName != name) {
                DirEntry there = targetEntry.value();
                there.name = targetName;
                AppendRename(sourceFolder, targetFolder, sourceEntry.value(), there);
            }
            int r = 0;
            bool contentError = false;
            OpReason why = OpReason::SourceNewer;
            uint64_t detail = 0;
            bool same = AreSame(host, sourceEntry.value(), targetEntry.value(), sourceFolder,
                                targetFolder, r, contentError, why, detail);
            if (contentError) {
                return StepResult::Failed;
            }
            host.Pump();
            if (IsCloneCancelled()) {
                return StepResult::Cancelled;
            }
            if (!same && Settings.CopyOnlyIfNewer && CopyOnlyIfNewerKeeps(r, why)) {
                same = true;
            }
            if (!same) {
                AppendCopy(sourceFolder, targetFolder, sourceEntry.value(), &targetEntry.value(),
                           why, detail);
            }
            return StepResult::Ok;
        }
        if (!FolderPresent(targetFolder)) {
            AppendFolderOp(CreateFolder, targetFolder, sourceFolder);
        }
        // The size only counts for the progress: a Source that cannot be asked copies as 0.
        Result<DirEntry> sourceEntry = Files().GetEntry(selectedFile);
        DirEntry unread;
        unread.name = name;
        const DirEntry* special = targetEntry.ok() ? &targetEntry.value() : nullptr;
        FileOp* copy =
            AppendCopy(sourceFolder, targetFolder, sourceEntry.ok() ? sourceEntry.value() : unread,
                       special, special != nullptr ? OpReason::KindDiffers : OpReason::NewInSource);
        if (copy != nullptr && !sourceEntry.ok()) {
            copy->SourceKind = StampKind::NotRead;
        }
        if (copy != nullptr && !targetEntry.ok() && !targetEntry.status().IsNotFound()) {
            copy->TargetKind = StampKind::NotRead;
        }
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CompareSourceFileAndReturnResults");
        return StepResult::Failed;
    }
}

StepResult cClone::CompareMatchingTarget(IStatusHost& host, const std::string& source,
                                         const std::string& target,
                                         const std::vector<std::string>& files) {
    try {
        for (const std::string& file : files) {
            if (file.empty()) {
                break;
            }
            host.Pump();
            if (IsCloneCancelled()) {
                return StepResult::Cancelled;
            }
            ++m_plan.TargetFilesSeen;
            AddFileToFileOpsArrayIfOrphan(source, target, file);
        }
        return StepResult::Ok;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CompareMatchingTarget");
        return StepResult::Failed;
    }
}

bool cClone::RefusedOnTheWay(const std::string& source, const std::string& target,
                             const std::string& relative) {
    for (std::size_t start = 0; start <= relative.size();) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) {
            end = relative.size();
        }
        const std::string above = relative.substr(0, start);
        const NamesOfFolder& names = FolderNamesOf(source + above);
        auto refused = names.refused.find(relative.substr(start, end - start));
        if (refused != names.refused.end()) {
            AppendRefusal(source + above, target + above, refused->second);
            return true;
        }
        start = end + 1;
    }
    return false;
}

void cClone::AddFileToFileOpsArrayIfOrphan(const std::string& source, const std::string& target,
                                           const std::string& targetFile) {
    if (!IsTargetFileOrphan(source, target, targetFile)) {
        return;
    }
    // Orphans are few: their two entries are read once more for the plan's record of them.
    DirEntry unread;
    unread.name = NamePartOf(targetFile);
    Result<DirEntry> targetEntry = Files().GetEntry(targetFile);
    Result<DirEntry> sourceEntry = Files().GetEntry(source + targetFile.substr(target.size()));
    const DirEntry* folder = sourceEntry.ok() ? &sourceEntry.value() : nullptr;
    FileOp* deletion =
        AppendDeleteFile(FolderPartOf(targetFile), targetEntry.ok() ? targetEntry.value() : unread,
                         folder, folder != nullptr ? OpReason::FolderInSource : OpReason::Orphan);
    if (deletion == nullptr) {
        return;  // a selected folder's comparison planned it already
    }
    if (!targetEntry.ok()) {
        deletion->TargetKind = StampKind::NotRead;
    }
    if (!sourceEntry.ok() && !sourceEntry.status().IsNotFound()) {
        deletion->SourceKind = StampKind::NotRead;
    }
}

bool cClone::IsTargetFileOrphan(const std::string& source, const std::string& target,
                                const std::string& targetFile) {
    std::string relative;
    if (!RelativeBelow(target, targetFile, relative)) {
        return false;
    }
    Result<DirEntry> sourceEntry = Files().GetEntry(source + relative);
    if (sourceEntry.ok()) {
        return sourceEntry.value().kind == EntryKind::Folder;
    }
    // Where the Target folds case, the file stands for a Source name of another case.
    if (m_nameRules.foldsCase && sourceEntry.status().IsNotFound() &&
        FolderNamesOf(FolderPartOf(source + relative)).lookup.Find(NamePartOf(relative)) !=
            nullptr) {
        return false;
    }
    // Only a Source file that is really gone makes an orphan; an unreadable one does not.
    return sourceEntry.status().IsNotFound();
}

}  // namespace duvanto
