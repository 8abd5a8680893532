// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/FieldText.h"

#include <cstdlib>
#include <string>

namespace duvanto {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

NumberText ReadNumberText(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            compact += c;
        }
    }
    NumberText result;
    std::size_t at = 0;
    std::string number;
    if (at < compact.size() && (compact[at] == '+' || compact[at] == '-')) {
        number += compact[at++];
    }
    std::size_t digits = 0;
    auto takeDigits = [&] {
        while (at < compact.size() && IsDigit(compact[at])) {
            number += compact[at++];
            ++digits;
        }
    };
    takeDigits();
    if (at < compact.size() && compact[at] == '.') {
        number += compact[at++];
        takeDigits();
    }
    if (digits == 0) {
        return result;
    }
    if (at < compact.size() && std::string_view("eEdD").find(compact[at]) != std::string::npos) {
        std::size_t exponent = at + 1;
        if (exponent < compact.size() && (compact[exponent] == '+' || compact[exponent] == '-')) {
            ++exponent;
        }
        if (exponent < compact.size() && IsDigit(compact[exponent])) {
            number += 'e';
            number += compact.substr(at + 1, exponent - at - 1);
            at = exponent;
            while (at < compact.size() && IsDigit(compact[at])) {
                number += compact[at++];
            }
        }
    }
    result.found = true;
    result.whole = at == compact.size();
    result.value = std::strtod(number.c_str(), nullptr);
    return result;
}

}  // namespace duvanto
