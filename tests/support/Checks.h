// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks that several test programs make: a message compared whole with the one expected, and a
// check made as the ordinary user. Kept out of TestSupport.h, which every test program builds.

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <tuple>

#include "support/TestSupport.h"
#include "support/Unprivileged.h"

namespace duvanto::test {

inline bool operator==(const ShownMessage& a, const ShownMessage& b) {
    return std::tie(a.title, a.text, a.icon, a.buttons) ==
           std::tie(b.title, b.text, b.icon, b.buttons);
}

// Failures show the message, not its bytes.
inline void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << "{\"" << message.title << "\", \"" << message.text << "\", icon "
         << static_cast<int>(message.icon) << ", buttons " << static_cast<int>(message.buttons)
         << "}";
}

// Whether check holds when run as by RunUnprivileged; a failure tells whether it was the check
// or the dropping of privileges that failed.
inline ::testing::AssertionResult HoldsUnprivileged(const std::function<bool()>& check) {
    const int result = RunUnprivileged([&] { return check() ? 0 : 1; });
    if (result == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << (result == 255 ? "could not drop privileges" : "fails as the ordinary user");
}

}  // namespace duvanto::test
