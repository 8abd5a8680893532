// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one channel for unexpected failures. An operation with a fixed label ("cClone.CloneAll",
// "cCloneLog.Add", ...) catches what escapes it, hands it here, and returns its empty value.
// Expected failures of a run never come here: they become clone-log entries.

#include <atomic>
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/Status.h"
#include "util/Clock.h"
#include "util/Prompt.h"

namespace duvanto {

// An unexpected failure with the number and description the user will be shown. Error
// numbers follow the runtime's classic ones where one fits: 5 invalid call, 7 out of memory,
// 52 bad file name, 53 file not found, 70 permission denied, 75 path/file access, 76 path not
// found. systemErrorCode is the errno value of the system call behind it, or 0.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(long number, const std::string& description, int systemErrorCode = 0)
        : std::runtime_error(description), m_number(number), m_systemErrorCode(systemErrorCode) {}
    long Number() const { return m_number; }
    int SystemErrorCode() const { return m_systemErrorCode; }

private:
    long m_number;
    int m_systemErrorCode;
};

// The runtime error a failed file call stands for, with its errno as the system code:
// ENOENT/ENOTDIR 76 "Path not found", EACCES/EPERM 70 "Permission denied", ENOSPC/EDQUOT
// 61 "Disk full", anything else 75 "Path/File access error".
RuntimeError FileRuntimeError(const Status& failure);

// What the reporter needs to know about one failure.
struct UnexpectedError {
    long number = 0;
    std::string description;
    int systemErrorCode = 0;  // the last system error left by the failing call; 0 if none

    // Turns any exception into the three facts above (RuntimeError keeps its own; bad_alloc is
    // 7 "Out of memory"; std::system_error gives its errno as the system code; anything else
    // is 5 with its what()).
    static UnexpectedError FromException(std::exception_ptr error);
};

class IFileSystem;

class ErrorReporter {
public:
    // appPath names the folder of "ERR_DETAIL.TXT"; it ends in "/".
    ErrorReporter(std::string appPath, IPrompt& prompt, const IClock& clock,
                  IFileSystem& fileSystem);

    // Shows "Unexpected Error in <label>" with the text built from the error. moreInformation,
    // when not blank, is also appended to AppPath + "ERR_DETAIL.TXT".
    void ReportUnexpectedError(const std::string& procedureLabel, const UnexpectedError& error,
                               const std::string& moreInformation = "");

    // For catch (...) blocks: reports std::current_exception() under the label.
    void ReportCurrentException(const std::string& procedureLabel,
                                const std::string& moreInformation = "");

    // How many failures were reported so far: a front end that must answer with an exit
    // status learns from it that an operation failed in a way its result does not show (a
    // log that could not be written, say).
    int ReportCount() const { return m_reportCount.load(); }

private:
    // What the user sees when the reporter itself fails; never throws.
    void ReportHandlerFailure(std::exception_ptr failure) noexcept;

    std::string m_appPath;
    IPrompt& m_prompt;
    const IClock& m_clock;
    IFileSystem& m_fs;
    std::atomic<int> m_reportCount{0};
};

}  // namespace duvanto
