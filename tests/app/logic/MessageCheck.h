// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks of what a controller showed or asked, each value compared exactly and every
// difference named in the failure.

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

#include "app/support/FakeAppPrompt.h"

namespace duvanto::test {

// The message shown was this one: title, text, icon and buttons alike.
inline ::testing::AssertionResult IsMessage(const ShownMessage& shown, const std::string& title,
                                            const std::string& text, MessageIcon icon,
                                            MessageButtons buttons = MessageButtons::OK) {
    std::ostringstream differences;
    const auto compare = [&differences](const char* field, const auto& got, const auto& expected) {
        if (got != expected) {
            differences << field << " \"" << got << "\", expected \"" << expected << "\"\n";
        }
    };
    compare("title", shown.title, title);
    compare("text", shown.text, text);
    compare("icon", static_cast<int>(shown.icon), static_cast<int>(icon));
    compare("buttons", static_cast<int>(shown.buttons), static_cast<int>(buttons));
    if (differences.str().empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << differences.str();
}

inline void PrintTo(const AskedQuestion& question, std::ostream* out) {
    *out << "{" << question.kind << ", \"" << question.title << "\", \"" << question.prompt
         << "\", \"" << question.proposed << "\"}";
}

}  // namespace duvanto::test
