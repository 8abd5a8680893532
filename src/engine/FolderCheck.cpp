// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FolderCheck.h"

#include <algorithm>

#include "platform/FolderPlace.h"

namespace duvanto {

std::string GetInvalidPathErrorMsg(int32_t statusCode, const std::string& path,
                                   int32_t errorNumber) {
    const std::string crlf = "\r\n";
    const std::string p = "An error occurred while processing \"" + path + "\"." + crlf;
    const std::string e = "Error Number: " + std::to_string(errorNumber) + crlf + crlf +
                          "An unexpected error occurred while accessing " + path;
    switch (statusCode) {
        case -1:
            return "No Folder path provided.";
        case 1:
            return "\"" + path + "\" is not a valid path." + crlf +
                   "Paths must contain at least two characters." + crlf + "ex)  C:";
        case 2:
            if (errorNumber != 0) {
                return e;
            }
            return p + "Make sure that the drive exists and that you have permission to access it.";
        case 3:
            return p + "The drive is not ready. Please insert/connect the drive.";
        case 4:
            return p +
                   "Make sure that the folder exists and that you have permission to access it.";
        case 5:
            return p +
                   "You do not have permission to access this folder.  Please see your Network "
                   "Administrator.";
        case 6:
            return e;
        default:
            return "";
    }
}

namespace {

bool Among(const std::vector<FileIdentity>& lineage, const FileIdentity& identity) {
    // lineage[0] is the folder itself; the rest lie above it.
    return std::find(lineage.begin() + 1, lineage.end(), identity) != lineage.end();
}

bool PathBelow(const std::string& inner, const std::string& outer) {
    return outer == "/" ? inner != "/" : inner.starts_with(outer + "/");
}

}  // namespace

std::string CheckSourceTargetApart(const std::string& source, const std::string& target) {
    Result<FolderPlace> sourcePlace = LocateFolder(source);
    Result<FolderPlace> targetPlace = LocateFolder(target);
    if (!sourcePlace.ok() || !targetPlace.ok() || sourcePlace.value().lineage.empty() ||
        targetPlace.value().lineage.empty()) {
        return "";  // the folder check reports a folder that cannot be reached
    }
    const FolderPlace& s = sourcePlace.value();
    const FolderPlace& t = targetPlace.value();
    // Walking up by ".." finds nesting however the names lead; a bind mount shows a folder
    // under a place of its own, so their places inside one file system are compared too.
    const bool oneFileSystem = !s.fileSystem.empty() && s.fileSystem == t.fileSystem;
    if (s.lineage[0] == t.lineage[0] ||
        (oneFileSystem && s.pathInFileSystem == t.pathInFileSystem)) {
        return "The Target folder \"" + target + "\" is the Source folder \"" + source +
               "\". A folder cannot be cloned into itself.";
    }
    if (Among(t.lineage, s.lineage[0]) ||
        (oneFileSystem && PathBelow(t.pathInFileSystem, s.pathInFileSystem))) {
        return "The Target folder \"" + target + "\" lies inside the Source folder \"" + source +
               "\". A folder cannot be cloned into itself.";
    }
    if (Among(s.lineage, t.lineage[0]) ||
        (oneFileSystem && PathBelow(s.pathInFileSystem, t.pathInFileSystem))) {
        return "The Target folder \"" + target + "\" contains the Source folder \"" + source +
               "\". A folder cannot be cloned into itself.";
    }
    return "";
}

}  // namespace duvanto
