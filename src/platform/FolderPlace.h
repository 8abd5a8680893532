// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a folder really is, whatever names lead to it: the identities (device and inode) of the
// folder and of every folder above it, and its place inside its file system, which a bind
// mount shows under another name.

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/Status.h"

namespace duvanto {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct FolderPlace {
    // The folder first, then each ".." above it up to "/", each reached from the descriptor of
    // the one below, so no name on the way can mislead.
    std::vector<FileIdentity> lineage;
    // The file system ("major:minor" of its mount) and the folder's path from that file
    // system's own root ("/" for its root); both "" when the mount table does not tell. Two
    // names of one file system tree (a bind mount) give the same path.
    std::string fileSystem;
    std::string pathInFileSystem;
};

// Links in the path are followed: the place is that of the folder the path names.
Result<FolderPlace> LocateFolder(const std::string& folder);

// The mount-table fields of one mount (by its id, as statx reports it) from a file in the form
// of /proc/self/mountinfo: "major:minor", the mount's root inside its file system and its
// mount point, both decoded. false when the id is not listed.
bool FindMountById(const std::string& mountInfoPath, unsigned long long mountId,
                   std::string& fileSystem, std::string& root, std::string& mountPoint);

}  // namespace duvanto
