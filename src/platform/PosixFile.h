// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building blocks shared by the platform's file routines: an owned descriptor, reads and
// writes that finish what they start, the random part of temporary names, and the types of
// file systems.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Status.h"

namespace duvanto {

// statfs(2) magic numbers of the file systems the platform treats by name.
constexpr long kExt4Magic = 0xEF53;  // ext2, ext3 and ext4
constexpr long kXfsMagic = 0x58465342;
constexpr long kBtrfsMagic = 0x9123683E;
constexpr long kTmpfsMagic = 0x01021994;
constexpr long kF2fsMagic = 0xF2F52010;

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now so that a failing close (a late write error) can be reported.
    Status Close();

private:
    int m_fd = -1;
};

// Opens the entry `name` of the open folder folderFd (AT_FDCWD: a path) without following it
// when it is a link (unless followLink) and without waiting on a FIFO, then insists on a
// regular file, so nothing blocks and nothing is read through a link. info, when given,
// receives the open file's status.
Result<UniqueFd> OpenRegularFileForReading(int folderFd, const std::string& name,
                                           bool followLink = false, struct stat* info = nullptr);

// Reads until `size` bytes or end of file; returns the count, or -1 with errno set.
long ReadFully(int fd, char* buffer, std::size_t size);
// Writes every byte, resuming after short writes and interrupts.
Status WriteFully(int fd, const char* data, std::size_t size);

// renameat with RENAME_NOREPLACE: 0, or the errno (EEXIST when `to` exists). File systems that
// lack the flag get a check and a plain rename, which leaves only a small window.
int RenameNoReplace(int fromFd, const std::string& from, int toFd, const std::string& to);

// Eight hex digits from the system's random source.
std::string RandomHex();

// A new file folder + prefix + random hex + suffix, created exclusively with `mode`; the path
// goes to createdPath.
Result<UniqueFd> CreateExclusiveFile(const std::string& folder, std::string_view prefix,
                                     std::string_view suffix, unsigned mode,
                                     std::string& createdPath);

// The folder part of a file path, up to and including the last "/"; "" for a bare name.
std::string ContainingFolder(const std::string& filePath);

Status NotRegularFile();

// What a copy keeps of the Source's mode bits. The sticky bit always (any owner may set it on
// their own folder, and a shared folder without it lets every user replace the others' files);
// set-user-ID and set-group-ID only where the owner and group were carried too, so a copy never
// hands one user's rights to another.
unsigned CarriedMode(unsigned sourceMode, bool ownerCarried);

// Creates the folder `name` in the open folder dirFd as a copy of the folder whose status is
// like: private (0700) while it is made, then like's owner and group where setsOwners (root)
// and CarriedMode's bits plus the owner's read, write and search access, which filling it may
// need, or (finalNow) its final bits at once. Gives the bits it must have once filled.
Result<uint32_t> MakeFolderLikeAt(int dirFd, const std::string& name, const struct stat& like,
                                  bool setsOwners, bool finalNow = false);

}  // namespace duvanto
