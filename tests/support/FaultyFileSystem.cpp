// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FaultyFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "platform/PosixFile.h"
#include "platform/PosixFileSystem.h"

namespace duvanto::test {

namespace {

class FaultyRoots : public FaultyOperations<IHeldRoots> {
public:
    FaultyRoots(FaultSwitches& switches, std::unique_ptr<IHeldRoots> wrapped)
        : m_switches(switches), m_wrapped(std::move(wrapped)) {}

    Status CheckRootHeld(const std::string& rootFolder) override {
        return m_wrapped->CheckRootHeld(rootFolder);
    }
    TargetNameRules NameRules(const std::string& rootFolder) override {
        return m_switches.InjectedNameRules().value_or(m_wrapped->NameRules(rootFolder));
    }

protected:
    FaultSwitches& Switches() override { return m_switches; }
    IFileOperations& Wrapped() override { return *m_wrapped; }

private:
    FaultSwitches& m_switches;
    std::unique_ptr<IHeldRoots> m_wrapped;
};

}  // namespace

void FaultSwitches::Fail(FsOp op, const std::string& path, int errorCode) {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    m_faults[{op, path}] = errorCode;
}

void FaultSwitches::Throw(FsOp op, const std::string& path) {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    m_faults[{op, path}] = kThrow;
}

void FaultSwitches::Before(FsOp op, const std::string& path, std::function<void()> action) {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    m_before[{op, path}] = std::move(action);
}

void FaultSwitches::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    m_faults.clear();
    m_before.clear();
}

bool FaultSwitches::Quiet() const {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    return m_faults.empty() && m_before.empty();
}

int FaultSwitches::Calls(FsOp op) const {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    auto it = m_calls.find(op);
    return it == m_calls.end() ? 0 : it->second;
}

Status FaultSwitches::LastOutcome(FsOp op) const {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    auto it = m_outcomes.find(op);
    return it == m_outcomes.end() ? Status::Ok() : it->second;
}

void FaultSwitches::Record(FsOp op, const Status& status) {
    std::lock_guard<std::mutex> lock(m_callsMutex);
    m_outcomes[op] = status;
}

Status FaultSwitches::Check(FsOp op, const std::string& path) {
    std::function<void()> action;
    int fault = 0;
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
    {
        std::lock_guard<std::mutex> lock(m_callsMutex);
        for (const std::string& key : {path, std::string()}) {
            auto it = m_faults.find({op, key});
            if (it != m_faults.end()) {
                fault = it->second;
                break;
            }
        }
    }
    if (fault == kThrow) {
        throw std::runtime_error("injected failure");
    }
    return fault == 0 ? Status::Ok() : Status::FromErrno(fault);
}

template <typename Interface>
std::vector<Status> FaultyOperations<Interface>::SyncFiles(const std::vector<std::string>& paths) {
    std::vector<Status> results(paths.size());
    std::vector<std::string> real;
    std::vector<std::size_t> realIndex;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        results[i] = Switches().Check(FsOp::Sync, ContainingFolder(paths[i]));
        if (results[i].ok()) {
            real.push_back(paths[i]);
            realIndex.push_back(i);
        }
    }
    const std::vector<Status> synced = Wrapped().SyncFiles(real);
    for (std::size_t i = 0; i < synced.size(); ++i) {
        results[realIndex[i]] = synced[i];
    }
    return results;
}

template <typename Interface>
Result<std::vector<DirEntry>> FaultyOperations<Interface>::Sorted(
    Result<std::vector<DirEntry>> listed) {
    if (Switches().sortListings() && listed.ok()) {
        std::sort(listed.value().begin(), listed.value().end(),
                  [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    }
    return listed;
}

template class FaultyOperations<IFileSystem>;
template class FaultyOperations<IHeldRoots>;

FaultyFileSystem::FaultyFileSystem(TrashEnvironment trash)
    : m_own(std::make_unique<PosixFileSystem>(std::move(trash))), m_wrapped(*m_own) {}

FaultyFileSystem::FaultyFileSystem(IFileSystem& wrapped) : m_wrapped(wrapped) {}

FaultyFileSystem::~FaultyFileSystem() = default;

Result<std::unique_ptr<IHeldRoots>> FaultyFileSystem::OpenRoots(
    const std::vector<std::string>& rootFolders, std::string* failedFolder) {
    Result<std::unique_ptr<IHeldRoots>> held = m_wrapped.OpenRoots(rootFolders, failedFolder);
    if (!held.ok()) {
        return held;
    }
    return std::unique_ptr<IHeldRoots>(
        std::make_unique<FaultyRoots>(*this, std::move(held.value())));
}

Result<PathInfo> FaultyFileSystem::StatPath(const std::string& path, bool followLinks) {
    return Guard(FsOp::Stat, path, [&] { return m_wrapped.StatPath(path, followLinks); });
}

Result<std::string> FaultyFileSystem::ReadWholeFile(const std::string& path) {
    return Guard(FsOp::ReadFile, path, [&] { return m_wrapped.ReadWholeFile(path); });
}

Result<std::string> FaultyFileSystem::ReadPrivateFile(const std::string& path, uint64_t maxBytes) {
    return Guard(FsOp::ReadFile, path, [&] { return m_wrapped.ReadPrivateFile(path, maxBytes); });
}

Status FaultyFileSystem::WriteFileThroughLinks(const std::string& path, std::string_view bytes) {
    return Guard(FsOp::WriteFile, path,
                 [&] { return m_wrapped.WriteFileThroughLinks(path, bytes); });
}

Status FaultyFileSystem::WriteNewFile(const std::string& path, std::string_view bytes) {
    return Guard(FsOp::WriteFile, path, [&] { return m_wrapped.WriteNewFile(path, bytes); });
}

Status FaultyFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
    return Guard(FsOp::WriteFile, path, [&] { return m_wrapped.WriteFileAtomically(path, bytes); });
}

Status FaultyFileSystem::WritePrivateFileAtomically(const std::string& path,
                                                    std::string_view bytes) {
    return Guard(FsOp::WriteFile, path,
                 [&] { return m_wrapped.WritePrivateFileAtomically(path, bytes); });
}

Status FaultyFileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    return Guard(FsOp::Append, path, [&] { return m_wrapped.AppendToFile(path, bytes); });
}

Status FaultyFileSystem::CopyFileOver(const std::string& sourcePath,
                                      const std::string& targetPath) {
    return Guard(FsOp::Copy, targetPath,
                 [&] { return m_wrapped.CopyFileOver(sourcePath, targetPath); });
}

Result<std::string> FaultyFileSystem::CreateUniqueFile(const std::string& folder,
                                                       std::string_view prefix,
                                                       std::string_view suffix, unsigned mode) {
    return Guard(FsOp::CreateTemp, folder,
                 [&] { return m_wrapped.CreateUniqueFile(folder, prefix, suffix, mode); });
}

Status FaultyFileSystem::RenameFile(const std::string& from, const std::string& to) {
    return Guard(FsOp::Rename, to, [&] { return m_wrapped.RenameFile(from, to); });
}

Status FaultyFileSystem::RemoveProgramFile(const std::string& path) {
    return Guard(FsOp::Remove, path, [&] { return m_wrapped.RemoveProgramFile(path); });
}

Status FaultyFileSystem::MakeDirectory(const std::string& path) {
    return Guard(FsOp::MakeFolder, path, [&] { return m_wrapped.MakeDirectory(path); });
}

Status FaultyFileSystem::MakeDirectoryLike(const std::string& path, const std::string& like,
                                           bool withOwner) {
    return Guard(FsOp::MakeFolder, path,
                 [&] { return m_wrapped.MakeDirectoryLike(path, like, withOwner); });
}

Result<InstanceLock> FaultyFileSystem::AcquireInstanceLock(const std::string& appPath) {
    return Guard(FsOp::Lock, appPath, [&] { return m_wrapped.AcquireInstanceLock(appPath); });
}

TrashEnvironment TrashInside(const std::string& folder) {
    TrashEnvironment env = TrashEnvironment::FromProcess();
    env.homeTrash = folder + "Trash/";
    return env;
}

}  // namespace duvanto::test
