// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/CloneLog.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <limits>
#include <string_view>
#include <utility>

#include "platform/FileSystem.h"
#include "util/EscapedText.h"
#include "util/FileUtilities.h"
#include "util/OleDate.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

bool IsSuccessKind(int32_t entryType) {
    return (entryType >= Copied && entryType <= DeletedFolder) || entryType == Renamed;
}

}  // namespace

cCloneLog::cCloneLog(std::string appPath, const IClock& clock, ErrorReporter& reporter,
                     IPrompt& prompt, IFileSystem& fileSystem)
    : m_appPath(std::move(appPath)),
      m_clock(clock),
      m_reporter(reporter),
      m_prompt(prompt),
      m_fs(fileSystem) {}

int32_t cCloneLog::CurrInMemoryLogSize() const {
    std::lock_guard lock(m_mutex);
    return m_inMemorySize;
}

void cCloneLog::SetEntrySink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(m_mutex);
    m_entrySink = std::move(sink);
}

void cCloneLog::SetObserver(ICloneLogObserver* observer) {
    std::lock_guard lock(m_mutex);
    m_observer = observer;
}

std::string cCloneLog::InMemoryString() const {
    try {
        std::lock_guard lock(m_mutex);
        return m_buffer.CurrentString();
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneLog.InMemoryString");
        return {};
    }
}

std::string cCloneLog::FormatEntry(const LogEntry& entry) const {
    const int32_t type = entry.Type;
    if (type < Begin || type > TargetNameError || (m_logOnlyErrors && IsSuccessKind(type))) {
        return {};
    }
    const std::string task = EscapeControlCharacters(entry.TaskName);
    const std::string file = EscapeControlCharacters(entry.FileName);
    const std::string source = EscapeControlCharacters(entry.SourceFolder);
    const std::string target = EscapeControlCharacters(entry.TargetFolder);
    const std::string step = EscapeControlCharacters(entry.SafeCopyStep);
    const std::string newName = EscapeControlCharacters(entry.NewName);
    // System texts end in CR LF; the pair becomes two blanks before any lone CR or LF is
    // escaped, so the usual case still reads naturally.
    const std::string desc =
        EscapeControlCharacters(ReplaceString(entry.ErrorDescription, "\r\n", "  "));
    const std::string no = std::to_string(entry.ErrorNumber);

    std::string text;
    switch (type) {
        case Begin:
            text = "<Begin: " + task + ">";
            break;
        case End:
            text = "<End: " + task +
                   (m_logOnlyErrors ? "> {Only Errors Logged}" : "> {All Activity Logged}") +
                   "\r\n";
            break;
        case Copied:
            text = " - Copied: " + file + " from " + source + " to " + target;
            break;
        case Deleted:
            text = " - Deleted: " + file + " from " + target;
            break;
        case CreatedFolder:
            text = " - Created Folder: " + target;
            break;
        case DeletedFolder:
            text = " - Deleted Folder: " + target;
            break;
        case CopyError:
            text = " *Copy Error: " + no + " " + desc + " " + file + " from " + source + " to " +
                   target;
            break;
        case DeleteError:
            text = " *Delete Error: " + no + " " + desc + " " + file + " from " + target;
            break;
        case CreateDirError:
            text = " *Create Dir Error: " + no + " " + desc + " " + target;
            break;
        case DeleteDirError:
            text = " *Delete Dir Error: " + no + " " + desc + " " + target;
            break;
        case UnexpectedError:
            text = " *Unexpected Error: " + no + " " + desc + " File Name: " + file +
                   " Source Folder: " + source + " Target Folder: " + target;
            break;
        case DuplicateFileError:
            text = " *Duplicate File Error: " + no + " " + desc + " " + file + " in " + source;
            break;
        case ContentCompareError:
            text = " *Content Compare Error: " + no + " " + desc + " Comparing " + file + " in " +
                   source + " and " + target;
            break;
        case CRCCompareError:
            text = " *CRC Compare Error: " + no + " " + desc + " Comparing " + file + " in " +
                   source + " and " + target;
            break;
        case UserCancelledError:
            text = " *User Cancelled Error: ";
            break;
        case FolderPathError:
            text = " *Folder Path Error:  " + desc + " " + file;
            break;
        case ApplicationShutdownError:
            text = " *Application Shutdown Error: The clone task was aborted";
            break;
        case IncludeFilterFolderError:
            text = " *Include Filter Error: The subfolder does not exist  " + file;
            break;
        case SafeCopyError:
            text = " *Safe Copy Error: " + step + " " + no + " " + desc + " " + file;
            break;
        case IncludeFilterFileError:
            text = " *Include Filter Error: The file does not exist  " + file;
            break;
        case GetSubFoldersError:
            text = " *Get SubFolders Error: " + no + " " + desc + " " + file;
            break;
        case MassDeleteError:
            text = " *Mass Delete Error: " + desc + " " + target;
            break;
        case Renamed:
            text = " - Renamed: " + file + " to " + newName + " in " + target;
            break;
        case RenameError:
            text = " *Rename Error: " + no + " " + desc + " " + file + " to " + newName + " in " +
                   target;
            break;
        case TargetNameError:
            text =
                " *Target Name Error: " + desc + "  " + file + " from " + source + " to " + target;
            break;
        default:
            return {};
    }
    return FormatGeneralDate(m_clock.Now()) + text + "\r\n";
}

void cCloneLog::Add(const LogEntry& entry) {
    std::exception_ptr flushFailure;
    try {
        const std::string line = FormatEntry(entry);
        if (line.empty()) {
            return;
        }
        std::lock_guard lock(m_mutex);
        if (m_observer != nullptr) {
            m_observer->EntryAdded(line, ClassifyLogLine(line).kind);
        }
        if (m_entrySink) {
            m_entrySink(line);
            return;
        }
        if (line.size() >
            static_cast<std::size_t>(std::numeric_limits<int32_t>::max() - m_inMemorySize)) {
            throw RuntimeError(6, "Overflow");
        }
        m_buffer.Append(line);
        m_inMemorySize += static_cast<int32_t>(line.size());
        if (m_inMemorySize > kFlushThreshold) {
            try {
                AppendLocked();
            } catch (...) {
                flushFailure = std::current_exception();
            }
            ResetLocked();
        }
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneLog.Add");
    }
    // Reported once the lock is given back: a report may wait for a window that writes too.
    if (flushFailure) {
        try {
            std::rethrow_exception(flushFailure);
        } catch (...) {
            m_reporter.ReportCurrentException("cCloneLog.AppendInMemoryStringToLogFile");
        }
    }
}

std::string cCloneLog::GetLogEntriesFromFile() {
    try {
        std::lock_guard lock(m_mutex);
        return ReadStringFromFile(m_fs, LogFileSpec());
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneLog.GetLogEntriesFromFile");
        return {};
    }
}

void cCloneLog::SaveAs(const std::string& FileSpec) {
    try {
        // A failed copy is not the user's concern here: the log itself is intact.
        std::lock_guard lock(m_mutex);
        (void)m_fs.CopyFileOver(LogFileSpec(), FileSpec);
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneLog.SaveAs");
    }
}

void cCloneLog::AppendInMemoryStringToLogFile() {
    try {
        std::lock_guard lock(m_mutex);
        AppendLocked();
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneLog.AppendInMemoryStringToLogFile");
    }
}

void cCloneLog::AppendLocked() {
    if (m_inMemorySize == 0) {
        return;
    }
    const Status written = m_fs.AppendToFile(LogFileSpec(), m_buffer.CurrentString());
    if (!written.ok()) {
        throw FileRuntimeError(written);
    }
}

void cCloneLog::ResetInMemoryLog() {
    std::lock_guard lock(m_mutex);
    ResetLocked();
}

void cCloneLog::ResetLocked() {
    m_inMemorySize = 0;
    m_buffer = clsStringAppend();  // a new buffer, so a large run's memory is given back
}

void cCloneLog::DeleteLogFileIfMaxSizeIsExceeded() {
    try {
        std::unique_lock lock(m_mutex);
        const Result<PathInfo> info = m_fs.StatPath(LogFileSpec(), true);
        if (!info.ok()) {
            if (info.status().IsNotFound()) {
                return;
            }
            throw FileRuntimeError(info.status());
        }
        if (info.value().kind != FileKind::Directory &&
            info.value().size >= static_cast<uint64_t>(std::max<int32_t>(m_maxLogFileSize, 0))) {
            lock.unlock();
            DeleteLogFile();
        }
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneLog.DeleteLogFileIfMaxSizeIsExceeded");
    }
}

void cCloneLog::DeleteLogFile() {
    try {
        std::unique_lock lock(m_mutex);
        const Status removed = m_fs.RemoveProgramFile(LogFileSpec());
        lock.unlock();  // the message may wait for a window that writes to the log meanwhile
        if (removed.ok() || removed.IsNotFound()) {
            return;
        }
        m_prompt.ShowMessage("Log Delete Failed",
                             "Unable to Delete the Log file.\r\n\r\nError Number: " +
                                 std::to_string(removed.code()) +
                                 "\r\nError Description: " + GetSystemErrorText(removed.code()) +
                                 "\r\n\r\nIf this problem continues, please contact technical "
                                 "support.",
                             MessageIcon::Exclamation, MessageButtons::OK);
    } catch (...) {
        m_reporter.ReportCurrentException("cCloneLog.DeleteLogFile");
    }
}

}  // namespace duvanto
