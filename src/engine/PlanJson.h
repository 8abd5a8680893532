// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing the values of a saved plan's JSON: words for enumerations, paths that are
// no UTF-8, and fields whose absence or wrong type makes the file no plan. A fault is thrown as
// DamagedPlan, whose message goes to the user as it is.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

namespace duvanto::planjson {

using nlohmann::json;

class Damaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <typename Enum>
struct Word {
    Enum value;
    const char* word;
};

template <typename Enum, std::size_t N>
const char* WordOf(const Word<Enum> (&words)[N], Enum value) {
    for (const Word<Enum>& word : words) {
        if (word.value == value) {
            return word.word;
        }
    }
    return "";
}
// What a message may show of a text from the file: a bounded, escaped piece of it, so that no
// message repeats a large value or drives the terminal.
std::string Shown(std::string_view text);
// A value of the file as a message names it.
std::string Brief(const json& value);

template <typename Enum, std::size_t N>
Enum ValueOf(const Word<Enum> (&words)[N], const json& text, const char* what) {
    if (text.is_string()) {
        for (const Word<Enum>& word : words) {
            if (text.get_ref<const std::string&>() == word.word) {
                return word.value;
            }
        }
    }
    throw Damaged(std::string("unknown ") + what + " " + Brief(text));
}

// Names are bytes: what is no UTF-8 is kept exactly as {"hex": "..."}.
json PathValue(const std::string& path);
// A path or name as the file holds it: text, or {"hex": "..."} for bytes that are no UTF-8.
std::string PathFrom(const json& value, const char* what);

const json& Field(const json& object, const char* name);
bool BoolField(const json& object, const char* name);
int64_t IntField(const json& object, const char* name, int64_t low, int64_t high);
uint64_t UnsignedField(const json& object, const char* name);

}  // namespace duvanto::planjson
