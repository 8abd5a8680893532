// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Option values are text; these turn them into numbers as the options reader has always done.
// A text that is not a number, or a number out of range, is a RuntimeError with the runtime's
// classic number (13 "Type mismatch", 6 "Overflow"), so the reader stops at that key.

#include <cstdint>
#include <string>
#include <string_view>

namespace duvanto {

// Blanks around, an optional sign, digits with at most one decimal point, an optional
// exponent (E or D).
bool IsNumericText(std::string_view text);
// The number, or RuntimeError 13.
double NumberFromText(std::string_view text);
// Rounded half to even; RuntimeError 6 outside the 32-bit range.
int32_t LongFromNumber(double value);
int32_t LongFromText(std::string_view text);
// The number at the start of the text, blanks anywhere ignored, 0 when there is none
// ("500 kb" is 500).
double LeadingNumber(std::string_view text);

// Prefixed with "0" until 10 characters long.
std::string ZeroPadded(int32_t value);
// "True" or "False".
std::string BooleanText(bool value);

}  // namespace duvanto
