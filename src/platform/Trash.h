// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving one file or symbolic link into the freedesktop.org Trash of its own file system, with
// the .trashinfo record that lets a file manager put it back. Nothing is ever copied: a file
// that no trash on its file system can take stays where it is, and the Status says why.

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace duvanto {

// What the trash depends on besides the file itself, so that tests can redirect all of it
// into a temporary folder. Functions left empty get the FromProcess behaviour.
struct TrashEnvironment {
    // The home trash folder, ending in "/": $XDG_DATA_HOME/Trash/, by default
    // $HOME/.local/share/Trash/.
    std::string homeTrash;
    // The deleting user: names the top-directory trash folders and must own them.
    uid_t uid = 0;
    // The deletion date recorded in the .trashinfo.
    std::function<std::time_t()> now;
    // The device (st_dev) of the home trash folder. Files on that device go to the home trash;
    // all others to the trash of their mount's top directory.
    std::function<Result<dev_t>(const std::string& homeTrash)> homeTrashDevice;
    // The top directory (mount point, ending in "/") of the file system holding path. path is
    // absolute, its folders resolved; its last component may be a link and is not followed.
    std::function<Result<std::string>(const std::string& path)> mountPointOf;

    // The running user's: XDG_DATA_HOME / HOME, geteuid(), the system clock,
    // DeviceOfNearestFolder and MountPointOf.
    static TrashEnvironment FromProcess();
};

// Where one file goes.
struct TrashPlace {
    std::string trashFolder;  // ends in "/"; holds files/ and info/
    // The Path= value before encoding: absolute for the home trash, relative to topDirectory
    // for the trash of a mount's top directory.
    std::string originalPath;
    std::string topDirectory;  // "" for the home trash
    bool home = false;
};

class Trash {
public:
    explicit Trash(TrashEnvironment env = TrashEnvironment::FromProcess());

    // Picks the trash for path (a file or a link; a relative path is taken from the working
    // folder, and the folders above the last component are resolved) and creates what is
    // missing of it: the home trash with its parents, or $topdir/.Trash/$uid (when
    // $topdir/.Trash is a real folder with the sticky bit) else $topdir/.Trash-$uid, all mode
    // 0700. A top-directory trash must be a real folder owned by the user on the file's own
    // file system; when neither can be used the failure is EXDEV or the errno met.
    // Then writes info/<name>.trashinfo (created exclusively; a taken name becomes "<name>.2",
    // "<name>.3", ...), then renames the file to files/<name> without replacing anything there.
    // A failed rename removes the .trashinfo again and gives the rename's errno; folders are
    // refused with EISDIR. trashedAs receives the trashed file's new path.
    Status MoveToTrash(const std::string& path, std::string* trashedAs = nullptr) const;
    // The same for the entry `name` of the folder open as folderFd, which is renamed from that
    // descriptor: a folder on the way that is swapped for a link cannot redirect it. path is
    // the entry's full path with its folders resolved, as Path= records it.
    Status MoveToTrashAt(int folderFd, const std::string& name, const std::string& path,
                         std::string* trashedAs = nullptr) const;
    // Like MoveToTrashAt, but the trash gets a second hard link of the entry and the entry
    // keeps its name: the old version is in the trash before anything replaces it.
    Status LinkToTrashAt(int folderFd, const std::string& name, const std::string& path,
                         std::string* trashedAs = nullptr) const;

private:
    TrashEnvironment m_env;
};

// Percent-encodes a path for the Path= key: unreserved URI characters (letters, digits,
// "-", ".", "_", "~") and "/" stay, every other byte becomes %XX.
std::string EncodeTrashPath(std::string_view path);

// The DeletionDate= form, in local time: YYYY-MM-DDThh:mm:ss.
std::string FormatTrashDate(std::time_t when);

// st_dev of folder, or of its nearest existing ancestor while it does not exist yet.
Result<dev_t> DeviceOfNearestFolder(const std::string& folder);

// The longest mount point in /proc/self/mountinfo that holds path and is on the same device
// (st_dev) as it, ending in "/". The last component of path is not followed.
Result<std::string> MountPointOf(const std::string& path);

}  // namespace duvanto
