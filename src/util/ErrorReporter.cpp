// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/ErrorReporter.h"

#include <cerrno>
#include <new>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/FileSystem.h"
#include "util/OleDate.h"

namespace duvanto {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kRegistryDenied = "Access to Registry Denied.";
constexpr std::string_view kClosingLines =
    "\r\n* If this problem persists, please contact our technical support staff for "
    "assistance.\r\n  (Refer to the Troubleshooting section of the Help file for details.)";
constexpr std::string_view kRegistryText =
    "Unable to read required information from the System\r\n"
    "Registry due to the security rules in place on this computer.\r\n"
    "All users on this computer must be granted Read Access to the Registry.\r\n"
    "\r\n"
    "See your System Administrator for assistance.";
constexpr std::string_view kInvalidCall = "Invalid procedure call or argument";

// A system error code outranks the registry text: that branch is only for our own refusal.
bool TakesRegistryBranch(const UnexpectedError& error) {
    return error.systemErrorCode == 0 && error.description == kRegistryDenied;
}

std::string CoreText(const std::string& label, const UnexpectedError& error) {
    if (TakesRegistryBranch(error)) {
        return std::string(kRegistryText);
    }
    std::string text;
    if (error.systemErrorCode != 0) {
        text.append("DLL Error: ").append(GetSystemErrorText(error.systemErrorCode)).append(kCrLf);
    }
    text.append("Error: ").append(error.description).append(kCrLf);
    text.append("Source: ").append(label).append(kCrLf);
    text.append("No: ").append(std::to_string(error.number)).append(kCrLf);
    return text;
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

RuntimeError FileRuntimeError(const Status& failure) {
    if (failure.IsNotFound()) {
        return RuntimeError(76, "Path not found", failure.code());
    }
    if (failure.IsAccessDenied()) {
        return RuntimeError(70, "Permission denied", failure.code());
    }
    if (failure.IsDiskFull()) {
        return RuntimeError(61, "Disk full", failure.code());
    }
    return RuntimeError(75, "Path/File access error", failure.code());
}

UnexpectedError UnexpectedError::FromException(std::exception_ptr error) {
    if (!error) {
        return {5, std::string(kInvalidCall), 0};
    }
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError& e) {
        return {e.Number(), e.what(), e.SystemErrorCode()};
    } catch (const std::bad_alloc&) {
        return {7, "Out of memory", 0};
    } catch (const std::system_error& e) {
        const bool isErrno = e.code().category() == std::generic_category() ||
                             e.code().category() == std::system_category();
        return {5, e.what(), isErrno ? e.code().value() : 0};
    } catch (const std::exception& e) {
        return {5, e.what(), 0};
    } catch (...) {
        return {5, std::string(kInvalidCall), 0};
    }
}

ErrorReporter::ErrorReporter(std::string appPath, IPrompt& prompt, const IClock& clock,
                             IFileSystem& fileSystem)
    : m_appPath(std::move(appPath)), m_prompt(prompt), m_clock(clock), m_fs(fileSystem) {}

void ErrorReporter::ReportUnexpectedError(const std::string& procedureLabel,
                                          const UnexpectedError& error,
                                          const std::string& moreInformation) {
    ++m_reportCount;
    try {
        std::string text = CoreText(procedureLabel, error);
        if (!TakesRegistryBranch(error)) {
            if (!IsBlank(moreInformation)) {
                std::string record;
                record.append(kCrLf).append(FormatGeneralDate(m_clock.Now())).append(kCrLf);
                record.append(text).append(kCrLf).append("- More Information - ").append(kCrLf);
                record.append(moreInformation).append(kCrLf);
                const Status written = m_fs.AppendToFile(m_appPath + "ERR_DETAIL.TXT", record);
                if (!written.ok()) {
                    throw FileRuntimeError(written);
                }
                text.append("\r\nSee the ERR_DETAIL.TXT file before proceeding.\r\n");
            }
            text.append(kClosingLines);
        }
        m_prompt.ShowMessage("Unexpected Error in " + procedureLabel, text,
                             MessageIcon::Exclamation, MessageButtons::OK);
    } catch (...) {
        ReportHandlerFailure(std::current_exception());
    }
}

void ErrorReporter::ReportCurrentException(const std::string& procedureLabel,
                                           const std::string& moreInformation) {
    UnexpectedError error;
    try {
        error = UnexpectedError::FromException(std::current_exception());
    } catch (...) {
        ReportHandlerFailure(std::current_exception());
        return;
    }
    ReportUnexpectedError(procedureLabel, error, moreInformation);
}

void ErrorReporter::ReportHandlerFailure(std::exception_ptr failure) noexcept {
    try {
        const UnexpectedError error = UnexpectedError::FromException(failure);
        m_prompt.ShowMessage("Error in Error Handler",
                             "An error has occured in the error handler.\r\n" +
                                 std::to_string(error.number) + "\r\n" + error.description,
                             MessageIcon::Exclamation, MessageButtons::OK);
    } catch (...) {
        // Nothing is left to tell the user with; the failing operation still returns.
    }
}

}  // namespace duvanto
