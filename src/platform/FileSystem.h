// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's only way to the file system. The POSIX implementation (PosixFileSystem.h)
// works relative to open directory descriptors and never follows a symbolic link; tests hand
// in a double that injects failures. Paths are full paths; folder paths end in "/".

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FilePrimitives.h"
#include "platform/FileSystemQueries.h"
#include "platform/InstanceLock.h"
#include "platform/NameRules.h"
#include "platform/Status.h"

namespace duvanto {

enum class EntryKind : uint8_t {
    File,     // a regular file
    Link,     // a symbolic link; cloned as a link, never followed
    Folder,   // a directory
    Special,  // FIFO, socket, device: never opened, skipped on both sides
};

struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
    uint64_t size = 0;
    int64_t modified = 0;    // last-write time in 100-ns units since the Unix epoch
    uint32_t mode = 0;       // permission bits
    std::string linkTarget;  // the link's text, for EntryKind::Link

    bool IsFileLike() const { return kind == EntryKind::File || kind == EntryKind::Link; }
};

// What can be asked of and done to paths. Paths below a held root (IHeldRoots) are reached
// from the root's descriptor; any other path is opened with its last component not followed,
// and every change to it is refused with EPERM: nothing outside the folders of a run (reached
// by a path another user could bend) is ever created, replaced or removed.
class IFileOperations {
public:
    virtual ~IFileOperations() = default;

    // Every entry of the folder but "." and "..", in the order the file system gives them.
    // With withStatus false only name and kind are filled (kind from the directory entry where
    // the file system reports it), which spares one status call per entry.
    virtual Result<std::vector<DirEntry>> ListFolder(const std::string& folderPath,
                                                     bool withStatus) = 0;
    // Two listings, as ListFolder gives them; an implementation may make them at once.
    virtual std::pair<Result<std::vector<DirEntry>>, Result<std::vector<DirEntry>>> ListFolderPair(
        const std::string& first, const std::string& second, bool withStatus) {
        auto firstListing = ListFolder(first, withStatus);
        return {std::move(firstListing), ListFolder(second, withStatus)};
    }
    // A folder the caller will list soon with ListFolder or ListFolderPair, with withStatus as
    // given; announced in the order the listings will be asked for. An implementation may list
    // it ahead, on another thread, and hand that listing to the first call that asks for it;
    // announced folders asked for out of order, or not at all, cost only their own listing.
    // A listing made ahead shows the folder as it was then: announce only folders nobody
    // changes before asking, and drop the rest once the walk that announced them ends.
    virtual void ListAhead(const std::string& folderPath, bool withStatus) {
        (void)folderPath;
        (void)withStatus;
    }
    // Forgets every listing announced and not yet asked for; the next call lists anew.
    virtual void DropListedAhead() {}
    // The status of one path; the last component is not followed.
    virtual Result<DirEntry> GetEntry(const std::string& path) = 0;

    // As CompareFileContents, firstDifference included; a path that is a link, a FIFO or no
    // regular file is a failure.
    virtual Result<bool> CompareContents(const std::string& pathA, const std::string& pathB,
                                         const ChunkPump& pump,
                                         uint64_t* firstDifference = nullptr) = 0;
    virtual Result<uint32_t> Crc32(const std::string& path, const ChunkPump& pump) = 0;

    // Makes target a copy of source: the bytes (or, for a link, the link text), the mode bits
    // and the modification time. Where the run may set owners (as root) the copy also gets
    // the source's owner and group, and only then keeps set-user-ID, set-group-ID and sticky
    // bits. The copy is written beside the target under a temporary name (NewCopyTempName)
    // and renamed over it, so the old target stays whole until the new one is, its inode is
    // never changed, and a read-only old target needs no change of mode to be replaced. Where
    // a file of the target's name exists, the copy's data is on the disk before it takes the
    // name, so that a power cut too leaves the old version whole; a new name is not waited
    // for. A pump that says stop fails the copy with ECANCELED and leaves the old target.
    virtual Status CopyFile(const std::string& source, const std::string& target,
                            const CopyOptions& options, const ChunkPump& pump) = 0;
    // CopyFile without its last step, for callers that make many copies durable at once: the
    // copy is left whole under its temporary name beside target, whose full path is given, and
    // target is untouched. SyncFiles makes it durable, Rename puts it in place and RemoveFile
    // drops it. On failure nothing is left behind.
    virtual Result<std::string> CopyToTemporary(const std::string& source,
                                                const std::string& target,
                                                const CopyOptions& options,
                                                const ChunkPump& pump) = 0;
    // Writes the files' data through to the disk, one status per path in their order. Files
    // of one file system share one sync of it where they can: a batch costs about what one
    // file does. A link has nothing to write back.
    virtual std::vector<Status> SyncFiles(const std::vector<std::string>& paths) = 0;
    // Removes a file or link. As on Linux generally, whether that is allowed depends on the
    // folder, not on the file's own mode.
    virtual Status RemoveFile(const std::string& path) = 0;
    // Overwrites the file's bytes, syncs them and removes it; a file that cannot be removed
    // (its folder's rights, the sticky rule) fails before any byte is overwritten. A link, or a
    // file with another hard link, only loses its name: its bytes belong to that other name
    // too. A read-only file with no other hard link is made writable first.
    virtual Status WipeFile(const std::string& path) = 0;
    // Into the freedesktop.org trash of the file's own file system, renamed there from its
    // held folder.
    virtual Status MoveToTrash(const std::string& path) = 0;
    // A second hard link of the file into the trash of its file system, with its .trashinfo;
    // the file itself keeps its name.
    virtual Status LinkToTrash(const std::string& path) = 0;
    virtual Status MakeFolder(const std::string& path) = 0;
    // Creates path as the copy of the folder `like`: with like's owner and group where the run
    // may set owners, and with like's permission bits plus the owner's read, write and search
    // access, which filling it may need. Gives the bits it must have once filled (like's own,
    // for SetFolderMode).
    virtual Result<uint32_t> MakeFolderLike(const std::string& path, const std::string& like) = 0;
    // Sets a folder's permission bits; a link is refused, never followed.
    virtual Status SetFolderMode(const std::string& path, uint32_t mode) = 0;
    // Removes an empty folder.
    virtual Status RemoveFolder(const std::string& path) = 0;
    // Gives the owner write and search access to a folder, what clearing a read-only mark of a
    // folder means here; the folder's permission bits before, for SetFolderMode.
    virtual Result<uint32_t> MakeWritable(const std::string& folderPath) = 0;
    virtual Status Rename(const std::string& from, const std::string& to) = 0;
    // A new, empty file folder + NewTempName(prefix, extension); its full path.
    virtual Result<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                               const std::string& extension) = 0;
};

// The folders one run works in, held open for as long as this object lives: the run's paths
// below them resolve from these descriptors, never through a link. Used by one run at a time;
// it lives no longer than the file system that opened it.
class IHeldRoots : public IFileOperations {
public:
    // Whether a held root is still there: still linked (a folder removed while held stays open
    // and lists as empty) and still the folder its path leads to (a disk that was unplugged and
    // unmounted leaves its mount point's own folder there). ENOENT when not, or never held.
    virtual Status CheckRootHeld(const std::string& rootFolder) = 0;
    // What the file system of a held root makes of names (NameRules.h); the rules of a Linux
    // file system when the root is not held.
    virtual TargetNameRules NameRules(const std::string& rootFolder) = 0;
};

// The file system. It holds nothing of any run, so one instance serves every caller and
// thread at once; its own operations hold no root.
class IFileSystem : public IFileOperations {
public:
    // Opens and holds the folders a run works in (folder paths ending in "/"; a link naming a
    // root itself is followed once, here). On failure nothing is held, and failedFolder (when
    // given) names the folder that could not be.
    virtual Result<std::unique_ptr<IHeldRoots>> OpenRoots(
        const std::vector<std::string>& rootFolders, std::string* failedFolder = nullptr) = 0;

    // The program's own files: the task list and its support files, the options, the log,
    // the error record, report pages, saved plans and the instance lock. They lie outside any
    // run's roots and are reached by path, each as the free function of the same name does
    // (FileSystemQueries.h, SettingsFileWrite.h, FileAppend.h, InstanceLock.h), so that a test
    // double can fail them as it fails a run's operations.
    virtual Result<PathInfo> StatPath(const std::string& path, bool followLinks) = 0;
    virtual Result<std::string> ReadWholeFile(const std::string& path) = 0;
    virtual Result<std::string> ReadPrivateFile(const std::string& path, uint64_t maxBytes) = 0;
    virtual Status WriteFileThroughLinks(const std::string& path, std::string_view bytes) = 0;
    virtual Status WriteNewFile(const std::string& path, std::string_view bytes) = 0;
    virtual Status WriteFileAtomically(const std::string& path, std::string_view bytes) = 0;
    virtual Status WritePrivateFileAtomically(const std::string& path, std::string_view bytes) = 0;
    virtual Status AppendToFile(const std::string& path, std::string_view bytes) = 0;
    virtual Status CopyFileOver(const std::string& sourcePath, const std::string& targetPath) = 0;
    virtual Result<std::string> CreateUniqueFile(const std::string& folder, std::string_view prefix,
                                                 std::string_view suffix, unsigned mode) = 0;
    virtual Status RenameFile(const std::string& from, const std::string& to) = 0;
    // unlink(2) by path, as the free RemoveFile: RemoveFile of this interface changes nothing
    // outside a run's roots.
    virtual Status RemoveProgramFile(const std::string& path) = 0;
    virtual Status MakeDirectory(const std::string& path) = 0;
    virtual Status MakeDirectoryLike(const std::string& path, const std::string& like,
                                     bool withOwner) = 0;
    virtual Result<InstanceLock> AcquireInstanceLock(const std::string& appPath) = 0;
};

}  // namespace duvanto
