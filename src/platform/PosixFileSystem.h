// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real file system behind IFileSystem: every path below a root is reached from the root's
// held descriptor, so a folder swapped for a link during a run cannot redirect it.

#include <sys/stat.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PosixFile.h"
#include "platform/ReleaseQueue.h"
#include "platform/Trash.h"

namespace duvanto {

// The folders of one run, held open, and the run's operations on paths: those under a root
// are resolved from that root's held descriptor, refusing any symbolic link and any escape
// above the root, so that a folder swapped for a link during a run cannot redirect the walk
// or a write. Other paths are opened with the last component not followed.
class PosixHeldRoots : public IHeldRoots {
public:
    struct Root {
        std::string path;  // ends in "/"
        int fd = -1;
        std::string realPath;  // the folder the descriptor holds, links resolved; ends in "/"
    };
    // Takes the roots' descriptors over. trash outlives this object.
    PosixHeldRoots(const Trash& trash, bool setsOwners, std::vector<Root> roots = {});
    ~PosixHeldRoots() override;
    PosixHeldRoots(const PosixHeldRoots&) = delete;
    PosixHeldRoots& operator=(const PosixHeldRoots&) = delete;

    Status CheckRootHeld(const std::string& rootFolder) override;
    TargetNameRules NameRules(const std::string& rootFolder) override;

    Result<std::vector<DirEntry>> ListFolder(const std::string& folderPath,
                                             bool withStatus) override;
    // Lists the second folder on a helper thread while this one lists the first: comparing two
    // trees is mostly waiting for status calls, which overlap well on two cores.
    std::pair<Result<std::vector<DirEntry>>, Result<std::vector<DirEntry>>> ListFolderPair(
        const std::string& first, const std::string& second, bool withStatus) override;
    // One helper thread lists the announced folders in their order, a bounded number ahead of
    // the caller; a caller whose folder is not listed yet lists it itself, or one further on
    // while the helper finishes it, so both threads keep making status calls.
    void ListAhead(const std::string& folderPath, bool withStatus) override;
    void DropListedAhead() override;
    Result<DirEntry> GetEntry(const std::string& path) override;
    Result<bool> CompareContents(const std::string& pathA, const std::string& pathB,
                                 const ChunkPump& pump,
                                 uint64_t* firstDifference = nullptr) override;
    Result<uint32_t> Crc32(const std::string& path, const ChunkPump& pump) override;
    Status CopyFile(const std::string& source, const std::string& target,
                    const CopyOptions& options, const ChunkPump& pump) override;
    Result<std::string> CopyToTemporary(const std::string& source, const std::string& target,
                                        const CopyOptions& options, const ChunkPump& pump) override;
    std::vector<Status> SyncFiles(const std::vector<std::string>& paths) override;
    Status RemoveFile(const std::string& path) override;
    Status WipeFile(const std::string& path) override;
    Status MoveToTrash(const std::string& path) override;
    Status LinkToTrash(const std::string& path) override;
    Status MakeFolder(const std::string& path) override;
    Result<uint32_t> MakeFolderLike(const std::string& path, const std::string& like) override;
    Status SetFolderMode(const std::string& path, uint32_t mode) override;
    Status RemoveFolder(const std::string& path) override;
    Result<uint32_t> MakeWritable(const std::string& folderPath) override;
    Status Rename(const std::string& from, const std::string& to) override;
    Result<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                       const std::string& extension) override;

private:
    // Opens a folder for listing; -1 and errno on failure.
    int OpenFolder(const std::string& folderPath) const;
    // ListFolder from the disk, whatever was announced; safe on several threads at once.
    Result<std::vector<DirEntry>> ListFolderNow(const std::string& folderPath,
                                                bool withStatus) const;
    // The folder holding path, from a few remembered ones or opened now, and the path's last
    // component; -1 and errno on failure. The descriptor stays this object's, and stays open
    // at least until the next call after this one, so an operation may hold two.
    int ParentFd(const std::string& path, std::string& lastComponent);
    // ParentFd for an operation that changes the entry: refused (EPERM) unless the path lies
    // below a held root, so that nothing above the folders of the run (reached by a path an
    // other user could bend) is ever created, replaced or removed.
    int ParentFdForChange(const std::string& path, std::string& lastComponent);
    // A regular file opened for reading from its held folder, never through a link.
    Result<UniqueFd> OpenForReading(const std::string& path);
    // ParentFd, and the status of the path itself (not followed); -1 and errno on failure.
    int ParentAndStatus(const std::string& path, std::string& lastComponent, struct stat& info);
    // The entry itself as an O_PATH descriptor, never through a link (a link itself is
    // refused with ELOOP); a root is reached from its held descriptor.
    int OpenEntryPath(const std::string& path);
    void ForgetParents();
    // The root a path lies under and the path relative to it, or nullptr.
    const Root* FindRoot(const std::string& path, std::string& relative) const;
    // The path with the folders of its root resolved, as the trash records it.
    std::string RealPathOf(const std::string& path) const;
    // Carries the source's owner and group over to the open file or folder when the run may
    // set owners; whether it did.
    bool CarryOwner(int fd, const struct stat& source) const;
    // A copy made whole under a temporary name beside its target, not yet in its place.
    struct WrittenCopy {
        int folder = -1;  // the target's folder, a ParentFd descriptor
        std::string tempName;
        std::string targetName;
    };
    // CopyFile up to its rename; on failure nothing is left behind.
    Status WriteCopy(const std::string& source, const std::string& target,
                     const CopyOptions& options, const ChunkPump& pump, WrittenCopy& written);
    // The entry as an O_PATH descriptor held across its removal, for m_released; invalid
    // when it cannot be opened, and then the removal frees it at once.
    static UniqueFd HoldAcrossRemoval(int dir, const std::string& name);
    // Runs the operation again once the files this run removed have let their room go, when
    // it found the disk or the quota full while some were still held.
    template <class Operation>
    auto WithRemovedFilesGone(Operation operation);

    const Trash& m_trash;
    const bool m_setsOwners;  // the run may give files any owner: root
    std::vector<Root> m_roots;
    std::vector<Root> m_parents;  // remembered parent folders, newest last
    ReflinkMemory m_reflinks;
    class Lister;
    std::unique_ptr<Lister> m_lister;  // from the first folder announced
    ReleaseQueue m_released;           // removed and replaced files, closed meanwhile
};

// The real file system. It keeps nothing between calls: each of its own operations is made as
// by a run that holds no root, and each run's state lives in the roots it opens.
class PosixFileSystem : public IFileSystem {
public:
    PosixFileSystem();
    explicit PosixFileSystem(TrashEnvironment trash);
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    Result<std::unique_ptr<IHeldRoots>> OpenRoots(const std::vector<std::string>& rootFolders,
                                                  std::string* failedFolder = nullptr) override;

    Result<std::vector<DirEntry>> ListFolder(const std::string& folderPath,
                                             bool withStatus) override;
    Result<DirEntry> GetEntry(const std::string& path) override;
    Result<bool> CompareContents(const std::string& pathA, const std::string& pathB,
                                 const ChunkPump& pump,
                                 uint64_t* firstDifference = nullptr) override;
    Result<uint32_t> Crc32(const std::string& path, const ChunkPump& pump) override;
    Status CopyFile(const std::string& source, const std::string& target,
                    const CopyOptions& options, const ChunkPump& pump) override;
    Result<std::string> CopyToTemporary(const std::string& source, const std::string& target,
                                        const CopyOptions& options, const ChunkPump& pump) override;
    std::vector<Status> SyncFiles(const std::vector<std::string>& paths) override;
    Status RemoveFile(const std::string& path) override;
    Status WipeFile(const std::string& path) override;
    Status MoveToTrash(const std::string& path) override;
    Status LinkToTrash(const std::string& path) override;
    Status MakeFolder(const std::string& path) override;
    Result<uint32_t> MakeFolderLike(const std::string& path, const std::string& like) override;
    Status SetFolderMode(const std::string& path, uint32_t mode) override;
    Status RemoveFolder(const std::string& path) override;
    Result<uint32_t> MakeWritable(const std::string& folderPath) override;
    Status Rename(const std::string& from, const std::string& to) override;
    Result<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                       const std::string& extension) override;

    Result<PathInfo> StatPath(const std::string& path, bool followLinks) override;
    Result<std::string> ReadWholeFile(const std::string& path) override;
    Result<std::string> ReadPrivateFile(const std::string& path, uint64_t maxBytes) override;
    Status WriteFileThroughLinks(const std::string& path, std::string_view bytes) override;
    Status WriteNewFile(const std::string& path, std::string_view bytes) override;
    Status WriteFileAtomically(const std::string& path, std::string_view bytes) override;
    Status WritePrivateFileAtomically(const std::string& path, std::string_view bytes) override;
    Status AppendToFile(const std::string& path, std::string_view bytes) override;
    Status CopyFileOver(const std::string& sourcePath, const std::string& targetPath) override;
    Result<std::string> CreateUniqueFile(const std::string& folder, std::string_view prefix,
                                         std::string_view suffix, unsigned mode) override;
    Status RenameFile(const std::string& from, const std::string& to) override;
    Status RemoveProgramFile(const std::string& path) override;
    Status MakeDirectory(const std::string& path) override;
    Status MakeDirectoryLike(const std::string& path, const std::string& like,
                             bool withOwner) override;
    Result<InstanceLock> AcquireInstanceLock(const std::string& appPath) override;

private:
    // The operations of a run without roots, for one call.
    PosixHeldRoots Unheld() const { return PosixHeldRoots(m_trash, m_setsOwners); }

    const Trash m_trash;
    const bool m_setsOwners;  // the process may give files any owner: root
};

}  // namespace duvanto
