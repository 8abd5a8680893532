// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison walk: plans every copy, folder creation and orphan deletion that makes a
// Target match its Source. Each folder is listed once per side and pass, and each file's
// status is read once per side, from the listing; the counterpart of a name is looked up in
// the other side's listing instead of asking the file system again.

#include <cerrno>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/Clone.h"
#include "engine/Masks.h"
#include "engine/PlanText.h"
#include "engine/TargetNames.h"
#include "log/CloneLog.h"
#include "platform/FilePrimitives.h"
#include "util/ErrorReporter.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

// The name of a folder path ending in "/".
std::string LastFolderName(const std::string& folder) {
    return GetLastItemInPath(std::string_view(folder).substr(0, folder.size() - 1));
}

bool IsFolderEntry(const DirEntry& entry) {
    return entry.kind == EntryKind::Folder;
}

}  // namespace

bool cClone::FirstForTarget(FileOpType operation, const std::string& path) {
    if (!m_oncePerTarget) {
        return true;
    }
    std::string key(1, static_cast<char>('0' + static_cast<int>(operation)));
    key += path;
    return m_plannedTargets.insert(std::move(key)).second;
}

FileOp* cClone::AppendCopy(const std::string& sourceFolder, const std::string& targetFolder,
                           const DirEntry& source, const DirEntry* target, OpReason reason,
                           uint64_t detail) {
    if (!FirstForTarget(CopyFile, targetFolder + source.name)) {
        return nullptr;
    }
    FileOp& op = m_plan.Ops.emplace_back();
    op.FileName = source.name;
    op.SourceFolder = sourceFolder;
    op.TargetFolder = targetFolder;
    op.Bytes = source.size;
    op.Reason = reason;
    op.Detail = detail;
    op.SourceKind = StampOf(&source);
    op.SourceTime = source.modified;
    op.TargetKind = StampOf(target);
    if (target != nullptr) {
        op.TargetSize = target->size;
        op.TargetTime = target->modified;
    }
    return &op;
}

FileOp* cClone::AppendDeleteFile(const std::string& targetFolder, const DirEntry& target,
                                 const DirEntry* source, OpReason reason) {
    if (!FirstForTarget(DeleteFile, targetFolder + target.name)) {
        return nullptr;
    }
    FileOp& op = m_plan.Ops.emplace_back();
    op.FileName = target.name;
    op.TargetFolder = targetFolder;
    op.Operation = DeleteFile;
    op.Reason = reason;
    op.TargetKind = StampOf(&target);
    op.TargetSize = target.size;
    op.TargetTime = target.modified;
    op.SourceKind = StampOf(source);
    if (source != nullptr) {
        op.Bytes = source->size;
        op.SourceTime = source->modified;
    }
    return &op;
}

FileOp* cClone::AppendFolderOp(FileOpType operation, const std::string& folder,
                               const std::string& sourceFolder) {
    if (!FirstForTarget(operation, folder)) {
        return nullptr;
    }
    FileOp& op = m_plan.Ops.emplace_back();
    op.SourceFolder = sourceFolder;
    op.TargetFolder = folder;
    op.Operation = operation;
    // A new folder may take the place of a file planned for removal, and a folder may go
    // where the Source holds a file: those sides are left unread.
    if (operation == CreateFolder) {
        op.Reason = OpReason::FolderMissing;
        op.SourceKind = StampKind::Folder;
    } else {
        op.Reason =
            m_foldersGivingWay.count(folder) != 0 ? OpReason::FolderInTarget : OpReason::Orphan;
        op.TargetKind = StampKind::Folder;
    }
    return &op;
}

FileOp* cClone::AppendRename(const std::string& sourceFolder, const std::string& targetFolder,
                             const DirEntry& source, const DirEntry& target) {
    if (!FirstForTarget(RenameEntry, targetFolder + target.name)) {
        return nullptr;
    }
    FileOp& op = m_plan.Ops.emplace_back();
    op.Operation = RenameEntry;
    op.FileName = target.name;
    op.OtherName = source.name;
    op.SourceFolder = sourceFolder;
    op.TargetFolder = targetFolder;
    op.Reason = OpReason::CaseOnlyRename;
    op.SourceKind = StampOf(&source);
    op.Bytes = source.size;
    op.SourceTime = source.modified;
    op.TargetKind = StampOf(&target);
    op.TargetSize = target.size;
    op.TargetTime = target.modified;
    return &op;
}

void cClone::AppendRefusal(const std::string& sourceFolder, const std::string& targetFolder,
                           const Inadmissible& item) {
    if (!FirstForTarget(RefuseName, targetFolder + item.entry->name)) {
        return;
    }
    FileOp& op = m_plan.Ops.emplace_back();
    op.Operation = RefuseName;
    op.FileName = item.entry->name;
    op.SourceFolder = sourceFolder;
    op.TargetFolder = targetFolder;
    op.SourceKind = StampOf(item.entry);
    op.Bytes = item.entry->size;
    op.SourceTime = item.entry->modified;
    op.TargetKind = StampKind::NotRead;
    switch (item.refusal) {
        case NameRefusal::Character:
            op.Reason = OpReason::NameCharacters;
            break;
        case NameRefusal::TrailingDotOrBlank:
            op.Reason = OpReason::NameTrailing;
            break;
        case NameRefusal::DeviceName:
            op.Reason = OpReason::NameDevice;
            break;
        case NameRefusal::TooLong:
            op.Reason = OpReason::NameTooLong;
            op.Detail = m_nameRules.maxNameLength;
            break;
        case NameRefusal::Encoding:
            op.Reason = OpReason::NameEncoding;
            break;
        default:
            op.Reason = OpReason::CaseCollision;
            op.OtherName = item.kept->name;
            break;
    }
}

const cClone::NamesOfFolder& cClone::FolderNamesOf(const std::string& folder) {
    std::unique_ptr<NamesOfFolder>& names = m_folderNames[folder];
    if (!names) {
        names = std::make_unique<NamesOfFolder>(m_nameRules.foldsCase);
        Result<Listing> listing = Files().ListFolder(folder, true);
        if (listing.ok()) {
            names->listing = std::move(listing.value());
        }
        std::vector<const DirEntry*> considered;
        for (const DirEntry& entry : names->listing) {
            names->lookup.Add(entry);
            if (entry.IsFileLike() || entry.kind == EntryKind::Folder) {
                considered.push_back(&entry);
            }
        }
        for (const Inadmissible& item : FindInadmissible(considered, m_nameRules)) {
            names->refused.emplace(item.entry->name, item);
        }
    }
    return *names;
}

const cClone::Listing& cClone::Admissible(const std::string& source, const std::string& target,
                                          const Listing& sourceList, bool files, bool folders,
                                          Listing& kept) {
    if (m_nameRules.Plain()) {
        return sourceList;
    }
    // Only what the run would act on: copies and the folders it walks.
    std::vector<const DirEntry*> considered;
    for (const DirEntry& entry : sourceList) {
        if ((files && entry.IsFileLike() && !IsOwnTemporaryName(entry.name)) ||
            (folders && entry.kind == EntryKind::Folder && !IsFolderIgnored(entry.name))) {
            considered.push_back(&entry);
        }
    }
    const std::vector<Inadmissible> refused = FindInadmissible(considered, m_nameRules);
    if (refused.empty()) {
        return sourceList;
    }
    std::unordered_set<const DirEntry*> left;
    for (const Inadmissible& item : refused) {
        left.insert(item.entry);
        AppendRefusal(source, target, item);
    }
    kept.clear();
    kept.reserve(sourceList.size() - left.size());
    for (const DirEntry& entry : sourceList) {
        if (left.count(&entry) == 0) {
            kept.push_back(entry);
        }
    }
    return kept;
}

bool cClone::IsFolderIgnored(const std::string& folderName) const {
    // Hidden is a name that begins with "."; no folder carries the System mark here.
    return Settings.IgnoreHiddenFolders && !folderName.empty() && folderName[0] == '.';
}

StepResult cClone::CompareEntireSource(IStatusHost& host, const std::string& source,
                                       const std::string& target, bool includeSubfolders) {
    try {
        if (!includeSubfolders) {
            return CompareFilesAndReturnResults(host, NormalizeFolderPath(source),
                                                NormalizeFolderPath(target));
        }
        return CompareEntireSourceTree(host, NormalizeFolderPath(source),
                                       NormalizeFolderPath(target));
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CompareEntireSource");
        return StepResult::Failed;
    }
}

StepResult cClone::CompareEntireSourceTree(IStatusHost& host, const std::string& source,
                                           const std::string& target) {
    StepResult result = StepResult::Ok;
    // A Target folder to walk, and whether the listing of the Source folder above its
    // counterpart held that counterpart as a folder. Only a name the Source's listing lacks
    // makes an orphan: a Source folder that was listed and then cannot be (unplugged, removed,
    // unreadable) is an error, never an empty folder, or a vanishing Source would empty its
    // Target.
    struct Pending {
        std::string source;
        std::string target;
        bool sourceListed;
    };
    // Breadth-first: a parent's folder operation precedes its subfolders' in the list.
    std::vector<Pending> pending;
    // What pass 1 learnt, so that pass 2 neither lists those Source folders again nor asks
    // whether their Target folders exist.
    std::unordered_map<std::string, std::vector<std::string>> sourceSubfolders;
    std::unordered_set<std::string> targetFolders;
    // Source folders whose Target folder is spelt in another letter case (a Target that folds
    // case), and that spelling: the walk goes on under the name the Target has until the
    // folder's rename, which comes last.
    std::unordered_map<std::string, std::string> targetSpelling;
    const bool deleting = Settings.DeleteMethod != DeleteMethodType::DoNotDelete;
    // Each folder pass 1 will list is announced as it joins the queue, in the queue's order, so
    // that the file system can list it ahead; what is announced and never asked for is dropped
    // when the walk ends, however it ends.
    struct DropAtEnd {
        IFileOperations& files;
        ~DropAtEnd() { files.DropListedAhead(); }
    } dropAtEnd{Files()};
    const auto enqueue = [&](std::string s, std::string t, bool sourceListed) {
        const bool skipped = IsFolderIgnored(LastFolderName(t));
        if (!skipped && (sourceListed || deleting)) {
            Files().ListAhead(t, true);
            if (sourceListed) {
                Files().ListAhead(s, true);
            }
        }
        pending.push_back({std::move(s), std::move(t), sourceListed});
    };

    // Pass 1, over the Target tree: orphans and changed files.
    pending.push_back({source, target, true});
    for (std::size_t i = 0; i < pending.size(); ++i) {
        host.Pump();
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
        const std::string s = pending[i].source;
        const std::string t = pending[i].target;
        const bool sourceListed = pending[i].sourceListed;
        targetFolders.insert(t);
        // The roots are the user's explicit choice; the skip rule applies below them. Nothing
        // in a skipped folder is looked at, so it need not be listed either.
        if (i > 0 && IsFolderIgnored(LastFolderName(t))) {
            continue;
        }
        if (!sourceListed) {
            // An orphan folder: all of it goes, and only the Target side is there to list.
            if (!deleting) {
                continue;
            }
            Result<Listing> targetList = Files().ListFolder(t, true);
            if (!targetList.ok()) {
                LogFolderFailure(t, targetList.status());
                result = Worse(result, StepResult::Failed);
                continue;
            }
            for (const DirEntry& entry : targetList.value()) {
                if (entry.kind == EntryKind::Folder) {
                    enqueue(s + entry.name + "/", t + entry.name + "/", false);
                }
            }
            result = Worse(PlanTargetFolderRemoval(host, t, targetList.value()), result);
            continue;
        }
        auto [targetList, sourceList] = Files().ListFolderPair(t, s, true);
        if (!targetList.ok()) {
            LogFolderFailure(t, targetList.status());
            result = Worse(result, StepResult::Failed);
            continue;
        }
        if (!sourceList.ok()) {
            // Whatever the reason (gone since its parent was listed, unreadable, a link put in
            // its place), nothing below this folder is planned: not knowing the Source is no
            // reason to delete from the Target.
            LogFolderFailure(s, sourceList.status());
            if (i == 0) {
                return StepResult::Failed;
            }
            result = Worse(result, StepResult::Failed);
            sourceSubfolders[s];  // known unreadable: pass 2 neither lists nor logs it again
            continue;
        }
        if (i == 0) {
            m_plan.SourceRootEmpty = sourceList.value().empty();
        }
        Listing kept;
        const Listing& sourceEntries = Admissible(s, t, sourceList.value(), true, true, kept);
        std::vector<std::string>& subfolders = sourceSubfolders[s];
        PositionalLookup sourceFolders(sourceEntries, m_nameRules.foldsCase, IsFolderEntry);
        for (const DirEntry& entry : sourceEntries) {
            if (entry.kind == EntryKind::Folder) {
                subfolders.push_back(entry.name);
            }
        }
        for (std::size_t at = 0; at < targetList.value().size(); ++at) {
            const DirEntry& entry = targetList.value()[at];
            if (entry.kind != EntryKind::Folder) {
                continue;
            }
            const DirEntry* counterpart = sourceFolders.Find(entry.name, at);
            if (counterpart == nullptr) {
                enqueue(s + entry.name + "/", t + entry.name + "/", false);
                continue;
            }
            const std::string sourceFolder = s + counterpart->name + "/";
            if (counterpart->name != entry.name) {
                AppendRename(s, t, *counterpart, entry);
                targetSpelling[sourceFolder] = t + entry.name + "/";
            }
            enqueue(sourceFolder, t + entry.name + "/", true);
        }
        result =
            Worse(CompareListings(host, s, sourceEntries, t, targetList.value(), deleting), result);
    }

    // Pass 2, over the Source tree: missing Target folders and their files.
    std::vector<std::pair<std::string, std::string>> queue;
    queue.emplace_back(source, target);
    for (std::size_t i = 0; i < queue.size(); ++i) {
        host.Pump();
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
        const std::string s = queue[i].first;
        const std::string t = queue[i].second;
        if (i > 0 && IsFolderIgnored(LastFolderName(s))) {
            continue;
        }
        auto known = sourceSubfolders.find(s);
        if (known != sourceSubfolders.end()) {
            for (const std::string& name : known->second) {
                std::string child = s + name + "/";
                auto spelt = targetSpelling.find(child);
                std::string targetChild =
                    spelt != targetSpelling.end() ? spelt->second : t + name + "/";
                queue.emplace_back(std::move(child), std::move(targetChild));
            }
            continue;  // its Target folder was walked in pass 1
        }
        // A Target folder pass 1 did not reach may still exist (below one it could not list),
        // and its name may be taken by a file or link.
        bool create = false;
        if (targetFolders.count(t) == 0) {
            Result<DirEntry> existing = Files().GetEntry(t);
            if (!existing.ok()) {
                create = true;
            } else if (existing.value().kind != EntryKind::Folder) {
                // Pass 1 planned the removal of a file or link in the way, unless deletions
                // are off: then the folder cannot be made, and nothing below it either.
                if (Settings.DeleteMethod == DeleteMethodType::DoNotDelete ||
                    !existing.value().IsFileLike()) {
                    m_log.Add({.Type = CreateDirError,
                               .TargetFolder = t,
                               .ErrorNumber = EEXIST,
                               .ErrorDescription = GetSystemErrorText(EEXIST)});
                    result = Worse(result, StepResult::Failed);
                    continue;
                }
                create = true;
            }
        }
        // Names and kinds are enough to plan a new folder's copies.
        Result<Listing> sourceList = Files().ListFolder(s, create && StampAllEntries);
        if (!sourceList.ok()) {
            LogFolderFailure(s, sourceList.status());
            result = Worse(result, StepResult::Failed);
            continue;
        }
        if (create) {
            AppendFolderOp(CreateFolder, t, s);
        }
        Listing kept;
        const Listing& sourceEntries = Admissible(s, t, sourceList.value(), create, true, kept);
        for (const DirEntry& entry : sourceEntries) {
            if (entry.kind == EntryKind::Folder) {
                queue.emplace_back(s + entry.name + "/", t + entry.name + "/");
            }
        }
        if (create) {
            result = Worse(PlanSourceFolderCreation(host, s, sourceEntries, t), result);
        }
    }
    if (result != StepResult::Ok) {
        return result;
    }
    return IsCloneCancelled() ? StepResult::Cancelled : StepResult::Ok;
}

}  // namespace duvanto
