// Performing the planned list: every success and failure becomes one clone-log line, no
// failure stops the run, and folder removals wait until the end, deepest first.

#include <sys/stat.h>

#include <cerrno>

#include "engine/Clone.h"
#include "log/CloneLog.h"
#include "util/ErrorReporter.h"

namespace duvanto {

namespace {

bool IsAccessDenied(const Status& status) {
    return status.code() == EACCES || status.code() == EPERM;
}

// i / n * 100 as a whole number, rounded half to even.
int64_t PercentDone(int64_t i, int64_t n) {
    int64_t scaled = i * 100;
    int64_t quotient = scaled / n;
    int64_t twiceRemainder = 2 * (scaled % n);
    if (twiceRemainder > n || (twiceRemainder == n && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

}  // namespace

bool cClone::IsReadOnly(const std::string& path) {
    Result<DirEntry> entry = m_fs.GetEntry(path);
    return entry.ok() && entry.value().kind != EntryKind::Link &&
           (entry.value().mode & S_IWUSR) == 0;
}

template <typename Operation>
Status cClone::WithReadOnlyRetry(IStatusHost& host, const std::string& path, Operation operation) {
    Status status = operation();
    if (status.ok() || !IsAccessDenied(status) || !IsReadOnly(path)) {
        return status;
    }
    m_fs.MakeWritable(path);
    host.Pump();
    return operation();
}

void cClone::RemoveStrayTempFiles() {
    for (const std::string& path : m_strayTempFiles) {
        m_fs.RemoveFile(path);
    }
    m_strayTempFiles.clear();
}

bool cClone::PerformFileOperations(IStatusHost& host, const std::string& source) {
    try {
        RemoveStrayTempFiles();
        const int64_t n = static_cast<int64_t>(m_fileOps.size());
        std::vector<bool> skip(static_cast<std::size_t>(n), false);
        if (n > 0 && ConfirmSyncActions) {
            std::vector<std::string> lines = GetFileOpDescriptions(host);
            host.SetAnimation(false);
            std::vector<bool> chosen = host.ConfirmOperations(lines);
            host.SetAnimation(true);
            for (std::size_t i = 0; i < chosen.size() && i < skip.size(); ++i) {
                skip[i] = chosen[i];
            }
        }
        host.SetStatusText(1, "Cloning folder \"" + source + "\".  Press ESC to Cancel...");
        host.SetStatusText(2, "0%");

        bool failed = false;
        std::vector<std::string> foldersToRemove;
        for (int64_t i = 1; i <= n; ++i) {
            host.SetStatusText(2, std::to_string(PercentDone(i, n)) + "%");
            host.Pump();
            const FileOp& op = m_fileOps[static_cast<std::size_t>(i - 1)];
            if (!skip[static_cast<std::size_t>(i - 1)]) {
                switch (op.Operation) {
                    case CopyFile:
                        failed |= CopyFileAndLogResults(host, op.FileName, op.SourceFileSpec(),
                                                        op.SourceFolder, op.TargetFileSpec(),
                                                        op.TargetFolder);
                        break;
                    case DeleteFile:
                        failed |= DeleteFileAndLogResults(host, op.FileName, op.TargetFileSpec(),
                                                          op.TargetFolder);
                        break;
                    case CreateFolder:
                        failed |= CreateFolderAndLogResults(op.TargetFolder);
                        break;
                    case DeleteFolder:
                        foldersToRemove.push_back(op.TargetFolder);
                        break;
                    default:
                        break;
                }
            }
            if (IsCloneCancelled()) {
                return false;
            }
        }
        // Planned parent first; removed child first.
        for (auto it = foldersToRemove.rbegin(); it != foldersToRemove.rend(); ++it) {
            failed |= RemoveFolderAndLogResults(host, *it);
        }
        return !failed && !IsCloneCancelled();
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.PerformFileOperations");
        return false;
    }
}

bool cClone::CopyFileAndLogResults(IStatusHost& host, const std::string& fileName,
                                   const std::string& sourceFile, const std::string& sourceFolder,
                                   const std::string& targetFile, const std::string& targetFolder) {
    try {
        bool copied = false;
        if (CopyMethod == SafeCopyMethod) {
            copied = SafeCopy(host, sourceFile, targetFile, targetFolder);
        } else if (CopyMethod == RetainCreateTimestamp) {
            copied = CopyRetainCreateDateTime(host, sourceFile, targetFile, sourceFolder,
                                              targetFolder, fileName);
        } else {
            ChunkPump pump = [&host] { host.Pump(); };
            Status status = WithReadOnlyRetry(host, targetFile, [&] {
                return m_fs.CopyFile(sourceFile, targetFile, CopyOptions{}, pump);
            });
            if (!status.ok()) {
                m_log.Add(CopyError, "", fileName, sourceFolder, targetFolder, status.code(),
                          status.message(), "");
                return true;
            }
            copied = true;
        }
        if (copied) {
            m_log.Add(Copied, "", fileName, sourceFolder, targetFolder, 0, "", "");
        }
        return !copied;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CopyFileAndLogResults");
        return true;
    }
}

bool cClone::DeleteFileAndLogResults(IStatusHost& host, const std::string& fileName,
                                     const std::string& targetFile,
                                     const std::string& targetFolder) {
    try {
        Status status = WithReadOnlyRetry(host, targetFile, [&] {
            switch (DeleteMethod) {
                case SendToRecycleBin:
                    return m_fs.MoveToTrash(targetFile);
                case SecureDelete:
                    return m_fs.WipeFile(targetFile);
                default:
                    return m_fs.RemoveFile(targetFile);
            }
        });
        if (!status.ok()) {
            const std::string text =
                DeleteMethod == SecureDelete ? "Dx - " + status.message() : status.message();
            m_log.Add(DeleteError, "", fileName, "", targetFolder, status.code(), text, "");
            return true;
        }
        m_log.Add(Deleted, "", fileName, "", targetFolder, 0, "", "");
        return false;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.DeleteFileAndLogResults");
        return true;
    }
}

bool cClone::CreateFolderAndLogResults(const std::string& targetFolder) {
    try {
        Status status = m_fs.MakeFolder(targetFolder);
        if (!status.ok()) {
            // Missing parents are made too; a folder that already exists counts as created.
            for (std::size_t at = targetFolder.find('/', 1); at != std::string::npos;
                 at = targetFolder.find('/', at + 1)) {
                m_fs.MakeFolder(targetFolder.substr(0, at + 1));
            }
            if (!FolderPresent(targetFolder)) {
                m_log.Add(CreateDirError, "", "", "", targetFolder, status.code(), status.message(),
                          "");
                return true;
            }
        }
        m_log.Add(CreatedFolder, "", "", "", targetFolder, 0, "", "");
        return false;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.CreateFolderAndLogResults");
        return true;
    }
}

bool cClone::RemoveFolderAndLogResults(IStatusHost& host, const std::string& targetFolder) {
    try {
        Status status =
            WithReadOnlyRetry(host, targetFolder, [&] { return m_fs.RemoveFolder(targetFolder); });
        if (!status.ok()) {
            m_log.Add(DeleteDirError, "", "", "", targetFolder, status.code(), status.message(),
                      "");
            return true;
        }
        m_log.Add(DeletedFolder, "", "", "", targetFolder, 0, "", "");
        return false;
    } catch (...) {
        m_reporter.ReportCurrentException("cClone.RemoveFolderAndLogResults");
        return true;
    }
}

bool cClone::SafeCopy(IStatusHost& host, const std::string& sourceFile,
                      const std::string& targetFile, const std::string& targetFolder) {
    try {
        ChunkPump pump = [&host] { host.Pump(); };
        Result<DirEntry> existing = m_fs.GetEntry(targetFile);
        if (!existing.ok()) {
            Status status = m_fs.CopyFile(sourceFile, targetFile, CopyOptions{}, pump);
            if (!status.ok()) {
                m_log.Add(SafeCopyError, "", targetFile, "", "", status.code(), status.message(),
                          "(Copy Failed)");
                return false;
            }
            return true;
        }
        Result<std::string> temp = m_fs.CreateTempFile(targetFolder, "dv_", "tmp");
        if (!temp.ok()) {
            m_log.Add(SafeCopyError, "", sourceFile, "", "", temp.status().code(),
                      temp.status().message(), "(Unable to get temp file spec)");
            return false;
        }
        const std::string& tempFile = temp.value();
        host.Pump();
        if (IsCloneCancelled()) {
            return false;
        }
        if (Status status = m_fs.CopyFile(sourceFile, tempFile, CopyOptions{}, pump);
            !status.ok()) {
            m_log.Add(SafeCopyError, "", tempFile, "", "", status.code(), status.message(),
                      "(Copy Failed)");
            return false;
        }
        host.Pump();
        if (IsCloneCancelled()) {
            return false;
        }
        if (Status status =
                WithReadOnlyRetry(host, targetFile, [&] { return m_fs.MoveToTrash(targetFile); });
            !status.ok()) {
            m_log.Add(SafeCopyError, "", targetFile, "", "", status.code(), status.message(),
                      "(Delete Failed)");
            return false;
        }
        host.Pump();
        if (IsCloneCancelled()) {
            return false;
        }
        Status renamed = m_fs.Rename(tempFile, targetFile);
        host.Pump();
        if (IsCloneCancelled()) {
            return false;
        }
        if (!renamed.ok()) {
            m_log.Add(SafeCopyError, "", targetFile, "", "", renamed.code(), renamed.message(),
                      "(Rename Failed)");
            if (Status removed = m_fs.RemoveFile(tempFile); !removed.ok()) {
                m_log.Add(SafeCopyError, "", tempFile, "", "", removed.code(), removed.message(),
                          "(Delete Failed)");
            }
            return false;
        }
        return true;
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.SafeCopy");
        return false;
    }
}

bool cClone::CopyRetainCreateDateTime(IStatusHost& host, const std::string& sourceFile,
                                      const std::string& targetFile,
                                      const std::string& sourceFolder,
                                      const std::string& targetFolder,
                                      const std::string& fileName) {
    try {
        // Linux keeps no settable birth time; the access time is carried over as well.
        CopyOptions options;
        options.keepAccessTime = true;
        ChunkPump pump = [&host] { host.Pump(); };
        Status status = WithReadOnlyRetry(
            host, targetFile, [&] { return m_fs.CopyFile(sourceFile, targetFile, options, pump); });
        if (!status.ok()) {
            m_log.Add(CopyError, "", fileName, sourceFolder, targetFolder, status.code(),
                      "Dx - " + status.message(), "");
            return false;
        }
        return true;
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.CopyRetainCreateDateTime");
        return false;
    }
}

bool cClone::SendFileToRecycleBin(const std::string& path) {
    try {
        return m_fs.MoveToTrash(path).ok();
    } catch (...) {
        m_reporter.ReportCurrentException("modDuvanto.SendFileToRecycleBin");
        return false;
    }
}

bool cClone::CloneAll(IStatusHost& host, const std::string& source, const std::string& target,
                      bool includeSubfolders) {
    try {
        bool ok = PlanAll(host, source, target, includeSubfolders);
        if (!IsCloneCancelled()) {
            ok = PerformFileOperations(host, source) && ok;
        }
        EraseRun();
        host.Pump();
        return ok;
    } catch (...) {
        EraseRun();
        m_reporter.ReportCurrentException("cClone.CloneAll");
        return false;
    }
}

bool cClone::CloneSelected(IStatusHost& host, const std::string& source, const std::string& target,
                           bool includeSubfolders, const std::string& selectedSpecs,
                           const std::string& includeMasks, const std::string& /*excludeSpecs*/,
                           const std::string& /*excludeMasks*/) {
    try {
        bool ok =
            PlanSelected(host, source, target, includeSubfolders, selectedSpecs, includeMasks);
        if (m_planComplete && !IsCloneCancelled()) {
            ok = PerformFileOperations(host, source) && ok;
        }
        EraseRun();
        return ok;
    } catch (...) {
        EraseRun();
        m_reporter.ReportCurrentException("cClone.CloneSelected");
        return false;
    }
}

}  // namespace duvanto
