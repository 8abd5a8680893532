// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result of one operating-system call: either success, or the errno value with its text.
// Failures travel as values so that callers decide what becomes a log entry; nothing here
// keeps a hidden "last error". Callers ask a failure what kind it is through the categories
// below rather than by errno values; both types must be looked at (or cast to void where a
// failure changes nothing, with the reason beside it).

#include <string>
#include <utility>

namespace duvanto {

class [[nodiscard]] Status {
public:
    Status() = default;

    static Status Ok() { return {}; }
    // Takes the errno value and its system text (GetSystemErrorText).
    static Status FromErrno(int errorCode);
    // A failure whose text is our own (for example "not a regular file").
    static Status Failure(int errorCode, std::string message) {
        return Status(errorCode, std::move(message));
    }

    bool ok() const { return m_code == 0; }
    explicit operator bool() const { return ok(); }
    int code() const { return m_code; }
    const std::string& message() const { return m_message; }

    // The path, or a folder on its way, does not exist (ENOENT, ENOTDIR).
    bool IsNotFound() const;
    // The system refused for want of permission (EACCES, EPERM).
    bool IsAccessDenied() const;
    // The name is taken (EEXIST).
    bool IsAlreadyExists() const;
    // A pump said stop (ECANCELED).
    bool IsCancelled() const;
    // No room left, or the quota is used up (ENOSPC, EDQUOT).
    bool IsDiskFull() const;
    // A symbolic link stands where the path was to be reached without following one (ELOOP).
    bool IsLinkInTheWay() const;
    // Someone else holds it now (EWOULDBLOCK): a lock, for one.
    bool IsBusy() const;

private:
    Status(int code, std::string message) : m_code(code), m_message(std::move(message)) {}

    int m_code = 0;
    std::string m_message;
};

// A value or the Status that explains why there is none.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}            // NOLINT: implicit by design
    Result(Status failure) : m_status(std::move(failure)) {}  // NOLINT: implicit by design

    bool ok() const { return m_status.ok(); }
    const Status& status() const { return m_status; }
    const T& value() const { return m_value; }
    T& value() { return m_value; }

private:
    T m_value{};
    Status m_status;
};

// The system's text for an errno value; "Error (N) not defined." for a value it does not know.
std::string GetSystemErrorText(int code);

}  // namespace duvanto
