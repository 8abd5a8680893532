// SPDX-License-Identifier: GPL-3.0-or-later
// The operations of the real file system that change something: copies, removals, the trash,
// folders and their modes. Like the reading ones they work from held folder descriptors and
// never follow a link.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <type_traits>

#include "platform/PosixFile.h"
#include "platform/PosixFileSystem.h"

namespace duvanto {

namespace {

timespec TimeOrNow(const timespec& time, bool keep) {
    if (keep) {
        return time;
    }
    timespec now{};
    now.tv_nsec = UTIME_NOW;
    return now;
}

constexpr std::array<long, 5> kFreedAtLastClose = {kExt4Magic, kXfsMagic, kBtrfsMagic, kTmpfsMagic,
                                                   kF2fsMagic};

std::string ProcFdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// Sets the mode of what an O_PATH descriptor holds (fchmod refuses such descriptors; the
// descriptor's own /proc entry reaches the very same inode, never a link's target).
Status ChangeModeOf(int pathFd, mode_t mode) {
    return ::chmod(ProcFdPath(pathFd).c_str(), mode) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

// Overwrites and syncs the file that took the name `held` in dir, which must still be the file
// `before` describes with no other name.
Status OverwriteHeldFile(int dir, const std::string& held, const struct stat& before) {
    UniqueFd file(openat(dir, held.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid() && errno == EACCES) {
        // A read-only file about to be destroyed: its mode may change, but only once the
        // descriptor shows it is the same file and still has no other name.
        UniqueFd pathOnly(openat(dir, held.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat now {};
        if (pathOnly.valid() && fstat(pathOnly.get(), &now) == 0 && S_ISREG(now.st_mode) &&
            now.st_dev == before.st_dev && now.st_ino == before.st_ino && now.st_nlink == 1 &&
            ChangeModeOf(pathOnly.get(), S_IRUSR | S_IWUSR).ok()) {
            file = UniqueFd(open(ProcFdPath(pathOnly.get()).c_str(), O_WRONLY | O_CLOEXEC));
        } else {
            errno = EACCES;
        }
    }
    if (!file.valid()) {
        return Status::FromErrno(errno);
    }
    if (Status wiped = OverwriteFileBytes(file.get()); !wiped.ok()) {
        return wiped;
    }
    return file.Close();
}

// Writes the data of the file `name` in dir through to the disk. A link's text is written
// with its own entry: nothing waits in the cache.
Status SyncFileAt(int dir, const std::string& name) {
    UniqueFd file(openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid()) {
        return errno == ELOOP ? Status::Ok() : Status::FromErrno(errno);
    }
    return fdatasync(file.get()) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

}  // namespace

bool PosixHeldRoots::CarryOwner(int fd, const struct stat& source) const {
    // Only root may give a file away; anybody else's attempt would fail, so it is not made.
    return m_setsOwners && ::fchown(fd, source.st_uid, source.st_gid) == 0;
}

Status PosixHeldRoots::WriteCopy(const std::string& source, const std::string& target,
                                 const CopyOptions& options, const ChunkPump& pump,
                                 WrittenCopy& written) {
    std::string sourceName;
    const int sourceDir = ParentFd(source, sourceName);
    if (sourceDir < 0) {
        return Status::FromErrno(errno);
    }
    const int targetDir = ParentFdForChange(target, written.targetName);
    if (targetDir < 0) {
        return Status::FromErrno(errno);
    }
    struct stat info {};
    if (fstatat(sourceDir, sourceName.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return Status::FromErrno(errno);
    }
    const std::string tempName = NewCopyTempName();
    Status status;

    if (S_ISLNK(info.st_mode)) {
        std::string text(static_cast<std::size_t>(info.st_size) + 1, '\0');
        ssize_t n = readlinkat(sourceDir, sourceName.c_str(), text.data(), text.size());
        if (n < 0) {
            return Status::FromErrno(errno);
        }
        text.resize(static_cast<std::size_t>(n));
        if (symlinkat(text.c_str(), targetDir, tempName.c_str()) != 0) {
            return Status::FromErrno(errno);
        }
        if (m_setsOwners) {
            fchownat(targetDir, tempName.c_str(), info.st_uid, info.st_gid, AT_SYMLINK_NOFOLLOW);
        }
        const timespec times[2] = {TimeOrNow(info.st_atim, options.keepAccessTime), info.st_mtim};
        if (utimensat(targetDir, tempName.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
            status = Status::FromErrno(errno);
        }
    } else if (S_ISREG(info.st_mode)) {
        UniqueFd input(
            openat(sourceDir, sourceName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!input.valid()) {
            return Status::FromErrno(errno);
        }
        if (fstat(input.get(), &info) != 0) {
            return Status::FromErrno(errno);
        }
        if (!S_ISREG(info.st_mode)) {
            return NotRegularFile();
        }
        UniqueFd output(
            openat(targetDir, tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!output.valid()) {
            return Status::FromErrno(errno);
        }
        status = CopyFileData(input.get(), output.get(), info, pump, &m_reflinks);
        // The owner first: a change of owner clears the set-user-ID and set-group-ID bits.
        const bool ownerCarried = status.ok() && CarryOwner(output.get(), info);
        if (status.ok() && fchmod(output.get(), CarriedMode(info.st_mode, ownerCarried)) != 0) {
            status = Status::FromErrno(errno);
        }
        const timespec times[2] = {TimeOrNow(info.st_atim, options.keepAccessTime), info.st_mtim};
        if (status.ok() && futimens(output.get(), times) != 0) {
            status = Status::FromErrno(errno);
        }
        Status closed = output.Close();
        if (status.ok()) {
            status = closed;
        }
    } else {
        return NotRegularFile();
    }

    if (!status.ok()) {
        unlinkat(targetDir, tempName.c_str(), 0);
        return status;
    }
    written.folder = targetDir;
    written.tempName = tempName;
    return status;
}

UniqueFd PosixHeldRoots::HoldAcrossRemoval(int dir, const std::string& name) {
    // A network file system keeps a name removed while open as a hidden stand-in until the
    // last close (NFS's .nfs files), which would keep its folder from being removed, and a
    // file system in user space may do the same: only local kernel file systems, which free
    // a removed file at its last close and nothing else, are asked to wait for that.
    struct statfs info {};
    if (fstatfs(dir, &info) != 0 ||
        std::find(kFreedAtLastClose.begin(), kFreedAtLastClose.end(),
                  static_cast<long>(info.f_type)) == kFreedAtLastClose.end()) {
        return UniqueFd();
    }
    return UniqueFd(openat(dir, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
}

template <class Operation>
auto PosixHeldRoots::WithRemovedFilesGone(Operation operation) {
    // Only this thread hands files over: with none held when it starts, none can free room.
    const bool someHeld = m_released.Pending() != 0;
    auto result = operation();
    const auto outOfRoom = [](const auto& outcome) {
        using Outcome = std::decay_t<decltype(outcome)>;
        int code = 0;
        if constexpr (std::is_same_v<Outcome, Status>) {
            code = outcome.code();
        } else if constexpr (std::is_same_v<Outcome, UniqueFd>) {
            code = outcome.valid() ? 0 : errno;
        } else {
            code = outcome.status().code();
        }
        return code == ENOSPC || code == EDQUOT;
    };
    if (someHeld && outOfRoom(result)) {
        m_released.Drain();
        result = operation();
    }
    return result;
}

Status PosixHeldRoots::CopyFile(const std::string& source, const std::string& target,
                                const CopyOptions& options, const ChunkPump& pump) {
    WrittenCopy written;
    if (Status status =
            WithRemovedFilesGone([&] { return WriteCopy(source, target, options, pump, written); });
        !status.ok()) {
        return status;
    }
    // A new name has no old version to keep, and takes the copy at once. A file that is there
    // is replaced only once the copy's data is on the disk, so that a power cut leaves the
    // old version or the new one, never the name without its data.
    const int dir = written.folder;
    int error = RenameNoReplace(dir, written.tempName, dir, written.targetName);
    if (error == EEXIST) {
        Status synced = SyncFileAt(dir, written.tempName);
        if (!synced.ok()) {
            unlinkat(dir, written.tempName.c_str(), 0);
            return synced;
        }
        UniqueFd replaced = HoldAcrossRemoval(dir, written.targetName);
        error = renameat(dir, written.tempName.c_str(), dir, written.targetName.c_str()) == 0
                    ? 0
                    : errno;
        m_released.Release(std::move(replaced));
    }
    if (error != 0) {
        unlinkat(dir, written.tempName.c_str(), 0);
        return Status::FromErrno(error);
    }
    return Status::Ok();
}

Result<std::string> PosixHeldRoots::CopyToTemporary(const std::string& source,
                                                    const std::string& target,
                                                    const CopyOptions& options,
                                                    const ChunkPump& pump) {
    WrittenCopy written;
    if (Status status =
            WithRemovedFilesGone([&] { return WriteCopy(source, target, options, pump, written); });
        !status.ok()) {
        return status;
    }
    return ContainingFolder(target) + written.tempName;
}

std::vector<Status> PosixHeldRoots::SyncFiles(const std::vector<std::string>& paths) {
    std::vector<Status> results(paths.size());
    struct Held {
        UniqueFd file;
        dev_t device;
        std::size_t index;
    };
    std::vector<Held> held;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string name;
        const int dir = ParentFd(paths[i], name);
        UniqueFd file(
            dir < 0 ? -1
                    : openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (!file.valid() || fstat(file.get(), &info) != 0) {
            // A link's text is written with its own entry: nothing waits in the cache.
            results[i] = errno == ELOOP ? Status::Ok() : Status::FromErrno(errno);
            continue;
        }
        held.push_back({std::move(file), info.st_dev, i});
    }
    // One sync of a whole file system costs about what one file's costs: a batch pays once.
    // A lone file, and every file of a file system whose sync reported an error (which names
    // no file), are synced one by one, so that each failure lands on its own file.
    std::stable_sort(held.begin(), held.end(),
                     [](const Held& a, const Held& b) { return a.device < b.device; });
    for (auto first = held.begin(); first != held.end();) {
        auto end = std::find_if(first, held.end(),
                                [&](const Held& h) { return h.device != first->device; });
        if (end - first == 1 || syncfs(first->file.get()) != 0) {
            for (auto it = first; it != end; ++it) {
                if (fdatasync(it->file.get()) != 0) {
                    results[it->index] = Status::FromErrno(errno);
                }
            }
        }
        first = end;
    }
    return results;
}

Status PosixHeldRoots::RemoveFile(const std::string& path) {
    std::string name;
    const int dir = ParentFdForChange(path, name);
    if (dir < 0) {
        return Status::FromErrno(errno);
    }
    UniqueFd removed = HoldAcrossRemoval(dir, name);
    if (unlinkat(dir, name.c_str(), 0) != 0) {
        return Status::FromErrno(errno);
    }
    m_released.Release(std::move(removed));
    return Status::Ok();
}

Status PosixHeldRoots::WipeFile(const std::string& path) {
    std::string name;
    struct stat info {};
    const int dir = ParentFdForChange(path, name);
    if (dir < 0 || fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return Status::FromErrno(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return Status::FromErrno(EISDIR);
    }
    // With another hard link the bytes are that name's too: only this name goes.
    if (!S_ISREG(info.st_mode) || info.st_nlink != 1) {
        return unlinkat(dir, name.c_str(), 0) == 0 ? Status::Ok() : Status::FromErrno(errno);
    }
    // The file takes a name of ours in its folder before a byte is touched. Renaming it away
    // asks the folder for what removing it does (write access, the sticky rule), so a file the
    // run may not remove fails here, whole; once renamed, nobody takes it for the user's file.
    const std::string held = NewCopyTempName();
    if (const int error = RenameNoReplace(dir, name, dir, held); error != 0) {
        return Status::FromErrno(error);
    }
    Status wiped = OverwriteHeldFile(dir, held, info);
    if (!wiped.ok()) {
        // Back under its own name, where the log's failure says it still is.
        (void)RenameNoReplace(dir, held, dir, name);
        return wiped;
    }
    return unlinkat(dir, held.c_str(), 0) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

Status PosixHeldRoots::MoveToTrash(const std::string& path) {
    std::string name;
    const int dir = ParentFdForChange(path, name);
    if (dir < 0) {
        return Status::FromErrno(errno);
    }
    // The log carries the errno and its text; the trash's own wording names its folders.
    Status moved =
        WithRemovedFilesGone([&] { return m_trash.MoveToTrashAt(dir, name, RealPathOf(path)); });
    return moved.ok() ? moved : Status::FromErrno(moved.code());
}

Status PosixHeldRoots::LinkToTrash(const std::string& path) {
    std::string name;
    const int dir = ParentFdForChange(path, name);
    if (dir < 0) {
        return Status::FromErrno(errno);
    }
    Status linked =
        WithRemovedFilesGone([&] { return m_trash.LinkToTrashAt(dir, name, RealPathOf(path)); });
    return linked.ok() ? linked : Status::FromErrno(linked.code());
}

Status PosixHeldRoots::MakeFolder(const std::string& path) {
    std::string name;
    const int dir = ParentFdForChange(path, name);
    if (dir < 0) {
        return Status::FromErrno(errno);
    }
    return WithRemovedFilesGone([&] {
        return mkdirat(dir, name.c_str(), 0777) == 0 ? Status::Ok() : Status::FromErrno(errno);
    });
}

Result<uint32_t> PosixHeldRoots::MakeFolderLike(const std::string& path, const std::string& like) {
    struct stat source {};
    std::string likeName;
    if (ParentAndStatus(like, likeName, source) < 0 || !S_ISDIR(source.st_mode)) {
        // Nothing to go by (the Source folder went meanwhile): the safe guess is private.
        source.st_mode = S_IFDIR | S_IRWXU;
        source.st_uid = geteuid();
        source.st_gid = getegid();
    }
    std::string name;
    const int dir = ParentFdForChange(path, name);
    if (dir < 0) {
        return Status::FromErrno(errno);
    }
    return WithRemovedFilesGone([&] { return MakeFolderLikeAt(dir, name, source, m_setsOwners); });
}

Status PosixHeldRoots::SetFolderMode(const std::string& path, uint32_t mode) {
    UniqueFd folder(OpenEntryPath(path));
    struct stat info {};
    if (!folder.valid() || fstat(folder.get(), &info) != 0) {
        return Status::FromErrno(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return Status::FromErrno(ENOTDIR);
    }
    if ((info.st_mode & 07777) == mode) {
        return Status::Ok();
    }
    return ChangeModeOf(folder.get(), static_cast<mode_t>(mode));
}

Status PosixHeldRoots::RemoveFolder(const std::string& path) {
    std::string name;
    const int dir = ParentFdForChange(path, name);
    if (dir < 0) {
        return Status::FromErrno(errno);
    }
    // A remembered parent may be the folder that goes.
    const bool removed = unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0;
    const int error = errno;
    ForgetParents();
    return removed ? Status::Ok() : Status::FromErrno(error);
}

Result<uint32_t> PosixHeldRoots::MakeWritable(const std::string& folderPath) {
    UniqueFd folder(OpenEntryPath(folderPath));
    struct stat info {};
    if (!folder.valid() || fstat(folder.get(), &info) != 0) {
        return Status::FromErrno(errno);
    }
    // A file's own mode never needs to change (copies replace it, removals depend on its
    // folder), and changing it would change every other hard link's too.
    if (!S_ISDIR(info.st_mode)) {
        return Status::FromErrno(ENOTDIR);
    }
    const uint32_t before = info.st_mode & 07777;
    if (Status changed = ChangeModeOf(folder.get(), before | S_IWUSR | S_IXUSR); !changed.ok()) {
        return changed;
    }
    return before;
}

Status PosixHeldRoots::Rename(const std::string& from, const std::string& to) {
    std::string fromName;
    std::string toName;
    const int fromDir = ParentFdForChange(from, fromName);
    if (fromDir < 0) {
        return Status::FromErrno(errno);
    }
    const int toDir = ParentFdForChange(to, toName);
    if (toDir < 0) {
        return Status::FromErrno(errno);
    }
    UniqueFd replaced = HoldAcrossRemoval(toDir, toName);
    // A remembered parent may lie below what moves.
    const bool renamed = renameat(fromDir, fromName.c_str(), toDir, toName.c_str()) == 0;
    const int error = errno;
    if (renamed) {
        m_released.Release(std::move(replaced));
    }
    ForgetParents();
    return renamed ? Status::Ok() : Status::FromErrno(error);
}

Result<std::string> PosixHeldRoots::CreateTempFile(const std::string& folder,
                                                   const std::string& prefix,
                                                   const std::string& extension) {
    UniqueFd dir(OpenFolder(folder));
    if (!dir.valid()) {
        return Status::FromErrno(errno);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = NewTempName(prefix, extension.empty() ? kTempExtension : extension);
        UniqueFd file = WithRemovedFilesGone([&] {
            return UniqueFd(
                openat(dir.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        });
        if (file.valid()) {
            return NormalizeFolderPath(folder) + name;
        }
        if (errno != EEXIST) {
            return Status::FromErrno(errno);
        }
    }
    return Status::FromErrno(EEXIST);
}

}  // namespace duvanto
