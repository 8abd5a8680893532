// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFileSystem.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include "platform/PosixFile.h"
#include "platform/PosixLister.h"
#include "platform/ProcessPaths.h"

namespace duvanto {

namespace {

int OpenBeneath(int rootFd, const std::string& relative, int flags) {
    if (relative.empty()) {
        // A new open file description: a duplicate would share the root's read position.
        return openat(rootFd, ".", flags | O_CLOEXEC);
    }
    open_how how{};
    how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    int fd = static_cast<int>(syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how));
    if (fd >= 0 || errno != ENOSYS) {
        return fd;
    }
    // Kernels before 5.6: walk component by component, refusing links on the way.
    int current = openat(rootFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::size_t start = 0;
    while (current >= 0 && start < relative.size()) {
        std::size_t slash = relative.find('/', start);
        std::string part =
            relative.substr(start, slash == std::string::npos ? slash : slash - start);
        start = slash == std::string::npos ? relative.size() : slash + 1;
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            close(current);
            errno = EXDEV;
            return -1;
        }
        bool last = start >= relative.size();
        int next = openat(current, part.c_str(),
                          (last ? flags : O_RDONLY | O_DIRECTORY) | O_NOFOLLOW | O_CLOEXEC);
        int saved = errno;
        close(current);
        errno = saved;
        current = next;
    }
    return current;
}

}  // namespace

PosixHeldRoots::PosixHeldRoots(const Trash& trash, bool setsOwners, std::vector<Root> roots)
    : m_trash(trash), m_setsOwners(setsOwners), m_roots(std::move(roots)) {}

PosixHeldRoots::~PosixHeldRoots() {
    // The helper may be listing from a root's descriptor: it stops before they are closed.
    m_lister.reset();
    ForgetParents();
    for (const Root& root : m_roots) {
        close(root.fd);
    }
}

PosixFileSystem::PosixFileSystem() : m_setsOwners(geteuid() == 0) {}

PosixFileSystem::PosixFileSystem(TrashEnvironment trash)
    : m_trash(std::move(trash)), m_setsOwners(geteuid() == 0) {}

Result<std::unique_ptr<IHeldRoots>> PosixFileSystem::OpenRoots(
    const std::vector<std::string>& rootFolders, std::string* failedFolder) {
    std::vector<PosixHeldRoots::Root> roots;
    const auto closeAll = [&roots] {
        for (const PosixHeldRoots::Root& root : roots) {
            close(root.fd);
        }
    };
    for (const std::string& folder : rootFolders) {
        int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            Status failure = Status::FromErrno(errno);
            closeAll();
            if (failedFolder != nullptr) {
                *failedFolder = folder;
            }
            return failure;
        }
        std::string path = folder;
        if (path.empty() || path.back() != '/') {
            path += '/';
        }
        // What the descriptor holds, for the records that name a file's real place (the
        // trash); the name given may pass through links.
        char real[PATH_MAX];
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        ssize_t length = readlink(self.c_str(), real, sizeof real - 1);
        std::string realPath = length > 0 ? std::string(real, static_cast<std::size_t>(length))
                                          : ResolvedFolderPath(path);
        if (realPath.empty() || realPath.back() != '/') {
            realPath += '/';
        }
        roots.push_back({path, fd, realPath});
    }
    return std::unique_ptr<IHeldRoots>(
        std::make_unique<PosixHeldRoots>(m_trash, m_setsOwners, std::move(roots)));
}

Result<std::vector<DirEntry>> PosixFileSystem::ListFolder(const std::string& folderPath,
                                                          bool withStatus) {
    return Unheld().ListFolder(folderPath, withStatus);
}

Result<DirEntry> PosixFileSystem::GetEntry(const std::string& path) {
    return Unheld().GetEntry(path);
}

Result<bool> PosixFileSystem::CompareContents(const std::string& pathA, const std::string& pathB,
                                              const ChunkPump& pump, uint64_t* firstDifference) {
    return Unheld().CompareContents(pathA, pathB, pump, firstDifference);
}

Result<uint32_t> PosixFileSystem::Crc32(const std::string& path, const ChunkPump& pump) {
    return Unheld().Crc32(path, pump);
}

Status PosixFileSystem::CopyFile(const std::string& source, const std::string& target,
                                 const CopyOptions& options, const ChunkPump& pump) {
    return Unheld().CopyFile(source, target, options, pump);
}

Result<std::string> PosixFileSystem::CopyToTemporary(const std::string& source,
                                                     const std::string& target,
                                                     const CopyOptions& options,
                                                     const ChunkPump& pump) {
    return Unheld().CopyToTemporary(source, target, options, pump);
}

std::vector<Status> PosixFileSystem::SyncFiles(const std::vector<std::string>& paths) {
    return Unheld().SyncFiles(paths);
}

Status PosixFileSystem::RemoveFile(const std::string& path) {
    return Unheld().RemoveFile(path);
}

Status PosixFileSystem::WipeFile(const std::string& path) {
    return Unheld().WipeFile(path);
}

Status PosixFileSystem::MoveToTrash(const std::string& path) {
    return Unheld().MoveToTrash(path);
}

Status PosixFileSystem::LinkToTrash(const std::string& path) {
    return Unheld().LinkToTrash(path);
}

Status PosixFileSystem::MakeFolder(const std::string& path) {
    return Unheld().MakeFolder(path);
}

Result<uint32_t> PosixFileSystem::MakeFolderLike(const std::string& path, const std::string& like) {
    return Unheld().MakeFolderLike(path, like);
}

Status PosixFileSystem::SetFolderMode(const std::string& path, uint32_t mode) {
    return Unheld().SetFolderMode(path, mode);
}

Status PosixFileSystem::RemoveFolder(const std::string& path) {
    return Unheld().RemoveFolder(path);
}

Result<uint32_t> PosixFileSystem::MakeWritable(const std::string& folderPath) {
    return Unheld().MakeWritable(folderPath);
}

Status PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return Unheld().Rename(from, to);
}

Result<std::string> PosixFileSystem::CreateTempFile(const std::string& folder,
                                                    const std::string& prefix,
                                                    const std::string& extension) {
    return Unheld().CreateTempFile(folder, prefix, extension);
}

Status PosixHeldRoots::CheckRootHeld(const std::string& rootFolder) {
    const std::string path = NormalizeFolderPath(rootFolder);
    auto root = std::find_if(m_roots.begin(), m_roots.end(),
                             [&](const Root& held) { return held.path == path; });
    if (root == m_roots.end()) {
        return Status::FromErrno(ENOENT);
    }
    struct stat held {};
    struct stat named {};
    if (fstat(root->fd, &held) != 0 || stat(path.c_str(), &named) != 0) {
        return Status::FromErrno(errno);
    }
    if (held.st_nlink == 0 || held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
        return Status::FromErrno(ENOENT);
    }
    return Status::Ok();
}

TargetNameRules PosixHeldRoots::NameRules(const std::string& rootFolder) {
    const std::string path = NormalizeFolderPath(rootFolder);
    auto root = std::find_if(m_roots.begin(), m_roots.end(),
                             [&](const Root& held) { return held.path == path; });
    return root == m_roots.end() ? TargetNameRules{} : ProbeNameRules(root->fd);
}

const PosixHeldRoots::Root* PosixHeldRoots::FindRoot(const std::string& path,
                                                     std::string& relative) const {
    const Root* best = nullptr;
    for (const Root& root : m_roots) {
        // A root's own path may be given without its trailing "/".
        bool isRootItself =
            path.size() + 1 == root.path.size() && root.path.compare(0, path.size(), path) == 0;
        if (isRootItself || path.compare(0, root.path.size(), root.path) == 0) {
            if (best == nullptr || root.path.size() > best->path.size()) {
                best = &root;
            }
        }
    }
    if (best != nullptr) {
        relative = path.size() >= best->path.size() ? path.substr(best->path.size()) : "";
        while (!relative.empty() && relative.back() == '/') {
            relative.pop_back();
        }
    }
    return best;
}

int PosixHeldRoots::OpenFolder(const std::string& folderPath) const {
    std::string relative;
    if (const Root* root = FindRoot(folderPath, relative)) {
        const int fd = OpenBeneath(root->fd, relative, O_RDONLY | O_DIRECTORY);
        // A held root stays open when its folder is removed, and then lists as empty: it is
        // gone, not empty, or a run would take everything in its Target for an orphan.
        struct stat info {};
        if (fd >= 0 && relative.empty() && fstat(fd, &info) == 0 && info.st_nlink == 0) {
            close(fd);
            errno = ENOENT;
            return -1;
        }
        return fd;
    }
    return open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
}

int PosixHeldRoots::OpenEntryPath(const std::string& path) {
    std::string relative;
    if (const Root* root = FindRoot(path, relative)) {
        return OpenBeneath(root->fd, relative, O_PATH | O_NOFOLLOW);
    }
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    return open(trimmed.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
}

std::string PosixHeldRoots::RealPathOf(const std::string& path) const {
    std::string relative;
    if (const Root* root = FindRoot(path, relative)) {
        return root->realPath + relative;
    }
    return path;
}

int PosixHeldRoots::ParentFd(const std::string& path, std::string& lastComponent) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    std::size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        errno = ENOENT;
        return -1;
    }
    lastComponent = trimmed.substr(slash + 1);
    std::string parent = trimmed.substr(0, slash + 1);
    // Operations come folder by folder, so the last few parents serve most of them, and each
    // is resolved once.
    for (auto it = m_parents.begin(); it != m_parents.end(); ++it) {
        if (it->path == parent) {
            // Newest last: the entry evicted next is never one an operation just took.
            std::rotate(it, it + 1, m_parents.end());
            return m_parents.back().fd;
        }
    }
    int fd;
    std::string relative;
    if (const Root* root = FindRoot(parent, relative)) {
        fd = OpenBeneath(root->fd, relative, O_RDONLY | O_DIRECTORY);
    } else {
        // The parent of a root (or of a path outside every root) is the user's own path.
        fd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) {
        return -1;
    }
    constexpr std::size_t kRemembered = 4;
    if (m_parents.size() == kRemembered) {
        close(m_parents.front().fd);
        m_parents.erase(m_parents.begin());
    }
    m_parents.push_back({parent, fd, ""});
    return fd;
}

int PosixHeldRoots::ParentFdForChange(const std::string& path, std::string& lastComponent) {
    std::string relative;
    if (FindRoot(path, relative) == nullptr || relative.empty()) {
        errno = EPERM;
        return -1;
    }
    return ParentFd(path, lastComponent);
}

int PosixHeldRoots::ParentAndStatus(const std::string& path, std::string& lastComponent,
                                    struct stat& info) {
    const int dir = ParentFd(path, lastComponent);
    if (dir < 0 || fstatat(dir, lastComponent.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return -1;
    }
    return dir;
}

void PosixHeldRoots::ForgetParents() {
    for (const Root& parent : m_parents) {
        close(parent.fd);
    }
    m_parents.clear();
}

Result<UniqueFd> PosixHeldRoots::OpenForReading(const std::string& path) {
    std::string name;
    const int dir = ParentFd(path, name);
    if (dir < 0) {
        return Status::FromErrno(errno);
    }
    return OpenRegularFileForReading(dir, name);
}

Result<bool> PosixHeldRoots::CompareContents(const std::string& pathA, const std::string& pathB,
                                             const ChunkPump& pump, uint64_t* firstDifference) {
    Result<UniqueFd> fileA = OpenForReading(pathA);
    if (!fileA.ok()) {
        return fileA.status();
    }
    Result<UniqueFd> fileB = OpenForReading(pathB);
    if (!fileB.ok()) {
        return fileB.status();
    }
    return CompareFileContents(fileA.value().get(), fileB.value().get(), pump, firstDifference);
}

Result<uint32_t> PosixHeldRoots::Crc32(const std::string& path, const ChunkPump& pump) {
    Result<UniqueFd> file = OpenForReading(path);
    if (!file.ok()) {
        return file.status();
    }
    return FileCrc32(file.value().get(), pump);
}

}  // namespace duvanto
