#include "support/FaultyFileSystem.h"
#include "platform/PosixFileSystem.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace duvanto::test {

int FaultyFileSystem::Calls(FsOp op) const {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    auto it = m_calls.find(op);
    return it == m_calls.end() ? 0 : it->second;
}

Status FaultyFileSystem::Check(FsOp op, const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(m_callsMutex);
        ++m_calls[op];
    }
    for (const std::string& key : {path, std::string()}) {
        auto it = m_faults.find({op, key});
        if (it != m_faults.end()) {
            if (it->second == kThrow) {
                throw std::runtime_error("injected failure");
            }
            return Status::FromErrno(it->second);
        }
    }
    return Status::Ok();
}

Result<std::vector<DirEntry>> FaultyFileSystem::ListFolder(const std::string& folderPath,
                                                           bool withStatus) {
    if (Status fault = Check(FsOp::List, folderPath); !fault.ok()) {
        return fault;
    }
    Result<std::vector<DirEntry>> listed = PosixFileSystem::ListFolder(folderPath, withStatus);
    if (m_sortListings && listed.ok()) {
        std::sort(listed.value().begin(), listed.value().end(),
                  [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    }
    return listed;
}

Result<DirEntry> FaultyFileSystem::GetEntry(const std::string& path) {
    if (Status fault = Check(FsOp::GetEntry, path); !fault.ok()) {
        return fault;
    }
    return PosixFileSystem::GetEntry(path);
}

Result<bool> FaultyFileSystem::CompareContents(const std::string& a, const std::string& b,
                                               const ChunkPump& pump, uint64_t* firstDifference) {
    if (Status fault = Check(FsOp::Compare, a); !fault.ok()) {
        return fault;
    }
    return PosixFileSystem::CompareContents(a, b, pump, firstDifference);
}

Result<uint32_t> FaultyFileSystem::Crc32(const std::string& path, const ChunkPump& pump) {
    if (Status fault = Check(FsOp::Crc32, path); !fault.ok()) {
        return fault;
    }
    return PosixFileSystem::Crc32(path, pump);
}

Status FaultyFileSystem::CopyFile(const std::string& source, const std::string& target,
                                  const CopyOptions& options, const ChunkPump& pump) {
    if (Status fault = Check(FsOp::Copy, target); !fault.ok()) {
        return fault;
    }
    if (m_diskFull) {
        return Status::FromErrno(ENOSPC);
    }
    return PosixFileSystem::CopyFile(source, target, options, pump);
}

Status FaultyFileSystem::RemoveFile(const std::string& path) {
    Status fault = Check(FsOp::Remove, path);
    return fault.ok() ? PosixFileSystem::RemoveFile(path) : fault;
}

Status FaultyFileSystem::WipeFile(const std::string& path) {
    Status fault = Check(FsOp::Wipe, path);
    return fault.ok() ? PosixFileSystem::WipeFile(path) : fault;
}

Status FaultyFileSystem::MoveToTrash(const std::string& path) {
    Status fault = Check(FsOp::Trash, path);
    return fault.ok() ? PosixFileSystem::MoveToTrash(path) : fault;
}

Status FaultyFileSystem::LinkToTrash(const std::string& path) {
    Status fault = Check(FsOp::Trash, path);
    return fault.ok() ? PosixFileSystem::LinkToTrash(path) : fault;
}

Status FaultyFileSystem::MakeFolder(const std::string& path) {
    Status fault = Check(FsOp::MakeFolder, path);
    return fault.ok() ? PosixFileSystem::MakeFolder(path) : fault;
}

Result<uint32_t> FaultyFileSystem::MakeFolderLike(const std::string& path,
                                                  const std::string& like) {
    if (Status fault = Check(FsOp::MakeFolder, path); !fault.ok()) {
        return fault;
    }
    return PosixFileSystem::MakeFolderLike(path, like);
}

Status FaultyFileSystem::SetFolderMode(const std::string& path, uint32_t mode) {
    Status fault = Check(FsOp::SetMode, path);
    return fault.ok() ? PosixFileSystem::SetFolderMode(path, mode) : fault;
}

Status FaultyFileSystem::RemoveFolder(const std::string& path) {
    Status fault = Check(FsOp::RemoveFolder, path);
    return fault.ok() ? PosixFileSystem::RemoveFolder(path) : fault;
}

Result<uint32_t> FaultyFileSystem::MakeWritable(const std::string& folderPath) {
    if (Status fault = Check(FsOp::MakeWritable, folderPath); !fault.ok()) {
        return fault;
    }
    return PosixFileSystem::MakeWritable(folderPath);
}

Status FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    Status fault = Check(FsOp::Rename, to);
    return fault.ok() ? PosixFileSystem::Rename(from, to) : fault;
}

Result<std::string> FaultyFileSystem::CreateTempFile(const std::string& folder,
                                                     const std::string& prefix,
                                                     const std::string& extension) {
    if (Status fault = Check(FsOp::CreateTemp, folder); !fault.ok()) {
        return fault;
    }
    return PosixFileSystem::CreateTempFile(folder, prefix, extension);
}

TrashEnvironment TrashInside(const std::string& folder) {
    TrashEnvironment env = TrashEnvironment::FromProcess();
    env.homeTrash = folder + "Trash/";
    return env;
}

}  // namespace duvanto::test
