#pragma once
// The real file system with switches that make chosen operations fail, for the failures a test
// cannot cause on demand (a full disk, a rename that fails, a trash that refuses). Switch on,
// run, switch off, check that nothing was lost and that the next run repairs the rest.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/PosixFileSystem.h"

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
};

class FaultyFileSystem : public PosixFileSystem {
public:
    explicit FaultyFileSystem(TrashEnvironment trash) : PosixFileSystem(std::move(trash)) {}

    // The operation fails with errorCode for this path ("" = any path). For Copy and Rename the
    // path is the target; for Sync the folder of the temporary file, whose name nobody knows
    // beforehand.
    void Fail(FsOp op, const std::string& path, int errorCode) { m_faults[{op, path}] = errorCode; }
    // The operation throws instead, as an unexpected failure would.
    void Throw(FsOp op, const std::string& path) { m_faults[{op, path}] = kThrow; }
    // Runs action once, right before the operation on this path ("" = any path) goes to the
    // real file system: another user's or program's move at an exact step of a run (a folder
    // swapped for a link, a Source unplugged). Paths as for Fail.
    void Before(FsOp op, const std::string& path, std::function<void()> action) {
        std::lock_guard<std::mutex> lock(m_callsMutex);
        m_before[{op, path}] = std::move(action);
    }
    void ClearFaults() {
        std::lock_guard<std::mutex> lock(m_callsMutex);
        m_faults.clear();
        m_before.clear();
    }
    // Every copy fails as a full disk would (CopyFile and CopyToTemporary).
    void DiskFull(bool full) { m_diskFull = full; }
    int Calls(FsOp op) const;
    // Listings come sorted by name, so that a test can expect an order the disk does not promise.
    void SortListings(bool sorted) { m_sortListings = sorted; }

    Result<std::vector<DirEntry>> ListFolder(const std::string& folderPath,
                                             bool withStatus) override;
    Status CopyFile(const std::string& source, const std::string& target,
                    const CopyOptions& options, const ChunkPump& pump) override;
    Result<std::string> CopyToTemporary(const std::string& source, const std::string& target,
                                        const CopyOptions& options, const ChunkPump& pump) override;
    std::vector<Status> SyncFiles(const std::vector<std::string>& paths) override;
    Result<bool> CompareContents(const std::string& a, const std::string& b, const ChunkPump& pump,
                                 uint64_t* firstDifference = nullptr) override {
        return Guard(FsOp::Compare, a,
                     [&] { return PosixFileSystem::CompareContents(a, b, pump, firstDifference); });
    }
    Result<uint32_t> Crc32(const std::string& path, const ChunkPump& pump) override {
        return Guard(FsOp::Compare, path, [&] { return PosixFileSystem::Crc32(path, pump); });
    }
    Result<DirEntry> GetEntry(const std::string& path) override {
        return Guard(FsOp::Stat, path, [&] { return PosixFileSystem::GetEntry(path); });
    }
    Status RemoveFile(const std::string& path) override {
        return Guard(FsOp::Remove, path, [&] { return PosixFileSystem::RemoveFile(path); });
    }
    Status WipeFile(const std::string& path) override {
        return Guard(FsOp::Wipe, path, [&] { return PosixFileSystem::WipeFile(path); });
    }
    Status MoveToTrash(const std::string& path) override {
        return Guard(FsOp::Trash, path, [&] { return PosixFileSystem::MoveToTrash(path); });
    }
    Status LinkToTrash(const std::string& path) override {
        return Guard(FsOp::Trash, path, [&] { return PosixFileSystem::LinkToTrash(path); });
    }
    Status MakeFolder(const std::string& path) override {
        return Guard(FsOp::MakeFolder, path, [&] { return PosixFileSystem::MakeFolder(path); });
    }
    Result<uint32_t> MakeFolderLike(const std::string& path, const std::string& like) override {
        return Guard(FsOp::MakeFolder, path,
                     [&] { return PosixFileSystem::MakeFolderLike(path, like); });
    }
    Status RemoveFolder(const std::string& path) override {
        return Guard(FsOp::RemoveFolder, path, [&] { return PosixFileSystem::RemoveFolder(path); });
    }
    Result<uint32_t> MakeWritable(const std::string& folderPath) override {
        return Guard(FsOp::MakeWritable, folderPath,
                     [&] { return PosixFileSystem::MakeWritable(folderPath); });
    }
    Status Rename(const std::string& from, const std::string& to) override {
        return Guard(FsOp::Rename, to, [&] { return PosixFileSystem::Rename(from, to); });
    }
    Result<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                       const std::string& extension) override {
        return Guard(FsOp::CreateTemp, folder,
                     [&] { return PosixFileSystem::CreateTempFile(folder, prefix, extension); });
    }

private:
    static constexpr int kThrow = -1;

    // Counts the call and runs an action waiting for it; the injected failure for it, or Ok.
    Status Check(FsOp op, const std::string& path);
    // The injected failure, else what the real call gives.
    template <typename Call>
    auto Guard(FsOp op, const std::string& path, Call call) -> decltype(call()) {
        if (Status fault = Check(op, path); !fault.ok()) {
            return fault;
        }
        return call();
    }

    std::map<std::pair<FsOp, std::string>, int> m_faults;
    std::map<std::pair<FsOp, std::string>, std::function<void()>> m_before;
    // The walk lists the Source and the Target on two threads at once.
    mutable std::mutex m_callsMutex;  // guards m_calls, m_faults' changes and m_before
    std::map<FsOp, int> m_calls;
    bool m_diskFull = false;
    bool m_sortListings = false;
};

// A trash inside the given folder, on the folder's own file system.
TrashEnvironment TrashInside(const std::string& folder);

}  // namespace duvanto::test
