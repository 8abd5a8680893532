// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/ErrorBoundary.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "app/help/AppInfo.h"

namespace duvanto {

namespace {

// The exception's type as its source names it ("std::out_of_range"); "unknown" for a thrown
// value the runtime cannot name.
std::string ExceptionTypeName() {
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type == nullptr) {
        return "unknown";
    }
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(type->name());
}

}  // namespace

std::string FailureDetails(const std::string& procedureLabel, std::exception_ptr failure) {
    std::string details = "Procedure: " + procedureLabel + "\r\n";
    details += "Program: " + std::string(kApplicationTitle) + " " + ProgramVersion() + "\r\n";
    if (!failure) {
        return details + "Exception: none";
    }
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        details += "Exception: " + ExceptionTypeName() + ": " + e.what();
    } catch (...) {
        details += "Exception: " + ExceptionTypeName();
    }
    return details;
}

}  // namespace duvanto
