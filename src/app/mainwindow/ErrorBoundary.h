// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the desktop program's own procedures meet the event loop: a command, a window's load or
// unload. Whatever escapes one is reported under the procedure's label, with the exception's
// kind written to ERR_DETAIL.TXT, and the procedure ends there; nothing unexpected reaches Qt.

#include <exception>
#include <string>

#include "util/ErrorReporter.h"

namespace duvanto {

// What ERR_DETAIL.TXT keeps of a failure beyond the message box: the procedure, the exception's
// type and its own text.
std::string FailureDetails(const std::string& procedureLabel, std::exception_ptr failure);

// Runs `procedure`; true when it returned, false when it failed and the failure was reported
// under `procedureLabel`.
template <typename Procedure>
bool Guarded(ErrorReporter& reporter, const std::string& procedureLabel, Procedure&& procedure) {
    try {
        procedure();
        return true;
    } catch (...) {
        reporter.ReportCurrentException(procedureLabel,
                                        FailureDetails(procedureLabel, std::current_exception()));
        return false;
    }
}

}  // namespace duvanto
