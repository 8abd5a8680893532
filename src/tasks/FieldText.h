// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers in texts as the task list and the task properties read them.

#include <string_view>

namespace duvanto {

struct NumberText {
    double value = 0.0;  // 0 when there is no number
    bool found = false;  // the text starts with a number
    bool whole = false;  // the number is the entire text
};

// The number at the start of the text: blanks anywhere are skipped, then a sign, digits with
// at most one point, and an exponent written with E or D. No hexadecimal, no infinities.
NumberText ReadNumberText(std::string_view text);

}  // namespace duvanto
