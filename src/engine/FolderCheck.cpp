#include "engine/FolderCheck.h"

#include "platform/ProcessPaths.h"

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

std::string CheckSourceTargetApart(const std::string& source, const std::string& target) {
    std::string realSource = ResolvedFolderPath(source);
    std::string realTarget = ResolvedFolderPath(target);
    if (realSource.empty() || realTarget.empty()) {
        return "";  // the folder check reports a folder that cannot be resolved
    }
    if (realSource == realTarget) {
        return "The Target folder \"" + target + "\" is the Source folder \"" + source +
               "\". A folder cannot be cloned into itself.";
    }
    if (realTarget.compare(0, realSource.size(), realSource) == 0) {
        return "The Target folder \"" + target + "\" lies inside the Source folder \"" + source +
               "\". A folder cannot be cloned into itself.";
    }
    if (realSource.compare(0, realTarget.size(), realTarget) == 0) {
        return "The Target folder \"" + target + "\" contains the Source folder \"" + source +
               "\". A folder cannot be cloned into itself.";
    }
    return "";
}

}  // namespace duvanto
