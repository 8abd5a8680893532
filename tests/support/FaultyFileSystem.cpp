#include "support/FaultyFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "platform/PosixFile.h"

namespace duvanto::test {

int FaultyFileSystem::Calls(FsOp op) const {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    auto it = m_calls.find(op);
    return it == m_calls.end() ? 0 : it->second;
}

Status FaultyFileSystem::Check(FsOp op, const std::string& path) {
    std::function<void()> action;
    {
        std::lock_guard<std::mutex> lock(m_callsMutex);
        ++m_calls[op];
        for (const std::string& key : {path, std::string()}) {
            auto it = m_before.find({op, key});
            if (it != m_before.end()) {
                action = std::move(it->second);
                m_before.erase(it);
                break;
            }
        }
    }
    if (action) {
        action();
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

Result<std::string> FaultyFileSystem::CopyToTemporary(const std::string& source,
                                                      const std::string& target,
                                                      const CopyOptions& options,
                                                      const ChunkPump& pump) {
    if (Status fault = Check(FsOp::Copy, target); !fault.ok()) {
        return fault;
    }
    if (m_diskFull) {
        return Status::FromErrno(ENOSPC);
    }
    return PosixFileSystem::CopyToTemporary(source, target, options, pump);
}

std::vector<Status> FaultyFileSystem::SyncFiles(const std::vector<std::string>& paths) {
    std::vector<Status> results(paths.size());
    std::vector<std::string> real;
    std::vector<std::size_t> realIndex;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        results[i] = Check(FsOp::Sync, ContainingFolder(paths[i]));
        if (results[i].ok()) {
            real.push_back(paths[i]);
            realIndex.push_back(i);
        }
    }
    const std::vector<Status> synced = PosixFileSystem::SyncFiles(real);
    for (std::size_t i = 0; i < synced.size(); ++i) {
        results[realIndex[i]] = synced[i];
    }
    return results;
}

TrashEnvironment TrashInside(const std::string& folder) {
    TrashEnvironment env = TrashEnvironment::FromProcess();
    env.homeTrash = folder + "Trash/";
    return env;
}

}  // namespace duvanto::test
