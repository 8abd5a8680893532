// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clone log: one line per event of a clone run, collected in memory and appended to
// AppPath + "clone.log" only when the buffer passes 102,400 characters and at the fixed points
// (end of a task run, Save As, exit), so a run of thousands of files opens the file a handful
// of times.
//
// Several threads may write it at once (a run, and the shutdown entry from the window's
// thread): every change of the buffer and every access to the file is done under one lock.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "log/LogClassifier.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"
#include "util/Prompt.h"
#include "util/StringAppend.h"

namespace duvanto {

// The values are fixed: callers and the log viewer rely on the numbers.
enum LogEntryType : int32_t {
    Begin = 0,
    End = 1,
    Copied = 2,
    Deleted = 3,
    CreatedFolder = 4,
    DeletedFolder = 5,
    CopyError = 6,
    DeleteError = 7,
    CreateDirError = 8,
    DeleteDirError = 9,
    UnexpectedError = 10,
    DuplicateFileError = 11,
    ContentCompareError = 12,
    CRCCompareError = 13,
    UserCancelledError = 14,
    FolderPathError = 15,
    ApplicationShutdownError = 16,
    IncludeFilterFolderError = 17,
    SafeCopyError = 18,
    IncludeFilterFileError = 19,
    GetSubFoldersError = 20,
    // The guard against mass deletion stopped a run before it did anything.
    MassDeleteError = 21,
    // A Target entry given the letter case of its Source name.
    Renamed = 22,
    RenameError = 23,
    // A Source name the Target's file system cannot hold; the description says why.
    TargetNameError = 24,
};

// One entry of the log. The texts are views of the caller's strings for the length of the call
// that takes the entry (nothing keeps them), so building one copies no path. Type has no
// default: an entry without one does not compile.
struct LogEntry {
    LogEntryType Type;
    std::string_view TaskName = {};
    std::string_view FileName = {};
    std::string_view SourceFolder = {};
    std::string_view TargetFolder = {};
    int32_t ErrorNumber = 0;
    std::string_view ErrorDescription = {};
    std::string_view SafeCopyStep = {};
    std::string_view NewName = {};  // Renamed, RenameError
};

// Told of each entry the log takes, so that a view can show the log as it grows. Called on the
// thread that wrote the entry, with the log's lock held, in the order of the entries: it must
// not call back into the log, and a window hands the line on to its own thread.
class IFileSystem;

class ICloneLogObserver {
public:
    virtual ~ICloneLogObserver() = default;
    // The entry as the file gets it (timestamp first, CR LF ended; an End entry is followed by
    // an empty line) and its kind as the viewer colours it.
    virtual void EntryAdded(const std::string& line, LogLineKind kind) = 0;
};

class cCloneLog {
public:
    static constexpr int32_t kFlushThreshold = 102400;
    static constexpr int32_t kDefaultMaxLogFileSize = 512000;

    // appPath ends in "/".
    cCloneLog(std::string appPath, const IClock& clock, ErrorReporter& reporter, IPrompt& prompt,
              IFileSystem& fileSystem);

    bool LogOnlyErrors() const { return m_logOnlyErrors; }
    void LogOnlyErrors(bool value) { m_logOnlyErrors = value; }
    int32_t MaxLogFileSize() const { return m_maxLogFileSize; }
    void MaxLogFileSize(int32_t bytes) { m_maxLogFileSize = bytes; }
    int32_t CurrInMemoryLogSize() const;
    std::string LogFileSpec() const { return m_appPath + "clone.log"; }
    std::string InMemoryString() const;

    // Formats one entry and appends it to the buffer; a Type outside 0..24 adds nothing.
    void Add(const LogEntry& entry);

    // The line Add would append (timestamp included, CR LF ended), or "" when it would add
    // nothing. Exposed so that a dry run can print entries without keeping a log. Unlike the
    // operations below it does not report failures: it throws, and its caller reports.
    std::string FormatEntry(const LogEntry& entry) const;

    // Sends every entry to `sink` instead of the buffer and the file: a dry run shows what it
    // met without keeping a log. An empty sink restores the normal way.
    void SetEntrySink(std::function<void(const std::string&)> sink);
    // One observer at a time; nullptr for none. It must outlive the log or be taken off.
    void SetObserver(ICloneLogObserver* observer);

    std::string GetLogEntriesFromFile();
    void SaveAs(const std::string& FileSpec);
    void AppendInMemoryStringToLogFile();
    void ResetInMemoryLog();
    void DeleteLogFileIfMaxSizeIsExceeded();
    void DeleteLogFile();

private:
    // The two steps of a flush, with the lock held; the first throws on failure.
    void AppendLocked();
    void ResetLocked();

    std::string m_appPath;
    const IClock& m_clock;
    ErrorReporter& m_reporter;
    IPrompt& m_prompt;
    IFileSystem& m_fs;

    // Options: set on the owner's thread while a run may read them.
    std::atomic<bool> m_logOnlyErrors{false};
    std::atomic<int32_t> m_maxLogFileSize{kDefaultMaxLogFileSize};

    mutable std::mutex m_mutex;  // guards everything below, and the log file
    int32_t m_inMemorySize = 0;
    clsStringAppend m_buffer;
    std::function<void(const std::string&)> m_entrySink;
    ICloneLogObserver* m_observer = nullptr;
};

}  // namespace duvanto
