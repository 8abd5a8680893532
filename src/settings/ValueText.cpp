// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ValueText.h"

#include <cmath>
#include <cstdlib>

#include "util/ErrorReporter.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the longest number at the start of `text`, and that number in a form strtod
// reads (a D exponent becomes E); 0 when no digit starts it.
std::size_t ScanNumber(std::string_view text, std::string& normalized) {
    std::size_t at = 0;
    normalized.clear();
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        normalized += text[at++];
    }
    std::size_t digits = 0;
    while (at < text.size() && IsDigit(text[at])) {
        normalized += text[at++];
        ++digits;
    }
    if (at < text.size() && text[at] == '.') {
        normalized += text[at++];
        while (at < text.size() && IsDigit(text[at])) {
            normalized += text[at++];
            ++digits;
        }
    }
    if (digits == 0) {
        normalized.clear();
        return 0;
    }
    if (at < text.size() && std::string_view("eEdD").find(text[at]) != std::string_view::npos) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        if (exponent < text.size() && IsDigit(text[exponent])) {
            normalized += 'e';
            normalized.append(text.substr(at + 1, exponent - at - 1));
            at = exponent;
            while (at < text.size() && IsDigit(text[at])) {
                normalized += text[at++];
            }
        }
    }
    return at;
}

}  // namespace

bool IsNumericText(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string normalized;
    return !trimmed.empty() && ScanNumber(trimmed, normalized) == trimmed.size() &&
           std::isfinite(std::strtod(normalized.c_str(), nullptr));
}

double NumberFromText(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string normalized;
    if (trimmed.empty() || ScanNumber(trimmed, normalized) != trimmed.size()) {
        throw RuntimeError(13, "Type mismatch");
    }
    const double value = std::strtod(normalized.c_str(), nullptr);
    if (!std::isfinite(value)) {
        throw RuntimeError(6, "Overflow");
    }
    return value;
}

int32_t LongFromNumber(double value) {
    const double rounded = std::nearbyint(value);  // the default mode rounds half to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        throw RuntimeError(6, "Overflow");
    }
    return static_cast<int32_t>(rounded);
}

int32_t LongFromText(std::string_view text) {
    return LongFromNumber(NumberFromText(text));
}

double LeadingNumber(std::string_view text) {
    std::string packed;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            packed += c;
        }
    }
    std::string normalized;
    if (ScanNumber(packed, normalized) == 0) {
        return 0.0;
    }
    // An infinite result stays so: whoever needs a whole number then meets the overflow.
    return std::strtod(normalized.c_str(), nullptr);
}

std::string ZeroPadded(int32_t value) {
    std::string text = std::to_string(value);
    if (text.size() < 10) {
        text.insert(0, 10 - text.size(), '0');
    }
    return text;
}

std::string BooleanText(bool value) {
    return value ? "True" : "False";
}

}  // namespace duvanto
