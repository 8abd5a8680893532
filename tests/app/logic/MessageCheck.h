// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks of what a controller showed or asked, each value compared exactly and every
// difference named in the failure.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/support/FakeAppPrompt.h"

namespace duvanto::test {

// The message shown was this one: title, text, icon and buttons alike.
inline ::testing::AssertionResult IsMessage(const ShownMessage& shown, const std::string& title,
                                            const std::string& text, MessageIcon icon,
                                            MessageButtons buttons = MessageButtons::OK) {
    ::testing::AssertionResult result = ::testing::AssertionFailure();
    bool same = true;
    if (shown.title != title) {
        same = false;
        result << "title \"" << shown.title << "\", expected \"" << title << "\"\n";
    }
    if (shown.text != text) {
        same = false;
        result << "text \"" << shown.text << "\", expected \"" << text << "\"\n";
    }
    if (shown.icon != icon) {
        same = false;
        result << "icon " << static_cast<int>(shown.icon) << ", expected " << static_cast<int>(icon)
               << "\n";
    }
    if (shown.buttons != buttons) {
        same = false;
        result << "buttons " << static_cast<int>(shown.buttons) << ", expected "
               << static_cast<int>(buttons) << "\n";
    }
    return same ? ::testing::AssertionSuccess() : result;
}

inline void PrintTo(const AskedQuestion& question, std::ostream* out) {
    *out << "{" << question.kind << ", \"" << question.title << "\", \"" << question.prompt
         << "\", \"" << question.proposed << "\"}";
}

}  // namespace duvanto::test
