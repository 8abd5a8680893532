// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace duvanto {

namespace {

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

std::string Absolute(const std::string& path) {
    return !path.empty() && path[0] == '/' ? path : CurrentWorkingFolder() + path;
}

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// Creates each missing level; an existing folder is fine.
Status MakeFolders(const std::string& folder) {
    for (std::size_t at = folder.find('/', 1); at != std::string::npos;
         at = folder.find('/', at + 1)) {
        std::string level = folder.substr(0, at);
        if (mkdir(level.c_str(), 0755) != 0 && errno != EEXIST) {
            return Status::FromErrno(errno);
        }
    }
    return Status::Ok();
}

}  // namespace

std::string ResolvedFolderPath(const std::string& folder) {
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved) == nullptr) {
        return "";
    }
    return WithSlash(resolved);
}

std::string CurrentWorkingFolder() {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr) {
        return "/";
    }
    return WithSlash(buffer);
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return "";
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string ExecutableFolder() {
    std::string exe = ExecutablePath();
    std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "" : exe.substr(0, slash + 1);
}

namespace {

// The folder found without an option: the portable install's, else the configuration folder.
Result<std::string> DefaultAppPath() {
    std::string exeFolder = ExecutableFolder();
    struct stat st {};
    if (!exeFolder.empty() && stat((exeFolder + "duvanto.ini").c_str(), &st) == 0) {
        return exeFolder;
    }
    if (const char* config = NonEmptyEnv("XDG_CONFIG_HOME")) {
        return WithSlash(config) + "duvanto/";
    }
    if (const char* userHome = NonEmptyEnv("HOME")) {
        return WithSlash(userHome) + ".config/duvanto/";
    }
    return Status::Failure(ENOENT, "No home folder is known (HOME is not set).");
}

}  // namespace

Result<std::string> ResolveAppPath(const std::string& homeOption, bool create) {
    std::string folder;
    if (!homeOption.empty()) {
        folder = homeOption;
    } else if (const char* home = NonEmptyEnv("DUVANTO_HOME")) {
        folder = home;
    } else {
        Result<std::string> found = DefaultAppPath();
        if (!found.ok()) {
            return found.status();
        }
        folder = found.value();
    }
    folder = WithSlash(Absolute(folder));
    Status made = create ? MakeFolders(folder) : Status::Ok();
    if (!made.ok()) {
        return made;
    }
    return folder;
}

std::string LoginHomeArgument(const std::string& appPath) {
    const Result<std::string> found = DefaultAppPath();
    if (found.ok()) {
        const std::string resolved = ResolvedFolderPath(appPath);
        const std::string usual = WithSlash(Absolute(found.value()));
        if (WithSlash(appPath) == usual ||
            (!resolved.empty() && resolved == ResolvedFolderPath(usual))) {
            return "";
        }
    }
    return appPath;
}

}  // namespace duvanto
