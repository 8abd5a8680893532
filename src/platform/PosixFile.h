#pragma once
// Building blocks shared by the platform's file routines: an owned descriptor, reads and
// writes that finish what they start, and the random part of temporary names.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Status.h"

namespace duvanto {

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

// Opens without following a final link and without waiting on a FIFO, then insists on a
// regular file, so nothing blocks and nothing is read through a link.
Result<UniqueFd> OpenRegularFileForReading(const std::string& path);

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

}  // namespace duvanto
