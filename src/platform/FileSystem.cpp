#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace duvanto {

namespace {

int OpenBeneath(int rootFd, const std::string& relative, int flags) {
    if (relative.empty()) {
        return fcntl(rootFd, F_DUPFD_CLOEXEC, 0);
    }
    open_how how{};
    how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    int fd = static_cast<int>(syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how));
    if (fd >= 0 || errno != ENOSYS) {
        return fd;
    }
    // Kernels before 5.6: walk component by component, refusing links on the way.
    int current = fcntl(rootFd, F_DUPFD_CLOEXEC, 0);
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

int64_t To100ns(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 10'000'000 + time.tv_nsec / 100;
}

EntryKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return EntryKind::File;
    }
    if (S_ISDIR(mode)) {
        return EntryKind::Folder;
    }
    if (S_ISLNK(mode)) {
        return EntryKind::Link;
    }
    return EntryKind::Special;
}

Status FillFromStat(int dirFd, DirEntry& entry) {
    struct stat st {};
    if (fstatat(dirFd, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return Status::FromErrno(errno);
    }
    entry.kind = KindOfMode(st.st_mode);
    entry.size = static_cast<uint64_t>(st.st_size);
    entry.modified = To100ns(st.st_mtim);
    entry.mode = st.st_mode & 07777;
    if (entry.kind == EntryKind::Link) {
        std::string target(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 256, '\0');
        ssize_t n = readlinkat(dirFd, entry.name.c_str(), target.data(), target.size());
        if (n < 0) {
            return Status::FromErrno(errno);
        }
        target.resize(static_cast<std::size_t>(n));
        entry.linkTarget = std::move(target);
    }
    return Status::Ok();
}

}  // namespace

PosixFileSystem::~PosixFileSystem() {
    ClearRoots();
}

void PosixFileSystem::ClearRoots() {
    for (Root& root : m_roots) {
        close(root.fd);
    }
    m_roots.clear();
}

Status PosixFileSystem::SetRoots(const std::vector<std::string>& rootFolders) {
    ClearRoots();
    for (const std::string& folder : rootFolders) {
        int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            Status failure = Status::FromErrno(errno);
            ClearRoots();
            return failure;
        }
        std::string path = folder;
        if (path.empty() || path.back() != '/') {
            path += '/';
        }
        m_roots.push_back({path, fd});
    }
    return Status::Ok();
}

const PosixFileSystem::Root* PosixFileSystem::FindRoot(const std::string& path,
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

int PosixFileSystem::OpenFolder(const std::string& folderPath) const {
    std::string relative;
    if (const Root* root = FindRoot(folderPath, relative)) {
        return OpenBeneath(root->fd, relative, O_RDONLY | O_DIRECTORY);
    }
    return open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
}

int PosixFileSystem::OpenParent(const std::string& path, std::string& lastComponent) const {
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
    std::string relative;
    const Root* root = FindRoot(parent, relative);
    if (root != nullptr) {
        return OpenBeneath(root->fd, relative, O_RDONLY | O_DIRECTORY);
    }
    // The parent of a root (or of a path outside every root) is the user's own path.
    return open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

Result<std::vector<DirEntry>> PosixFileSystem::ListFolder(const std::string& folderPath,
                                                          bool withStatus) {
    int fd = OpenFolder(folderPath);
    if (fd < 0) {
        return Status::FromErrno(errno);
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        Status failure = Status::FromErrno(errno);
        close(fd);
        return failure;
    }
    std::vector<DirEntry> entries;
    errno = 0;
    while (dirent* raw = readdir(dir)) {
        const char* name = raw->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        DirEntry entry;
        entry.name = name;
        bool needStat = withStatus;
        switch (raw->d_type) {
            case DT_REG:
                entry.kind = EntryKind::File;
                break;
            case DT_DIR:
                entry.kind = EntryKind::Folder;
                break;
            case DT_LNK:
                entry.kind = EntryKind::Link;
                break;
            case DT_UNKNOWN:
                needStat = true;
                break;
            default:
                entry.kind = EntryKind::Special;
                break;
        }
        if (needStat) {
            Status status = FillFromStat(fd, entry);
            if (!status.ok()) {
                if (status.code() == ENOENT) {
                    continue;  // vanished between listing and status: it is simply not there
                }
                closedir(dir);
                return status;
            }
        }
        entries.push_back(std::move(entry));
        errno = 0;
    }
    Status result = errno != 0 ? Status::FromErrno(errno) : Status::Ok();
    closedir(dir);
    if (!result.ok()) {
        return result;
    }
    return entries;
}

Result<DirEntry> PosixFileSystem::GetEntry(const std::string& path) {
    DirEntry entry;
    int fd = OpenParent(path, entry.name);
    if (fd < 0) {
        return Status::FromErrno(errno);
    }
    Status status = FillFromStat(fd, entry);
    close(fd);
    if (!status.ok()) {
        return status;
    }
    return entry;
}

Result<bool> PosixFileSystem::CompareContents(const std::string& pathA, const std::string& pathB,
                                              const ChunkPump& pump) {
    return CompareFileContents(pathA, pathB, pump);
}

Result<uint32_t> PosixFileSystem::Crc32(const std::string& path, const ChunkPump& pump) {
    return FileCrc32(path, pump);
}

}  // namespace duvanto
