// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clone engine: its settings, the list of planned operations, and the comparison walk that
// fills the list. Planning changes nothing on disk; performing the list comes after it.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/ClonePlan.h"
#include "engine/Compare.h"
#include "engine/FileOp.h"
#include "engine/StatusHost.h"
#include "engine/StepResult.h"
#include "engine/TargetNames.h"
#include "platform/FileSystem.h"

namespace duvanto {

class cCloneLog;
class ErrorReporter;

class cClone {
public:
    // A run makes an engine of its own with the settings it took when it started.
    cClone(const CloneSettings& settings, cCloneLog& log, IFileSystem& fileSystem, RunFlags& flags,
           ErrorReporter& reporter);

    // This engine's own copy: nobody else reads or writes it while it runs.
    CloneSettings Settings;
    // Read the size and time of every entry an operation acts on, also where the walk needs
    // only names (folders new to the Target): a plan to be saved carries them all.
    bool StampAllEntries = false;

    // The last planning's result; performing works through it.
    const ClonePlan& Plan() const { return m_plan; }

    // True once Escape was pressed or the session is ending; the first call after it writes
    // the one UserCancelledError (ApplicationShutdownError when the session is ending).
    bool IsCloneCancelled();

    // The line that shows a planned operation in a list or on a terminal.
    static std::string DescribeFileOp(const FileOp& op);

    // The drivers: plan, perform, erase the list. Ok when the run completed without any
    // error; a cancelled run performs nothing planned after the cancellation.
    StepResult CloneAll(IStatusHost& host, const std::string& source, const std::string& target,
                        bool includeSubfolders);
    // The selected items are full paths under the Source, folders ending in "/"; the masks are
    // joined by ",".
    StepResult CloneSelected(IStatusHost& host, const std::string& source,
                             const std::string& target, bool includeSubfolders,
                             const std::vector<std::string>& selectedItems,
                             const std::string& includeMasks);

    // The planning halves of the two drivers: the status texts, the walk, and (selected items)
    // the orphan search. Ok when no error occurred and the run was not cancelled.
    StepResult PlanAll(IStatusHost& host, const std::string& source, const std::string& target,
                       bool includeSubfolders);
    StepResult PlanSelected(IStatusHost& host, const std::string& source, const std::string& target,
                            bool includeSubfolders, const std::vector<std::string>& selectedItems,
                            const std::string& includeMasks);

    // Carries out the planned list in order, folder removals last and deepest first.
    StepResult PerformFileOperations(IStatusHost& host, const std::string& source);
    // Carries out a plan made earlier (and saved) as it stands, less the struck operations
    // (one flag per operation): no walk. Each operation whose Source or Target entry is no
    // longer as the plan read it is refused with an error entry; the others go on. The roots
    // are held as a run holds them. Ok when every operation was done.
    StepResult PerformSavedPlan(IStatusHost& host, const ClonePlan& plan,
                                const std::vector<bool>& struck);

private:
    using Listing = std::vector<DirEntry>;

    // Run state: cleared at the start of a run, erased at its end.
    void ResetRun();
    void EraseRun();

    // The per-operation primitives: Failed once the failure is logged.
    StepResult CopyFileAndLogResults(IStatusHost& host, const std::string& fileName,
                                     const std::string& sourceFile, const std::string& sourceFolder,
                                     const std::string& targetFile,
                                     const std::string& targetFolder);
    StepResult DeleteFileAndLogResults(IStatusHost& host, const std::string& fileName,
                                       const std::string& targetFile,
                                       const std::string& targetFolder);
    // With a Source folder, the new folder copies its owner and permission bits (the bits are
    // set last, once the run has filled it); so do missing parents, from the Source folders
    // at the same places.
    StepResult CreateFolderAndLogResults(const std::string& targetFolder,
                                         const std::string& sourceFolder = "");
    StepResult RemoveFolderAndLogResults(IStatusHost& host, const std::string& targetFolder);
    // Whether a planned copy replaces a file by the regular or keep-created method: it is
    // written ahead with the next ones of its kind and waits for their common sync.
    bool WaitsForSync(const FileOp& op) const;
    // Performs the planned copy at `index` (struck operations flagged in skip): one that waits
    // for a sync takes its name from the copy written ahead for it, writing the next batch
    // first where none is; any other goes through CopyFileAndLogResults.
    StepResult CopyOrTakeStaged(IStatusHost& host, std::size_t index,
                                const std::vector<bool>& skip);
    // Writes the copies of the operation at `first` and of the next ones that wait for a sync,
    // up to a batch, under their temporary names, and syncs them with one call. false when the
    // run was cancelled meanwhile.
    bool StageCopies(IStatusHost& host, std::size_t first, const std::vector<bool>& skip);
    // Removes the copies written ahead: their Target files keep the old versions.
    void DiscardStagedCopies();
    void LogCopyFailure(const std::string& fileName, const std::string& sourceFolder,
                        const std::string& targetFolder, const Status& failure, bool keepCreated);
    // The copy methods other than the regular one.
    StepResult SafeCopy(IStatusHost& host, const std::string& sourceFile,
                        const std::string& targetFile, const std::string& targetFolder);
    StepResult CopyRetainCreateDateTime(IStatusHost& host, const std::string& sourceFile,
                                        const std::string& targetFile,
                                        const std::string& sourceFolder,
                                        const std::string& targetFolder,
                                        const std::string& fileName);

    // The walk. Folder arguments end in "/".
    StepResult CompareEntireSource(IStatusHost& host, const std::string& source,
                                   const std::string& target, bool includeSubfolders);
    StepResult CompareFilesAndReturnResults(IStatusHost& host, const std::string& source,
                                            const std::string& target);
    StepResult AddSourceSubfolderAndFilesToFileOpsArray(IStatusHost& host,
                                                        const std::string& source,
                                                        const std::string& target);
    StepResult AddTargetSubfolderAndFilesToFileOpsArray(IStatusHost& host,
                                                        const std::string& target);

    StepResult PopulateSelectedItemsArray(IStatusHost& host, const std::string& source,
                                          const std::vector<std::string>& selectedItems,
                                          const std::string& includeMasks, bool includeSubfolders,
                                          std::vector<std::string>& items,
                                          std::vector<std::string>& masks);
    StepResult GetFilesMatchingMasks(IStatusHost& host, const std::string& folder,
                                     bool includeSubfolders, const std::vector<std::string>& masks,
                                     std::vector<std::string>& list);
    StepResult CompareSelectedSourceObjects(IStatusHost& host, const std::string& source,
                                            const std::string& target, bool includeSubfolders,
                                            const std::vector<std::string>& items);
    StepResult CompareSourceFolderAndReturnResults(IStatusHost& host, const std::string& source,
                                                   const std::string& target,
                                                   bool includeSubfolders,
                                                   const std::string& selectedFolder);
    StepResult AddSourceSubfolderAndContentsToFileOpsArray(IStatusHost& host,
                                                           const std::string& source,
                                                           const std::string& target,
                                                           bool includeSubfolders);
    StepResult CompareSourceFileAndReturnResults(IStatusHost& host, const std::string& source,
                                                 const std::string& target,
                                                 const std::string& selectedFile);
    StepResult CompareMatchingTarget(IStatusHost& host, const std::string& source,
                                     const std::string& target,
                                     const std::vector<std::string>& files);
    void AddFileToFileOpsArrayIfOrphan(const std::string& source, const std::string& target,
                                       const std::string& targetFile);
    bool IsTargetFileOrphan(const std::string& source, const std::string& target,
                            const std::string& targetFile);

    // Each appends one operation and returns it; nullptr when the run plans one Target path
    // once (see m_oncePerTarget) and that operation is in the plan already.
    // target: nullptr where the Target has no entry of that name.
    FileOp* AppendCopy(const std::string& sourceFolder, const std::string& targetFolder,
                       const DirEntry& source, const DirEntry* target, OpReason reason,
                       uint64_t detail = 0);
    // source: nullptr where the Source has no entry of that name, or it was not read.
    FileOp* AppendDeleteFile(const std::string& targetFolder, const DirEntry& target,
                             const DirEntry* source, OpReason reason);
    FileOp* AppendFolderOp(FileOpType operation, const std::string& folder,
                           const std::string& sourceFolder = "");
    // A Target file or folder whose name differs from its Source counterpart's in letter case
    // alone, on a Target that folds case: it takes the Source's name.
    FileOp* AppendRename(const std::string& sourceFolder, const std::string& targetFolder,
                         const DirEntry& source, const DirEntry& target);
    // The Source listing less the entries the Target cannot hold, each planned as a refusal;
    // with files (file-like entries) and folders as the caller acts on them. Where every name
    // can be held, the listing itself; otherwise what is kept goes into `kept`.
    const Listing& Admissible(const std::string& source, const std::string& target,
                              const Listing& sourceList, bool files, bool folders, Listing& kept);
    void AppendRefusal(const std::string& sourceFolder, const std::string& targetFolder,
                       const Inadmissible& item);
    // A folder's names as a selected-items run on a Target with rules of its own weighs them
    // (the whole-folder walk has the listings at hand): listed once per run, on either side.
    struct NamesOfFolder {
        explicit NamesOfFolder(bool foldCase) : lookup(foldCase) {}
        Listing listing;
        NameLookup lookup;
        std::unordered_map<std::string, Inadmissible> refused;
    };
    const NamesOfFolder& FolderNamesOf(const std::string& folder);
    // Whether the Target cannot hold the entry at `relative` below the Source root, or a folder
    // on the way to it; that name's refusal is planned.
    bool RefusedOnTheWay(const std::string& source, const std::string& target,
                         const std::string& relative);
    // Performs a planned rename; a file system that takes a rename to a name of its own
    // folded form as nothing to do gets it in two steps, through a temporary name.
    StepResult RenameAndLogResults(IStatusHost& host, const FileOp& op);
    StepResult LogRefusal(const FileOp& op);
    // Whether `operation` on the Target path is new to this plan (always, unless the run plans
    // each path once); remembers it.
    bool FirstForTarget(FileOpType operation, const std::string& path);
    // Whether a Target entry is a temporary file left by an interrupted copy; such a file is
    // remembered for removal and otherwise left out of the comparison.
    bool IsStrayTempFile(const DirEntry& entry, const std::string& folder);
    void CountScanned(IStatusHost& host);
    bool IsFolderIgnored(const std::string& folderName) const;
    // Logs a folder that could not be listed; the mapping of errno to the run's numbers.
    void LogFolderFailure(const std::string& folder, const Status& failure);
    // Opens and holds the run's roots, in place of any held before; false (logged) when a
    // root cannot be held: without them nothing below the roots would be safe from links.
    bool HoldRoots(const std::string& source, const std::string& target);
    // The run's held roots, or the file system itself before any are held.
    IFileOperations& Files();
    // Same content by the chosen method; r receives the time order. contentError is set when
    // a content test failed. For entries that differ, why and detail tell how (see OpReason).
    bool AreSame(IStatusHost& host, const DirEntry& source, const DirEntry& target,
                 const std::string& sourceFolder, const std::string& targetFolder, int& r,
                 bool& contentError, OpReason& why, uint64_t& detail);
    // targetFoldersGo: Target folders without a Source folder are planned for removal, so a
    // Source file may take a Target folder's name once it is gone.
    StepResult CompareListings(IStatusHost& host, const std::string& source,
                               const Listing& sourceList, const std::string& target,
                               const Listing& targetList, bool targetFoldersGo);
    // Logs a Source file or link that cannot take its name from a Target folder.
    void LogKindConflict(const std::string& name, const std::string& source,
                         const std::string& target);
    StepResult PlanTargetFolderRemoval(IStatusHost& host, const std::string& target,
                                       const Listing& targetList);
    // The copies into a Target folder planned for creation: every file-like entry of the
    // listing (which the caller has made admissible).
    StepResult PlanSourceFolderCreation(IStatusHost& host, const std::string& source,
                                        const Listing& sourceList, const std::string& target);
    StepResult CompareEntireSourceTree(IStatusHost& host, const std::string& source,
                                       const std::string& target);
    // A selected item's path below the root, or false when it does not lie under the root
    // (or climbs out of it with "..").
    static bool RelativeBelow(const std::string& root, const std::string& path,
                              std::string& relative);
    bool FolderPresent(const std::string& path);
    // A folder whose owner lacks write or search access.
    bool IsReadOnlyFolder(const std::string& folder);
    // Runs an operation on path, and when it was refused because the folder holding path is
    // read-only, once more with that folder made writable for the moment. No file's own mode
    // is ever changed: on Linux creating, replacing and removing a name depends on its folder.
    Status WithReadOnlyRetry(IStatusHost& host, const std::string& path,
                             const std::function<Status()>& operation);
    // The retry of WithReadOnlyRetry for an operation that already failed with `status`.
    Status RetryInReadOnlyFolder(IStatusHost& host, const std::string& path, Status status,
                                 const std::function<Status()>& operation);
    // Removes the strays found by the walk; Failed when one could not be removed.
    StepResult RemoveStrayTempFiles();
    // Gives the folders this run created their final permission bits, deepest first; Failed
    // when one could not get them.
    StepResult ApplyFolderModes();
    bool CancelRequested() const;
    // The pump for the blocks of a large file: yields, and says stop once cancelled. While a
    // copy is performed it also shows how far into the file the copy is.
    ChunkPump BlockPump(IStatusHost& host);
    // Shows the progress of performing (the figures and panel 2's percentage, which is
    // written only when it changes).
    void ShowProgress(IStatusHost& host);
    // For as long as it lives, the blocks pumped belong to the copy of a planned file of
    // that many bytes.
    class CopyProgress {
    public:
        CopyProgress(cClone& clone, uint64_t bytes);
        ~CopyProgress();
        CopyProgress(const CopyProgress&) = delete;
        CopyProgress& operator=(const CopyProgress&) = delete;

    private:
        cClone& m_clone;
    };
    // A copy that failed only because the run was cancelled meanwhile: nothing to log.
    bool CancelledMidway(const Status& status) const;
    // The guard against mass deletion, before anything is performed: false (logged) when the
    // plan less the skipped operations trips it and the host does not let it through.
    bool MassDeleteAllowed(IStatusHost& host, const std::vector<bool>& skip);
    // Before the first deletion: whether the Source root is still the folder the walk read
    // (logged when not). Checked once per performing.
    bool SourceStillHeld();
    // A saved plan's operation: whether its entries are still as the plan read them; when not,
    // the refusal is logged.
    bool StillAsPlanned(const FileOp& op);

    cCloneLog& m_log;
    IFileSystem& m_fileSystem;
    std::unique_ptr<IHeldRoots> m_roots;  // from the start of a run to its end
    RunFlags& m_flags;
    ErrorReporter& m_reporter;

    ClonePlan m_plan;
    // What the run's Target makes of names, learnt once the roots are held.
    TargetNameRules m_nameRules;
    std::unordered_map<std::string, std::unique_ptr<NamesOfFolder>> m_folderNames;
    // Folders this run created whose final permission bits wait until they are filled.
    std::vector<std::pair<std::string, uint32_t>> m_folderModes;
    // A copy written ahead under its temporary name for the operation at `index`, synced, and
    // waiting for that operation's turn to take its name; or the failure of writing or syncing
    // it (temporary empty when nothing was written).
    struct StagedCopy {
        std::size_t index;
        std::string temporary;  // full path
        Status status;
        uint64_t bytes = 0;  // the planned size, once written: progress ahead of the list
    };
    std::deque<StagedCopy> m_staged;  // in the plan's order
    uint64_t m_stagedBytes = 0;       // their bytes, summed
    // Performing's progress: the operations the list has passed, and the file being copied
    // (the copies written ahead are in m_staged).
    struct PerformProgress {
        RunProgress passed;
        bool copying = false;
        int64_t fileBytes = 0;
        int64_t fileDone = 0;
        int shownPercent = 0;
    };
    PerformProgress m_progress;
    // A selected-items run reaches one Target path from several items (a file found by the
    // masks in a selected folder, many files in one missing folder): each operation on a path
    // is planned once. Whole-folder runs meet each path once anyway and keep no such record.
    bool m_oncePerTarget = false;
    std::unordered_set<std::string> m_plannedTargets;
    // Target folders that give their name to a Source file: their removal says so.
    std::unordered_set<std::string> m_foldersGivingWay;
    // Performing a saved plan: operations struck in advance, and the identity checks.
    std::vector<bool> m_struck;
    bool m_checkStamps = false;
    bool m_sourceChecked = false;
};

}  // namespace duvanto
