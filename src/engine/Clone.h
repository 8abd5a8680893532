#pragma once
// The clone engine: its settings, the list of planned operations, and the comparison walk that
// fills the list. Planning changes nothing on disk; performing the list comes after it.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Compare.h"
#include "engine/StatusHost.h"
#include "platform/FileSystem.h"

namespace duvanto {

class cCloneLog;
class ErrorReporter;

enum FileOpType : int32_t { CopyFile = 0, DeleteFile = 1, CreateFolder = 2, DeleteFolder = 3 };

enum DeleteMethodType : int32_t {
    RegularDelete = 0,
    SendToRecycleBin = 1,
    DoNotDelete = 2,
    SecureDelete = 3,
};

enum CopyMethodType : int32_t { RegularCopy = 0, SafeCopyMethod = 1, RetainCreateTimestamp = 2 };

struct FileOp {
    std::string FileName;
    std::string SourceFolder;  // copies only
    std::string TargetFolder;  // for folder operations, the folder itself
    int32_t Operation = CopyFile;

    // The full paths are folder + name, made when asked: a plan of a hundred thousand files
    // would otherwise hold every path twice.
    std::string SourceFileSpec() const {
        return Operation == CopyFile ? SourceFolder + FileName : std::string();
    }
    std::string TargetFileSpec() const {
        return Operation == CopyFile || Operation == DeleteFile ? TargetFolder + FileName
                                                                : std::string();
    }
};

class cClone {
public:
    cClone(cCompare& compare, cCloneLog& log, IFileSystem& fileSystem, RunFlags& flags,
           ErrorReporter& reporter);

    // Settings, read as they stand when a run starts.
    int32_t DeleteMethod = RegularDelete;
    int32_t CopyMethod = RegularCopy;
    bool CopyOnlyIfNewer = false;
    bool ConfirmSyncActions = false;

    const std::vector<FileOp>& FileOps() const { return m_fileOps; }
    int32_t FileOpsCount() const { return static_cast<int32_t>(m_fileOps.size()); }
    int32_t FilesScanned() const { return m_filesScanned; }

    // True once Escape was pressed; the first call after it writes the one UserCancelledError.
    bool IsCloneCancelled();

    // One line per planned operation, in list order.
    std::vector<std::string> GetFileOpDescriptions(IStatusHost& host);
    static std::string DescribeFileOp(const FileOp& op);

    // Run state: cleared at the start of a run, erased at its end.
    void ResetRun();
    void EraseRun();

    // The drivers: plan, perform, erase the list. True when the run completed without any
    // error; a cancelled run is false and performs nothing planned after the cancellation.
    bool CloneAll(IStatusHost& host, const std::string& source, const std::string& target,
                  bool includeSubfolders);
    // The exclude texts are accepted and not applied.
    bool CloneSelected(IStatusHost& host, const std::string& source, const std::string& target,
                       bool includeSubfolders, const std::string& selectedSpecs,
                       const std::string& includeMasks, const std::string& excludeSpecs = "",
                       const std::string& excludeMasks = "");

    // Carries out the planned list in order, folder removals last and deepest first.
    bool PerformFileOperations(IStatusHost& host, const std::string& source);
    // The per-operation primitives return an error flag: true when the operation failed.
    bool CopyFileAndLogResults(IStatusHost& host, const std::string& fileName,
                               const std::string& sourceFile, const std::string& sourceFolder,
                               const std::string& targetFile, const std::string& targetFolder);
    bool DeleteFileAndLogResults(IStatusHost& host, const std::string& fileName,
                                 const std::string& targetFile, const std::string& targetFolder);
    bool CreateFolderAndLogResults(const std::string& targetFolder);
    bool RemoveFolderAndLogResults(IStatusHost& host, const std::string& targetFolder);
    // The copy methods other than the regular one; true on success.
    bool SafeCopy(IStatusHost& host, const std::string& sourceFile, const std::string& targetFile,
                  const std::string& targetFolder);
    bool CopyRetainCreateDateTime(IStatusHost& host, const std::string& sourceFile,
                                  const std::string& targetFile, const std::string& sourceFolder,
                                  const std::string& targetFolder, const std::string& fileName);
    bool SendFileToRecycleBin(const std::string& path);

    // The planning halves of the two drivers: the status texts, the walk, and (selected items)
    // the orphan search. True when no error occurred and the run was not cancelled.
    bool PlanAll(IStatusHost& host, const std::string& source, const std::string& target,
                 bool includeSubfolders);
    bool PlanSelected(IStatusHost& host, const std::string& source, const std::string& target,
                      bool includeSubfolders, const std::string& selectedSpecs,
                      const std::string& includeMasks);

    // The walk. Folder arguments end in "/". Results: true = success, except where the name
    // says it returns an error flag.
    bool CompareEntireSource(IStatusHost& host, const std::string& source,
                             const std::string& target, bool includeSubfolders);
    // Error flag: true when a comparison failed or the run was cancelled.
    bool CompareFilesAndReturnResults(IStatusHost& host, const std::string& source,
                                      const std::string& target);
    bool AddSourceSubfolderAndFilesToFileOpsArray(IStatusHost& host, const std::string& source,
                                                  const std::string& target);
    bool AddTargetSubfolderAndFilesToFileOpsArray(IStatusHost& host, const std::string& target);

    bool PopulateSelectedItemsArray(IStatusHost& host, const std::string& source,
                                    const std::string& selectedSpecs,
                                    const std::string& includeMasks, bool includeSubfolders,
                                    std::vector<std::string>& items,
                                    std::vector<std::string>& masks);
    bool GetFilesMatchingMasks(IStatusHost& host, const std::string& folder, bool includeSubfolders,
                               const std::vector<std::string>& masks,
                               std::vector<std::string>& list);
    bool CompareSelectedSourceObjects(IStatusHost& host, const std::string& source,
                                      const std::string& target, bool includeSubfolders,
                                      const std::vector<std::string>& items);
    bool CompareSourceFolderAndReturnResults(IStatusHost& host, const std::string& source,
                                             const std::string& target, bool includeSubfolders,
                                             const std::string& selectedFolder);
    bool AddSourceSubfolderAndContentsToFileOpsArray(IStatusHost& host, const std::string& source,
                                                     const std::string& target,
                                                     bool includeSubfolders);
    bool CompareSourceFileAndReturnResults(IStatusHost& host, const std::string& source,
                                           const std::string& target,
                                           const std::string& selectedFile);
    bool CompareMatchingTarget(IStatusHost& host, const std::string& source,
                               const std::string& target, const std::vector<std::string>& files);
    void AddFileToFileOpsArrayIfOrphan(const std::string& source, const std::string& target,
                                       const std::string& targetFile);
    bool IsTargetFileOrphan(const std::string& source, const std::string& target,
                            const std::string& targetFile);

protected:
    cCompare& m_compare;
    cCloneLog& m_log;
    IFileSystem& m_fs;
    RunFlags& m_flags;
    ErrorReporter& m_reporter;

    std::vector<FileOp> m_fileOps;
    int32_t m_filesScanned = 0;
    // Temporary files that an interrupted copy left in the Target; removed when performing.
    std::vector<std::string> m_strayTempFiles;
    // Whether the last planning ran to its end, so that its list may be performed.
    bool m_planComplete = false;

private:
    using Listing = std::vector<DirEntry>;

    void AppendCopy(const std::string& name, const std::string& sourceFolder,
                    const std::string& targetFolder);
    void AppendDeleteFile(const std::string& name, const std::string& targetFolder);
    void AppendFolderOp(FileOpType operation, const std::string& folder);
    // Whether a Target entry is a temporary file left by an interrupted copy; such a file is
    // remembered for removal and otherwise left out of the comparison.
    bool IsStrayTempFile(const DirEntry& entry, const std::string& folder);
    void CountScanned(IStatusHost& host);
    bool IsFolderIgnored(const std::string& folderName) const;
    // Logs a folder that could not be listed; the mapping of errno to the run's numbers.
    void LogFolderFailure(const std::string& folder, const Status& failure);
    // Same content by the chosen method; r receives the time order. contentError is set when
    // a content test failed.
    bool AreSame(const DirEntry& source, const DirEntry& target, const std::string& sourceFolder,
                 const std::string& targetFolder, int& r, bool& contentError);
    bool CompareListings(IStatusHost& host, const std::string& source, const Listing& sourceList,
                         const std::string& target, const Listing& targetList);
    bool PlanTargetFolderRemoval(IStatusHost& host, const std::string& target,
                                 const Listing& targetList);
    bool PlanSourceFolderCreation(IStatusHost& host, const std::string& source,
                                  const Listing& sourceList, const std::string& target);
    bool CompareEntireSourceTree(IStatusHost& host, const std::string& source,
                                 const std::string& target);
    // A selected item's path below the root, or false when it does not lie under the root
    // (or climbs out of it with "..").
    static bool RelativeBelow(const std::string& root, const std::string& path,
                              std::string& relative);
    bool FolderPresent(const std::string& path);
    bool IsReadOnly(const std::string& path);
    // Runs an operation, and once more after lifting a read-only mark when the first attempt
    // was refused for it.
    template <typename Operation>
    Status WithReadOnlyRetry(IStatusHost& host, const std::string& path, Operation operation);
    void RemoveStrayTempFiles();
};

}  // namespace duvanto
