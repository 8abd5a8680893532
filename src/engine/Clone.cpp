// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Clone.h"

#include <algorithm>
#include <cerrno>

#include "log/CloneLog.h"
#include "platform/FilePrimitives.h"
#include "util/ErrorReporter.h"
#include "util/EscapedText.h"

namespace duvanto {

cClone::cClone(const CloneSettings& settings, cCloneLog& log, IFileSystem& fileSystem,
               RunFlags& flags, ErrorReporter& reporter)
    : Settings(settings),
      m_log(log),
      m_fileSystem(fileSystem),
      m_flags(flags),
      m_reporter(reporter) {}

bool cClone::CancelRequested() const {
    return m_flags.EscPressed.load() || m_flags.SessionEnding.load();
}

bool cClone::IsCloneCancelled() {
    if (!CancelRequested()) {
        return false;
    }
    if (!m_flags.CloneCancelled.exchange(true)) {
        // A session that ends is no user's cancel: the log says which it was.
        m_log.Add(
            {.Type = m_flags.SessionEnding.load() ? ApplicationShutdownError : UserCancelledError});
    }
    return true;
}

ChunkPump cClone::BlockPump(IStatusHost& host) {
    return [this, &host](uint64_t bytesDone) {
        if (m_progress.copying) {
            m_progress.fileDone = std::min(static_cast<int64_t>(bytesDone), m_progress.fileBytes);
            ShowProgress(host);
        }
        host.Pump();
        return !CancelRequested();
    };
}

bool cClone::CancelledMidway(const Status& status) const {
    return status.IsCancelled() && CancelRequested();
}

std::string cClone::DescribeFileOp(const FileOp& op) {
    // The lines go to a terminal or a list, one per operation: names are escaped as in the log.
    const std::string name = EscapeControlCharacters(op.FileName);
    const std::string source = EscapeControlCharacters(op.SourceFolder);
    const std::string target = EscapeControlCharacters(op.TargetFolder);
    switch (op.Operation) {
        case CopyFile:
            return "     COPY FILE     \"" + name + "\"  FROM  " + source + "  TO  " + target;
        case DeleteFile:
            return "     DELETE FILE     \"" + name + "\"  FROM  " + target;
        case CreateFolder:
            return "     CREATE FOLDER     " + target;
        case DeleteFolder:
            return "     DELETE FOLDER     " + target;
        case RenameEntry:
            return std::string(op.OfFolder() ? "     RENAME FOLDER     \""
                                             : "     RENAME FILE     \"") +
                   name + "\"  TO  \"" + EscapeControlCharacters(op.OtherName) + "\"  IN  " +
                   target;
        case RefuseName:
            return std::string(op.OfFolder() ? "     CANNOT CREATE FOLDER     \""
                                             : "     CANNOT COPY FILE     \"") +
                   name + "\"  FROM  " + source + "  TO  " + target;
        default:
            return "";
    }
}

void cClone::ResetRun() {
    m_plan = ClonePlan{};
    m_plan.Ops.reserve(1000);
    m_folderModes.clear();
    m_foldersGivingWay.clear();
    m_oncePerTarget = false;
    m_plannedTargets = {};
    m_folderNames.clear();
}

void cClone::EraseRun() {
    // Nothing of a finished run keeps its folders open (and a disk busy).
    m_roots.reset();
    m_nameRules = {};
    m_folderNames.clear();
    // A fresh value gives the memory of a large plan back, which clear() would keep.
    m_plan = ClonePlan{};
    m_folderModes.clear();
    m_foldersGivingWay.clear();
    m_oncePerTarget = false;
    m_plannedTargets = {};
}

bool cClone::HoldRoots(const std::string& source, const std::string& target) {
    m_roots.reset();
    std::string unheld;
    Result<std::unique_ptr<IHeldRoots>> roots = m_fileSystem.OpenRoots({source, target}, &unheld);
    if (!roots.ok()) {
        LogFolderFailure(NormalizeFolderPath(unheld), roots.status());
        return false;
    }
    m_roots = std::move(roots.value());
    m_nameRules = m_roots->NameRules(target);
    return true;
}

IFileOperations& cClone::Files() {
    if (m_roots) {
        return *m_roots;
    }
    return m_fileSystem;
}

StepResult cClone::PlanAll(IStatusHost& host, const std::string& source, const std::string& target,
                           bool includeSubfolders) {
    ResetRun();
    m_plan.Source = NormalizeFolderPath(source);
    m_plan.Target = NormalizeFolderPath(target);
    if (!HoldRoots(m_plan.Source, m_plan.Target)) {
        return StepResult::Failed;
    }
    host.SetStatusText(1, "Comparing folders. Press ESC to Cancel...");
    host.SetStatusText(2, "0 files");
    const StepResult result = CompareEntireSource(host, source, target, includeSubfolders);
    if (IsCloneCancelled()) {
        return StepResult::Cancelled;
    }
    m_plan.Complete = true;
    return result;
}

StepResult cClone::PlanSelected(IStatusHost& host, const std::string& sourceFolder,
                                const std::string& targetFolder, bool includeSubfolders,
                                const std::vector<std::string>& selectedItems,
                                const std::string& includeMasks) {
    // Selected items are matched against the roots as text, so the roots end in "/".
    const std::string source = NormalizeFolderPath(sourceFolder);
    const std::string target = NormalizeFolderPath(targetFolder);
    try {
        m_plan.Complete = false;
        if (!HoldRoots(source, target)) {
            return StepResult::Failed;
        }
        host.SetStatusText(1, "Scanning Source folder.  Press ESC to Cancel...");
        host.SetStatusText(2, "");
        // A Source that went since its check is nothing to scan or to judge orphans by.
        if (Result<std::vector<DirEntry>> root = Files().ListFolder(source, false); !root.ok()) {
            LogFolderFailure(source, root.status());
            return StepResult::Failed;
        }
        std::vector<std::string> items;
        std::vector<std::string> masks;
        // A Source folder that cannot be scanned is logged, and the rest is cloned.
        const StepResult populated = PopulateSelectedItemsArray(
            host, source, selectedItems, includeMasks, includeSubfolders, items, masks);
        if (populated == StepResult::Cancelled) {
            return populated;
        }
        host.Pump();
        if (IsCloneCancelled()) {
            return StepResult::Cancelled;
        }
        ResetRun();
        m_oncePerTarget = true;
        m_plan.Source = source;
        m_plan.Target = target;
        host.SetStatusText(1, "Comparing folders. Press ESC to Cancel...");
        host.SetStatusText(2, "0 files");
        StepResult result = populated;
        if (!items.empty()) {
            result = CompareSelectedSourceObjects(host, source, target, includeSubfolders, items);
            host.Pump();
            if (IsCloneCancelled()) {
                return StepResult::Cancelled;
            }
        }
        if (Settings.DeleteMethod != DeleteMethodType::DoNotDelete) {
            // Orphans are judged against the Source: one that cannot be listed (gone since its
            // check) would make every Target file matching a mask look like one.
            Result<std::vector<DirEntry>> root = Files().ListFolder(source, false);
            if (!root.ok()) {
                LogFolderFailure(source, root.status());
                return StepResult::Failed;
            }
            m_plan.SourceRootEmpty = root.value().empty();
            host.SetStatusText(1, "Scanning Target folder...");
            host.SetStatusText(2, "");
            std::vector<std::string> matching;
            const StepResult found =
                GetFilesMatchingMasks(host, target, includeSubfolders, masks, matching);
            result = Worse(result, found);
            if (IsCloneCancelled()) {
                return StepResult::Cancelled;
            }
            // Orphans of the folders that could be scanned are orphans all the same: each one's
            // Source counterpart is looked up on its own.
            if (found != StepResult::Cancelled && !matching.empty()) {
                result = Worse(CompareMatchingTarget(host, source, target, matching), result);
                if (IsCloneCancelled()) {
                    return StepResult::Cancelled;
                }
            }
        }
        m_plannedTargets = {};  // the plan is made: no more paths to tell apart
        m_plan.Complete = true;
        return result;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CloneSelected");
        return StepResult::Failed;
    }
}

}  // namespace duvanto
