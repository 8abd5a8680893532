#include "engine/Clone.h"

#include "log/CloneLog.h"
#include "platform/FilePrimitives.h"
#include "util/ErrorReporter.h"

namespace duvanto {

cClone::cClone(cCompare& compare, cCloneLog& log, IFileSystem& fileSystem, RunFlags& flags,
               ErrorReporter& reporter)
    : m_compare(compare), m_log(log), m_fs(fileSystem), m_flags(flags), m_reporter(reporter) {}

bool cClone::IsCloneCancelled() {
    if (!m_flags.EscPressed.load()) {
        return false;
    }
    if (!m_flags.CloneCancelled.exchange(true)) {
        m_log.Add(UserCancelledError, "", "", "", "", 0, "", "");
    }
    return true;
}

std::string cClone::DescribeFileOp(const FileOp& op) {
    switch (op.Operation) {
        case CopyFile:
            return "     COPY FILE     \"" + op.FileName + "\"  FROM  " + op.SourceFolder +
                   "  TO  " + op.TargetFolder;
        case DeleteFile:
            return "     DELETE FILE     \"" + op.FileName + "\"  FROM  " + op.TargetFolder;
        case CreateFolder:
            return "     CREATE FOLDER     " + op.TargetFolder;
        case DeleteFolder:
            return "     DELETE FOLDER     " + op.TargetFolder;
        default:
            return "";
    }
}

std::vector<std::string> cClone::GetFileOpDescriptions(IStatusHost& host) {
    std::vector<std::string> lines;
    lines.reserve(m_fileOps.size());
    for (const FileOp& op : m_fileOps) {
        host.Pump();
        lines.push_back(DescribeFileOp(op));
    }
    return lines;
}

void cClone::ResetRun() {
    m_planComplete = false;
    m_strayTempFiles.clear();
    m_fileOps.clear();
    m_fileOps.reserve(1000);
    m_filesScanned = 0;
}

void cClone::EraseRun() {
    m_planComplete = false;
    m_strayTempFiles.clear();
    m_fileOps.clear();
    m_fileOps.shrink_to_fit();
}

bool cClone::PlanAll(IStatusHost& host, const std::string& source, const std::string& target,
                     bool includeSubfolders) {
    ResetRun();
    m_fs.SetRoots({NormalizeFolderPath(source), NormalizeFolderPath(target)});
    host.SetStatusText(1, "Comparing folders. Press ESC to Cancel...");
    host.SetStatusText(2, "0 files");
    bool ok = CompareEntireSource(host, source, target, includeSubfolders);
    if (IsCloneCancelled()) {
        return false;
    }
    m_planComplete = true;
    return ok;
}

bool cClone::PlanSelected(IStatusHost& host, const std::string& sourceFolder,
                          const std::string& targetFolder, bool includeSubfolders,
                          const std::string& selectedSpecs, const std::string& includeMasks) {
    // Selected items are matched against the roots as text, so the roots end in "/".
    const std::string source = NormalizeFolderPath(sourceFolder);
    const std::string target = NormalizeFolderPath(targetFolder);
    try {
        m_planComplete = false;
        m_fs.SetRoots({source, target});
        host.SetStatusText(1, "Scanning Source folder.  Press ESC to Cancel...");
        host.SetStatusText(2, "");
        std::vector<std::string> items;
        std::vector<std::string> masks;
        if (!PopulateSelectedItemsArray(host, source, selectedSpecs, includeMasks,
                                        includeSubfolders, items, masks)) {
            return false;
        }
        host.Pump();
        if (IsCloneCancelled()) {
            return false;
        }
        ResetRun();
        host.SetStatusText(1, "Comparing folders. Press ESC to Cancel...");
        host.SetStatusText(2, "0 files");
        bool ok = true;
        if (!items.empty()) {
            ok = CompareSelectedSourceObjects(host, source, target, includeSubfolders, items);
            host.Pump();
            if (IsCloneCancelled()) {
                return false;
            }
        }
        if (DeleteMethod != DoNotDelete) {
            host.SetStatusText(1, "Scanning Target folder...");
            host.SetStatusText(2, "");
            std::vector<std::string> matching;
            bool found = GetFilesMatchingMasks(host, target, includeSubfolders, masks, matching);
            ok = ok && found;
            if (IsCloneCancelled()) {
                return false;
            }
            if (found && !matching.empty()) {
                ok = CompareMatchingTarget(host, source, target, matching) && ok;
                if (IsCloneCancelled()) {
                    return false;
                }
            }
        }
        m_planComplete = true;
        return ok;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CloneSelected");
        return false;
    }
}

}  // namespace duvanto
