// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file system with switches that make chosen operations fail, for the failures a test cannot
// cause on demand (a full disk, a rename that fails, a trash that refuses). It wraps another
// file system (the real one unless a test hands in its own), and the roots a run opens through
// it: the switches reach a run's operations as well as the file system's own. Switch on, run,
// switch off, check that nothing was lost and that the next run repairs the rest.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Trash.h"

namespace duvanto::test {

enum class FsOp {
    List,
    Stat,     // one entry's status
    Compare,  // contents compared, or a CRC-32 read; the path is the first (Source) one
    Copy,
    Remove,
    Wipe,
    Trash,       // moving or linking into the trash
    MakeFolder,  // with or without a folder to copy
    RemoveFolder,
    MakeWritable,
    Rename,
    CreateTemp,
    Sync,  // a copy's data written through to the disk; the path is the copy's folder
    // The program's own files (IFileSystem's by-path operations). Their status, removal,
    // folders, copy over, rename and unique file go by Stat, Remove, MakeFolder, Copy, Rename
    // and CreateTemp above.
    ReadFile,
    WriteFile,  // whole-file writes: through links, new, atomic, private
    Append,
    Lock,  // the instance lock; the path is the program folder
};

// The switches, and what was called; shared by a FaultyFileSystem and the roots opened by it.
class FaultSwitches {
public:
    // The operation fails with errorCode for this path ("" = any path). For Copy and Rename the
    // path is the target; for Sync the folder of the temporary file, whose name nobody knows
    // beforehand.
    void Fail(FsOp op, const std::string& path, int errorCode);
    // The operation throws instead, as an unexpected failure would.
    void Throw(FsOp op, const std::string& path);
    // Runs action once, right before the operation on this path ("" = any path) goes to the
    // real file system: another user's or program's move at an exact step of a run (a folder
    // swapped for a link, a Source unplugged). Paths as for Fail.
    void Before(FsOp op, const std::string& path, std::function<void()> action);
    void ClearFaults();
    // Every copy fails as a full disk would (CopyFile and CopyToTemporary).
    void DiskFull(bool full) { m_diskFull = full; }
    int Calls(FsOp op) const;
    // What the last call of the operation that reached the wrapped file system gave.
    Status LastOutcome(FsOp op) const;
    // Listings come sorted by name, so that a test can expect an order the disk does not promise.
    void SortListings(bool sorted) { m_sortListings = sorted; }
    // The held roots report these rules instead of their file system's: a Target that folds
    // case or refuses names, played on a disk that does neither.
    void InjectNameRules(std::optional<TargetNameRules> rules) { m_nameRules = std::move(rules); }
    const std::optional<TargetNameRules>& InjectedNameRules() const { return m_nameRules; }

    // Counts the call and runs an action waiting for it; the injected failure for it, or Ok.
    Status Check(FsOp op, const std::string& path);
    // The injected failure, else what the real call gives.
    template <typename Call>
    auto Guard(FsOp op, const std::string& path, Call call) -> decltype(call()) {
        if (Status fault = Check(op, path); !fault.ok()) {
            return fault;
        }
        auto outcome = call();
        Record(op, outcome);
        return outcome;
    }
    // No failure is switched on and no action waits for an operation.
    bool Quiet() const;
    bool diskFull() const { return m_diskFull; }
    bool sortListings() const { return m_sortListings; }

private:
    static constexpr int kThrow = -1;

    void Record(FsOp op, const Status& status);
    template <typename T>
    void Record(FsOp op, const Result<T>& result) {
        Record(op, result.status());
    }

    std::map<std::pair<FsOp, std::string>, int> m_faults;
    std::map<std::pair<FsOp, std::string>, std::function<void()>> m_before;
    // The walk lists the Source and the Target on two threads at once.
    mutable std::mutex m_callsMutex;  // guards m_calls, m_outcomes, m_faults' changes, m_before
    std::map<FsOp, int> m_calls;
    std::map<FsOp, Status> m_outcomes;
    bool m_diskFull = false;
    bool m_sortListings = false;
    std::optional<TargetNameRules> m_nameRules;
};

// Every operation, switched, on the file system or roots it wraps (Wrapped()).
template <typename Interface>
class FaultyOperations : public Interface {
public:
    Result<std::vector<DirEntry>> ListFolder(const std::string& folderPath,
                                             bool withStatus) override {
        return Sorted(Switches().Guard(
            FsOp::List, folderPath, [&] { return Wrapped().ListFolder(folderPath, withStatus); }));
    }
    // A listing made ahead would slip past the switches and the actions waiting for it: only
    // a run without any is listed ahead, as the real one is.
    void ListAhead(const std::string& folderPath, bool withStatus) override {
        if (Switches().Quiet()) {
            Wrapped().ListAhead(folderPath, withStatus);
        }
    }
    void DropListedAhead() override { Wrapped().DropListedAhead(); }
    // Both listings are switched, and those not switched off are made as the wrapped file
    // system makes a pair (on two threads, for the real one).
    std::pair<Result<std::vector<DirEntry>>, Result<std::vector<DirEntry>>> ListFolderPair(
        const std::string& first, const std::string& second, bool withStatus) override {
        Status firstFault = Switches().Check(FsOp::List, first);
        Status secondFault = Switches().Check(FsOp::List, second);
        std::pair<Result<std::vector<DirEntry>>, Result<std::vector<DirEntry>>> listed{firstFault,
                                                                                       secondFault};
        if (firstFault.ok() && secondFault.ok()) {
            listed = Wrapped().ListFolderPair(first, second, withStatus);
        } else if (firstFault.ok()) {
            listed.first = Wrapped().ListFolder(first, withStatus);
        } else if (secondFault.ok()) {
            listed.second = Wrapped().ListFolder(second, withStatus);
        }
        return {Sorted(std::move(listed.first)), Sorted(std::move(listed.second))};
    }
    Result<DirEntry> GetEntry(const std::string& path) override {
        return Switches().Guard(FsOp::Stat, path, [&] { return Wrapped().GetEntry(path); });
    }
    Result<bool> CompareContents(const std::string& a, const std::string& b, const ChunkPump& pump,
                                 uint64_t* firstDifference = nullptr) override {
        return Switches().Guard(FsOp::Compare, a, [&] {
            return Wrapped().CompareContents(a, b, pump, firstDifference);
        });
    }
    Result<uint32_t> Crc32(const std::string& path, const ChunkPump& pump) override {
        return Switches().Guard(FsOp::Compare, path, [&] { return Wrapped().Crc32(path, pump); });
    }
    Status CopyFile(const std::string& source, const std::string& target,
                    const CopyOptions& options, const ChunkPump& pump) override {
        return Switches().Guard(FsOp::Copy, target, [&] {
            return Switches().diskFull() ? Status::FromErrno(ENOSPC)
                                         : Wrapped().CopyFile(source, target, options, pump);
        });
    }
    Result<std::string> CopyToTemporary(const std::string& source, const std::string& target,
                                        const CopyOptions& options,
                                        const ChunkPump& pump) override {
        return Switches().Guard(FsOp::Copy, target, [&] {
            return Switches().diskFull() ? Result<std::string>(Status::FromErrno(ENOSPC))
                                         : Wrapped().CopyToTemporary(source, target, options, pump);
        });
    }
    std::vector<Status> SyncFiles(const std::vector<std::string>& paths) override;
    Status RemoveFile(const std::string& path) override {
        return Switches().Guard(FsOp::Remove, path, [&] { return Wrapped().RemoveFile(path); });
    }
    Status WipeFile(const std::string& path) override {
        return Switches().Guard(FsOp::Wipe, path, [&] { return Wrapped().WipeFile(path); });
    }
    Status MoveToTrash(const std::string& path) override {
        return Switches().Guard(FsOp::Trash, path, [&] { return Wrapped().MoveToTrash(path); });
    }
    Status LinkToTrash(const std::string& path) override {
        return Switches().Guard(FsOp::Trash, path, [&] { return Wrapped().LinkToTrash(path); });
    }
    Status MakeFolder(const std::string& path) override {
        return Switches().Guard(FsOp::MakeFolder, path, [&] { return Wrapped().MakeFolder(path); });
    }
    Result<uint32_t> MakeFolderLike(const std::string& path, const std::string& like) override {
        return Switches().Guard(FsOp::MakeFolder, path,
                                [&] { return Wrapped().MakeFolderLike(path, like); });
    }
    Status SetFolderMode(const std::string& path, uint32_t mode) override {
        return Wrapped().SetFolderMode(path, mode);
    }
    Status RemoveFolder(const std::string& path) override {
        return Switches().Guard(FsOp::RemoveFolder, path,
                                [&] { return Wrapped().RemoveFolder(path); });
    }
    Result<uint32_t> MakeWritable(const std::string& folderPath) override {
        return Switches().Guard(FsOp::MakeWritable, folderPath,
                                [&] { return Wrapped().MakeWritable(folderPath); });
    }
    Status Rename(const std::string& from, const std::string& to) override {
        return Switches().Guard(FsOp::Rename, to, [&] { return Wrapped().Rename(from, to); });
    }
    Result<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                       const std::string& extension) override {
        return Switches().Guard(FsOp::CreateTemp, folder, [&] {
            return Wrapped().CreateTempFile(folder, prefix, extension);
        });
    }

protected:
    virtual FaultSwitches& Switches() = 0;
    virtual IFileOperations& Wrapped() = 0;

private:
    Result<std::vector<DirEntry>> Sorted(Result<std::vector<DirEntry>> listed);
};

class FaultyFileSystem : public FaultSwitches, public FaultyOperations<IFileSystem> {
public:
    // Wraps a real file system of its own, with this trash.
    explicit FaultyFileSystem(TrashEnvironment trash);
    // Wraps wrapped, which outlives it.
    explicit FaultyFileSystem(IFileSystem& wrapped);
    ~FaultyFileSystem() override;

    // The roots, as the wrapped file system holds them, with every operation on them switched.
    Result<std::unique_ptr<IHeldRoots>> OpenRoots(const std::vector<std::string>& rootFolders,
                                                  std::string* failedFolder = nullptr) override;

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

protected:
    FaultSwitches& Switches() override { return *this; }
    IFileOperations& Wrapped() override { return m_wrapped; }

private:
    std::unique_ptr<IFileSystem> m_own;
    IFileSystem& m_wrapped;
};

// A trash inside the given folder, on the folder's own file system.
TrashEnvironment TrashInside(const std::string& folder);

}  // namespace duvanto::test
