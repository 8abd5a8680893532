// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PlanJson.h"

#include "util/EscapedText.h"

namespace duvanto::planjson {

namespace {

// The longest path the system takes (PATH_MAX less its NUL): no longer one names an entry.
constexpr std::size_t kMaxPathBytes = 4095;

// Exactly what the JSON writer accepts: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace

std::string Shown(std::string_view text) {
    constexpr std::size_t kShownBytes = 80;
    if (text.size() <= kShownBytes) {
        return EscapeControlCharacters(text);
    }
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;  // not inside a UTF-8 sequence
    }
    return EscapeControlCharacters(text.substr(0, cut)) + "...";
}

std::string Brief(const json& value) {
    if (value.is_string()) {
        // Appended: GCC 12 at -O3 takes `"\"" + Shown(...)` for an overlapping copy.
        std::string quoted = "\"";
        quoted.append(Shown(value.get_ref<const std::string&>())).append("\"");
        return quoted;
    }
    if (value.is_object()) {
        return "an object";
    }
    if (value.is_array()) {
        return "a list";
    }
    return value.dump();  // a number, true, false or null: a few characters
}

json PathValue(const std::string& path) {
    if (IsUtf8(path)) {
        return path;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : path) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return json{{"hex", hex}};
}

std::string PathFrom(const json& value, const char* what) {
    const auto tooLong = [&] {
        return Damaged(std::string(what) + " is longer than " + std::to_string(kMaxPathBytes) +
                       " bytes");
    };
    std::string bytes;
    if (value.is_string()) {
        if (value.get_ref<const std::string&>().size() > kMaxPathBytes) {
            throw tooLong();
        }
        bytes = value.get<std::string>();
    } else if (value.is_object() && value.contains("hex") && value["hex"].is_string()) {
        const std::string& hex = value["hex"].get_ref<const std::string&>();
        if (hex.size() > 2 * kMaxPathBytes) {
            throw tooLong();
        }
        auto digit = [&](char c) -> int {
            if (c >= '0' && c <= '9') {
                return c - '0';
            }
            if (c >= 'a' && c <= 'f') {
                return c - 'a' + 10;
            }
            throw Damaged(std::string("bad hex in ") + what);
        };
        if (hex.size() % 2 != 0) {
            throw Damaged(std::string("bad hex in ") + what);
        }
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            bytes += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
        }
    } else {
        throw Damaged(std::string(what) + " is missing");
    }
    // The system ends a path at a NUL: the entry reached would not be the one checked.
    if (bytes.find('\0') != std::string::npos) {
        throw Damaged(std::string(what) + " holds a NUL byte");
    }
    return bytes;
}

const json& Field(const json& object, const char* name) {
    if (!object.is_object() || !object.contains(name)) {
        throw Damaged(std::string("\"") + name + "\" is missing");
    }
    return object[name];
}

bool BoolField(const json& object, const char* name) {
    const json& value = Field(object, name);
    if (!value.is_boolean()) {
        throw Damaged(std::string("\"") + name + "\" is no true or false");
    }
    return value.get<bool>();
}

int64_t IntField(const json& object, const char* name, int64_t low, int64_t high) {
    const json& value = Field(object, name);
    if (!value.is_number_integer()) {
        throw Damaged(std::string("\"") + name + "\" is no whole number");
    }
    const int64_t number = value.get<int64_t>();
    if (number < low || number > high || (value.is_number_unsigned() && number < 0)) {
        throw Damaged(std::string("\"") + name + "\" is out of range");
    }
    return number;
}

uint64_t UnsignedField(const json& object, const char* name) {
    const json& value = Field(object, name);
    if (!value.is_number_unsigned()) {
        throw Damaged(std::string("\"") + name + "\" is no whole number from 0");
    }
    return value.get<uint64_t>();
}

}  // namespace duvanto::planjson
