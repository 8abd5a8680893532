// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Existence and status checks, folder creation, temporary files, whole-file text read and
// write, and the string sort shared by many parts of the program.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Status.h"
#include "util/Prompt.h"

namespace duvanto {

class IFileSystem;

// The existence checks stay off the file system object: they judge paths a user typed or is
// shown, from many places that hold no file system, and change nothing.

// Trimmed path; "" is false. Follows symbolic links, as a user typing the path would expect.
bool FolderExists(const std::string& path);
// Trimmed path; "" or ending in "/" is false; true for anything that is not a folder.
bool FileExists(const std::string& path);

// The result codes of the shared folder check.
enum PathStatus : int32_t {
    PathOk = 0,             // folder exists and can be listed
    PathTooShort = 1,       // fewer than 2 characters
    PathBadDrive = 2,       // not absolute
    PathDriveNotReady = 3,  // under a known mount point that is not mounted now, or in a
                            // removable-media folder that is missing
    PathFolderMissing = 4,  // missing on a present mount
    PathAccessDenied = 5,   // permission denied
    PathOtherError = 6,     // anything else; the errno value goes to errorCode
};

// Where the mount tables are read from; tests hand in their own copies.
struct MountTables {
    std::string fstab = "/etc/fstab";
    std::string mountInfo = "/proc/self/mountinfo";
    // Folders under which removable media appear as ROOT/USER/NAME/; each ends in "/".
    std::vector<std::string> mediaRoots = {"/media/", "/run/media/"};
};

PathStatus GetPathStatus(const std::string& path, int32_t& errorCode,
                         const MountTables& tables = MountTables{});

// Creates every missing level of the folder path. With a folder `like`, each level is made
// with like's permission bits, and the last one (the folder asked for) also with like's owner
// and group where the process may set owners (root); see MakeDirectoryLike.
Status CreateFolderPath(IFileSystem& fs, const std::string& folderPath,
                        const std::string& like = "");

// A new, unique, empty file named prefix + hex digits + "." + extension ("tmp" when the
// extension is empty), created exclusively in `folder`, or in $TMPDIR or /tmp when folder is
// empty, readable by its owner alone (mode 0600). Returns its full path, or "" when none could
// be created.
std::string GetTempFileSpec(IFileSystem& fs, const std::string& prefix,
                            const std::string& extension, const std::string& folder);

// Sorts ascending in place by CompareStringsOrdinal, moving strings rather than copying them.
void QuickSortStringArray(std::vector<std::string>& items);

// Writes the text as the whole file. An existing file is kept when keepExisting is set
// (returns false). An empty text deletes the file instead (returns true even when the delete
// fails, after telling the user through the prompt). The bytes are written into a temporary
// file beside the target and renamed over it, so a failure never leaves a half-written file; a
// link at the path is written through (the file it points to gets the text).
bool WriteStringToFile(IFileSystem& fs, const std::string& path, const std::string& text,
                       bool keepExisting, IPrompt& prompt);
// The whole file, or "" when it is missing, empty or unreadable.
std::string ReadStringFromFile(IFileSystem& fs, const std::string& path);

}  // namespace duvanto
