#pragma once
// The real file system with switches that make chosen operations fail, for the failures a test
// cannot cause on demand (a full disk, a rename that fails, a trash that refuses). Switch on,
// run, switch off, check that nothing was lost and that the next run repairs the rest.

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/PosixFileSystem.h"

namespace duvanto::test {

enum class FsOp {
    List,
    GetEntry,
    Compare,
    Crc32,
    Copy,
    Remove,
    Wipe,
    Trash,       // moving or linking into the trash
    MakeFolder,  // with or without a folder to copy
    SetMode,
    RemoveFolder,
    MakeWritable,
    Rename,
    CreateTemp,
};

class FaultyFileSystem : public PosixFileSystem {
public:
    explicit FaultyFileSystem(TrashEnvironment trash) : PosixFileSystem(std::move(trash)) {}

    // The operation fails with errorCode for this path ("" = any path). For Copy and Rename the
    // path is the target.
    void Fail(FsOp op, const std::string& path, int errorCode) { m_faults[{op, path}] = errorCode; }
    // The operation throws instead, as an unexpected failure would.
    void Throw(FsOp op, const std::string& path) { m_faults[{op, path}] = kThrow; }
    void ClearFaults() { m_faults.clear(); }
    // Every copy fails as a full disk would.
    void DiskFull(bool full) { m_diskFull = full; }
    int Calls(FsOp op) const;
    // Listings come sorted by name, so that a test can expect an order the disk does not promise.
    void SortListings(bool sorted) { m_sortListings = sorted; }

    Result<std::vector<DirEntry>> ListFolder(const std::string& folderPath,
                                             bool withStatus) override;
    Result<DirEntry> GetEntry(const std::string& path) override;
    Result<bool> CompareContents(const std::string& a, const std::string& b, const ChunkPump& pump,
                                 uint64_t* firstDifference = nullptr) override;
    Result<uint32_t> Crc32(const std::string& path, const ChunkPump& pump) override;
    Status CopyFile(const std::string& source, const std::string& target,
                    const CopyOptions& options, const ChunkPump& pump) override;
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
    static constexpr int kThrow = -1;

    // Counts the call; the injected failure for it, or Ok.
    Status Check(FsOp op, const std::string& path);

    std::map<std::pair<FsOp, std::string>, int> m_faults;
    // The walk lists the Source and the Target on two threads at once.
    mutable std::mutex m_callsMutex;
    std::map<FsOp, int> m_calls;
    bool m_diskFull = false;
    bool m_sortListings = false;
};

// A trash inside the given folder, on the folder's own file system.
TrashEnvironment TrashInside(const std::string& folder);

}  // namespace duvanto::test
