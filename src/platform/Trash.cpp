// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Trash.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/FileSystemQueries.h"
#include "platform/PosixFile.h"
#include "platform/ProcessPaths.h"

namespace duvanto {

namespace {

constexpr std::string_view kInfoExtension = ".trashinfo";
// Bounds the search for a free name, so a trash flooded with one name fails instead of spinning.
constexpr int kMaxNameAttempts = 10000;

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

std::string HomeFolder() {
    if (const char* home = NonEmptyEnv("HOME")) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return "";
}

std::string DefaultHomeTrash() {
    // The XDG base-directory rules ignore a relative value.
    const char* dataHome = NonEmptyEnv("XDG_DATA_HOME");
    std::string base;
    if (dataHome != nullptr && dataHome[0] == '/') {
        base = dataHome;
    } else {
        std::string home = HomeFolder();
        if (home.empty()) {
            return "";
        }
        base = WithSlash(home) + ".local/share";
    }
    return WithSlash(base) + "Trash/";
}

Status Failure(int code, const std::string& what) {
    return Status::Failure(code, what + ": " + GetSystemErrorText(code));
}

// Opened with O_PATH: the folders only serve as anchors for the *at calls, which need no read
// permission on them.
UniqueFd OpenFolder(int atFd, const std::string& name, bool followLink) {
    int flags = O_PATH | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    return UniqueFd(::openat(atFd, name.c_str(), flags));
}

// The file being trashed, held by its parent folder so that the rename acts on the entry that
// was examined even if a folder on the way is swapped meanwhile.
struct Source {
    UniqueFd ownedParent;  // when the folder was opened here
    int parent = -1;
    std::string folder;  // resolved, ends in "/"
    std::string name;
    struct stat info {};

    std::string FullPath() const { return folder + name; }
};

Status ExamineEntry(Source& source, const std::string& shownPath) {
    if (::fstatat(source.parent, source.name.c_str(), &source.info, AT_SYMLINK_NOFOLLOW) != 0) {
        return Failure(errno, shownPath);
    }
    if (S_ISDIR(source.info.st_mode)) {
        return Status::Failure(EISDIR, "Only files and links go to the trash: " + shownPath);
    }
    return Status::Ok();
}

bool IsEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

Result<Source> LocateSource(const std::string& path) {
    std::string absolute = !path.empty() && path[0] == '/' ? path : CurrentWorkingFolder() + path;
    std::size_t slash = absolute.rfind('/');
    Source source;
    source.name = absolute.substr(slash + 1);
    if (!IsEntryName(source.name)) {
        return Status::Failure(EINVAL, "Not the path of a file: " + path);
    }
    std::string parent = slash == 0 ? "/" : absolute.substr(0, slash);
    char resolved[PATH_MAX];
    if (::realpath(parent.c_str(), resolved) == nullptr) {
        return Failure(errno, parent);
    }
    source.folder = WithSlash(resolved);
    source.ownedParent = OpenFolder(AT_FDCWD, source.folder, true);
    if (!source.ownedParent.valid()) {
        return Failure(errno, source.folder);
    }
    source.parent = source.ownedParent.get();
    if (Status examined = ExamineEntry(source, path); !examined.ok()) {
        return examined;
    }
    return source;
}

Result<Source> SourceAt(int folderFd, const std::string& name, const std::string& path) {
    Source source;
    source.parent = folderFd;
    source.name = name;
    source.folder = path.substr(0, path.rfind('/') + 1);
    if (!IsEntryName(name) || source.folder.empty() || source.folder[0] != '/') {
        return Status::Failure(EINVAL, "Not the path of a file: " + path);
    }
    if (Status examined = ExamineEntry(source, path); !examined.ok()) {
        return examined;
    }
    return source;
}

struct TrashFolders {
    UniqueFd files;
    UniqueFd info;
};

struct PreparedTrash {
    TrashPlace place;
    TrashFolders folders;
};

Result<UniqueFd> OpenSubfolder(int trashFd, const std::string& trashFolder, const char* name) {
    if (::mkdirat(trashFd, name, 0700) != 0 && errno != EEXIST) {
        return Failure(errno, trashFolder + name);
    }
    UniqueFd folder = OpenFolder(trashFd, name, false);
    if (!folder.valid()) {
        return Failure(errno, trashFolder + name);
    }
    return folder;
}

Result<TrashFolders> OpenSubfolders(int trashFd, const std::string& trashFolder) {
    Result<UniqueFd> files = OpenSubfolder(trashFd, trashFolder, "files");
    if (!files.ok()) {
        return files.status();
    }
    Result<UniqueFd> info = OpenSubfolder(trashFd, trashFolder, "info");
    if (!info.ok()) {
        return info.status();
    }
    TrashFolders folders;
    folders.files = std::move(files.value());
    folders.info = std::move(info.value());
    return folders;
}

// Creates each missing level of the home trash with mode 0700: the trash holds whatever the
// user deleted, which other users must not list.
Status MakeFolders(const std::string& folder) {
    for (std::size_t at = folder.find('/', 1); at != std::string::npos;
         at = folder.find('/', at + 1)) {
        std::string level = folder.substr(0, at);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) {
            return Failure(errno, level);
        }
    }
    return Status::Ok();
}

// A trash folder in a top directory is shared ground: anyone who can write there could have
// planted a link or a folder of their own under our name, so it must be a real folder, ours,
// and on the file's own file system (a rename never crosses file systems).
Result<TrashFolders> OpenOwnTrash(int parentFd, const std::string& name,
                                  const std::string& trashFolder, uid_t uid, dev_t device) {
    if (::mkdirat(parentFd, name.c_str(), 0700) != 0 && errno != EEXIST) {
        return Failure(errno, trashFolder);
    }
    UniqueFd trash = OpenFolder(parentFd, name, false);
    struct stat info {};
    if (!trash.valid() || ::fstat(trash.get(), &info) != 0) {
        return Failure(errno == ELOOP ? ENOTDIR : errno, trashFolder);
    }
    if (!S_ISDIR(info.st_mode)) {
        return Failure(ENOTDIR, trashFolder);
    }
    if (info.st_uid != uid) {
        return Status::Failure(EPERM, trashFolder + ": belongs to another user");
    }
    if (info.st_dev != device) {
        return Failure(EXDEV, trashFolder);
    }
    Result<TrashFolders> folders = OpenSubfolders(trash.get(), trashFolder);
    if (!folders.ok()) {
        return folders;
    }
    struct stat filesInfo {};
    if (::fstat(folders.value().files.get(), &filesInfo) != 0) {
        return Failure(errno, trashFolder + "files");
    }
    if (filesInfo.st_dev != device) {
        return Failure(EXDEV, trashFolder + "files");
    }
    return folders;
}

Result<PreparedTrash> PrepareHomeTrash(const std::string& homeTrash, const Source& source) {
    PreparedTrash prepared;
    prepared.place.home = true;
    prepared.place.trashFolder = WithSlash(homeTrash);
    prepared.place.originalPath = source.FullPath();
    Status made = MakeFolders(prepared.place.trashFolder);
    if (!made.ok()) {
        return made;
    }
    // The home trash itself may be a link: where the user keeps it is the user's choice.
    UniqueFd trash = OpenFolder(AT_FDCWD, prepared.place.trashFolder, true);
    if (!trash.valid()) {
        return Failure(errno, prepared.place.trashFolder);
    }
    Result<TrashFolders> folders = OpenSubfolders(trash.get(), prepared.place.trashFolder);
    if (!folders.ok()) {
        return folders.status();
    }
    prepared.folders = std::move(folders.value());
    return prepared;
}

Result<PreparedTrash> PrepareTopTrash(const TrashEnvironment& env, const Source& source) {
    std::string fullPath = source.FullPath();
    Result<std::string> mountPoint = env.mountPointOf(fullPath);
    if (!mountPoint.ok()) {
        return mountPoint.status();
    }
    std::string topDir = WithSlash(mountPoint.value());
    if (fullPath.size() <= topDir.size() || fullPath.compare(0, topDir.size(), topDir) != 0) {
        return Status::Failure(EINVAL, fullPath + ": not under its mount point " + topDir);
    }
    UniqueFd top = OpenFolder(AT_FDCWD, topDir, true);
    struct stat topInfo {};
    if (!top.valid() || ::fstat(top.get(), &topInfo) != 0) {
        return Failure(errno, topDir);
    }
    // Checked before anything is created, so that a wrong top directory gets no stray folders.
    if (topInfo.st_dev != source.info.st_dev) {
        return Status::Failure(EXDEV, "No trash on the file system of " + fullPath + ": " + topDir +
                                          " is on another one");
    }

    PreparedTrash prepared;
    prepared.place.topDirectory = topDir;
    prepared.place.originalPath = fullPath.substr(topDir.size());
    std::string uid = std::to_string(env.uid);

    // $topdir/.Trash is shared by all users; the sticky bit is what keeps them from removing
    // or renaming each other's folders in it, so without it (or behind a link) it is not used.
    struct stat shared {};
    if (::fstatat(top.get(), ".Trash", &shared, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX) != 0) {
        UniqueFd sharedFd = OpenFolder(top.get(), ".Trash", false);
        if (sharedFd.valid()) {
            std::string folder = topDir + ".Trash/" + uid + "/";
            Result<TrashFolders> folders =
                OpenOwnTrash(sharedFd.get(), uid, folder, env.uid, source.info.st_dev);
            if (folders.ok()) {
                prepared.place.trashFolder = folder;
                prepared.folders = std::move(folders.value());
                return prepared;
            }
        }
    }

    std::string folder = topDir + ".Trash-" + uid + "/";
    Result<TrashFolders> folders =
        OpenOwnTrash(top.get(), ".Trash-" + uid, folder, env.uid, source.info.st_dev);
    if (!folders.ok()) {
        return Status::Failure(folders.status().code(), "No usable trash on the file system of " +
                                                            fullPath + ": " +
                                                            folders.status().message());
    }
    prepared.place.trashFolder = folder;
    prepared.folders = std::move(folders.value());
    return prepared;
}

Result<PreparedTrash> Prepare(const TrashEnvironment& env, const Source& source) {
    Result<dev_t> homeDevice = env.homeTrashDevice(env.homeTrash);
    // Without a home trash the file can still go to the trash of its own mount.
    if (homeDevice.ok() && homeDevice.value() == source.info.st_dev) {
        return PrepareHomeTrash(env.homeTrash, source);
    }
    return PrepareTopTrash(env, source);
}

// The name under files/ for the given attempt, kept short enough that "<name>.trashinfo" still
// fits in one directory entry; the original name survives in Path= anyway.
std::string TrashName(const std::string& name, int attempt) {
    std::string suffix = attempt == 1 ? "" : "." + std::to_string(attempt);
    std::size_t room = NAME_MAX - kInfoExtension.size() - suffix.size();
    std::string stem = name;
    if (stem.size() > room) {
        std::size_t cut = room;
        // Never leave half of a UTF-8 sequence, which a file manager would show as garbage.
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        stem.resize(cut > 0 ? cut : room);
    }
    return stem + suffix;
}

Status WriteInfo(int fd, const std::string& content) {
    Status written = WriteFully(fd, content.data(), content.size());
    if (!written.ok()) {
        return written;
    }
    // A crash after the rename must not leave a file in files/ that no record describes.
    if (::fsync(fd) != 0) {
        return Status::FromErrno(errno);
    }
    return Status::Ok();
}

// Claims a name in the trash with the record first, then moves (or links) the file in.
Status Put(const TrashEnvironment& env, const Source& source, bool link, std::string* trashedAs) {
    Result<PreparedTrash> prepared = Prepare(env, source);
    if (!prepared.ok()) {
        return prepared.status();
    }
    const TrashPlace& place = prepared.value().place;
    const TrashFolders& folders = prepared.value().folders;

    // The freedesktop.org Trash format is read by file managers: LF line ends, not CR LF.
    std::string content = "[Trash Info]\nPath=" + EncodeTrashPath(place.originalPath) +
                          "\nDeletionDate=" + FormatTrashDate(env.now()) + "\n";

    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        std::string trashName = TrashName(source.name, attempt);
        std::string infoName = trashName + std::string(kInfoExtension);
        // The record comes first and is created exclusively: it claims the name, so two
        // programs trashing files of the same name at once cannot pick the same one.
        UniqueFd info(::openat(folders.info.get(), infoName.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!info.valid()) {
            if (errno == EEXIST) {
                continue;
            }
            return Failure(errno, place.trashFolder + "info/" + infoName);
        }
        Status written = WriteInfo(info.get(), content);
        if (written.ok()) {
            written = info.Close();
        }
        if (!written.ok()) {
            ::unlinkat(folders.info.get(), infoName.c_str(), 0);
            return Status::Failure(
                written.code(), place.trashFolder + "info/" + infoName + ": " + written.message());
        }
        // A link keeps the entry where it is; linkat never follows a link and never replaces
        // a name.
        int renameError =
            link ? (::linkat(source.parent, source.name.c_str(), folders.files.get(),
                             trashName.c_str(), 0) == 0
                        ? 0
                        : errno)
                 // A file left in files/ without its .trashinfo (by a crash, or by another tool)
                 // is never overwritten.
                 : RenameNoReplace(source.parent, source.name, folders.files.get(), trashName);
        if (renameError != 0) {
            ::unlinkat(folders.info.get(), infoName.c_str(), 0);
            if (renameError == EEXIST) {
                continue;
            }
            return Failure(renameError, (link ? "Linking " : "Moving ") + source.FullPath() +
                                            " to " + place.trashFolder + "files/" + trashName);
        }
        if (trashedAs != nullptr) {
            *trashedAs = place.trashFolder + "files/" + trashName;
        }
        return Status::Ok();
    }
    return Status::Failure(EEXIST,
                           "No free name in " + place.trashFolder + " for " + source.FullPath());
}

}  // namespace

TrashEnvironment TrashEnvironment::FromProcess() {
    TrashEnvironment env;
    env.homeTrash = DefaultHomeTrash();
    env.uid = ::geteuid();
    env.now = [] { return std::time(nullptr); };
    env.homeTrashDevice = DeviceOfNearestFolder;
    env.mountPointOf = MountPointOf;
    return env;
}

Trash::Trash(TrashEnvironment env) : m_env(std::move(env)) {
    if (!m_env.now) {
        m_env.now = [] { return std::time(nullptr); };
    }
    if (!m_env.homeTrashDevice) {
        m_env.homeTrashDevice = DeviceOfNearestFolder;
    }
    if (!m_env.mountPointOf) {
        m_env.mountPointOf = MountPointOf;
    }
}

Status Trash::MoveToTrash(const std::string& path, std::string* trashedAs) const {
    Result<Source> source = LocateSource(path);
    if (!source.ok()) {
        return source.status();
    }
    return Put(m_env, source.value(), false, trashedAs);
}

Status Trash::MoveToTrashAt(int folderFd, const std::string& name, const std::string& path,
                            std::string* trashedAs) const {
    Result<Source> source = SourceAt(folderFd, name, path);
    if (!source.ok()) {
        return source.status();
    }
    return Put(m_env, source.value(), false, trashedAs);
}

Status Trash::LinkToTrashAt(int folderFd, const std::string& name, const std::string& path,
                            std::string* trashedAs) const {
    Result<Source> source = SourceAt(folderFd, name, path);
    if (!source.ok()) {
        return source.status();
    }
    return Put(m_env, source.value(), true, trashedAs);
}

std::string EncodeTrashPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        bool keep = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                    (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                    byte == '~' || byte == '/';
        if (keep) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string FormatTrashDate(std::time_t when) {
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr) {
        return "";
    }
    char text[32];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return std::string(text, length);
}

Result<dev_t> DeviceOfNearestFolder(const std::string& folder) {
    if (folder.empty() || folder[0] != '/') {
        return Status::Failure(ENOENT, "Not an absolute folder: " + folder);
    }
    std::string probe = folder;
    while (probe.size() > 1 && probe.back() == '/') {
        probe.pop_back();
    }
    for (;;) {
        struct stat info {};
        if (::stat(probe.c_str(), &info) == 0) {
            return info.st_dev;
        }
        if ((errno != ENOENT && errno != ENOTDIR) || probe == "/") {
            return Failure(errno, probe);
        }
        std::size_t slash = probe.rfind('/');
        probe = slash == 0 ? "/" : probe.substr(0, slash);
    }
}

Result<std::string> MountPointOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return Failure(errno, path);
    }
    Result<std::vector<std::string>> mounted = ReadMountInfoMountPoints("/proc/self/mountinfo");
    if (!mounted.ok()) {
        return Status::Failure(mounted.status().code(),
                               "/proc/self/mountinfo: " + mounted.status().message());
    }
    // A prefix alone can mislead (a bind mount, a mount hidden under another); the device
    // settles which mount really holds the file.
    std::string best;
    for (const std::string& mountPoint : mounted.value()) {
        std::string folder = WithSlash(mountPoint);
        if (folder.size() <= best.size() || path.size() <= folder.size() ||
            path.compare(0, folder.size(), folder) != 0) {
            continue;
        }
        struct stat mountInfo {};
        if (::stat(folder.c_str(), &mountInfo) == 0 && mountInfo.st_dev == info.st_dev) {
            best = folder;
        }
    }
    if (best.empty()) {
        return Status::Failure(ENOENT, "No mount point found for " + path);
    }
    return best;
}

}  // namespace duvanto
