// SPDX-License-Identifier: GPL-3.0-or-later
// The run's folder listings and the status of single entries, as the walk reads them.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/PosixFile.h"
#include "platform/PosixFileSystem.h"
#include "platform/PosixLister.h"

namespace duvanto {

namespace {

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

void PosixHeldRoots::ListAhead(const std::string& folderPath, bool withStatus) {
    if (!m_lister) {
        m_lister = std::make_unique<Lister>(*this);
    }
    m_lister->Announce(folderPath, withStatus, false);
}

void PosixHeldRoots::DropListedAhead() {
    if (m_lister) {
        m_lister->Drop();
    }
}

std::pair<Result<std::vector<DirEntry>>, Result<std::vector<DirEntry>>>
PosixHeldRoots::ListFolderPair(const std::string& first, const std::string& second,
                               bool withStatus) {
    if (!m_lister) {
        m_lister = std::make_unique<Lister>(*this);
    }
    if (!m_lister->AreNext(first, second, withStatus)) {
        // Ahead of whatever else was announced, so that nothing announced is passed over.
        m_lister->Announce(second, withStatus, true);
        m_lister->Announce(first, withStatus, true);
    }
    Result<std::vector<DirEntry>> firstListing = ListFolder(first, withStatus);
    return {std::move(firstListing), ListFolder(second, withStatus)};
}

Result<std::vector<DirEntry>> PosixHeldRoots::ListFolder(const std::string& folderPath,
                                                         bool withStatus) {
    if (m_lister) {
        if (auto listed = m_lister->Take(folderPath, withStatus)) {
            return std::move(*listed);
        }
    }
    return ListFolderNow(folderPath, withStatus);
}

Result<std::vector<DirEntry>> PosixHeldRoots::ListFolderNow(const std::string& folderPath,
                                                            bool withStatus) const {
    UniqueFd folder(OpenFolder(folderPath));
    if (!folder.valid()) {
        return Status::FromErrno(errno);
    }
    // getdents64 straight on the descriptor: opendir would spend a status call and two fcntl
    // calls on every folder, which a walk of many small folders feels.
    alignas(8) static thread_local char buffer[64 * 1024];
    std::vector<DirEntry> entries;
    for (;;) {
        long bytes = syscall(SYS_getdents64, folder.get(), buffer, sizeof buffer);
        if (bytes < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Status::FromErrno(errno);
        }
        if (bytes == 0) {
            break;
        }
        // Room for the whole batch at once: growing entry by entry moves every name several
        // times over in a folder of a few dozen.
        std::size_t count = 0;
        for (long offset = 0; offset < bytes; ++count) {
            offset += reinterpret_cast<dirent64*>(buffer + offset)->d_reclen;
        }
        entries.reserve(entries.size() + count);
        for (long offset = 0; offset < bytes;) {
            auto* raw = reinterpret_cast<dirent64*>(buffer + offset);
            offset += raw->d_reclen;
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
                Status status = FillFromStat(folder.get(), entry);
                if (!status.ok()) {
                    if (status.IsNotFound()) {
                        continue;  // vanished between listing and status: it is not there
                    }
                    return status;
                }
            }
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

Result<DirEntry> PosixHeldRoots::GetEntry(const std::string& path) {
    DirEntry entry;
    int fd = ParentFd(path, entry.name);
    if (fd < 0) {
        return Status::FromErrno(errno);
    }
    Status status = FillFromStat(fd, entry);
    if (!status.ok()) {
        return status;
    }
    return entry;
}

}  // namespace duvanto
