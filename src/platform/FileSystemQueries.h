// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small file-system calls that the shared utilities are built from: metadata, folder
// listing probes, the mount tables, folder and file creation, whole-file read and write.
// Failures come back as the errno value and its text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"

namespace duvanto {

enum class FileKind { Regular, Directory, SymbolicLink, Other };

struct PathInfo {
    FileKind kind = FileKind::Other;
    uint64_t size = 0;
    uint32_t mode = 0;  // permission bits only
};

// stat(2) when followLinks, else lstat(2).
Result<PathInfo> StatPath(const std::string& path, bool followLinks);

// Opens the folder and reads its first entry, as a listing would.
Status ProbeFolderListing(const std::string& folderPath);

// A field of the mount tables as the name it stands for: they write blanks, tabs, newlines and
// backslashes in names as \ooo.
std::string DecodeMountName(std::string_view field);

// The mount points the fstab names, decoded (\040 is a blank). Entries that mount nothing
// (swap, "none", anything not absolute) are left out; so is a missing or unreadable table.
std::vector<std::string> ReadFstabMountPoints(const std::string& fstabPath);
// The mount points in use now, from a file in the form of /proc/self/mountinfo.
Result<std::vector<std::string>> ReadMountInfoMountPoints(const std::string& mountInfoPath);

// One directory level, mode 0777 before the umask. EEXIST comes back as a failure too.
Status MakeDirectory(const std::string& path);

// One directory level, made as a copy of the folder `like` (followed when it is a link, as the
// user named it): its permission bits, and where the process may set owners (root) and
// withOwner its owner and group too (see MakeFolderLikeAt); private to the caller when like
// cannot be read. EEXIST comes back as a failure too.
Status MakeDirectoryLike(const std::string& path, const std::string& like, bool withOwner);

// Creates a new, empty file named folder + prefix + random hex digits + suffix, never
// replacing anything, with the permission bits `mode` (before the umask), and returns its
// path. folder ends in "/" or is "" (the working folder).
Result<std::string> CreateUniqueFile(const std::string& folder, std::string_view prefix,
                                     std::string_view suffix, unsigned mode = 0666);

// Temporary files of whole-file writes begin with this.
inline constexpr std::string_view kWriteTempPrefix = ".duvanto-write-";

// Makes `bytes` the whole content of the file: written to a temporary file beside it, synced,
// then renamed over it. An existing file's permission bits are kept; a link at the path is
// replaced, never written through. On failure the old file is untouched.
Status WriteFileAtomically(const std::string& path, std::string_view bytes);

// As WriteFileAtomically, for a file only its owner may read and write: the file gets the
// permission bits 0600 whatever stood there before. A symbolic link at the path (ELOOP) and a
// file of another owner (EPERM) are refused and left as they are.
Status WritePrivateFileAtomically(const std::string& path, std::string_view bytes);

// The whole content of a regular file (links followed; a FIFO is refused, never waited on).
Result<std::string> ReadWholeFile(const std::string& path);

// As ReadWholeFile, for a file that must be the caller's own, as ssh asks of its keys: it must
// belong to the caller's effective user and grant no write access to its group or to others
// (with an access control list the group bits hold the most that any named user or group may
// have), else EPERM; and it must hold no more than maxBytes, else EFBIG. The file is judged as
// opened, and a size over the limit is refused before anything is read.
Result<std::string> ReadPrivateFile(const std::string& path, uint64_t maxBytes);

// unlink(2): a link is removed as a link; a folder is refused.
Status RemoveFile(const std::string& path);
// rename(2) of a file of the program's own (a page it wrote), replacing what is at `to`.
Status RenameFile(const std::string& from, const std::string& to);

// $TMPDIR, or /tmp when it is unset or empty; ends in "/".
std::string SystemTempFolder();
// The user's own runtime folder ($XDG_RUNTIME_DIR, which only the user can enter) when it is
// set to an absolute path, else SystemTempFolder(); ends in "/". For files that tell what the
// user has, such as a report of folder differences.
std::string PrivateTempFolder();

}  // namespace duvanto
